#include "core/pipeline/OutputBuffer.h"

#include "core/text/Utf8.h"

#include <algorithm>
#include <array>
#include <utility>

namespace velmora {

namespace {

TextStyle styleOf(OutputSegment::Kind kind)
{
    switch (kind) {
    case OutputSegment::Kind::data:
        return TextStyle::data;
    case OutputSegment::Kind::timestamp:
        return TextStyle::timestamp;
    case OutputSegment::Kind::meta:
        return TextStyle::meta;
    }
    return TextStyle::data;
}

constexpr std::u16string_view lineBreak = u"\n";

} // namespace

void OutputBuffer::appendSegments(const OutputSegments& committed, const OutputSegments& provisional)
{
    if (committed.empty() && provisional.empty() && provisionalLength_ < 1)
        return;

    runs_.clear();
    for (const OutputSegment& segment : committed)
        runs_.push_back({styleOf(segment.kind), segment.text});
    std::size_t newProvisionalLength = 0;
    for (const OutputSegment& segment : provisional) {
        runs_.push_back({styleOf(segment.kind), segment.text});
        newProvisionalLength += segment.text.size();
    }

    const std::size_t old = provisionalLength_;
    const std::size_t start = storage_.length() - old;
    provisionalLength_ = newProvisionalLength;

    storage_.beginEditing();
    if (old < 1)
        storage_.append(runs_);
    else
        storage_.replace(start, old, runs_);
    runs_.clear();
    finishEdit();
}

void OutputBuffer::finishLine()
{
    provisionalLength_ = 0;
    if (storage_.length() == 0 || endsInLineBreak())
        return;
    const std::array runs{StyledRun{TextStyle::data, lineBreak}};
    storage_.beginEditing();
    storage_.append(runs);
    finishEdit();
}

void OutputBuffer::appendNotice(std::string_view utf8Text)
{
    provisionalLength_ = 0;
    std::u16string line;
    if (storage_.length() > 0 && !endsInLineBreak())
        line += lineBreak;
    line += u"--- ";
    line += utf8ToUtf16(utf8Text);
    line += u" ---";
    line += lineBreak;
    const std::array runs{StyledRun{TextStyle::system, line}};
    storage_.beginEditing();
    storage_.append(runs);
    finishEdit();
}

void OutputBuffer::appendEcho(
    std::u16string_view text, std::optional<std::u16string> stamp, std::optional<std::u16string> suffix)
{
    provisionalLength_ = 0;
    std::u16string echoed = u"\u2192 ";
    echoed += text;
    std::vector<StyledRun> runs;
    if (storage_.length() > 0 && !endsInLineBreak())
        runs.push_back({TextStyle::data, lineBreak});
    if (stamp)
        runs.push_back({TextStyle::timestamp, *stamp});
    runs.push_back({TextStyle::echo, echoed});
    if (suffix)
        runs.push_back({TextStyle::meta, *suffix});
    runs.push_back({TextStyle::echo, lineBreak});
    storage_.beginEditing();
    storage_.append(runs);
    finishEdit();
}

void OutputBuffer::clear()
{
    provisionalLength_ = 0;
    if (storage_.length() == 0)
        return;
    storage_.beginEditing();
    storage_.remove(0, storage_.length());
    finishEdit();
}

bool OutputBuffer::endsInLineBreak() const
{
    const std::size_t length = storage_.length();
    return length > 0 && storage_.find(u'\n', length - 1).has_value();
}

void OutputBuffer::finishEdit()
{
    trim();
    storage_.endEditing();
    if (autoscroll_)
        scrollsToEnd_.notify();
}

void OutputBuffer::trim()
{
    const std::size_t length = storage_.length();
    if (length <= maxCharacters)
        return;
    const std::size_t cut = length - trimTarget;
    // Ending the cut just after a line break keeps the text starting with a whole line.
    if (const auto lineFeed = storage_.find(u'\n', cut))
        storage_.remove(0, *lineFeed + 1);
    else
        storage_.remove(0, cut);
    // The tail is one formatted line, far shorter than what a trim keeps; this only guards the
    // invariant that it lies within the text.
    provisionalLength_ = std::min(provisionalLength_, storage_.length());
}

} // namespace velmora

#include "core/pipeline/TerminalTextProcessor.h"

#include "core/text/Timestamp.h"
#include "core/text/Utf8.h"

namespace velmora {
namespace {

constexpr char32_t escapeCharacter = 0x1B;

bool isContinuationByte(std::uint8_t byte)
{
    return (byte & 0xC0) == 0x80;
}

std::size_t expectedSequenceLength(std::uint8_t lead)
{
    if ((lead & 0xF8) == 0xF0)
        return 4;
    if ((lead & 0xF0) == 0xE0)
        return 3;
    if (lead >= 0xC0 && lead <= 0xDF)
        return 2;
    return 1;
}

// Where an incomplete UTF-8 sequence starts at the end of bytes, or bytes.size() if none does.
std::size_t incompleteTailStart(std::span<const std::uint8_t> bytes)
{
    const std::size_t n = bytes.size();
    if (n == 0)
        return n;
    std::optional<std::size_t> lead;
    if (!isContinuationByte(bytes[n - 1])) {
        lead = n - 1;
    } else {
        for (std::size_t back = 2; back <= 4 && back <= n; ++back) {
            if (!isContinuationByte(bytes[n - back])) {
                lead = n - back;
                break;
            }
        }
    }
    if (lead && n - *lead < expectedSequenceLength(bytes[*lead]))
        return *lead;
    return n;
}

bool isDisguising(char32_t c)
{
    return (c >= 0x80 && c <= 0x9F) || c == 0x061C || c == 0x200E || c == 0x200F || (c >= 0x202A && c <= 0x202E) ||
        (c >= 0x2066 && c <= 0x2069);
}

// How a character other than CR, LF and ESC is shown.
char32_t shown(char32_t c)
{
    if (c < 0x20)
        return c == U'\t' ? c : 0x2400 + c;
    if (c == 0x7F)
        return 0x2421;
    return isDisguising(c) ? replacementCharacter : c;
}

} // namespace

OutputSegments TerminalTextProcessor::process(std::span<const std::uint8_t> bytes, bool timestamps,
    std::optional<std::u16string_view> linePrefix, std::chrono::system_clock::time_point time)
{
    std::vector<std::uint8_t> joined;
    std::span<const std::uint8_t> input = bytes;
    if (!carry_.empty()) {
        joined = std::move(carry_);
        carry_.clear();
        joined.insert(joined.end(), bytes.begin(), bytes.end());
        input = joined;
    }
    const std::size_t complete = incompleteTailStart(input);
    carry_.assign(input.begin() + static_cast<std::ptrdiff_t>(complete), input.end());
    input = input.first(complete);
    if (input.empty())
        return {};

    std::optional<std::u16string> stamp;
    if (timestamps)
        stamp = formatTimestamp(time) + (linePrefix ? u" " : u" -> ");
    const bool decorated = stamp || linePrefix;

    OutputSegments result;
    std::u16string text;
    text.reserve(input.size());
    const auto flush = [&] {
        // A copy of the exact size; the buffer keeps its room for the next line.
        if (!text.empty()) {
            result.push_back({OutputSegment::Kind::data, text});
            text.clear();
        }
    };
    const auto decorate = [&] {
        if (!atLineStart_ || !decorated)
            return;
        flush();
        if (stamp)
            result.push_back({OutputSegment::Kind::timestamp, *stamp});
        if (linePrefix)
            result.push_back({OutputSegment::Kind::meta, std::u16string(*linePrefix)});
    };

    const auto handle = [&](char32_t c) {
        switch (escapeState_) {
        case EscapeState::escape:
            escapeState_ = c == U'[' ? EscapeState::csi : c == U']' ? EscapeState::osc : EscapeState::normal;
            escapeLength_ = 0;
            return;
        case EscapeState::csi:
            ++escapeLength_;
            if ((c >= 0x40 && c <= 0x7E) || escapeLength_ >= maxEscapeLength)
                escapeState_ = EscapeState::normal;
            return;
        case EscapeState::osc:
            ++escapeLength_;
            if (c == 0x07 || escapeLength_ >= maxEscapeLength)
                escapeState_ = EscapeState::normal;
            else if (c == escapeCharacter)
                escapeState_ = EscapeState::escape;
            return;
        case EscapeState::normal:
            break;
        }
        if (c == U'\n') {
            if (lastWasCR_) {
                lastWasCR_ = false;
                return;
            }
            decorate();
            text += u'\n';
            atLineStart_ = true;
        } else if (c == U'\r') {
            decorate();
            text += u'\n';
            lastWasCR_ = true;
            atLineStart_ = true;
        } else if (c == escapeCharacter) {
            escapeState_ = EscapeState::escape;
            lastWasCR_ = false;
        } else {
            lastWasCR_ = false;
            decorate();
            atLineStart_ = false;
            appendUtf16(text, shown(c));
        }
    };

    const std::size_t n = input.size();
    for (std::size_t i = 0; i < n;) {
        // Most received text is printable ASCII in the middle of a line: copy such runs whole.
        if (escapeState_ == EscapeState::normal && (!atLineStart_ || !decorated)) {
            std::size_t end = i;
            while (end < n && input[end] >= 0x20 && input[end] < 0x7F)
                ++end;
            if (end > i) {
                text.append(
                    input.begin() + static_cast<std::ptrdiff_t>(i), input.begin() + static_cast<std::ptrdiff_t>(end));
                lastWasCR_ = false;
                atLineStart_ = false;
                i = end;
                continue;
            }
        }
        const auto decoded = decodeUtf8Scalar(input, i);
        handle(decoded.scalar);
        i += decoded.length;
    }
    flush();
    return result;
}

void TerminalTextProcessor::reset()
{
    *this = TerminalTextProcessor();
}

void TerminalTextProcessor::resetLine()
{
    lastWasCR_ = false;
    atLineStart_ = true;
}

} // namespace velmora

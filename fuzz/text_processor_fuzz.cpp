// Feeds arbitrary bytes, split at arbitrary points, through the terminal text processor.
// Fails when: it crashes; anything that could act on a terminal or hide text reaches the output
// (ESC, other C0 controls except TAB and LF, DEL, C1 controls, bidirectional formatting, lone
// surrogates); or the split changes what is shown.
#include "core/pipeline/TerminalTextProcessor.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace {

using velmora::OutputSegment;
using velmora::OutputSegments;
using velmora::TerminalTextProcessor;

bool isForbidden(char16_t unit)
{
    return (unit < 0x20 && unit != u'\t' && unit != u'\n') || (unit >= 0x7F && unit <= 0x9F) || unit == 0x061C ||
        unit == 0x200E || unit == 0x200F || (unit >= 0x202A && unit <= 0x202E) || (unit >= 0x2066 && unit <= 0x2069);
}

void checkSafe(const std::u16string& text)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        if (isForbidden(unit))
            __builtin_trap();
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            if (i + 1 >= text.size() || text[i + 1] < 0xDC00 || text[i + 1] > 0xDFFF)
                __builtin_trap();
            ++i;
        } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
            __builtin_trap();
        }
    }
}

// Adjacent segments of one kind joined, so that results of different splits compare.
void appendMerged(OutputSegments& into, const OutputSegments& segments)
{
    for (const auto& segment : segments) {
        if (!into.empty() && into.back().kind == segment.kind)
            into.back().text += segment.text;
        else
            into.push_back(segment);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    const std::uint8_t flags = data[0];
    const std::uint8_t splitSeed = data[1];
    const std::vector<std::uint8_t> stream(data + 2, data + size);
    const auto time = std::chrono::system_clock::time_point(std::chrono::seconds(1700000000));
    const std::u16string arrow = u"\u2190 ";
    const std::optional<std::u16string_view> prefix =
        (flags & 1) ? std::optional<std::u16string_view>(arrow) : std::nullopt;
    const bool timestamps = (flags & 2) != 0;

    TerminalTextProcessor whole;
    OutputSegments expected;
    appendMerged(expected, whole.process(stream, timestamps, prefix, time));

    TerminalTextProcessor split;
    OutputSegments actual;
    std::size_t offset = 0;
    std::uint32_t state = splitSeed + 1u;
    while (offset < stream.size()) {
        state = state * 1103515245u + 12345u;
        const std::size_t length = std::min<std::size_t>(stream.size() - offset, 1 + (state >> 16) % 9);
        appendMerged(actual, split.process(std::span(stream).subspan(offset, length), timestamps, prefix, time));
        offset += length;
    }
    for (const auto& segment : actual) {
        if (segment.kind == OutputSegment::Kind::data)
            checkSafe(segment.text);
    }
    if (actual != expected)
        __builtin_trap();
    return 0;
}

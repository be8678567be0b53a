// Feeds arbitrary bytes to the plot line parser: as one number field, as one field, as one line,
// and as a stream split at arbitrary points. Fails when: it crashes; a value is not finite; a row
// is empty or has more than 32 values; a header has fewer than two or more than 32 names; the
// partial line grows beyond 1024 bytes; or the split changes the rows.
#include "core/plot/PlotParser.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace {

using velmora::PlotParser;

void checkFinite(double value)
{
    if (!std::isfinite(value))
        __builtin_trap();
}

void checkRow(const PlotParser::Row& row)
{
    if (row.empty() || row.size() > PlotParser::maxFields)
        __builtin_trap();
    for (const auto& value : row)
        checkFinite(value.value);
}

void checkToken(const PlotParser::Token& token)
{
    if (const auto* number = std::get_if<PlotParser::NumberToken>(&token))
        checkFinite(number->value);
    else if (const auto* labeled = std::get_if<PlotParser::LabeledToken>(&token))
        checkFinite(labeled->value);
    else if (const auto* text = std::get_if<PlotParser::TextToken>(&token)) {
        // 64 characters of at most four bytes each.
        if (text->text.empty() || text->text.size() > 4 * PlotParser::maxFieldLength)
            __builtin_trap();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    const bool commaIsDecimal = (data[0] & 1) != 0;
    const std::uint8_t splitSeed = data[1];
    const std::vector<std::uint8_t> stream(data + 2, data + size);
    const std::string_view text(reinterpret_cast<const char*>(stream.data()), stream.size());

    if (const auto number = PlotParser::parseNumber(text, commaIsDecimal))
        checkFinite(*number);
    checkToken(PlotParser::classify(text, commaIsDecimal));

    static const std::vector<std::string> header{"temp", "", "hum"};
    const auto line = PlotParser::parseLine(text, header);
    if (const auto* values = std::get_if<PlotParser::ValuesLine>(&line)) {
        checkRow(values->values);
    } else if (const auto* names = std::get_if<PlotParser::HeaderLine>(&line)) {
        if (names->names.size() < 2 || names->names.size() > PlotParser::maxFields)
            __builtin_trap();
        for (const auto& name : names->names) {
            if (name.empty())
                __builtin_trap();
        }
    }

    PlotParser whole;
    const auto expected = whole.feed(stream);
    for (const auto& row : expected)
        checkRow(row);

    PlotParser split;
    std::vector<PlotParser::Row> actual;
    std::size_t offset = 0;
    std::uint32_t state = splitSeed + 1u;
    while (offset < stream.size()) {
        state = state * 1103515245u + 12345u;
        const std::size_t length = std::min<std::size_t>(stream.size() - offset, 1 + (state >> 16) % 9);
        for (auto& row : split.feed(std::span(stream).subspan(offset, length)))
            actual.push_back(std::move(row));
        if (split.buffer().size() > PlotParser::maxLineLength)
            __builtin_trap();
        offset += length;
    }
    if (actual != expected || split.header() != whole.header() || split.buffer() != whole.buffer())
        __builtin_trap();
    return 0;
}

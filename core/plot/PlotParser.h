#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace velmora {

// Turns received bytes into measurement rows: one row per text line, each an ordered list of
// named numbers. Sketches print numbers separated by spaces, commas, semicolons or tabs (the last
// two allow a decimal comma), named as "temp:21.5", "temp=21.5" or "Temp 21.5", or under the
// columns of a CSV header line such as "temp,hum". Lines without numbers yield nothing.
//
// Numbers follow the "C" locale whatever the process locale is: a German LC_NUMERIC must not
// turn "21.5" into 21.
//
// A value type owned by the plot store and used on the main thread. Lines are assembled across
// chunks, so a chunk may end anywhere, also inside a character.
class PlotParser {
public:
    // Longer lines are dropped whole: a device that never ends its line cannot make us grow.
    static constexpr std::size_t maxLineLength = 1024;
    static constexpr std::size_t maxFields = 32;
    // Longer fields are never numbers; text fields are cut to this many characters.
    static constexpr std::size_t maxFieldLength = 64;

    struct Value {
        std::string name;
        double value = 0;

        friend bool operator==(const Value&, const Value&) = default;
    };
    using Row = std::vector<Value>;

    // What one field of a line is.
    struct NumberToken {
        double value = 0;
        friend bool operator==(const NumberToken&, const NumberToken&) = default;
    };
    // "name:number" or "name=number".
    struct LabeledToken {
        std::string name;
        double value = 0;
        friend bool operator==(const LabeledToken&, const LabeledToken&) = default;
    };
    // "name:" or "name=", the number following as the next field.
    struct LabelToken {
        std::string name;
        friend bool operator==(const LabelToken&, const LabelToken&) = default;
    };
    // Anything else that is not empty, cut to its first 64 characters.
    struct TextToken {
        std::string text;
        friend bool operator==(const TextToken&, const TextToken&) = default;
    };
    struct EmptyToken {
        friend bool operator==(const EmptyToken&, const EmptyToken&) = default;
    };
    using Token = std::variant<NumberToken, LabeledToken, LabelToken, TextToken, EmptyToken>;

    // What one line is.
    struct HeaderLine {
        std::vector<std::string> names;
        friend bool operator==(const HeaderLine&, const HeaderLine&) = default;
    };
    // At least one value.
    struct ValuesLine {
        Row values;
        friend bool operator==(const ValuesLine&, const ValuesLine&) = default;
    };
    struct SkippedLine {
        friend bool operator==(const SkippedLine&, const SkippedLine&) = default;
    };
    using LineResult = std::variant<HeaderLine, ValuesLine, SkippedLine>;

    // Consumes one received chunk and returns the rows of the lines it completed, in order. A
    // header line replaces header() at once, so it names the values of the lines after it in
    // the same chunk.
    std::vector<Row> feed(std::span<const std::uint8_t> bytes);

    // The plotter was hidden and is shown again: bytes of a line begun before must not be glued
    // to what comes next. The header stays.
    void discardPartialLine();

    // One complete line, without its terminator, as UTF-8. Values without a name of their own
    // take header[column] or the catalogue's "Value {n}" in the current language.
    static LineResult parseLine(std::string_view line, const std::vector<std::string>& header);
    static Token classify(std::string_view field, bool commaIsDecimal);
    // The whole field must be the number: an integer or decimal with optional sign and exponent,
    // or a hexadecimal ("0x1F") or binary ("0b1010") unsigned 64-bit integer with optional sign.
    // Words such as "inf" and "nan" and results that do not fit a double are not numbers.
    static std::optional<double> parseNumber(std::string_view field, bool commaIsDecimal);

    // The bytes of the line being assembled, without a terminator.
    const std::vector<std::uint8_t>& buffer() const { return buffer_; }
    // True while the rest of an over-long line is being skipped.
    bool discardingLongLine() const { return discardingLongLine_; }
    // The names from the most recent header line; empty until one is seen.
    const std::vector<std::string>& header() const { return header_; }

private:
    void endLine(std::span<const std::uint8_t> line, std::vector<Row>& rows);

    std::vector<std::uint8_t> buffer_;
    bool discardingLongLine_ = false;
    std::vector<std::string> header_;
};

} // namespace velmora

#include "core/plot/PlotParser.h"

#include "core/text/Utf8.h"
#include "localization/L10n.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>
#include <system_error>

namespace velmora {

namespace {

struct Scalar {
    char32_t value;
    std::size_t length;
};

Scalar scalarAt(std::string_view text, std::size_t at)
{
    const auto lead = static_cast<unsigned char>(text[at]);
    if (lead < 0x80)
        return {lead, 1};
    const auto decoded =
        decodeUtf8Scalar(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()), at);
    return {decoded.scalar, decoded.length};
}

// Tab and the space separators (general category Zs).
bool isSpaceOrTab(char32_t c)
{
    switch (c) {
    case U'\t':
    case U' ':
    case U'\u00A0':
    case U'\u1680':
    case U'\u202F':
    case U'\u205F':
    case U'\u3000':
        return true;
    default:
        return c >= U'\u2000' && c <= U'\u200A';
    }
}

// The Unicode White_Space property.
bool isWhiteSpace(char32_t c)
{
    return isSpaceOrTab(c) || (c >= U'\n' && c <= U'\r') || c == U'\u0085' || c == U'\u2028' || c == U'\u2029';
}

std::string_view trimSpaces(std::string_view text)
{
    std::size_t begin = 0;
    while (begin < text.size()) {
        const auto scalar = scalarAt(text, begin);
        if (!isSpaceOrTab(scalar.value))
            break;
        begin += scalar.length;
    }
    std::size_t end = text.size();
    // An ASCII byte is always a character of its own, so trailing ASCII can be looked at from
    // the back; anything else needs a forward scan.
    while (end > begin) {
        const auto last = static_cast<unsigned char>(text[end - 1]);
        if (last >= 0x80) {
            end = begin;
            for (std::size_t i = begin; i < text.size();) {
                const auto scalar = scalarAt(text, i);
                i += scalar.length;
                if (!isSpaceOrTab(scalar.value))
                    end = i;
            }
            break;
        }
        if (last != ' ' && last != '\t')
            break;
        --end;
    }
    return text.substr(begin, end - begin);
}

std::string_view firstCharacters(std::string_view text, std::size_t count)
{
    std::size_t end = 0;
    for (std::size_t taken = 0; taken < count && end < text.size(); ++taken)
        end += scalarAt(text, end).length;
    return text.substr(0, end);
}

// A field's kind, pointing into the line; the public Token owns its strings.
struct FieldToken {
    enum class Kind { number, labeled, label, text, empty };
    Kind kind = Kind::empty;
    std::string_view name;
    double value = 0;
};

FieldToken classifyField(std::string_view field, bool commaIsDecimal)
{
    using Kind = FieldToken::Kind;
    if (field.empty())
        return {Kind::empty, {}, 0};
    if (const auto number = PlotParser::parseNumber(field, commaIsDecimal))
        return {Kind::number, {}, *number};
    const auto colon = field.find_first_of(":=");
    if (colon != std::string_view::npos) {
        const auto name = trimSpaces(field.substr(0, colon));
        const auto valueText = trimSpaces(field.substr(colon + 1));
        if (valueText.empty())
            return name.empty() ? FieldToken{Kind::text, firstCharacters(field, PlotParser::maxFieldLength), 0}
                                : FieldToken{Kind::label, name, 0};
        if (!name.empty()) {
            if (const auto number = PlotParser::parseNumber(valueText, commaIsDecimal))
                return {Kind::labeled, name, *number};
        }
    }
    return {Kind::text, firstCharacters(field, PlotParser::maxFieldLength), 0};
}

// Reads the whole of digits as an unsigned 64-bit integer in base.
std::optional<double> parseUnsigned(std::string_view digits, int base)
{
    std::uint64_t value = 0;
    const auto end = digits.data() + digits.size();
    const auto [ptr, ec] = std::from_chars(digits.data(), end, value, base);
    if (ec != std::errc() || ptr != end)
        return std::nullopt;
    return static_cast<double>(value);
}

bool isNumberCharacter(char c)
{
    return (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.' || c == 'e' || c == 'E';
}

// strtod's grammar in the "C" locale, restricted to what passed the character check.
std::optional<double> parseDecimal(std::string_view text)
{
    const char* first = text.data();
    const char* const end = text.data() + text.size();
    bool negative = false;
    // from_chars takes no '+' and only one sign; strtod takes either, but only one.
    if (first != end && (*first == '+' || *first == '-')) {
        negative = *first == '-';
        ++first;
        if (first != end && (*first == '+' || *first == '-'))
            return std::nullopt;
    }
    double value = 0;
    const auto [ptr, ec] = std::from_chars(first, end, value, std::chars_format::general);
    if (ec == std::errc::invalid_argument || ptr != end)
        return std::nullopt;
    if (ec == std::errc::result_out_of_range) {
        // strtod overflows to infinity, which is not a number, and underflows to zero, which
        // is. Within 64 characters the digits alone shift the magnitude by at most 10^64, so a
        // result out of range is an underflow exactly when the exponent is negative.
        const auto exponent = text.find_first_of("eE");
        if (exponent == std::string_view::npos || exponent + 1 >= text.size() || text[exponent + 1] != '-')
            return std::nullopt;
        value = 0;
    }
    return negative ? -value : value;
}

const std::string& defaultName(std::size_t column)
{
    // Built once per language and column: the catalogue assembles its texts on every call,
    // which would dominate the parsing of a busy stream.
    thread_local std::array<std::array<std::string, PlotParser::maxFields>, allLanguages.size()> names;
    auto& name = names[static_cast<std::size_t>(L10n::language())][column];
    if (name.empty())
        name = L10n::Plotter::valueName(static_cast<std::int64_t>(column) + 1);
    return name;
}

// The line's text, with every invalid UTF-8 sequence replaced by U+FFFD; scratch holds the
// repaired copy when one is needed.
std::string_view validUtf8(std::span<const std::uint8_t> bytes, std::string& scratch)
{
    const auto* const data = reinterpret_cast<const char*>(bytes.data());
    if (std::all_of(bytes.begin(), bytes.end(), [](std::uint8_t byte) { return byte < 0x80; }))
        return {data, bytes.size()};
    scratch.clear();
    for (std::size_t i = 0; i < bytes.size();) {
        const auto decoded = decodeUtf8Scalar(bytes, i);
        if (decoded.scalar == replacementCharacter)
            scratch += "\xEF\xBF\xBD";
        else
            scratch.append(data + i, decoded.length);
        i += decoded.length;
    }
    return scratch;
}

} // namespace

std::vector<PlotParser::Row> PlotParser::feed(std::span<const std::uint8_t> bytes)
{
    std::vector<Row> rows;
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto* const stop = std::find_if(bytes.data() + i, bytes.data() + bytes.size(),
            [](std::uint8_t byte) { return byte == '\n' || byte == '\r'; });
        const auto end = static_cast<std::size_t>(stop - bytes.data());
        const auto piece = bytes.subspan(i, end - i);
        const bool terminated = end < bytes.size();
        if (!discardingLongLine_) {
            if (terminated && buffer_.empty() && piece.size() <= maxLineLength) {
                // The whole line is in this chunk: parse it where it is.
                endLine(piece, rows);
                i = end + 1;
                continue;
            }
            if (buffer_.size() + piece.size() > maxLineLength) {
                buffer_.clear();
                discardingLongLine_ = true;
            } else {
                buffer_.insert(buffer_.end(), piece.begin(), piece.end());
            }
        }
        if (!terminated)
            break;
        if (!discardingLongLine_)
            endLine(buffer_, rows);
        buffer_.clear();
        discardingLongLine_ = false;
        i = end + 1;
    }
    return rows;
}

void PlotParser::endLine(std::span<const std::uint8_t> line, std::vector<Row>& rows)
{
    if (line.empty())
        return;
    std::string scratch;
    auto result = parseLine(validUtf8(line, scratch), header_);
    if (auto* header = std::get_if<HeaderLine>(&result))
        header_ = std::move(header->names);
    else if (auto* values = std::get_if<ValuesLine>(&result))
        rows.push_back(std::move(values->values));
}

void PlotParser::discardPartialLine()
{
    buffer_.clear();
    discardingLongLine_ = false;
}

PlotParser::LineResult PlotParser::parseLine(std::string_view line, const std::vector<std::string>& header)
{
    const auto trimmed = trimSpaces(line);
    if (trimmed.empty())
        return SkippedLine{};

    std::array<std::string_view, maxFields> fields;
    std::size_t fieldCount = 0;
    bool explicitSeparator = true;
    bool commaIsDecimal = false;
    char separator = ',';
    if (trimmed.find(';') != std::string_view::npos) {
        separator = ';';
        commaIsDecimal = true;
    } else if (trimmed.find('\t') != std::string_view::npos) {
        separator = '\t';
        commaIsDecimal = true;
    } else if (trimmed.find(',') == std::string_view::npos) {
        explicitSeparator = false;
    }

    if (explicitSeparator) {
        std::size_t start = 0;
        while (fieldCount < maxFields) {
            const auto next = trimmed.find(separator, start);
            fields[fieldCount++] = trimSpaces(trimmed.substr(start, next - start));
            if (next == std::string_view::npos)
                break;
            start = next + 1;
        }
    } else {
        std::size_t start = std::string_view::npos;
        for (std::size_t i = 0; i < trimmed.size() && fieldCount < maxFields;) {
            const auto scalar = scalarAt(trimmed, i);
            if (isWhiteSpace(scalar.value)) {
                if (start != std::string_view::npos) {
                    fields[fieldCount++] = trimmed.substr(start, i - start);
                    start = std::string_view::npos;
                }
            } else if (start == std::string_view::npos) {
                start = i;
            }
            i += scalar.length;
        }
        if (start != std::string_view::npos && fieldCount < maxFields)
            fields[fieldCount++] = trimmed.substr(start);
    }

    using Kind = FieldToken::Kind;
    std::array<FieldToken, maxFields> tokens;
    bool allNames = true;
    for (std::size_t i = 0; i < fieldCount; ++i) {
        tokens[i] = classifyField(fields[i], commaIsDecimal);
        allNames = allNames && (tokens[i].kind == Kind::label || tokens[i].kind == Kind::text);
    }

    if (explicitSeparator && fieldCount >= 2 && allNames) {
        HeaderLine result;
        result.names.reserve(fieldCount);
        for (std::size_t i = 0; i < fieldCount; ++i)
            result.names.emplace_back(tokens[i].name);
        return result;
    }

    Row values;
    std::size_t column = 0;
    std::string_view pending;
    for (std::size_t i = 0; i < fieldCount; ++i) {
        const auto& token = tokens[i];
        switch (token.kind) {
        case Kind::labeled:
            values.push_back({std::string(token.name), token.value});
            pending = {};
            break;
        case Kind::number:
            if (!pending.empty()) {
                values.push_back({std::string(pending), token.value});
                pending = {};
            } else {
                if (column < header.size() && !header[column].empty())
                    values.push_back({header[column], token.value});
                else
                    values.push_back({defaultName(column), token.value});
                ++column;
            }
            break;
        case Kind::label:
        case Kind::text:
            pending = token.name;
            break;
        case Kind::empty:
            pending = {};
            ++column;
            break;
        }
    }
    if (values.empty())
        return SkippedLine{};
    return ValuesLine{std::move(values)};
}

PlotParser::Token PlotParser::classify(std::string_view field, bool commaIsDecimal)
{
    const auto token = classifyField(field, commaIsDecimal);
    switch (token.kind) {
    case FieldToken::Kind::number:
        return NumberToken{token.value};
    case FieldToken::Kind::labeled:
        return LabeledToken{std::string(token.name), token.value};
    case FieldToken::Kind::label:
        return LabelToken{std::string(token.name)};
    case FieldToken::Kind::text:
        return TextToken{std::string(token.name)};
    case FieldToken::Kind::empty:
        break;
    }
    return EmptyToken{};
}

std::optional<double> PlotParser::parseNumber(std::string_view field, bool commaIsDecimal)
{
    // Bytes, not characters: a field with a non-ASCII character fails the checks below anyway.
    if (field.empty() || field.size() > maxFieldLength)
        return std::nullopt;

    double sign = 1;
    auto body = field;
    if (body.front() == '-' || body.front() == '+') {
        sign = body.front() == '-' ? -1 : 1;
        body.remove_prefix(1);
    }
    if (body.size() > 2 && body[0] == '0') {
        const char prefix = static_cast<char>(body[1] | 0x20);
        const int base = prefix == 'x' ? 16 : prefix == 'b' ? 2 : 0;
        if (base != 0) {
            if (const auto value = parseUnsigned(body.substr(2), base))
                return sign * *value;
        }
    }

    std::array<char, maxFieldLength> repaired;
    std::string_view text = field;
    if (commaIsDecimal && field.find(',') != std::string_view::npos && field.find('.') == std::string_view::npos) {
        std::replace_copy(field.begin(), field.end(), repaired.begin(), ',', '.');
        text = {repaired.data(), field.size()};
    }
    if (!std::all_of(text.begin(), text.end(), isNumberCharacter))
        return std::nullopt;
    if (std::none_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    return parseDecimal(text);
}

} // namespace velmora

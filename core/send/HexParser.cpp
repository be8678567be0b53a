#include "core/send/HexParser.h"

#include "localization/L10n.h"

#include <algorithm>

namespace velmora {

namespace {

constexpr bool isSeparator(char c)
{
    switch (c) {
    case ' ':
    case '\t':
    case '\n':
    case '\r':
    case ',':
    case ';':
    case ':':
    case '-':
        return true;
    default:
        return false;
    }
}

// ASCII only: full-width or other Unicode digits are not hex digits here.
constexpr int hexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::uint8_t byteFromDigits(char high, char low)
{
    return static_cast<std::uint8_t>(hexDigitValue(high) * 16 + hexDigitValue(low));
}

} // namespace

HexParseError HexParseError::invalidCharacter(std::string token)
{
    HexParseError error(Kind::invalidCharacter);
    error.token_ = std::move(token);
    return error;
}

HexParseError HexParseError::oddLength(std::string token)
{
    HexParseError error(Kind::oddLength);
    error.token_ = std::move(token);
    return error;
}

HexParseError HexParseError::tooLong(std::int64_t max)
{
    HexParseError error(Kind::tooLong);
    error.max_ = max;
    return error;
}

std::string HexParseError::message() const
{
    switch (kind_) {
    case Kind::invalidCharacter:
        return L10n::Send::invalidHex(token_);
    case Kind::oddLength:
        return L10n::Send::oddLength(token_);
    case Kind::tooLong:
        return L10n::Errors::messageTooLong(max_);
    }
    return {};
}

BytesOrHexError parseHex(std::string_view text, std::int64_t maximum)
{
    std::vector<std::uint8_t> result;
    std::size_t position = 0;
    while (position < text.size()) {
        if (isSeparator(text[position])) {
            ++position;
            continue;
        }
        std::size_t end = position;
        while (end < text.size() && !isSeparator(text[end]))
            ++end;
        const std::string_view token = text.substr(position, end - position);
        position = end;

        std::string_view digits = token;
        if (digits.starts_with("0x") || digits.starts_with("0X"))
            digits.remove_prefix(2);
        if (digits.empty() || !std::ranges::all_of(digits, [](char c) { return hexDigitValue(c) >= 0; }))
            return HexParseError::invalidCharacter(std::string(token));
        if (digits.size() > 1 && digits.size() % 2 != 0)
            return HexParseError::oddLength(std::string(token));

        const std::size_t count = digits.size() == 1 ? 1 : digits.size() / 2;
        // Checked before decoding, so one huge token never grows the result past the limit.
        if (static_cast<std::int64_t>(result.size() + count) > maximum)
            return HexParseError::tooLong(maximum);
        if (digits.size() == 1) {
            result.push_back(byteFromDigits('0', digits[0]));
        } else {
            for (std::size_t i = 0; i < digits.size(); i += 2)
                result.push_back(byteFromDigits(digits[i], digits[i + 1]));
        }
    }
    return result;
}

} // namespace velmora

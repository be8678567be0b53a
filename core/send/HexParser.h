#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace velmora {

// The most bytes one sent message may hold, in either send mode.
inline constexpr std::int64_t maxMessageBytes = 4096;

// Why input cannot be sent as bytes. The token is the offending piece exactly as typed (UTF-8);
// two errors are equal when kind and payload are.
class HexParseError {
public:
    enum class Kind {
        invalidCharacter, // token
        oddLength, // token
        tooLong, // max
    };

    static HexParseError invalidCharacter(std::string token);
    static HexParseError oddLength(std::string token);
    static HexParseError tooLong(std::int64_t max);

    Kind kind() const { return kind_; }
    const std::string& token() const { return token_; }
    std::int64_t max() const { return max_; }

    // In the current language.
    std::string message() const;

    friend bool operator==(const HexParseError&, const HexParseError&) = default;

private:
    explicit HexParseError(Kind kind) : kind_(kind) {}

    Kind kind_;
    std::string token_;
    std::int64_t max_ = 0;
};

// The bytes of a message, or why there are none.
class BytesOrHexError {
public:
    BytesOrHexError(std::vector<std::uint8_t> bytes) : value_(std::move(bytes)) {}
    BytesOrHexError(HexParseError error) : value_(std::move(error)) {}

    bool ok() const { return std::holds_alternative<std::vector<std::uint8_t>>(value_); }
    // Only when ok().
    const std::vector<std::uint8_t>& bytes() const { return std::get<std::vector<std::uint8_t>>(value_); }
    // Only when not ok().
    const HexParseError& error() const { return std::get<HexParseError>(value_); }

    friend bool operator==(const BytesOrHexError&, const BytesOrHexError&) = default;

private:
    std::variant<std::vector<std::uint8_t>, HexParseError> value_;
};

// Reads bytes written in hexadecimal, in the notations people paste from datasheets and code:
// "48 65 6C", "48656C", "0x48, 0x65", "48:65", "48-65", freely mixed. Tokens are cut at space,
// TAB, LF, CR, comma, semicolon, colon and hyphen; each may start with 0x or 0X, holds ASCII hex
// digits in either case, and is one byte when it is a single digit (A is 0A) or else pairs of
// digits from the left. The first failing token decides the error, and the size is checked after
// every token, so input already past maximum reports tooLong even if a later token is bad too.
// Input without tokens gives no bytes.
BytesOrHexError parseHex(std::string_view text, std::int64_t maximum);

} // namespace velmora

// Parses arbitrary text as HEX input; the first byte picks the limit.
// Fails when: it crashes; a success holds more bytes than the limit; the bytes of a success,
// written back as "%02X" joined by spaces, do not parse to themselves; a tooLong error names
// another limit; an invalid or odd token is not a piece of the input free of separators.
#include "core/send/HexParser.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

using velmora::HexParseError;
using velmora::parseHex;

// Small limits that short inputs can reach, and larger ones in steps of 64 up to 8128, among them
// maxMessageBytes.
std::int64_t limitFor(std::uint8_t selector)
{
    return selector < 128 ? selector : std::int64_t{selector - 128} * 64;
}

std::string written(const std::vector<std::uint8_t>& bytes)
{
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string text;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i > 0)
            text += ' ';
        text += digits[bytes[i] >> 4];
        text += digits[bytes[i] & 0x0F];
    }
    return text;
}

bool isPieceOfInput(std::string_view token, std::string_view text)
{
    return !token.empty() && text.find(token) != std::string_view::npos &&
        token.find_first_of(std::string_view(" \t\n\r,;:-")) == std::string_view::npos;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::int64_t maximum = limitFor(data[0]);
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);

    const auto parsed = parseHex(text, maximum);
    if (parsed.ok()) {
        if (static_cast<std::int64_t>(parsed.bytes().size()) > maximum)
            __builtin_trap();
        const auto again = parseHex(written(parsed.bytes()), maximum);
        if (!again.ok() || again.bytes() != parsed.bytes())
            __builtin_trap();
        return 0;
    }

    const HexParseError& error = parsed.error();
    switch (error.kind()) {
    case HexParseError::Kind::tooLong:
        if (error.max() != maximum)
            __builtin_trap();
        break;
    case HexParseError::Kind::invalidCharacter:
    case HexParseError::Kind::oddLength:
        if (!isPieceOfInput(error.token(), text))
            __builtin_trap();
        break;
    }
    // The message quotes the token as typed, which need not be valid UTF-8.
    if (error.message().empty())
        __builtin_trap();
    return 0;
}

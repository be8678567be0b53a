#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace velmora {

inline constexpr char32_t replacementCharacter = U'\uFFFD';

struct DecodedScalar {
    char32_t scalar;
    std::size_t length; // bytes consumed, at least 1
};

// Decodes the scalar value that starts at bytes[at] (at < bytes.size()). A maximal ill-formed
// subpart gives U+FFFD and is consumed whole, as the Unicode Standard recommends: "E0 80 41"
// decodes as U+FFFD, U+FFFD, "A", and "F0 90 41" as U+FFFD, "A".
inline DecodedScalar decodeUtf8Scalar(std::span<const std::uint8_t> bytes, std::size_t at)
{
    const std::size_t n = bytes.size();
    const std::uint8_t lead = bytes[at];
    if (lead < 0x80)
        return {lead, 1};
    int continuations = 0;
    std::uint8_t low = 0x80;
    std::uint8_t high = 0xBF;
    char32_t scalar = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        continuations = 1;
        scalar = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        continuations = 2;
        scalar = lead & 0x0F;
        if (lead == 0xE0)
            low = 0xA0;
        else if (lead == 0xED)
            high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        continuations = 3;
        scalar = lead & 0x07;
        if (lead == 0xF0)
            low = 0x90;
        else if (lead == 0xF4)
            high = 0x8F;
    } else {
        return {replacementCharacter, 1};
    }
    std::size_t j = at + 1;
    for (int k = 0; k < continuations; ++k, ++j) {
        // Only the first continuation byte has a narrowed range.
        const std::uint8_t min = k == 0 ? low : std::uint8_t{0x80};
        const std::uint8_t max = k == 0 ? high : std::uint8_t{0xBF};
        if (j >= n || bytes[j] < min || bytes[j] > max)
            return {replacementCharacter, j - at};
        scalar = (scalar << 6) | (bytes[j] & 0x3F);
    }
    return {scalar, j - at};
}

// Decodes all of bytes, calling onScalar for every scalar value in order.
template <typename OnScalar> void decodeUtf8(std::span<const std::uint8_t> bytes, OnScalar&& onScalar)
{
    for (std::size_t i = 0; i < bytes.size();) {
        const auto decoded = decodeUtf8Scalar(bytes, i);
        onScalar(decoded.scalar);
        i += decoded.length;
    }
}

// Appends one scalar value as UTF-16 (a surrogate pair above U+FFFF).
inline void appendUtf16(std::u16string& out, char32_t scalar)
{
    if (scalar < 0x10000) {
        out += static_cast<char16_t>(scalar);
    } else {
        scalar -= 0x10000;
        out += static_cast<char16_t>(0xD800 + (scalar >> 10));
        out += static_cast<char16_t>(0xDC00 + (scalar & 0x3FF));
    }
}

std::u16string utf8ToUtf16(std::string_view utf8);
std::u16string utf8ToUtf16(std::span<const std::uint8_t> utf8);
// Lone surrogates become U+FFFD.
std::string utf16ToUtf8(std::u16string_view utf16);

} // namespace velmora

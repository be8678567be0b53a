#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace velmora {

inline constexpr char32_t replacementCharacter = U'\uFFFD';

// Decodes UTF-8, calling onScalar for every Unicode scalar value in order. Each maximal
// ill-formed subpart becomes one U+FFFD, as the Unicode Standard recommends (so "E0 80 41"
// gives U+FFFD U+FFFD "A", and "F0 90 41" gives U+FFFD "A").
template <typename OnScalar>
void decodeUtf8(std::span<const std::uint8_t> bytes, OnScalar&& onScalar)
{
    const std::size_t n = bytes.size();
    std::size_t i = 0;
    while (i < n) {
        const std::uint8_t lead = bytes[i];
        if (lead < 0x80) {
            onScalar(static_cast<char32_t>(lead));
            ++i;
            continue;
        }
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
            onScalar(replacementCharacter);
            ++i;
            continue;
        }
        std::size_t j = i + 1;
        bool complete = true;
        for (int k = 0; k < continuations; ++k, ++j) {
            // Only the first continuation byte has a narrowed range.
            const std::uint8_t min = k == 0 ? low : std::uint8_t{0x80};
            const std::uint8_t max = k == 0 ? high : std::uint8_t{0xBF};
            if (j >= n || bytes[j] < min || bytes[j] > max) {
                complete = false;
                break;
            }
            scalar = (scalar << 6) | (bytes[j] & 0x3F);
        }
        onScalar(complete ? scalar : replacementCharacter);
        i = j;
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

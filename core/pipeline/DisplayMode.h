#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace velmora {

// How received bytes are shown. The raw values are what the settings store keeps.
enum class DisplayMode { text, hex, hexDump, decimal, binary, asciiEscaped };

inline constexpr std::array allDisplayModes{DisplayMode::text, DisplayMode::hex, DisplayMode::hexDump,
    DisplayMode::decimal, DisplayMode::binary, DisplayMode::asciiEscaped};

std::string_view rawValue(DisplayMode mode);
// A stored value that is none of the raw values gives no mode; the caller reads that as text.
std::optional<DisplayMode> displayModeFromRaw(std::string_view raw);

inline constexpr std::int64_t defaultBytesPerLine = 16;
inline constexpr std::array<std::int64_t, 3> allowedBytesPerLine{8, 16, 32};
// 0 turns the new line after a pause off.
inline constexpr std::int64_t defaultGapMs = 0;
inline constexpr std::array<std::int64_t, 8> allowedGapMs{0, 10, 20, 50, 100, 200, 500, 1000};

// Persisted values outside the allowed lists fall back to the defaults.
std::int64_t normalizedBytesPerLine(std::int64_t stored);
std::int64_t normalizedGapMs(std::int64_t stored);

// The byte formatter's settings, built afresh by the session for every batch.
struct ByteDisplayOptions {
    DisplayMode mode = DisplayMode::text;
    // Used by hex, hexDump, decimal and binary; text and asciiEscaped cut at their own capacity.
    std::int64_t bytesPerLine = defaultBytesPerLine;
    // asciiEscaped breaks after every LF whatever this says.
    bool breakOnLF = false;
    std::int64_t gapMs = defaultGapMs;
    bool timestamps = false;
    // The "← " direction marker while echo of sent data is on.
    std::optional<std::u16string> linePrefix;

    friend bool operator==(const ByteDisplayOptions&, const ByteDisplayOptions&) = default;
};

} // namespace velmora

#pragma once

#include <QColor>

#include <cstdint>

namespace velmora {

// The colour of a series: twelve clear, distinct hues in a fixed order (blue, orange, green,
// red, purple, teal, pink, yellow, brown, indigo, mint, cyan), repeated from the 13th series
// on. Each has a variant for dark backgrounds so that lines read on both.
QColor seriesColor(std::int64_t colorIndex, bool darkBackground = false);

inline constexpr int paletteSize = 12;

} // namespace velmora

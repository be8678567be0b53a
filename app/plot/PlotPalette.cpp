#include "app/plot/PlotPalette.h"

#include <array>

namespace velmora {
namespace {

struct Hue {
    QRgb light;
    QRgb dark;
};

constexpr std::array<Hue, paletteSize> palette{{
    {0xFF007AFF, 0xFF0A84FF}, // blue
    {0xFFFF9500, 0xFFFF8C00}, // orange
    {0xFF28A745, 0xFF30D158}, // green
    {0xFFFF3B30, 0xFFFF453A}, // red
    {0xFFAF52DE, 0xFFBF5AF2}, // purple
    {0xFF0E7C86, 0xFF40C8E0}, // teal
    {0xFFE91E8C, 0xFFFF5CA8}, // pink
    {0xFFC9A800, 0xFFFFD60A}, // yellow: darker on light backgrounds so it stays readable
    {0xFFA2845E, 0xFFAC8E68}, // brown
    {0xFF5856D6, 0xFF7D7AFF}, // indigo
    {0xFF00B89C, 0xFF63E6BE}, // mint
    {0xFF32ADE6, 0xFF64D2FF}, // cyan
}};

} // namespace

QColor seriesColor(std::int64_t colorIndex, bool darkBackground)
{
    const auto index = static_cast<std::size_t>(((colorIndex % paletteSize) + paletteSize) % paletteSize);
    return QColor::fromRgba(darkBackground ? palette[index].dark : palette[index].light);
}

} // namespace velmora

#include "core/plot/SparklinePoints.h"

#include <algorithm>

namespace velmora {

std::vector<PlotStore::Point> sparklinePoints(std::span<const PlotStore::Point> points, std::size_t maxPoints)
{
    if (points.size() <= maxPoints || maxPoints < 2)
        return {points.begin(), points.end()};
    const std::size_t step = (points.size() + maxPoints - 1) / maxPoints;
    std::vector<PlotStore::Point> kept;
    kept.reserve(points.size() / step + 2);
    for (std::size_t i = 0; i < points.size(); i += step)
        kept.push_back(points[i]);
    if ((points.size() - 1) % step != 0)
        kept.push_back(points.back());
    return kept;
}

std::pair<double, double> sparklineRange(const std::optional<PlotStore::Statistics>& statistics)
{
    if (!statistics)
        return {0.0, 1.0};
    const double spread = statistics->max - statistics->min;
    const double pad = spread == 0 ? 1.0 : spread * 0.1;
    return {statistics->min - pad, statistics->max + pad};
}

std::optional<std::string> neighbourCard(const std::vector<std::string>& names, const std::string& expanded, int step)
{
    const auto found = std::find(names.begin(), names.end(), expanded);
    if (found == names.end())
        return std::nullopt;
    const auto count = static_cast<std::ptrdiff_t>(names.size());
    const std::ptrdiff_t position = ((found - names.begin()) + step % count + count) % count;
    return names[static_cast<std::size_t>(position)];
}

} // namespace velmora

#pragma once

#include "core/plot/PlotStore.h"

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace velmora {

// The points a sparkline draws: at most about maxPoints of the series' published points, every
// step-th one from the first (step = ⌈count ÷ maxPoints⌉) and the last one always.
std::vector<PlotStore::Point> sparklinePoints(std::span<const PlotStore::Point> points, std::size_t maxPoints);

// The Y range of a sparkline: the statistics' range with a tenth of it added on both sides (one
// unit for a constant series), or 0 to 1 without statistics.
std::pair<double, double> sparklineRange(const std::optional<PlotStore::Statistics>& statistics);

// The series that previous (step −1) or next (step +1) shows from the enlarged card, wrapping
// around both ends; nothing when the enlarged series is not among the names.
std::optional<std::string> neighbourCard(const std::vector<std::string>& names, const std::string& expanded, int step);

} // namespace velmora

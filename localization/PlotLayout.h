#pragma once

namespace velmora {

// How the plotter arranges its series: all on one chart, one chart per series
// stacked vertically, or a grid of cards with the current values.
enum class PlotLayout { shared, stacked, cards };

} // namespace velmora

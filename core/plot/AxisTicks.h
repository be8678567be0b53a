#pragma once

#include <vector>

namespace velmora {

// Round tick values for a chart axis: steps of 1, 2, 2.5 or 5 times a power of ten, chosen so
// that about `target` ticks cover the data. The first tick is at or below `low` and the last at
// or above `high`, so an axis spanning them shows every value. A range of zero width (a
// constant series) is widened around its value first; the axis never has to include zero.
struct AxisTicks {
    double lower = 0;
    double upper = 1;
    double step = 1;
    std::vector<double> values;
};

AxisTicks niceTicks(double low, double high, int target);

// Ticks for the sample axis: whole numbers only, inside [low, high] (which stays the axis
// range, so the newest sample sits at the right edge).
std::vector<double> sampleTicks(double low, double high, int target);

} // namespace velmora

#include "core/plot/AxisTicks.h"

#include <algorithm>
#include <cmath>

namespace velmora {
namespace {

// The smallest step of the form {1, 2, 2.5, 5} × 10^k that is at least rough; without 2.5 for
// whole-number axes, where it would fall between samples.
double niceStep(double rough, bool wholeNumbers = false)
{
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    for (const double factor : {1.0, 2.0, 2.5, 5.0, 10.0}) {
        if (wholeNumbers && factor == 2.5)
            continue;
        if (factor * power >= rough * (1 - 1e-9))
            return factor * power;
    }
    return 10 * power;
}

// Multiples of step lose their roundness to floating point (0.1 × 3); rounding to the step's
// own precision gives the value back as typed.
double clean(double value, double step)
{
    const double scale = std::pow(10.0, std::max(0.0, -std::floor(std::log10(step)) + 2));
    const double cleaned = std::round(value * scale) / scale;
    return cleaned == 0 ? 0.0 : cleaned;
}

} // namespace

AxisTicks niceTicks(double low, double high, int target)
{
    if (!std::isfinite(low) || !std::isfinite(high))
        return {};
    if (low > high)
        std::swap(low, high);
    if (high - low < std::max(std::abs(low), std::abs(high)) * 1e-12 || high == low) {
        // A flat line: a band around it, one unit wide or a tenth of its size.
        const double pad = low == 0 ? 1.0 : std::abs(low) * 0.1;
        low -= pad;
        high += pad;
    }
    target = std::max(2, target);

    AxisTicks ticks;
    ticks.step = niceStep((high - low) / (target - 1));
    // Coarser steps until the covering ticks are not more than target + 1.
    for (;;) {
        ticks.lower = std::floor(low / ticks.step + 1e-9) * ticks.step;
        ticks.upper = std::ceil(high / ticks.step - 1e-9) * ticks.step;
        const double count = std::round((ticks.upper - ticks.lower) / ticks.step) + 1;
        if (count <= target + 1)
            break;
        ticks.step = niceStep(ticks.step * 1.01);
    }
    const auto count = static_cast<int>(std::round((ticks.upper - ticks.lower) / ticks.step)) + 1;
    ticks.values.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        ticks.values.push_back(clean(ticks.lower + i * ticks.step, ticks.step));
    ticks.lower = ticks.values.front();
    ticks.upper = ticks.values.back();
    return ticks;
}

std::vector<double> sampleTicks(double low, double high, int target)
{
    std::vector<double> values;
    if (!(high > low) || !std::isfinite(low) || !std::isfinite(high))
        return values;
    const double step = std::max(1.0, niceStep((high - low) / std::max(1, target), true));
    for (double value = std::ceil(low / step) * step; value <= high + 1e-9; value += step)
        values.push_back(std::round(value));
    return values;
}

} // namespace velmora

#pragma once

#include <QString>

namespace velmora {

// A plotted value as the plotter shows it everywhere but the average: a whole number in plain
// digits ("21", "-5", "1013"); anything else with 1 to 6 significant digits, the locale's
// decimal separator and no grouping ("21.5", "0.0015", "1234570").
QString formatValue(double value);

// The average, with one digit more than the values need (at most four): the mean of 20 and 21
// is "20.5", of 20.5 and 21.25 "20.875".
QString formatMean(int decimals, double value);

} // namespace velmora

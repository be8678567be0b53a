#include "app/plot/PlotFormat.h"

#include <QLocale>

#include <algorithm>
#include <cmath>

namespace velmora {
namespace {

QLocale ungrouped()
{
    QLocale locale;
    locale.setNumberOptions(locale.numberOptions() | QLocale::OmitGroupSeparator);
    return locale;
}

} // namespace

QString formatValue(double value)
{
    if (std::isfinite(value) && value == std::trunc(value) && std::abs(value) < 1e15)
        return QString::number(static_cast<long long>(value));
    // Six significant digits, trailing zeros dropped; large values stay in plain digits as far
    // as six digits reach (1234567.891 → 1234570).
    const QLocale locale = ungrouped();
    if (std::isfinite(value) && std::abs(value) >= 1e6 && std::abs(value) < 1e15) {
        const double magnitude = std::pow(10.0, std::floor(std::log10(std::abs(value))) - 5);
        return locale.toString(std::round(value / magnitude) * magnitude, 'f', 0);
    }
    return locale.toString(value, 'g', 6);
}

QString formatMean(int decimals, double value)
{
    return ungrouped().toString(value, 'f', std::min(decimals + 1, 4));
}

} // namespace velmora

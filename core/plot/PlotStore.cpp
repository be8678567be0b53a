#include "core/plot/PlotStore.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace velmora {

namespace {

constexpr std::array<std::pair<PlotLayout, std::string_view>, 3> layoutRawValues{{
    {PlotLayout::shared, "shared"},
    {PlotLayout::stacked, "stacked"},
    {PlotLayout::cards, "cards"},
}};

std::string_view rawValue(PlotLayout layout)
{
    for (const auto& [candidate, raw] : layoutRawValues) {
        if (candidate == layout)
            return raw;
    }
    return layoutRawValues.front().second;
}

std::optional<PlotLayout> layoutFromRaw(std::string_view raw)
{
    for (const auto& [layout, candidate] : layoutRawValues) {
        if (candidate == raw)
            return layout;
    }
    return std::nullopt;
}

bool isWindowSize(std::int64_t size)
{
    return std::find(PlotStore::windowSizes.begin(), PlotStore::windowSizes.end(), size) !=
        PlotStore::windowSizes.end();
}

// Whether y shows exactly, up to rounding noise, with this many decimals.
bool fitsDecimals(double y, int decimals)
{
    static constexpr std::array<double, PlotStore::maxDecimals + 1> scales{1, 10, 100, 1000, 10000};
    const double s = y * scales[static_cast<std::size_t>(decimals)];
    const double f = std::abs(s - std::round(s));
    return std::abs(s) >= 1 ? f < std::abs(s) * 1e-6 : f < 1e-6;
}

} // namespace

std::shared_ptr<PlotStore> PlotStore::create(MainQueue& mainQueue, SettingsStore& settings)
{
    return std::shared_ptr<PlotStore>(new PlotStore(mainQueue, settings));
}

PlotStore::PlotStore(MainQueue& mainQueue, SettingsStore& settings) : mainQueue_(mainQueue), settings_(settings)
{
    // A missing or foreign value reads as the type's zero, which none of the rules accept.
    const auto storedWindow = settings_.readInteger(windowSizeKey).value;
    windowSize_.set(isWindowSize(storedWindow) ? storedWindow : defaultWindowSize);
    smoothLines_.set(settings_.readBool(smoothLinesKey).value);
    showStatistics_.set(settings_.readBool(showStatisticsKey).valueOr(true));
    if (const auto layout = layoutFromRaw(settings_.readString(layoutKey).value))
        layout_.set(*layout);
    else
        layout_.set(settings_.readBool(separateScalesKey).value ? PlotLayout::stacked : PlotLayout::shared);
}

Subscription PlotStore::observeSeries(Published<std::vector<Series>>::Observer observer)
{
    return series_.subscribe(std::move(observer));
}

Subscription PlotStore::observeLatestSample(Published<std::int64_t>::Observer observer)
{
    return latestSample_.subscribe(std::move(observer));
}

Subscription PlotStore::observeHidden(Published<std::set<std::string>>::Observer observer)
{
    return hidden_.subscribe(std::move(observer));
}

Subscription PlotStore::observePaused(Published<bool>::Observer observer)
{
    return paused_.subscribe(std::move(observer));
}

Subscription PlotStore::observeSmoothLines(Published<bool>::Observer observer)
{
    return smoothLines_.subscribe(std::move(observer));
}

Subscription PlotStore::observeShowStatistics(Published<bool>::Observer observer)
{
    return showStatistics_.subscribe(std::move(observer));
}

Subscription PlotStore::observeLayout(Published<PlotLayout>::Observer observer)
{
    return layout_.subscribe(std::move(observer));
}

Subscription PlotStore::observeWindowSize(Published<std::int64_t>::Observer observer)
{
    return windowSize_.subscribe(std::move(observer));
}

void PlotStore::ingest(std::span<const std::uint8_t> bytes)
{
    const auto rows = parser_.feed(bytes);
    if (paused_.value() || rows.empty())
        return;
    for (const auto& row : rows) {
        // A row counts as a sample even when all its values are dropped.
        ++sampleIndex_;
        for (const auto& value : row)
            append(value.name, value.value);
    }
    const auto window = windowSize_.value();
    const auto limit = static_cast<std::size_t>(window + window / 4);
    if (std::any_of(storage_.begin(), storage_.end(), [&](const Series& s) { return s.points.size() > limit; }))
        trimStorage();
    scheduleRefresh();
}

void PlotStore::append(const std::string& name, double value)
{
    const auto found = std::find_if(storage_.begin(), storage_.end(), [&](const Series& s) { return s.name == name; });
    if (found != storage_.end()) {
        found->points.push_back({sampleIndex_, value});
    } else if (storage_.size() < maxSeries) {
        storage_.push_back({name, static_cast<std::int64_t>(storage_.size()), {{sampleIndex_, value}}, std::nullopt});
    }
}

void PlotStore::clear()
{
    storage_.clear();
    parser_ = PlotParser{};
    sampleIndex_ = 0;
    hidden_.setIfChanged({});
    publish();
}

void PlotStore::toggle(const std::string& name)
{
    auto hidden = hidden_.value();
    if (!hidden.erase(name))
        hidden.insert(name);
    hidden_.set(std::move(hidden));
}

void PlotStore::setPaused(bool paused)
{
    paused_.setIfChanged(paused);
}

void PlotStore::setSmoothLines(bool smoothLines)
{
    if (smoothLines == smoothLines_.value())
        return;
    smoothLines_.set(smoothLines);
    settings_.writeBool(smoothLinesKey, smoothLines);
}

void PlotStore::setShowStatistics(bool showStatistics)
{
    if (showStatistics == showStatistics_.value())
        return;
    showStatistics_.set(showStatistics);
    settings_.writeBool(showStatisticsKey, showStatistics);
}

void PlotStore::setLayout(PlotLayout layout)
{
    if (layout == layout_.value())
        return;
    layout_.set(layout);
    settings_.writeString(layoutKey, std::string(rawValue(layout)));
}

void PlotStore::setWindowSize(std::int64_t windowSize)
{
    if (windowSize == windowSize_.value() || !isWindowSize(windowSize))
        return;
    windowSize_.set(windowSize);
    settings_.writeInteger(windowSizeKey, windowSize);
    trimStorage();
    publish();
}

std::vector<PlotStore::Series> PlotStore::visibleSeries() const
{
    std::vector<Series> visible;
    for (const auto& s : series_.value()) {
        if (!hidden_.value().contains(s.name))
            visible.push_back(s);
    }
    return visible;
}

PlotStore::XDomain PlotStore::xDomain() const
{
    const auto latest = latestSample_.value();
    return {std::max<std::int64_t>(0, latest - windowSize_.value()), std::max<std::int64_t>(latest, 1)};
}

bool PlotStore::rangesDifferALot() const
{
    double smallest = 0;
    double largest = 0;
    std::size_t count = 0;
    for (const auto& s : series_.value()) {
        if (hidden_.value().contains(s.name))
            continue;
        const double magnitude = seriesMagnitude(s);
        // A series that is constantly 0 has no scale to compare.
        if (!(magnitude > 0))
            continue;
        smallest = count == 0 ? magnitude : std::min(smallest, magnitude);
        largest = count == 0 ? magnitude : std::max(largest, magnitude);
        ++count;
    }
    return count >= 2 && largest / smallest >= flatLinesRatio;
}

void PlotStore::trimStorage()
{
    const auto cutoff = sampleIndex_ - windowSize_.value();
    for (auto& s : storage_) {
        const auto firstKept =
            std::partition_point(s.points.begin(), s.points.end(), [&](const Point& p) { return p.x <= cutoff; });
        s.points.erase(s.points.begin(), firstKept);
    }
}

void PlotStore::scheduleRefresh()
{
    if (refreshScheduled_)
        return;
    refreshScheduled_ = true;
    mainQueue_.postAfter(publishDelay, [weakSelf = weak_from_this()] {
        if (auto self = weakSelf.lock()) {
            self->refreshScheduled_ = false;
            self->publish();
        }
    });
}

void PlotStore::publish()
{
    const auto cutoff = sampleIndex_ - windowSize_.value();
    std::vector<Series> snapshots;
    snapshots.reserve(storage_.size());
    for (const auto& s : storage_)
        snapshots.push_back(snapshot(s, cutoff));
    series_.set(std::move(snapshots));
    latestSample_.set(sampleIndex_);
}

PlotStore::Statistics PlotStore::computeStatistics(std::span<const Point> points)
{
    Statistics statistics{points.front().y, points.front().y, 0, 0};
    double sum = 0;
    for (const auto& point : points) {
        statistics.min = std::min(statistics.min, point.y);
        statistics.max = std::max(statistics.max, point.y);
        sum += point.y;
        // Never decreases: the result is what the value that needs the most decimals needs.
        while (statistics.decimals < maxDecimals && !fitsDecimals(point.y, statistics.decimals))
            ++statistics.decimals;
    }
    const auto count = static_cast<double>(points.size());
    statistics.mean = sum / count;
    if (!std::isfinite(statistics.mean)) {
        // The sum of huge values overflowed; their mean, between min and max, does not.
        statistics.mean = 0;
        for (const auto& point : points)
            statistics.mean += point.y / count;
    }
    return statistics;
}

PlotStore::Series PlotStore::snapshot(const Series& series, std::int64_t cutoff)
{
    Series result{series.name, series.colorIndex, {}, std::nullopt};
    const auto first =
        std::partition_point(series.points.begin(), series.points.end(), [&](const Point& p) { return p.x <= cutoff; });
    const std::span<const Point> visible(first, series.points.end());
    if (visible.empty())
        return result;
    result.statistics = computeStatistics(visible);
    if (visible.size() <= maxDrawnPoints) {
        result.points.assign(visible.begin(), visible.end());
        return result;
    }
    const std::size_t step = (visible.size() + maxDrawnPoints - 1) / maxDrawnPoints;
    result.points.reserve(visible.size() / step + 2);
    for (std::size_t i = 0; i < visible.size(); i += step)
        result.points.push_back(visible[i]);
    // The newest value is always drawn, so the line ends where the data ends.
    if ((visible.size() - 1) % step != 0)
        result.points.push_back(visible.back());
    return result;
}

double PlotStore::seriesMagnitude(const Series& series)
{
    if (series.points.empty())
        return 0;
    const auto [lowest, highest] = std::minmax_element(
        series.points.begin(), series.points.end(), [](const Point& a, const Point& b) { return a.y < b.y; });
    return std::max({std::abs(lowest->y), std::abs(highest->y), highest->y - lowest->y});
}

} // namespace velmora

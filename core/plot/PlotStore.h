#pragma once

#include "core/exec/MainQueue.h"
#include "core/platform/SettingsStore.h"
#include "core/plot/PlotParser.h"
#include "core/support/Published.h"
#include "localization/PlotLayout.h"

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// The plotter's model, one per tab. Every parsed line becomes one sample, one step on the X
// axis; each named value of the line goes to the series of that name. Only what the window can
// show is kept. Views see a thinned snapshot with statistics, published at most every 0.1 s so
// that a fast stream does not redraw for every line. The display options persist across
// launches; pause and hidden series do not.
//
// Created through create() and held in a std::shared_ptr: the deferred publish holds the store
// weakly, so closing a tab with a publish pending is harmless.
//
// Thread: main thread only.
class PlotStore : public std::enable_shared_from_this<PlotStore> {
public:
    struct Point {
        // The sample number of the line the value came from.
        std::int64_t x = 0;
        double y = 0;

        friend bool operator==(const Point&, const Point&) = default;
    };

    struct Statistics {
        double min = 0;
        double max = 0;
        double mean = 0;
        // Digits after the decimal point that every visible value needs, 0 to 4.
        int decimals = 0;

        friend bool operator==(const Statistics&, const Statistics&) = default;
    };

    struct Series {
        // The series' identity, compared exactly.
        std::string name;
        // How many series existed when this one was created; the views pick its colour by it.
        std::int64_t colorIndex = 0;
        // Ascending by x.
        std::vector<Point> points;
        // Over the visible points in a published snapshot; never set in storage.
        std::optional<Statistics> statistics;

        friend bool operator==(const Series&, const Series&) = default;
    };

    // The X range every chart shows, both ends included.
    struct XDomain {
        std::int64_t lower = 0;
        std::int64_t upper = 1;

        friend bool operator==(const XDomain&, const XDomain&) = default;
    };

    // Values with a new name are dropped once this many series exist.
    static constexpr std::size_t maxSeries = 16;
    static constexpr std::array<std::int64_t, 6> windowSizes{100, 250, 500, 1000, 2500, 5000};
    static constexpr std::int64_t defaultWindowSize = 500;
    static constexpr std::chrono::milliseconds publishDelay{100};
    // Thinning keeps at most this many points of a series, plus its newest.
    static constexpr std::size_t maxDrawnPoints = 1000;
    // Largest magnitude over smallest from which some lines look flat.
    static constexpr double flatLinesRatio = 20;
    static constexpr int maxDecimals = 4;

    static constexpr std::string_view windowSizeKey = "plotWindowSize";
    static constexpr std::string_view smoothLinesKey = "plotSmoothLines";
    static constexpr std::string_view layoutKey = "plotLayout";
    // Only read, as the fallback for a missing or unknown layout; never written.
    static constexpr std::string_view separateScalesKey = "plotSeparateScales";
    static constexpr std::string_view showStatisticsKey = "plotShowStatistics";

    // The options come from settings; both the queue and the settings must outlive the store.
    static std::shared_ptr<PlotStore> create(MainQueue& mainQueue, SettingsStore& settings);

    PlotStore(const PlotStore&) = delete;
    PlotStore& operator=(const PlotStore&) = delete;

    // The bytes of one received chunk, in order of arrival. Lines are parsed also while paused,
    // so header names and partial lines stay in step with the device.
    void ingest(std::span<const std::uint8_t> bytes);
    // Empties the graph and forgets header names and hidden series; options and pause stay.
    void clear();
    // Hides the series of that name when it is shown, shows it when it is hidden.
    void toggle(const std::string& name);
    // The plotter is shown again: plotting starts with the bytes that arrive next.
    void discardPartialLine() { parser_.discardPartialLine(); }

    // Published fields: the current value, and a subscription that gets it at once and every
    // change after.
    const std::vector<Series>& series() const { return series_.value(); }
    Subscription observeSeries(Published<std::vector<Series>>::Observer observer);
    std::int64_t latestSample() const { return latestSample_.value(); }
    Subscription observeLatestSample(Published<std::int64_t>::Observer observer);
    const std::set<std::string>& hidden() const { return hidden_.value(); }
    Subscription observeHidden(Published<std::set<std::string>>::Observer observer);
    bool paused() const { return paused_.value(); }
    Subscription observePaused(Published<bool>::Observer observer);
    bool smoothLines() const { return smoothLines_.value(); }
    Subscription observeSmoothLines(Published<bool>::Observer observer);
    bool showStatistics() const { return showStatistics_.value(); }
    Subscription observeShowStatistics(Published<bool>::Observer observer);
    PlotLayout layout() const { return layout_.value(); }
    Subscription observeLayout(Published<PlotLayout>::Observer observer);
    std::int64_t windowSize() const { return windowSize_.value(); }
    Subscription observeWindowSize(Published<std::int64_t>::Observer observer);

    // Setting a field to the value it has does nothing.
    void setPaused(bool paused);
    // These store the new value at once.
    void setSmoothLines(bool smoothLines);
    void setShowStatistics(bool showStatistics);
    void setLayout(PlotLayout layout);
    // Also trims and publishes at once. A size other than those in windowSizes is ignored.
    void setWindowSize(std::int64_t windowSize);

    // The published series without the hidden ones, in the same order.
    std::vector<Series> visibleSeries() const;
    XDomain xDomain() const;
    // Whether some visible lines look flat next to others: their largest magnitude is at least
    // flatLinesRatio times their smallest non-zero one.
    bool rangesDifferALot() const;

    // The kept data, the running sample counter (the X of the newest sample) and whether a
    // deferred publish is pending; not published.
    const std::vector<Series>& storage() const { return storage_; }
    std::int64_t sampleIndex() const { return sampleIndex_; }
    bool refreshScheduled() const { return refreshScheduled_; }
    const PlotParser& parser() const { return parser_; }

    // min, max, mean and decimals of the points' y, in order; points must not be empty.
    static Statistics computeStatistics(std::span<const Point> points);
    // The visible part of a series (x > cutoff) with its statistics, thinned for drawing.
    static Series snapshot(const Series& series, std::int64_t cutoff);
    // The largest of |lowest y|, |highest y| and their distance; 0 for no points.
    static double seriesMagnitude(const Series& series);

private:
    PlotStore(MainQueue& mainQueue, SettingsStore& settings);

    void trimStorage();
    void scheduleRefresh();
    void publish();
    void append(const std::string& name, double value);

    MainQueue& mainQueue_;
    SettingsStore& settings_;

    Published<std::vector<Series>> series_;
    Published<std::int64_t> latestSample_{0};
    Published<std::set<std::string>> hidden_;
    Published<bool> paused_{false};
    Published<bool> smoothLines_{false};
    Published<bool> showStatistics_{true};
    Published<PlotLayout> layout_{PlotLayout::shared};
    Published<std::int64_t> windowSize_{defaultWindowSize};

    PlotParser parser_;
    std::vector<Series> storage_;
    std::int64_t sampleIndex_ = 0;
    bool refreshScheduled_ = false;
};

} // namespace velmora

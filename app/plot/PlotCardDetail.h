#pragma once

#include "app/plot/CardBackground.h"
#include "core/plot/PlotStore.h"

#include <functional>

class QShortcut;
class QToolButton;

namespace velmora {

class CompactStatistics;
class PlotChart;
class SeriesSwatch;
class ShrinkingLabel;

// An enlarged card: the series' name, current value and statistics above a chart of it alone
// with axes. Its buttons, and ←, → and Esc while it is shown, step to the previous or next
// series or close it; the overview that shows it supplies those actions.
//
// Thread: main thread.
class PlotCardDetail final : public CardBackground {
    Q_OBJECT
public:
    static constexpr int padding = 16;
    static constexpr double valuePointSize = 30;
    static constexpr double plotBackgroundOpacity = 0.03;

    PlotCardDetail(const PlotStore& store, QWidget* parent = nullptr);

    std::function<void()> onClose;
    std::function<void()> onPrevious;
    std::function<void()> onNext;

    const std::string& seriesName() const { return series_.name; }
    void setSeries(const PlotStore::Series& series);
    // Takes up the store's options (statistics shown, line style, X range).
    void refresh();

    QString valueText() const;
    bool statisticsShown() const;
    const CompactStatistics* statistics() const { return statistics_; }
    const PlotChart* chart() const { return chart_; }
    QToolButton* previousButton() const { return previous_; }
    QToolButton* nextButton() const { return next_; }
    QToolButton* closeButton() const { return close_; }

protected:
    void changeEvent(QEvent* event) override;

private:
    QToolButton* addButton(const char* symbol, const std::string& help, const QKeySequence& key,
        std::function<void()> PlotCardDetail::*action);
    void applySeriesColour();

    const PlotStore& store_;
    PlotStore::Series series_;
    SeriesSwatch* swatch_ = nullptr;
    ShrinkingLabel* name_ = nullptr;
    ShrinkingLabel* value_ = nullptr;
    CompactStatistics* statistics_ = nullptr;
    QToolButton* previous_ = nullptr;
    QToolButton* next_ = nullptr;
    QToolButton* close_ = nullptr;
    PlotChart* chart_ = nullptr;
};

} // namespace velmora

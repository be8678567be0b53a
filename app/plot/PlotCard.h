#pragma once

#include "core/plot/PlotStore.h"

#include <QAbstractButton>

class QLabel;

namespace velmora {

class SeriesSparkline;
class SeriesSwatch;
class ShrinkingLabel;

// One series in the cards overview: its name, current value, a sparkline and, while the store
// shows statistics, its minimum, maximum and average. The whole card is one button: clicking
// it asks to enlarge it (clicked()).
//
// Thread: main thread.
class PlotCard final : public QAbstractButton {
    Q_OBJECT
public:
    static constexpr int cardHeight = 168;
    static constexpr int padding = 12;
    static constexpr std::size_t sparklinePoints = 200;

    PlotCard(const PlotStore& store, QWidget* parent = nullptr);

    const std::string& seriesName() const { return series_.name; }
    void setSeries(const PlotStore::Series& series);
    // Takes up the store's options (statistics shown, line style, X range).
    void refresh();

    // What the card shows, for accessibility and tests.
    QString valueText() const;
    QString statisticsText() const;
    bool statisticsShown() const;
    const ShrinkingLabel* valueLabel() const { return value_; }
    const SeriesSparkline* sparkline() const { return sparkline_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void refreshColours();

    const PlotStore& store_;
    PlotStore::Series series_;
    SeriesSwatch* swatch_ = nullptr;
    ShrinkingLabel* name_ = nullptr;
    QLabel* expandIcon_ = nullptr;
    ShrinkingLabel* value_ = nullptr;
    SeriesSparkline* sparkline_ = nullptr;
    ShrinkingLabel* statistics_ = nullptr;
};

// "–" for a series without points, otherwise its last value as the plotter shows values.
QString currentValueText(const PlotStore::Series& series);

// "Min 20  ·  Max 23  ·  Avg 21.5".
QString statisticsLine(const PlotStore::Statistics& statistics);

// The colour of a series on the widget's background.
QColor seriesColorFor(const QWidget* widget, std::int64_t colorIndex);

} // namespace velmora

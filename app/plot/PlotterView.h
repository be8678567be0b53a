#pragma once

#include "core/plot/PlotStore.h"
#include "core/support/Published.h"

#include <QAbstractButton>
#include <QWidget>

#include <vector>

class QLabel;
class QPushButton;
class QScrollArea;
class QStackedWidget;
class QToolButton;

namespace velmora {

class PlotCardsView;
class PlotChart;
class Popup;
class PlotterOptionsView;
class StackedCharts;
class StatisticsTable;

// One series in the plotter's legend: swatch, name and latest value. Clicking shows or hides
// the series; a hidden one stays in the legend, dimmed, so it can be shown again.
class LegendEntry final : public QAbstractButton {
    Q_OBJECT
public:
    explicit LegendEntry(QWidget* parent = nullptr);

    void setSeries(const PlotStore::Series& series, bool hidden);
    const QString& name() const { return name_; }
    const QString& value() const { return value_; }
    bool isSeriesHidden() const { return hidden_; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString name_;
    QString value_;
    QColor color_;
    bool hidden_ = false;
};

// The plotter area of a tab: a toolbar (legend, "Paused", options, pause, clear graph) over one
// of four contents chosen from the store's state: the empty state, the shared chart with its
// flat-lines hint and statistics table, the stacked charts or the cards.
//
// Thread: main thread. The store must outlive the view.
class PlotterView final : public QWidget {
    Q_OBJECT
public:
    enum class Content { empty, shared, stacked, cards };

    explicit PlotterView(PlotStore& store, QWidget* parent = nullptr);
    ~PlotterView() override;

    Content content() const;
    std::vector<LegendEntry*> legendEntries() const;
    QLabel* pausedLabel() const { return paused_; }
    QToolButton* optionsButton() const { return optionsButton_; }
    QToolButton* pauseButton() const { return pauseButton_; }
    QToolButton* clearButton() const { return clearButton_; }
    Popup* optionsPopup() const { return optionsPopup_; }
    PlotChart* sharedChart() const { return sharedChart_; }
    // The flat-lines hint over the shared chart and its layout button.
    QWidget* flatLinesHint() const { return hint_; }
    QPushButton* flatLinesButton() const { return hintButton_; }
    StatisticsTable* statisticsTable() const { return statisticsTable_; }
    StackedCharts* stackedCharts() const { return stacked_; }
    PlotCardsView* cardsView() const { return cards_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QWidget* buildToolbar();
    QWidget* buildEmptyState();
    QWidget* buildSharedArea();
    void refresh();
    void refreshLegend();
    void placeSharedOverlays();

    PlotStore& store_;
    std::vector<Subscription> subscriptions_;

    QScrollArea* legendStrip_ = nullptr;
    QWidget* legend_ = nullptr;
    std::vector<LegendEntry*> entries_;
    QLabel* paused_ = nullptr;
    QToolButton* optionsButton_ = nullptr;
    PlotterOptionsView* options_ = nullptr;
    Popup* optionsPopup_ = nullptr;
    QToolButton* pauseButton_ = nullptr;
    QToolButton* clearButton_ = nullptr;

    QStackedWidget* contents_ = nullptr;
    QWidget* empty_ = nullptr;
    QWidget* sharedArea_ = nullptr;
    PlotChart* sharedChart_ = nullptr;
    QWidget* hint_ = nullptr;
    QPushButton* hintButton_ = nullptr;
    StatisticsTable* statisticsTable_ = nullptr;
    StackedCharts* stacked_ = nullptr;
    PlotCardsView* cards_ = nullptr;
};

} // namespace velmora

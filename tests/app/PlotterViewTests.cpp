#include "app/common/Popup.h"
#include "app/plot/CompactStatistics.h"
#include "app/plot/PlotChart.h"
#include "app/plot/PlotterOptionsView.h"
#include "app/plot/PlotterView.h"
#include "app/plot/StackedCharts.h"
#include "app/plot/StatisticsTable.h"
#include "core/exec/ManualMainQueue.h"
#include "core/platform/InMemorySettingsStore.h"
#include "core/plot/AxisTicks.h"
#include "localization/L10n.h"
#include "tests/app/WidgetTestHelpers.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QtTest>

#include <algorithm>

using namespace velmora;

class PlotterViewTests : public QObject {
    Q_OBJECT

private:
    void feed(PlotStore& store, std::string_view lines) { velmora::testing::feedPlot(queue, store, lines); }

    static QStringList legend(const PlotterView& view)
    {
        QStringList texts;
        for (auto* entry : view.legendEntries())
            texts << entry->name() + u'=' + entry->value() + (entry->isSeriesHidden() ? "(hidden)" : "");
        return texts;
    }

    L10n::ScopedLanguage english{Language::en};
    ManualMainQueue queue;
    InMemorySettingsStore settings;

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    void init() { settings = InMemorySettingsStore(); }

    void anEmptyGraphWaitsForNumbersAndClearGoesBackThere()
    {
        auto store = PlotStore::create(queue, settings);
        PlotterView view(*store);
        QCOMPARE(view.content(), PlotterView::Content::empty);
        QVERIFY(std::ranges::any_of(
            view.findChildren<QLabel*>(), [](const QLabel* label) { return label->text() == "Waiting for numbers…"; }));
        auto* help = view.findChild<QLabel*>("plotterWaitingHelp");
        QVERIFY(help->text().contains("<code>temp:21.5,hum:40</code>"));
        QVERIFY(help->text().contains(
            "<code>Serial.print(temp); Serial.print(&quot;,&quot;); Serial.println(hum);</code>"));

        feed(*store, "temp:21,hum:21.25,big:1234567.891\n");
        QCOMPARE(view.content(), PlotterView::Content::shared);
        QCOMPARE(legend(view), (QStringList{"temp=21", "hum=21.25", "big=1234570"}));
        QCOMPARE(view.clearButton()->toolTip(), QString("Clear graph"));
        view.clearButton()->click();
        QCOMPARE(view.content(), PlotterView::Content::empty);
        QVERIFY(view.legendEntries().empty());
    }

    void oneVisibleSeriesStaysOnTheSharedChartAndHiddenSeriesStayInTheLegend()
    {
        auto store = PlotStore::create(queue, settings);
        PlotterView view(*store);
        view.resize(800, 400);
        store->setLayout(PlotLayout::stacked);
        feed(*store, "a:1,b:2\na:2,b:3\n");
        QCOMPARE(view.content(), PlotterView::Content::stacked);
        QCOMPARE(view.stackedCharts()->rowCount(), 2);

        view.legendEntries()[1]->click();
        QCOMPARE(view.content(), PlotterView::Content::shared);
        QCOMPARE(store->layout(), PlotLayout::stacked);
        QCOMPARE(view.sharedChart()->lines().size(), std::size_t(1));

        view.legendEntries()[0]->click();
        QCOMPARE(view.content(), PlotterView::Content::shared);
        QVERIFY(view.sharedChart()->lines().empty());
        QCOMPARE(legend(view), (QStringList{"a=2(hidden)", "b=3(hidden)"}));
        QVERIFY(view.statisticsTable()->isHidden());
        view.legendEntries()[0]->click();
        QCOMPARE(legend(view), (QStringList{"a=2", "b=3(hidden)"}));
    }

    void theFlatLinesHintOffersStackedOrCardsAndGoesWithTheSharedChart()
    {
        auto store = PlotStore::create(queue, settings);
        PlotterView view(*store);
        view.resize(900, 400);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        feed(*store, "small:3,large:4000\nsmall:3.5,large:4100\n");
        QVERIFY(view.flatLinesHint()->isVisible());
        QCOMPARE(view.flatLinesButton()->text(), QString("Stacked"));
        view.flatLinesButton()->click();
        QCOMPARE(store->layout(), PlotLayout::stacked);
        QCOMPARE(view.content(), PlotterView::Content::stacked);
        QVERIFY(!view.flatLinesHint()->isVisible());

        auto five = PlotStore::create(queue, settings);
        five->setLayout(PlotLayout::shared);
        PlotterView other(*five);
        other.resize(900, 400);
        other.show();
        QVERIFY(QTest::qWaitForWindowExposed(&other));
        feed(*five, "a:1000,b:2000,c:3000,d:4000,e:0.5\n");
        QVERIFY(other.flatLinesHint()->isVisible());
        QCOMPARE(other.flatLinesButton()->text(), QString("Cards"));
        other.flatLinesButton()->click();
        QCOMPARE(other.content(), PlotterView::Content::cards);
        QVERIFY(!other.flatLinesHint()->isVisible());

        // Similar ranges: no hint.
        auto similar = PlotStore::create(queue, settings);
        similar->setLayout(PlotLayout::shared);
        PlotterView third(*similar);
        third.show();
        feed(*similar, "x:20,y:40\n");
        QVERIFY(!third.flatLinesHint()->isVisible());
    }

    void statisticsOffRemovesThemFromTheTableAndTheStackedHeaders()
    {
        auto store = PlotStore::create(queue, settings);
        PlotterView view(*store);
        view.resize(900, 500);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        feed(*store, "t:20,h:40\nt:21,h:41.5\n");
        QVERIFY(view.statisticsTable()->isVisible());
        QCOMPARE(view.statisticsTable()->rows(), (QStringList{"t 20 21 20.5", "h 40 41.5 40.75"}));
        store->setShowStatistics(false);
        QVERIFY(!view.statisticsTable()->isVisible());

        store->setLayout(PlotLayout::stacked);
        QCOMPARE(view.content(), PlotterView::Content::stacked);
        QVERIFY(view.stackedCharts()->statistics(0)->isHidden());
        store->setShowStatistics(true);
        QVERIFY(!view.stackedCharts()->statistics(0)->isHidden());
        QCOMPARE(view.stackedCharts()->statistics(1)->text(), QString("Min 40 Max 41.5 Avg 40.75"));
        // X labels only under the bottom row: the row above draws its lines down into that room.
        const PlotChart* top = view.stackedCharts()->chart(0);
        const PlotChart* bottom = view.stackedCharts()->chart(1);
        QVERIFY(top->height() - top->plotRect().bottom() < bottom->height() - bottom->plotRect().bottom());
        // About three Y ticks in a row, where the shared chart aims at five.
        QCOMPARE(top->yTicks(), niceTicks(20, 21, 3).values);
        QCOMPARE(bottom->yTicks(), niceTicks(40, 41.5, 3).values);
    }

    void stackedRowsShareTheHeightButKeepTheirMinimumAndOnlyThenScroll()
    {
        StackedCharts charts;
        std::vector<PlotStore::Series> three;
        for (const char* name : {"a", "b", "c"})
            three.push_back({name, static_cast<std::int64_t>(three.size()), {{1, 1.0}, {2, 2.0}}, std::nullopt});
        charts.resize(400, 240);
        charts.setSeries(three, {0, 2}, false, false);
        charts.show();
        QVERIFY(QTest::qWaitForWindowExposed(&charts));
        QCOMPARE(charts.rowHeight(), 96);
        QVERIFY(charts.scrolls());
        charts.resize(400, 600);
        QCOMPARE(charts.rowHeight(), 200);
        QVERIFY(!charts.scrolls());
    }

    void theToolbarPausesAndTheOptionsWriteTheStore()
    {
        auto store = PlotStore::create(queue, settings);
        PlotterView view(*store);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QCOMPARE(view.pauseButton()->toolTip(), QString("Pause"));
        QVERIFY(view.pausedLabel()->isHidden());
        view.pauseButton()->click();
        QVERIFY(store->paused());
        QCOMPARE(view.pauseButton()->toolTip(), QString("Resume"));
        QCOMPARE(view.pausedLabel()->text(), QString("Paused"));
        QVERIFY(!view.pausedLabel()->isHidden());
        view.pauseButton()->click();
        QVERIFY(!store->paused());

        QCOMPARE(view.optionsButton()->toolTip(), QString("Statistics, scale, line style and number of points"));
        view.optionsButton()->click();
        QTRY_VERIFY(view.optionsPopup()->isVisible());
        auto* options = static_cast<PlotterOptionsView*>(view.optionsPopup()->content());
        QCOMPARE(options->points()->itemText(3), QString("1000"));
        QCOMPARE(options->layouts()->button(static_cast<int>(PlotLayout::shared))->text(), QString("One chart"));
        options->statistics()->click();
        QVERIFY(!store->showStatistics());
        QCOMPARE(settings.value(PlotStore::showStatisticsKey), std::optional<SettingValue>(false));
        options->smooth()->click();
        QVERIFY(store->smoothLines());
        options->layouts()->button(static_cast<int>(PlotLayout::cards))->click();
        QCOMPARE(store->layout(), PlotLayout::cards);
        options->points()->activated(0);
        QCOMPARE(store->windowSize(), 100);
        // The store's changes come back to the controls.
        store->setShowStatistics(true);
        QVERIFY(options->statistics()->isChecked());
        store->setLayout(PlotLayout::stacked);
        QVERIFY(options->layouts()->button(static_cast<int>(PlotLayout::stacked))->isChecked());
        view.optionsPopup()->toggle();
    }
};

QTEST_MAIN(PlotterViewTests)
#include "PlotterViewTests.moc"

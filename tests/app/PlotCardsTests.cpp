#include "app/common/Colours.h"
#include "app/plot/CompactStatistics.h"
#include "app/plot/PlotCard.h"
#include "app/plot/PlotCardDetail.h"
#include "app/plot/PlotCardsView.h"
#include "app/plot/PlotChart.h"
#include "app/plot/PlotPalette.h"
#include "app/plot/SeriesSparkline.h"
#include "app/plot/ShrinkingLabel.h"
#include "core/exec/ManualMainQueue.h"
#include "core/platform/InMemorySettingsStore.h"
#include "core/plot/PlotStore.h"
#include "localization/L10n.h"
#include "tests/app/WidgetTestHelpers.h"

#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>
#include <QtTest>

#include <array>
#include <memory>
#include <string>

using namespace velmora;

namespace {

// A plot store fed as a board would feed it, published the way the main queue would, and the
// view over it in a window of its own, shown and active so that its keys reach it.
struct Plot {
    ManualMainQueue queue;
    InMemorySettingsStore settings;
    std::shared_ptr<PlotStore> store = PlotStore::create(queue, settings);
    std::unique_ptr<PlotCardsView> view;

    void feed(std::string_view lines) { velmora::testing::feedPlot(queue, *store, lines); }

    PlotCardsView& show(QSize size = QSize(900, 600))
    {
        view = std::make_unique<PlotCardsView>(*store);
        view->resize(size);
        view->show();
        view->activateWindow();
        return *view;
    }
};

bool showsNoDetail(const PlotCardsView& view)
{
    return view.expanded().empty() && !view.detail()->isVisible() && !view.dimLayer()->isVisible();
}

QString visibleNames(const PlotCardsView& view)
{
    QStringList names;
    for (const PlotCard* card : view.cards())
        names << QString::fromStdString(card->seriesName()) + (card->isVisible() ? "" : "(empty)");
    return names.join(u' ');
}

} // namespace

class PlotCardsTests : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        L10n::usePreferredLanguages({"en"});
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }

    void clickingACardOpensItsDetailOverTheDimmedOverviewWhileItsCellStaysEmpty()
    {
        Plot plot;
        plot.feed("a:1,b:2,c:3\na:1.5,b:4,c:3\n");
        auto& view = plot.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QCOMPARE(view.cards().size(), std::size_t{3});
        QCOMPARE(visibleNames(view), QString("a b c"));
        QVERIFY(showsNoDetail(view));
        QCOMPARE(view.card("b")->toolTip(), QString("Click to enlarge"));
        QCOMPARE(view.card("b")->valueText(), QString("4"));
        const QRect cellOfB = view.card("b")->geometry();
        const QRect cellOfC = view.card("c")->geometry();

        const QImage before = view.grab().toImage();
        QTest::mouseClick(view.card("b"), Qt::LeftButton, {}, QPoint(40, 100));
        QCOMPARE(view.expanded(), std::string("b"));
        QVERIFY(view.detail()->isVisible());
        QVERIFY(view.dimLayer()->isVisible());
        QCOMPARE(view.detail()->seriesName(), std::string("b"));
        QCOMPARE(view.detail()->valueText(), QString("4"));
        // The grid keeps its place: b's cell is empty, c has not moved into it.
        QCOMPARE(visibleNames(view), QString("a b(empty) c"));
        QCOMPARE(view.card("b")->geometry(), cellOfB);
        QCOMPARE(view.card("c")->geometry(), cellOfC);
        // The card (without its shadow) fills the view but for 14 px on every side.
        const PlotCardDetail& detail = *view.detail();
        QCOMPARE(detail.geometry().marginsRemoved(detail.shadowMargins()), view.rect().adjusted(14, 14, -14, -14));
        // The margin shows the overview darkened by the black layer.
        const QImage after = view.grab().toImage();
        QVERIFY(qGray(after.pixel(4, 4)) < qGray(before.pixel(4, 4)));

        // The detail shows b alone in its colour on a faint tint of it, and follows new data.
        const PlotChart& chart = *detail.chart();
        QCOMPARE(chart.lines().size(), std::size_t{1});
        QCOMPARE(chart.lines().front().points.size(), std::size_t{2});
        QCOMPARE(chart.lines().front().color, seriesColor(1, isDark(view.palette())));
        QVERIFY(chart.yTicks().size() >= 3 && chart.yTicks().size() <= 7);
        plot.feed("a:2,b:7.5,c:3\n");
        QCOMPARE(detail.valueText(), QString("7.5"));
        QCOMPARE(view.detail()->chart()->lines().front().points.size(), std::size_t{3});
        QCOMPARE(view.card("a")->valueText(), QString("2"));

        QCOMPARE(detail.previousButton()->toolTip(), QString("Previous value (←)"));
        QCOMPARE(detail.nextButton()->toolTip(), QString("Next value (→)"));
        QCOMPARE(detail.closeButton()->toolTip(), QString("Close (Esc)"));
    }

    void arrowKeysStepThroughTheSeriesWrappingAroundOnlyWhileTheDetailIsShown()
    {
        Plot plot;
        plot.feed("a:1,b:2,c:3\n");
        auto& view = plot.show();
        QVERIFY(QTest::qWaitForWindowActive(&view));

        // Without a detail the keys do nothing.
        QTest::keyClick(&view, Qt::Key_Right);
        QTest::keyClick(&view, Qt::Key_Escape);
        QCOMPARE(view.expanded(), std::string());

        QTest::mouseClick(view.card("b"), Qt::LeftButton);
        QCOMPARE(view.expanded(), std::string("b"));
        QTest::keyClick(&view, Qt::Key_Right);
        QCOMPARE(view.expanded(), std::string("c"));
        QCOMPARE(view.detail()->seriesName(), std::string("c"));
        QCOMPARE(visibleNames(view), QString("a b c(empty)"));
        QTest::keyClick(&view, Qt::Key_Right);
        QCOMPARE(view.expanded(), std::string("a"));
        QTest::keyClick(&view, Qt::Key_Left);
        QCOMPARE(view.expanded(), std::string("c"));
        QCOMPARE(view.detail()->valueText(), QString("3"));

        // Only the bare arrows step.
        QTest::keyClick(&view, Qt::Key_Left, Qt::ShiftModifier);
        QTest::keyClick(&view, Qt::Key_Right, Qt::ControlModifier);
        QCOMPARE(view.expanded(), std::string("c"));

        // The buttons do the same as the keys.
        QTest::mouseClick(view.detail()->previousButton(), Qt::LeftButton);
        QCOMPARE(view.expanded(), std::string("b"));
        QTest::mouseClick(view.detail()->nextButton(), Qt::LeftButton);
        QCOMPARE(view.expanded(), std::string("c"));

        // A hidden series is skipped: it is not among the cards.
        plot.store->toggle("a");
        QTest::keyClick(&view, Qt::Key_Right);
        QCOMPARE(view.expanded(), std::string("b"));
    }

    void escTheCloseButtonAndAClickOnTheDarkLayerEachCloseTheDetail()
    {
        Plot plot;
        plot.feed("a:1,b:2,c:3\n");
        auto& view = plot.show();
        QVERIFY(QTest::qWaitForWindowActive(&view));
        const auto closed = [&] { return showsNoDetail(view) && visibleNames(view) == "a b c"; };

        QTest::mouseClick(view.card("a"), Qt::LeftButton);
        QVERIFY(!closed());
        QTest::keyClick(&view, Qt::Key_Escape);
        QVERIFY(closed());

        QTest::mouseClick(view.card("c"), Qt::LeftButton);
        QVERIFY(!closed());
        QTest::mouseClick(view.detail()->closeButton(), Qt::LeftButton);
        QVERIFY(closed());

        QTest::mouseClick(view.card("b"), Qt::LeftButton);
        QVERIFY(!closed());
        // A click on the detail itself keeps it open; one on the dark margin closes it.
        QTest::mouseClick(view.detail(), Qt::LeftButton, {}, view.detail()->cardRect().center());
        QVERIFY(!closed());
        QTest::mouseClick(view.dimLayer(), Qt::LeftButton, {}, QPoint(5, 5));
        QVERIFY(closed());

        // Closed, the keys no longer reach the detail.
        QTest::keyClick(&view, Qt::Key_Left);
        QVERIFY(closed());

        // Put away and shown again (another layout, the plotter closed), the overview starts
        // with no card enlarged.
        QTest::mouseClick(view.card("b"), Qt::LeftButton);
        view.hide();
        view.show();
        QVERIFY(closed());
    }

    void hidingTheEnlargedSeriesOrClearingTheGraphClosesTheDetail()
    {
        Plot plot;
        plot.feed("a:1,b:2,c:3\n");
        auto& view = plot.show();

        QTest::mouseClick(view.card("b"), Qt::LeftButton);
        plot.store->toggle("a");
        QCOMPARE(view.expanded(), std::string("b"));
        QVERIFY(view.detail()->isVisible());
        QCOMPARE(visibleNames(view), QString("b(empty) c"));

        plot.store->toggle("b");
        QVERIFY(showsNoDetail(view));
        QCOMPARE(visibleNames(view), QString("c"));
        // Shown again, it is a card again, not the detail.
        plot.store->toggle("b");
        QCOMPARE(visibleNames(view), QString("b c"));
        QCOMPARE(view.expanded(), std::string());

        QTest::mouseClick(view.card("c"), Qt::LeftButton);
        QCOMPARE(view.expanded(), std::string("c"));
        plot.store->clear();
        QVERIFY(showsNoDetail(view));
        QVERIFY(view.cards().empty());

        // A series of the same name arriving after the clear is an ordinary card.
        plot.feed("c:9\n");
        QCOMPARE(visibleNames(view), QString("c"));
        QCOMPARE(view.expanded(), std::string());
    }

    void statisticsOffRemovesThemFromTheCardsAndTheDetail()
    {
        Plot plot;
        plot.feed("a:1,b:20\na:4,b:21\na:2,b:21.25\na:3,b:21.25\n");
        auto& view = plot.show();
        QCOMPARE(view.card("a")->statisticsText(), QString("Min 1  ·  Max 4  ·  Avg 2.5"));
        QCOMPARE(view.card("b")->statisticsText(), QString("Min 20  ·  Max 21.25  ·  Avg 20.875"));
        QTest::mouseClick(view.card("a"), Qt::LeftButton);
        QVERIFY(view.detail()->statisticsShown());
        QCOMPARE(view.detail()->statistics()->text(), QString("Min 1 Max 4 Avg 2.5"));

        plot.store->setShowStatistics(false);
        for (const PlotCard* card : view.cards()) {
            QVERIFY(!card->statisticsShown());
            QCOMPARE(card->statisticsText(), QString());
        }
        QVERIFY(!view.detail()->statisticsShown());
        // Still off after stepping to another series and after new data.
        QTest::mouseClick(view.detail()->nextButton(), Qt::LeftButton);
        plot.feed("a:5,b:22\n");
        QCOMPARE(view.detail()->seriesName(), std::string("b"));
        QVERIFY(!view.detail()->statisticsShown());
        QVERIFY(!view.card("a")->statisticsShown());

        plot.store->setShowStatistics(true);
        QVERIFY(view.detail()->statisticsShown());
        QCOMPARE(view.detail()->statistics()->text(), QString("Min 20 Max 22 Avg 21.100"));
        QCOMPARE(view.card("a")->statisticsText(), QString("Min 1  ·  Max 5  ·  Avg 3.0"));
    }

    void aSeriesWithoutPointsInTheWindowShowsADashAndNoStatistics()
    {
        Plot plot;
        plot.store->setWindowSize(100);
        // "old" stops after the first line; a hundred more lines push it out of the window.
        plot.feed("old:5,a:1\n");
        std::string lines;
        for (int i = 0; i < 100; ++i)
            lines += "a:2\n";
        plot.feed(lines);
        auto& view = plot.show();
        QCOMPARE(visibleNames(view), QString("old a"));

        const PlotCard& old = *view.card("old");
        QCOMPARE(old.valueText(), QString("\u2013"));
        QVERIFY(!old.statisticsShown());
        QVERIFY(old.sparkline()->drawnPoints().empty());
        QCOMPARE(old.sparkline()->yRange(), std::make_pair(0.0, 1.0));
        QCOMPARE(view.card("a")->valueText(), QString("2"));
        QVERIFY(view.card("a")->statisticsShown());

        QTest::mouseClick(view.card("old"), Qt::LeftButton);
        QCOMPARE(view.detail()->valueText(), QString("\u2013"));
        QVERIFY(!view.detail()->statisticsShown());
        QVERIFY(view.detail()->chart()->yTicks().empty());
    }

    void theSparklineThinsToItsLimitAndFitsItsRange()
    {
        Plot plot;
        plot.store->setWindowSize(5000);
        std::string lines;
        for (int i = 0; i < 5000; ++i)
            lines += "wave:" + std::to_string(i % 50) + ",flat:5\n";
        plot.feed(lines);
        auto& view = plot.show();

        const SeriesSparkline& wave = *view.card("wave")->sparkline();
        QCOMPARE(wave.maxPoints(), std::size_t{200});
        const auto& published = plot.store->series().front().points;
        QCOMPARE(published.size(), std::size_t{1001});
        // Every sixth published point, 167 of them, and the newest.
        QCOMPARE(wave.drawnPoints().size(), std::size_t{168});
        QCOMPARE(wave.drawnPoints()[1], published[6]);
        QCOMPARE(wave.drawnPoints().back(), published.back());
        // A tenth of the spread on both sides; one unit for a constant series.
        QVERIFY(qFuzzyCompare(wave.yRange().first, -4.9));
        QVERIFY(qFuzzyCompare(wave.yRange().second, 53.9));
        QCOMPARE(view.card("flat")->sparkline()->yRange(), std::make_pair(4.0, 6.0));

        // The line and its area are drawn in the series' colour.
        const QImage image = view.card("flat")->grab().toImage();
        const QColor flat = seriesColor(1, isDark(view.palette()));
        int inColour = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                inColour += QColor(image.pixel(x, y)) == flat;
        QVERIFY(inColour > 150);
    }

    void theGridFitsAsManyColumnsAsTheirLimitsAllow()
    {
        // Width → columns: (width − 20 + 10) ÷ 240, at least one; each column at most 460 wide.
        for (const auto& [width, columns, columnWidth] : std::vector<std::array<int, 3>>{
                 {500, 2, 235}, {1600, 6, 255}, {489, 1, 460}, {490, 2, 230}, {200, 1, 180}}) {
            QCOMPARE(PlotCardsView::columnCount(width), columns);
            QCOMPARE(PlotCardsView::columnWidth(width), columnWidth);
        }
        QCOMPARE(PlotCardsView::columnCount(1000), 4);

        Plot plot;
        plot.feed("a:1,b:2,c:3,d:4,e:5\n");
        auto& view = plot.show(QSize(500, 700));
        QCOMPARE(view.columns(), 2);
        QCOMPARE(view.card("a")->geometry(), QRect(10, 10, 235, 168));
        QCOMPARE(view.card("b")->geometry(), QRect(255, 10, 235, 168));
        QCOMPARE(view.card("c")->geometry(), QRect(10, 188, 235, 168));
        QCOMPARE(view.card("e")->geometry(), QRect(10, 366, 235, 168));

        // Wider, the columns grow up to their limit and then more of them fit.
        view.resize(1600, 700);
        QCOMPARE(view.columns(), 6);
        QCOMPARE(view.card("e")->geometry(), QRect(10 + 4 * 265, 10, 255, 168));

        // One column at its widest, centred.
        QCOMPARE(plot.show(QSize(488, 1000)).columns(), 1);
        QCOMPARE(plot.view->card("a")->geometry(), QRect(14, 10, 460, 168));
        // More rows than fit: the grid scrolls.
        QVERIFY(plot.show(QSize(500, 300)).scrollArea()->verticalScrollBar()->maximum() > 0);
    }

    void theCurrentValueShrinksBeforeItIsCut()
    {
        ShrinkingLabel label(0.6);
        QFont big = label.font();
        big.setPointSizeF(26);
        label.setFont(big);
        label.setText("1234570");
        const int natural = label.sizeHint().width();
        label.resize(natural + 4, label.sizeHint().height());
        QCOMPARE(label.shownScale(), 1.0);
        QVERIFY(!label.isCut());
        label.resize(natural * 3 / 4, label.sizeHint().height());
        QVERIFY(label.shownScale() < 0.8 && label.shownScale() > 0.7);
        QVERIFY(!label.isCut());
        label.resize(natural / 2, label.sizeHint().height());
        QCOMPARE(label.shownScale(), 0.6);
        QVERIFY(label.isCut());
    }
};

QTEST_MAIN(PlotCardsTests)
#include "PlotCardsTests.moc"

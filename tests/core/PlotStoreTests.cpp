#include "core/plot/PlotStore.h"

#include "core/exec/ManualMainQueue.h"
#include "core/platform/InMemorySettingsStore.h"
#include "localization/L10n.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

using namespace velmora;
using namespace std::chrono_literals;

namespace {

using Point = PlotStore::Point;
using Series = PlotStore::Series;
using Statistics = PlotStore::Statistics;

std::vector<std::uint8_t> bytesOf(std::string_view text)
{
    return {text.begin(), text.end()};
}

std::vector<Point> pointsFrom(std::int64_t firstX, std::int64_t lastX, double y = 1)
{
    std::vector<Point> points;
    for (auto x = firstX; x <= lastX; ++x)
        points.push_back({x, y});
    return points;
}

template <typename Item, typename Field> auto fieldOf(const std::vector<Item>& items, Field Item::*field)
{
    std::vector<std::remove_cvref_t<Field>> values;
    for (const auto& item : items)
        values.push_back(item.*field);
    return values;
}

std::vector<std::int64_t> xsOf(const std::vector<Point>& points)
{
    return fieldOf(points, &Point::x);
}
std::vector<std::string> namesOf(const std::vector<Series>& series)
{
    return fieldOf(series, &Series::name);
}

class PlotStoreTest : public testing::Test {
protected:
    std::shared_ptr<PlotStore> makeStore() { return PlotStore::create(queue, settings); }

    void ingest(PlotStore& store, std::string_view text) { store.ingest(bytesOf(text)); }

    // The same line, count times, in one chunk.
    void ingestLines(PlotStore& store, std::string_view line, int count)
    {
        std::string text;
        for (int i = 0; i < count; ++i) {
            text += line;
            text += '\n';
        }
        ingest(store, text);
    }

    L10n::ScopedLanguage english{Language::en};
    ManualMainQueue queue;
    InMemorySettingsStore settings;
};

TEST_F(PlotStoreTest, TheFirstLineMakesOneSeriesPerValueWithColourIndicesInOrderOfCreation)
{
    auto store = makeStore();
    EXPECT_TRUE(store->series().empty());
    EXPECT_EQ(store->latestSample(), 0);

    ingest(*store, "1 2\n");
    EXPECT_EQ(store->storage(),
        (std::vector<Series>{{"Value 1", 0, {{1, 1}}, std::nullopt}, {"Value 2", 1, {{1, 2}}, std::nullopt}}));

    ingest(*store, "x:5 3\n");
    EXPECT_EQ(namesOf(store->storage()), (std::vector<std::string>{"Value 1", "Value 2", "x"}));
    EXPECT_EQ(store->storage()[2].colorIndex, 2);
    EXPECT_EQ(store->storage()[0].points, (std::vector<Point>{{1, 1}, {2, 3}}));

    // A line that names one series twice gives it two points at one x.
    ingest(*store, "x:6 x:7\n");
    EXPECT_EQ(store->storage()[2].points, (std::vector<Point>{{2, 5}, {3, 6}, {3, 7}}));
}

TEST_F(PlotStoreTest, SamplesArePublishedOneTenthOfASecondAfterTheFirstChangeAndOnlyOnce)
{
    auto store = makeStore();
    std::vector<std::int64_t> published;
    auto subscription = store->observeLatestSample([&](std::int64_t latest) { published.push_back(latest); });
    int seriesUpdates = 0;
    auto seriesSubscription = store->observeSeries([&](const std::vector<Series>&) { ++seriesUpdates; });

    ingest(*store, "1\n");
    queue.advance(60ms);
    ingest(*store, "2\n3\n");
    queue.advance(39ms);
    EXPECT_TRUE(store->series().empty());
    EXPECT_EQ(published, (std::vector<std::int64_t>{0}));

    queue.advance(1ms);
    EXPECT_EQ(published, (std::vector<std::int64_t>{0, 3}));
    EXPECT_EQ(seriesUpdates, 2);
    ASSERT_EQ(store->series().size(), 1u);
    EXPECT_EQ(store->series()[0].points, (std::vector<Point>{{1, 1}, {2, 2}, {3, 3}}));

    // The next change starts a new 0.1 s wait of its own.
    queue.advance(500ms);
    ingest(*store, "4\n");
    queue.advance(99ms);
    EXPECT_EQ(store->latestSample(), 3);
    queue.advance(1ms);
    EXPECT_EQ(store->latestSample(), 4);
    EXPECT_EQ(seriesUpdates, 3);

    // Bytes that complete no line, and lines without numbers, change nothing and schedule nothing.
    ingest(*store, "hello\n12");
    EXPECT_EQ(queue.pendingCount(), 0u);
}

TEST_F(PlotStoreTest, AValueWithASeventeenthNameIsDroppedButItsLineStillCountsAsASample)
{
    auto store = makeStore();
    std::string sixteen;
    for (char name = 'a'; name < 'a' + 16; ++name)
        sixteen += std::string(1, name) + ":1 ";
    ingest(*store, sixteen + "\n");
    ASSERT_EQ(store->storage().size(), 16u);
    EXPECT_EQ(store->storage().back().colorIndex, 15);

    ingest(*store, "q:1\n");
    ingest(*store, "a:2 q:2\n");
    EXPECT_EQ(store->storage().size(), 16u);
    EXPECT_EQ(store->storage()[0].points, (std::vector<Point>{{1, 1}, {3, 2}}));
}

TEST_F(PlotStoreTest, StorageIsTrimmedToTheWindowOnlyWhenASeriesExceedsOneAndAQuarterWindows)
{
    settings.writeInteger("plotWindowSize", 100);
    auto store = makeStore();
    ASSERT_EQ(store->windowSize(), 100);

    ingestLines(*store, "7", 125);
    EXPECT_EQ(xsOf(store->storage()[0].points), xsOf(pointsFrom(1, 125)));

    ingest(*store, "7\n");
    EXPECT_EQ(xsOf(store->storage()[0].points), xsOf(pointsFrom(27, 126)));

    queue.advance(100ms);
    EXPECT_EQ(xsOf(store->series()[0].points), xsOf(pointsFrom(27, 126)));
    EXPECT_EQ(store->xDomain(), (PlotStore::XDomain{26, 126}));
}

TEST_F(PlotStoreTest, ASeriesSilentForAWholeWindowIsPublishedWithoutPointsAndStatisticsButKept)
{
    settings.writeInteger("plotWindowSize", 100);
    auto store = makeStore();
    ingest(*store, "a:1 b:2\n");
    ingestLines(*store, "b:3", 130);
    queue.advance(100ms);

    ASSERT_EQ(store->series().size(), 2u);
    EXPECT_EQ(store->series()[0], (Series{"a", 0, {}, std::nullopt}));
    EXPECT_EQ(store->storage()[0].points, std::vector<Point>{});
    EXPECT_EQ(store->series()[1].points.size(), 100u);
    EXPECT_EQ(store->series()[1].statistics, (Statistics{3, 3, 3, 0}));
}

TEST_F(PlotStoreTest, FiveThousandVisiblePointsAreThinnedToOneThousandAndTheNewestButStatisticsSeeThemAll)
{
    // Position p among the visible points has x = p + 1 here.
    std::vector<Point> points = pointsFrom(1, 5000);
    points[1].y = 1000; // a peak that thinning does not draw
    const auto thinned = PlotStore::snapshot({"peak", 3, points, std::nullopt}, 0);
    EXPECT_EQ(thinned.name, "peak");
    EXPECT_EQ(thinned.colorIndex, 3);
    ASSERT_EQ(thinned.points.size(), 1001u);
    for (std::size_t i = 0; i < 1000; ++i)
        ASSERT_EQ(thinned.points[i].x, static_cast<std::int64_t>(i * 5 + 1));
    EXPECT_EQ(thinned.points.back(), (Point{5000, 1}));
    ASSERT_TRUE(thinned.statistics.has_value());
    EXPECT_EQ(thinned.statistics->max, 1000);
    EXPECT_EQ(thinned.statistics->min, 1);
    EXPECT_DOUBLE_EQ(thinned.statistics->mean, (4999.0 + 1000.0) / 5000.0);

    // Exactly 1000 visible points are drawn as they are; 1001 take every second one, and the
    // newest is then already among them.
    EXPECT_EQ(PlotStore::snapshot({"s", 0, pointsFrom(1, 1000), std::nullopt}, 0).points, pointsFrom(1, 1000));
    const auto odd = PlotStore::snapshot({"s", 0, pointsFrom(1, 1001), std::nullopt}, 0).points;
    ASSERT_EQ(odd.size(), 501u);
    EXPECT_EQ(odd[1].x, 3);
    EXPECT_EQ(odd.back().x, 1001);
    // 2501 points: step 3, positions 0 to 2500, the newest (2500) added after 2499.
    const auto third = PlotStore::snapshot({"s", 0, pointsFrom(1, 2501), std::nullopt}, 0).points;
    ASSERT_EQ(third.size(), 835u);
    EXPECT_EQ(third[833].x, 2500);
    EXPECT_EQ(third[834].x, 2501);

    // Only points beyond the cutoff are visible.
    const auto late = PlotStore::snapshot({"s", 0, pointsFrom(1, 10), std::nullopt}, 7);
    EXPECT_EQ(xsOf(late.points), (std::vector<std::int64_t>{8, 9, 10}));

    // A store with a window of 5000 publishes its series thinned.
    settings.writeInteger("plotWindowSize", 5000);
    auto store = makeStore();
    ingestLines(*store, "1 2", 5000);
    queue.advance(100ms);
    ASSERT_EQ(store->series().size(), 2u);
    for (const auto& s : store->series()) {
        EXPECT_EQ(s.points.size(), 1001u);
        EXPECT_EQ(s.points.back().x, 5000);
    }
    EXPECT_EQ(store->xDomain(), (PlotStore::XDomain{0, 5000}));
}

TEST_F(PlotStoreTest, StatisticsGiveMinMaxMeanAndTheDecimalsTheMostPreciseValueNeedsUpToFour)
{
    const auto statisticsOf = [](std::vector<double> ys) {
        std::vector<Point> points;
        for (std::size_t i = 0; i < ys.size(); ++i)
            points.push_back({static_cast<std::int64_t>(i + 1), ys[i]});
        return PlotStore::computeStatistics(points);
    };
    const std::vector<std::pair<std::vector<double>, int>> decimals{{{0.1, 0.25}, 2}, {{12.3456789}, 4},
        {{21, 21.5, 21.25}, 2}, {{0.25, 1, 3}, 2}, {{0.1}, 1}, {{1.0 / 3}, 4}, {{-0.001}, 3}, {{1, -7, 1000000, 0}, 0},
        // Relative to the size of the value: a tenth is below a millionth of 123456789.1.
        {{123456789.1}, 0}, {{1234.5}, 1}};
    for (const auto& [ys, expected] : decimals)
        EXPECT_EQ(statisticsOf(ys).decimals, expected) << ::testing::PrintToString(ys);

    EXPECT_EQ(statisticsOf({4, -2, 7, 3}), (Statistics{-2, 7, 3, 0}));
    EXPECT_EQ(statisticsOf({21.5}), (Statistics{21.5, 21.5, 21.5, 1}));
    // The sum of huge values overflows, their mean must not.
    EXPECT_EQ(statisticsOf({1e308, 1e308}).mean, 1e308);
}

TEST_F(PlotStoreTest, RangesDifferALotWhenTheLargestVisibleMagnitudeIsTwentyTimesTheSmallest)
{
    auto store = makeStore();
    ingest(*store, "a:2 b:40\n");
    queue.advance(100ms);
    EXPECT_TRUE(store->rangesDifferALot());

    store->clear();
    ingest(*store, "a:2 b:39\n");
    queue.advance(100ms);
    EXPECT_FALSE(store->rangesDifferALot());

    // A swing from -1 to 1 has magnitude 2; a constant 0 is left out; a hidden series too.
    store->clear();
    ingest(*store, "a:-1 b:40 z:0\na:1 b:40 z:0\n");
    queue.advance(100ms);
    EXPECT_TRUE(store->rangesDifferALot());
    store->toggle("b");
    EXPECT_FALSE(store->rangesDifferALot());
    store->toggle("b");
    EXPECT_TRUE(store->rangesDifferALot());

    // A series without visible points is ignored.
    settings.writeInteger("plotWindowSize", 100);
    auto windowed = makeStore();
    ingest(*windowed, "a:1 b:100\n");
    ingestLines(*windowed, "b:100 c:101", 100);
    queue.advance(100ms);
    EXPECT_EQ(windowed->series()[0].points, std::vector<Point>{});
    EXPECT_FALSE(windowed->rangesDifferALot());

    EXPECT_EQ(PlotStore::seriesMagnitude({"s", 0, {{1, -3}, {2, -1}}, std::nullopt}), 3);
    EXPECT_EQ(PlotStore::seriesMagnitude({"s", 0, {{1, 10}, {2, 12}}, std::nullopt}), 12);
    EXPECT_EQ(PlotStore::seriesMagnitude({"s", 0, {{1, -5}, {2, 12}}, std::nullopt}), 17);
    EXPECT_EQ(PlotStore::seriesMagnitude({"s", 0, {}, std::nullopt}), 0);
}

TEST_F(PlotStoreTest, TogglingHidesAndShowsASeriesAndVisibleSeriesKeepsTheOrder)
{
    auto store = makeStore();
    std::vector<std::set<std::string>> hiddenSeen;
    auto subscription = store->observeHidden([&](const std::set<std::string>& h) { hiddenSeen.push_back(h); });
    ingest(*store, "a:1 b:2 c:3\n");
    queue.advance(100ms);

    store->toggle("b");
    EXPECT_EQ(store->hidden(), (std::set<std::string>{"b"}));
    EXPECT_EQ(namesOf(store->visibleSeries()), (std::vector<std::string>{"a", "c"}));
    store->toggle("a");
    EXPECT_EQ(namesOf(store->visibleSeries()), (std::vector<std::string>{"c"}));
    store->toggle("b");
    EXPECT_EQ(namesOf(store->visibleSeries()), (std::vector<std::string>{"b", "c"}));
    EXPECT_EQ(store->visibleSeries()[0], store->series()[1]);
    EXPECT_EQ(hiddenSeen.size(), 4u);
    EXPECT_EQ(hiddenSeen.back(), (std::set<std::string>{"a"}));
}

TEST_F(PlotStoreTest, WhilePausedNoSampleIsAddedButHeaderLinesStillTakeEffect)
{
    auto store = makeStore();
    ingest(*store, "1,2\n");
    queue.advance(100ms);
    store->setPaused(true);
    EXPECT_TRUE(store->paused());
    ingest(*store, "x,y\n5,6\n7,8\nz");
    EXPECT_EQ(store->storage().size(), 2u);
    EXPECT_EQ(queue.pendingCount(), 0u);

    // The graph goes on without a gap, and the line begun while paused is completed.
    store->setPaused(false);
    ingest(*store, "=9\n10,11\n");
    EXPECT_EQ(namesOf(store->storage()), (std::vector<std::string>{"Value 1", "Value 2", "z", "x", "y"}));
    EXPECT_EQ(store->storage()[2].points, (std::vector<Point>{{2, 9}}));
    EXPECT_EQ(store->storage()[4].points, (std::vector<Point>{{3, 11}}));
    // Pausing is not an option that persists.
    EXPECT_EQ(settings.writeCount(), 0u);
}

TEST_F(PlotStoreTest, StoredOptionsFallBackToTheirDefaultsWhenAbsentUnacceptableOrOfAnotherType)
{
    using enum PlotLayout;
    using S = std::string;
    struct Case {
        std::string_view what;
        std::vector<std::pair<std::string, SettingValue>> stored;
        std::int64_t windowSize;
        bool smoothLines;
        PlotLayout layout;
        bool showStatistics;
    };
    const std::vector<Case> cases{
        {"nothing stored", {}, 500, false, shared, true},
        {"window 300", {{"plotWindowSize", std::int64_t{300}}}, 500, false, shared, true},
        {"window 2500", {{"plotWindowSize", std::int64_t{2500}}}, 2500, false, shared, true},
        {"window as text", {{"plotWindowSize", S("1000")}}, 500, false, shared, true},
        {"separate scales", {{"plotSeparateScales", true}}, 500, false, stacked, true},
        {"layout wins", {{"plotLayout", S("cards")}, {"plotSeparateScales", true}}, 500, false, cards, true},
        {"layout not a string", {{"plotLayout", std::int64_t{1}}}, 500, false, shared, true},
        {"separate scales not a boolean", {{"plotSeparateScales", S("true")}}, 500, false, shared, true},
        {"statistics off", {{"plotShowStatistics", false}}, 500, false, shared, false},
        {"statistics not a boolean", {{"plotShowStatistics", std::int64_t{0}}}, 500, false, shared, true},
        {"smooth", {{"plotSmoothLines", true}, {"plotLayout", S("stacked")}}, 500, true, stacked, true},
    };
    for (const auto& c : cases) {
        InMemorySettingsStore stored;
        for (const auto& [key, value] : c.stored)
            stored.setValue(key, value);
        const auto writesBefore = stored.writeCount();
        const auto store = PlotStore::create(queue, stored);
        EXPECT_EQ(store->windowSize(), c.windowSize) << c.what;
        EXPECT_EQ(store->smoothLines(), c.smoothLines) << c.what;
        EXPECT_EQ(store->layout(), c.layout) << c.what;
        EXPECT_EQ(store->showStatistics(), c.showStatistics) << c.what;
        EXPECT_FALSE(store->paused()) << c.what;
        EXPECT_TRUE(store->hidden().empty()) << c.what;
        // Reading never writes, not even the defaults.
        EXPECT_EQ(stored.writeCount(), writesBefore) << c.what;
    }
}

TEST_F(PlotStoreTest, ChangedOptionsArePublishedAndStoredAtOnce)
{
    auto store = makeStore();
    std::vector<PlotLayout> layouts;
    auto subscription = store->observeLayout([&](PlotLayout layout) { layouts.push_back(layout); });

    store->setLayout(PlotLayout::cards);
    store->setLayout(PlotLayout::cards);
    store->setSmoothLines(true);
    store->setShowStatistics(false);
    store->setWindowSize(2500);
    EXPECT_EQ(layouts, (std::vector<PlotLayout>{PlotLayout::shared, PlotLayout::cards}));
    EXPECT_EQ(settings.readString("plotLayout").value, "cards");
    EXPECT_EQ(settings.readBool("plotSmoothLines"), (SettingRead<bool>{SettingStatus::present, true}));
    EXPECT_EQ(settings.readBool("plotShowStatistics"), (SettingRead<bool>{SettingStatus::present, false}));
    EXPECT_EQ(settings.readInteger("plotWindowSize").value, 2500);
    EXPECT_EQ(settings.value("plotSeparateScales"), std::nullopt);
    EXPECT_EQ(settings.writeCount(), 4u);

    store->setLayout(PlotLayout::stacked);
    EXPECT_EQ(settings.readString("plotLayout").value, "stacked");
    store->setLayout(PlotLayout::shared);
    EXPECT_EQ(settings.readString("plotLayout").value, "shared");

    // Only the six window sizes are taken.
    store->setWindowSize(300);
    EXPECT_EQ(store->windowSize(), 2500);
    EXPECT_EQ(settings.readInteger("plotWindowSize").value, 2500);

    // A new store starts with what the last one stored.
    const auto next = makeStore();
    EXPECT_EQ(next->layout(), PlotLayout::shared);
    EXPECT_TRUE(next->smoothLines());
    EXPECT_FALSE(next->showStatistics());
    EXPECT_EQ(next->windowSize(), 2500);
}

TEST_F(PlotStoreTest, ANewWindowSizeTrimsAndPublishesAtOnceAndCannotBringBackTrimmedPoints)
{
    auto store = makeStore();
    ingestLines(*store, "4", 600);
    EXPECT_EQ(store->storage()[0].points.size(), 600u);
    EXPECT_TRUE(store->series().empty());

    store->setWindowSize(100);
    EXPECT_EQ(xsOf(store->storage()[0].points), xsOf(pointsFrom(501, 600)));
    EXPECT_EQ(xsOf(store->series()[0].points), xsOf(pointsFrom(501, 600)));
    EXPECT_EQ(store->latestSample(), 600);
    EXPECT_EQ(store->xDomain(), (PlotStore::XDomain{500, 600}));

    store->setWindowSize(1000);
    EXPECT_EQ(store->series()[0].points.size(), 100u);
    EXPECT_EQ(store->xDomain(), (PlotStore::XDomain{0, 600}));
}

TEST_F(PlotStoreTest, ClearEmptiesTheGraphAtOnceAndTheNextSeriesStartsAgainAtColourZero)
{
    settings.writeInteger("plotWindowSize", 250);
    auto store = makeStore();
    ingest(*store, "temp,hum\n1,2\n3,4\n");
    queue.advance(100ms);
    store->toggle("hum");
    store->setPaused(true);
    store->setLayout(PlotLayout::cards);
    ingest(*store, "partial");

    store->clear();
    EXPECT_TRUE(store->series().empty());
    EXPECT_EQ(store->latestSample(), 0);
    EXPECT_TRUE(store->storage().empty());
    EXPECT_TRUE(store->hidden().empty());
    EXPECT_TRUE(store->parser().header().empty());
    EXPECT_TRUE(store->parser().buffer().empty());
    EXPECT_TRUE(store->paused());
    EXPECT_EQ(store->layout(), PlotLayout::cards);
    EXPECT_EQ(store->windowSize(), 250);
    EXPECT_EQ(store->xDomain(), (PlotStore::XDomain{0, 1}));

    store->setPaused(false);
    ingest(*store, "x:5 6\n");
    EXPECT_EQ(store->storage(),
        (std::vector<Series>{{"x", 0, {{1, 5}}, std::nullopt}, {"Value 1", 1, {{1, 6}}, std::nullopt}}));
}

TEST_F(PlotStoreTest, APublishPendingWhenTheStoreGoesAwayDoesNothing)
{
    auto store = makeStore();
    int updates = 0;
    auto subscription = store->observeSeries([&](const std::vector<Series>&) { ++updates; });
    ingest(*store, "1 2 3\n");
    EXPECT_EQ(queue.pendingCount(), 1u);
    store.reset();
    queue.advance(200ms);
    EXPECT_EQ(queue.pendingCount(), 0u);
    EXPECT_EQ(updates, 1);
}

TEST_F(PlotStoreTest, TheXDomainIsTheWindowEndingAtTheLatestSampleAndNeverEmpty)
{
    auto store = makeStore();
    EXPECT_EQ(store->xDomain(), (PlotStore::XDomain{0, 1}));
    ingestLines(*store, "1", 40);
    queue.advance(100ms);
    EXPECT_EQ(store->xDomain(), (PlotStore::XDomain{0, 40}));
    ingestLines(*store, "1", 560);
    queue.advance(100ms);
    EXPECT_EQ(store->xDomain(), (PlotStore::XDomain{100, 600}));
}

TEST_F(PlotStoreTest, DiscardingThePartialLineDropsHalfALineButKeepsTheHeader)
{
    auto store = makeStore();
    ingest(*store, "a,b\n1,");
    store->discardPartialLine();
    ingest(*store, "2,3\n");
    EXPECT_EQ(
        store->storage(), (std::vector<Series>{{"a", 0, {{1, 2}}, std::nullopt}, {"b", 1, {{1, 3}}, std::nullopt}}));
}

} // namespace

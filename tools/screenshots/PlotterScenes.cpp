#include "app/monitor/ContentView.h"
#include "app/plot/PlotCardDetail.h"
#include "app/plot/PlotCardsView.h"
#include "app/plot/PlotChart.h"
#include "app/plot/PlotterView.h"
#include "app/plot/StackedCharts.h"
#include "app/plot/StatisticsTable.h"
#include "tools/screenshots/Scene.h"
#include "tools/screenshots/SceneRunner.h"
#include "tools/screenshots/SceneSteps.h"

using namespace std::chrono_literals;

namespace velmora::tools {
namespace {

// Enough for slow waves to show across the default window of 500 samples.
constexpr int readings = 480;
const std::vector<std::string> seriesNames{"temp", "hum", "pressure"};

bool isShown(const QWidget* widget)
{
    return widget && widget->isVisible() && !widget->visibleRegion().isEmpty();
}

// Connected, the plotter taking most of the split (or the given share), the board sending
// readings quickly.
PlotStore& plotReadings(SceneRunner& runner, PlotLayout layout, double share = 0.64)
{
    auto& store = runner.session().plot();
    store.setLayout(layout);
    store.setShowStatistics(true);
    showPlotter(runner, share);
    connectAt(runner, 115200);
    receive(runner, weatherReadings(readings, 24), 20ms);
    runner.expect(runner.waitUntil(
                      [&] { return store.latestSample() == readings && store.series().size() == seriesNames.size(); }),
        "the plotter has " + std::to_string(readings) + " samples of temp, hum and pressure");
    std::vector<std::string> names;
    for (const auto& series : store.series())
        names.push_back(series.name);
    runner.expect(names == seriesNames, "the series are temp, hum and pressure, in that order");
    return store;
}

void shared(SceneRunner& runner)
{
    plotReadings(runner, PlotLayout::shared);
    PlotterView& plotter = *runner.view().plotterArea();
    runner.expect(plotter.content() == PlotterView::Content::shared, "the plotter shows the shared chart");
    runner.expect(isShown(plotter.sharedChart()), "the shared chart is on screen");
    runner.expect(isShown(plotter.statisticsTable()), "the statistics table is on screen");
}

void stacked(SceneRunner& runner)
{
    plotReadings(runner, PlotLayout::stacked);
    PlotterView& plotter = *runner.view().plotterArea();
    runner.expect(plotter.content() == PlotterView::Content::stacked, "the plotter shows stacked charts");
    runner.expect(isShown(plotter.stackedCharts()), "the stacked charts are on screen");
}

PlotCardsView& showCards(SceneRunner& runner, double share)
{
    plotReadings(runner, PlotLayout::cards, share);
    PlotterView& plotter = *runner.view().plotterArea();
    PlotCardsView& cards = *plotter.cardsView();
    runner.expect(plotter.content() == PlotterView::Content::cards, "the plotter shows cards");
    runner.expect(isShown(&cards), "the cards are on screen");
    runner.expect(cards.cards().size() == seriesNames.size(), "there is a card per series");
    return cards;
}

void cards(SceneRunner& runner)
{
    // One row of cards needs less than the detail.
    const PlotCardsView& cards = showCards(runner, 0.56);
    runner.expect(cards.expanded().empty() && !isShown(cards.detail()), "no card is enlarged");
}

void cardDetail(SceneRunner& runner)
{
    PlotCardsView& cards = showCards(runner, 0.64);
    cards.setExpanded("temp");
    runner.expect(runner.waitUntil([&] { return isShown(cards.detail()) && cards.detail()->seriesName() == "temp"; }),
        "the detail of temp is open");
    // The detail grows out of its card.
    runner.settle(400ms);
    runner.expect(isShown(cards.dimLayer()), "the overview is dimmed behind the detail");
    runner.expect(cards.detail()->statisticsShown(), "the detail shows the statistics");
}

} // namespace

std::vector<Scene> plotterScenes()
{
    constexpr int width = 1200;
    constexpr int height = 800;
    return {
        {"plotter-shared", "temp, hum and pressure on one chart, with the statistics table", shared, width, height},
        {"plotter-stacked", "temp, hum and pressure in stacked charts", stacked, width, height},
        {"plotter-cards", "temp, hum and pressure as cards", cards, width, height},
        {"plotter-cards-detail", "the cards with the detail of temp open", cardDetail, width, height},
    };
}

} // namespace velmora::tools

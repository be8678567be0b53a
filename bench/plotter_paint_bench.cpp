// One full repaint of the plotter at 1600 × 1000 with 16 series of 1000 points, for each layout:
// what a publish costs the main thread while data flows (at most ten a second). Rendered into
// an image, the way the window system would have it painted, on the offscreen platform.

#include "app/plot/PlotCardsView.h"
#include "app/plot/PlotterView.h"
#include "core/exec/ManualMainQueue.h"
#include "core/platform/InMemorySettingsStore.h"

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <cmath>
#include <string>

namespace {

using namespace velmora;

struct Plot {
    ManualMainQueue queue;
    InMemorySettingsStore settings;
    std::shared_ptr<PlotStore> store = PlotStore::create(queue, settings);
    PlotterView view{*store};
    QImage image{1600, 1000, QImage::Format_ARGB32_Premultiplied};

    // Sensor-like lines by default (slow waves with a little noise, each on its own scale); or,
    // jagged, fast waves that swing across the whole chart every few samples: the worst case.
    explicit Plot(bool smooth, bool jagged = false)
    {
        store->setWindowSize(1000);
        store->setSmoothLines(smooth);
        std::string lines;
        for (int sample = 0; sample < 1000; ++sample) {
            for (int series = 0; series < 16; ++series) {
                // Different shapes and scales, some noisy: a realistic worst case for the paths.
                const double noise = ((sample * 7919 + series * 104729) % 13 - 6) * 0.05;
                const double value = jagged
                    ? (series + 1) * 10 * std::sin(sample * 0.02 * (series + 1)) + (sample * 7919 % 13) * 0.1 * series
                    : 20 + series * 3 + (2 + series % 4) * std::sin(sample * 6.283 / (200 + 50 * series)) + noise;
                lines += (series ? "," : "") + std::string("s") + std::to_string(series) + ":" + std::to_string(value);
            }
            lines += "\n";
        }
        store->ingest(std::span(reinterpret_cast<const std::uint8_t*>(lines.data()), lines.size()));
        queue.advance(PlotStore::publishDelay);
        view.resize(1600, 1000);
        view.show();
        QApplication::processEvents();
    }

    void paint()
    {
        QPainter painter(&image);
        view.render(&painter);
    }
};

void repaint(benchmark::State& state, PlotLayout layout, bool smooth, bool detail, bool jagged = false)
{
    Plot plot(smooth, jagged);
    plot.store->setLayout(layout);
    if (detail && !plot.store->series().empty())
        plot.view.cardsView()->setExpanded(plot.store->series().front().name);
    QApplication::processEvents();
    for (auto _ : state)
        plot.paint();
    state.counters["points"] = 16 * 1000;
}

// The same view with nothing to draw: what any repaint of a window this size costs.
void BM_EmptyPlotter(benchmark::State& state)
{
    ManualMainQueue queue;
    InMemorySettingsStore settings;
    auto store = PlotStore::create(queue, settings);
    PlotterView view(*store);
    QImage image(1600, 1000, QImage::Format_ARGB32_Premultiplied);
    view.resize(1600, 1000);
    view.show();
    QApplication::processEvents();
    for (auto _ : state) {
        QPainter painter(&image);
        view.render(&painter);
    }
}

void BM_SharedChart(benchmark::State& state)
{
    repaint(state, PlotLayout::shared, false, false);
}
void BM_SharedChartSmooth(benchmark::State& state)
{
    repaint(state, PlotLayout::shared, true, false);
}
void BM_SharedChartJagged(benchmark::State& state)
{
    repaint(state, PlotLayout::shared, false, false, true);
}
void BM_StackedCharts(benchmark::State& state)
{
    repaint(state, PlotLayout::stacked, false, false);
}
void BM_Cards(benchmark::State& state)
{
    repaint(state, PlotLayout::cards, false, false);
}
void BM_CardDetail(benchmark::State& state)
{
    repaint(state, PlotLayout::cards, false, true);
}

BENCHMARK(BM_EmptyPlotter)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SharedChart)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SharedChartSmooth)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SharedChartJagged)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StackedCharts)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Cards)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CardDetail)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

// The output buffer's append path over the Qt text store, with trimming in play, against the same
// path over the in-memory store. Each iteration pushes the same 4 KiB runs through both, so the
// ratio comes from one run on one machine. A second case does the same with a plain-text view
// showing the document, as the output area will.
#include "bench/OutputAppendRounds.h"
#include "app/platform/QtTextStore.h"
#include "core/pipeline/InMemoryTextStore.h"
#include "core/pipeline/OutputBuffer.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QScrollBar>

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <string>

namespace {

constexpr std::size_t segmentSize = 4096;
// 4 Mi characters a round: eight or so trims, one per 500,000 characters.
constexpr std::size_t segmentsPerRound = 1024;
constexpr std::size_t charactersPerRound = segmentSize * segmentsPerRound;

// Up to the first trim, so that every round works like a long session does.
void fill(velmora::OutputBuffer& buffer, const velmora::OutputSegments& batch)
{
    for (std::size_t before = 0; buffer.storage().length() >= before;) {
        before = buffer.storage().length();
        buffer.appendSegments(batch, {});
    }
}

void compare(benchmark::State& state, bool withView)
{
    const velmora::OutputSegments batch = velmora::bench::sensorBatch(segmentSize);
    auto owned = std::make_unique<velmora::QtTextStore>();
    QTextDocument* document = owned->document();
    velmora::OutputBuffer overQt(std::move(owned));
    velmora::OutputBuffer inMemory(std::make_unique<velmora::InMemoryTextStore>());

    std::unique_ptr<QPlainTextEdit> view;
    if (withView) {
        view = std::make_unique<QPlainTextEdit>();
        view->setReadOnly(true);
        view->setDocument(document);
        view->resize(960, 640);
        view->show();
        overQt.onScrollToEnd = [&view] { view->verticalScrollBar()->setValue(view->verticalScrollBar()->maximum()); };
    }
    fill(overQt, batch);
    fill(inMemory, batch);

    double qtSeconds = 0;
    double memorySeconds = 0;
    bool qtFirst = true;
    for (auto _ : state) {
        if (qtFirst)
            qtSeconds += velmora::bench::appendRound(overQt, batch, segmentsPerRound);
        memorySeconds += velmora::bench::appendRound(inMemory, batch, segmentsPerRound);
        if (!qtFirst)
            qtSeconds += velmora::bench::appendRound(overQt, batch, segmentsPerRound);
        qtFirst = !qtFirst;
        // What the view does between batches: paint once.
        if (view)
            QApplication::processEvents();
    }

    const double characters = static_cast<double>(charactersPerRound) * static_cast<double>(state.iterations());
    const double megabytes = characters * sizeof(char16_t) / 1e6;
    state.counters["qt_MBps"] = megabytes / qtSeconds;
    state.counters["memory_MBps"] = megabytes / memorySeconds;
    // Above 1 means the Qt store is that many times slower.
    state.counters["qt_vs_memory"] = qtSeconds / memorySeconds;
    state.counters["qt_chars_per_s"] = characters / qtSeconds;
    if (view)
        view->setDocument(nullptr);
}

void QtStoreVersusInMemoryStore(benchmark::State& state)
{
    compare(state, false);
}

void QtStoreShownInAPlainTextViewVersusInMemoryStore(benchmark::State& state)
{
    compare(state, true);
}

} // namespace

BENCHMARK(QtStoreVersusInMemoryStore)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(QtStoreShownInAPlainTextViewVersusInMemoryStore)->Unit(benchmark::kMillisecond)->Iterations(20);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

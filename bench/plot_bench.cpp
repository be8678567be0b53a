// The plotter's two costs: ingesting received lines (parse, append, trim), in lines per second,
// and one publish (snapshot, thinning and statistics of every series), in milliseconds. Each
// figure is reported next to its goal as a ratio, above 1 when the goal is met:
// - at least 1,000,000 lines of 4 comma-separated values per second on one core;
// - a publish of 16 series at window 5000 in under 2 ms.
// The goals are judged on the thread's CPU time, which other load on the machine does not
// inflate; wall-clock figures are reported beside them.
#include "core/exec/ManualMainQueue.h"
#include "core/platform/InMemorySettingsStore.h"
#include "core/plot/PlotStore.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <random>
#include <string>
#include <vector>

namespace {

using velmora::PlotStore;

constexpr std::size_t chunkSize = 4096;
constexpr std::size_t linesPerRound = 100'000;
constexpr double ingestGoal = 1'000'000; // lines per second
constexpr double publishGoal = 2.0; // milliseconds

// Adds up the CPU time of this thread and the wall-clock time between start() and stop().
class Stopwatch {
public:
    void start()
    {
        cpuStart_ = cpuNow();
        wallStart_ = std::chrono::steady_clock::now();
    }
    void stop()
    {
        cpu_ += cpuNow() - cpuStart_;
        wall_ += std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart_).count();
    }
    double cpuSeconds() const { return cpu_; }
    double wallSeconds() const { return wall_; }

private:
    static double cpuNow()
    {
        timespec now{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
        return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
    }

    double cpuStart_ = 0;
    double cpu_ = 0;
    std::chrono::steady_clock::time_point wallStart_;
    double wall_ = 0;
};

struct Stream {
    std::vector<std::vector<std::uint8_t>> chunks;
    std::size_t lines = 0;
};

// Sensor lines of `values` comma-separated decimals, as a board prints them, cut into reads of
// 4096 bytes regardless of line ends.
Stream sensorStream(int values)
{
    std::mt19937 random(5);
    std::uniform_int_distribution<int> centi(-5000, 50000);
    std::string text;
    for (std::size_t line = 0; line < linesPerRound; ++line) {
        for (int v = 0; v < values; ++v) {
            const int n = centi(random);
            const int cents = std::abs(n) % 100;
            text += (n < 0 ? "-" : "") + std::to_string(std::abs(n) / 100) + (cents < 10 ? ".0" : ".") +
                std::to_string(cents);
            text += v + 1 < values ? "," : "\r\n";
        }
    }
    Stream stream;
    stream.lines = linesPerRound;
    for (std::size_t at = 0; at < text.size(); at += chunkSize) {
        const auto piece = std::string_view(text).substr(at, chunkSize);
        stream.chunks.emplace_back(piece.begin(), piece.end());
    }
    return stream;
}

void ingestOf(benchmark::State& state, int values)
{
    const auto stream = sensorStream(values);
    velmora::ManualMainQueue queue;
    velmora::InMemorySettingsStore settings;
    auto store = PlotStore::create(queue, settings);
    Stopwatch watch;
    double lines = 0;
    for (auto _ : state) {
        watch.start();
        for (const auto& chunk : stream.chunks)
            store->ingest(chunk);
        // The deferred publish is part of what a stream costs; it runs once per round here.
        queue.advance(PlotStore::publishDelay);
        watch.stop();
        lines += static_cast<double>(stream.lines);
        benchmark::DoNotOptimize(store->series());
    }
    const double bytes =
        static_cast<double>(stream.chunks.size() * chunkSize) * static_cast<double>(state.iterations());
    state.counters["lines_per_s"] = lines / watch.cpuSeconds();
    state.counters["lines_per_s_wall"] = lines / watch.wallSeconds();
    state.counters["MBps"] = bytes / watch.cpuSeconds() / 1e6;
    if (values == 4)
        state.counters["vs_goal"] = lines / watch.cpuSeconds() / ingestGoal;
}

void IngestLinesOfFourValues(benchmark::State& state)
{
    ingestOf(state, 4);
}
void IngestLinesOfSixteenValues(benchmark::State& state)
{
    ingestOf(state, 16);
}

// A full window of 16 series with values of varying precision; each round adds one line and runs
// the publish it schedules.
void PublishSixteenSeriesAtWindow5000(benchmark::State& state)
{
    velmora::ManualMainQueue queue;
    velmora::InMemorySettingsStore settings;
    settings.writeInteger(PlotStore::windowSizeKey, 5000);
    auto store = PlotStore::create(queue, settings);
    std::mt19937 random(9);
    std::uniform_real_distribution<double> noise(-1, 1);
    std::vector<std::vector<std::uint8_t>> lines;
    for (int i = 0; i < 6000; ++i) {
        std::string line;
        for (int s = 0; s < 16; ++s) {
            const double y = s % 4 == 0 ? i % 1024 : s % 4 == 1 ? 20 + noise(random) : (s + 1) * 100.0 + 0.5 * (i % 2);
            line += "s" + std::to_string(s) + ":" + std::to_string(y) + " ";
        }
        line += "\n";
        lines.emplace_back(line.begin(), line.end());
    }
    for (const auto& line : lines)
        store->ingest(line);
    queue.advance(PlotStore::publishDelay);

    Stopwatch watch;
    std::size_t next = 0;
    for (auto _ : state) {
        store->ingest(lines[next++ % lines.size()]);
        watch.start();
        queue.advance(PlotStore::publishDelay);
        watch.stop();
        benchmark::DoNotOptimize(store->series());
    }
    const double iterations = static_cast<double>(state.iterations());
    const double ms = watch.cpuSeconds() * 1000 / iterations;
    state.counters["publish_ms"] = ms;
    state.counters["publish_ms_wall"] = watch.wallSeconds() * 1000 / iterations;
    state.counters["vs_goal"] = publishGoal / ms;
    state.counters["points_drawn"] = static_cast<double>(store->series().front().points.size());
}

} // namespace

BENCHMARK(IngestLinesOfFourValues)->Unit(benchmark::kMillisecond);
BENCHMARK(IngestLinesOfSixteenValues)->Unit(benchmark::kMillisecond);
BENCHMARK(PublishSixteenSeriesAtWindow5000)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();

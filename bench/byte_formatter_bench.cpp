// Throughput of the HEX dump formatter against a plain copy of the same bytes, measured
// alternately in one loop so that both see the same machine state; vs_memcpy is the ratio.
#include "core/pipeline/ByteFormatter.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <random>
#include <time.h>

using namespace velmora;

namespace {

constexpr std::size_t chunkSize = 4096;
constexpr std::size_t chunksPerBatch = 16;
// A single copy of a batch is over too soon for the clock to measure it well.
constexpr int copyRounds = 32;

// Text with line breaks mixed with binary runs, as a board that logs and sends frames would.
std::vector<ReceivedChunk> mixedBatch()
{
    std::mt19937 random(20240305);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> printable(0x20, 0x7E);
    std::vector<ReceivedChunk> batch;
    auto time = std::chrono::system_clock::now();
    for (std::size_t c = 0; c < chunksPerBatch; ++c) {
        ReceivedChunk chunk{time, std::vector<std::uint8_t>(chunkSize)};
        for (std::size_t i = 0; i < chunkSize; ++i) {
            const bool binaryRun = (i / 256) % 2 == 1;
            const bool lineEnd = !binaryRun && i % 40 == 39;
            chunk.data[i] = static_cast<std::uint8_t>(lineEnd ? 0x0A : binaryRun ? byte(random) : printable(random));
        }
        batch.push_back(std::move(chunk));
        time += std::chrono::milliseconds(1);
    }
    return batch;
}

// CPU time of this thread: other processes on a busy machine do not count against either side.
struct ThreadCpuClock {
    using duration = std::chrono::nanoseconds;
    using rep = duration::rep;
    using period = duration::period;
    using time_point = std::chrono::time_point<ThreadCpuClock>;
    static constexpr bool is_steady = true;

    static time_point now()
    {
        timespec elapsed{};
        ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &elapsed);
        return time_point(std::chrono::seconds(elapsed.tv_sec) + std::chrono::nanoseconds(elapsed.tv_nsec));
    }
};

void HexDumpVersusMemcpy(benchmark::State& state)
{
    const auto batch = mixedBatch();
    ByteDisplayOptions options;
    options.mode = DisplayMode::hexDump;
    options.bytesPerLine = 16;
    options.timestamps = state.range(0) != 0;

    std::vector<std::uint8_t> source;
    for (const auto& chunk : batch)
        source.insert(source.end(), chunk.data.begin(), chunk.data.end());
    std::vector<std::uint8_t> copy(source.size());

    using Clock = ThreadCpuClock;
    Clock::duration formatTime{};
    Clock::duration copyTime{};
    ByteFormatter formatter;
    for (auto _ : state) {
        const auto start = Clock::now();
        {
            // Freeing the segments is part of the cost, so the result is dropped inside the timing.
            auto result = formatter.format(batch, options);
            benchmark::DoNotOptimize(result);
        }
        const auto formatted = Clock::now();
        for (int round = 0; round < copyRounds; ++round) {
            std::memcpy(copy.data(), source.data(), source.size());
            benchmark::DoNotOptimize(copy.data());
            benchmark::ClobberMemory();
        }
        const auto copied = Clock::now();
        formatTime += formatted - start;
        copyTime += copied - formatted;
    }

    const double megabytes = static_cast<double>(source.size()) * static_cast<double>(state.iterations()) / 1e6;
    const double formatSeconds = std::chrono::duration<double>(formatTime).count();
    const double copySeconds = std::chrono::duration<double>(copyTime).count();
    state.counters["MBps"] = megabytes / formatSeconds;
    state.counters["memcpy_MBps"] = megabytes * copyRounds / copySeconds;
    state.counters["vs_memcpy"] = copySeconds / copyRounds / formatSeconds;
}

} // namespace

BENCHMARK(HexDumpVersusMemcpy)->ArgName("timestamps")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();

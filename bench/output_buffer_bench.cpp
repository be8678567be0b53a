// The output buffer's append path with trimming in play, against the plainest way of moving the
// same text: memcpy into a region of the buffer's size limit. Each iteration pushes the same
// characters through both, so the ratio comes from one run on one machine.
#include "bench/OutputAppendRounds.h"
#include "core/pipeline/InMemoryTextStore.h"
#include "core/pipeline/OutputBuffer.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::size_t segmentSize = 4096;
// 8 Mi characters a round: sixteen or so trims, one per 500,000 characters.
constexpr std::size_t segmentsPerRound = 2048;
constexpr std::size_t charactersPerRound = segmentSize * segmentsPerRound;

double memcpyRound(std::vector<char16_t>& region, std::size_t& position, const std::u16string& text)
{
    const auto start = Clock::now();
    for (std::size_t i = 0; i < segmentsPerRound; ++i) {
        if (position + text.size() > region.size())
            position = 0;
        std::memcpy(region.data() + position, text.data(), text.size() * sizeof(char16_t));
        position += text.size();
        benchmark::ClobberMemory();
    }
    return std::chrono::duration<double>(Clock::now() - start).count();
}

void AppendSegmentsVersusMemcpy(benchmark::State& state)
{
    const velmora::OutputSegments batch = velmora::bench::sensorBatch(segmentSize);
    velmora::OutputBuffer buffer;
    // Run up to the first trim, so that every round works like a long session does.
    for (std::size_t before = 0; buffer.storage().length() >= before;) {
        before = buffer.storage().length();
        buffer.appendSegments(batch, {});
    }

    std::vector<char16_t> region(velmora::OutputBuffer::maxCharacters);
    std::size_t position = 0;
    double bufferSeconds = 0;
    double memcpySeconds = 0;
    bool bufferFirst = true;
    for (auto _ : state) {
        if (bufferFirst)
            bufferSeconds += velmora::bench::appendRound(buffer, batch, segmentsPerRound);
        memcpySeconds += memcpyRound(region, position, batch.front().text);
        if (!bufferFirst)
            bufferSeconds += velmora::bench::appendRound(buffer, batch, segmentsPerRound);
        bufferFirst = !bufferFirst;
        benchmark::DoNotOptimize(region.data());
    }

    const double characters = static_cast<double>(charactersPerRound) * static_cast<double>(state.iterations());
    const double megabytes = characters * sizeof(char16_t) / 1e6;
    state.counters["MBps"] = megabytes / bufferSeconds;
    state.counters["memcpy_MBps"] = megabytes / memcpySeconds;
    state.counters["vs_memcpy"] = memcpySeconds / bufferSeconds;
    // Input characters (UTF-16 code units) through the buffer per second.
    state.counters["chars_per_s"] = characters / bufferSeconds;
}

} // namespace

BENCHMARK(AppendSegmentsVersusMemcpy)->Unit(benchmark::kMillisecond)->Iterations(200);
BENCHMARK_MAIN();

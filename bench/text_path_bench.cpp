// Throughput of the text display path in input bytes per second, each figure next to a plain
// memcpy of the same bytes timed in the same loop, so the ratio holds on a noisy machine.
// Goal: the whole path (coalescer, text processor, output buffer) handles at least 200 MB/s of
// typical sensor lines on one core.
#include "core/exec/ManualMainQueue.h"
#include "core/pipeline/InMemoryTextStore.h"
#include "core/pipeline/OutputBuffer.h"
#include "core/pipeline/ReceiveCoalescer.h"
#include "core/pipeline/TerminalTextProcessor.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <random>

namespace {

using Clock = std::chrono::steady_clock;
using velmora::OutputSegments;

constexpr std::size_t chunkSize = 4096;
constexpr std::size_t chunksPerRound = 256; // 1 MiB per round

std::vector<std::vector<std::uint8_t>> sensorChunks()
{
    const std::string_view line = "t=12345 temp:21.5 hum:40.25\r\n";
    std::vector<std::uint8_t> stream;
    while (stream.size() < chunkSize * chunksPerRound)
        stream.insert(stream.end(), line.begin(), line.end());
    std::vector<std::vector<std::uint8_t>> chunks;
    for (std::size_t i = 0; i < chunksPerRound; ++i)
        chunks.emplace_back(stream.begin() + static_cast<std::ptrdiff_t>(i * chunkSize),
            stream.begin() + static_cast<std::ptrdiff_t>((i + 1) * chunkSize));
    return chunks;
}

std::vector<std::vector<std::uint8_t>> randomChunks()
{
    std::mt19937 random(7);
    std::vector<std::vector<std::uint8_t>> chunks(chunksPerRound, std::vector<std::uint8_t>(chunkSize));
    for (auto& chunk : chunks)
        for (auto& byte : chunk)
            byte = static_cast<std::uint8_t>(random());
    return chunks;
}

// Times the work and a memcpy of the same bytes in turns and reports both and their ratio.
class RatioMeter {
public:
    explicit RatioMeter(const std::vector<std::vector<std::uint8_t>>& chunks) : chunks_(chunks), target_(chunkSize) {}

    template <typename Work> void round(Work&& work)
    {
        auto start = Clock::now();
        work();
        workSeconds_ += std::chrono::duration<double>(Clock::now() - start).count();
        start = Clock::now();
        for (const auto& chunk : chunks_) {
            std::memcpy(target_.data(), chunk.data(), chunk.size());
            benchmark::ClobberMemory();
        }
        copySeconds_ += std::chrono::duration<double>(Clock::now() - start).count();
        bytes_ += static_cast<double>(chunks_.size() * chunkSize);
    }

    void report(benchmark::State& state) const
    {
        state.counters["MBps"] = bytes_ / workSeconds_ / 1e6;
        state.counters["memcpy_MBps"] = bytes_ / copySeconds_ / 1e6;
        state.counters["vs_memcpy"] = copySeconds_ / workSeconds_;
    }

private:
    const std::vector<std::vector<std::uint8_t>>& chunks_;
    std::vector<std::uint8_t> target_;
    double workSeconds_ = 0;
    double copySeconds_ = 0;
    double bytes_ = 0;
};

void processorOver(benchmark::State& state, const std::vector<std::vector<std::uint8_t>>& chunks, bool decorated)
{
    velmora::TerminalTextProcessor processor;
    const std::u16string arrow = u"\u2190 ";
    const auto prefix = decorated ? std::optional<std::u16string_view>(arrow) : std::nullopt;
    const auto time = std::chrono::system_clock::now();
    RatioMeter meter(chunks);
    for (auto _ : state) {
        meter.round([&] {
            for (const auto& chunk : chunks)
                benchmark::DoNotOptimize(processor.process(chunk, decorated, prefix, time));
        });
    }
    meter.report(state);
}

void TextProcessorSensorLines(benchmark::State& state)
{
    processorOver(state, sensorChunks(), false);
}
void TextProcessorSensorLinesStampedWithEcho(benchmark::State& state)
{
    processorOver(state, sensorChunks(), true);
}
void TextProcessorRandomBytes(benchmark::State& state)
{
    processorOver(state, randomChunks(), false);
}

// What a session does with a stream of lines: the I/O side hands pieces to the coalescer, the
// main side takes each batch, runs the text processor per chunk and appends to the output.
void WholeTextPathSensorLines(benchmark::State& state)
{
    const auto chunks = sensorChunks();
    velmora::ManualMainQueue queue;
    velmora::OutputBuffer output;
    velmora::TerminalTextProcessor processor;
    auto coalescer =
        velmora::ReceiveCoalescer::create(queue, [&](std::vector<velmora::ReceivedChunk> batch, std::int64_t) {
            OutputSegments segments;
            for (const auto& chunk : batch) {
                auto part = processor.process(chunk.data, false, std::nullopt, chunk.time);
                segments.insert(
                    segments.end(), std::make_move_iterator(part.begin()), std::make_move_iterator(part.end()));
            }
            output.appendSegments(segments, {});
        });
    RatioMeter meter(chunks);
    for (auto _ : state) {
        meter.round([&] {
            // Sixteen pieces per 30 ms batch, as a fast board fills the reads.
            for (std::size_t i = 0; i < chunks.size(); ++i) {
                coalescer->receive(chunks[i]);
                if (i % 16 == 15)
                    queue.advance(velmora::ReceiveCoalescer::deliveryDelay);
            }
            queue.advance(velmora::ReceiveCoalescer::deliveryDelay);
        });
    }
    meter.report(state);
    state.counters["output_chars"] = static_cast<double>(output.storage().length());
}

} // namespace

BENCHMARK(TextProcessorSensorLines)->Unit(benchmark::kMillisecond);
BENCHMARK(TextProcessorSensorLinesStampedWithEcho)->Unit(benchmark::kMillisecond);
BENCHMARK(TextProcessorRandomBytes)->Unit(benchmark::kMillisecond);
BENCHMARK(WholeTextPathSensorLines)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();

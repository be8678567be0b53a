// The port's read path against the plainest reader of the same device: a poll and read loop.
// Both read a pseudo-terminal that a writer thread keeps full; each iteration moves the same
// number of bytes through one and then the other, so the ratio comes from one run on one machine.
// Goal: the port keeps at least 90 % of the plain loop's throughput.
#include "core/serial/SerialPort.h"
#include "tests/helpers/PseudoTerminal.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <fcntl.h>
#include <mutex>
#include <poll.h>
#include <thread>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;
constexpr std::size_t bytesPerRound = 16 << 20;

// Feeds the master side with a steady stream until told to stop. Its writes never block, so it
// sees the stop flag within a poll's timeout even when nobody reads any more.
class Board {
public:
    explicit Board(int master) : master_(master)
    {
        ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
        thread_ = std::thread([this] { run(); });
    }
    ~Board()
    {
        stop_ = true;
        thread_.join();
    }

private:
    void run()
    {
        std::vector<std::uint8_t> line(4096);
        for (std::size_t i = 0; i < line.size(); ++i)
            line[i] = static_cast<std::uint8_t>("t=12345 temp:21.5 hum:40.25\r\n"[i % 29]);
        pollfd writable{master_, POLLOUT, 0};
        while (!stop_) {
            if (::poll(&writable, 1, 20) > 0) [[maybe_unused]]
                auto written = ::write(master_, line.data(), line.size());
        }
    }

    int master_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

double plainLoop(const std::string& path, std::size_t bytes)
{
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    std::vector<std::uint8_t> buffer(8192);
    std::size_t total = 0;
    const auto start = Clock::now();
    pollfd readable{fd, POLLIN, 0};
    while (total < bytes) {
        ::poll(&readable, 1, -1);
        for (;;) {
            const ssize_t got = ::read(fd, buffer.data(), buffer.size());
            if (got <= 0)
                break;
            total += static_cast<std::size_t>(got);
            benchmark::DoNotOptimize(buffer.data());
        }
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    ::close(fd);
    return seconds;
}

double portLoop(const std::string& path, std::size_t bytes)
{
    auto port = velmora::SerialPort::create(path);
    std::mutex mutex;
    std::condition_variable done;
    std::size_t total = 0;
    const auto start = Clock::now();
    port->queue().sync([&] {
        port->open(
            {},
            [&](std::vector<std::uint8_t> batch) {
                std::lock_guard lock(mutex);
                total += batch.size();
                if (total >= bytes)
                    done.notify_one();
            },
            nullptr);
    });
    {
        std::unique_lock lock(mutex);
        done.wait(lock, [&] { return total >= bytes; });
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    port->queue().sync([&] { port->close(); });
    return seconds;
}

void PortReadVersusPlainLoop(benchmark::State& state)
{
    velmora::testing::PseudoTerminal pty;
    // Held open and raw for the whole run, so that neither reader meets a line that the other
    // one's close has put back into canonical mode with echo.
    const int keeper = ::open(pty.devicePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    velmora::LineAttributes attributes;
    velmora::LineAttributes::read(keeper, attributes);
    attributes.configuredFor({}).apply(keeper);
    Board board(pty.master());
    double portSeconds = 0;
    double plainSeconds = 0;
    bool portFirst = false;
    for (auto _ : state) {
        if (portFirst)
            portSeconds += portLoop(pty.devicePath(), bytesPerRound);
        plainSeconds += plainLoop(pty.devicePath(), bytesPerRound);
        if (!portFirst)
            portSeconds += portLoop(pty.devicePath(), bytesPerRound);
        portFirst = !portFirst;
    }
    ::close(keeper);
    const double megabytes = static_cast<double>(bytesPerRound) * static_cast<double>(state.iterations()) / 1e6;
    state.counters["plain_MBps"] = megabytes / plainSeconds;
    state.counters["port_MBps"] = megabytes / portSeconds;
    state.counters["port_vs_plain"] = plainSeconds / portSeconds;
    state.SetBytesProcessed(static_cast<std::int64_t>(2 * bytesPerRound * state.iterations()));
}

} // namespace

BENCHMARK(PortReadVersusPlainLoop)->Unit(benchmark::kMillisecond)->Iterations(8);
BENCHMARK_MAIN();

// The whole window against the simulated board: a shown monitor window with its real session,
// connected to a board on a pseudo-terminal that prints numbered, time-stamped lines
// ("flood:<n>,t:<µs>") paced as a UART at 115200 baud (11.5 KB/s) and at 1 Mbaud (100 KB/s),
// then as fast as the device takes them.
//
// Reports, per phase and from one run on one machine: bytes the board sent, bytes shown, bytes
// skipped (with the "bytes skipped" notices), lines lost; the time from a line leaving the board
// (its stamp) to the paint of the output view that shows it (median, 99th percentile, worst);
// the same for the board's answers to lines sent after a quiet spell; CPU time of the process
// and of the main thread as a share of one core. Both clocks are the steady clock of this one
// process.
//
// Paced lines are made by the board's own sketch code on a pacer thread, stamped as they are
// made and handed to the board, which writes them on its next turn; the flood is the board's.
// Not a Google Benchmark program: it needs Qt's event loop on the main thread throughout.
//
// Options: --seconds N (each phase, default 8).
#include "app/monitor/ContentView.h"
#include "app/monitor/OutputTextView.h"
#include "app/platform/QtMainQueue.h"
#include "app/shell/MonitorWindow.h"
#include "bench/WindowBenchSupport.h"
#include "core/pipeline/InMemoryTextStore.h"
#include "core/platform/InMemorySettingsStore.h"
#include "core/session/PortRegistry.h"
#include "core/session/VelmoraModel.h"
#include "localization/L10n.h"
#include "tests/helpers/CountingAlert.h"
#include "tools/simboard/SimulatedBoard.h"
#include "tools/simboard/SketchOutput.h"

#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QTimer>

#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;
using velmora::ConnectionState;
using velmora::InMemoryTextStore;
using velmora::VelmoraModel;
using velmora::bench::Clock;
using velmora::bench::cpuSeconds;
using velmora::bench::seconds;
using velmora::bench::spin;
using velmora::bench::spinUntil;
using velmora::simboard::Behaviour;
using velmora::simboard::SimulatedBoard;
using velmora::simboard::SketchOutput;

// Watches the output store and the output view: every flood line that lands in the store waits
// until the view paints it, and is then timed against its stamp; the "bytes skipped" notices are
// counted. A line counts as painted at the first paint of the viewport after the view has caught
// up with the store beyond the line's end. Observes the store after the view does.
class ArrivalWatch : public QObject {
public:
    ArrivalWatch(const InMemoryTextStore& store, velmora::OutputTextView& view) : store_(store)
    {
        skipMarker_ = velmora::bench::skipNoticeMarker();
        // After the view's own observer, which subscribed first.
        changes_ = store_.changes().subscribe([this](const InMemoryTextStore::Change& change) { inspect(change); });
        scanned_ = store_.length();
        QObject::connect(&view, &velmora::OutputTextView::synced, this, [this] { synced_ = cut_ + store_.length(); });
        view.viewport()->installEventFilter(this);
    }
    ArrivalWatch(const ArrivalWatch&) = delete;
    ArrivalWatch& operator=(const ArrivalWatch&) = delete;

    // A new phase: counters start again, and only lines from here on count.
    void reset()
    {
        latenciesUs_.clear();
        replyLatenciesUs_.clear();
        waiting_.clear();
        nextCounter_.reset();
        lostLines_ = 0;
        notices_ = 0;
        phaseStartUs_ = velmora::simboard::steadyMicros();
        scanned_ = store_.length();
    }

    std::vector<double> latenciesUs() const { return latenciesUs_; }
    std::vector<double> replyLatenciesUs() const { return replyLatenciesUs_; }
    std::uint64_t lostLines() const { return lostLines_; }
    int notices() const { return notices_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            const auto now = velmora::simboard::steadyMicros();
            while (!waiting_.empty() && waiting_.front().end <= synced_) {
                const auto& line = waiting_.front();
                (line.reply ? replyLatenciesUs_ : latenciesUs_).push_back(static_cast<double>(now - line.sentMicros));
                waiting_.pop_front();
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    struct Waiting {
        // Where the line ends, counted from the first character the store ever held.
        std::size_t end;
        std::int64_t sentMicros;
        bool reply;
    };

    void inspect(const InMemoryTextStore::Change& change)
    {
        const auto now = velmora::simboard::steadyMicros();
        cut_ += change.removedFromFront;
        scanned_ -= std::min(scanned_, change.removedFromFront);
        if (change.firstChanged)
            scanned_ = std::min(scanned_, *change.firstChanged);
        const std::u16string_view text = store_.view();
        // Whole lines only: a line still being received is looked at again when it is finished.
        for (;;) {
            const auto end = text.find(u'\n', scanned_);
            if (end == std::u16string_view::npos)
                break;
            line_.assign(
                text.begin() + static_cast<std::ptrdiff_t>(scanned_), text.begin() + static_cast<std::ptrdiff_t>(end));
            scanned_ = end + 1;
            take(now, cut_ + end);
        }
    }

    void take(std::int64_t nowUs, std::size_t end)
    {
        // The lines are ASCII; a narrowing copy is enough to parse them.
        ascii_.assign(line_.begin(), line_.end());
        // The board answers a line it is sent with "echo: " and the line.
        constexpr std::string_view replyPrefix = "echo: ";
        const bool reply = std::string_view(ascii_).starts_with(replyPrefix);
        const std::string_view body = std::string_view(ascii_).substr(reply ? replyPrefix.size() : 0);
        const auto flood = SketchOutput::parseFloodLine(body);
        // Where bytes were skipped, lines are spliced: only an intact line is timed.
        if (flood && body == "flood:" + std::to_string(flood->counter) + ",t:" + std::to_string(flood->sentMicros) &&
            flood->sentMicros >= phaseStartUs_ && flood->sentMicros <= nowUs) {
            if (!reply) {
                if (nextCounter_ && flood->counter < *nextCounter_)
                    return;
                if (nextCounter_)
                    lostLines_ += flood->counter - *nextCounter_;
                nextCounter_ = flood->counter + 1;
            }
            waiting_.push_back({end, flood->sentMicros, reply});
            return;
        }
        if (ascii_.starts_with("--- ") && ascii_.find(skipMarker_) != std::string::npos) {
            ++notices_;
        }
    }

    const InMemoryTextStore& store_;
    velmora::Subscription changes_;
    std::string skipMarker_;
    std::size_t scanned_ = 0;
    std::size_t cut_ = 0;
    std::size_t synced_ = 0;
    std::u16string line_;
    std::string ascii_;
    std::deque<Waiting> waiting_;
    std::vector<double> latenciesUs_;
    std::vector<double> replyLatenciesUs_;
    std::optional<std::uint64_t> nextCounter_;
    std::uint64_t lostLines_ = 0;
    int notices_ = 0;
    std::int64_t phaseStartUs_ = 0;
};

// Hands the board time-stamped lines at a byte rate, as a sketch printing at that baud rate
// would, checking every millisecond what is due.
class Pacer {
public:
    Pacer(SimulatedBoard& board, double bytesPerSecond) : board_(board)
    {
        thread_ = std::thread([this, bytesPerSecond] { run(bytesPerSecond); });
    }
    ~Pacer()
    {
        stop_ = true;
        thread_.join();
    }
    Pacer(const Pacer&) = delete;
    Pacer& operator=(const Pacer&) = delete;

    double cpuSeconds() const { return cpu_.load(); }

private:
    void run(double bytesPerSecond)
    {
        SketchOutput sketch;
        const double cpuStart = ::cpuSeconds(RUSAGE_THREAD);
        const auto start = Clock::now();
        double made = 0;
        while (!stop_) {
            std::string due;
            while (made + static_cast<double>(due.size()) < bytesPerSecond * seconds(Clock::now() - start))
                due += sketch.floodLine();
            if (!due.empty()) {
                made += static_cast<double>(due.size());
                board_.send(std::move(due));
            }
            std::this_thread::sleep_for(1ms);
            cpu_ = ::cpuSeconds(RUSAGE_THREAD) - cpuStart;
        }
    }

    SimulatedBoard& board_;
    std::atomic<bool> stop_{false};
    std::atomic<double> cpu_{0};
    std::thread thread_;
};

struct PhaseResult {
    std::string name;
    std::uint64_t sent = 0;
    std::int64_t shown = 0;
    std::int64_t skipped = 0;
    int notices = 0;
    std::uint64_t lostLines = 0;
    std::size_t lines = 0;
    double medianMs = 0;
    double p99Ms = 0;
    double worstMs = 0;
    double wall = 0;
    double processCpu = 0;
    double mainCpu = 0;
    double pacerCpu = 0;
};

double percentile(std::vector<double>& sorted, double p)
{
    if (sorted.empty())
        return 0;
    const auto index = static_cast<std::size_t>(p * static_cast<double>(sorted.size() - 1) + 0.5);
    return sorted[std::min(index, sorted.size() - 1)];
}

// The count, median, 99th percentile and worst of a phase's latencies.
void summarize(std::vector<double> latenciesUs, PhaseResult& result)
{
    std::sort(latenciesUs.begin(), latenciesUs.end());
    result.lines = latenciesUs.size();
    result.medianMs = percentile(latenciesUs, 0.5) / 1000;
    result.p99Ms = percentile(latenciesUs, 0.99) / 1000;
    result.worstMs = latenciesUs.empty() ? 0 : latenciesUs.back() / 1000;
}

struct Bench {
    velmora::QtMainQueue& mainQueue;
    velmora::PortRegistry& registry;
    velmora::InMemorySettingsStore settings;
    velmora::testing::CountingAlert alert;
    SimulatedBoard board{[] {
        SimulatedBoard::Options options;
        options.behaviour = Behaviour::quiet;
        return options;
    }()};
    std::unique_ptr<velmora::MonitorWindow> window;
    velmora::ContentView* view = nullptr;
    std::unique_ptr<ArrivalWatch> watch;
    Clock::time_point lastRxChange = Clock::now();
    velmora::Subscription rxSubscription;

    Bench(velmora::QtMainQueue& queue, velmora::PortRegistry& ports) : mainQueue(queue), registry(ports) {}
    ~Bench()
    {
        watch.reset();
        rxSubscription.cancel();
        if (window) {
            view->model().disconnect();
            window->close();
            window.reset();
        }
    }

    VelmoraModel& model() { return dynamic_cast<VelmoraModel&>(view->model()); }
    std::int64_t rx() { return model().reception().rxBytes.value(); }

    bool open()
    {
        window = std::make_unique<velmora::MonitorWindow>([this] {
            return VelmoraModel::create({mainQueue, settings, alert, registry, nullptr});
        });
        window->setAttribute(Qt::WA_DeleteOnClose, false);
        view = window->addTab();
        window->resize(1200, 800);
        window->show();
        // No direction marker: the lines in the output are exactly the board's.
        model().display().echoSent.set(false);
        watch = std::make_unique<ArrivalWatch>(model().output().storage(), view->outputView());
        rxSubscription = model().reception().rxBytes.subscribe([this](const auto&) { lastRxChange = Clock::now(); });
        model().line().selectedPath.set(board.devicePath());
        return useBaudRate(115200);
    }

    bool useBaudRate(std::int64_t rate)
    {
        if (model().connection().state.value() == ConnectionState::connected)
            model().line().baudRate.set(rate);
        else {
            model().line().baudRate.set(rate);
            model().connect();
        }
        // A reopen may pass unnoticed by the board or show as a hang-up and a new listener.
        spin(300ms);
        return model().connection().state.value() == ConnectionState::connected &&
            spinUntil([this] { return board.hasListener(); }, 5s);
    }

    // Until nothing has arrived for a while: what the board sent is shown or skipped.
    void settle()
    {
        const auto deadline = Clock::now() + 30s;
        spin(100ms);
        while (Clock::now() < deadline && Clock::now() - lastRxChange < 500ms)
            spin(50ms);
    }

    PhaseResult run(const std::string& name, double bytesPerSecond, Clock::duration duration)
    {
        settle();
        watch->reset();
        PhaseResult result;
        result.name = name;
        const std::uint64_t sentStart = board.bytesSent();
        const std::int64_t rxStart = rx();
        const double processStart = cpuSeconds(RUSAGE_SELF);
        const double mainStart = cpuSeconds(RUSAGE_THREAD);
        const auto start = Clock::now();
        {
            std::unique_ptr<Pacer> pacer;
            if (bytesPerSecond > 0)
                pacer = std::make_unique<Pacer>(board, bytesPerSecond);
            else
                board.setBehaviour(Behaviour::flood);
            spin(duration);
            if (pacer) {
                result.pacerCpu = pacer->cpuSeconds();
                pacer.reset();
            } else {
                board.setBehaviour(Behaviour::quiet);
            }
        }
        settle();
        // Settling is waiting, not work: the CPU figures are over the time data flowed.
        result.wall = seconds(std::max(lastRxChange, start + 1ms) - start);
        result.processCpu = cpuSeconds(RUSAGE_SELF) - processStart;
        result.mainCpu = cpuSeconds(RUSAGE_THREAD) - mainStart;
        result.sent = board.bytesSent() - sentStart;
        result.shown = rx() - rxStart;
        result.skipped = static_cast<std::int64_t>(result.sent) - result.shown;
        result.notices = watch->notices();
        result.lostLines = watch->lostLines();
        summarize(watch->latenciesUs(), result);
        return result;
    }
};

// After a quiet spell, the user sends a line and the board answers it at once: the time from
// the send to the answer's paint.
PhaseResult replies(Bench& bench, int count)
{
    bench.settle();
    bench.watch->reset();
    PhaseResult result;
    result.name = "replies after quiet";
    const double processStart = cpuSeconds(RUSAGE_SELF);
    const double mainStart = cpuSeconds(RUSAGE_THREAD);
    const auto start = Clock::now();
    for (int i = 0; i < count; ++i) {
        spin(300ms);
        bench.model().composer().inputText.set(
            "flood:" + std::to_string(i) + ",t:" + std::to_string(velmora::simboard::steadyMicros()));
        bench.model().send();
    }
    spin(300ms);
    result.wall = seconds(Clock::now() - start);
    result.processCpu = cpuSeconds(RUSAGE_SELF) - processStart;
    result.mainCpu = cpuSeconds(RUSAGE_THREAD) - mainStart;
    result.sent = static_cast<std::uint64_t>(count);
    summarize(bench.watch->replyLatenciesUs(), result);
    result.lostLines = static_cast<std::uint64_t>(count) - std::min<std::uint64_t>(result.lines, count);
    return result;
}

void printHeader()
{
    std::printf("  %-22s %12s %12s %10s %8s %8s %9s %9s %9s %9s %8s %8s %8s\n", "phase", "sent", "shown", "skipped",
        "notices", "lost", "lines", "median", "p99", "worst", "process", "main", "board");
    std::printf("  %-22s %12s %12s %10s %8s %8s %9s %9s %9s %9s %8s %8s %8s\n", "", "bytes", "bytes", "bytes", "",
        "lines", "timed", "ms", "ms", "ms", "% core", "% core", "% core");
}

void print(const PhaseResult& r)
{
    const double pace = r.wall > 0 ? 100 / r.wall : 0;
    std::printf("  %-22s %12llu %12lld %10lld %8d %8llu %9zu %9.2f %9.2f %9.2f %8.1f %8.1f %8.1f\n", r.name.c_str(),
        static_cast<unsigned long long>(r.sent), static_cast<long long>(r.shown), static_cast<long long>(r.skipped),
        r.notices, static_cast<unsigned long long>(r.lostLines), r.lines, r.medianMs, r.p99Ms, r.worstMs,
        r.processCpu * pace, r.mainCpu * pace, r.pacerCpu * pace);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    velmora::L10n::usePreferredLanguages({"en"});
    double phaseSeconds = 8;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::string(argv[i]) == "--seconds")
            phaseSeconds = std::max(1.0, std::atof(argv[++i]));
    }
    const auto duration = std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(phaseSeconds));

    // Never deleted, as in the program: the registry keeps posting to it.
    static velmora::QtMainQueue* const mainQueue = new velmora::QtMainQueue;
    auto& registry = velmora::PortRegistry::shared(*mainQueue);
    Bench bench(*mainQueue, registry);

    std::printf("board_latency_bench: the monitor window against the simulated board (platform %s, %s build, %.0f s "
                "per phase)\n",
        qPrintable(QGuiApplication::platformName()),
#ifdef NDEBUG
        "optimised",
#else
        "unoptimised",
#endif
        phaseSeconds);
    std::printf("  latency: a line's stamp on leaving the board to the paint of the output that shows it (goals while\n"
                "  streaming: median <= 50 ms, worst <= 100 ms; a reply after a quiet spell <= 40 ms); CPU over the\n"
                "  time data flowed, the process including the board's threads, \"board\" the pacer thread alone;\n"
                "  for the replies \"sent\" counts lines sent and \"lost\" answers never painted\n");
    if (!bench.open()) {
        std::fprintf(stderr, "board_latency_bench: could not connect to %s\n", bench.board.devicePath().c_str());
        return 1;
    }
    printHeader();
    print(bench.run("115200 baud (11.5 KB/s)", 11'520, duration));
    print(replies(bench, 20));
    if (!bench.useBaudRate(1'000'000)) {
        std::fprintf(stderr, "board_latency_bench: could not reconnect at 1 Mbaud\n");
        return 1;
    }
    print(bench.run("1 Mbaud (100 KB/s)", 100'000, duration));
    const auto flood = bench.run("full speed (flood)", 0, duration);
    print(flood);
    std::printf("  full speed: %.2f MB/s sent, %.2f MB/s shown\n", static_cast<double>(flood.sent) / 1e6 / flood.wall,
        static_cast<double>(flood.shown) / 1e6 / flood.wall);
    return 0;
}

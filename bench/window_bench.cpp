// The whole window under a flood: a shown monitor window with its real session, connected to a
// pseudo-terminal whose master side a writer thread fills with text lines at a paced rate.
//
// Reports, from one run on one machine:
//   memory  resident size after 10 MB and after 200 MB shown (goal: within 20 MB of each other);
//   cpu     share of one core with the window connected and idle, and at 115200 baud (goal ≤ 1 %,
//           ≤ 2 % with timestamps on);
//   rates   for paced rates stepping up, and unpaced: what was written, what the session showed,
//           whether any "bytes skipped" notice appeared (goal: ≥ 20 MB/s shown without one);
//   flood   at the device's full speed: the longest event-loop stall (goal ≤ 100 ms), seen as the
//           longest gap between ticks of a 5 ms timer, and the longest gap between paints.
//
// Memory runs first so that its figures are not hidden by heap that earlier phases freed.
// Not a Google Benchmark program: it needs Qt's event loop on the main thread throughout.
//
// Options: --step-seconds N (rates, default 3), --flood-seconds N (default 8),
//          --cpu-seconds N (default 10), --memory-rate MBps (0 = unpaced, default 20),
//          --skip-memory, --skip-cpu, --skip-rates, --skip-flood,
//          --paint-census (which widgets paint how often in the cpu phase; costs time itself),
//          --plain-host (the tab's view in a bare widget instead of the monitor window's tabs),
//          --writer-nice N (the writer thread's nice value; 19 leaves the cores to the window),
//          --baud-interval MS (how often the 115200 baud board writes, default 1 ms).
#include "app/monitor/ContentView.h"
#include "app/monitor/OutputTextView.h"
#include "app/platform/QtAlertSound.h"
#include "app/platform/QtMainQueue.h"
#include "app/shell/MonitorWindow.h"
#include "bench/WindowBenchSupport.h"
#include "core/pipeline/InMemoryTextStore.h"
#include "core/platform/InMemorySettingsStore.h"
#include "core/session/PortRegistry.h"
#include "core/session/VelmoraModel.h"
#include "localization/L10n.h"
#include "tests/helpers/PseudoTerminal.h"

#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QPaintEvent>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <malloc.h>
#include <map>
#include <optional>
#include <poll.h>
#include <string>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>
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

constexpr double megabyte = 1e6;
constexpr std::int64_t rate115200 = 11'520;

double milliseconds(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

struct SwitchCounts {
    long voluntary = 0;
    long involuntary = 0;
};

SwitchCounts threadSwitches()
{
    rusage usage{};
    ::getrusage(RUSAGE_THREAD, &usage);
    return {usage.ru_nvcsw, usage.ru_nivcsw};
}

double residentMegabytes()
{
    long pages = 0;
    long resident = 0;
    if (std::FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(statm);
    }
    return static_cast<double>(resident) * static_cast<double>(::sysconf(_SC_PAGESIZE)) / megabyte;
}

std::string loadAverage()
{
    double load[3] = {};
    if (::getloadavg(load, 3) != 3)
        return "unknown";
    char text[64];
    std::snprintf(text, sizeof text, "%.2f %.2f %.2f", load[0], load[1], load[2]);
    return text;
}

// Bytes the allocator has handed out and not got back, over all its arenas.
double heapInUseMegabytes()
{
    const struct mallinfo2 info = ::mallinfo2();
    return static_cast<double>(info.uordblks + info.hblkhd) / megabyte;
}

// Lines as a sensor board prints them, every number changing from line to line.
std::vector<std::uint8_t> makeLines(std::size_t bytes)
{
    std::vector<std::uint8_t> text;
    text.reserve(bytes + 64);
    char line[96];
    for (unsigned i = 0; text.size() < bytes; ++i) {
        const unsigned noise = (i * 2654435761u) >> 20;
        const int length = std::snprintf(
            line, sizeof line, "temp:%u.%u,hum:%u,count:%u\r\n", 18 + noise % 9, noise % 10, 35 + (noise >> 4) % 20, i);
        text.insert(text.end(), line, line + length);
    }
    return text;
}

// The board: writes the lines to the master side at a paced rate (or as fast as the
// pseudo-terminal takes them), never blocking for long so that it can be stopped at any time.
class Board {
public:
    Board(int master, const std::vector<std::uint8_t>& lines) : master_(master), lines_(lines)
    {
        ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
    }
    ~Board() { stop(); }
    Board(const Board&) = delete;
    Board& operator=(const Board&) = delete;

    // bytesPerSecond 0: unpaced.
    void start(double bytesPerSecond)
    {
        stop();
        written_ = 0;
        stop_ = false;
        thread_ = std::thread([this, bytesPerSecond] { run(bytesPerSecond); });
    }
    void stop()
    {
        stop_ = true;
        if (thread_.joinable())
            thread_.join();
    }
    std::int64_t written() const { return written_; }
    // A niced writer leaves the cores to the program, as a device's own hardware would.
    void setNice(int nice) { nice_ = nice; }
    // How often a paced board hands over what is due: a USB serial chip sends a packet each
    // millisecond at most, an FTDI chip with its default latency timer every 16 ms.
    void setInterval(std::chrono::milliseconds interval) { interval_ = interval; }
    // The writer thread's own CPU time in its last run, to take out of the process's figures.
    double writerCpuSeconds() const { return writerCpu_; }
    double writeSeconds() const { return writeSeconds_; }

private:
    void run(double bytesPerSecond)
    {
        if (nice_ != 0)
            ::setpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()), nice_);
        const double cpuStart = cpuSeconds(RUSAGE_THREAD);
        const auto start = Clock::now();
        constexpr std::size_t maxWrite = 64 * 1024;
        std::int64_t total = 0;
        while (!stop_) {
            std::size_t want = maxWrite;
            if (bytesPerSecond > 0) {
                const auto due = static_cast<std::int64_t>(bytesPerSecond * seconds(Clock::now() - start)) - total;
                if (due <= 0) {
                    std::this_thread::sleep_for(interval_);
                    continue;
                }
                want = std::min<std::size_t>(maxWrite, static_cast<std::size_t>(due));
            }
            want = std::min(want, lines_.size() - offset_);
            const ssize_t count = ::write(master_, lines_.data() + offset_, want);
            if (count > 0) {
                total += count;
                written_ = total;
                offset_ = (offset_ + static_cast<std::size_t>(count)) % lines_.size();
            } else if (count < 0 && (errno == EAGAIN || errno == EINTR)) {
                pollfd writable{master_, POLLOUT, 0};
                ::poll(&writable, 1, 20);
            } else {
                std::fprintf(stderr, "window_bench: writing to the pseudo-terminal failed: %s\n", std::strerror(errno));
                break;
            }
        }
        writeSeconds_ = seconds(Clock::now() - start);
        writerCpu_ = cpuSeconds(RUSAGE_THREAD) - cpuStart;
    }

    int master_;
    const std::vector<std::uint8_t>& lines_;
    std::size_t offset_ = 0;
    std::atomic<bool> stop_{true};
    std::atomic<std::int64_t> written_{0};
    int nice_ = 0;
    std::chrono::milliseconds interval_{1};
    double writerCpu_ = 0;
    double writeSeconds_ = 0;
    std::thread thread_;
};

// Watches the main thread: a 5 ms timer whose late ticks are the event loop's stalls, and the
// output's paints.
class LoopWatch : public QObject {
public:
    explicit LoopWatch(QWidget* painted)
    {
        painted->installEventFilter(this);
        ticker_.setTimerType(Qt::PreciseTimer);
        ticker_.setInterval(5);
        QObject::connect(&ticker_, &QTimer::timeout, this, [this] {
            const auto now = Clock::now();
            const double cpu = cpuSeconds(RUSAGE_THREAD);
            const SwitchCounts switches = threadSwitches();
            if (lastTick_) {
                const auto gap = now - *lastTick_;
                if (gap > longestTickGap_) {
                    longestTickGap_ = gap;
                    longestGapCpu_ = cpu - lastTickCpu_;
                    longestGapSwitches_ = {
                        switches.voluntary - lastSwitches_.voluntary, switches.involuntary - lastSwitches_.involuntary};
                }
                if (gap > 100ms)
                    ++longStalls_;
            }
            lastTick_ = now;
            lastTickCpu_ = cpu;
            lastSwitches_ = switches;
        });
    }

    void setTicking(bool on)
    {
        lastTick_.reset();
        if (on)
            ticker_.start();
        else
            ticker_.stop();
    }
    void reset()
    {
        lastTick_.reset();
        lastPaint_.reset();
        longestTickGap_ = {};
        longestGapCpu_ = 0;
        longStalls_ = 0;
        longestPaintGap_ = {};
        paints_ = 0;
    }
    Clock::duration longestTickGap() const { return longestTickGap_; }
    // The main thread's CPU time within the longest gap: near the gap when the thread was busy,
    // far below it when the thread was waiting for a core.
    double longestGapCpuSeconds() const { return longestGapCpu_; }
    int stallsOver100ms() const { return longStalls_; }
    // How often the main thread blocked (voluntary) and was preempted (involuntary) in that gap.
    SwitchCounts longestGapSwitches() const { return longestGapSwitches_; }
    Clock::duration longestPaintGap() const { return longestPaintGap_; }
    int paints() const { return paints_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            const auto now = Clock::now();
            if (lastPaint_)
                longestPaintGap_ = std::max(longestPaintGap_, now - *lastPaint_);
            lastPaint_ = now;
            ++paints_;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QTimer ticker_;
    std::optional<Clock::time_point> lastTick_;
    std::optional<Clock::time_point> lastPaint_;
    Clock::duration longestTickGap_{};
    double lastTickCpu_ = 0;
    double longestGapCpu_ = 0;
    SwitchCounts lastSwitches_;
    SwitchCounts longestGapSwitches_;
    int longStalls_ = 0;
    Clock::duration longestPaintGap_{};
    int paints_ = 0;
};

// Counts the "bytes skipped" notices as they land in the output. Notices are system-styled, so
// only system runs of the changed text are searched, which keeps this off the data's path.
class SkipNoticeWatch {
public:
    explicit SkipNoticeWatch(const InMemoryTextStore& store) : store_(store)
    {
        marker_ = QString::fromStdString(velmora::bench::skipNoticeMarker()).toStdU16String();
        // After the view's own observer, which subscribed first.
        changes_ = store_.changes().subscribe([this](const InMemoryTextStore::Change& change) { inspect(change); });
    }
    SkipNoticeWatch(const SkipNoticeWatch&) = delete;
    SkipNoticeWatch& operator=(const SkipNoticeWatch&) = delete;

    int count() const { return count_; }

private:
    void inspect(const InMemoryTextStore::Change& change)
    {
        if (!change.firstChanged)
            return;
        for (const auto& span : store_.styles(*change.firstChanged, store_.length())) {
            if (span.style == velmora::TextStyle::system &&
                store_.view().substr(span.start, span.end - span.start).find(marker_) != std::u16string_view::npos)
                ++count_;
        }
    }

    const InMemoryTextStore& store_;
    std::u16string marker_;
    velmora::Subscription changes_;
    int count_ = 0;
};

// Which widgets paint and lay out, and how often: installed on the application for
// --paint-census only, since it sees every event of the program.
class PaintCensus : public QObject {
public:
    PaintCensus() { qApp->installEventFilter(this); }
    ~PaintCensus() override { qApp->removeEventFilter(this); }
    PaintCensus(const PaintCensus&) = delete;
    PaintCensus& operator=(const PaintCensus&) = delete;

    void print(double wallSeconds) const
    {
        std::vector<std::pair<int, std::string>> rows;
        for (const auto& [name, count] : counts_)
            rows.emplace_back(count, name);
        std::sort(rows.rbegin(), rows.rend());
        for (const auto& [count, name] : rows)
            std::printf("    %7.1f /s  %s\n", count / wallSeconds, name.c_str());
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const char* kind = nullptr;
        switch (event->type()) {
        case QEvent::Paint:
            kind = "paint";
            break;
        case QEvent::LayoutRequest:
            kind = "layout request";
            break;
        case QEvent::UpdateRequest:
            kind = "update request";
            break;
        case QEvent::Resize:
            kind = "resize";
            break;
        case QEvent::Move:
            kind = "move";
            break;
        default:
            return QObject::eventFilter(watched, event);
        }
        std::string name = std::string(kind) + "  " + watched->metaObject()->className();
        if (const QObject* parent = watched->parent())
            name += std::string(" in ") + parent->metaObject()->className();
        // Where a paint lands, in window coordinates, tells a whole-window repaint from a local one.
        const auto* widget = qobject_cast<QWidget*>(watched);
        if (event->type() == QEvent::Paint && widget) {
            const QRect rect = static_cast<QPaintEvent*>(event)->rect();
            const QPoint at = widget->mapTo(widget->window(), rect.topLeft());
            name += "  " + std::to_string(rect.width()) + "x" + std::to_string(rect.height()) + "+" +
                std::to_string(at.x()) + "+" + std::to_string(at.y());
        }
        ++counts_[name];
        return QObject::eventFilter(watched, event);
    }

private:
    std::map<std::string, int> counts_;
};

struct Bench {
    velmora::QtMainQueue& mainQueue;
    velmora::PortRegistry& registry;
    velmora::InMemorySettingsStore settings;
    velmora::QtAlertSound alert;
    velmora::testing::PseudoTerminal pty;
    std::vector<std::uint8_t> lines = makeLines(8 << 20);

    // The monitor window with its tab, or with --plain-host a bare widget holding the tab's view.
    bool plainHost = false;
    int writerNice = 0;
    std::unique_ptr<QWidget> window;
    velmora::ContentView* view = nullptr;
    std::unique_ptr<LoopWatch> watch;
    std::unique_ptr<SkipNoticeWatch> notices;
    std::unique_ptr<Board> board;
    Clock::time_point lastRxChange = Clock::now();
    velmora::Subscription rxSubscription;

    Bench(velmora::QtMainQueue& queue, velmora::PortRegistry& ports) : mainQueue(queue), registry(ports) {}

    VelmoraModel& model() { return dynamic_cast<VelmoraModel&>(view->model()); }
    std::int64_t rx() { return model().reception().rxBytes.value(); }

    // A fresh window and session, connected to the pseudo-terminal.
    bool open()
    {
        close();
        auto makeSession = [this] { return VelmoraModel::create({mainQueue, settings, alert, registry, nullptr}); };
        if (plainHost) {
            window = std::make_unique<QWidget>();
            auto* layout = new QVBoxLayout(window.get());
            layout->setContentsMargins(0, 0, 0, 0);
            view = new velmora::ContentView(makeSession(), window.get());
            layout->addWidget(view);
        } else {
            auto monitor = std::make_unique<velmora::MonitorWindow>(makeSession);
            monitor->setAttribute(Qt::WA_DeleteOnClose, false);
            view = monitor->addTab();
            window = std::move(monitor);
        }
        window->resize(1200, 800);
        window->show();
        watch = std::make_unique<LoopWatch>(view->outputView().viewport());
        notices = std::make_unique<SkipNoticeWatch>(model().output().storage());
        rxSubscription = model().reception().rxBytes.subscribe([this](const auto&) { lastRxChange = Clock::now(); });
        model().line().selectedPath.set(pty.devicePath());
        model().line().baudRate.set(115200);
        model().connect();
        spin(500ms);
        board = std::make_unique<Board>(pty.master(), lines);
        board->setNice(writerNice);
        return model().connection().state.value() == ConnectionState::connected;
    }

    void close()
    {
        board.reset();
        rxSubscription.cancel();
        notices.reset();
        watch.reset();
        if (window) {
            view->model().disconnect();
            window->close();
            window.reset();
        }
        view = nullptr;
    }

    // After the board stopped: waits until everything written is shown or skipped, that is until
    // the shown count stops moving.
    void settle(std::int64_t rxStart)
    {
        const auto deadline = Clock::now() + 30s;
        while (Clock::now() < deadline) {
            spin(50ms);
            if (rx() - rxStart >= board->written())
                break;
            if (Clock::now() - lastRxChange > 500ms)
                break;
        }
        spin(100ms);
    }

    // Lets whatever an earlier phase left in the pseudo-terminal arrive before the next one counts.
    void quiesce()
    {
        const auto deadline = Clock::now() + 10s;
        while (Clock::now() < deadline && Clock::now() - lastRxChange < 300ms)
            spin(50ms);
    }
};

struct StepResult {
    double targetMBps = 0;
    double writtenMBps = 0;
    double shownMBps = 0;
    std::int64_t written = 0;
    std::int64_t shown = 0;
    int notices = 0;
    double longestStallMs = 0;
    double longestStallCpuMs = 0;
    SwitchCounts longestStallSwitches;
    int stallsOver100ms = 0;
    double longestPaintGapMs = 0;
    double paintsPerSecond = 0;
    // How long after the board stopped the last bytes appeared.
    double lagMs = 0;
    double mainCpuPercent = 0;
    // Main-thread CPU time per megabyte shown: what the window costs, whatever else the machine
    // is doing; 1000 over it is the rate one free core could keep up with.
    double mainMsPerMB = 0;
    bool clean() const { return notices == 0 && shown == written; }
};

StepResult runStep(Bench& bench, double targetMBps, Clock::duration duration)
{
    StepResult result;
    result.targetMBps = targetMBps;
    bench.quiesce();
    const std::int64_t rxStart = bench.rx();
    const int noticesStart = bench.notices->count();
    bench.watch->reset();
    bench.watch->setTicking(true);
    const double mainCpuStart = cpuSeconds(RUSAGE_THREAD);
    const auto start = Clock::now();
    bench.board->start(targetMBps * megabyte);
    spin(duration);
    bench.board->stop();
    const auto stopped = Clock::now();
    bench.settle(rxStart);
    const auto shownUntil = std::max(bench.lastRxChange, start + 1ms);
    const double mainCpu = cpuSeconds(RUSAGE_THREAD) - mainCpuStart;
    result.mainCpuPercent = 100 * mainCpu / seconds(Clock::now() - start);
    bench.watch->setTicking(false);

    result.written = bench.board->written();
    result.shown = bench.rx() - rxStart;
    result.notices = bench.notices->count() - noticesStart;
    result.writtenMBps = static_cast<double>(result.written) / megabyte / bench.board->writeSeconds();
    // Over the time the board wrote: a clean step shows what was written at the rate written.
    result.shownMBps = static_cast<double>(result.shown) / megabyte / bench.board->writeSeconds();
    result.lagMs = std::max(0.0, milliseconds(shownUntil - stopped));
    result.mainMsPerMB = result.shown > 0 ? 1000 * mainCpu / (static_cast<double>(result.shown) / megabyte) : 0;
    result.longestStallMs = milliseconds(bench.watch->longestTickGap());
    result.longestStallCpuMs = 1000 * bench.watch->longestGapCpuSeconds();
    result.stallsOver100ms = bench.watch->stallsOver100ms();
    result.longestStallSwitches = bench.watch->longestGapSwitches();
    result.longestPaintGapMs = milliseconds(bench.watch->longestPaintGap());
    result.paintsPerSecond = bench.watch->paints() / seconds(shownUntil - start);
    return result;
}

void printStep(const StepResult& r)
{
    char target[32];
    if (r.targetMBps > 0)
        std::snprintf(target, sizeof target, "%8.3f", r.targetMBps);
    else
        std::snprintf(target, sizeof target, "%8s", "unpaced");
    std::printf("  %s %9.2f %9.2f %12lld %12lld %8d %7.0f %9.1f %9.1f %7.1f %7.1f %8.2f  %s\n", target, r.writtenMBps,
        r.shownMBps, static_cast<long long>(r.written - r.shown), static_cast<long long>(r.shown), r.notices, r.lagMs,
        r.longestStallMs, r.longestPaintGapMs, r.paintsPerSecond, r.mainCpuPercent, r.mainMsPerMB,
        r.clean() ? "clean" : "SKIPPED");
    std::fflush(stdout);
}

void printStepHeader()
{
    std::printf("  %8s %9s %9s %12s %12s %8s %7s %9s %9s %7s %7s %8s\n", "target", "written", "shown", "skipped",
        "shown", "notices", "lag", "stall", "paintgap", "paint/s", "main%", "main ms");
    std::printf("  %8s %9s %9s %12s %12s %8s %7s %9s %9s %7s %7s %8s\n", "MB/s", "MB/s", "MB/s", "bytes", "bytes", "",
        "ms", "ms", "ms", "", "core", "per MB");
}

struct Options {
    double stepSeconds = 3;
    double floodSeconds = 8;
    double cpuSeconds = 10;
    double memoryRate = 20;
    bool memory = true;
    bool cpu = true;
    bool rates = true;
    bool flood = true;
    bool paintCensus = false;
    bool plainHost = false;
    int writerNice = 0;
    int baudInterval = 1;
};

Options parse(int argc, char** argv)
{
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const auto number = [&] { return i + 1 < argc ? std::atof(argv[++i]) : 0.0; };
        if (arg == "--step-seconds")
            options.stepSeconds = number();
        else if (arg == "--flood-seconds")
            options.floodSeconds = number();
        else if (arg == "--cpu-seconds")
            options.cpuSeconds = number();
        else if (arg == "--memory-rate")
            options.memoryRate = number();
        else if (arg == "--skip-memory")
            options.memory = false;
        else if (arg == "--skip-cpu")
            options.cpu = false;
        else if (arg == "--skip-rates")
            options.rates = false;
        else if (arg == "--skip-flood")
            options.flood = false;
        else if (arg == "--paint-census")
            options.paintCensus = true;
        else if (arg == "--baud-interval")
            options.baudInterval = std::max(1, static_cast<int>(number()));
        else if (arg == "--writer-nice")
            options.writerNice = static_cast<int>(number());
        else if (arg == "--plain-host")
            options.plainHost = true;
    }
    return options;
}

Clock::duration secondsDuration(double s)
{
    return std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(s));
}

bool memoryPhase(Bench& bench, const Options& options)
{
    std::printf(
        "\nmemory: resident size while %s MB/s of lines are shown (goal: growth from 10 MB to 200 MB <= 20 MB)\n",
        options.memoryRate > 0 ? std::to_string(static_cast<int>(options.memoryRate)).c_str() : "unpaced");
    if (!bench.open())
        return false;
    std::printf("  %10s %10s %10s %12s\n", "shown MB", "seconds", "RSS MB", "heap in use");
    const auto row = [](const char* label, double wall) {
        std::printf("  %10s %10.1f %10.1f %12.1f\n", label, wall, residentMegabytes(), heapInUseMegabytes());
    };
    const auto start = Clock::now();
    row("before", 0);
    const std::int64_t rxStart = bench.rx();
    const int noticesStart = bench.notices->count();
    bench.board->start(options.memoryRate * megabyte);
    std::optional<double> at10;
    std::optional<double> at200;
    for (const std::int64_t mark : {10, 25, 50, 100, 150, 200}) {
        if (!spinUntil([&] { return bench.rx() - rxStart >= mark * 1'000'000; }, 120s))
            break;
        const double rss = residentMegabytes();
        if (mark == 10)
            at10 = rss;
        if (mark == 200)
            at200 = rss;
        row(std::to_string(mark).c_str(), seconds(Clock::now() - start));
    }
    const double elapsed = seconds(Clock::now() - start);
    const std::int64_t shown = bench.rx() - rxStart;
    bench.board->stop();
    bench.settle(rxStart);
    const int skippedNotices = bench.notices->count() - noticesStart;
    // What the allocator keeps without using: freed heap that is not given back.
    ::malloc_trim(0);
    row("trimmed", seconds(Clock::now() - start));
    if (at10 && at200)
        std::printf(
            "  growth 10 MB -> 200 MB: %.1f MB   goal <= 20 MB: %s  (%.3f bytes per byte received; %.1f MB/s shown)\n",
            *at200 - *at10, *at200 - *at10 <= 20 ? "met" : "MISSED", (*at200 - *at10) / 190.0,
            static_cast<double>(shown) / megabyte / elapsed);
    else
        std::printf("  did not reach %s MB shown in time (shown %.1f MB)\n", at10 ? "200" : "10",
            static_cast<double>(shown) / megabyte);
    std::printf("  skip notices during the flood: %d\n", skippedNotices);
    std::fflush(stdout);
    return true;
}

void cpuPhase(Bench& bench, const Options& options)
{
    std::printf("\ncpu: process CPU time / wall time, writer thread taken out\n");
    const auto measure = [&](double rate) {
        bench.quiesce();
        std::optional<PaintCensus> census;
        if (options.paintCensus)
            census.emplace();
        const double processStart = cpuSeconds(RUSAGE_SELF);
        const double mainStart = cpuSeconds(RUSAGE_THREAD);
        const std::int64_t rxStart = bench.rx();
        const auto start = Clock::now();
        if (rate > 0) {
            bench.board->setInterval(std::chrono::milliseconds(options.baudInterval));
            bench.board->start(rate);
        }
        spin(secondsDuration(options.cpuSeconds));
        const double wall = seconds(Clock::now() - start);
        if (census)
            census->print(wall);
        // Main-thread time is read on the main thread, before the writer joins.
        const double main = cpuSeconds(RUSAGE_THREAD) - mainStart;
        double writer = 0;
        if (rate > 0) {
            bench.board->stop();
            writer = bench.board->writerCpuSeconds();
            bench.board->setInterval(1ms);
        }
        const double process = cpuSeconds(RUSAGE_SELF) - processStart - writer;
        struct {
            double process, main, wall;
            std::int64_t shown;
        } r{process, main, wall, bench.rx() - rxStart};
        return r;
    };
    const auto idle = measure(0);
    std::printf("  connected, idle          %6.3f %% of one core  (main thread %6.3f %%)\n",
        100 * idle.process / idle.wall, 100 * idle.main / idle.wall);
    // With timestamps on, every read is handed on at once so that each line carries its true
    // arrival time; that costs more wake-ups and has a goal of its own.
    for (const bool stamped : {false, true}) {
        bench.model().display().showTimestamps.set(stamped);
        const auto baud = measure(rate115200);
        const double goal = stamped ? 2.0 : 1.0;
        std::printf("  115200 baud%s (%lld B/s every %d ms)  %6.3f %% of one core  (main thread %6.3f %%, others %6.3f "
                    "%%)  goal <= %.0f %%: %s; shown %.0f B/s\n",
            stamped ? ", timestamps" : "", static_cast<long long>(rate115200), options.baudInterval,
            100 * baud.process / baud.wall, 100 * baud.main / baud.wall, 100 * (baud.process - baud.main) / baud.wall,
            goal, 100 * baud.process / baud.wall <= goal ? "met" : "MISSED",
            static_cast<double>(baud.shown) / baud.wall);
        std::fflush(stdout);
    }
    bench.model().display().showTimestamps.set(false);
}

void ratesPhase(Bench& bench, const Options& options)
{
    std::printf("\nrates: %.0f s each; a step is clean when every byte written was shown and no skip notice appeared\n",
        options.stepSeconds);
    printStepHeader();
    std::optional<StepResult> best;
    for (const double target : {1.0, 2.0, 5.0, 10.0, 20.0, 40.0, 80.0, 0.0}) {
        const auto result = runStep(bench, target, secondsDuration(options.stepSeconds));
        printStep(result);
        if (result.clean() && (!best || result.shownMBps > best->shownMBps))
            best = result;
    }
    if (best)
        // A paced board starts from nothing, so a step shows a little less than its target.
        std::printf("  highest rate shown without skipping: %.2f MB/s   goal >= 20 MB/s: %s\n", best->shownMBps,
            best->shownMBps >= 19.9 ? "met" : "MISSED");
    if (best && best->mainMsPerMB > 0)
        std::printf(
            "  main thread at that step: %.2f ms per MB shown, so one free core keeps up with about %.0f MB/s\n",
            best->mainMsPerMB, 1000 / best->mainMsPerMB);
    else
        std::printf("  every step skipped   goal >= 20 MB/s: MISSED\n");
}

void floodPhase(Bench& bench, const Options& options)
{
    std::printf("\nflood: unpaced for %.0f s\n", options.floodSeconds);
    printStepHeader();
    const auto flood = runStep(bench, 0, secondsDuration(options.floodSeconds));
    printStep(flood);
    std::printf("  longest event-loop stall: %.1f ms   goal <= 100 ms: %s\n", flood.longestStallMs,
        flood.longestStallMs <= 100 ? "met" : "MISSED");
    std::printf("  in it the main thread ran %.1f ms, blocked %ld times and was preempted %ld times\n",
        flood.longestStallCpuMs, flood.longestStallSwitches.voluntary, flood.longestStallSwitches.involuntary);
    std::printf("  stalls over 100 ms: %d (%.1f per second)\n", flood.stallsOver100ms,
        flood.stallsOver100ms / options.floodSeconds);
    std::printf("  longest gap between paints of the output: %.1f ms\n", flood.longestPaintGapMs);
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    velmora::L10n::usePreferredLanguages({"en"});
    const Options options = parse(argc, argv);

    // Never deleted, as in the program: the registry keeps posting to it.
    static velmora::QtMainQueue* const mainQueue = new velmora::QtMainQueue;
    auto& registry = velmora::PortRegistry::shared(*mainQueue);
    Bench bench(*mainQueue, registry);
    bench.plainHost = options.plainHost;
    bench.writerNice = options.writerNice;

    std::printf("window_bench: the %s against a flooded pseudo-terminal (platform %s, %s build)\n",
        options.plainHost ? "tab's view in a bare widget" : "monitor window",
        qPrintable(QGuiApplication::platformName()),
#ifdef NDEBUG
        "optimised"
#else
        "unoptimised"
#endif
    );
    std::printf("  %d cores online, load average %s, writer thread nice %d\n",
        static_cast<int>(::sysconf(_SC_NPROCESSORS_ONLN)), loadAverage().c_str(), options.writerNice);

    if (options.memory && !memoryPhase(bench, options)) {
        std::fprintf(stderr, "window_bench: could not connect to %s\n", bench.pty.devicePath().c_str());
        return 1;
    }
    if (!bench.open()) {
        std::fprintf(stderr, "window_bench: could not connect to %s\n", bench.pty.devicePath().c_str());
        return 1;
    }
    if (options.cpu)
        cpuPhase(bench, options);
    if (options.rates)
        ratesPhase(bench, options);
    if (options.flood)
        floodPhase(bench, options);
    bench.close();
    return 0;
}

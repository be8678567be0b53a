#include "tools/simboard/SimulatedBoard.h"

#include "tools/simboard/PtyPort.h"
#include "tools/simboard/UmockdevUnoPort.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <future>
#include <stdexcept>
#include <utility>

namespace velmora::simboard {
namespace {

using Clock = std::chrono::steady_clock;

// Lines are made only while less than this waits to go out, so that what goes out is recent.
constexpr std::size_t pendingLimit = 1024;
// A command line longer than this is cut; a sketch's buffer is small too.
constexpr std::size_t maxCommandLength = 256;
// How long the thread sleeps at most while nothing is due: the longest delay of a command
// from another thread that finds the wake-up pipe full.
constexpr int idleWaitMs = 50;

std::unique_ptr<BoardPort> makePort(const SimulatedBoard::Options& options)
{
    if (options.device == DeviceKind::umockdevUno)
        return std::make_unique<UmockdevUnoPort>();
    return std::make_unique<PtyPort>(options.linkPath);
}

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

void drain(int fd)
{
    char buffer[64];
    while (::read(fd, buffer, sizeof buffer) > 0) {}
}

} // namespace

SimulatedBoard::SimulatedBoard(Options options)
    : options_(std::move(options))
    , behaviour_(options_.behaviour)
    , linesPerSecond_(std::clamp(options_.linesPerSecond, minLinesPerSecond, maxLinesPerSecond))
    , sketch_(options_.numbersPerLine, options_.seed)
{
    port_ = makePort(options_);
    devicePath_ = port_->devicePath();
    int pipeEnds[2];
    if (::pipe2(pipeEnds, O_CLOEXEC | O_NONBLOCK) != 0)
        throw std::runtime_error("cannot create a pipe");
    wakeRead_ = pipeEnds[0];
    wakeWrite_ = pipeEnds[1];
    thread_ = std::thread([this] { run(); });
}

SimulatedBoard::~SimulatedBoard()
{
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake();
    thread_.join();
    port_.reset();
    ::close(wakeRead_);
    ::close(wakeWrite_);
}

std::string SimulatedBoard::devicePath() const
{
    std::lock_guard lock(mutex_);
    return devicePath_;
}

Behaviour SimulatedBoard::behaviour() const
{
    std::lock_guard lock(mutex_);
    return behaviour_;
}

void SimulatedBoard::setBehaviour(Behaviour behaviour)
{
    perform([this, behaviour] {
        {
            std::lock_guard lock(mutex_);
            behaviour_ = behaviour;
        }
        pending_ += sketch_.start(behaviour);
        nextLine_ = Clock::now();
    });
}

double SimulatedBoard::linesPerSecond() const
{
    std::lock_guard lock(mutex_);
    return linesPerSecond_;
}

void SimulatedBoard::setLinesPerSecond(double rate)
{
    perform([this, rate] {
        {
            std::lock_guard lock(mutex_);
            linesPerSecond_ = std::clamp(rate, minLinesPerSecond, maxLinesPerSecond);
        }
        nextLine_ = Clock::now();
    });
}

void SimulatedBoard::unplug()
{
    perform([this] {
        port_->unplug();
        pending_.clear();
        pluggedIn_ = false;
    });
}

void SimulatedBoard::plugIn()
{
    perform([this] {
        port_->plugIn();
        pluggedIn_ = true;
        std::lock_guard lock(mutex_);
        devicePath_ = port_->devicePath();
    });
}

bool SimulatedBoard::isPluggedIn() const
{
    return pluggedIn_.load();
}

bool SimulatedBoard::waitForListener(bool wanted, std::chrono::milliseconds timeout) const
{
    std::unique_lock lock(mutex_);
    return listenerChanged_.wait_for(lock, timeout, [&] { return listening_.load() == wanted; });
}

void SimulatedBoard::send(std::string bytes)
{
    perform([this, bytes = std::move(bytes)] { pending_ += bytes; });
}

std::string SimulatedBoard::takeReceived()
{
    std::lock_guard lock(mutex_);
    return std::exchange(received_, {});
}

bool SimulatedBoard::waitForReceived(std::string_view text, std::chrono::milliseconds timeout)
{
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return received_.find(text) != std::string::npos; });
}

bool SimulatedBoard::observesModemLines() const
{
    return port_->observesModemLines();
}

std::vector<ModemLineRequest> SimulatedBoard::modemLineLog() const
{
    return port_->modemLineLog();
}

int SimulatedBoard::modemLines() const
{
    return port_->modemLines();
}

std::uint64_t SimulatedBoard::resets() const
{
    return port_->resets();
}

void SimulatedBoard::perform(std::function<void()> task)
{
    std::promise<void> done;
    auto finished = done.get_future();
    {
        std::lock_guard lock(mutex_);
        tasks_.push_back([&] {
            try {
                task();
                done.set_value();
            } catch (...) {
                done.set_exception(std::current_exception());
            }
        });
    }
    wake();
    finished.get();
}

void SimulatedBoard::wake() const
{
    const char byte = 1;
    // A full pipe already wakes the thread.
    [[maybe_unused]] const auto written = ::write(wakeWrite_, &byte, 1);
}

void SimulatedBoard::runTasks()
{
    std::deque<std::function<void()>> tasks;
    {
        std::lock_guard lock(mutex_);
        tasks.swap(tasks_);
    }
    for (auto& task : tasks)
        task();
}

void SimulatedBoard::restartSketch()
{
    sketchStart_ = Clock::now();
    nextLine_ = sketchStart_;
    pending_ += sketch_.start(behaviour());
}

Clock::duration SimulatedBoard::lineInterval() const
{
    return std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(1.0 / linesPerSecond()));
}

void SimulatedBoard::handleReceived(const char* bytes, std::size_t count)
{
    {
        std::lock_guard lock(mutex_);
        received_.append(bytes, count);
    }
    changed_.notify_all();
    for (std::size_t index = 0; index < count; ++index) {
        const char byte = bytes[index];
        if (byte == '\n' || byte == '\r') {
            if (!(byte == '\n' && lastWasCr_))
                handleCommand(std::exchange(commandLine_, {}));
            lastWasCr_ = byte == '\r';
            continue;
        }
        lastWasCr_ = false;
        if (commandLine_.size() < maxCommandLength)
            commandLine_.push_back(byte);
    }
}

void SimulatedBoard::handleCommand(std::string_view line)
{
    line = trimmed(line);
    if (line.empty())
        return;
    std::string answer;
    if (line == "help") {
        answer = "commands: help | rate <lines per second> | mode <";
        for (const Behaviour behaviour : allBehaviours)
            answer += std::string(name(behaviour)) + (behaviour == allBehaviours.back() ? ">" : "|");
        answer += " | anything else is echoed\n";
    } else if (line.starts_with("rate ")) {
        const std::string_view argument = trimmed(line.substr(5));
        double rate = 0;
        const auto result = std::from_chars(argument.data(), argument.data() + argument.size(), rate);
        if (result.ec == std::errc() && result.ptr == argument.data() + argument.size() && rate >= minLinesPerSecond &&
            rate <= maxLinesPerSecond) {
            {
                std::lock_guard lock(mutex_);
                linesPerSecond_ = rate;
            }
            nextLine_ = Clock::now();
            answer = "rate: " + std::string(argument) + "\n";
        } else {
            answer = "error: rate takes lines per second from 0.1 to 10000\n";
        }
    } else if (line.starts_with("mode ")) {
        const std::string_view argument = trimmed(line.substr(5));
        if (const auto behaviour = behaviourFromName(argument)) {
            {
                std::lock_guard lock(mutex_);
                behaviour_ = *behaviour;
            }
            nextLine_ = Clock::now();
            answer = "mode: " + std::string(argument) + "\n" + sketch_.start(*behaviour);
        } else {
            answer = "error: no mode \"" + std::string(argument) + "\" (help lists them)\n";
        }
    } else {
        answer = "echo: " + std::string(line) + "\n";
    }
    pending_ += answer;
}

void SimulatedBoard::produce(Clock::time_point now)
{
    const Behaviour current = behaviour();
    if (current == Behaviour::flood) {
        while (pending_.size() < pendingLimit)
            pending_ += sketch_.floodLine();
        return;
    }
    if (current == Behaviour::quiet || now < nextLine_ || pending_.size() >= pendingLimit)
        return;
    const double seconds = std::chrono::duration<double>(now - sketchStart_).count();
    pending_ += sketch_.line(current, seconds);
    nextLine_ += lineInterval();
    // After a stall, go on at the rate rather than catch up in a burst.
    if (nextLine_ < now)
        nextLine_ = now + lineInterval();
}

bool SimulatedBoard::writePending(int fd)
{
    while (!pending_.empty()) {
        const ssize_t written = ::write(fd, pending_.data(), pending_.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        const auto count = static_cast<std::size_t>(written);
        linesSent_ += static_cast<std::uint64_t>(std::count(pending_.begin(), pending_.begin() + written, '\n'));
        bytesSent_ += count;
        pending_.erase(0, count);
    }
    return true;
}

void SimulatedBoard::run()
{
    char buffer[4096];
    for (;;) {
        runTasks();
        {
            std::lock_guard lock(mutex_);
            if (stopping_)
                return;
        }
        const auto setListening = [this](bool listening) {
            if (listening_.exchange(listening) == listening)
                return false;
            {
                std::lock_guard lock(mutex_);
            }
            listenerChanged_.notify_all();
            return true;
        };
        pollfd wakeUp{wakeRead_, POLLIN, 0};
        const int fd = port_->boardSide();
        if (fd < 0) {
            setListening(false);
            ::poll(&wakeUp, 1, idleWaitMs);
            drain(wakeRead_);
            continue;
        }

        pollfd device{fd, POLLIN, 0};
        ::poll(&device, 1, 0);
        if (device.revents & POLLIN) {
            for (;;) {
                const ssize_t count = ::read(fd, buffer, sizeof buffer);
                if (count < 0 && errno == EINTR)
                    continue;
                if (count <= 0)
                    break;
                handleReceived(buffer, static_cast<std::size_t>(count));
            }
        }
        // The master side hangs up while no one has the slave open.
        const bool listening = (device.revents & POLLHUP) == 0;
        if (setListening(listening) && listening) {
            // Opening the port resets an Uno (the kernel raises DTR); and what was queued for
            // the last listener is gone with it.
            pending_.clear();
            restartSketch();
        }
        if (!listening) {
            pending_.clear();
            ::poll(&wakeUp, 1, 20);
            drain(wakeRead_);
            continue;
        }
        if (const auto resets = port_->resets(); resets != seenResets_) {
            seenResets_ = resets;
            restartSketch();
        }

        const auto now = Clock::now();
        produce(now);
        writePending(fd);

        int timeoutMs = idleWaitMs;
        const Behaviour current = behaviour();
        if (current == Behaviour::flood && pending_.empty()) {
            timeoutMs = 0;
        } else if (current != Behaviour::quiet && current != Behaviour::flood) {
            const auto untilNext = std::chrono::ceil<std::chrono::milliseconds>(nextLine_ - Clock::now()).count();
            timeoutMs = static_cast<int>(std::clamp<std::int64_t>(untilNext, 0, idleWaitMs));
        }
        pollfd waits[2] = {
            {fd, static_cast<short>(POLLIN | (pending_.empty() ? 0 : POLLOUT)), 0}, {wakeRead_, POLLIN, 0}};
        ::poll(waits, 2, timeoutMs);
        if (waits[1].revents & POLLIN)
            drain(wakeRead_);
    }
}

} // namespace velmora::simboard

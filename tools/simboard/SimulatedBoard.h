#pragma once

#include "tools/simboard/Behaviour.h"
#include "tools/simboard/ModemLineRequest.h"
#include "tools/simboard/SketchOutput.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace velmora::simboard {

class BoardPort;

// Where the simulated board appears.
enum class DeviceKind {
    // A plain pseudo-terminal: the application opens its slave path. DTR and RTS are not
    // observable there (the pseudo-terminal refuses the requests).
    pseudoTerminal,
    // An Arduino Uno in a umockdev testbed at /dev/ttyACM0, found by the port scanner, with
    // every DTR/RTS request logged. See UmockdevUnoPort for the process requirements.
    umockdevUno,
};

// A microcontroller sketch behind a serial device, run by a thread of its own: it prints what
// its behaviour says, answers commands, and can be unplugged and plugged in again.
//
// Commands are lines ending in LF or CR (CR LF counts once): "help" lists them, "rate <n>" sets
// the lines per second, "mode <name>" switches the behaviour; any other line comes back as
// "echo: <line>". A rising DTR edge (where observable) resets the sketch: its clock restarts
// and the CSV header comes again.
//
// Output goes out only while the application has the device open, as a USB board's bytes go
// nowhere with no host listening; whole lines, except at a hang-up. Thread-safe.
class SimulatedBoard {
public:
    struct Options {
        DeviceKind device = DeviceKind::pseudoTerminal;
        Behaviour behaviour = Behaviour::sensor;
        double linesPerSecond = 10;
        int numbersPerLine = 3;
        // For a plain pseudo-terminal: a symbolic link kept pointing at the current slave, so
        // that a replug comes back under the same name. Empty: the slave path itself, which
        // changes with every replug.
        std::string linkPath;
        std::uint32_t seed = 1;
    };

    static constexpr double minLinesPerSecond = 0.1;
    static constexpr double maxLinesPerSecond = 10000;

    // Throws std::runtime_error when the device cannot be made.
    explicit SimulatedBoard(Options options);
    ~SimulatedBoard();
    SimulatedBoard(const SimulatedBoard&) = delete;
    SimulatedBoard& operator=(const SimulatedBoard&) = delete;

    DeviceKind deviceKind() const { return options_.device; }
    // The path the application opens.
    std::string devicePath() const;

    Behaviour behaviour() const;
    void setBehaviour(Behaviour behaviour);
    double linesPerSecond() const;
    void setLinesPerSecond(double rate);

    void unplug();
    void plugIn();
    bool isPluggedIn() const;
    // Whether the application has the device open right now.
    bool hasListener() const { return listening_.load(); }
    // Waits until hasListener() is the wanted value.
    bool waitForListener(bool wanted, std::chrono::milliseconds timeout) const;

    // Extra bytes from the board, sent after the line being sent.
    void send(std::string bytes);

    // What the application has sent since the last call.
    std::string takeReceived();
    // Waits until the bytes not yet taken contain text.
    bool waitForReceived(std::string_view text, std::chrono::milliseconds timeout);

    // False for a plain pseudo-terminal, whose log stays empty.
    bool observesModemLines() const;
    std::vector<ModemLineRequest> modemLineLog() const;
    // TIOCM_DTR and TIOCM_RTS as the application last set them.
    int modemLines() const;
    // Sketch restarts through DTR.
    std::uint64_t resets() const;

    // Counters of what went out to the device.
    std::uint64_t bytesSent() const { return bytesSent_.load(); }
    std::uint64_t linesSent() const { return linesSent_.load(); }

private:
    void run();
    // Runs task on the board's thread and waits for it.
    void perform(std::function<void()> task);
    void wake() const;
    void runTasks();
    void restartSketch();
    void handleReceived(const char* bytes, std::size_t count);
    void handleCommand(std::string_view line);
    void produce(std::chrono::steady_clock::time_point now);
    bool writePending(int fd);
    std::chrono::steady_clock::duration lineInterval() const;

    Options options_;
    std::unique_ptr<BoardPort> port_;
    int wakeRead_ = -1;
    int wakeWrite_ = -1;

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    mutable std::condition_variable listenerChanged_;
    std::deque<std::function<void()>> tasks_;
    std::string received_;
    std::string devicePath_;
    Behaviour behaviour_;
    double linesPerSecond_;
    bool stopping_ = false;

    // Board thread only.
    SketchOutput sketch_;
    std::string pending_;
    std::string commandLine_;
    bool lastWasCr_ = false;
    std::chrono::steady_clock::time_point sketchStart_;
    std::chrono::steady_clock::time_point nextLine_;
    std::uint64_t seenResets_ = 0;

    std::atomic<bool> listening_{false};
    std::atomic<bool> pluggedIn_{true};
    std::atomic<std::uint64_t> bytesSent_{0};
    std::atomic<std::uint64_t> linesSent_{0};
    std::thread thread_;
};

} // namespace velmora::simboard

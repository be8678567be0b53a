#pragma once

#include "core/exec/MainQueue.h"
#include "core/serial/SerialPortInfo.h"
#include "core/support/Observers.h"

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

struct udev;
struct udev_monitor;

namespace velmora {

// Finds the serial ports of the machine through udev and reports a fresh, sorted list whenever
// a serial device comes or goes.
//
// Thread: main thread only. The owner watches monitorDescriptor() for readability in its event
// loop and calls handleMonitorEvents() when it is readable; each batch of arrivals or removals
// gives one report at once and one more rescanDelay later, because udev may still be naming
// the device (or its driver still be settling) when the first event comes.
//
// Where no monitor can be opened (containers and sandboxes that refuse netlink sockets) the
// scanner polls instead: it lists the ports every pollPeriod on the main queue and reports
// when the list differs from the last one reported, or when a USB device behind a listed port
// was enumerated afresh meanwhile, so that a quick replug still reaches a session waiting for
// its board. An unchanged list is not reported again: each report restarts the reconnection
// attempts of a waiting session, which would then never give up on a board another program
// holds.
//
// Stopping is destruction: the monitor and the udev context are released, and a pending
// rescan or poll finds the scanner gone and does nothing.
class PortScanner : public std::enable_shared_from_this<PortScanner> {
public:
    static constexpr std::chrono::milliseconds rescanDelay{500};
    // Events taken per call; the descriptor stays readable for the rest.
    static constexpr std::size_t maxEventsPerWake = 256;
    // Between two listings of a scanner without a monitor.
    static constexpr std::chrono::milliseconds pollPeriod{2000};

    // Created shared so that the delayed rescan can hold it weakly.
    static std::shared_ptr<PortScanner> create(MainQueue& mainQueue);
    ~PortScanner();
    PortScanner(const PortScanner&) = delete;
    PortScanner& operator=(const PortScanner&) = delete;

    // Told every fresh list, complete and sorted; never a difference.
    const Observers<std::vector<SerialPortInfo>>& reports() const { return reports_; }

    // Begins watching, through the monitor or else by polling, and reports the first list
    // to its observers before it returns. Does nothing when already started or without udev.
    void start();
    bool isStarted() const { return monitor_ != nullptr || polling_; }
    bool isPolling() const { return polling_; }

    // The current sorted list, read afresh from the system.
    std::vector<SerialPortInfo> scan() const;

    // The monitor's descriptor, -1 before start() and while polling. Non-blocking.
    int monitorDescriptor() const;
    // Takes the events that are ready; when any of them adds or removes a port, reports a fresh
    // list at once and schedules the second report, replacing one still pending.
    void handleMonitorEvents();

private:
    // The sorted list, and beside it what tells one enumeration of each port's USB device from
    // the next.
    struct Listing {
        std::vector<SerialPortInfo> ports;
        std::vector<std::string> enumerations;
        bool operator==(const Listing&) const = default;
    };

    explicit PortScanner(MainQueue& mainQueue);

    Listing list() const;
    void report();
    void report(Listing listing);
    void poll();
    void schedulePoll();

    MainQueue& mainQueue_;
    struct udev* udev_ = nullptr;
    struct udev_monitor* monitor_ = nullptr;
    TaskHandle pendingRescan_;
    bool polling_ = false;
    TaskHandle nextPoll_;
    Listing lastReported_;
    Observers<std::vector<SerialPortInfo>> reports_;
};

} // namespace velmora

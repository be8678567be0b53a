#pragma once

#include "core/exec/MainQueue.h"
#include "core/serial/SerialPortInfo.h"

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
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
// Stopping is destruction: the monitor and the udev context are released, and a pending
// rescan finds the scanner gone and does nothing.
class PortScanner : public std::enable_shared_from_this<PortScanner> {
public:
    using ChangeHandler = std::function<void(const std::vector<SerialPortInfo>& ports)>;

    static constexpr std::chrono::milliseconds rescanDelay{500};
    // Events taken per call; the descriptor stays readable for the rest.
    static constexpr std::size_t maxEventsPerWake = 256;

    // Created shared so that the delayed rescan can hold it weakly.
    static std::shared_ptr<PortScanner> create(MainQueue& mainQueue);
    ~PortScanner();
    PortScanner(const PortScanner&) = delete;
    PortScanner& operator=(const PortScanner&) = delete;

    // Receives every fresh list, complete and sorted; never a difference.
    ChangeHandler onChange;

    // Begins watching and reports the first list through onChange before it returns. Does
    // nothing when already watching. When no monitor can be opened the scanner stays silent
    // (scan() still works) and a later start() tries again.
    void start();
    bool isStarted() const { return monitor_ != nullptr; }

    // The current sorted list, read afresh from the system.
    std::vector<SerialPortInfo> scan() const;

    // The monitor's descriptor, -1 before start(). Non-blocking.
    int monitorDescriptor() const;
    // Takes the events that are ready; when any of them adds or removes a port, reports a fresh
    // list at once and schedules the second report, replacing one still pending.
    void handleMonitorEvents();

private:
    explicit PortScanner(MainQueue& mainQueue);

    void report();

    MainQueue& mainQueue_;
    struct udev* udev_ = nullptr;
    struct udev_monitor* monitor_ = nullptr;
    TaskHandle pendingRescan_;
};

} // namespace velmora

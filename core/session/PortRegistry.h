#pragma once

#include "core/exec/MainQueue.h"
#include "core/serial/PortScanner.h"
#include "core/serial/SerialPortInfo.h"
#include "core/session/ConnectionState.h"
#include "core/support/Published.h"

#include <memory>
#include <string>
#include <vector>

namespace velmora {

// What the registry needs to know of a session (a tab).
class RegisteredSession {
public:
    virtual ~RegisteredSession() = default;
    virtual ConnectionState connectionState() const = 0;
    virtual std::string selectedDevicePath() const = 0;
};

// The one process-wide place that knows the machine's serial ports and the live sessions. It
// owns the port scanner, publishes its list, and holds every session weakly so that a session
// can tell whether another tab uses a port and the shell can reach every session when it quits.
// It opens and locks nothing: the exclusive open of the port backs the one-tab-per-port rule.
//
// Thread: main thread only.
class PortRegistry {
public:
    // The process-wide registry, with a real scanner, created by the first call and never
    // destroyed. The app makes that first call at launch with its main queue, which must live
    // until the process ends; later calls return the same registry and do not use the argument.
    static PortRegistry& shared(MainQueue& mainQueue);

    // Observes the scanner and starts it, so the first list is published before the
    // constructor returns. Without a scanner the list stays as it is set from outside (tests).
    PortRegistry(MainQueue& mainQueue, std::shared_ptr<PortScanner> scanner);
    ~PortRegistry();
    PortRegistry(const PortRegistry&) = delete;
    PortRegistry& operator=(const PortRegistry&) = delete;

    // The latest sorted list; empty until the scanner's first report.
    Published<std::vector<SerialPortInfo>> ports;

    // The app watches scanner()->monitorDescriptor() and calls handleMonitorEvents(). Null for a
    // registry made without a scanner.
    PortScanner* scanner() const { return scanner_.get(); }
    MainQueue& mainQueue() const { return mainQueue_; }

    // Adds a session after dropping the entries of sessions that are gone.
    void registerSession(std::weak_ptr<RegisteredSession> session);
    // The sessions that still exist, in registration order.
    std::vector<std::shared_ptr<RegisteredSession>> liveSessions() const;
    // True when a live session other than asking is connected to path, or waiting for it to
    // come back. The asking session passes itself (or null when it is not registered).
    bool isHeldByAnotherSession(const std::string& path, const RegisteredSession* asking) const;

private:
    MainQueue& mainQueue_;
    std::shared_ptr<PortScanner> scanner_;
    Subscription scannerReports_;
    std::vector<std::weak_ptr<RegisteredSession>> sessions_;
};

} // namespace velmora

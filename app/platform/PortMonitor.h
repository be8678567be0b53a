#pragma once

#include <QObject>

class QSocketNotifier;

namespace velmora {

class PortRegistry;

// Watches the port scanner's device-notification socket on Qt's event loop and lets the scanner
// take its events whenever the socket is readable. Does nothing for a registry without a scanner
// or a scanner without a socket (no udev, or a scanner that polls on the main queue because the
// socket was refused). The registry must outlive the monitor.
//
// Thread: main thread only.
class PortMonitor final : public QObject {
    Q_OBJECT
public:
    explicit PortMonitor(PortRegistry& registry, QObject* parent = nullptr);

    // True when there is a socket to watch.
    bool isWatching() const { return notifier_ != nullptr; }

private:
    QSocketNotifier* notifier_ = nullptr;
};

} // namespace velmora

#pragma once

#include "core/exec/MainQueue.h"
#include "core/serial/SerialPort.h"
#include "core/session/PortRegistry.h"
#include "core/session/ReceivePath.h"
#include "core/session/Session.h"
#include "core/session/SessionSettings.h"

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace velmora {

// A tab's port: opening and closing it, choosing one by itself while disconnected, and waiting
// for a vanished device to come back and reopening it. Open, quiet close and the modem-line read
// are synchronous dispatches onto the port's queue, which no task keeps busy; everything the
// port reports later is posted back to the main thread and ignored when it comes from a port
// that is no longer the current one.
//
// Thread: main thread only.
class Connection : public std::enable_shared_from_this<Connection> {
public:
    static constexpr std::chrono::milliseconds reconnectDelay{700};
    static constexpr int reconnectAttempts = 5;

    using PortMaker = std::function<std::shared_ptr<SerialPort>(const std::string& path)>;

    struct Parts {
        ConnectionStatus& status;
        Published<std::optional<std::string>>& errorMessage;
        // The connection chooses the port by itself while disconnected.
        LineSettings& line;
        ReceivePath& receive;
        PortRegistry& registry;
        // The session as the registry knows it, to tell its own ports from other tabs'.
        const RegisteredSession& owner;
    };

    static std::shared_ptr<Connection> create(MainQueue& mainQueue, Parts parts, PortMaker makePort);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Follows the registry's port list from now on; the current list arrives at once.
    void start();

    void connect();
    void disconnect();
    // A port or line setting changed: reopen when connected.
    void lineSettingChanged();
    void updatePacedReads();

    // The open port; present only while connected.
    const std::shared_ptr<SerialPort>& port() const { return port_; }
    bool isHeldByAnotherSession(const std::string& path) const;

private:
    Connection(MainQueue& mainQueue, Parts parts, PortMaker makePort);

    std::optional<SerialPortError> openPort();
    void closePort();
    void portClosed(const std::shared_ptr<SerialPort>& closedPort, std::optional<SerialPortError> error);
    void portsChanged(const std::vector<SerialPortInfo>& list);
    // While disconnected: a board just plugged in, or the first usable one, becomes the choice.
    void choosePort(const std::vector<SerialPortInfo>& list, const std::optional<std::set<std::string>>& previous);
    void scheduleReconnect(int attemptsLeft);
    void attemptReconnect(int attemptsLeft);

    MainQueue& mainQueue_;
    Parts parts_;
    PortMaker makePort_;
    std::shared_ptr<SerialPort> port_;
    Subscription portsSubscription_;
    std::optional<std::set<std::string>> knownPaths_;
    TaskHandle reconnectAttempt_;
};

} // namespace velmora

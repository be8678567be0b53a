#pragma once

#include "core/exec/MainQueue.h"
#include "core/platform/AlertSound.h"
#include "core/platform/SettingsStore.h"
#include "core/serial/SerialPort.h"
#include "core/session/Connection.h"
#include "core/session/PortRegistry.h"
#include "core/session/ReceivePath.h"
#include "core/session/Session.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace velmora {

// One monitor tab: the session its views bind to, made of a connection, a receive path and the
// send composer, which it wires to the persisted settings: a change of a line setting reopens the
// port, a change of the byte layout continues the output on a fresh line. Sends what the composer
// makes and counts what was written; saves and clears the output.
//
// Thread: main thread only. Bytes arrive through the receive path's coalescer; port reports are
// posted to the main queue, holding the parts weakly, and stale ones are ignored.
class VelmoraModel final : public Session, public RegisteredSession, public std::enable_shared_from_this<VelmoraModel> {
public:
    // What the session needs from the program around it. All of it must outlive the session.
    struct Services {
        MainQueue& mainQueue;
        SettingsStore& settings;
        AlertSound& alert;
        PortRegistry& registry;
        // Makes the port for a connection attempt; tests put a modem-line observer in.
        Connection::PortMaker makePort;
    };

    static std::shared_ptr<VelmoraModel> create(Services services);
    ~VelmoraModel() override;

    void connect() override { connection_->connect(); }
    void disconnect() override { connection_->disconnect(); }
    void send() override;
    void runLineSteps(std::vector<LineStep> steps, std::string message) override;
    void clearOutput() override;
    void saveOutput(const std::filesystem::path& target) override;
    void dismissGarbage() override { receive_->dismissGarbage(); }
    void cancelNoDataHint() override { receive_->cancelNoDataHint(); }
    bool isHeldByAnotherSession(const std::string& path) const override
    {
        return connection_->isHeldByAnotherSession(path);
    }

    // A status line in the output: "--- text ---".
    void postNotice(const std::string& text) { receive_->postNotice(text); }
    bool garbageDismissed() const { return receive_->garbageDismissed(); }
    // Received bytes waiting to be shown; never more than the coalescer's 4 MiB.
    std::int64_t bytesNotYetShown() const { return receive_->bytesNotYetShown(); }

    // RegisteredSession
    ConnectionState connectionState() const override { return connectionStatus_.state.value(); }
    std::string selectedDevicePath() const override { return *line_.selectedPath; }

private:
    explicit VelmoraModel(Services services);
    void start();
    // Each setting's change does what it means for the port, the output or the plot.
    void followSettings();
    void sendCompleted(
        const std::shared_ptr<SerialPort>& writer, std::optional<SerialPortError> error, std::int64_t byteCount);

    Services services_;
    std::shared_ptr<ReceivePath> receive_;
    // Goes before the receive path it reports to, closing its port on the way.
    std::shared_ptr<Connection> connection_;
    std::vector<Subscription> settingReactions_;
};

} // namespace velmora

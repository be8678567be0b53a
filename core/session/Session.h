#pragma once

#include "core/exec/MainQueue.h"
#include "core/pipeline/OutputBuffer.h"
#include "core/platform/SettingsStore.h"
#include "core/plot/PlotStore.h"
#include "core/send/SendComposer.h"
#include "core/serial/ModemLines.h"
#include "core/serial/SerialPortInfo.h"
#include "core/session/ConnectionState.h"
#include "core/session/SessionSettings.h"
#include "core/support/Published.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace velmora {

// Where the connection stands, as the header and footer show it.
struct ConnectionStatus {
    // The machine's ports, copied from the registry.
    Published<std::vector<SerialPortInfo>> ports;
    Published<ConnectionState> state{ConnectionState::disconnected};
    // The last known DTR/RTS; none while no port is open.
    Published<std::optional<ModemLines>> modemLines;
};

// What the receive path tells the views besides the output itself.
struct ReceiveStatus {
    // Received since the session began or its output was last cleared.
    Published<std::int64_t> rxBytes{0};
    Published<bool> outputIsEmpty{true};
    // Nothing arrived within a few seconds of connecting.
    Published<bool> showNoDataHint{false};
    // The text looks like the wrong baud rate.
    Published<bool> garbageSuspected{false};
};

// What a monitor tab's views see and change: the session's observable state, its persisted
// choices (views set them directly; the session acts on each change), the output, the plot and
// the actions a user can take. VelmoraModel is the real session; view tests use a fake one that
// records the actions.
//
// Thread: main thread only.
class Session {
public:
    virtual ~Session() = default;
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    const ConnectionStatus& connection() const { return connectionStatus_; }
    const ReceiveStatus& reception() const { return receiveStatus_; }
    // Bytes written successfully, counted like rxBytes.
    const Published<std::int64_t>& txBytes() const { return txBytes_; }
    // An error for the user; the view shows it and clears it.
    const Published<std::optional<std::string>>& errorMessage() const { return errorMessage_; }

    LineSettings& line() { return line_; }
    const LineSettings& line() const { return line_; }
    DisplaySettings& display() { return display_; }
    const DisplaySettings& display() const { return display_; }
    SendComposer& composer() { return composer_; }
    const SendComposer& composer() const { return composer_; }
    const OutputBuffer& output() const { return output_; }
    PlotStore& plot() { return *plot_; }

    virtual void connect() = 0;
    virtual void disconnect() = 0;
    virtual void send() = 0;
    // Runs DTR/RTS steps on the open port and shows message when they are done.
    virtual void runLineSteps(std::vector<LineStep> steps, std::string message) = 0;
    virtual void clearOutput() = 0;
    // Writes the output's plain text to target; a failure becomes the error message.
    virtual void saveOutput(const std::filesystem::path& target) = 0;
    virtual void dismissGarbage() = 0;
    virtual void cancelNoDataHint() = 0;
    virtual bool isHeldByAnotherSession(const std::string& path) const = 0;
    void clearError() { errorMessage_.setIfChanged(std::nullopt); }

    // The tab's title: the board's name, else the device's name, else the program's.
    std::string title() const;
    std::optional<SerialPortInfo> selectedPortInfo() const;
    // The rates the wrong-baud-rate notice offers.
    std::vector<std::int64_t> suggestedBaudRates() const;

protected:
    Session(MainQueue& mainQueue, SettingsStore& settings);

    ConnectionStatus connectionStatus_;
    ReceiveStatus receiveStatus_;
    Published<std::int64_t> txBytes_{0};
    Published<std::optional<std::string>> errorMessage_;
    LineSettings line_;
    DisplaySettings display_;
    SendComposer composer_;
    OutputBuffer output_;
    std::shared_ptr<PlotStore> plot_;

private:
    Subscription autoscrollFollowing_;
};

} // namespace velmora

#pragma once

#include "core/exec/MainQueue.h"
#include "core/pipeline/ByteFormatter.h"
#include "core/pipeline/DisplayMode.h"
#include "core/pipeline/GarbageDetector.h"
#include "core/pipeline/OutputBuffer.h"
#include "core/pipeline/ReceiveCoalescer.h"
#include "core/pipeline/StyledTextStore.h"
#include "core/pipeline/TerminalTextProcessor.h"
#include "core/platform/AlertSound.h"
#include "core/platform/SettingsStore.h"
#include "core/plot/PlotStore.h"
#include "core/send/SendComposer.h"
#include "core/send/SendMode.h"
#include "core/serial/ModemLines.h"
#include "core/serial/PortSettings.h"
#include "core/serial/SerialPort.h"
#include "core/serial/SerialPortInfo.h"
#include "core/session/ConnectionState.h"
#include "core/session/PortRegistry.h"
#include "core/support/Published.h"

#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <vector>

namespace velmora {

// One monitor tab: its connection, its settings, everything it shows and everything the user
// does in it. Owns at most one open port, the receive pipeline, the output, the send composer
// and the plot store; publishes what the views draw; turns user actions into port operations.
// Reconnects by itself when its device vanishes and comes back, and keeps its settings in the
// shared settings store.
//
// Thread: main thread only. Bytes arrive through the coalescer's batches; port reports are
// posted to the main queue, holding the model weakly, and stale ones are ignored.
class VelmoraModel final : public RegisteredSession, public std::enable_shared_from_this<VelmoraModel> {
public:
    // What the model needs from the program around it. All of it must outlive the model.
    struct Services {
        MainQueue& mainQueue;
        SettingsStore& settings;
        AlertSound& alert;
        PortRegistry& registry;
        // The store the output view will display; the core's in-memory one when not set.
        std::function<std::unique_ptr<StyledTextStore>()> makeTextStore;
        // Makes the port for a connection attempt; tests put a modem-line observer in.
        std::function<std::shared_ptr<SerialPort>(const std::string& path)> makePort;
    };

    static constexpr std::chrono::milliseconds noDataDelay{5000};
    static constexpr std::chrono::milliseconds reconnectDelay{700};
    static constexpr int reconnectAttempts = 5;
    static constexpr std::int64_t defaultBaudRate = 9600;

    static std::shared_ptr<VelmoraModel> create(Services services);
    ~VelmoraModel() override;
    VelmoraModel(const VelmoraModel&) = delete;
    VelmoraModel& operator=(const VelmoraModel&) = delete;

    // What the views observe.
    const Published<std::vector<SerialPortInfo>>& ports() const { return ports_; }
    const Published<ConnectionState>& state() const { return state_; }
    const Published<std::int64_t>& rxBytes() const { return rxBytes_; }
    const Published<std::int64_t>& txBytes() const { return txBytes_; }
    const Published<bool>& outputIsEmpty() const { return outputIsEmpty_; }
    const Published<bool>& showNoDataHint() const { return showNoDataHint_; }
    const Published<bool>& garbageSuspected() const { return garbageSuspected_; }
    const Published<std::optional<ModemLines>>& modemLines() const { return modemLines_; }
    const Published<std::optional<std::string>>& errorMessage() const { return errorMessage_; }
    const Published<std::string>& inputText() const { return inputText_; }

    // Settings: each setter stores the value and does what a change of it means.
    const Published<std::string>& selectedPath() const { return selectedPath_; }
    const Published<std::int64_t>& baudRate() const { return baudRate_; }
    const Published<DataBits>& dataBits() const { return dataBits_; }
    const Published<Parity>& parity() const { return parity_; }
    const Published<StopBits>& stopBits() const { return stopBits_; }
    const Published<FlowControl>& flowControl() const { return flowControl_; }
    const Published<LineEnding>& lineEnding() const { return lineEnding_; }
    const Published<bool>& autoscroll() const { return autoscroll_; }
    const Published<bool>& showTimestamps() const { return showTimestamps_; }
    const Published<bool>& echoSent() const { return echoSent_; }
    const Published<DisplayMode>& displayMode() const { return displayMode_; }
    const Published<std::int64_t>& bytesPerLine() const { return bytesPerLine_; }
    const Published<std::int64_t>& packetGapMs() const { return packetGapMs_; }
    const Published<bool>& breakOnLF() const { return breakOnLF_; }
    const Published<bool>& showPlotter() const { return showPlotter_; }
    const Published<SendMode>& sendMode() const { return sendMode_; }

    void setSelectedPath(std::string path);
    void setBaudRate(std::int64_t rate);
    void setDataBits(DataBits bits);
    void setParity(Parity parity);
    void setStopBits(StopBits bits);
    void setFlowControl(FlowControl flow);
    void setLineEnding(LineEnding ending);
    void setAutoscroll(bool on);
    void setShowTimestamps(bool on);
    void setEchoSent(bool on);
    void setDisplayMode(DisplayMode mode);
    void setBytesPerLine(std::int64_t count);
    void setPacketGapMs(std::int64_t milliseconds);
    void setBreakOnLF(bool on);
    void setShowPlotter(bool on);
    void setSendMode(SendMode mode);
    void setInputText(std::string text);

    // User actions.
    void connect();
    void disconnect();
    void send();
    void historyUp();
    void historyDown();
    // Runs DTR/RTS steps on the open port and shows message when they are done.
    void runLineSteps(std::vector<LineStep> steps, std::string message);
    void clearOutput();
    // Writes the output's plain text to target; a failure becomes the error message.
    void saveOutput(const std::filesystem::path& target);
    void dismissGarbage();
    void cancelNoDataHint();
    void clearError();

    // Derived views of the state.
    PortSettings portSettings() const;
    std::vector<std::int64_t> suggestedBaudRates() const;
    std::string title() const;
    std::optional<SerialPortInfo> selectedPortInfo() const;
    bool isHeldByAnotherSession(const std::string& path) const;
    std::optional<std::string> hexInputError() const;
    bool garbageDismissed() const { return garbageDismissed_; }
    // Received bytes waiting to be shown; never more than the coalescer's 4 MiB.
    std::int64_t bytesNotYetShown() const { return coalescer_ ? coalescer_->pendingBytes() : 0; }

    // A status line in the output: "--- text ---".
    void postNotice(const std::string& text);

    OutputBuffer& output() { return output_; }
    PlotStore& plot() { return *plot_; }
    const SendComposer& composer() const { return composer_; }

    // RegisteredSession
    ConnectionState connectionState() const override { return state_.value(); }
    std::string selectedDevicePath() const override { return selectedPath_.value(); }

private:
    explicit VelmoraModel(Services services);
    void start();

    std::optional<SerialPortError> openPort();
    void closePort();
    void drainCoalescer();
    // Created on first use and kept for every later connection.
    std::shared_ptr<ReceiveCoalescer> coalescer();
    void portClosed(const std::shared_ptr<SerialPort>& closedPort, std::optional<SerialPortError> error);
    void portsChanged(const std::vector<SerialPortInfo>& list);
    void handleBatch(std::vector<ReceivedChunk> chunks, std::int64_t skippedBytes);
    void processBatch(std::span<const ReceivedChunk> chunks, std::int64_t skippedBytes);
    // Shows the echo once every byte received before it is shown.
    void showEchoInOrder(EchoLine echo);
    void sendCompleted(const std::shared_ptr<SerialPort>& writer, std::optional<SerialPortError> error,
        std::int64_t byteCount);
    // Resting between reads merges pieces and moves their arrival times: harmless only while no
    // line shows a time or breaks at a pause.
    bool wantsPacedReads() const;
    void updatePacedReads();
    void scheduleNoDataHint();
    void scheduleReconnect(int attemptsLeft);
    void attemptReconnect(int attemptsLeft);
    void readSettings();
    // After a port or line setting changed: reopen when connected.
    void lineSettingChanged();
    // After a byte-display layout setting changed: continue on a fresh line.
    void layoutChanged();
    void refreshOutputIsEmpty();
    std::optional<std::u16string_view> linePrefix() const;

    Services services_;

    Published<std::vector<SerialPortInfo>> ports_;
    Published<ConnectionState> state_{ConnectionState::disconnected};
    Published<std::int64_t> rxBytes_{0};
    Published<std::int64_t> txBytes_{0};
    Published<bool> outputIsEmpty_{true};
    Published<bool> showNoDataHint_{false};
    Published<bool> garbageSuspected_{false};
    Published<std::optional<ModemLines>> modemLines_;
    Published<std::optional<std::string>> errorMessage_;
    Published<std::string> inputText_;

    Published<std::string> selectedPath_;
    Published<std::int64_t> baudRate_{defaultBaudRate};
    Published<DataBits> dataBits_{DataBits::eight};
    Published<Parity> parity_{Parity::none};
    Published<StopBits> stopBits_{StopBits::one};
    Published<FlowControl> flowControl_{FlowControl::none};
    Published<LineEnding> lineEnding_{LineEnding::lf};
    Published<bool> autoscroll_{true};
    Published<bool> showTimestamps_{false};
    Published<bool> echoSent_{true};
    Published<DisplayMode> displayMode_{DisplayMode::text};
    Published<std::int64_t> bytesPerLine_{16};
    Published<std::int64_t> packetGapMs_{0};
    Published<bool> breakOnLF_{false};
    Published<bool> showPlotter_{false};
    Published<SendMode> sendMode_{SendMode::text};

    OutputBuffer output_;
    std::shared_ptr<PlotStore> plot_;
    std::shared_ptr<SerialPort> port_;
    Subscription portsSubscription_;
    std::optional<std::set<std::string>> knownPaths_;
    GarbageDetector garbageDetector_;
    bool garbageDismissed_ = false;
    TaskHandle noDataWork_;
    std::int64_t noDataBaseline_ = 0;
    TerminalTextProcessor processor_;
    ByteFormatter byteFormatter_;
    std::shared_ptr<ReceiveCoalescer> coalescer_;
    // Echo lines of sends made while received bytes still waited in the coalescer, each with the
    // coalescer's kept count at its send: it is shown once that many pieces were handed on.
    struct WaitingEcho {
        std::uint64_t afterPieces = 0;
        EchoLine line;
    };
    std::deque<WaitingEcho> waitingEchoes_;
    SendComposer composer_;
    TaskHandle reconnectAttempt_;
};

} // namespace velmora

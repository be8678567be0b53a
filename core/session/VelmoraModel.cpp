#include "core/session/VelmoraModel.h"

#include "core/pipeline/InMemoryTextStore.h"
#include "core/session/OutputSaver.h"
#include "core/text/Utf8.h"
#include "localization/L10n.h"

#include <algorithm>
#include <utility>

namespace velmora {
namespace {

namespace Keys {
constexpr std::string_view port = "port";
constexpr std::string_view baud = "baud";
constexpr std::string_view dataBits = "dataBits";
constexpr std::string_view parity = "parity";
constexpr std::string_view stopBits = "stopBits";
constexpr std::string_view flow = "flow";
constexpr std::string_view lineEnding = "lineEnding";
constexpr std::string_view autoscroll = "autoscroll";
constexpr std::string_view timestamps = "timestamps";
constexpr std::string_view echo = "echo";
constexpr std::string_view sendMode = "sendMode";
constexpr std::string_view displayMode = "displayMode";
constexpr std::string_view bytesPerLine = "bytesPerLine";
constexpr std::string_view breakOnLF = "breakOnLF";
constexpr std::string_view packetGap = "packetGap";
constexpr std::string_view plotter = "plotter";
} // namespace Keys

const std::u16string receivedMarker = u"\u2190 ";

} // namespace

std::shared_ptr<VelmoraModel> VelmoraModel::create(Services services)
{
    auto model = std::shared_ptr<VelmoraModel>(new VelmoraModel(std::move(services)));
    model->start();
    return model;
}

VelmoraModel::VelmoraModel(Services services)
    : services_(std::move(services))
    , output_(services_.makeTextStore ? services_.makeTextStore() : std::make_unique<InMemoryTextStore>())
    , plot_(PlotStore::create(services_.mainQueue, services_.settings))
{
    if (!services_.makePort)
        services_.makePort = [](const std::string& path) { return SerialPort::create(path); };
    readSettings();
    output_.setAutoscroll(autoscroll_.value());
}

void VelmoraModel::start()
{
    services_.registry.registerSession(weak_from_this());
    portsSubscription_ = services_.registry.ports.subscribe([weakSelf = weak_from_this()](const auto& list) {
        if (auto self = weakSelf.lock())
            self->portsChanged(list);
    });
}

VelmoraModel::~VelmoraModel()
{
    reconnectAttempt_.cancel();
    noDataWork_.cancel();
    if (port_)
        port_->queue().sync([port = port_] { port->close(); });
}

void VelmoraModel::readSettings()
{
    auto& store = services_.settings;
    selectedPath_.set(store.readString(Keys::port).value);
    const auto baud = store.readInteger(Keys::baud).value;
    baudRate_.set(PortSettings::isValidBaudRate(baud) ? baud : defaultBaudRate);
    dataBits_.set(dataBitsFromRaw(store.readInteger(Keys::dataBits).value).value_or(DataBits::eight));
    parity_.set(parityFromRaw(store.readString(Keys::parity).value).value_or(Parity::none));
    stopBits_.set(store.readInteger(Keys::stopBits).value == 2 ? StopBits::two : StopBits::one);
    flowControl_.set(flowControlFromRaw(store.readString(Keys::flow).value).value_or(FlowControl::none));
    lineEnding_.set(lineEndingFromRaw(store.readString(Keys::lineEnding).value));
    autoscroll_.set(store.readBool(Keys::autoscroll).valueOr(true));
    showTimestamps_.set(store.readBool(Keys::timestamps).value);
    echoSent_.set(store.readBool(Keys::echo).valueOr(true));
    sendMode_.set(sendModeFromRaw(store.readString(Keys::sendMode).value));
    displayMode_.set(displayModeFromRaw(store.readString(Keys::displayMode).value).value_or(DisplayMode::text));
    bytesPerLine_.set(normalizedBytesPerLine(store.readInteger(Keys::bytesPerLine).value));
    breakOnLF_.set(store.readBool(Keys::breakOnLF).value);
    packetGapMs_.set(normalizedGapMs(store.readInteger(Keys::packetGap).value));
    showPlotter_.set(store.readBool(Keys::plotter).value);
    composer_.sendMode = sendMode_.value();
    composer_.lineEnding = lineEnding_.value();
}

// Settings ---------------------------------------------------------------------------------------

void VelmoraModel::setSelectedPath(std::string path)
{
    if (path == selectedPath_.value())
        return;
    services_.settings.writeString(Keys::port, path);
    selectedPath_.set(std::move(path));
    lineSettingChanged();
}

void VelmoraModel::setBaudRate(std::int64_t rate)
{
    if (rate == baudRate_.value())
        return;
    services_.settings.writeInteger(Keys::baud, rate);
    baudRate_.set(rate);
    lineSettingChanged();
}

void VelmoraModel::setDataBits(DataBits bits)
{
    if (bits == dataBits_.value())
        return;
    services_.settings.writeInteger(Keys::dataBits, rawValue(bits));
    dataBits_.set(bits);
    lineSettingChanged();
}

void VelmoraModel::setParity(Parity parity)
{
    if (parity == parity_.value())
        return;
    services_.settings.writeString(Keys::parity, std::string(rawValue(parity)));
    parity_.set(parity);
    lineSettingChanged();
}

void VelmoraModel::setStopBits(StopBits bits)
{
    if (bits == stopBits_.value())
        return;
    services_.settings.writeInteger(Keys::stopBits, rawValue(bits));
    stopBits_.set(bits);
    lineSettingChanged();
}

void VelmoraModel::setFlowControl(FlowControl flow)
{
    if (flow == flowControl_.value())
        return;
    services_.settings.writeString(Keys::flow, std::string(rawValue(flow)));
    flowControl_.set(flow);
    lineSettingChanged();
}

void VelmoraModel::lineSettingChanged()
{
    if (state_.value() == ConnectionState::connected)
        connect();
}

void VelmoraModel::setLineEnding(LineEnding ending)
{
    services_.settings.writeString(Keys::lineEnding, std::string(rawValue(ending)));
    composer_.lineEnding = ending;
    lineEnding_.setIfChanged(ending);
}

void VelmoraModel::setAutoscroll(bool on)
{
    services_.settings.writeBool(Keys::autoscroll, on);
    output_.setAutoscroll(on);
    autoscroll_.setIfChanged(on);
}

void VelmoraModel::setShowTimestamps(bool on)
{
    services_.settings.writeBool(Keys::timestamps, on);
    showTimestamps_.setIfChanged(on);
    updatePacedReads();
}

void VelmoraModel::setEchoSent(bool on)
{
    services_.settings.writeBool(Keys::echo, on);
    echoSent_.setIfChanged(on);
}

void VelmoraModel::setSendMode(SendMode mode)
{
    services_.settings.writeString(Keys::sendMode, std::string(rawValue(mode)));
    composer_.sendMode = mode;
    sendMode_.setIfChanged(mode);
}

void VelmoraModel::setDisplayMode(DisplayMode mode)
{
    if (mode == displayMode_.value())
        return;
    services_.settings.writeString(Keys::displayMode, std::string(rawValue(mode)));
    displayMode_.set(mode);
    layoutChanged();
    updatePacedReads();
}

void VelmoraModel::setBytesPerLine(std::int64_t count)
{
    if (count == bytesPerLine_.value())
        return;
    services_.settings.writeInteger(Keys::bytesPerLine, count);
    bytesPerLine_.set(count);
    layoutChanged();
}

void VelmoraModel::setPacketGapMs(std::int64_t milliseconds)
{
    if (milliseconds == packetGapMs_.value())
        return;
    services_.settings.writeInteger(Keys::packetGap, milliseconds);
    packetGapMs_.set(milliseconds);
    layoutChanged();
    updatePacedReads();
}

void VelmoraModel::setBreakOnLF(bool on)
{
    if (on == breakOnLF_.value())
        return;
    services_.settings.writeBool(Keys::breakOnLF, on);
    breakOnLF_.set(on);
    layoutChanged();
}

void VelmoraModel::layoutChanged()
{
    output_.finishLine();
    processor_.resetLine();
    byteFormatter_.commitLine();
    refreshOutputIsEmpty();
}

void VelmoraModel::setShowPlotter(bool on)
{
    if (on == showPlotter_.value())
        return;
    services_.settings.writeBool(Keys::plotter, on);
    showPlotter_.set(on);
    // Plotting starts with the bytes that arrive next, not in the middle of an old line.
    if (on)
        plot_->discardPartialLine();
}

void VelmoraModel::setInputText(std::string text)
{
    composer_.inputText = text;
    inputText_.setIfChanged(std::move(text));
}

// Connection -------------------------------------------------------------------------------------

PortSettings VelmoraModel::portSettings() const
{
    return {baudRate_.value(), dataBits_.value(), parity_.value(), stopBits_.value(), flowControl_.value()};
}

void VelmoraModel::connect()
{
    reconnectAttempt_.cancel();
    if (selectedPath_.value().empty()) {
        errorMessage_.set(L10n::Errors::selectPortFirst());
        return;
    }
    closePort();
    if (auto error = openPort()) {
        state_.setIfChanged(ConnectionState::disconnected);
        errorMessage_.set(error->message());
    }
}

std::optional<SerialPortError> VelmoraModel::openPort()
{
    auto port = services_.makePort(selectedPath_.value());
    const auto batches = coalescer();
    const auto settings = portSettings();
    port->setPacedReads(wantsPacedReads());
    std::optional<SerialPortError> error;
    port->queue().sync([&] {
        error = port->open(
            settings,
            [batches](std::vector<std::uint8_t> bytes) { batches->receive(std::move(bytes)); },
            [weakSelf = weak_from_this(), weakPort = std::weak_ptr<SerialPort>(port), &mainQueue = services_.mainQueue](
                std::optional<SerialPortError> reason) {
                mainQueue.post([weakSelf, weakPort, reason] {
                    if (auto self = weakSelf.lock())
                        self->portClosed(weakPort.lock(), reason);
                });
            });
    });
    if (error)
        return error;

    port_ = std::move(port);
    state_.setIfChanged(ConnectionState::connected);
    processor_.reset();
    byteFormatter_.reset();
    garbageDetector_.reset();
    garbageSuspected_.setIfChanged(false);
    garbageDismissed_ = false;
    postNotice(L10n::Status::connected(selectedPath_.value(), settings.summary()));
    std::optional<ModemLines> lines;
    port_->queue().sync([&] { lines = port_->readModemLinesIfAvailable(); });
    modemLines_.setIfChanged(lines);
    scheduleNoDataHint();
    return std::nullopt;
}

void VelmoraModel::closePort()
{
    if (port_) {
        port_->queue().sync([port = port_] { port->close(); });
        port_.reset();
    }
    modemLines_.setIfChanged(std::nullopt);
    drainCoalescer();
}

void VelmoraModel::drainCoalescer()
{
    if (!coalescer_)
        return;
    // Everything received is shown now, with the echoes waiting behind it, before what follows
    // (a status line, a closed port).
    auto drained = coalescer_->drain();
    handleBatch(std::move(drained.chunks), drained.droppedBytes);
}

std::shared_ptr<ReceiveCoalescer> VelmoraModel::coalescer()
{
    if (!coalescer_) {
        coalescer_ = ReceiveCoalescer::create(services_.mainQueue,
            [weakSelf = weak_from_this()](std::vector<ReceivedChunk> chunks, std::int64_t dropped) {
                if (auto self = weakSelf.lock())
                    self->handleBatch(std::move(chunks), dropped);
            });
    }
    return coalescer_;
}

void VelmoraModel::disconnect()
{
    reconnectAttempt_.cancel();
    cancelNoDataHint();
    const auto previous = state_.value();
    closePort();
    state_.setIfChanged(ConnectionState::disconnected);
    if (previous != ConnectionState::disconnected)
        postNotice(L10n::Status::closed());
}

void VelmoraModel::portClosed(const std::shared_ptr<SerialPort>& closedPort, std::optional<SerialPortError> error)
{
    if (!closedPort || closedPort != port_)
        return;
    port_.reset();
    modemLines_.setIfChanged(std::nullopt);
    cancelNoDataHint();
    drainCoalescer();
    state_.setIfChanged(ConnectionState::waitingForDevice);
    const std::string reason = error ? error->message() : L10n::Status::connectionLost();
    postNotice(L10n::Status::waitingForDevice(reason));
}

void VelmoraModel::portsChanged(const std::vector<SerialPortInfo>& list)
{
    ports_.set(list);
    std::set<std::string> paths;
    for (const auto& info : list)
        paths.insert(info.path);
    const auto previous = std::exchange(knownPaths_, paths);

    const auto find = [&](const std::string& path) -> const SerialPortInfo* {
        for (const auto& info : list) {
            if (info.path == path)
                return &info;
        }
        return nullptr;
    };

    switch (state_.value()) {
    case ConnectionState::disconnected: {
        std::vector<const SerialPortInfo*> candidates;
        for (const auto& info : list) {
            if (info.vendorID && !isHeldByAnotherSession(info.path))
                candidates.push_back(&info);
        }
        const SerialPortInfo* current = find(selectedPath_.value());
        const bool currentUsable = current && !isHeldByAnotherSession(current->path);
        const SerialPortInfo* arrived = nullptr;
        if (previous) {
            for (const auto* candidate : candidates) {
                if (!previous->count(candidate->path)) {
                    arrived = candidate;
                    break;
                }
            }
        }
        if (arrived) {
            // A board was just plugged in: take it, unless a usable USB board is chosen already.
            if (!(currentUsable && current->vendorID))
                setSelectedPath(arrived->path);
        } else if (!currentUsable && !candidates.empty()) {
            setSelectedPath(candidates.front()->path);
        }
        break;
    }
    case ConnectionState::waitingForDevice:
        if (find(selectedPath_.value()))
            scheduleReconnect(reconnectAttempts);
        break;
    case ConnectionState::connected:
        break;
    }
}

void VelmoraModel::scheduleReconnect(int attemptsLeft)
{
    reconnectAttempt_.cancel();
    reconnectAttempt_ = services_.mainQueue.postAfter(reconnectDelay, [weakSelf = weak_from_this(), attemptsLeft] {
        if (auto self = weakSelf.lock())
            self->attemptReconnect(attemptsLeft);
    });
}

void VelmoraModel::attemptReconnect(int attemptsLeft)
{
    if (state_.value() != ConnectionState::waitingForDevice)
        return;
    const auto error = openPort();
    if (!error)
        return;
    if (attemptsLeft >= 2) {
        scheduleReconnect(attemptsLeft - 1);
        return;
    }
    state_.setIfChanged(ConnectionState::disconnected);
    postNotice(L10n::Status::reconnectFailed(error->message()));
}

void VelmoraModel::scheduleNoDataHint()
{
    noDataWork_.cancel();
    noDataBaseline_ = rxBytes_.value();
    noDataWork_ = services_.mainQueue.postAfter(noDataDelay, [weakSelf = weak_from_this()] {
        auto self = weakSelf.lock();
        if (self && self->state_.value() == ConnectionState::connected && self->rxBytes_.value() == self->noDataBaseline_)
            self->showNoDataHint_.setIfChanged(true);
    });
}

void VelmoraModel::cancelNoDataHint()
{
    noDataWork_.cancel();
    noDataWork_ = TaskHandle();
    showNoDataHint_.setIfChanged(false);
}

// Received data ----------------------------------------------------------------------------------

std::optional<std::u16string_view> VelmoraModel::linePrefix() const
{
    return echoSent_.value() ? std::optional<std::u16string_view>(receivedMarker) : std::nullopt;
}

void VelmoraModel::handleBatch(std::vector<ReceivedChunk> chunks, std::int64_t skippedBytes)
{
    // The batch is the last pieces the coalescer handed on; an echo waiting for some of them goes
    // right after its last one.
    const std::uint64_t handedOnBefore = coalescer_->handedOnCount() - chunks.size();
    const std::span<const ReceivedChunk> all(chunks);
    std::size_t shown = 0;
    while (!waitingEchoes_.empty() && waitingEchoes_.front().afterPieces <= handedOnBefore + chunks.size()) {
        const auto upTo = static_cast<std::size_t>(std::max(waitingEchoes_.front().afterPieces, handedOnBefore) - handedOnBefore);
        processBatch(all.subspan(shown, upTo - shown), std::exchange(skippedBytes, 0));
        shown = upTo;
        showEcho(waitingEchoes_.front().line, output_, processor_, byteFormatter_);
        waitingEchoes_.pop_front();
        refreshOutputIsEmpty();
    }
    processBatch(all.subspan(shown), skippedBytes);
}

void VelmoraModel::processBatch(std::span<const ReceivedChunk> chunks, std::int64_t skippedBytes)
{
    if (skippedBytes >= 1)
        postNotice(L10n::Status::droppedBytes(skippedBytes));
    if (chunks.empty())
        return;

    std::int64_t total = 0;
    for (const auto& chunk : chunks)
        total += static_cast<std::int64_t>(chunk.data.size());
    rxBytes_.set(rxBytes_.value() + total);
    showNoDataHint_.setIfChanged(false);

    if (showPlotter_.value()) {
        for (const auto& chunk : chunks)
            plot_->ingest(chunk.data);
    }

    const auto prefix = linePrefix();
    if (displayMode_.value() == DisplayMode::text) {
        OutputSegments segments;
        for (const auto& chunk : chunks) {
            auto part = processor_.process(chunk.data, showTimestamps_.value(), prefix, chunk.time);
            segments.insert(segments.end(), std::make_move_iterator(part.begin()), std::make_move_iterator(part.end()));
            if (!garbageDismissed_)
                garbageDetector_.feed(chunk.data);
        }
        output_.appendSegments(segments, {});
        if (!garbageDismissed_ && !garbageSuspected_.value() && garbageDetector_.isGarbled())
            garbageSuspected_.set(true);
    } else {
        ByteDisplayOptions options;
        options.mode = displayMode_.value();
        options.bytesPerLine = bytesPerLine_.value();
        options.breakOnLF = breakOnLF_.value();
        options.gapMs = packetGapMs_.value();
        options.timestamps = showTimestamps_.value();
        if (prefix)
            options.linePrefix = std::u16string(*prefix);
        const auto formatted = byteFormatter_.format(chunks, options);
        output_.appendSegments(formatted.committed, formatted.provisional);
    }
    refreshOutputIsEmpty();
}

void VelmoraModel::postNotice(const std::string& text)
{
    output_.appendNotice(text);
    processor_.resetLine();
    byteFormatter_.commitLine();
    refreshOutputIsEmpty();
}

bool VelmoraModel::wantsPacedReads() const
{
    const bool breaksAtPauses = displayMode_.value() != DisplayMode::text && packetGapMs_.value() > 0;
    return !showTimestamps_.value() && !breaksAtPauses;
}

void VelmoraModel::updatePacedReads()
{
    if (port_)
        port_->setPacedReads(wantsPacedReads());
}

void VelmoraModel::refreshOutputIsEmpty()
{
    outputIsEmpty_.setIfChanged(output_.isEmpty());
}

// Sending and lines ------------------------------------------------------------------------------

void VelmoraModel::send()
{
    const bool connected = port_ && state_.value() == ConnectionState::connected;
    const SendConditions conditions{connected, echoSent_.value(), showTimestamps_.value(), std::chrono::system_clock::now()};
    auto message = composer_.send(conditions, services_.alert);
    inputText_.setIfChanged(composer_.inputText);
    if (!message)
        return;
    const auto count = static_cast<std::int64_t>(message->bytes.size());
    port_->write(std::move(message->bytes),
        [weakSelf = weak_from_this(), weakPort = std::weak_ptr<SerialPort>(port_), &mainQueue = services_.mainQueue,
            count](std::optional<SerialPortError> error) {
            mainQueue.post([weakSelf, weakPort, error, count] {
                if (auto self = weakSelf.lock())
                    self->sendCompleted(weakPort.lock(), error, count);
            });
        });
    if (message->echo)
        showEchoInOrder(std::move(*message->echo));
}

void VelmoraModel::showEchoInOrder(EchoLine echo)
{
    // What waits is shown now, one slice of it; a longer backlog keeps the echo queued behind it
    // rather than holding the window until all of it is shown.
    waitingEchoes_.push_back({coalescer()->keptCount(), std::move(echo)});
    auto slice = coalescer_->takeSlice();
    handleBatch(std::move(slice.chunks), slice.droppedBytes);
}

void VelmoraModel::sendCompleted(const std::shared_ptr<SerialPort>& writer, std::optional<SerialPortError> error,
    std::int64_t byteCount)
{
    if (!error) {
        txBytes_.set(txBytes_.value() + byteCount);
        return;
    }
    // Closing a port fails the writes still queued on it; after a disconnect or a reconnect to
    // another port that is no error of the user's.
    if (writer && writer == port_)
        errorMessage_.set(error->message());
}

void VelmoraModel::historyUp()
{
    composer_.historyUp();
    inputText_.setIfChanged(composer_.inputText);
}

void VelmoraModel::historyDown()
{
    composer_.historyDown();
    inputText_.setIfChanged(composer_.inputText);
}

std::optional<std::string> VelmoraModel::hexInputError() const
{
    return composer_.hexInputError();
}

void VelmoraModel::runLineSteps(std::vector<LineStep> steps, std::string message)
{
    if (!port_ || state_.value() != ConnectionState::connected)
        return;
    port_->runLineSteps(std::move(steps),
        [weakSelf = weak_from_this(), weakPort = std::weak_ptr<SerialPort>(port_), &mainQueue = services_.mainQueue,
            message = std::move(message)](Expected<ModemLines, SerialPortError> result) {
            mainQueue.post([weakSelf, weakPort, message, result] {
                auto self = weakSelf.lock();
                if (!self || !self->port_ || weakPort.lock() != self->port_)
                    return;
                if (!result.ok()) {
                    self->errorMessage_.set(result.error().message());
                    return;
                }
                self->modemLines_.setIfChanged(*result);
                self->postNotice(message);
            });
        });
}

// Output -----------------------------------------------------------------------------------------

void VelmoraModel::clearOutput()
{
    // What was received or sent before the clear belongs to the cleared output.
    if (coalescer_)
        coalescer_->discard();
    waitingEchoes_.clear();
    output_.clear();
    processor_.resetLine();
    byteFormatter_.reset();
    rxBytes_.setIfChanged(0);
    txBytes_.setIfChanged(0);
    refreshOutputIsEmpty();
}

void VelmoraModel::saveOutput(const std::filesystem::path& target)
{
    if (auto failure = writeFileAtomically(target, utf16ToUtf8(output_.storage().text())))
        errorMessage_.set(L10n::Errors::saveFailed(*failure));
}

void VelmoraModel::dismissGarbage()
{
    garbageDismissed_ = true;
    garbageSuspected_.setIfChanged(false);
}

void VelmoraModel::clearError()
{
    errorMessage_.setIfChanged(std::nullopt);
}

// Derived ----------------------------------------------------------------------------------------

std::vector<std::int64_t> VelmoraModel::suggestedBaudRates() const
{
    return velmora::suggestedBaudRates(baudRate_.value());
}

std::optional<SerialPortInfo> VelmoraModel::selectedPortInfo() const
{
    for (const auto& info : ports_.value()) {
        if (info.path == selectedPath_.value())
            return info;
    }
    return std::nullopt;
}

std::string VelmoraModel::title() const
{
    const auto& path = selectedPath_.value();
    if (path.empty())
        return L10n::appName();
    if (auto info = selectedPortInfo())
        return info->displayName();
    return path.size() > 5 ? path.substr(5) : path;
}

bool VelmoraModel::isHeldByAnotherSession(const std::string& path) const
{
    return services_.registry.isHeldByAnotherSession(path, this);
}

} // namespace velmora

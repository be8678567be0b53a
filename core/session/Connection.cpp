#include "core/session/Connection.h"

#include "localization/L10n.h"

#include <utility>

namespace velmora {

std::shared_ptr<Connection> Connection::create(MainQueue& mainQueue, Parts parts, PortMaker makePort)
{
    if (!makePort)
        makePort = [](const std::string& path) { return SerialPort::create(path); };
    return std::shared_ptr<Connection>(new Connection(mainQueue, parts, std::move(makePort)));
}

Connection::Connection(MainQueue& mainQueue, Parts parts, PortMaker makePort)
    : mainQueue_(mainQueue), parts_(parts), makePort_(std::move(makePort))
{
}

Connection::~Connection()
{
    reconnectAttempt_.cancel();
    if (port_)
        port_->queue().sync([port = port_] { port->close(); });
}

void Connection::start()
{
    portsSubscription_ = parts_.registry.ports.subscribe([weakSelf = weak_from_this()](const auto& list) {
        if (auto self = weakSelf.lock())
            self->portsChanged(list);
    });
}

void Connection::connect()
{
    reconnectAttempt_.cancel();
    if (parts_.line.selectedPath->empty()) {
        parts_.errorMessage.set(L10n::Errors::selectPortFirst());
        return;
    }
    closePort();
    if (auto error = openPort()) {
        parts_.status.state.setIfChanged(ConnectionState::disconnected);
        parts_.errorMessage.set(error->message());
    }
}

void Connection::disconnect()
{
    reconnectAttempt_.cancel();
    parts_.receive.cancelNoDataHint();
    const auto previous = parts_.status.state.value();
    closePort();
    parts_.status.state.setIfChanged(ConnectionState::disconnected);
    if (previous != ConnectionState::disconnected)
        parts_.receive.postNotice(L10n::Status::closed());
}

void Connection::lineSettingChanged()
{
    if (parts_.status.state.value() == ConnectionState::connected)
        connect();
}

void Connection::updatePacedReads()
{
    if (port_)
        port_->setPacedReads(parts_.receive.wantsPacedReads());
}

std::optional<SerialPortError> Connection::openPort()
{
    const auto& path = *parts_.line.selectedPath;
    auto port = makePort_(path);
    const auto batches = parts_.receive.coalescer();
    const auto settings = parts_.line.portSettings();
    port->setPacedReads(parts_.receive.wantsPacedReads());
    std::optional<SerialPortError> error;
    port->queue().sync([&] {
        error = port->open(
            settings, [batches](std::vector<std::uint8_t> bytes) { batches->receive(std::move(bytes)); },
            [weakSelf = weak_from_this(), weakPort = std::weak_ptr<SerialPort>(port), &mainQueue = mainQueue_](
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
    parts_.status.state.setIfChanged(ConnectionState::connected);
    parts_.receive.portOpened();
    parts_.receive.postNotice(L10n::Status::connected(path, settings.summary()));
    std::optional<ModemLines> lines;
    port_->queue().sync([&] { lines = port_->readModemLinesIfAvailable(); });
    parts_.status.modemLines.setIfChanged(lines);
    parts_.receive.scheduleNoDataHint();
    return std::nullopt;
}

void Connection::closePort()
{
    if (port_) {
        port_->queue().sync([port = port_] { port->close(); });
        port_.reset();
    }
    parts_.status.modemLines.setIfChanged(std::nullopt);
    // The last received bytes show before whatever follows the close.
    parts_.receive.drain();
}

void Connection::portClosed(const std::shared_ptr<SerialPort>& closedPort, std::optional<SerialPortError> error)
{
    if (!closedPort || closedPort != port_)
        return;
    port_.reset();
    parts_.status.modemLines.setIfChanged(std::nullopt);
    parts_.receive.cancelNoDataHint();
    parts_.receive.drain();
    parts_.status.state.setIfChanged(ConnectionState::waitingForDevice);
    const std::string reason = error ? error->message() : L10n::Status::connectionLost();
    parts_.receive.postNotice(L10n::Status::waitingForDevice(reason));
}

void Connection::portsChanged(const std::vector<SerialPortInfo>& list)
{
    parts_.status.ports.set(list);
    std::set<std::string> paths;
    for (const auto& info : list)
        paths.insert(info.path);
    const auto previous = std::exchange(knownPaths_, paths);

    switch (parts_.status.state.value()) {
    case ConnectionState::disconnected:
        choosePort(list, previous);
        break;
    case ConnectionState::waitingForDevice:
        if (paths.count(*parts_.line.selectedPath))
            scheduleReconnect(reconnectAttempts);
        break;
    case ConnectionState::connected:
        break;
    }
}

void Connection::choosePort(
    const std::vector<SerialPortInfo>& list, const std::optional<std::set<std::string>>& previous)
{
    std::vector<const SerialPortInfo*> candidates;
    const SerialPortInfo* current = nullptr;
    for (const auto& info : list) {
        if (info.vendorID && !isHeldByAnotherSession(info.path))
            candidates.push_back(&info);
        if (info.path == *parts_.line.selectedPath)
            current = &info;
    }
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
    auto& selectedPath = parts_.line.selectedPath;
    if (arrived) {
        // A board was just plugged in: take it, unless a usable USB board is chosen already.
        if (!(currentUsable && current->vendorID))
            selectedPath.set(arrived->path);
    } else if (!currentUsable && !candidates.empty()) {
        selectedPath.set(candidates.front()->path);
    }
}

void Connection::scheduleReconnect(int attemptsLeft)
{
    reconnectAttempt_.cancel();
    reconnectAttempt_ = mainQueue_.postAfter(reconnectDelay, [weakSelf = weak_from_this(), attemptsLeft] {
        if (auto self = weakSelf.lock())
            self->attemptReconnect(attemptsLeft);
    });
}

void Connection::attemptReconnect(int attemptsLeft)
{
    if (parts_.status.state.value() != ConnectionState::waitingForDevice)
        return;
    const auto error = openPort();
    if (!error)
        return;
    if (attemptsLeft >= 2) {
        scheduleReconnect(attemptsLeft - 1);
        return;
    }
    parts_.status.state.setIfChanged(ConnectionState::disconnected);
    parts_.receive.postNotice(L10n::Status::reconnectFailed(error->message()));
}

bool Connection::isHeldByAnotherSession(const std::string& path) const
{
    return parts_.registry.isHeldByAnotherSession(path, &parts_.owner);
}

} // namespace velmora

#include "core/session/VelmoraModel.h"

#include "core/session/OutputSaver.h"
#include "core/text/Utf8.h"
#include "localization/L10n.h"

#include <chrono>
#include <utility>

namespace velmora {

std::shared_ptr<VelmoraModel> VelmoraModel::create(Services services)
{
    auto model = std::shared_ptr<VelmoraModel>(new VelmoraModel(std::move(services)));
    model->start();
    return model;
}

VelmoraModel::VelmoraModel(Services services)
    : Session(services.mainQueue, services.settings)
    , services_(std::move(services))
    , receive_(ReceivePath::create(services_.mainQueue, {receiveStatus_, connectionStatus_, display_, output_, *plot_}))
{
}

void VelmoraModel::start()
{
    connection_ = Connection::create(services_.mainQueue,
        {connectionStatus_, errorMessage_, line_, *receive_, services_.registry, *this}, services_.makePort);
    followSettings();
    services_.registry.registerSession(weak_from_this());
    connection_->start();
}

VelmoraModel::~VelmoraModel() = default;

void VelmoraModel::followSettings()
{
    auto& reactions = settingReactions_;
    const auto reopen = [this](const auto&) { connection_->lineSettingChanged(); };
    reactions.push_back(line_.selectedPath.onChange(reopen));
    reactions.push_back(line_.baudRate.onChange(reopen));
    reactions.push_back(line_.dataBits.onChange(reopen));
    reactions.push_back(line_.parity.onChange(reopen));
    reactions.push_back(line_.stopBits.onChange(reopen));
    reactions.push_back(line_.flowControl.onChange(reopen));

    const auto freshLine = [this](const auto&) { receive_->layoutChanged(); };
    reactions.push_back(display_.displayMode.onChange(freshLine));
    reactions.push_back(display_.bytesPerLine.onChange(freshLine));
    reactions.push_back(display_.breakOnLF.onChange(freshLine));
    reactions.push_back(display_.packetGapMs.onChange(freshLine));

    const auto pacing = [this](const auto&) { connection_->updatePacedReads(); };
    reactions.push_back(display_.showTimestamps.onChange(pacing));
    reactions.push_back(display_.displayMode.onChange(pacing));
    reactions.push_back(display_.packetGapMs.onChange(pacing));

    reactions.push_back(display_.showPlotter.onChange([this](bool on) {
        // Plotting starts with the bytes that arrive next, not in the middle of an old line.
        if (on)
            plot_->discardPartialLine();
    }));
}

void VelmoraModel::send()
{
    const auto& port = connection_->port();
    const bool connected = port && connectionStatus_.state.value() == ConnectionState::connected;
    const SendConditions conditions{
        connected, *display_.echoSent, *display_.showTimestamps, std::chrono::system_clock::now()};
    auto message = composer_.send(conditions, services_.alert);
    if (!message)
        return;
    const auto count = static_cast<std::int64_t>(message->bytes.size());
    port->write(std::move(message->bytes),
        [weakSelf = weak_from_this(), weakPort = std::weak_ptr<SerialPort>(port), &mainQueue = services_.mainQueue,
            count](std::optional<SerialPortError> error) {
            mainQueue.post([weakSelf, weakPort, error, count] {
                if (auto self = weakSelf.lock())
                    self->sendCompleted(weakPort.lock(), error, count);
            });
        });
    if (message->echo)
        receive_->showEchoInOrder(std::move(*message->echo));
}

void VelmoraModel::sendCompleted(
    const std::shared_ptr<SerialPort>& writer, std::optional<SerialPortError> error, std::int64_t byteCount)
{
    if (!error) {
        txBytes_.set(txBytes_.value() + byteCount);
        return;
    }
    // Closing a port fails the writes still queued on it; after a disconnect or a reconnect to
    // another port that is no error of the user's.
    if (writer && writer == connection_->port())
        errorMessage_.set(error->message());
}

void VelmoraModel::runLineSteps(std::vector<LineStep> steps, std::string message)
{
    const auto& port = connection_->port();
    if (!port || connectionStatus_.state.value() != ConnectionState::connected)
        return;
    port->runLineSteps(std::move(steps),
        [weakSelf = weak_from_this(), weakPort = std::weak_ptr<SerialPort>(port), &mainQueue = services_.mainQueue,
            message = std::move(message)](Expected<ModemLines, SerialPortError> result) {
            mainQueue.post([weakSelf, weakPort, message, result] {
                auto self = weakSelf.lock();
                if (!self || !self->connection_->port() || weakPort.lock() != self->connection_->port())
                    return;
                if (!result.ok()) {
                    self->errorMessage_.set(result.error().message());
                    return;
                }
                self->connectionStatus_.modemLines.setIfChanged(*result);
                self->postNotice(message);
            });
        });
}

void VelmoraModel::clearOutput()
{
    // What was received or sent before the clear belongs to the cleared output.
    receive_->clear();
    txBytes_.setIfChanged(0);
}

void VelmoraModel::saveOutput(const std::filesystem::path& target)
{
    if (auto failure = writeFileAtomically(target, utf16ToUtf8(output_.storage().text())))
        errorMessage_.set(L10n::Errors::saveFailed(*failure));
}

} // namespace velmora

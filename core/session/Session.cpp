#include "core/session/Session.h"

#include "core/pipeline/GarbageDetector.h"
#include "localization/L10n.h"

namespace velmora {

Session::Session(MainQueue& mainQueue, SettingsStore& settings)
    : line_(settings)
    , display_(settings)
    , composer_(settings, SettingKeys::sendMode, SettingKeys::lineEnding)
    , plot_(PlotStore::create(mainQueue, settings))
{
    autoscrollFollowing_ = display_.autoscroll.subscribe([this](bool on) { output_.setAutoscroll(on); });
}

std::optional<SerialPortInfo> Session::selectedPortInfo() const
{
    for (const auto& info : connectionStatus_.ports.value()) {
        if (info.path == *line_.selectedPath)
            return info;
    }
    return std::nullopt;
}

std::string Session::title() const
{
    const auto& path = *line_.selectedPath;
    if (path.empty())
        return L10n::appName();
    if (auto info = selectedPortInfo())
        return info->displayName();
    constexpr std::string_view devices = "/dev/";
    return path.starts_with(devices) ? path.substr(devices.size()) : path;
}

std::vector<std::int64_t> Session::suggestedBaudRates() const
{
    return velmora::suggestedBaudRates(*line_.baudRate);
}

} // namespace velmora

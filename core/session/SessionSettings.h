#pragma once

#include "core/platform/Setting.h"
#include "core/session/SettingKeys.h"

namespace velmora {

// The port a tab uses and how the line is set up. A change while connected reopens the port.
struct LineSettings {
    explicit LineSettings(SettingsStore& store)
        : selectedPath(store, SettingKeys::port)
        , baudRate(store, SettingKeys::baud)
        , dataBits(store, SettingKeys::dataBits)
        , parity(store, SettingKeys::parity)
        , stopBits(store, SettingKeys::stopBits)
        , flowControl(store, SettingKeys::flow)
    {
    }

    PortSettings portSettings() const { return {*baudRate, *dataBits, *parity, *stopBits, *flowControl}; }

    // The device path chosen in the port picker; "" for none.
    Setting<std::string> selectedPath;
    Setting<std::int64_t> baudRate;
    Setting<DataBits> dataBits;
    Setting<Parity> parity;
    Setting<StopBits> stopBits;
    Setting<FlowControl> flowControl;
};

// How a tab shows what it receives. A change of the byte layout (mode, bytes per line, break on
// line feed, pause) makes the output continue on a fresh line.
struct DisplaySettings {
    explicit DisplaySettings(SettingsStore& store)
        : autoscroll(store, SettingKeys::autoscroll)
        , showTimestamps(store, SettingKeys::timestamps)
        , echoSent(store, SettingKeys::echo)
        , displayMode(store, SettingKeys::displayMode)
        , bytesPerLine(store, SettingKeys::bytesPerLine)
        , breakOnLF(store, SettingKeys::breakOnLF)
        , packetGapMs(store, SettingKeys::packetGap)
        , showPlotter(store, SettingKeys::plotter)
    {
    }

    Setting<bool> autoscroll;
    Setting<bool> showTimestamps;
    Setting<bool> echoSent;
    Setting<DisplayMode> displayMode;
    Setting<std::int64_t> bytesPerLine;
    Setting<bool> breakOnLF;
    Setting<std::int64_t> packetGapMs;
    Setting<bool> showPlotter;
};

} // namespace velmora

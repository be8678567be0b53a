#pragma once

#include "core/pipeline/DisplayMode.h"
#include "core/platform/Setting.h"
#include "core/send/SendMode.h"
#include "core/serial/PortSettings.h"

#include <cstdint>
#include <string>

namespace velmora {

// Every key a session keeps in the settings store, shared by all tabs: a new tab starts with the
// choices last made in any of them. Line settings and the byte layout are written only when they
// change (a change of them acts on the connection or the output); the other choices are written
// every time they are set.
namespace SettingKeys {

extern const SettingKey<std::string> port;
extern const SettingKey<std::int64_t> baud;
extern const SettingKey<DataBits> dataBits;
extern const SettingKey<Parity> parity;
extern const SettingKey<StopBits> stopBits;
extern const SettingKey<FlowControl> flow;

extern const SettingKey<bool> autoscroll;
extern const SettingKey<bool> timestamps;
extern const SettingKey<bool> echo;
extern const SettingKey<DisplayMode> displayMode;
extern const SettingKey<std::int64_t> bytesPerLine;
extern const SettingKey<bool> breakOnLF;
extern const SettingKey<std::int64_t> packetGap;
extern const SettingKey<bool> plotter;

extern const SettingKey<SendMode> sendMode;
extern const SettingKey<LineEnding> lineEnding;

} // namespace SettingKeys
} // namespace velmora

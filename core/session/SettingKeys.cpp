#include "core/session/SettingKeys.h"

#include <algorithm>

namespace velmora::SettingKeys {
namespace {

using enum StoreRule;

std::optional<std::string> readText(const SettingsStore& store, std::string_view name)
{
    const auto read = store.readString(name);
    return read.isPresent() ? std::optional(read.value) : std::nullopt;
}

void writeText(SettingsStore& store, std::string_view name, const std::string& value)
{
    store.writeString(name, value);
}

std::optional<bool> readFlag(const SettingsStore& store, std::string_view name)
{
    const auto read = store.readBool(name);
    return read.isPresent() ? std::optional(read.value) : std::nullopt;
}

void writeFlag(SettingsStore& store, std::string_view name, const bool& value)
{
    store.writeBool(name, value);
}

void writeNumber(SettingsStore& store, std::string_view name, const std::int64_t& value)
{
    store.writeInteger(name, value);
}

// An integer kept only when it is one the setting accepts.
template <bool (*accept)(std::int64_t)>
std::optional<std::int64_t> readNumber(const SettingsStore& store, std::string_view name)
{
    const auto read = store.readInteger(name);
    return read.isPresent() && accept(read.value) ? std::optional(read.value) : std::nullopt;
}

// An enumeration stored as its raw name.
template <typename T, std::optional<T> (*fromRaw)(std::string_view)>
std::optional<T> readNamed(const SettingsStore& store, std::string_view name)
{
    const auto read = store.readString(name);
    return read.isPresent() ? fromRaw(read.value) : std::nullopt;
}

template <typename T> void writeNamed(SettingsStore& store, std::string_view name, const T& value)
{
    store.writeString(name, std::string(rawValue(value)));
}

// An enumeration stored as its raw number.
template <typename T, std::optional<T> (*fromRaw)(std::int64_t)>
std::optional<T> readCounted(const SettingsStore& store, std::string_view name)
{
    const auto read = store.readInteger(name);
    return read.isPresent() ? fromRaw(read.value) : std::nullopt;
}

template <typename T> void writeCounted(SettingsStore& store, std::string_view name, const T& value)
{
    store.writeInteger(name, rawValue(value));
}

bool anyBaudRate(std::int64_t rate)
{
    return PortSettings::isValidBaudRate(rate);
}

bool isBytesPerLineChoice(std::int64_t count)
{
    return normalizedBytesPerLine(count) == count;
}

bool isGapChoice(std::int64_t milliseconds)
{
    return normalizedGapMs(milliseconds) == milliseconds;
}

std::optional<StopBits> twoOrOne(std::int64_t raw)
{
    return raw == 2 ? StopBits::two : StopBits::one;
}

std::optional<SendMode> sendModeNamed(std::string_view raw)
{
    return sendModeFromRaw(raw);
}

std::optional<LineEnding> lineEndingNamed(std::string_view raw)
{
    return lineEndingFromRaw(raw);
}

} // namespace

const SettingKey<std::string> port{"port", "", whenChanged, readText, writeText};
const SettingKey<std::int64_t> baud{"baud", 9600, whenChanged, readNumber<anyBaudRate>, writeNumber};
const SettingKey<DataBits> dataBits{
    "dataBits", DataBits::eight, whenChanged, readCounted<DataBits, dataBitsFromRaw>, writeCounted<DataBits>};
const SettingKey<Parity> parity{
    "parity", Parity::none, whenChanged, readNamed<Parity, parityFromRaw>, writeNamed<Parity>};
const SettingKey<StopBits> stopBits{
    "stopBits", StopBits::one, whenChanged, readCounted<StopBits, twoOrOne>, writeCounted<StopBits>};
const SettingKey<FlowControl> flow{
    "flow", FlowControl::none, whenChanged, readNamed<FlowControl, flowControlFromRaw>, writeNamed<FlowControl>};

const SettingKey<bool> autoscroll{"autoscroll", true, whenSet, readFlag, writeFlag};
const SettingKey<bool> timestamps{"timestamps", false, whenSet, readFlag, writeFlag};
const SettingKey<bool> echo{"echo", true, whenSet, readFlag, writeFlag};
const SettingKey<DisplayMode> displayMode{
    "displayMode", DisplayMode::text, whenChanged, readNamed<DisplayMode, displayModeFromRaw>, writeNamed<DisplayMode>};
const SettingKey<std::int64_t> bytesPerLine{
    "bytesPerLine", defaultBytesPerLine, whenChanged, readNumber<isBytesPerLineChoice>, writeNumber};
const SettingKey<bool> breakOnLF{"breakOnLF", false, whenChanged, readFlag, writeFlag};
const SettingKey<std::int64_t> packetGap{"packetGap", defaultGapMs, whenChanged, readNumber<isGapChoice>, writeNumber};
const SettingKey<bool> plotter{"plotter", false, whenChanged, readFlag, writeFlag};

const SettingKey<SendMode> sendMode{
    "sendMode", SendMode::text, whenSet, readNamed<SendMode, sendModeNamed>, writeNamed<SendMode>};
const SettingKey<LineEnding> lineEnding{
    "lineEnding", LineEnding::lf, whenSet, readNamed<LineEnding, lineEndingNamed>, writeNamed<LineEnding>};

} // namespace velmora::SettingKeys

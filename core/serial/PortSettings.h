#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace velmora {

// Frame settings. The raw values are what the settings store keeps.
enum class DataBits : std::uint8_t { five = 5, six = 6, seven = 7, eight = 8 };
enum class Parity : std::uint8_t { none, even, odd };
enum class StopBits : std::uint8_t { one = 1, two = 2 };
enum class FlowControl : std::uint8_t { none, rtsCts, xonXoff };

inline constexpr std::array allDataBits{DataBits::five, DataBits::six, DataBits::seven, DataBits::eight};
inline constexpr std::array allParities{Parity::none, Parity::even, Parity::odd};
inline constexpr std::array allStopBits{StopBits::one, StopBits::two};
inline constexpr std::array allFlowControls{FlowControl::none, FlowControl::rtsCts, FlowControl::xonXoff};

constexpr int rawValue(DataBits bits)
{
    return static_cast<int>(bits);
}
constexpr int rawValue(StopBits bits)
{
    return static_cast<int>(bits);
}
std::string_view rawValue(Parity parity);
std::string_view rawValue(FlowControl flow);

std::optional<DataBits> dataBitsFromRaw(std::int64_t raw);
std::optional<StopBits> stopBitsFromRaw(std::int64_t raw);
std::optional<Parity> parityFromRaw(std::string_view raw);
std::optional<FlowControl> flowControlFromRaw(std::string_view raw);

struct PortSettings {
    static constexpr std::int64_t minBaudRate = 50;
    static constexpr std::int64_t maxBaudRate = 12'000'000;

    std::int64_t baudRate = 115200;
    DataBits dataBits = DataBits::eight;
    Parity parity = Parity::none;
    StopBits stopBits = StopBits::one;
    FlowControl flowControl = FlowControl::none;

    static constexpr bool isValidBaudRate(std::int64_t rate) { return rate >= minBaudRate && rate <= maxBaudRate; }

    // "115200 8N1": rate, blank, data bits, parity letter, stop bits. Flow control is not shown.
    std::string summary() const;

    friend bool operator==(const PortSettings&, const PortSettings&) = default;
};

} // namespace velmora

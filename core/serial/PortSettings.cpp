#include "core/serial/PortSettings.h"

namespace velmora {

std::string_view rawValue(Parity parity)
{
    switch (parity) {
    case Parity::none: return "none";
    case Parity::even: return "even";
    case Parity::odd: return "odd";
    }
    return {};
}

std::string_view rawValue(FlowControl flow)
{
    switch (flow) {
    case FlowControl::none: return "none";
    case FlowControl::rtsCts: return "rtsCts";
    case FlowControl::xonXoff: return "xonXoff";
    }
    return {};
}

std::optional<DataBits> dataBitsFromRaw(std::int64_t raw)
{
    for (auto bits : allDataBits) {
        if (rawValue(bits) == raw)
            return bits;
    }
    return std::nullopt;
}

std::optional<StopBits> stopBitsFromRaw(std::int64_t raw)
{
    for (auto bits : allStopBits) {
        if (rawValue(bits) == raw)
            return bits;
    }
    return std::nullopt;
}

std::optional<Parity> parityFromRaw(std::string_view raw)
{
    for (auto parity : allParities) {
        if (rawValue(parity) == raw)
            return parity;
    }
    return std::nullopt;
}

std::optional<FlowControl> flowControlFromRaw(std::string_view raw)
{
    for (auto flow : allFlowControls) {
        if (rawValue(flow) == raw)
            return flow;
    }
    return std::nullopt;
}

std::string PortSettings::summary() const
{
    char parityLetter = 'N';
    switch (parity) {
    case Parity::none: parityLetter = 'N'; break;
    case Parity::even: parityLetter = 'E'; break;
    case Parity::odd: parityLetter = 'O'; break;
    }
    return std::to_string(baudRate) + ' ' + std::to_string(rawValue(dataBits)) + parityLetter
        + std::to_string(rawValue(stopBits));
}

} // namespace velmora

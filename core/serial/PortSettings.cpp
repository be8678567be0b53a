#include "core/serial/PortSettings.h"

namespace velmora {

std::string_view rawValue(Parity parity)
{
    switch (parity) {
    case Parity::none:
        return "none";
    case Parity::even:
        return "even";
    case Parity::odd:
        return "odd";
    }
    return {};
}

std::string_view rawValue(FlowControl flow)
{
    switch (flow) {
    case FlowControl::none:
        return "none";
    case FlowControl::rtsCts:
        return "rtsCts";
    case FlowControl::xonXoff:
        return "xonXoff";
    }
    return {};
}

namespace {

template <typename Enum, std::size_t count, typename Raw>
std::optional<Enum> caseWithRawValue(const std::array<Enum, count>& cases, const Raw& raw)
{
    for (auto candidate : cases) {
        if (rawValue(candidate) == raw)
            return candidate;
    }
    return std::nullopt;
}

} // namespace

std::optional<DataBits> dataBitsFromRaw(std::int64_t raw)
{
    return caseWithRawValue(allDataBits, raw);
}
std::optional<StopBits> stopBitsFromRaw(std::int64_t raw)
{
    return caseWithRawValue(allStopBits, raw);
}
std::optional<Parity> parityFromRaw(std::string_view raw)
{
    return caseWithRawValue(allParities, raw);
}
std::optional<FlowControl> flowControlFromRaw(std::string_view raw)
{
    return caseWithRawValue(allFlowControls, raw);
}

std::string PortSettings::summary() const
{
    char parityLetter = 'N';
    switch (parity) {
    case Parity::none:
        parityLetter = 'N';
        break;
    case Parity::even:
        parityLetter = 'E';
        break;
    case Parity::odd:
        parityLetter = 'O';
        break;
    }
    return std::to_string(baudRate) + ' ' + std::to_string(rawValue(dataBits)) + parityLetter +
        std::to_string(rawValue(stopBits));
}

} // namespace velmora

#include "core/send/SendMode.h"

namespace velmora {

namespace {

constexpr std::array<std::uint8_t, 1> lineFeed{0x0A};
constexpr std::array<std::uint8_t, 1> carriageReturn{0x0D};
constexpr std::array<std::uint8_t, 2> carriageReturnLineFeed{0x0D, 0x0A};

} // namespace

std::string_view rawValue(SendMode mode)
{
    switch (mode) {
    case SendMode::text:
        return "text";
    case SendMode::hex:
        return "hex";
    }
    return {};
}

SendMode sendModeFromRaw(std::string_view raw)
{
    return raw == rawValue(SendMode::hex) ? SendMode::hex : SendMode::text;
}

std::string_view rawValue(LineEnding ending)
{
    switch (ending) {
    case LineEnding::none:
        return "none";
    case LineEnding::lf:
        return "lf";
    case LineEnding::cr:
        return "cr";
    case LineEnding::crlf:
        return "crlf";
    }
    return {};
}

LineEnding lineEndingFromRaw(std::string_view raw)
{
    for (auto ending : allLineEndings) {
        if (rawValue(ending) == raw)
            return ending;
    }
    return LineEnding::lf;
}

std::span<const std::uint8_t> bytes(LineEnding ending)
{
    switch (ending) {
    case LineEnding::none:
        return {};
    case LineEnding::lf:
        return lineFeed;
    case LineEnding::cr:
        return carriageReturn;
    case LineEnding::crlf:
        return carriageReturnLineFeed;
    }
    return {};
}

std::optional<std::u16string> echoMarker(LineEnding ending)
{
    switch (ending) {
    case LineEnding::none:
        return std::nullopt;
    case LineEnding::lf:
        return u"<LF>";
    case LineEnding::cr:
        return u"<CR>";
    case LineEnding::crlf:
        return u"<CR><LF>";
    }
    return std::nullopt;
}

} // namespace velmora

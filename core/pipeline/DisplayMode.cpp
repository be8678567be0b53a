#include "core/pipeline/DisplayMode.h"

#include <algorithm>

namespace velmora {

std::string_view rawValue(DisplayMode mode)
{
    switch (mode) {
    case DisplayMode::text:
        return "text";
    case DisplayMode::hex:
        return "hex";
    case DisplayMode::hexDump:
        return "hexDump";
    case DisplayMode::decimal:
        return "decimal";
    case DisplayMode::binary:
        return "binary";
    case DisplayMode::asciiEscaped:
        return "asciiEscaped";
    }
    return {};
}

std::optional<DisplayMode> displayModeFromRaw(std::string_view raw)
{
    for (auto mode : allDisplayModes) {
        if (rawValue(mode) == raw)
            return mode;
    }
    return std::nullopt;
}

std::int64_t normalizedBytesPerLine(std::int64_t stored)
{
    return std::ranges::find(allowedBytesPerLine, stored) != allowedBytesPerLine.end() ? stored : defaultBytesPerLine;
}

std::int64_t normalizedGapMs(std::int64_t stored)
{
    return std::ranges::find(allowedGapMs, stored) != allowedGapMs.end() ? stored : defaultGapMs;
}

} // namespace velmora

#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace velmora {

// How the input field is read: as text sent in UTF-8, or as bytes written in hexadecimal. The raw
// values are what the settings store keeps.
enum class SendMode { text, hex };

inline constexpr std::array allSendModes{SendMode::text, SendMode::hex};

std::string_view rawValue(SendMode mode);
// Anything but "hex" means text, so a damaged setting never turns typed text into HEX.
SendMode sendModeFromRaw(std::string_view raw);

// What follows a text-mode message; in menu order.
enum class LineEnding { none, lf, cr, crlf };

inline constexpr std::array allLineEndings{LineEnding::none, LineEnding::lf, LineEnding::cr, LineEnding::crlf};

std::string_view rawValue(LineEnding ending);
// A stored value that is none of the raw values means lf, the default.
LineEnding lineEndingFromRaw(std::string_view raw);

// The bytes appended to a text-mode message.
std::span<const std::uint8_t> bytes(LineEnding ending);
// How the echo of a sent line shows its ending: "<LF>", "<CR>", "<CR><LF>", or nothing for none.
std::optional<std::u16string> echoMarker(LineEnding ending);

} // namespace velmora

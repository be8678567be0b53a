#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace velmora {

// The state of the two output control lines.
struct ModemLines {
    bool dtr = false;
    bool rts = false;

    friend bool operator==(const ModemLines&, const ModemLines&) = default;
};

// One step of a line sequence: assert (true) or drop (false) each line or leave it (none), then
// wait holdMs milliseconds before the next step.
struct LineStep {
    std::optional<bool> dtr;
    std::optional<bool> rts;
    std::int64_t holdMs = 0;

    friend bool operator==(const LineStep&, const LineStep&) = default;
};

// The built-in pulses that reset a board or start its bootloader.
enum class ResetSequence { arduino, esp32, esp32Bootloader };

inline constexpr std::array allResetSequences{
    ResetSequence::arduino, ResetSequence::esp32, ResetSequence::esp32Bootloader};

// The menu title, which is also the notice shown after the sequence ran.
std::string title(ResetSequence sequence);
std::vector<LineStep> steps(ResetSequence sequence);

// The single-line toggles of the DTR/RTS menu.
LineStep dtrStep(bool on);
LineStep rtsStep(bool on);

} // namespace velmora

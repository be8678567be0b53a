#include "core/serial/ModemLines.h"

#include "localization/L10n.h"

namespace velmora {

std::string title(ResetSequence sequence)
{
    switch (sequence) {
    case ResetSequence::arduino:
        return L10n::Lines::resetArduino();
    case ResetSequence::esp32:
        return L10n::Lines::resetESP32();
    case ResetSequence::esp32Bootloader:
        return L10n::Lines::resetESP32Bootloader();
    }
    return {};
}

std::vector<LineStep> steps(ResetSequence sequence)
{
    switch (sequence) {
    case ResetSequence::arduino:
        // A falling DTR edge reaches the reset pin through the board's capacitor.
        return {{false, std::nullopt, 100}, {true, std::nullopt, 0}};
    case ResetSequence::esp32:
        // On the usual auto-reset circuit RTS drives EN low while DTR stays released.
        return {{false, true, 100}, {std::nullopt, false, 0}};
    case ResetSequence::esp32Bootloader:
        // EN low, then released while DTR holds GPIO0 low, then GPIO0 released.
        return {{false, true, 100}, {true, false, 50}, {false, std::nullopt, 0}};
    }
    return {};
}

LineStep dtrStep(bool on)
{
    return {on, std::nullopt, 0};
}
LineStep rtsStep(bool on)
{
    return {std::nullopt, on, 0};
}

} // namespace velmora

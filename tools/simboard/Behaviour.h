#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace velmora::simboard {

// What the simulated sketch prints on its own. Every behaviour answers commands as well.
enum class Behaviour {
    // "temp:21.5,hum:40.2,pressure:1013.1" at the line rate.
    sensor,
    // A header line "time_s,temp,hum", then rows at the line rate.
    csv,
    // Plain numbers, one or several per line, at the line rate.
    numbers,
    // Nothing but the answers to commands.
    quiet,
    // A sensor line as a UART at the wrong baud rate receives it, at the line rate.
    noise,
    // Numbered, time-stamped lines as fast as the device takes them.
    flood,
};

inline constexpr std::array allBehaviours{
    Behaviour::sensor, Behaviour::csv, Behaviour::numbers, Behaviour::quiet, Behaviour::noise, Behaviour::flood};

std::string_view name(Behaviour behaviour);
std::optional<Behaviour> behaviourFromName(std::string_view name);

} // namespace velmora::simboard

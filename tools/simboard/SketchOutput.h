#pragma once

#include "tools/simboard/Behaviour.h"

#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <string_view>

namespace velmora::simboard {

// One line of the flood: "flood:<counter>,t:<microseconds>", the time being when the board
// produced the line, on the steady clock (steadyMicros()).
struct FloodLine {
    std::uint64_t counter = 0;
    std::int64_t sentMicros = 0;

    friend bool operator==(const FloodLine&, const FloodLine&) = default;
};

// Microseconds of std::chrono::steady_clock, comparable across processes of one boot.
std::int64_t steadyMicros();

// What the simulated sketch prints, line by line, each with its "\n". Values vary smoothly
// with the sketch's running time plus a little noise, like real sensors. Numbers are written
// with a decimal point whatever the process locale.
//
// A value type used by one thread.
class SketchOutput {
public:
    // The baud rates of the noise: the sketch runs at 9600, the terminal reads at 115200.
    static constexpr int noiseSentBaud = 9600;
    static constexpr int noiseReadBaud = 115200;

    explicit SketchOutput(int numbersPerLine = 3, std::uint32_t seed = 1);

    // What the sketch prints once when it starts in (or switches to) the behaviour: the CSV
    // header, otherwise nothing.
    std::string start(Behaviour behaviour) const;
    // The next periodic line at the sketch's running time; empty for quiet and flood.
    std::string line(Behaviour behaviour, double seconds);
    // The next flood line; counters start at 0 and never repeat.
    std::string floodLine();
    std::uint64_t nextFloodCounter() const { return floodCounter_; }

    int numbersPerLine() const { return numbersPerLine_; }

    // The flood line within text (with or without its "\n"), or nothing.
    static std::optional<FloodLine> parseFloodLine(std::string_view text);

private:
    double noise(double amplitude);
    std::string sensorLine(double seconds);

    int numbersPerLine_;
    std::mt19937 random_;
    std::uint64_t floodCounter_ = 0;
};

} // namespace velmora::simboard

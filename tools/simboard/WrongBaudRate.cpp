#include "tools/simboard/WrongBaudRate.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace velmora::simboard {

std::string wrongBaudRate(std::string_view text, int sentBaud, int readBaud)
{
    // The line level per sent bit: idle high before and after, a start bit, eight data bits
    // least significant first, a stop bit.
    std::vector<bool> line(2, true);
    for (const char character : text) {
        const auto byte = static_cast<std::uint8_t>(character);
        line.push_back(false);
        for (int bit = 0; bit < 8; ++bit)
            line.push_back(((byte >> bit) & 1) != 0);
        line.push_back(true);
    }
    line.insert(line.end(), 2, true);

    // Times in sent bits; one read bit lasts readBit of them.
    const double readBit = static_cast<double>(sentBaud) / static_cast<double>(readBaud);
    const double end = static_cast<double>(line.size());
    const auto levelAt = [&](double time) { return time >= end || line[static_cast<std::size_t>(time)]; };
    std::string received;
    double time = 0;
    while (time + 10 * readBit < end) {
        if (levelAt(time)) {
            time += readBit / 4;
            continue;
        }
        if (levelAt(time + readBit / 2)) {
            // A glitch shorter than half a bit is no start bit.
            time += readBit / 4;
            continue;
        }
        std::uint8_t byte = 0;
        for (int bit = 0; bit < 8; ++bit) {
            if (levelAt(time + readBit * (1.5 + bit)))
                byte = static_cast<std::uint8_t>(byte | (1u << bit));
        }
        received.push_back(static_cast<char>(byte));
        // Resynchronise after the stop bit, which may well be low: a framing error.
        time += readBit * 9.5;
    }
    return received;
}

} // namespace velmora::simboard

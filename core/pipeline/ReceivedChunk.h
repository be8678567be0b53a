#pragma once

#include <chrono>
#include <cstdint>
#include <vector>

namespace velmora {

// One piece of received data as the port read it, with the wall-clock time it arrived.
struct ReceivedChunk {
    std::chrono::system_clock::time_point time;
    std::vector<std::uint8_t> data;

    friend bool operator==(const ReceivedChunk&, const ReceivedChunk&) = default;
};

} // namespace velmora

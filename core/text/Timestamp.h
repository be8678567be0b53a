#pragma once

#include <chrono>
#include <string>

namespace velmora {

// "HH:mm:ss.SSS" in the local time zone on a 24-hour clock, e.g. 14:03:07.250: the stamp of
// received lines and of the echo of sent data.
std::u16string formatTimestamp(std::chrono::system_clock::time_point time);

} // namespace velmora

#pragma once

#include <string>
#include <string_view>

namespace velmora::simboard {

// The bytes a UART reading at readBaud makes of text sent at sentBaud (8N1 both): it waits for a
// falling edge, samples the middle of each of its own bit times and hands on every byte, framing
// errors included, as drivers do. Sent 12 times slower than read, long low bits come out as runs
// of 0x00 and edges as 0xF0, 0xE0, 0x80 and the like.
std::string wrongBaudRate(std::string_view text, int sentBaud, int readBaud);

} // namespace velmora::simboard

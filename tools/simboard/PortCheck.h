#pragma once

#include <ostream>
#include <string>

namespace velmora::simboard {

// What a newcomer's first minute needs from the simulated Uno, checked with the application's
// own core: udev lists path as an Arduino Uno (2341:0043), a serial port opens it, a sensor
// line arrives and parses as named values, and a command sent gets its answer. Reports each
// step on out; returns the exit status (0 when all held).
int checkPort(const std::string& path, std::ostream& out);

} // namespace velmora::simboard

#pragma once

#include <string_view>

namespace velmora::simboard {

// Whether this process runs with umockdev's preload library, which a umockdev testbed needs:
// it redirects /sys, /dev and the uevent socket into the testbed.
bool runsUnderUmockdev();

// Starts this program again with the preload library in LD_PRELOAD (the dynamic linker reads it
// only when a program starts); programs it starts inherit it. Exits with a message naming
// program when that fails.
[[noreturn]] void restartUnderUmockdev(char* argv[], std::string_view program);

} // namespace velmora::simboard

#pragma once

#include <string_view>

namespace velmora {

// Which device paths may be opened (and listed) as serial ports:
//   /dev/cu.* and /dev/tty.*      the callout and dial-in names some systems use
//   /dev/tty<letter>*             ttyUSB0, ttyACM0, ttyS0, ttyAMA0, …
//   /dev/rfcomm<digits>           Bluetooth serial links
//   /dev/pts/<digits>             pseudo-terminals: virtual ports, simulators
// In every case the part after "/dev/" holds no ".." and no further "/" (besides "pts/"), and
// is at most 127 characters long.
bool isAcceptablePortPath(std::string_view path);

} // namespace velmora

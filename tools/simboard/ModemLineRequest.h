#pragma once

#include <chrono>

namespace velmora::simboard {

// One modem-line request the board's driver saw from the application.
struct ModemLineRequest {
    // TIOCMSET, TIOCMBIS, TIOCMBIC.
    enum class Kind { set, raise, drop };

    std::chrono::steady_clock::time_point time;
    Kind kind = Kind::set;
    // The TIOCM_* bits of the request.
    int bits = 0;
    // The lines afterwards.
    bool dtr = false;
    bool rts = false;
};

} // namespace velmora::simboard

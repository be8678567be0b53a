#pragma once

#include "core/serial/ModemLineControl.h"

#include <sys/ioctl.h>

namespace velmora::testing {

// Pseudo-terminals refuse the modem-line requests; this one answers like a USB adapter whose
// lines start raised, as a freshly opened port's are.
class AdapterModemLines final : public ModemLineControl {
public:
    int get(int, int& bits) override
    {
        bits = state;
        return 0;
    }
    int set(int, int bits) override
    {
        state |= bits;
        return 0;
    }
    int clear(int, int bits) override
    {
        state &= ~bits;
        return 0;
    }
    int state = TIOCM_DTR | TIOCM_RTS;
};

} // namespace velmora::testing

#pragma once

#include <memory>

namespace velmora {

// The three modem-control requests of a port (TIOCMGET, TIOCMBIS, TIOCMBIC), behind one seam:
// pseudo-terminals refuse them, so tests put an observer here. Bits are the TIOCM_* values.
// Each call returns 0 or an errno code. Called on the port's I/O queue only.
class ModemLineControl {
public:
    virtual ~ModemLineControl() = default;
    virtual int get(int fd, int& bits) = 0;
    virtual int set(int fd, int bits) = 0;
    virtual int clear(int fd, int bits) = 0;
    // Bytes waiting in the driver's output queue (TIOCOUTQ). A pseudo-terminal always says 0,
    // so the same seam lets a test play a slow UART.
    virtual int outputQueued(int fd, int& bytes);
};

// The real requests, as ioctls on the descriptor.
std::shared_ptr<ModemLineControl> systemModemLineControl();

} // namespace velmora

#pragma once

#include "tools/simboard/ModemLineRequest.h"

#include <cstdint>
#include <string>
#include <vector>

namespace velmora::simboard {

// The device the simulated board stands behind. The board plays the master side of a
// pseudo-terminal; the application opens devicePath(). Used on the board's thread only, except
// for the modem-line accessors, which any thread may call.
class BoardPort {
public:
    virtual ~BoardPort() = default;

    virtual std::string devicePath() const = 0;
    // The board's side, non-blocking; -1 while unplugged.
    virtual int boardSide() const = 0;
    // Gone as a board pulled out of its socket: the application's descriptor hangs up and the
    // name disappears.
    virtual void unplug() = 0;
    virtual void plugIn() = 0;

    // Whether DTR/RTS requests reach the board at all: a pseudo-terminal refuses them.
    virtual bool observesModemLines() const = 0;
    virtual std::vector<ModemLineRequest> modemLineLog() const { return {}; }
    // TIOCM_DTR and TIOCM_RTS as last set.
    virtual int modemLines() const { return 0; }
    // Rising DTR edges seen, each of which resets an Uno.
    virtual std::uint64_t resets() const { return 0; }
};

// A new pseudo-terminal in raw mode (no echo, no line editing, no newline translation), as the
// board side of a serial line: returns the master, non-blocking and close-on-exec, and stores the
// slave's path. Throws std::runtime_error on failure.
int openBoardPseudoTerminal(std::string& slavePath);

} // namespace velmora::simboard

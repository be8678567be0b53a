#pragma once

#include "tests/helpers/PseudoTerminal.h"

#include <string>

namespace velmora::testing {

// A board that can be unplugged and plugged back under the same device path, for any user: one
// real pseudo-terminal for the board's whole life. Unplugging ends the port's reading the way a
// vanished USB board does, with end of file: the board's side puts the line into canonical mode
// and sends the end-of-file character. The node stays, which a session never looks at: it goes
// by the port lists it is told of.
class FakeBoard {
public:
    const std::string& path() const { return pty_.devicePath(); }
    PseudoTerminal& line() { return pty_; }
    bool isPluggedIn() const { return pluggedIn_; }

    void unplug();
    void plugIn() { pluggedIn_ = true; }

private:
    PseudoTerminal pty_;
    bool pluggedIn_ = true;
};

} // namespace velmora::testing

#include "tests/helpers/FakeBoard.h"

#include <stdexcept>
#include <termios.h>

namespace velmora::testing {

void FakeBoard::unplug()
{
    if (!pluggedIn_)
        return;
    pluggedIn_ = false;
    // Line settings made through the master are the slave's own.
    termios attributes{};
    if (::tcgetattr(pty_.master(), &attributes) != 0)
        throw std::runtime_error("cannot read the line settings of " + path());
    attributes.c_lflag |= ICANON;
    attributes.c_cc[VEOF] = 0x04;
    if (::tcsetattr(pty_.master(), TCSANOW, &attributes) != 0)
        throw std::runtime_error("cannot change the line settings of " + path());
    pty_.writeToPort(std::string(1, '\x04'));
}

} // namespace velmora::testing

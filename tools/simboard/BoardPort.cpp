#include "tools/simboard/BoardPort.h"

#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <stdexcept>

namespace velmora::simboard {

int openBoardPseudoTerminal(std::string& slavePath)
{
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    if (master < 0)
        throw std::runtime_error("cannot create a pseudo-terminal");
    if (::grantpt(master) != 0 || ::unlockpt(master) != 0) {
        ::close(master);
        throw std::runtime_error("cannot unlock a pseudo-terminal");
    }
    // Until the application sets its own mode, an echoing line discipline would hand the
    // board's lines straight back to it as commands.
    termios attributes{};
    if (::tcgetattr(master, &attributes) == 0) {
        ::cfmakeraw(&attributes);
        ::tcsetattr(master, TCSANOW, &attributes);
    }
    slavePath = ::ptsname(master);
    // The master reports a hang-up only once a slave was open and closed again; from then on
    // it tells whether anyone has the device open.
    const int slave = ::open(slavePath.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave >= 0)
        ::close(slave);
    return master;
}

} // namespace velmora::simboard

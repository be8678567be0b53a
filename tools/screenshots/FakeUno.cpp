#include "tools/screenshots/FakeUno.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>

namespace velmora::tools {

bool FakeUno::send(std::string_view bytes)
{
    const int boardSide = port_.boardSide();
    while (!bytes.empty()) {
        const ssize_t written = ::write(boardSide, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0 && errno == EAGAIN) {
            pollfd writable{boardSide, POLLOUT, 0};
            if (::poll(&writable, 1, 1000) == 1)
                continue;
        }
        if (written <= 0)
            return false;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

std::string FakeUno::takeReceived()
{
    std::string received;
    char buffer[4096];
    for (;;) {
        const ssize_t count = ::read(port_.boardSide(), buffer, sizeof buffer);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            return received;
        received.append(buffer, static_cast<std::size_t>(count));
    }
}

} // namespace velmora::tools

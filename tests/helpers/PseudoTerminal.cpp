#include "tests/helpers/PseudoTerminal.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace velmora::testing {

PseudoTerminal::PseudoTerminal()
{
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0)
        throw std::runtime_error("cannot create a pseudo-terminal");
    devicePath_ = ::ptsname(master_);
}

PseudoTerminal::~PseudoTerminal()
{
    closeMaster();
}

void PseudoTerminal::writeToPort(const std::vector<std::uint8_t>& bytes)
{
    std::size_t offset = 0;
    while (offset < bytes.size()) {
        const ssize_t count = ::write(master_, bytes.data() + offset, bytes.size() - offset);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            throw std::runtime_error("writing to the pseudo-terminal failed");
        offset += static_cast<std::size_t>(count);
    }
}

void PseudoTerminal::writeToPort(const std::string& text)
{
    writeToPort(std::vector<std::uint8_t>(text.begin(), text.end()));
}

std::vector<std::uint8_t> PseudoTerminal::readFromPort(std::size_t count, std::chrono::milliseconds timeout)
{
    std::vector<std::uint8_t> result;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    std::uint8_t buffer[4096];
    while (result.size() < count) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            break;
        pollfd readable{master_, POLLIN, 0};
        if (::poll(&readable, 1, static_cast<int>(left.count())) <= 0)
            continue;
        const ssize_t got = ::read(master_, buffer, std::min(sizeof buffer, count - result.size()));
        if (got <= 0)
            break;
        result.insert(result.end(), buffer, buffer + got);
    }
    return result;
}

void PseudoTerminal::closeMaster()
{
    if (master_ >= 0)
        ::close(master_);
    master_ = -1;
}

void PseudoTerminal::makeAccessibleToEveryone()
{
    ::chmod(devicePath_.c_str(), 0666);
}

} // namespace velmora::testing

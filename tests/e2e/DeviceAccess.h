#pragma once

#include <fcntl.h>
#include <sys/file.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <iterator>
#include <optional>
#include <string>

namespace velmora::testing {

// A device's terminal attributes as tcgetattr reads them through a descriptor of our own.
// Nothing while an application holds the device and we are not root: its exclusive open keeps
// others out.
inline std::optional<termios> terminalAttributes(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    termios attributes{};
    const int result = ::tcgetattr(fd, &attributes);
    ::close(fd);
    if (result != 0)
        return std::nullopt;
    return attributes;
}

inline bool sameAttributes(const termios& a, const termios& b)
{
    return a.c_iflag == b.c_iflag && a.c_oflag == b.c_oflag && a.c_cflag == b.c_cflag && a.c_lflag == b.c_lflag &&
        std::equal(std::begin(a.c_cc), std::end(a.c_cc), std::begin(b.c_cc)) &&
        ::cfgetispeed(&a) == ::cfgetispeed(&b) && ::cfgetospeed(&a) == ::cfgetospeed(&b);
}

// True when nobody holds the device: it opens and its lock is free, as for any other program.
inline bool isFree(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool locked = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    ::close(fd);
    return locked;
}

} // namespace velmora::testing

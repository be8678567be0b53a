// Only the kernel's terminal definitions here: <termios.h> declares a different struct termios.
#include "core/serial/LineAttributes.h"

#include <asm/ioctls.h>
#include <asm/termbits.h>
#include <cerrno>
#include <cstring>
#include <sys/ioctl.h>

namespace velmora {
namespace {

static_assert(sizeof(termios2) == 44, "LineAttributes holds exactly one struct termios2");

termios2 unpack(const std::array<unsigned char, 44>& raw)
{
    termios2 record;
    std::memcpy(&record, raw.data(), sizeof record);
    return record;
}

void pack(const termios2& record, std::array<unsigned char, 44>& raw)
{
    std::memcpy(raw.data(), &record, sizeof record);
}

int ioctlResult(int result)
{
    return result == 0 ? 0 : errno;
}

tcflag_t characterSize(DataBits bits)
{
    switch (bits) {
    case DataBits::five:
        return CS5;
    case DataBits::six:
        return CS6;
    case DataBits::seven:
        return CS7;
    case DataBits::eight:
        return CS8;
    }
    return CS8;
}

void setSpeed(termios2& record, speed_t rate)
{
    record.c_cflag &= ~(CBAUD | (CBAUD << IBSHIFT));
    record.c_cflag |= BOTHER | (BOTHER << IBSHIFT);
    record.c_ispeed = rate;
    record.c_ospeed = rate;
}

} // namespace

int LineAttributes::read(int fd, LineAttributes& out)
{
    termios2 record{};
    if (::ioctl(fd, TCGETS2, &record) != 0)
        return errno;
    pack(record, out.raw_);
    return 0;
}

int LineAttributes::apply(int fd) const
{
    termios2 record = unpack(raw_);
    return ioctlResult(::ioctl(fd, TCSETS2, &record));
}

LineAttributes LineAttributes::configuredFor(const PortSettings& settings) const
{
    termios2 t = unpack(raw_);

    // What cfmakeraw does.
    t.c_iflag &= ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON);
    t.c_oflag &= ~OPOST;
    t.c_lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    t.c_cflag &= ~(CSIZE | PARENB);
    t.c_cflag |= CS8;

    t.c_cflag &= ~(CSIZE | CSTOPB | CREAD | PARENB | PARODD | CLOCAL | CRTSCTS);
    t.c_cflag |= characterSize(settings.dataBits) | CREAD | CLOCAL;
    switch (settings.parity) {
    case Parity::none:
        break;
    case Parity::even:
        t.c_cflag |= PARENB;
        break;
    case Parity::odd:
        t.c_cflag |= PARENB | PARODD;
        break;
    }
    if (settings.stopBits == StopBits::two)
        t.c_cflag |= CSTOPB;

    t.c_iflag &= ~(IXANY | IXOFF | IXON | ISTRIP | INPCK);
    if (settings.parity != Parity::none)
        t.c_iflag |= INPCK;

    switch (settings.flowControl) {
    case FlowControl::none:
        break;
    case FlowControl::rtsCts:
        t.c_cflag |= CRTSCTS;
        break;
    case FlowControl::xonXoff:
        t.c_iflag |= IXON | IXOFF;
        break;
    }

    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;

    // A standard rate first; the exact one follows in a request of its own, whose failure can
    // then be told apart from a refusal of the frame settings.
    t.c_cflag &= ~(CBAUD | (CBAUD << IBSHIFT) | CBAUDEX);
    t.c_cflag |= B9600;
    t.c_ispeed = 9600;
    t.c_ospeed = 9600;

    LineAttributes result;
    pack(t, result.raw_);
    return result;
}

int LineAttributes::setExactSpeed(int fd, std::uint32_t rate)
{
    termios2 record{};
    if (::ioctl(fd, TCGETS2, &record) != 0)
        return errno;
    setSpeed(record, rate);
    return ioctlResult(::ioctl(fd, TCSETS2, &record));
}

int LineAttributes::flush(int fd)
{
    return ioctlResult(::ioctl(fd, TCFLSH, TCIOFLUSH));
}

std::uint32_t LineAttributes::inputSpeed() const
{
    return unpack(raw_).c_ispeed;
}
std::uint32_t LineAttributes::outputSpeed() const
{
    return unpack(raw_).c_ospeed;
}
std::uint32_t LineAttributes::inputFlags() const
{
    return unpack(raw_).c_iflag;
}
std::uint32_t LineAttributes::outputFlags() const
{
    return unpack(raw_).c_oflag;
}
std::uint32_t LineAttributes::controlFlags() const
{
    return unpack(raw_).c_cflag;
}
std::uint32_t LineAttributes::localFlags() const
{
    return unpack(raw_).c_lflag;
}

} // namespace velmora

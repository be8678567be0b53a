#include "core/serial/ModemLineControl.h"

#include <cerrno>
#include <sys/ioctl.h>

namespace velmora {
namespace {

class IoctlModemLineControl final : public ModemLineControl {
public:
    int get(int fd, int& bits) override { return ::ioctl(fd, TIOCMGET, &bits) == 0 ? 0 : errno; }
    int set(int fd, int bits) override { return ::ioctl(fd, TIOCMBIS, &bits) == 0 ? 0 : errno; }
    int clear(int fd, int bits) override { return ::ioctl(fd, TIOCMBIC, &bits) == 0 ? 0 : errno; }
};

} // namespace

int ModemLineControl::outputQueued(int fd, int& bytes)
{
    return ::ioctl(fd, TIOCOUTQ, &bytes) == 0 ? 0 : errno;
}

std::shared_ptr<ModemLineControl> systemModemLineControl()
{
    static const auto control = std::make_shared<IoctlModemLineControl>();
    return control;
}

} // namespace velmora

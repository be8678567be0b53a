#include "tools/simboard/PtyPort.h"

#include <unistd.h>

#include <stdexcept>

namespace velmora::simboard {

PtyPort::PtyPort(std::string linkPath) : linkPath_(std::move(linkPath))
{
    plugIn();
}

PtyPort::~PtyPort()
{
    unplug();
}

std::string PtyPort::devicePath() const
{
    return linkPath_.empty() ? slavePath_ : linkPath_;
}

void PtyPort::unplug()
{
    if (master_ < 0)
        return;
    ::close(master_);
    master_ = -1;
    if (!linkPath_.empty())
        ::unlink(linkPath_.c_str());
}

void PtyPort::plugIn()
{
    if (master_ >= 0)
        return;
    master_ = openBoardPseudoTerminal(slavePath_);
    if (linkPath_.empty())
        return;
    ::unlink(linkPath_.c_str());
    if (::symlink(slavePath_.c_str(), linkPath_.c_str()) != 0) {
        ::close(master_);
        master_ = -1;
        throw std::runtime_error("cannot create " + linkPath_);
    }
}

} // namespace velmora::simboard

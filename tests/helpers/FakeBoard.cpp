#include "tests/helpers/FakeBoard.h"

#include <atomic>
#include <stdexcept>
#include <unistd.h>

namespace velmora::testing {

bool FakeBoard::isPossible()
{
    return ::access("/dev", W_OK) == 0;
}

FakeBoard::FakeBoard()
{
    static std::atomic<int> counter{0};
    path_ = "/dev/ttyVelmoraTest" + std::to_string(::getpid()) + "x" + std::to_string(counter++);
    plugIn();
}

FakeBoard::~FakeBoard()
{
    unplug();
}

void FakeBoard::plugIn()
{
    if (pty_)
        return;
    pty_ = std::make_unique<PseudoTerminal>();
    ::unlink(path_.c_str());
    if (::symlink(pty_->devicePath().c_str(), path_.c_str()) != 0)
        throw std::runtime_error("cannot create " + path_);
}

void FakeBoard::unplug()
{
    if (!pty_)
        return;
    pty_->closeMaster();
    ::unlink(path_.c_str());
    pty_.reset();
}

} // namespace velmora::testing

#include "core/exec/MainQueue.h"

namespace velmora {

void TaskHandle::cancel()
{
    if (token_)
        token_->cancel();
}

bool TaskHandle::isPending() const
{
    return token_ && !token_->isCancelled() && !token_->hasStarted();
}

} // namespace velmora

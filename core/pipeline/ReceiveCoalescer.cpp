#include "core/pipeline/ReceiveCoalescer.h"

#include <utility>

namespace velmora {

std::shared_ptr<ReceiveCoalescer> ReceiveCoalescer::create(MainQueue& mainQueue, Handler handler, WallClock wallClock)
{
    return std::shared_ptr<ReceiveCoalescer>(new ReceiveCoalescer(mainQueue, std::move(handler), std::move(wallClock)));
}

ReceiveCoalescer::ReceiveCoalescer(MainQueue& mainQueue, Handler handler, WallClock wallClock)
    : mainQueue_(mainQueue), handler_(std::move(handler)), wallClock_(std::move(wallClock))
{
}

void ReceiveCoalescer::receive(std::vector<std::uint8_t> data)
{
    ReceivedChunk chunk{wallClock_(), std::move(data)};
    const auto size = static_cast<std::int64_t>(chunk.data.size());
    bool wasScheduled = false;
    {
        std::lock_guard guard(lock_);
        if (pendingBytes_ + size <= maxPending) {
            pending_.push_back(std::move(chunk));
            pendingBytes_ += size;
        } else {
            droppedBytes_ += size;
        }
        wasScheduled = std::exchange(scheduled_, true);
    }
    if (!wasScheduled) {
        mainQueue_.postAfter(deliveryDelay, [weakSelf = weak_from_this()] {
            if (auto self = weakSelf.lock())
                self->deliver();
        });
    }
}

void ReceiveCoalescer::deliver()
{
    std::vector<ReceivedChunk> chunks;
    std::int64_t dropped = 0;
    {
        std::lock_guard guard(lock_);
        chunks.swap(pending_);
        dropped = std::exchange(droppedBytes_, 0);
        pendingBytes_ = 0;
        scheduled_ = false;
    }
    if (handler_)
        handler_(std::move(chunks), dropped);
}

ReceiveCoalescer::Drained ReceiveCoalescer::drain()
{
    Drained drained;
    std::lock_guard guard(lock_);
    drained.chunks.swap(pending_);
    drained.droppedBytes = std::exchange(droppedBytes_, 0);
    pendingBytes_ = 0;
    return drained;
}

} // namespace velmora

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
    if (!wasScheduled)
        scheduleDelivery(deliveryDelay);
}

void ReceiveCoalescer::scheduleDelivery(std::chrono::milliseconds delay)
{
    auto run = [weakSelf = weak_from_this()] {
        if (auto self = weakSelf.lock())
            self->deliver();
    };
    if (delay.count() == 0)
        mainQueue_.post(std::move(run));
    else
        mainQueue_.postAfter(delay, std::move(run));
}

void ReceiveCoalescer::deliver()
{
    Drained slice;
    bool more = false;
    {
        std::lock_guard guard(lock_);
        slice = takeLocked(maxSliceBytes);
        more = !pending_.empty();
        // While a slice follows, pieces arriving meanwhile join it instead of waiting 30 ms more.
        scheduled_ = more;
    }
    if (more)
        scheduleDelivery(std::chrono::milliseconds{0});
    if (handler_)
        handler_(std::move(slice.chunks), slice.droppedBytes);
}

ReceiveCoalescer::Drained ReceiveCoalescer::takeSlice()
{
    std::lock_guard guard(lock_);
    return takeLocked(maxSliceBytes);
}

ReceiveCoalescer::Drained ReceiveCoalescer::drain()
{
    std::lock_guard guard(lock_);
    // Never more than maxPending waits, so this is all of it.
    return takeLocked(maxPending);
}

void ReceiveCoalescer::discard()
{
    // Destroyed after the lock is released: freeing megabytes is no work for the I/O queue to wait on.
    std::deque<ReceivedChunk> forgotten;
    std::lock_guard guard(lock_);
    forgotten.swap(pending_);
    droppedBytes_ = 0;
    pendingBytes_ = 0;
    handedOnCount_ += forgotten.size();
}

ReceiveCoalescer::Drained ReceiveCoalescer::takeLocked(std::int64_t maxBytes)
{
    Drained taken;
    taken.droppedBytes = std::exchange(droppedBytes_, 0);
    std::int64_t bytes = 0;
    while (!pending_.empty()) {
        const auto size = static_cast<std::int64_t>(pending_.front().data.size());
        if (!taken.chunks.empty() && bytes + size > maxBytes)
            break;
        bytes += size;
        taken.chunks.push_back(std::move(pending_.front()));
        pending_.pop_front();
    }
    pendingBytes_ -= bytes;
    handedOnCount_ += taken.chunks.size();
    return taken;
}

std::int64_t ReceiveCoalescer::pendingBytes() const
{
    std::lock_guard guard(lock_);
    return pendingBytes_;
}

std::uint64_t ReceiveCoalescer::keptCount() const
{
    std::lock_guard guard(lock_);
    return handedOnCount_ + pending_.size();
}

std::uint64_t ReceiveCoalescer::handedOnCount() const
{
    std::lock_guard guard(lock_);
    return handedOnCount_;
}

} // namespace velmora

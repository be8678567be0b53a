#pragma once

#include "core/exec/ManualMainQueue.h"
#include "core/pipeline/ReceiveCoalescer.h"

#include <chrono>
#include <functional>

namespace velmora::testing {

// Runs the main queue and moves its virtual clock on in delivery steps until condition holds, so
// that bytes a real port receives reach the session; false when realTimeout passes first.
inline bool pumpDeliveries(ManualMainQueue& queue, const std::function<bool()>& condition,
    std::chrono::milliseconds realTimeout = std::chrono::seconds(5))
{
    const auto deadline = std::chrono::steady_clock::now() + realTimeout;
    while (std::chrono::steady_clock::now() < deadline) {
        if (queue.runUntil(condition, std::chrono::milliseconds(10)))
            return true;
        queue.advance(ReceiveCoalescer::deliveryDelay);
    }
    return condition();
}

} // namespace velmora::testing

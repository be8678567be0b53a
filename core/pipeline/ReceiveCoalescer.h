#pragma once

#include "core/exec/MainQueue.h"
#include "core/pipeline/ReceivedChunk.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace velmora {

// Collects the pieces a port reads on its I/O queue and hands them to the main thread in
// batches, one delivery 30 ms after the first piece of a batch. At most 4 MiB wait at any time:
// a piece that would go beyond is dropped whole and counted, and the count travels with the next
// batch. One per session, reused across its connections.
//
// Threads: receive() runs on a port's I/O queue; deliver(), drain() and the handler on the main
// thread. The lock guards only the pending list and its counters.
class ReceiveCoalescer : public std::enable_shared_from_this<ReceiveCoalescer> {
public:
    using Handler = std::function<void(std::vector<ReceivedChunk> chunks, std::int64_t droppedBytes)>;
    using WallClock = std::function<std::chrono::system_clock::time_point()>;

    static constexpr std::int64_t maxPending = 4'194'304;
    static constexpr std::chrono::milliseconds deliveryDelay{30};

    struct Drained {
        std::vector<ReceivedChunk> chunks;
        std::int64_t droppedBytes = 0;
    };

    // The clock stamps arrival times; tests may pass their own.
    static std::shared_ptr<ReceiveCoalescer> create(MainQueue& mainQueue, Handler handler,
        WallClock wallClock = [] { return std::chrono::system_clock::now(); });

    // Called for every piece a read returns; never calls the handler itself.
    void receive(std::vector<std::uint8_t> data);
    // Takes the whole batch and hands it to the handler, even when it is empty.
    void deliver();
    // Takes what is waiting without calling the handler; a scheduled delivery still comes.
    Drained drain();

private:
    ReceiveCoalescer(MainQueue& mainQueue, Handler handler, WallClock wallClock);

    MainQueue& mainQueue_;
    const Handler handler_;
    const WallClock wallClock_;

    std::mutex lock_;
    std::vector<ReceivedChunk> pending_;
    std::int64_t pendingBytes_ = 0;
    std::int64_t droppedBytes_ = 0;
    bool scheduled_ = false;
};

} // namespace velmora

#pragma once

#include "core/exec/MainQueue.h"
#include "core/pipeline/ReceivedChunk.h"

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace velmora {

// Collects the pieces a port reads on its I/O queue and hands them to the main thread in
// batches, one delivery 30 ms after the first piece of a batch. Everything received and not yet
// handed on counts against one budget of 4 MiB, however far the main thread has fallen behind: a
// piece that would go beyond is dropped whole and counted, and the count travels with the next
// batch. A big batch is handed on a slice per turn of the main queue, so that the window keeps
// answering while it is shown; pieces arriving meanwhile queue behind it. One per session,
// reused across its connections.
//
// Threads: receive() runs on a port's I/O queue; everything else, and the handler, on the main
// thread. The lock guards only the pending list and its counters.
class ReceiveCoalescer : public std::enable_shared_from_this<ReceiveCoalescer> {
public:
    using Handler = std::function<void(std::vector<ReceivedChunk> chunks, std::int64_t droppedBytes)>;
    using WallClock = std::function<std::chrono::system_clock::time_point()>;

    static constexpr std::int64_t maxPending = 4'194'304;
    static constexpr std::chrono::milliseconds deliveryDelay{30};
    // What one turn of the main queue is given to show: whole pieces up to this, and at least one.
    static constexpr std::int64_t maxSliceBytes = 512 * 1024;

    struct Drained {
        std::vector<ReceivedChunk> chunks;
        std::int64_t droppedBytes = 0;
    };

    // The clock stamps arrival times; tests may pass their own.
    static std::shared_ptr<ReceiveCoalescer> create(
        MainQueue& mainQueue, Handler handler, WallClock wallClock = [] { return std::chrono::system_clock::now(); });

    // Called for every piece a read returns; never calls the handler itself.
    void receive(std::vector<std::uint8_t> data);
    // Hands the oldest slice and the dropped count to the handler, even when both are empty;
    // while more waits, the next slice follows on the main queue's next turn.
    void deliver();
    // Takes the oldest slice without calling the handler, for a caller that must show what
    // arrived before something of its own; a scheduled delivery still comes.
    Drained takeSlice();
    // Takes everything waiting without calling the handler; a scheduled delivery still comes.
    Drained drain();
    // Forgets everything waiting, dropped counts included.
    void discard();

    // Bytes received and not yet handed on; never more than maxPending.
    std::int64_t pendingBytes() const;
    // Pieces kept since creation, and pieces handed on (delivered, taken, drained or discarded)
    // since creation, both in arrival order: the last piece of a batch just handed on is piece
    // number handedOnCount(), and a piece counted by keptCount() now is handed on once
    // handedOnCount() reaches that count.
    std::uint64_t keptCount() const;
    std::uint64_t handedOnCount() const;

private:
    ReceiveCoalescer(MainQueue& mainQueue, Handler handler, WallClock wallClock);

    // With the lock held: moves the oldest pieces, up to maxBytes, and the dropped count out.
    Drained takeLocked(std::int64_t maxBytes);
    void scheduleDelivery(std::chrono::milliseconds delay);

    MainQueue& mainQueue_;
    const Handler handler_;
    const WallClock wallClock_;

    mutable std::mutex lock_;
    // Oldest first; a deque, so that neither an append nor handing on a slice moves the rest.
    std::deque<ReceivedChunk> pending_;
    std::int64_t pendingBytes_ = 0;
    std::int64_t droppedBytes_ = 0;
    std::uint64_t handedOnCount_ = 0;
    bool scheduled_ = false;
};

} // namespace velmora

#pragma once

#include "core/exec/MainQueue.h"

#include <condition_variable>
#include <cstdint>
#include <map>
#include <mutex>
#include <utility>

namespace velmora {

// A main queue with a virtual clock, for tests and tools. Nothing runs until the owner asks:
// runReady() runs what is due now, advance() moves the clock and runs what falls due on the way,
// runUntil() also waits (in real time) for tasks that other threads post, such as a port's I/O
// queue handing over received bytes. The thread that calls these is the "main thread".
class ManualMainQueue final : public MainQueue {
public:
    void post(Task task) override;
    TaskHandle postAfter(std::chrono::milliseconds delay, Task task) override;
    Clock::time_point now() const override;

    // Runs every task due at the current time, including tasks those tasks post for now.
    // Returns how many ran.
    std::size_t runReady();
    // Moves the clock forward by delay, stopping at each due time on the way to run what is due
    // there, in order. Tasks posted meanwhile for a time inside the interval run too.
    void advance(std::chrono::milliseconds delay);
    // Runs ready tasks, waiting up to realTimeout for more to be posted, until condition holds.
    // The virtual clock does not move. Returns whether the condition held.
    bool runUntil(const std::function<bool()>& condition, std::chrono::milliseconds realTimeout);
    // Waits (in real time) until at least count tasks are scheduled, without running any, and
    // returns whether that happened within realTimeout.
    bool waitForPending(std::size_t count, std::chrono::milliseconds realTimeout);
    // Tasks scheduled and not cancelled, ready or not.
    std::size_t pendingCount() const;

private:
    struct Entry {
        std::shared_ptr<TaskToken> token;
        Task task;
    };
    using Key = std::pair<Clock::time_point, std::uint64_t>;

    void schedule(Clock::time_point due, std::shared_ptr<TaskToken> token, Task task);
    // Takes the earliest task due at or before limit, if any.
    bool takeDue(Clock::time_point limit, Entry& out);

    mutable std::mutex mutex_;
    std::condition_variable posted_;
    std::map<Key, Entry> tasks_;
    std::uint64_t sequence_ = 0;
    Clock::time_point now_{};
};

} // namespace velmora

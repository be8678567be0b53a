#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>

namespace velmora {

using Task = std::function<void()>;

// Shared between a delayed task and its handle: whoever holds the handle can stop the task
// from running, from any thread, as long as it has not started.
class TaskToken {
public:
    void cancel() { cancelled_.store(true); }
    bool isCancelled() const { return cancelled_.load(); }
    // Called by the queue right before it runs the task; false when it was cancelled first.
    bool begin() { return !cancelled_.load() && !started_.exchange(true); }
    bool hasStarted() const { return started_.load(); }

private:
    std::atomic<bool> cancelled_{false};
    std::atomic<bool> started_{false};
};

// Handle of a delayed task. Copies refer to the same task; an empty handle cancels nothing.
class TaskHandle {
public:
    TaskHandle() = default;
    explicit TaskHandle(std::shared_ptr<TaskToken> token) : token_(std::move(token)) {}

    void cancel();
    // True while the task is scheduled and neither run nor cancelled.
    bool isPending() const;

private:
    std::shared_ptr<TaskToken> token_;
};

// The main thread's task queue. Everything in core that waits for time asks this interface,
// so tests can drive a virtual clock. post and postAfter may be called from any thread; the
// tasks always run on the main thread, in order of due time, tasks due together in the order
// they were posted.
class MainQueue {
public:
    using Clock = std::chrono::steady_clock;

    virtual ~MainQueue() = default;

    virtual void post(Task task) = 0;
    virtual TaskHandle postAfter(std::chrono::milliseconds delay, Task task) = 0;
    // The queue's monotonic time, for rules such as "at most every 0.1 s".
    virtual Clock::time_point now() const = 0;
};

} // namespace velmora

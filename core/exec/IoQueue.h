#pragma once

#include "core/exec/MainQueue.h"

#include <chrono>
#include <memory>
#include <string>
#include <string_view>
#include <thread>

namespace velmora {

class IoQueue;

// Watches one descriptor for readability on an IoQueue, and for room to write while asked to.
// Created suspended; resume() starts the watch. cancel() stops it for good and then runs the
// cancel handler on the queue, after the source's handler that is running (if cancel() came
// from there) has returned, so a descriptor closed by the cancel handler is never closed under a
// handler's feet; called from a task on the queue, it runs the cancel handler at once.
class ReadSource {
public:
    void resume();
    void cancel();
    bool isCancelled() const;
    // Leaves the descriptor unwatched for reading for duration; tasks still run meanwhile. Meant
    // for the event handler: a source that trickles can be read in fewer, larger pieces.
    void restFor(std::chrono::steady_clock::duration duration);
    // While onWritable is set, it runs on the queue whenever the descriptor has room to write
    // (or has hung up or failed); an empty task stops that watch. On the queue only.
    void watchWritable(Task onWritable);

private:
    friend class IoQueue;
    struct State;
    explicit ReadSource(std::shared_ptr<State> state) : state_(std::move(state)) {}
    std::shared_ptr<State> state_;
};

// A serial queue backed by one thread of its own: tasks run one after another in the order they
// were queued, delayed tasks join them when due, and read sources fire between tasks. Sources
// are polled after every batch of tasks and, within a long batch, every fairnessSlice, so a
// stream of tasks delays a readable source by about that much and no more. Thread-safe; may be
// destroyed from any thread, including its own (from inside a task): queued tasks still run,
// delayed ones that are not yet due are dropped, then the thread ends.
class IoQueue {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::milliseconds fairnessSlice{2};

    explicit IoQueue(std::string label);
    ~IoQueue();
    IoQueue(const IoQueue&) = delete;
    IoQueue& operator=(const IoQueue&) = delete;

    const std::string& label() const { return label_; }
    // The name the thread carries in the system, which allows 15 characters: leading components
    // of the label are dropped until it fits ("org.velmora.Velmora.io" becomes "Velmora.io").
    static std::string threadNameFor(std::string_view label);

    void async(Task task);
    // Runs task on the queue once delay has passed, unless the handle cancels it first. Tasks due
    // together run in the order they were scheduled.
    TaskHandle asyncAfter(std::chrono::milliseconds delay, Task task);
    // Runs task on the queue and returns when it has finished; runs it at once when called on
    // the queue itself.
    void sync(const Task& task);
    bool isCurrent() const;

    // onEvent runs on the queue whenever fd is readable (or has hung up or failed); onCancel runs
    // once on the queue after cancel().
    std::shared_ptr<ReadSource> makeReadSource(int fd, Task onEvent, Task onCancel);

private:
    friend class ReadSource;
    struct State;
    std::string label_;
    std::shared_ptr<State> state_;
    std::thread thread_;
};

} // namespace velmora

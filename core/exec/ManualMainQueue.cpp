#include "core/exec/ManualMainQueue.h"

namespace velmora {

void ManualMainQueue::post(Task task)
{
    std::lock_guard lock(mutex_);
    schedule(now_, std::make_shared<TaskToken>(), std::move(task));
}

TaskHandle ManualMainQueue::postAfter(std::chrono::milliseconds delay, Task task)
{
    auto token = std::make_shared<TaskToken>();
    std::lock_guard lock(mutex_);
    schedule(now_ + std::max(delay, std::chrono::milliseconds{0}), token, std::move(task));
    return TaskHandle(token);
}

MainQueue::Clock::time_point ManualMainQueue::now() const
{
    std::lock_guard lock(mutex_);
    return now_;
}

void ManualMainQueue::schedule(Clock::time_point due, std::shared_ptr<TaskToken> token, Task task)
{
    tasks_.emplace(Key{due, sequence_++}, Entry{std::move(token), std::move(task)});
    posted_.notify_all();
}

bool ManualMainQueue::takeDue(Clock::time_point limit, Entry& out)
{
    std::lock_guard lock(mutex_);
    while (!tasks_.empty()) {
        auto first = tasks_.begin();
        if (first->first.first > limit)
            return false;
        out = std::move(first->second);
        // A task due later than now is only taken by advance(), which moves the clock to it.
        now_ = std::max(now_, first->first.first);
        tasks_.erase(first);
        if (!out.token->isCancelled())
            return true;
    }
    return false;
}

std::size_t ManualMainQueue::runReady()
{
    std::size_t count = 0;
    Entry entry;
    while (takeDue(now(), entry)) {
        if (entry.token->begin()) {
            entry.task();
            ++count;
        }
    }
    return count;
}

void ManualMainQueue::advance(std::chrono::milliseconds delay)
{
    const auto target = now() + delay;
    Entry entry;
    while (takeDue(target, entry)) {
        if (entry.token->begin())
            entry.task();
    }
    std::lock_guard lock(mutex_);
    now_ = target;
}

bool ManualMainQueue::runUntil(const std::function<bool()>& condition, std::chrono::milliseconds realTimeout)
{
    const auto deadline = std::chrono::steady_clock::now() + realTimeout;
    for (;;) {
        runReady();
        if (condition())
            return true;
        std::unique_lock lock(mutex_);
        const bool ready = posted_.wait_until(
            lock, deadline, [this] { return !tasks_.empty() && tasks_.begin()->first.first <= now_; });
        if (!ready) {
            lock.unlock();
            runReady();
            return condition();
        }
    }
}

bool ManualMainQueue::waitForPending(std::size_t count, std::chrono::milliseconds realTimeout)
{
    std::unique_lock lock(mutex_);
    return posted_.wait_for(lock, realTimeout, [&] {
        std::size_t live = 0;
        for (const auto& [key, entry] : tasks_)
            live += entry.token->isCancelled() ? 0 : 1;
        return live >= count;
    });
}

std::size_t ManualMainQueue::pendingCount() const
{
    std::lock_guard lock(mutex_);
    std::size_t count = 0;
    for (const auto& [key, entry] : tasks_)
        count += entry.token->isCancelled() ? 0 : 1;
    return count;
}

} // namespace velmora

#include "app/platform/QtMainQueue.h"

#include <QSocketNotifier>

#include <sys/timerfd.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace velmora {

QtMainQueue::QtMainQueue(QObject* parent) : QObject(parent)
{
    // The steady clock is CLOCK_MONOTONIC, so its time points arm the descriptor as they are.
    timerFd_ = ::timerfd_create(CLOCK_MONOTONIC, TFD_CLOEXEC | TFD_NONBLOCK);
    if (timerFd_ < 0) {
        std::perror("Velmora: no timer descriptor for the main queue");
        std::abort();
    }
    notifier_ = new QSocketNotifier(timerFd_, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &QtMainQueue::runDueTasks);
}

QtMainQueue::~QtMainQueue()
{
    delete notifier_;
    ::close(timerFd_);
}

void QtMainQueue::post(Task task)
{
    QMetaObject::invokeMethod(
        this, [task = std::move(task)] { task(); }, Qt::QueuedConnection);
}

TaskHandle QtMainQueue::postAfter(std::chrono::milliseconds delay, Task task)
{
    auto token = std::make_shared<TaskToken>();
    const std::lock_guard lock(mutex_);
    const auto deadline = Clock::now() + delay;
    timed_.emplace(deadline, std::make_pair(token, std::move(task)));
    if (deadline < armed_)
        arm(deadline);
    return TaskHandle(token);
}

void QtMainQueue::arm(Clock::time_point deadline)
{
    armed_ = deadline;
    itimerspec when{};
    if (deadline != Clock::time_point::max()) {
        const auto since = std::chrono::duration_cast<std::chrono::nanoseconds>(deadline.time_since_epoch()).count();
        // Zero would disarm the descriptor; a deadline at the clock's origin is long past anyway.
        when.it_value.tv_sec = static_cast<time_t>(since / 1'000'000'000);
        when.it_value.tv_nsec = static_cast<long>(since % 1'000'000'000);
        if (when.it_value.tv_sec == 0 && when.it_value.tv_nsec == 0)
            when.it_value.tv_nsec = 1;
    }
    ::timerfd_settime(timerFd_, TFD_TIMER_ABSTIME, &when, nullptr);
}

void QtMainQueue::runDueTasks()
{
    std::uint64_t expirations = 0;
    [[maybe_unused]] const auto ignored = ::read(timerFd_, &expirations, sizeof expirations);
    std::vector<std::pair<std::shared_ptr<TaskToken>, Task>> due;
    {
        const std::lock_guard lock(mutex_);
        const auto now = Clock::now();
        while (!timed_.empty() && timed_.begin()->first <= now) {
            due.push_back(std::move(timed_.begin()->second));
            timed_.erase(timed_.begin());
        }
        arm(timed_.empty() ? Clock::time_point::max() : timed_.begin()->first);
    }
    for (auto& [token, task] : due) {
        if (token->begin())
            task();
    }
}

MainQueue::Clock::time_point QtMainQueue::now() const
{
    return Clock::now();
}

} // namespace velmora

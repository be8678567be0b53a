#include "core/exec/IoQueue.h"

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include <poll.h>
#include <pthread.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace velmora {

struct ReadSource::State {
    int fd = -1;
    Task onEvent;
    Task onCancel;
    // Touched on the queue's thread only, like the handlers.
    Task onWritable;
    bool resumed = false;
    bool cancelled = false;
    std::chrono::steady_clock::time_point restUntil;
    std::weak_ptr<IoQueue::State> queue;
};

struct IoQueue::State {
    struct Delayed {
        std::shared_ptr<TaskToken> token;
        Task task;
    };

    std::mutex mutex;
    std::deque<Task> tasks;
    // By due time; a multimap keeps tasks due together in the order they were scheduled.
    std::multimap<Clock::time_point, Delayed> delayed;
    std::vector<std::shared_ptr<ReadSource::State>> sources;
    bool stopping = false;
    int wakeFd = -1;
    std::thread::id threadId;

    ~State()
    {
        if (wakeFd >= 0)
            ::close(wakeFd);
    }

    void wake()
    {
        const std::uint64_t one = 1;
        while (::write(wakeFd, &one, sizeof one) < 0 && errno == EINTR) {}
    }

    void enqueue(Task task)
    {
        {
            std::lock_guard lock(mutex);
            tasks.push_back(std::move(task));
        }
        wake();
    }

    void run();
    // Polls the sources and runs the handlers of those that are ready. Blocking, it waits until
    // something happens, a delayed task falls due or a rest ends; otherwise it only looks.
    void pollSources(bool block);

    // Used by the queue's thread alone, kept between polls.
    std::vector<pollfd> fds;
    std::vector<std::shared_ptr<ReadSource::State>> watched;
    // The source whose handler runs right now, if any.
    const ReadSource::State* dispatching = nullptr;
};

void IoQueue::State::pollSources(bool block)
{
    fds.clear();
    watched.clear();
    fds.push_back({wakeFd, POLLIN, 0});
    std::optional<Clock::time_point> until;
    {
        std::lock_guard lock(mutex);
        const auto now = Clock::now();
        if (!delayed.empty())
            until = delayed.begin()->first;
        for (const auto& source : sources) {
            if (!source->resumed || source->cancelled)
                continue;
            short events = source->onWritable ? POLLOUT : 0;
            if (source->restUntil > now)
                until = until ? std::min(*until, source->restUntil) : source->restUntil;
            else
                events |= POLLIN;
            if (events == 0)
                continue;
            fds.push_back({source->fd, events, 0});
            watched.push_back(source);
        }
    }
    timespec timeout{};
    if (block && until) {
        const auto left = std::max(Clock::duration::zero(), *until - Clock::now());
        const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(left);
        timeout.tv_sec = static_cast<time_t>(seconds.count());
        timeout.tv_nsec =
            static_cast<long>(std::chrono::duration_cast<std::chrono::nanoseconds>(left - seconds).count());
    }
    const bool forever = block && !until;
    if (::ppoll(fds.data(), fds.size(), forever ? nullptr : &timeout, nullptr) <= 0)
        return; // nothing ready, or EINTR; anything else cannot happen with valid descriptors
    if (fds[0].revents & POLLIN) {
        std::uint64_t count = 0;
        [[maybe_unused]] auto ignored = ::read(wakeFd, &count, sizeof count);
    }
    for (std::size_t i = 1; i < fds.size(); ++i) {
        const short revents = fds[i].revents;
        if (revents == 0)
            continue;
        auto& source = watched[i - 1];
        const auto live = [&] {
            std::lock_guard lock(mutex);
            return !source->cancelled;
        };
        dispatching = source.get();
        if ((revents & POLLOUT) && source->onWritable && live()) {
            // A copy: the handler may well replace or drop itself.
            const Task onWritable = source->onWritable;
            onWritable();
        }
        const bool readable = revents & (POLLIN | POLLHUP | POLLERR | POLLNVAL);
        if ((fds[i].events & POLLIN) && readable && source->onEvent && live())
            source->onEvent();
        dispatching = nullptr;
    }
}

void IoQueue::State::run()
{
    for (;;) {
        // Everything queued so far, in order, then the delayed tasks now due. Tasks queued by
        // these wait for the next round.
        std::deque<Task> batch;
        {
            std::lock_guard lock(mutex);
            batch.swap(tasks);
            const auto now = Clock::now();
            while (!delayed.empty() && delayed.begin()->first <= now) {
                auto entry = std::move(delayed.begin()->second);
                delayed.erase(delayed.begin());
                if (entry.token->begin())
                    batch.push_back(std::move(entry.task));
            }
            if (batch.empty() && stopping) {
                delayed.clear();
                break;
            }
        }
        if (batch.empty()) {
            pollSources(true);
            continue;
        }
        auto lastPoll = Clock::now();
        for (auto& task : batch) {
            task();
            if (Clock::now() - lastPoll >= fairnessSlice) {
                pollSources(false);
                lastPoll = Clock::now();
            }
        }
        pollSources(false);
    }
}

IoQueue::IoQueue(std::string label) : label_(std::move(label)), state_(std::make_shared<State>())
{
    state_->wakeFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    thread_ = std::thread([state = state_] { state->run(); });
    state_->threadId = thread_.get_id();
    pthread_setname_np(thread_.native_handle(), threadNameFor(label_).c_str());
}

IoQueue::~IoQueue()
{
    // The thread finishes the queued tasks (among them cancel handlers that close descriptors)
    // and then ends. Waiting for it keeps "the owner is gone, so the port is closed" true,
    // except on that thread itself, where the wait would never end: there the thread keeps the
    // state alive and ends on its own once the current task returns.
    {
        std::lock_guard lock(state_->mutex);
        state_->stopping = true;
    }
    state_->wake();
    if (isCurrent())
        thread_.detach();
    else
        thread_.join();
}

std::string IoQueue::threadNameFor(std::string_view label)
{
    constexpr std::size_t limit = 15;
    while (label.size() > limit) {
        const auto dot = label.find('.');
        // Never drop down to the last component alone: keep as much of the end as fits instead.
        if (dot == std::string_view::npos || label.find('.', dot + 1) == std::string_view::npos)
            return std::string(label.substr(label.size() - limit));
        label.remove_prefix(dot + 1);
    }
    return std::string(label);
}

void IoQueue::async(Task task)
{
    state_->enqueue(std::move(task));
}

TaskHandle IoQueue::asyncAfter(std::chrono::milliseconds delay, Task task)
{
    auto token = std::make_shared<TaskToken>();
    {
        std::lock_guard lock(state_->mutex);
        state_->delayed.emplace(Clock::now() + delay, State::Delayed{token, std::move(task)});
    }
    // The thread may be waiting with a later deadline in mind.
    state_->wake();
    return TaskHandle(token);
}

void IoQueue::sync(const Task& task)
{
    if (isCurrent()) {
        task();
        return;
    }
    std::mutex doneMutex;
    std::condition_variable doneCondition;
    bool done = false;
    state_->enqueue([&] {
        task();
        std::lock_guard lock(doneMutex);
        done = true;
        doneCondition.notify_one();
    });
    std::unique_lock lock(doneMutex);
    doneCondition.wait(lock, [&] { return done; });
}

bool IoQueue::isCurrent() const
{
    return std::this_thread::get_id() == state_->threadId;
}

std::shared_ptr<ReadSource> IoQueue::makeReadSource(int fd, Task onEvent, Task onCancel)
{
    auto source = std::make_shared<ReadSource::State>();
    source->fd = fd;
    source->onEvent = std::move(onEvent);
    source->onCancel = std::move(onCancel);
    source->queue = state_;
    {
        std::lock_guard lock(state_->mutex);
        state_->sources.push_back(source);
    }
    return std::shared_ptr<ReadSource>(new ReadSource(source));
}

void ReadSource::resume()
{
    auto queue = state_->queue.lock();
    if (!queue)
        return;
    {
        std::lock_guard lock(queue->mutex);
        if (state_->cancelled)
            return;
        state_->resumed = true;
    }
    queue->wake();
}

void ReadSource::cancel()
{
    auto queue = state_->queue.lock();
    if (!queue)
        return;
    {
        std::lock_guard lock(queue->mutex);
        if (state_->cancelled)
            return;
        state_->cancelled = true;
        std::erase(queue->sources, state_);
    }
    auto finish = [state = state_] {
        state->onEvent = nullptr;
        state->onWritable = nullptr;
        if (auto onCancel = std::move(state->onCancel))
            onCancel();
    };
    // On the queue and outside this source's own handler nothing can be using the descriptor,
    // so the cancel handler runs at once: a port closed by a task has let go of its device when
    // the task returns, and can be opened again straight away.
    if (std::this_thread::get_id() == queue->threadId && queue->dispatching != state_.get())
        finish();
    else
        queue->enqueue(std::move(finish));
}

void ReadSource::restFor(std::chrono::steady_clock::duration duration)
{
    auto queue = state_->queue.lock();
    if (!queue)
        return;
    std::lock_guard lock(queue->mutex);
    state_->restUntil = std::chrono::steady_clock::now() + duration;
}

void ReadSource::watchWritable(Task onWritable)
{
    // The poll that follows the current task or event picks the change up; no wake-up needed.
    state_->onWritable = std::move(onWritable);
}

bool ReadSource::isCancelled() const
{
    auto queue = state_->queue.lock();
    if (!queue)
        return true;
    std::lock_guard lock(queue->mutex);
    return state_->cancelled;
}

} // namespace velmora

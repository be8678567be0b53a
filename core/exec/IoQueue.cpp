#include "core/exec/IoQueue.h"

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <deque>
#include <mutex>
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
    bool resumed = false;
    bool cancelled = false;
    std::chrono::steady_clock::time_point restUntil;
    std::weak_ptr<IoQueue::State> queue;
};

struct IoQueue::State {
    std::mutex mutex;
    std::deque<Task> tasks;
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
        while (::write(wakeFd, &one, sizeof one) < 0 && errno == EINTR) {
        }
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
};

void IoQueue::State::run()
{
    std::vector<pollfd> fds;
    std::vector<std::shared_ptr<ReadSource::State>> watched;
    for (;;) {
        // Tasks first: everything queued so far, in order. Tasks queued by these tasks wait for
        // the next round, so sources still get their turn under a steady stream of tasks.
        std::deque<Task> batch;
        // Resting sources are left out of this round; the earliest end of a rest bounds the wait.
        int timeoutMs = -1;
        {
            std::lock_guard lock(mutex);
            batch.swap(tasks);
            if (batch.empty() && stopping)
                break;
            watched.clear();
            const auto now = std::chrono::steady_clock::now();
            for (const auto& source : sources) {
                if (!source->resumed || source->cancelled)
                    continue;
                if (source->restUntil > now) {
                    const auto left = std::chrono::ceil<std::chrono::milliseconds>(source->restUntil - now).count();
                    timeoutMs = timeoutMs < 0 ? static_cast<int>(left) : std::min(timeoutMs, static_cast<int>(left));
                    continue;
                }
                watched.push_back(source);
            }
        }
        if (!batch.empty()) {
            for (auto& task : batch)
                task();
            continue;
        }

        fds.clear();
        fds.push_back({wakeFd, POLLIN, 0});
        for (const auto& source : watched)
            fds.push_back({source->fd, POLLIN, 0});
        if (::poll(fds.data(), fds.size(), timeoutMs) < 0)
            continue; // EINTR; anything else cannot happen with valid descriptors
        if (fds[0].revents & POLLIN) {
            std::uint64_t count = 0;
            [[maybe_unused]] auto ignored = ::read(wakeFd, &count, sizeof count);
        }
        for (std::size_t i = 1; i < fds.size(); ++i) {
            if (fds[i].revents == 0)
                continue;
            auto& source = watched[i - 1];
            bool live = false;
            {
                std::lock_guard lock(mutex);
                live = !source->cancelled;
            }
            if (live && source->onEvent)
                source->onEvent();
        }
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
    queue->enqueue([state = state_] {
        state->onEvent = nullptr;
        if (auto onCancel = std::move(state->onCancel))
            onCancel();
    });
}

void ReadSource::restFor(std::chrono::steady_clock::duration duration)
{
    auto queue = state_->queue.lock();
    if (!queue)
        return;
    std::lock_guard lock(queue->mutex);
    state_->restUntil = std::chrono::steady_clock::now() + duration;
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

#include "core/AppIdentity.h"
#include "core/exec/IoQueue.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <future>
#include <mutex>
#include <numeric>
#include <pthread.h>
#include <set>
#include <string>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

using namespace std::chrono_literals;
using velmora::IoQueue;

TEST(IoQueue, RunsTasksInOrderOnOneThreadNamedAfterTheEndOfItsLabel)
{
    IoQueue queue(std::string(velmora::appId) + ".io");
    std::vector<int> order;
    std::set<std::thread::id> threads;
    for (int i = 0; i < 100; ++i)
        queue.async([&, i] {
            order.push_back(i);
            threads.insert(std::this_thread::get_id());
        });
    char name[16] = {};
    queue.sync([&] { pthread_getname_np(pthread_self(), name, sizeof name); });
    std::vector<int> queued(100);
    std::iota(queued.begin(), queued.end(), 0);
    EXPECT_EQ(order, queued);
    EXPECT_EQ(threads.size(), 1u);
    EXPECT_NE(*threads.begin(), std::this_thread::get_id());
    EXPECT_STREQ(name, "Velmora.io");
    // The kernel keeps fifteen characters of a thread's name: the end of the label tells most.
    EXPECT_EQ(IoQueue::threadNameFor("com.example.averyveryverylongname.io"), "verylongname.io");
    EXPECT_EQ(IoQueue::threadNameFor("exactly15chars."), "exactly15chars.");
}

TEST(IoQueue, SyncFromTheQueueItselfRunsInlineInsteadOfDeadlocking)
{
    IoQueue queue("test.io");
    std::string trace;
    queue.sync([&] {
        trace += "outer ";
        queue.sync([&] { trace += "inner "; });
        EXPECT_TRUE(queue.isCurrent());
    });
    EXPECT_EQ(trace, "outer inner ");
    EXPECT_FALSE(queue.isCurrent());
}

TEST(IoQueue, ReadSourceFiresWhileReadableAndRunsItsCancelHandlerOnceAfterTheEvent)
{
    IoQueue queue("test.io");
    int pipeFds[2];
    ASSERT_EQ(::pipe2(pipeFds, O_NONBLOCK | O_CLOEXEC), 0);
    std::promise<void> cancelled;
    std::atomic<int> events{0};
    std::atomic<int> cancels{0};
    std::shared_ptr<velmora::ReadSource> source;
    std::string received;
    source = queue.makeReadSource(
        pipeFds[0],
        [&] {
            char buffer[16];
            const auto got = ::read(pipeFds[0], buffer, sizeof buffer);
            if (got > 0)
                received.append(buffer, static_cast<std::size_t>(got));
            ++events;
            // Cancelling from inside the event: the cancel handler must wait for us to return.
            if (received == "ab") {
                source->cancel();
                EXPECT_EQ(cancels.load(), 0);
            }
        },
        [&] {
            ++cancels;
            ::close(pipeFds[0]);
            cancelled.set_value();
        });

    // Cancelled by a task on the queue, a source lets go of its descriptor before cancel() returns.
    int otherFds[2];
    ASSERT_EQ(::pipe2(otherFds, O_NONBLOCK | O_CLOEXEC), 0);
    auto other = queue.makeReadSource(
        otherFds[0], [] {}, [&] { ::close(otherFds[0]); });
    other->resume();
    queue.sync([&] {
        other->cancel();
        EXPECT_EQ(::fcntl(otherFds[0], F_GETFD), -1);
    });
    ::close(otherFds[1]);

    ASSERT_EQ(::write(pipeFds[1], "a", 1), 1);
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(events.load(), 0) << "a source stays silent until resumed";
    source->resume();
    while (events.load() < 1)
        std::this_thread::sleep_for(1ms);
    ASSERT_EQ(::write(pipeFds[1], "b", 1), 1);
    ASSERT_EQ(cancelled.get_future().wait_for(5s), std::future_status::ready);
    EXPECT_EQ(received, "ab");
    EXPECT_TRUE(source->isCancelled());

    const int eventsAtCancel = events.load();
    EXPECT_EQ(::fcntl(pipeFds[0], F_GETFD), -1) << "the cancel handler closed the read end";
    queue.sync([] {});
    EXPECT_EQ(events.load(), eventsAtCancel);
    EXPECT_EQ(cancels.load(), 1);
    source->cancel();
    queue.sync([] {});
    EXPECT_EQ(cancels.load(), 1);
    ::close(pipeFds[1]);
}

TEST(IoQueue, DestroyingTheQueueRunsWhatIsQueuedEvenFromItsOwnThread)
{
    std::atomic<int> ran{0};
    {
        IoQueue queue("test.io");
        for (int i = 0; i < 10; ++i)
            queue.async([&] {
                std::this_thread::sleep_for(1ms);
                ++ran;
            });
    }
    EXPECT_EQ(ran.load(), 10);

    std::promise<void> finished;
    auto* queue = new IoQueue("test.io");
    queue->async([&, queue] {
        queue->async([&] { finished.set_value(); });
        delete queue;
    });
    EXPECT_EQ(finished.get_future().wait_for(5s), std::future_status::ready);
}

TEST(IoQueue, ARestingSourceWaitsOutItsRestWhileTasksStillRun)
{
    IoQueue queue("test.io");
    int pipeFds[2];
    ASSERT_EQ(::pipe2(pipeFds, O_NONBLOCK | O_CLOEXEC), 0);
    std::mutex mutex;
    std::vector<std::pair<std::chrono::steady_clock::time_point, std::string>> reads;
    std::shared_ptr<velmora::ReadSource> source = queue.makeReadSource(
        pipeFds[0],
        [&] {
            char buffer[16];
            const auto got = ::read(pipeFds[0], buffer, sizeof buffer);
            if (got <= 0)
                return;
            {
                const std::lock_guard lock(mutex);
                reads.emplace_back(
                    std::chrono::steady_clock::now(), std::string(buffer, static_cast<std::size_t>(got)));
            }
            source->restFor(150ms);
        },
        [&] { ::close(pipeFds[0]); });
    source->resume();

    ASSERT_EQ(::write(pipeFds[1], "a", 1), 1);
    const auto waitForReads = [&](std::size_t count) {
        for (int i = 0; i < 2000; ++i) {
            {
                const std::lock_guard lock(mutex);
                if (reads.size() >= count)
                    return true;
            }
            std::this_thread::sleep_for(1ms);
        }
        return false;
    };
    ASSERT_TRUE(waitForReads(1));
    ASSERT_EQ(::write(pipeFds[1], "b", 1), 1);
    ASSERT_EQ(::write(pipeFds[1], "c", 1), 1);

    // A task queued during the rest runs at once.
    const auto queued = std::chrono::steady_clock::now();
    queue.sync([] {});
    EXPECT_LT(std::chrono::steady_clock::now() - queued, 100ms);
    {
        const std::lock_guard lock(mutex);
        EXPECT_EQ(reads.size(), 1u) << "the source rests although bytes wait";
    }

    // After the rest, everything that came meanwhile is read in one go.
    ASSERT_TRUE(waitForReads(2));
    {
        const std::lock_guard lock(mutex);
        EXPECT_EQ(reads[0].second, "a");
        EXPECT_EQ(reads[1].second, "bc");
        EXPECT_GE(reads[1].first - reads[0].first, 150ms);
    }
    source->cancel();
    queue.sync([] {});
    ::close(pipeFds[1]);
}

TEST(IoQueue, AByteArrivingDuringALongStreamOfShortTasksIsReadWithinTenMilliseconds)
{
    IoQueue queue("test.io");
    int pipeFds[2];
    ASSERT_EQ(::pipe2(pipeFds, O_NONBLOCK | O_CLOEXEC), 0);
    // Counted in tasks run rather than in time, so that a busy machine that keeps the queue's
    // thread waiting slows the tasks and the reading alike.
    std::atomic<int> tasksRun{0};
    std::atomic<int> readAfter{-1};
    auto source = queue.makeReadSource(
        pipeFds[0],
        [&] {
            char byte = 0;
            if (::read(pipeFds[0], &byte, 1) == 1)
                readAfter = tasksRun.load();
        },
        [&] { ::close(pipeFds[0]); });
    source->resume();

    // Half a second of 1 ms tasks, all queued at once; the byte comes 20 tasks in.
    std::promise<void> twentyRan;
    for (int i = 0; i < 500; ++i)
        queue.async([&, i] {
            std::this_thread::sleep_for(1ms);
            if (++tasksRun == 20)
                twentyRan.set_value();
        });
    twentyRan.get_future().wait();
    const int writtenAfter = tasksRun.load();
    ASSERT_EQ(::write(pipeFds[1], "x", 1), 1);
    queue.sync([] {});
    ASSERT_GE(readAfter.load(), writtenAfter);
    // Sources are looked at every fairnessSlice (2 ms): a few tasks at most, never the rest of
    // the stream.
    EXPECT_LE(readAfter.load() - writtenAfter, 10);
    source->cancel();
    queue.sync([] {});
    ::close(pipeFds[1]);
}

TEST(IoQueue, DelayedTasksRunByDeadlineInTheirOwnOrderAndACancelledOneNever)
{
    IoQueue queue("test.io");
    std::mutex mutex;
    std::vector<std::pair<std::string, std::chrono::steady_clock::duration>> runs;
    const auto start = std::chrono::steady_clock::now();
    const auto task = [&](std::string name) {
        return [&, name] {
            EXPECT_TRUE(queue.isCurrent());
            std::lock_guard lock(mutex);
            runs.emplace_back(name, std::chrono::steady_clock::now() - start);
        };
    };
    queue.asyncAfter(60ms, task("c"));
    queue.asyncAfter(20ms, task("a"));
    auto cancelled = queue.asyncAfter(30ms, task("never"));
    queue.asyncAfter(40ms, task("b1"));
    queue.asyncAfter(40ms, task("b2"));
    // Scheduled from the queue itself, to be due before the others.
    queue.async([&] { queue.asyncAfter(10ms, task("first")); });
    EXPECT_TRUE(cancelled.isPending());
    cancelled.cancel();
    EXPECT_FALSE(cancelled.isPending());

    std::promise<void> done;
    queue.asyncAfter(100ms, [&] { done.set_value(); });
    ASSERT_EQ(done.get_future().wait_for(5s), std::future_status::ready);
    std::lock_guard lock(mutex);
    const std::vector<std::pair<std::string, std::chrono::milliseconds>> due{
        {"first", 10ms}, {"a", 20ms}, {"b1", 40ms}, {"b2", 40ms}, {"c", 60ms}};
    ASSERT_EQ(runs.size(), due.size());
    for (std::size_t i = 0; i < due.size(); ++i) {
        EXPECT_EQ(runs[i].first, due[i].first) << "run " << i;
        EXPECT_GE(runs[i].second, due[i].second) << due[i].first;
        EXPECT_LT(runs[i].second, due[i].second + 50ms) << due[i].first << ": an idle queue wakes for its deadline";
    }
}

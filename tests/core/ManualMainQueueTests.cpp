#include "core/exec/ManualMainQueue.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>

using namespace std::chrono_literals;
using velmora::ManualMainQueue;

TEST(ManualMainQueue, RunsTasksByDueTimeAndPostingOrderOnlyWhenTheClockGetsThere)
{
    ManualMainQueue queue;
    std::string trace;
    queue.postAfter(30ms, [&] { trace += "c"; });
    queue.postAfter(10ms, [&] { trace += "a"; });
    queue.postAfter(10ms, [&] { trace += "b"; });
    queue.post([&] { trace += "0"; });

    EXPECT_EQ(queue.runReady(), 1u);
    EXPECT_EQ(trace, "0");
    queue.advance(9ms);
    EXPECT_EQ(trace, "0");
    queue.advance(1ms);
    EXPECT_EQ(trace, "0ab");
    queue.advance(19ms);
    EXPECT_EQ(trace, "0ab");
    queue.advance(1ms);
    EXPECT_EQ(trace, "0abc");
    EXPECT_EQ(queue.now() - ManualMainQueue::Clock::time_point{}, 30ms);
}

TEST(ManualMainQueue, TasksSeeTheClockAtTheirDueTimeAndCanScheduleInsideTheSameAdvance)
{
    ManualMainQueue queue;
    std::vector<std::chrono::milliseconds> seen;
    const auto start = queue.now();
    queue.postAfter(100ms, [&] {
        seen.push_back(std::chrono::duration_cast<std::chrono::milliseconds>(queue.now() - start));
        queue.postAfter(
            100ms, [&] { seen.push_back(std::chrono::duration_cast<std::chrono::milliseconds>(queue.now() - start)); });
    });
    queue.advance(250ms);
    EXPECT_EQ(seen, (std::vector<std::chrono::milliseconds>{100ms, 200ms}));
    EXPECT_EQ(queue.now() - start, 250ms);
}

TEST(ManualMainQueue, CancelledTasksNeverRunAndHandlesReportWhetherPending)
{
    ManualMainQueue queue;
    int runs = 0;
    auto cancelled = queue.postAfter(30ms, [&] { ++runs; });
    auto kept = queue.postAfter(30ms, [&] { runs += 10; });
    EXPECT_TRUE(cancelled.isPending());
    cancelled.cancel();
    EXPECT_FALSE(cancelled.isPending());
    EXPECT_EQ(queue.pendingCount(), 1u);
    queue.advance(30ms);
    EXPECT_EQ(runs, 10);
    EXPECT_FALSE(kept.isPending());
    kept.cancel(); // too late, and harmless
    EXPECT_EQ(runs, 10);
    velmora::TaskHandle empty;
    empty.cancel();
    EXPECT_FALSE(empty.isPending());
}

TEST(ManualMainQueue, RunUntilWaitsForTasksThatOtherThreadsPost)
{
    ManualMainQueue queue;
    int delivered = 0;
    std::thread other([&] {
        for (int i = 0; i < 5; ++i) {
            std::this_thread::sleep_for(2ms);
            queue.post([&] { ++delivered; });
        }
    });
    EXPECT_TRUE(queue.runUntil([&] { return delivered == 5; }, 5s));
    other.join();
    EXPECT_FALSE(queue.runUntil([&] { return delivered == 6; }, 20ms));
    // Delayed tasks need the virtual clock; real waiting does not run them.
    queue.postAfter(1ms, [&] { ++delivered; });
    EXPECT_FALSE(queue.runUntil([&] { return delivered == 6; }, 20ms));
    queue.advance(1ms);
    EXPECT_EQ(delivered, 6);
}

TEST(ManualMainQueue, WaitingForPendingTasksRunsNone)
{
    ManualMainQueue queue;
    int runs = 0;
    std::thread other([&] { queue.post([&] { ++runs; }); });
    EXPECT_TRUE(queue.waitForPending(1, 5s));
    other.join();
    EXPECT_EQ(runs, 0);
    EXPECT_FALSE(queue.waitForPending(2, 10ms));
    queue.runReady();
    EXPECT_EQ(runs, 1);
}

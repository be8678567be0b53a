#include "core/exec/ManualMainQueue.h"
#include "core/pipeline/ReceiveCoalescer.h"

#include <gtest/gtest.h>

#include <numeric>
#include <thread>

using namespace std::chrono_literals;
using namespace velmora;

namespace {

struct Batch {
    std::vector<ReceivedChunk> chunks;
    std::int64_t dropped = 0;

    std::int64_t size() const
    {
        std::int64_t total = 0;
        for (const auto& chunk : chunks)
            total += static_cast<std::int64_t>(chunk.data.size());
        return total;
    }
};

// A coalescer on a virtual clock whose wall clock is the same virtual time.
class Coalescing : public ::testing::Test {
protected:
    std::chrono::system_clock::time_point wallNow() const
    {
        return std::chrono::system_clock::time_point(
            std::chrono::duration_cast<std::chrono::system_clock::duration>(queue.now().time_since_epoch()));
    }

    std::int64_t keptBytes() const
    {
        return std::accumulate(
            batches.begin(), batches.end(), std::int64_t{0}, [](auto sum, const Batch& b) { return sum + b.size(); });
    }
    std::int64_t droppedBytes() const
    {
        return std::accumulate(
            batches.begin(), batches.end(), std::int64_t{0}, [](auto sum, const Batch& b) { return sum + b.dropped; });
    }

    ManualMainQueue queue;
    std::vector<Batch> batches;
    // Runs in the handler after the batch is recorded: what the I/O queue does while a turn shows it.
    std::function<void()> whileHandling;
    std::shared_ptr<ReceiveCoalescer> coalescer = ReceiveCoalescer::create(
        queue,
        [this](std::vector<ReceivedChunk> chunks, std::int64_t dropped) {
            batches.push_back({std::move(chunks), dropped});
            if (whileHandling)
                whileHandling();
        },
        [this] { return wallNow(); });
};

std::vector<std::uint8_t> bytes(std::size_t count, std::uint8_t value = 'x')
{
    return std::vector<std::uint8_t>(count, value);
}

} // namespace

TEST_F(Coalescing, PiecesFiveMillisecondsApartArriveTogetherThirtyMillisecondsAfterTheFirst)
{
    coalescer->receive({'a', 'b'});
    const auto first = wallNow();
    queue.advance(5ms);
    coalescer->receive({'c'});
    queue.advance(24ms);
    EXPECT_TRUE(batches.empty());
    queue.advance(1ms);
    ASSERT_EQ(batches.size(), 1u);
    ASSERT_EQ(batches[0].chunks.size(), 2u);
    EXPECT_EQ(batches[0].chunks[0], (ReceivedChunk{first, {'a', 'b'}}));
    EXPECT_EQ(batches[0].chunks[1], (ReceivedChunk{first + 5ms, {'c'}}));
    EXPECT_EQ(batches[0].dropped, 0);

    // The next piece starts the next 30 ms wait; one delivery is outstanding at a time.
    coalescer->receive({'d'});
    coalescer->receive({'e'});
    EXPECT_EQ(queue.pendingCount(), 1u);
    queue.advance(30ms);
    ASSERT_EQ(batches.size(), 2u);
    EXPECT_EQ(batches[1].chunks.size(), 2u);
}

TEST_F(Coalescing, TheCapIsTestedPerPieceAndDroppedPiecesAreCountedWhole)
{
    const std::size_t k = 1000;
    coalescer->receive(bytes(ReceiveCoalescer::maxPending - k));
    coalescer->receive(bytes(k + 1)); // one byte too many: dropped whole
    coalescer->receive(bytes(k)); // fits exactly
    coalescer->receive(bytes(1)); // the cap is reached: dropped
    coalescer->receive({}); // nothing to store, nothing over the cap
    EXPECT_EQ(coalescer->pendingBytes(), ReceiveCoalescer::maxPending);
    queue.advance(30ms);
    EXPECT_EQ(keptBytes(), ReceiveCoalescer::maxPending);
    EXPECT_EQ(coalescer->keptCount(), 3u);
    EXPECT_EQ(coalescer->handedOnCount(), 3u);
    ASSERT_FALSE(batches.empty());
    EXPECT_EQ(batches[0].dropped, static_cast<std::int64_t>(k + 2)) << "the count comes with the first slice";
    EXPECT_EQ(droppedBytes(), static_cast<std::int64_t>(k + 2));

    // Handed on, the list is empty: everything fits again, and the count starts over.
    batches.clear();
    coalescer->receive(bytes(ReceiveCoalescer::maxPending));
    coalescer->receive(bytes(7));
    coalescer->receive(bytes(5));
    queue.advance(30ms);
    EXPECT_EQ(keptBytes(), ReceiveCoalescer::maxPending);
    EXPECT_EQ(droppedBytes(), 12);
}

TEST_F(Coalescing, ABigBatchGoesOutASliceATurnAndWhatItsTurnsLeftWaitingCountsAgainstTheCap)
{
    // Numbered 64 KiB pieces (the most a port hands on at once), 4 MiB of them: all kept.
    constexpr std::size_t piece = 64 * 1024;
    constexpr int piecesPerCap = static_cast<int>(ReceiveCoalescer::maxPending / piece);
    int sent = 0;
    const auto receivePieces = [&](int count) {
        for (int i = 0; i < count; ++i)
            coalescer->receive(bytes(piece, static_cast<std::uint8_t>(sent++)));
    };
    receivePieces(piecesPerCap);
    ASSERT_EQ(coalescer->pendingBytes(), ReceiveCoalescer::maxPending);

    // While the first slice is shown, the board sends 4 MiB more: only what the slice freed fits.
    std::int64_t mostWaiting = 0;
    std::vector<MainQueue::Clock::time_point> turns;
    whileHandling = [&] {
        turns.push_back(queue.now());
        if (batches.size() == 1)
            receivePieces(piecesPerCap);
        mostWaiting = std::max(mostWaiting, coalescer->pendingBytes());
    };
    const auto due = queue.now() + 30ms;
    queue.advance(30ms);
    ASSERT_GE(batches.size(), 2u);
    for (const auto& batch : batches)
        EXPECT_LE(batch.size(), ReceiveCoalescer::maxSliceBytes);
    EXPECT_EQ(batches[0].chunks.size(), static_cast<std::size_t>(ReceiveCoalescer::maxSliceBytes) / piece);
    EXPECT_LE(mostWaiting, ReceiveCoalescer::maxPending);
    EXPECT_EQ(keptBytes(), ReceiveCoalescer::maxPending + ReceiveCoalescer::maxSliceBytes);
    EXPECT_EQ(keptBytes() + droppedBytes(), static_cast<std::int64_t>(sent) * static_cast<std::int64_t>(piece));
    // In arrival order, the slices one turn after another with no 30 ms wait between them.
    std::vector<int> order;
    for (const auto& batch : batches) {
        for (const auto& chunk : batch.chunks)
            order.push_back(chunk.data.front());
    }
    std::vector<int> arrival(order.size());
    std::iota(arrival.begin(), arrival.end(), 0);
    EXPECT_EQ(order, arrival);
    for (const auto& turn : turns)
        EXPECT_EQ(turn, due);

    // Once all is handed on, the next piece waits its 30 ms again.
    batches.clear();
    whileHandling = nullptr;
    coalescer->receive({'z'});
    queue.advance(29ms);
    EXPECT_TRUE(batches.empty());
    queue.advance(1ms);
    EXPECT_EQ(batches.size(), 1u);
}

TEST_F(Coalescing, ABatchOfOnlyDroppedPiecesCarriesJustTheirCount)
{
    coalescer->receive(bytes(ReceiveCoalescer::maxPending + 1));
    coalescer->receive(bytes(ReceiveCoalescer::maxPending + 9));
    queue.advance(30ms);
    ASSERT_EQ(batches.size(), 1u);
    EXPECT_TRUE(batches[0].chunks.empty());
    EXPECT_EQ(batches[0].dropped, 2 * ReceiveCoalescer::maxPending + 10);
}

TEST_F(Coalescing, DrainingTakingASliceOrDiscardingLeavesTheScheduledDeliveryNothingOrOnlyNewerPieces)
{
    coalescer->receive({'a'});
    coalescer->receive(bytes(ReceiveCoalescer::maxPending));
    const auto drained = coalescer->drain();
    ASSERT_EQ(drained.chunks.size(), 1u);
    EXPECT_EQ(drained.chunks[0].data, (std::vector<std::uint8_t>{'a'}));
    EXPECT_EQ(drained.droppedBytes, ReceiveCoalescer::maxPending);

    queue.advance(30ms);
    ASSERT_EQ(batches.size(), 1u) << "the delivery still runs, and hands over an empty batch";
    EXPECT_TRUE(batches[0].chunks.empty());
    EXPECT_EQ(batches[0].dropped, 0);

    coalescer->receive({'b'});
    EXPECT_EQ(coalescer->drain().chunks.size(), 1u);
    coalescer->receive({'c'}); // still covered by the delivery the 'b' scheduled
    EXPECT_EQ(queue.pendingCount(), 1u);
    queue.advance(30ms);
    ASSERT_EQ(batches.size(), 2u);
    ASSERT_EQ(batches[1].chunks.size(), 1u);
    EXPECT_EQ(batches[1].chunks[0].data, (std::vector<std::uint8_t>{'c'}));

    // Taking a slice takes what one turn shows; the delivery brings the rest.
    for (int i = 0; i < 9; ++i)
        coalescer->receive(bytes(64 * 1024));
    const auto slice = coalescer->takeSlice();
    EXPECT_EQ(slice.chunks.size(), 8u);
    EXPECT_EQ(coalescer->pendingBytes(), 64 * 1024);
    EXPECT_EQ(coalescer->handedOnCount(), coalescer->keptCount() - 1);

    // A discard forgets what waits and what was dropped; the delivery finds nothing.
    coalescer->receive(bytes(ReceiveCoalescer::maxPending));
    coalescer->discard();
    EXPECT_EQ(coalescer->pendingBytes(), 0);
    EXPECT_EQ(coalescer->handedOnCount(), coalescer->keptCount());
    queue.advance(30ms);
    ASSERT_EQ(batches.size(), 3u);
    EXPECT_TRUE(batches[2].chunks.empty());
    EXPECT_EQ(batches[2].dropped, 0);
}

TEST_F(Coalescing, ADeliveryForACoalescerThatIsGoneDoesNothing)
{
    coalescer->receive({'a'});
    coalescer.reset();
    queue.advance(30ms);
    EXPECT_TRUE(batches.empty());
    EXPECT_EQ(queue.pendingCount(), 0u);
}

TEST(ReceiveCoalescer, PiecesFromAnIoThreadReachTheMainThreadInOrderWithNothingLost)
{
    ManualMainQueue queue;
    std::vector<std::uint8_t> received;
    auto coalescer = ReceiveCoalescer::create(queue, [&](std::vector<ReceivedChunk> chunks, std::int64_t dropped) {
        EXPECT_EQ(dropped, 0);
        for (const auto& chunk : chunks)
            received.insert(received.end(), chunk.data.begin(), chunk.data.end());
    });
    std::thread io([&] {
        for (int i = 0; i < 2000; ++i)
            coalescer->receive({static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i >> 8)});
    });
    // The virtual clock moves in 30 ms steps while the I/O thread keeps sending.
    while (received.size() < 4000) {
        queue.runUntil([&] { return queue.pendingCount() > 0; }, 1s);
        queue.advance(30ms);
    }
    io.join();
    std::vector<std::uint8_t> sent;
    for (int i = 0; i < 2000; ++i)
        sent.insert(sent.end(), {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i >> 8)});
    EXPECT_EQ(received, sent);
}

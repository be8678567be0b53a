#include "core/exec/ManualMainQueue.h"
#include "core/pipeline/ReceiveCoalescer.h"

#include <gtest/gtest.h>

#include <thread>

using namespace std::chrono_literals;
using namespace velmora;

namespace {

struct Batch {
    std::vector<ReceivedChunk> chunks;
    std::int64_t dropped = 0;
};

// A coalescer on a virtual clock whose wall clock is the same virtual time.
class Coalescing : public ::testing::Test {
protected:
    std::chrono::system_clock::time_point wallNow() const
    {
        return std::chrono::system_clock::time_point(
            std::chrono::duration_cast<std::chrono::system_clock::duration>(queue.now().time_since_epoch()));
    }

    ManualMainQueue queue;
    std::vector<Batch> batches;
    std::shared_ptr<ReceiveCoalescer> coalescer = ReceiveCoalescer::create(
        queue, [this](std::vector<ReceivedChunk> chunks, std::int64_t dropped) {
            batches.push_back({std::move(chunks), dropped});
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
    coalescer->receive(bytes(k));     // fits exactly
    coalescer->receive(bytes(1));     // the cap is reached: dropped
    coalescer->receive({});           // nothing to store, nothing over the cap
    queue.advance(30ms);
    ASSERT_EQ(batches.size(), 1u);
    std::int64_t kept = 0;
    for (const auto& chunk : batches[0].chunks)
        kept += static_cast<std::int64_t>(chunk.data.size());
    EXPECT_EQ(kept, ReceiveCoalescer::maxPending);
    EXPECT_EQ(batches[0].chunks.size(), 3u);
    EXPECT_EQ(batches[0].dropped, static_cast<std::int64_t>(k + 2));

    // A delivery empties the list: everything fits again, and the count starts over.
    coalescer->receive(bytes(ReceiveCoalescer::maxPending));
    coalescer->receive(bytes(7));
    coalescer->receive(bytes(5));
    queue.advance(30ms);
    ASSERT_EQ(batches.size(), 2u);
    EXPECT_EQ(batches[1].chunks.size(), 1u);
    EXPECT_EQ(batches[1].dropped, 12);
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

TEST_F(Coalescing, ADrainTakesWhatWaitsAndTheScheduledDeliveryThenFindsNothingOrOnlyNewerPieces)
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
    std::size_t batches = 0;
    auto coalescer = ReceiveCoalescer::create(queue, [&](std::vector<ReceivedChunk> chunks, std::int64_t dropped) {
        EXPECT_EQ(dropped, 0);
        ++batches;
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
    ASSERT_EQ(received.size(), 4000u);
    for (int i = 0; i < 2000; ++i) {
        EXPECT_EQ(received[2 * static_cast<std::size_t>(i)], static_cast<std::uint8_t>(i));
        EXPECT_EQ(received[2 * static_cast<std::size_t>(i) + 1], static_cast<std::uint8_t>(i >> 8));
    }
    EXPECT_GE(batches, 1u);
}

#include "core/exec/ManualMainQueue.h"
#include "core/session/PortRegistry.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace velmora;

namespace {

// A tab as the registry sees it: a state and the path it has selected.
class StandInSession final : public RegisteredSession {
public:
    StandInSession(ConnectionState initialState, std::string selected) : state(initialState), path(std::move(selected))
    {
    }
    ConnectionState connectionState() const override { return state; }
    std::string selectedDevicePath() const override { return path; }

    ConnectionState state;
    std::string path;
};

// Counts the blocks it hands out that are still allocated. Sessions made with it show when the
// registry lets go of its last weak reference: only then is the control block freed.
struct BlockCounter {
    int live = 0;
};

template <typename T> struct CountingAllocator {
    using value_type = T;
    explicit CountingAllocator(BlockCounter& blocks) : counter(&blocks) {}
    template <typename U> CountingAllocator(const CountingAllocator<U>& other) : counter(other.counter) {}

    T* allocate(std::size_t n)
    {
        ++counter->live;
        return std::allocator<T>().allocate(n);
    }
    void deallocate(T* p, std::size_t n)
    {
        --counter->live;
        std::allocator<T>().deallocate(p, n);
    }
    template <typename U> bool operator==(const CountingAllocator<U>& other) const { return counter == other.counter; }

    BlockCounter* counter;
};

std::shared_ptr<StandInSession> session(ConnectionState state, const std::string& path)
{
    return std::make_shared<StandInSession>(state, path);
}

std::vector<RegisteredSession*> pointers(const std::vector<std::shared_ptr<RegisteredSession>>& sessions)
{
    std::vector<RegisteredSession*> result;
    for (const auto& s : sessions)
        result.push_back(s.get());
    return result;
}

class PortRegistryTest : public ::testing::Test {
protected:
    ManualMainQueue queue;
    PortRegistry registry{queue, nullptr};
};

} // namespace

TEST_F(PortRegistryTest, APortIsHeldWhileItsSessionIsConnectedOrWaitingButNotOnceItIsDisconnected)
{
    auto a = session(ConnectionState::connected, "/dev/ttyACM0");
    auto b = session(ConnectionState::disconnected, "/dev/ttyUSB0");
    registry.registerSession(a);
    registry.registerSession(b);

    EXPECT_TRUE(registry.isHeldByAnotherSession("/dev/ttyACM0", b.get()));
    EXPECT_FALSE(registry.isHeldByAnotherSession("/dev/ttyACM1", b.get()));
    EXPECT_FALSE(registry.isHeldByAnotherSession("/dev/ttyUSB0", a.get())) << "b has it selected but is disconnected";

    a->state = ConnectionState::waitingForDevice;
    EXPECT_TRUE(registry.isHeldByAnotherSession("/dev/ttyACM0", b.get())) << "a waits for its board to come back";

    a->state = ConnectionState::disconnected;
    EXPECT_FALSE(registry.isHeldByAnotherSession("/dev/ttyACM0", b.get()));

    b->state = ConnectionState::connected;
    EXPECT_TRUE(registry.isHeldByAnotherSession("/dev/ttyUSB0", a.get()));
    EXPECT_TRUE(registry.isHeldByAnotherSession("/dev/ttyUSB0", nullptr)) << "a session not registered yet asks";
}

TEST_F(PortRegistryTest, TheAskingSessionDoesNotCountButAnyOtherHolderDoes)
{
    auto a = session(ConnectionState::connected, "/dev/ttyACM0");
    auto b = session(ConnectionState::disconnected, "/dev/ttyACM0");
    auto c = session(ConnectionState::disconnected, "/dev/ttyACM0");
    registry.registerSession(a);
    registry.registerSession(b);
    registry.registerSession(c);

    EXPECT_FALSE(registry.isHeldByAnotherSession("/dev/ttyACM0", a.get()));
    EXPECT_TRUE(registry.isHeldByAnotherSession("/dev/ttyACM0", b.get()));

    // b connects to the same path anyway (its open would fail as busy); each now sees the other.
    b->state = ConnectionState::connected;
    EXPECT_TRUE(registry.isHeldByAnotherSession("/dev/ttyACM0", a.get()));
    EXPECT_TRUE(registry.isHeldByAnotherSession("/dev/ttyACM0", b.get()));
    EXPECT_TRUE(registry.isHeldByAnotherSession("/dev/ttyACM0", c.get()));
}

TEST_F(PortRegistryTest, AReleasedSessionStopsCountingAtOnceAndIsDroppedAtTheNextRegistration)
{
    BlockCounter blocks;
    CountingAllocator<StandInSession> allocator(blocks);
    auto a = session(ConnectionState::connected, "/dev/ttyUSB0");
    auto b = std::allocate_shared<StandInSession>(allocator, ConnectionState::connected, "/dev/ttyACM0");
    auto c = session(ConnectionState::disconnected, "/dev/ttyACM1");
    registry.registerSession(a);
    registry.registerSession(b);
    registry.registerSession(c);
    EXPECT_EQ(pointers(registry.liveSessions()), (std::vector<RegisteredSession*>{a.get(), b.get(), c.get()}));
    EXPECT_TRUE(registry.isHeldByAnotherSession("/dev/ttyACM0", c.get()));

    b.reset();
    EXPECT_FALSE(registry.isHeldByAnotherSession("/dev/ttyACM0", c.get()));
    EXPECT_EQ(pointers(registry.liveSessions()), (std::vector<RegisteredSession*>{a.get(), c.get()}));
    EXPECT_EQ(blocks.live, 1) << "the registry's weak entry keeps the control block until it is pruned";

    auto d = session(ConnectionState::waitingForDevice, "/dev/ttyACM2");
    registry.registerSession(d);
    EXPECT_EQ(blocks.live, 0) << "registering pruned the entry of the released session";
    EXPECT_EQ(pointers(registry.liveSessions()), (std::vector<RegisteredSession*>{a.get(), c.get(), d.get()}));
    EXPECT_TRUE(registry.isHeldByAnotherSession("/dev/ttyACM2", a.get()));
}

TEST_F(PortRegistryTest, SubscribersGetThePortListAtOnceAndEveryLaterOne)
{
    std::vector<std::vector<SerialPortInfo>> first;
    auto a = registry.ports.subscribe([&](const std::vector<SerialPortInfo>& list) { first.push_back(list); });
    ASSERT_EQ(first.size(), 1u);
    EXPECT_TRUE(first[0].empty()) << "empty until a scanner reports";

    const std::vector<SerialPortInfo> list{{"/dev/ttyACM0", "Arduino Uno", 0x2341, 0x0043}, {"/dev/ttyS0", {}, {}, {}}};
    registry.ports.set(list);
    ASSERT_EQ(first.size(), 2u);
    EXPECT_EQ(first[1], list);

    std::vector<std::vector<SerialPortInfo>> second;
    auto b = registry.ports.subscribe([&](const std::vector<SerialPortInfo>& current) { second.push_back(current); });
    EXPECT_EQ(second, (std::vector<std::vector<SerialPortInfo>>{list}));
    EXPECT_EQ(registry.scanner(), nullptr);
}

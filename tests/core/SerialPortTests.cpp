#include "core/serial/SerialPort.h"
#include "localization/L10n.h"
#include "tests/helpers/ChildProcess.h"
#include "tests/helpers/PseudoTerminal.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <cstdio>
#include <fcntl.h>
#include <future>
#include <mutex>
#include <random>
#include <sys/file.h>
#include <sys/stat.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

using namespace std::chrono_literals;
using namespace velmora;
using velmora::testing::ChildProcess;
using velmora::testing::PseudoTerminal;

namespace {

// Collects what a port reports on its queue, for the test thread to wait on.
class Recorder {
public:
    SerialPort::DataHandler dataHandler()
    {
        return [this](std::vector<std::uint8_t> bytes) {
            std::lock_guard lock(mutex_);
            events_.push_back("data");
            batches_.push_back(std::move(bytes));
            changed_.notify_all();
        };
    }
    SerialPort::CloseHandler closeHandler()
    {
        return [this](std::optional<SerialPortError> error) {
            std::lock_guard lock(mutex_);
            events_.push_back("close");
            closes_.push_back(std::move(error));
            changed_.notify_all();
        };
    }
    bool waitForBytes(std::size_t count, std::chrono::milliseconds timeout = 5s)
    {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, timeout, [&] { return totalLocked() >= count; });
    }
    bool waitForClose(std::chrono::milliseconds timeout = 5s)
    {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, timeout, [&] { return !closes_.empty(); });
    }
    std::vector<std::vector<std::uint8_t>> batches()
    {
        std::lock_guard lock(mutex_);
        return batches_;
    }
    std::vector<std::uint8_t> bytes()
    {
        std::lock_guard lock(mutex_);
        std::vector<std::uint8_t> all;
        for (const auto& batch : batches_)
            all.insert(all.end(), batch.begin(), batch.end());
        return all;
    }
    std::vector<std::optional<SerialPortError>> closes()
    {
        std::lock_guard lock(mutex_);
        return closes_;
    }
    std::vector<std::string> events()
    {
        std::lock_guard lock(mutex_);
        return events_;
    }

private:
    std::size_t totalLocked() const
    {
        std::size_t total = 0;
        for (const auto& batch : batches_)
            total += batch.size();
        return total;
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::vector<std::uint8_t>> batches_;
    std::vector<std::optional<SerialPortError>> closes_;
    std::vector<std::string> events_;
};

std::vector<std::uint8_t> patternBytes(std::size_t count, std::uint32_t seed)
{
    std::mt19937 random(seed);
    std::vector<std::uint8_t> bytes(count);
    for (auto& byte : bytes)
        byte = static_cast<std::uint8_t>(random());
    return bytes;
}

class SerialPortOnPty : public ::testing::Test {
protected:
    void SetUp() override
    {
        port = SerialPort::create(pty.devicePath());
        // A second descriptor on the device lets the test read its attributes as the kernel
        // has them, whatever the port does.
        observer = ::open(pty.devicePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        ASSERT_GE(observer, 0);
    }
    void TearDown() override
    {
        port.reset();
        if (observer >= 0)
            ::close(observer);
    }

    std::optional<SerialPortError> open(const PortSettings& settings = {})
    {
        std::optional<SerialPortError> error;
        port->queue().sync([&] { error = port->open(settings, recorder.dataHandler(), recorder.closeHandler()); });
        return error;
    }
    void close()
    {
        port->queue().sync([&] { port->close(); });
    }
    bool isOpen()
    {
        bool open = false;
        port->queue().sync([&] { open = port->isOpen(); });
        return open;
    }
    LineAttributes deviceAttributes() const
    {
        LineAttributes attributes;
        EXPECT_EQ(LineAttributes::read(observer, attributes), 0);
        return attributes;
    }

    PseudoTerminal pty;
    std::shared_ptr<SerialPort> port;
    Recorder recorder;
    int observer = -1;
};

} // namespace

TEST_F(SerialPortOnPty, OpenSetsRawModeFrameAndExactSpeedAndCloseGivesTheDeviceItsRecordBack)
{
    // Start from a record the port will certainly change, with an odd speed of its own.
    ASSERT_EQ(LineAttributes::setExactSpeed(observer, 31250), 0);
    const LineAttributes before = deviceAttributes();
    ASSERT_EQ(before.outputSpeed(), 31250u);
    ASSERT_NE(before.localFlags() & ICANON, 0u);

    ASSERT_EQ(open({250000, DataBits::seven, Parity::even, StopBits::two, FlowControl::rtsCts}), std::nullopt);
    const LineAttributes during = deviceAttributes();
    EXPECT_EQ(during.inputSpeed(), 250000u);
    EXPECT_EQ(during.outputSpeed(), 250000u);
    // Pseudo-terminals force eight bits without parity; the rest of the frame they keep.
    EXPECT_NE(during.controlFlags() & CSTOPB, 0u);
    EXPECT_NE(during.controlFlags() & CRTSCTS, 0u);
    EXPECT_NE(during.controlFlags() & CREAD, 0u);
    EXPECT_NE(during.controlFlags() & CLOCAL, 0u);
    EXPECT_EQ(during.controlFlags() & HUPCL, before.controlFlags() & HUPCL) << "HUPCL stays as found";
    EXPECT_NE(during.inputFlags() & INPCK, 0u);
    EXPECT_EQ(during.inputFlags() & (IXON | IXOFF | ICRNL), 0u);
    EXPECT_EQ(during.localFlags() & (ICANON | ECHO | ISIG), 0u);
    EXPECT_EQ(during.outputFlags() & OPOST, 0u);
    EXPECT_EQ(port->originalAttributes(), before);

    close();
    EXPECT_EQ(deviceAttributes(), before);
    EXPECT_FALSE(isOpen());
    EXPECT_TRUE(recorder.closes().empty()) << "the quiet close does not call onClose";
}

TEST_F(SerialPortOnPty, EveryRateInRangeIsSetExactlyAndSoftwareFlowReachesTheLine)
{
    for (std::int64_t rate : {50, 300, 31250, 115200, 250000, 1000000, 12000000}) {
        ASSERT_EQ(open({rate, DataBits::eight, Parity::odd, StopBits::one, FlowControl::xonXoff}), std::nullopt);
        const LineAttributes during = deviceAttributes();
        EXPECT_EQ(during.outputSpeed(), static_cast<std::uint32_t>(rate));
        EXPECT_EQ(during.inputSpeed(), static_cast<std::uint32_t>(rate));
        EXPECT_EQ(during.controlFlags() & (CRTSCTS | CSTOPB), 0u);
        EXPECT_EQ(during.inputFlags() & (IXON | IXOFF), static_cast<std::uint32_t>(IXON | IXOFF));
        close();
    }
}

TEST_F(SerialPortOnPty, PathAndRateAreCheckedBeforeTheDeviceIsTouched)
{
    L10n::ScopedLanguage english(Language::en);
    const LineAttributes before = deviceAttributes();
    for (std::int64_t rate : {49, 12000001, 0, -9600}) {
        const auto error = open({rate});
        ASSERT_TRUE(error);
        EXPECT_EQ(*error, SerialPortError::unsupportedBaudRate(rate, EINVAL));
        EXPECT_TRUE(error->message().ends_with(": Invalid argument.")) << error->message();
    }
    EXPECT_EQ(deviceAttributes(), before);

    for (const char* path : {"/dev/cu./x", "/dev/cu...x", "/dev/pts/../pts/0", "/dev/null"}) {
        auto other = SerialPort::create(path);
        std::optional<SerialPortError> error;
        // The path is checked first, so even an invalid rate reports the path.
        other->queue().sync([&] { error = other->open({49}, nullptr, nullptr); });
        ASSERT_TRUE(error);
        EXPECT_EQ(*error, SerialPortError::invalidPath(path));
    }
    EXPECT_FALSE(isOpen());
}

TEST_F(SerialPortOnPty, AMissingDeviceAsksWhetherItIsStillConnected)
{
    L10n::ScopedLanguage english(Language::en);
    auto missing = SerialPort::create("/dev/ttyVelmoraMissing0");
    std::optional<SerialPortError> error;
    missing->queue().sync([&] { error = missing->open({}, nullptr, nullptr); });
    ASSERT_TRUE(error);
    EXPECT_EQ(*error, SerialPortError::openFailed("/dev/ttyVelmoraMissing0", ENOENT));
    EXPECT_TRUE(error->message().ends_with(" Is the device still connected?")) << error->message();
}

TEST_F(SerialPortOnPty, OpeningAnOpenPortTouchesNothingAndOnlyReplacesTheCallbacks)
{
    ASSERT_EQ(open({9600}), std::nullopt);
    const LineAttributes first = deviceAttributes();
    Recorder second;
    std::optional<SerialPortError> error;
    port->queue().sync([&] {
        error = port->open({115200, DataBits::five}, second.dataHandler(), second.closeHandler());
    });
    EXPECT_EQ(error, std::nullopt);
    EXPECT_EQ(deviceAttributes(), first);
    EXPECT_EQ(first.outputSpeed(), 9600u);

    pty.writeToPort(std::string("hello"));
    ASSERT_TRUE(second.waitForBytes(5));
    EXPECT_EQ(second.bytes(), (std::vector<std::uint8_t>{'h', 'e', 'l', 'l', 'o'}));
    EXPECT_TRUE(recorder.bytes().empty());
}

TEST_F(SerialPortOnPty, WhatWaitsOnTheDeviceArrivesAsOneBatchThoughTheKernelHandsItOutInPieces)
{
    ASSERT_EQ(open(), std::nullopt);
    // Hold the queue so the bytes pile up; a pseudo-terminal keeps about 11 KiB, in reads of
    // at most 4 KiB.
    std::promise<void> release;
    std::promise<void> holding;
    port->queue().async([gate = release.get_future().share(), &holding] {
        holding.set_value();
        gate.wait();
    });
    holding.get_future().wait();
    const auto sent = patternBytes(11000, 1);
    pty.writeToPort(sent);
    std::this_thread::sleep_for(50ms);
    release.set_value();

    ASSERT_TRUE(recorder.waitForBytes(sent.size()));
    const auto batches = recorder.batches();
    ASSERT_EQ(batches.size(), 1u);
    EXPECT_EQ(batches.front(), sent);
}

TEST_F(SerialPortOnPty, AStreamOfHundredThousandBytesArrivesWholeInOrderInBatchesOfAtMost64KiB)
{
    ASSERT_EQ(open({1000000}), std::nullopt);
    const auto sent = patternBytes(100000, 2);
    std::thread board([&] { pty.writeToPort(sent); });
    ASSERT_TRUE(recorder.waitForBytes(sent.size(), 10s));
    board.join();
    EXPECT_EQ(recorder.bytes(), sent);
    for (const auto& batch : recorder.batches()) {
        EXPECT_FALSE(batch.empty());
        EXPECT_LE(batch.size(), SerialPort::maxBatchSize);
    }
}

TEST_F(SerialPortOnPty, ATrickleIsReadInFewLargerPieces)
{
    // A trickling device is left alone long enough for a kilobyte at the line's rate, but after
    // a quiet spell never longer than a burst may take to land in one 30 ms batch, and not at
    // all where the rest would be too short to matter.
    EXPECT_EQ(SerialPort::restAfterTrickle(115200, false), SerialPort::burstRest);
    EXPECT_EQ(SerialPort::restAfterTrickle(115200, true), SerialPort::streamRest);
    EXPECT_EQ(SerialPort::restAfterTrickle(1000000, true), std::chrono::microseconds(8192));
    EXPECT_EQ(SerialPort::restAfterTrickle(4000000, false), std::chrono::microseconds(2048));
    EXPECT_EQ(SerialPort::restAfterTrickle(12000000, true), std::chrono::microseconds(0));
    EXPECT_EQ(SerialPort::restAfterTrickle(50, true), SerialPort::streamRest);
    EXPECT_LT(SerialPort::burstRest, std::chrono::milliseconds(30));

    // A paced port reads a board writing 32 bytes every 2 ms for 0.4 s in a few dozen pieces
    // instead of one per write, whole and in order.
    port->setPacedReads(true);
    ASSERT_EQ(open({115200}), std::nullopt);
    std::vector<std::uint8_t> sent;
    for (int line = 0; line < 200; ++line) {
        char text[40];
        const int length = std::snprintf(text, sizeof text, "temp:%03d.5,hum:%03d,count:%05d\n", line % 40, line % 90, line);
        sent.insert(sent.end(), text, text + length);
    }
    std::chrono::steady_clock::duration writing{};
    std::thread board([&] {
        const auto start = std::chrono::steady_clock::now();
        for (std::size_t at = 0; at < sent.size(); at += 32) {
            const auto end = sent.begin() + static_cast<std::ptrdiff_t>(std::min<std::size_t>(at + 32, sent.size()));
            pty.writeToPort(std::vector<std::uint8_t>(sent.begin() + static_cast<std::ptrdiff_t>(at), end));
            std::this_thread::sleep_for(2ms);
        }
        writing = std::chrono::steady_clock::now() - start;
    });
    ASSERT_TRUE(recorder.waitForBytes(sent.size(), 10s));
    board.join();
    EXPECT_EQ(recorder.bytes(), sent);
    // At most one piece per rest, however slowly a busy machine lets the board write.
    EXPECT_LE(recorder.batches().size(), static_cast<std::size_t>(writing / SerialPort::burstRest) + 2);
}

TEST_F(SerialPortOnPty, AVanishedDeviceIsReportedOnceAfterItsLastBytesAndLeavesThePortClosed)
{
    ::close(observer); // only the port keeps the device open now, as with a real board
    observer = -1;
    ASSERT_EQ(open(), std::nullopt);
    pty.writeToPort(std::string("last words\n"));
    ASSERT_TRUE(recorder.waitForBytes(11));
    pty.closeMaster();

    ASSERT_TRUE(recorder.waitForClose());
    std::this_thread::sleep_for(100ms);
    const auto closes = recorder.closes();
    ASSERT_EQ(closes.size(), 1u);
    EXPECT_EQ(closes.front(), SerialPortError::deviceDisconnected());
    EXPECT_EQ(recorder.events().back(), "close");
    EXPECT_EQ(recorder.events().front(), "data");
    EXPECT_FALSE(isOpen());
    EXPECT_EQ(port->fd(), -1);
    close(); // closing again does nothing
    EXPECT_EQ(recorder.closes().size(), 1u);
}

TEST_F(SerialPortOnPty, WritesReachTheDeviceAndAStallOfTwoSecondsTimesOutButKeepsThePortOpen)
{
    std::optional<SerialPortError> error = SerialPortError::notOpen();
    const std::vector<std::uint8_t> hello{'h', 'i', '\r', '\n'};
    port->queue().sync([&] { error = port->write(hello); });
    EXPECT_EQ(error, SerialPortError::notOpen());

    ASSERT_EQ(open(), std::nullopt);
    std::promise<std::optional<SerialPortError>> written;
    port->write(hello, [&](std::optional<SerialPortError> result) { written.set_value(result); });
    EXPECT_EQ(written.get_future().get(), std::nullopt);
    EXPECT_EQ(pty.readFromPort(hello.size(), 2s), hello);

    // Nobody reads on the board's side: the kernel's buffer fills and the write stalls.
    const auto flood = patternBytes(1 << 20, 3);
    const auto started = std::chrono::steady_clock::now();
    port->queue().sync([&] { error = port->write(flood); });
    const auto waited = std::chrono::steady_clock::now() - started;
    EXPECT_EQ(error, SerialPortError::writeTimeout());
    EXPECT_GE(waited, 1900ms);
    EXPECT_TRUE(isOpen());

    // The bytes written before the stall stay written; the port keeps working.
    const auto drained = pty.readFromPort(flood.size(), 500ms);
    ASSERT_FALSE(drained.empty());
    EXPECT_TRUE(std::equal(drained.begin(), drained.end(), flood.begin()));
    port->queue().sync([&] { error = port->write(hello); });
    EXPECT_EQ(error, std::nullopt);
    EXPECT_EQ(pty.readFromPort(hello.size(), 2s), hello);
}

TEST_F(SerialPortOnPty, DroppingTheLastReferenceClosesQuietlyAndReleasesTheDevice)
{
    const LineAttributes before = deviceAttributes();
    ASSERT_EQ(open({57600}), std::nullopt);
    port.reset();
    EXPECT_EQ(deviceAttributes(), before);
    EXPECT_TRUE(recorder.closes().empty());
    EXPECT_EQ(::flock(observer, LOCK_EX | LOCK_NB), 0) << "the lock went with the port";
}

TEST_F(SerialPortOnPty, AnotherProgramHoldingTheLockMakesThePortBusy)
{
    L10n::ScopedLanguage english(Language::en);
    {
        ChildProcess holder({PROBE, "lock", pty.devicePath()});
        ASSERT_EQ(holder.readLine(5s), "locked");
        const auto error = open();
        ASSERT_TRUE(error);
        EXPECT_EQ(*error, SerialPortError::busy(pty.devicePath()));
        EXPECT_TRUE(error->message().starts_with(pty.devicePath() + " is already in use by another program"));
        EXPECT_FALSE(isOpen());
    }
    EXPECT_EQ(open(), std::nullopt) << "free again once the other program has gone";
    // And the other way round: while we hold the port, a program that locks is refused.
    ChildProcess latecomer({PROBE, "lock", pty.devicePath()});
    EXPECT_TRUE(latecomer.readLine(5s).starts_with("failed"));
}

TEST_F(SerialPortOnPty, ASecondOpenerWithoutPrivilegesIsToldThePortIsBusy)
{
    pty.makeAccessibleToEveryone();
    ASSERT_EQ(open(), std::nullopt);
    // Root passes the exclusive-use flag, so the second opener drops its privileges first.
    std::vector<std::string> command{PROBE, "open", pty.devicePath()};
    if (::geteuid() == 0)
        command.push_back("--as-nobody");
    ChildProcess second(command);
    const std::string answer = second.readLine(5s);
    EXPECT_TRUE(answer.starts_with("busy ")) << answer;
}

TEST_F(SerialPortOnPty, APermissionFailureAsksToCheckTheDevicePermissions)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to open the device as a user without access";
    ASSERT_EQ(::chmod(pty.devicePath().c_str(), 0600), 0);
    ChildProcess stranger({PROBE, "open", pty.devicePath(), "--as-nobody"});
    const std::string answer = stranger.readLine(5s);
    EXPECT_TRUE(answer.starts_with("openFailed ")) << answer;
    EXPECT_TRUE(answer.ends_with(" Check the device permissions.")) << answer;
}

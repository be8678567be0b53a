#include "core/exec/ManualMainQueue.h"
#include "core/pipeline/ByteFormatter.h"
#include "core/pipeline/ReceiveCoalescer.h"
#include "core/serial/SerialPort.h"
#include "localization/L10n.h"
#include "tests/helpers/ChildProcess.h"
#include "tests/helpers/PortRecorder.h"
#include "tests/helpers/PseudoTerminal.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <future>
#include <iostream>
#include <map>
#include <mutex>
#include <pthread.h>
#include <random>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

using namespace std::chrono_literals;
using namespace velmora;
using velmora::testing::ChildProcess;
using velmora::testing::PseudoTerminal;

namespace {

using Recorder = velmora::testing::PortRecorder;

std::vector<std::uint8_t> patternBytes(std::size_t count, std::uint32_t seed)
{
    std::mt19937 random(seed);
    std::vector<std::uint8_t> bytes(count);
    for (auto& byte : bytes)
        byte = static_cast<std::uint8_t>(random());
    return bytes;
}

// Collects write completions by payload number, with the time each came.
class WriteResults {
public:
    struct Result {
        std::optional<SerialPortError> error;
        std::chrono::steady_clock::time_point at;
    };
    SerialPort::WriteCompletion completion(int index)
    {
        return [this, index](std::optional<SerialPortError> error) {
            std::lock_guard lock(mutex_);
            results_.emplace(index, Result{std::move(error), std::chrono::steady_clock::now()});
            ++count_;
            changed_.notify_all();
        };
    }
    bool waitFor(std::size_t count, std::chrono::milliseconds timeout)
    {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, timeout, [&] { return count_ >= count; });
    }
    Result get(int index)
    {
        std::lock_guard lock(mutex_);
        return results_.at(index);
    }
    std::size_t count()
    {
        std::lock_guard lock(mutex_);
        return count_;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::map<int, Result> results_;
    std::size_t count_ = 0;
};

// A UART as TIOCOUTQ shows it: its output queue shrinks for a while, though the descriptor
// reports no room until it is nearly empty, and then stops moving. The lines it leaves alone.
class DrainingUart final : public ModemLineControl {
public:
    explicit DrainingUart(std::chrono::milliseconds drainsFor)
        : drainsUntil_(std::chrono::steady_clock::now() + drainsFor)
    {
    }
    int get(int, int& bits) override
    {
        bits = 0;
        return 0;
    }
    int set(int, int) override { return 0; }
    int clear(int, int) override { return 0; }
    int outputQueued(int, int& bytes) override
    {
        if (std::chrono::steady_clock::now() < drainsUntil_)
            --queued_;
        bytes = queued_;
        return 0;
    }

private:
    std::chrono::steady_clock::time_point drainsUntil_;
    int queued_ = 4096;
};

std::chrono::nanoseconds cpuTime(clockid_t clock)
{
    timespec time{};
    ::clock_gettime(clock, &time);
    return std::chrono::seconds(time.tv_sec) + std::chrono::nanoseconds(time.tv_nsec);
}

// Hangs the terminal up as the kernel does for a vhangup: a child makes it its controlling
// terminal and calls vhangup. False when the system does not allow it (it needs root).
bool hangUpAsControllingTerminal(const std::string& path)
{
    const pid_t child = ::fork();
    if (child == 0) {
        ::setsid();
        const int fd = ::open(path.c_str(), O_RDWR | O_NONBLOCK);
        if (fd < 0 || ::ioctl(fd, TIOCSCTTY, 0) != 0)
            ::_exit(2);
        // The hang-up signals its own session leader too.
        ::signal(SIGHUP, SIG_IGN);
        ::_exit(::vhangup() == 0 ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// A probe command run as a user without privileges: root passes the exclusive-use flag and
// every permission check, so there the probe drops its privileges.
std::vector<std::string> unprivileged(std::vector<std::string> command)
{
    if (::geteuid() == 0)
        command.push_back("--as-nobody");
    return command;
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

    std::optional<SerialPortError> open(const PortSettings& settings = {}) { return open(settings, recorder); }
    std::optional<SerialPortError> open(const PortSettings& settings, Recorder& to)
    {
        std::optional<SerialPortError> error;
        port->queue().sync([&] { error = port->open(settings, to.dataHandler(), to.closeHandler()); });
        return error;
    }
    // Writes one payload and waits for its completion.
    std::optional<SerialPortError> writeAndWait(std::vector<std::uint8_t> payload, std::chrono::milliseconds timeout)
    {
        WriteResults results;
        port->write(std::move(payload), results.completion(0));
        EXPECT_TRUE(results.waitFor(1, timeout));
        return results.count() > 0 ? results.get(0).error : SerialPortError::notOpen();
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

TEST_F(SerialPortOnPty, OpeningAnOpenPortTouchesNothingAndOnlyReplacesTheCallbacks)
{
    ASSERT_EQ(open({9600}), std::nullopt);
    const LineAttributes first = deviceAttributes();
    Recorder second;
    EXPECT_EQ(open({115200, DataBits::five}, second), std::nullopt);
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
    // A trickling device is left alone long enough for a kilobyte at the line's rate, never
    // longer than the next read may take to join the 30 ms batch of the bytes just read, and
    // not at all where the rest would be too short to matter.
    EXPECT_EQ(SerialPort::restAfterTrickle(115200), SerialPort::pacedRest);
    EXPECT_EQ(SerialPort::restAfterTrickle(1000000), std::chrono::microseconds(8192));
    EXPECT_EQ(SerialPort::restAfterTrickle(4000000), std::chrono::microseconds(2048));
    EXPECT_EQ(SerialPort::restAfterTrickle(12000000), std::chrono::microseconds(0));
    EXPECT_EQ(SerialPort::restAfterTrickle(50), SerialPort::pacedRest);
    EXPECT_LT(SerialPort::pacedRest, std::chrono::milliseconds(30));

    // A paced port reads a board writing 32 bytes every 2 ms for 0.4 s in a few dozen pieces
    // instead of one per write, whole and in order.
    port->setPacedReads(true);
    ASSERT_EQ(open({115200}), std::nullopt);
    std::vector<std::uint8_t> sent;
    for (int line = 0; line < 200; ++line) {
        char text[40];
        const int length =
            std::snprintf(text, sizeof text, "temp:%03d.5,hum:%03d,count:%05d\n", line % 40, line % 90, line);
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
    EXPECT_LE(recorder.batches().size(), static_cast<std::size_t>(writing / SerialPort::pacedRest) + 2);
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
    const std::vector<std::optional<SerialPortError>> once{SerialPortError::deviceDisconnected()};
    EXPECT_EQ(recorder.closes(), once);
    EXPECT_EQ(recorder.events().back(), "close");
    EXPECT_EQ(recorder.events().front(), "data");
    EXPECT_FALSE(isOpen());
    EXPECT_EQ(port->fd(), -1);
    close(); // closing again does nothing
    EXPECT_EQ(recorder.closes(), once);
}

TEST_F(SerialPortOnPty, ABoardThatStopsReadingTimesTheWriteOutAfterTwoSecondsWhileReadsGoOnAndThePortStaysOpen)
{
    const std::vector<std::uint8_t> hello{'h', 'i', '\r', '\n'};
    std::optional<SerialPortError> error;
    port->queue().sync([&] { error = port->write(hello); });
    EXPECT_EQ(error, SerialPortError::notOpen());

    ASSERT_EQ(open(), std::nullopt);
    EXPECT_EQ(writeAndWait(hello, 5s), std::nullopt);
    EXPECT_EQ(pty.readFromPort(hello.size(), 2s), hello);

    // Nobody reads on the board's side: the kernel takes some 16 KiB, then the first payload
    // stalls and the second waits behind it.
    const auto first = patternBytes(32 * 1024, 3);
    const auto second = patternBytes(4096, 4);
    WriteResults results;
    const auto queued = std::chrono::steady_clock::now();
    port->write(first, results.completion(0));
    port->write(second, results.completion(1));
    // Beyond the byte limit a payload fails at once and the port stays open.
    const std::vector<std::uint8_t> tooMuch(SerialPort::maxQueuedWriteBytes - first.size() - second.size() + 1);
    port->queue().sync([&] { error = port->write(tooMuch); });
    EXPECT_EQ(error, SerialPortError::writeFailed(ENOBUFS));

    // The queue stays free, and what the board sends meanwhile arrives at once.
    std::this_thread::sleep_for(300ms);
    const auto asked = std::chrono::steady_clock::now();
    EXPECT_TRUE(isOpen());
    EXPECT_LT(std::chrono::steady_clock::now() - asked, 100ms);
    const auto sent = std::chrono::steady_clock::now();
    pty.writeToPort(std::string("ping"));
    EXPECT_TRUE(recorder.waitForBytes(4, 100ms))
        << "read "
        << std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - sent).count()
        << " ms late";

    ASSERT_TRUE(results.waitFor(1, 5s));
    const auto firstResult = results.get(0);
    EXPECT_EQ(firstResult.error, SerialPortError::writeTimeout());
    EXPECT_GE(firstResult.at - queued, 1900ms);
    EXPECT_LT(firstResult.at - queued, 2600ms);
    EXPECT_TRUE(isOpen());

    // The next payload starts from its own beginning and completes once the board reads again.
    std::vector<std::uint8_t> received;
    while (!results.waitFor(2, 0ms)) {
        const auto piece = pty.readFromPort(SIZE_MAX, 20ms);
        received.insert(received.end(), piece.begin(), piece.end());
    }
    const auto rest = pty.readFromPort(SIZE_MAX, 100ms);
    received.insert(received.end(), rest.begin(), rest.end());
    EXPECT_EQ(results.get(1).error, std::nullopt);
    ASSERT_GT(received.size(), second.size());
    const std::size_t ofFirst = received.size() - second.size();
    EXPECT_LT(ofFirst, first.size());
    EXPECT_TRUE(std::equal(received.begin(), received.begin() + static_cast<std::ptrdiff_t>(ofFirst), first.begin()))
        << "what the driver took of the first payload stays written";
    EXPECT_TRUE(std::equal(received.begin() + static_cast<std::ptrdiff_t>(ofFirst), received.end(), second.begin()));

    port->queue().sync([&] { error = port->write(hello); });
    EXPECT_EQ(error, std::nullopt);
    EXPECT_EQ(pty.readFromPort(hello.size(), 2s), hello);
}

TEST_F(SerialPortOnPty, ACloseReturnsAtOnceWhateverWaitsAndEveryDiscardedPayloadCompletesWithNotOpen)
{
    const LineAttributes before = deviceAttributes();
    ASSERT_EQ(open(), std::nullopt);
    WriteResults results;
    port->write(patternBytes(24 * 1024, 5), results.completion(0));
    for (int i = 1; i <= 3; ++i)
        port->write(patternBytes(4096, 5 + i), results.completion(i));
    port->queue().sync([] {});
    EXPECT_FALSE(results.waitFor(1, 0ms)) << "the first payload stalls";

    const auto started = std::chrono::steady_clock::now();
    close();
    EXPECT_LT(std::chrono::steady_clock::now() - started, 100ms);
    ASSERT_TRUE(results.waitFor(4, 0ms));
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(results.get(i).error, SerialPortError::notOpen()) << i;
    EXPECT_EQ(results.count(), 4u) << "each completion once";
    EXPECT_EQ(deviceAttributes(), before);

    port->write({'x'}, results.completion(4));
    ASSERT_TRUE(results.waitFor(5, 2s));
    EXPECT_EQ(results.get(4).error, SerialPortError::notOpen());
}

TEST_F(SerialPortOnPty, ALineThatDrainsSlowlyNeverTimesOut)
{
    ASSERT_EQ(open({9600}), std::nullopt);
    // The board reads 128 bytes every 20 ms: the payload takes well over two seconds.
    const auto payload = patternBytes(20 * 1024, 9);
    WriteResults results;
    const auto started = std::chrono::steady_clock::now();
    port->write(payload, results.completion(0));
    std::vector<std::uint8_t> received;
    while (received.size() < payload.size() && std::chrono::steady_clock::now() - started < 20s) {
        std::this_thread::sleep_for(20ms);
        const auto piece = pty.readFromPort(128, 5ms);
        received.insert(received.end(), piece.begin(), piece.end());
    }
    EXPECT_GT(std::chrono::steady_clock::now() - started, 2s);
    ASSERT_TRUE(results.waitFor(1, 1s));
    EXPECT_EQ(results.get(0).error, std::nullopt);
    EXPECT_EQ(received, payload);
}

TEST_F(SerialPortOnPty, ADrainingOutputQueueIsProgressThoughTheLineReportsNoRoom)
{
    port = SerialPort::create(pty.devicePath(), std::make_shared<DrainingUart>(2500ms));
    ASSERT_EQ(open(), std::nullopt);
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(writeAndWait(patternBytes(32 * 1024, 10), 10s), SerialPortError::writeTimeout());
    // Two seconds after the queue stopped shrinking, not after the last room to write.
    EXPECT_GE(std::chrono::steady_clock::now() - started, 4300ms);
    EXPECT_LT(std::chrono::steady_clock::now() - started, 5500ms);
}

TEST_F(SerialPortOnPty, ADriverStillHoldingUnsentBytesIsLetGoOfWithoutWaitingForItsLastClose)
{
    const auto descriptors = [] {
        return std::distance(
            std::filesystem::directory_iterator("/proc/self/fd"), std::filesystem::directory_iterator());
    };
    port = SerialPort::create(pty.devicePath(), std::make_shared<DrainingUart>(0ms));
    const auto before = descriptors();
    ASSERT_EQ(open(), std::nullopt);
    close();
    EXPECT_EQ(::flock(observer, LOCK_EX | LOCK_NB), 0) << "the lock is given up with the close";
    ::flock(observer, LOCK_UN);
    // The descriptor itself goes a moment later, closed where nobody waits for it.
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (descriptors() != before && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(10ms);
    EXPECT_EQ(descriptors(), before);
}

TEST_F(SerialPortOnPty, AHangUpWithTheNodeStillPresentIsADisconnectAndLeavesTheThreadQuiet)
{
    // End of file while the device's node stays: every user meets it when another program puts
    // the line into canonical mode and the board sends the end-of-file character; root can also
    // hang the terminal up for real, as a vhangup does.
    const auto provocations = std::vector<std::pair<std::string, std::function<bool()>>>{
        {"end of file",
            [&] {
                termios attributes{};
                EXPECT_EQ(::tcgetattr(observer, &attributes), 0);
                attributes.c_lflag |= ICANON;
                EXPECT_EQ(::tcsetattr(observer, TCSANOW, &attributes), 0);
                pty.writeToPort(std::string("\x04"));
                return true;
            }},
        {"vhangup", [&] { return hangUpAsControllingTerminal(pty.devicePath()); }},
    };
    for (const auto& [name, provoke] : provocations) {
        SCOPED_TRACE(name);
        Recorder seen;
        port = SerialPort::create(pty.devicePath());
        ASSERT_EQ(open({}, seen), std::nullopt);
        clockid_t ioThreadClock{};
        port->queue().sync([&] { ASSERT_EQ(pthread_getcpuclockid(pthread_self(), &ioThreadClock), 0); });
        if (!provoke()) {
            std::cout << "[ SKIPPED  ] " << name << " needs the right to hang up a terminal\n";
            continue;
        }
        ASSERT_TRUE(seen.waitForClose());
        const auto cpuBefore = cpuTime(ioThreadClock);
        std::this_thread::sleep_for(1s);
        EXPECT_LT(cpuTime(ioThreadClock) - cpuBefore, 10ms) << "the I/O thread is quiet";
        EXPECT_EQ(seen.closes(), (std::vector<std::optional<SerialPortError>>{SerialPortError::deviceDisconnected()}));
        EXPECT_FALSE(port->isOpen());
        EXPECT_EQ(::access(pty.devicePath().c_str(), F_OK), 0) << "the node is still there";
        port.reset();
        // A hung-up observer is of no more use; the next provocation gets a fresh one.
        ::close(observer);
        observer = ::open(pty.devicePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        ASSERT_GE(observer, 0);
    }
}

TEST_F(SerialPortOnPty, PacketsEveryTwentyFiveMillisecondsKeepTheirArrivalTimesAndBecomeALineEach)
{
    ManualMainQueue mainQueue;
    auto coalescer = ReceiveCoalescer::create(mainQueue, [](std::vector<ReceivedChunk>, std::int64_t) {});
    port->queue().sync([&] {
        ASSERT_EQ(
            port->open(
                {115200}, [&](std::vector<std::uint8_t> bytes) { coalescer->receive(std::move(bytes)); }, nullptr),
            std::nullopt);
    });
    constexpr int packets = 40;
    std::vector<std::chrono::system_clock::time_point> writtenAt;
    for (int i = 0; i < packets; ++i) {
        const auto packet = patternBytes(8, static_cast<std::uint32_t>(100 + i));
        pty.writeToPort(packet);
        // Taken once the board's write returned, so that only the port's own delay counts.
        writtenAt.push_back(std::chrono::system_clock::now());
        std::this_thread::sleep_for(25ms);
    }
    port->queue().sync([] {});
    const auto chunks = coalescer->drain().chunks;
    ASSERT_EQ(chunks.size(), static_cast<std::size_t>(packets));
    // Each within 5 ms of its write; a busy machine may keep the reader off the processor a few
    // milliseconds once in a while, but never for a rest's 25 ms.
    int onTime = 0;
    for (int i = 0; i < packets; ++i) {
        const auto late = chunks[static_cast<std::size_t>(i)].time - writtenAt[static_cast<std::size_t>(i)];
        EXPECT_LT(late, 15ms) << "packet " << i;
        if (late < 5ms)
            ++onTime;
        else
            std::cout << "packet " << i << " arrived "
                      << std::chrono::duration_cast<std::chrono::microseconds>(late).count() << " us late\n";
    }
    EXPECT_GE(onTime, packets - 2);

    ByteDisplayOptions options;
    options.mode = DisplayMode::hex;
    options.bytesPerLine = 64;
    options.gapMs = 10;
    ByteFormatter formatter;
    const auto result = formatter.format(chunks, options);
    const auto newlines =
        std::count(result.committed.begin(), result.committed.end(), OutputSegment{OutputSegment::Kind::data, u"\n"});
    EXPECT_EQ(newlines + (result.provisional.empty() ? 0 : 1), packets);
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

TEST_F(SerialPortOnPty, AnotherProgramHoldingTheLockOrOpeningSecondIsToldThePortIsBusyAndARefusalLeavesTheDeviceFree)
{
    L10n::ScopedLanguage english(Language::en);
    pty.makeAccessibleToEveryone();
    {
        ChildProcess holder({PROBE, "lock", pty.devicePath()});
        ASSERT_EQ(holder.readLine(5s), "locked");
        const auto error = open();
        ASSERT_TRUE(error);
        EXPECT_EQ(*error, SerialPortError::busy(pty.devicePath()));
        EXPECT_TRUE(error->message().starts_with(pty.devicePath() + " is already in use by another program"));
        EXPECT_FALSE(isOpen());
    }
    {
        ChildProcess next(unprivileged({PROBE, "lock", pty.devicePath()}));
        EXPECT_EQ(next.readLine(5s), "locked") << "the refused open left the device exclusive";
    }
    EXPECT_EQ(open(), std::nullopt) << "free again once the other program has gone";
    // And the other way round: while we hold the port, a program that locks is refused, and so is
    // one that opens it as we do, by the open itself (exclusive use) before it gets to the lock.
    ChildProcess latecomer({PROBE, "lock", pty.devicePath()});
    EXPECT_TRUE(latecomer.readLine(5s).starts_with("failed"));
    ChildProcess second(unprivileged({PROBE, "open", pty.devicePath()}));
    const std::string answer = second.readLine(5s);
    EXPECT_TRUE(answer.starts_with("busy ")) << answer;
}

TEST_F(SerialPortOnPty, AFailedOpenAsksWhetherTheDeviceIsStillConnectedOrToCheckItsPermissions)
{
    L10n::ScopedLanguage english(Language::en);
    auto missing = SerialPort::create("/dev/ttyVelmoraMissing0");
    std::optional<SerialPortError> error;
    missing->queue().sync([&] { error = missing->open({}, nullptr, nullptr); });
    ASSERT_TRUE(error);
    EXPECT_EQ(*error, SerialPortError::openFailed("/dev/ttyVelmoraMissing0", ENOENT));
    EXPECT_TRUE(error->message().ends_with(" Is the device still connected?")) << error->message();

    ASSERT_EQ(::chmod(pty.devicePath().c_str(), 0), 0);
    ChildProcess stranger(unprivileged({PROBE, "open", pty.devicePath()}));
    const std::string answer = stranger.readLine(5s);
    EXPECT_TRUE(answer.starts_with("openFailed ")) << answer;
    EXPECT_TRUE(answer.ends_with(" Check the device permissions.")) << answer;
}

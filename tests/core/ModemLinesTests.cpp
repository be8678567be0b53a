#include "core/serial/SerialPort.h"
#include "localization/L10n.h"
#include "tests/helpers/PseudoTerminal.h"

#include <gtest/gtest.h>

#include <future>
#include <mutex>
#include <poll.h>
#include <sys/ioctl.h>
#include <thread>
#include <unistd.h>

using namespace std::chrono_literals;
using namespace velmora;
using Clock = std::chrono::steady_clock;

namespace {

// Stands in for the driver's modem-control requests, which pseudo-terminals refuse: keeps the
// line state, records every request with its time, and can refuse one on demand.
class RecordingModemLines final : public ModemLineControl {
public:
    struct Request {
        std::string what; // "get", "set" or "clear"
        int bits;
        Clock::time_point at;
        std::size_t boardHadBytes; // what the board side had received when the request came
    };

    explicit RecordingModemLines(int boardSide = -1) : boardSide_(boardSide) {}

    int get(int, int& bits) override
    {
        record("get", 0);
        bits = state_;
        return 0;
    }
    int set(int, int bits) override
    {
        if (const int refusal = record("set", bits))
            return refusal;
        state_ |= bits;
        return 0;
    }
    int clear(int, int bits) override
    {
        if (const int refusal = record("clear", bits))
            return refusal;
        state_ &= ~bits;
        return 0;
    }

    void refuseRequest(std::size_t index, int code)
    {
        refuseAt_ = index;
        refusal_ = code;
    }
    std::vector<Request> requests()
    {
        std::lock_guard lock(mutex_);
        return requests_;
    }
    // The requests as text, e.g. "clear DTR, set DTR, get".
    std::string trace()
    {
        std::string text;
        for (const auto& request : requests()) {
            if (!text.empty())
                text += ", ";
            text += request.what;
            if (request.bits & TIOCM_DTR)
                text += " DTR";
            if (request.bits & TIOCM_RTS)
                text += " RTS";
        }
        return text;
    }

private:
    int record(const char* what, int bits)
    {
        std::lock_guard lock(mutex_);
        int pending = 0;
        if (boardSide_ >= 0) {
            // Written bytes reach the board's side through the kernel's buffers a moment later.
            pollfd readable{boardSide_, POLLIN, 0};
            ::poll(&readable, 1, 200);
            ::ioctl(boardSide_, FIONREAD, &pending);
        }
        requests_.push_back({what, bits, Clock::now(), static_cast<std::size_t>(pending)});
        return requests_.size() - 1 == refuseAt_ ? refusal_ : 0;
    }

    int boardSide_;
    int state_ = TIOCM_DTR | TIOCM_RTS; // as a port is after open
    std::mutex mutex_;
    std::vector<Request> requests_;
    std::size_t refuseAt_ = SIZE_MAX;
    int refusal_ = 0;
};

class LineSteps : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Called again by tests that start over: the earlier port lets go of the device first.
        if (port)
            port->queue().sync([&] { port->close(); });
        port = SerialPort::create(pty.devicePath(), lines);
        std::optional<SerialPortError> error;
        port->queue().sync([&] { error = port->open({}, nullptr, nullptr); });
        ASSERT_EQ(error, std::nullopt);
    }

    Expected<ModemLines, SerialPortError> run(std::vector<LineStep> steps)
    {
        std::promise<Expected<ModemLines, SerialPortError>> done;
        port->runLineSteps(
            std::move(steps), [&](Expected<ModemLines, SerialPortError> result) { done.set_value(result); });
        return done.get_future().get();
    }

    static std::chrono::milliseconds between(
        const RecordingModemLines::Request& a, const RecordingModemLines::Request& b)
    {
        return std::chrono::duration_cast<std::chrono::milliseconds>(b.at - a.at);
    }

    velmora::testing::PseudoTerminal pty;
    std::shared_ptr<RecordingModemLines> lines = std::make_shared<RecordingModemLines>(pty.master());
    std::shared_ptr<SerialPort> port;
};

} // namespace

TEST_F(LineSteps, TheArduinoResetPulsesDtrForAHundredMilliseconds)
{
    const auto result = run(steps(ResetSequence::arduino));
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(*result, (ModemLines{true, true}));
    EXPECT_EQ(lines->trace(), "clear DTR, set DTR, get");
    const auto requests = lines->requests();
    EXPECT_GE(between(requests[0], requests[1]), 100ms);
}

TEST_F(LineSteps, TheEspSequencesAssertBeforeTheyDropAndTheBootloaderOneEndsWithBothLinesOff)
{
    auto result = run(steps(ResetSequence::esp32));
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(lines->trace(), "set RTS, clear DTR, clear RTS, get");
    EXPECT_EQ(*result, (ModemLines{false, false}));

    lines = std::make_shared<RecordingModemLines>();
    SetUp();
    result = run(steps(ResetSequence::esp32Bootloader));
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(lines->trace(), "set RTS, clear DTR, set DTR, clear RTS, clear DTR, get");
    EXPECT_EQ(*result, (ModemLines{false, false}));
    const auto requests = lines->requests();
    EXPECT_GE(between(requests[1], requests[2]), 100ms);
    EXPECT_GE(between(requests[3], requests[4]), 50ms);
}

TEST_F(LineSteps, TogglesAndHoldOnlyStepsIssueOnlyWhatTheyNeed)
{
    EXPECT_EQ(*run({dtrStep(false)}), (ModemLines{false, true}));
    EXPECT_EQ(*run({rtsStep(false)}), (ModemLines{false, false}));
    EXPECT_EQ(*run({rtsStep(true)}), (ModemLines{false, true}));
    EXPECT_EQ(lines->trace(), "clear DTR, get, clear RTS, get, set RTS, get");

    const auto before = lines->requests().size();
    const auto started = Clock::now();
    EXPECT_TRUE(run({{std::nullopt, std::nullopt, 30}}).ok());
    EXPECT_GE(Clock::now() - started, 30ms);
    EXPECT_EQ(lines->requests().size(), before + 1) << "a hold-only step only sleeps, then the lines are read";
    EXPECT_TRUE(run({}).ok());
}

TEST_F(LineSteps, ARefusedRequestStopsTheRunWithTheDriversReason)
{
    L10n::ScopedLanguage english(Language::en);
    lines->refuseRequest(1, EIO); // the "set DTR" of the Arduino reset
    const auto result = run(steps(ResetSequence::arduino));
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error(), SerialPortError::lineControlFailed(EIO));
    EXPECT_EQ(result.error().message(), "Setting DTR/RTS failed: Input/output error.");
    EXPECT_EQ(lines->trace(), "clear DTR, set DTR") << "nothing after the refusal";

    port->queue().sync([&] {
        const auto read = port->readModemLines();
        ASSERT_TRUE(read.ok());
        EXPECT_EQ(*read, (ModemLines{false, true})) << "the lines stay as far as the run got";
    });
}

TEST_F(LineSteps, AClosedPortReportsNotOpenAndReadsNothing)
{
    port->queue().sync([&] { port->close(); });
    const auto result = run(steps(ResetSequence::arduino));
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error(), SerialPortError::notOpen());
    port->queue().sync([&] {
        EXPECT_EQ(port->readModemLines().error(), SerialPortError::notOpen());
        EXPECT_EQ(port->readModemLinesIfAvailable(), std::nullopt);
    });
    EXPECT_TRUE(lines->requests().empty());
}

TEST_F(LineSteps, WritesAndResetsKeepTheOrderInWhichTheyWereQueued)
{
    // The first payload is more than the kernel takes at once, so the reset behind it waits
    // until the board has read enough of it; the write behind the reset waits for its hold.
    lines = std::make_shared<RecordingModemLines>();
    SetUp();
    const std::vector<std::uint8_t> before(24 * 1024, 'b');
    const std::vector<std::uint8_t> during{'d', 'u', 'r', 'i', 'n', 'g'};
    std::promise<Clock::time_point> firstWritten;
    std::promise<Clock::time_point> secondWritten;
    port->write(before, [&](std::optional<SerialPortError> error) {
        EXPECT_EQ(error, std::nullopt);
        firstWritten.set_value(Clock::now());
    });
    std::promise<Expected<ModemLines, SerialPortError>> reset;
    port->runLineSteps(steps(ResetSequence::arduino), [&](auto result) { reset.set_value(result); });
    port->write(during, [&](std::optional<SerialPortError> error) {
        EXPECT_EQ(error, std::nullopt);
        secondWritten.set_value(Clock::now());
    });
    port->queue().sync([] {});
    EXPECT_TRUE(lines->requests().empty()) << "the reset waits for the write before it";

    auto expected = before;
    expected.insert(expected.end(), during.begin(), during.end());
    EXPECT_EQ(pty.readFromPort(expected.size(), 5s), expected);
    const auto firstDone = firstWritten.get_future().get();
    EXPECT_TRUE(reset.get_future().get().ok());
    const auto secondDone = secondWritten.get_future().get();

    const auto requests = lines->requests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_GE(requests.front().at, firstDone);
    EXPECT_GE(secondDone, requests[1].at) << "the write waits for the reset's hold and last step";
}

TEST_F(LineSteps, ACloseDuringAHoldDropsTheRemainingStepsAndReportsNotOpen)
{
    lines = std::make_shared<RecordingModemLines>();
    SetUp();
    std::promise<Expected<ModemLines, SerialPortError>> reset;
    port->runLineSteps(steps(ResetSequence::arduino), [&](auto result) { reset.set_value(result); });
    port->queue().sync([] {});
    ASSERT_EQ(lines->trace(), "clear DTR") << "holding after the first step";

    const auto started = Clock::now();
    port->queue().sync([&] { port->close(); });
    EXPECT_LT(Clock::now() - started, 50ms) << "the hold does not hold the queue";
    auto result = reset.get_future();
    ASSERT_EQ(result.wait_for(0s), std::future_status::ready);
    const auto outcome = result.get();
    ASSERT_FALSE(outcome.ok());
    EXPECT_EQ(outcome.error(), SerialPortError::notOpen());
    port->queue().sync([] {});
    std::this_thread::sleep_for(150ms);
    EXPECT_EQ(lines->trace(), "clear DTR") << "nothing after the close";
}

TEST(ResetSequences, EveryPulseStartsByDroppingALineAndHoldsNothingAfterItsLastStep)
{
    for (const auto sequence : allResetSequences) {
        const auto pulse = steps(sequence);
        ASSERT_GE(pulse.size(), 2u);
        EXPECT_TRUE(pulse.front().dtr == false || pulse.front().rts == false) << title(sequence);
        EXPECT_EQ(pulse.back().holdMs, 0) << title(sequence);
    }
}

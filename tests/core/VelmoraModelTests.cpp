#include "core/exec/ManualMainQueue.h"
#include "core/pipeline/InMemoryTextStore.h"
#include "core/platform/InMemorySettingsStore.h"
#include "core/session/VelmoraModel.h"
#include "core/text/Utf8.h"
#include "localization/L10n.h"
#include "tests/helpers/AdapterModemLines.h"
#include "tests/helpers/ChildProcess.h"
#include "tests/helpers/CountingAlert.h"
#include "tests/helpers/DeliveryPump.h"
#include "tests/helpers/FakeBoard.h"
#include "tests/helpers/PseudoTerminal.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <fstream>
#include <regex>
#include <sstream>
#include <sys/ioctl.h>
#include <thread>
#include <unistd.h>

using namespace std::chrono_literals;
using namespace velmora;
using velmora::testing::ChildProcess;
using velmora::testing::FakeBoard;
using velmora::testing::PseudoTerminal;

namespace {

// Keeps a copy of every notice however far the output trims them away, and lets a test act
// whenever received data is shown.
class OutputWatch {
public:
    explicit OutputWatch(const InMemoryTextStore& store)
        : store_(store), subscription_(store.changes().subscribe([this](const auto& change) { inspect(change); }))
    {
    }

    std::vector<std::string> notices;
    std::function<void()> whileShowingData;

private:
    void inspect(const InMemoryTextStore::Change& change)
    {
        if (!change.firstChanged)
            return;
        bool data = false;
        for (const auto& span : store_.styles(*change.firstChanged, store_.length())) {
            if (span.style == TextStyle::system)
                notices.push_back(utf16ToUtf8(store_.view().substr(span.start, span.end - span.start)));
            else
                data = true;
        }
        if (data && whileShowingData)
            whileShowingData();
    }

    const InMemoryTextStore& store_;
    Subscription subscription_;
};

SerialPortInfo usbBoard(std::string path, int product = 0x0043)
{
    return {std::move(path), std::string("Uno"), 0x2341, product};
}

SerialPortInfo builtInPort(std::string path)
{
    return {std::move(path), std::nullopt, std::nullopt, std::nullopt};
}

class SessionModel : public ::testing::Test {
protected:
    std::shared_ptr<VelmoraModel> makeModel()
    {
        return VelmoraModel::create({queue, settings, alert, registry, [](const std::string& path) {
                                         return SerialPort::create(
                                             path, std::make_shared<velmora::testing::AdapterModemLines>());
                                     }});
    }

    static std::string shown(VelmoraModel& model) { return utf16ToUtf8(model.output().storage().text()); }

    bool pump(const std::function<bool()>& condition, std::chrono::milliseconds realTimeout = 5s)
    {
        return velmora::testing::pumpDeliveries(queue, condition, realTimeout);
    }

    // Waits while the clock stands still, so that what a real port reads meanwhile stays in the
    // coalescer, until condition holds.
    bool waitUndelivered(const std::function<bool()>& condition, std::chrono::milliseconds realTimeout = 10s)
    {
        const auto deadline = std::chrono::steady_clock::now() + realTimeout;
        while (!queue.runUntil(condition, 1ms)) {
            if (std::chrono::steady_clock::now() >= deadline)
                return false;
        }
        return true;
    }

    void connectTo(VelmoraModel& model, const std::string& path, std::int64_t baud = 115200)
    {
        model.line().selectedPath.set(path);
        model.line().baudRate.set(baud);
        model.connect();
        ASSERT_EQ(model.connection().state.value(), ConnectionState::connected)
            << model.errorMessage().value().value_or("");
    }

    // Connects to the board, pulls it out and waits until the session notices.
    void connectThenUnplug(VelmoraModel& model, FakeBoard& board, std::int64_t baud = 115200)
    {
        connectTo(model, board.path(), baud);
        board.unplug();
        ASSERT_TRUE(
            queue.runUntil([&] { return model.connection().state.value() == ConnectionState::waitingForDevice; }, 5s));
    }

    L10n::ScopedLanguage english{Language::en};
    ManualMainQueue queue;
    InMemorySettingsStore settings;
    velmora::testing::CountingAlert alert;
    PortRegistry registry{queue, nullptr};
};

} // namespace

TEST_F(SessionModel, ConnectingNeedsASelectedPortThatNoOtherProgramHolds)
{
    auto model = makeModel();
    model->connect();
    EXPECT_EQ(model->errorMessage().value(), "Select a serial port first.");
    EXPECT_EQ(model->connection().state.value(), ConnectionState::disconnected);

    PseudoTerminal board;
    ChildProcess holder({PROBE, "lock", board.devicePath()});
    ASSERT_EQ(holder.readLine(5s), "locked");
    model->clearError();
    model->line().selectedPath.set(board.devicePath());
    model->connect();
    EXPECT_EQ(model->connection().state.value(), ConnectionState::disconnected);
    EXPECT_EQ(model->errorMessage().value(), SerialPortError::busy(board.devicePath()).message());
    EXPECT_TRUE(model->reception().outputIsEmpty.value());
}

TEST_F(SessionModel, ConnectingAndDisconnectingPrintStatusLinesAndReadTheModemLines)
{
    PseudoTerminal board;
    auto model = makeModel();
    EXPECT_EQ(model->title(), "Velmora");
    connectTo(*model, board.devicePath());
    EXPECT_EQ(model->connection().modemLines.value(), (ModemLines{true, true}));
    EXPECT_EQ(model->title(), board.devicePath().substr(5));
    model->disconnect();
    EXPECT_EQ(
        shown(*model), "--- Connected to " + board.devicePath() + " @ 115200 8N1 ---\n--- Connection closed ---\n");
    EXPECT_EQ(model->connection().modemLines.value(), std::nullopt);
    EXPECT_EQ(model->connection().state.value(), ConnectionState::disconnected);
    model->disconnect();
    EXPECT_EQ(
        shown(*model), "--- Connected to " + board.devicePath() + " @ 115200 8N1 ---\n--- Connection closed ---\n")
        << "disconnecting while disconnected prints nothing";
}

TEST_F(SessionModel, ABigBatchIsShownInOrderAFewHundredKilobytesAtATime)
{
    PseudoTerminal board;
    auto model = makeModel();
    model->display().echoSent.set(false);
    connectTo(*model, board.devicePath());
    const auto& store = model->output().storage();
    std::size_t largestStep = 0;
    std::size_t before = store.length();
    auto steps = store.changes().subscribe([&](const InMemoryTextStore::Change&) {
        largestStep = std::max(largestStep, store.length() - std::min(before, store.length()));
        before = store.length();
    });

    // A megabyte and a half of numbered lines (less than the output keeps), written while the
    // clock stands still, so that they reach the session in a few big deliveries.
    std::string lines;
    for (int i = 0; lines.size() < 1'500'000; ++i)
        lines += "line " + std::to_string(i) + " temp:21.5,hum:40\n";
    board.writeToPort(lines);
    ASSERT_TRUE(
        pump([&] { return model->reception().rxBytes.value() == static_cast<std::int64_t>(lines.size()); }, 20s));
    ASSERT_TRUE(queue.runUntil(
        [&] { return !store.text().empty() && shown(*model).ends_with(lines.substr(lines.size() - 40)); }, 5s));
    steps.cancel();

    // Every line, in order, once (compared as a whole: a diff of megabytes would take minutes).
    EXPECT_TRUE(shown(*model).substr(shown(*model).find('\n') + 1) == lines);
    // One read is at most 64 KiB; a turn shows at most half a megabyte of them.
    EXPECT_LE(largestStep, 512u * 1024u + 65536u);
    EXPECT_GT(largestStep, 0u);
}

TEST_F(SessionModel, ReceivedLinesCarryTheEchoMarkerAndSentTextReachesTheBoardWithItsEcho)
{
    PseudoTerminal board;
    auto model = makeModel();
    connectTo(*model, board.devicePath());
    board.writeToPort(std::string("21.5,40\r\n"));
    ASSERT_TRUE(pump([&] { return model->reception().rxBytes.value() == 9; }));
    model->display().echoSent.set(false);
    board.writeToPort(std::string("22.0,41\r\n"));
    ASSERT_TRUE(pump([&] { return model->reception().rxBytes.value() == 18; }));

    model->display().echoSent.set(true);
    model->composer().lineEnding.set(LineEnding::crlf);
    model->composer().inputText.set("Hello");
    model->send();
    EXPECT_EQ(model->composer().inputText.value(), "");
    EXPECT_EQ(board.readFromPort(7, 2s), (std::vector<std::uint8_t>{'H', 'e', 'l', 'l', 'o', '\r', '\n'}));
    ASSERT_TRUE(pump([&] { return model->txBytes().value() == 7; }));
    const std::string connected = "--- Connected to " + board.devicePath() + " @ 115200 8N1 ---\n";
    EXPECT_EQ(shown(*model), connected + "\u2190 21.5,40\n22.0,41\n\u2192 Hello<CR><LF>\n");

    model->composer().sendMode.set(SendMode::hex);
    model->composer().inputText.set("0G");
    model->send();
    EXPECT_EQ(alert.count, 1);
    EXPECT_EQ(model->composer().inputText.value(), "0G");
    EXPECT_EQ(model->composer().hexInputError(), L10n::Send::invalidHex("0G"));
}

TEST_F(SessionModel, AnEchoComesAfterEveryByteReceivedBeforeItsSendEvenBehindABigDelivery)
{
    PseudoTerminal board;
    auto model = makeModel();
    connectTo(*model, board.devicePath());
    const std::string connected = "--- Connected to " + board.devicePath() + " @ 115200 8N1 ---\n";
    const auto sendText = [&](const std::string& text) {
        model->composer().inputText.set(text);
        model->send();
    };

    // Still waiting for its 30 ms batch: shown at once, before the echo.
    board.writeToPort(std::string("older"));
    ASSERT_TRUE(waitUndelivered([&] { return model->bytesNotYetShown() == 5; }));
    sendText("hi");
    EXPECT_EQ(shown(*model), connected + "\u2190 older\n\u2192 hi<LF>\n");

    // More than a turn shows: the echo waits behind it, and the turn shows only its slice.
    std::string lines;
    for (int i = 0; lines.size() < 1'000'000; ++i)
        lines += "line " + std::to_string(i) + "\n";
    board.writeToPort(lines);
    ASSERT_TRUE(waitUndelivered([&] { return model->bytesNotYetShown() == static_cast<std::int64_t>(lines.size()); }));
    sendText("later");
    EXPECT_EQ(shown(*model).find("later"), std::string::npos);
    EXPECT_GE(model->bytesNotYetShown(), static_cast<std::int64_t>(lines.size()) - ReceiveCoalescer::maxSliceBytes);
    // Bytes received after the send come after the echo.
    board.writeToPort(std::string("newer\n"));
    const auto total = static_cast<std::int64_t>(5 + lines.size() + 6);
    ASSERT_TRUE(pump([&] { return model->reception().rxBytes.value() == total; }));
    const std::string last = lines.substr(lines.rfind('\n', lines.size() - 2) + 1);
    EXPECT_TRUE(shown(*model).ends_with("\u2190 " + last + "\u2192 later<LF>\n\u2190 newer\n"))
        << shown(*model).substr(shown(*model).size() - 200);
    ASSERT_TRUE(pump([&] { return model->txBytes().value() == 9; }));
    EXPECT_EQ(board.readFromPort(9, 2s), (std::vector<std::uint8_t>{'h', 'i', '\n', 'l', 'a', 't', 'e', 'r', '\n'}));
}

TEST_F(SessionModel, MessagesStillWaitingWhenThePortClosesNeitherHoldUpTheDisconnectNorReportAnError)
{
    PseudoTerminal board;
    auto model = makeModel();
    model->display().echoSent.set(false);
    connectTo(*model, board.devicePath());
    // The board reads nothing: the line fills up and the last messages wait in the port's queue,
    // which holds all of them (64,000 bytes) should the line take none.
    const std::string message(3999, 'x');
    constexpr int count = 16;
    for (int i = 0; i < count; ++i) {
        model->composer().inputText.set(message);
        model->send();
    }
    ASSERT_TRUE(pump([&] { return model->txBytes().value() > 0; }));
    EXPECT_EQ(model->errorMessage().value(), std::nullopt);
    const auto start = std::chrono::steady_clock::now();
    model->disconnect();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 100ms);
    queue.advance(1s);
    EXPECT_LT(model->txBytes().value(), count * 4000) << "some messages were still waiting";
    EXPECT_EQ(model->errorMessage().value(), std::nullopt);
}

TEST_F(SessionModel, AnUnpluggedBoardsLastBytesComeBeforeTheNoticeAndTheSessionWaits)
{
    PseudoTerminal board;
    auto model = makeModel();
    connectTo(*model, board.devicePath());
    board.writeToPort(std::string("last words"));
    // The no-data check is pending already; the second task is the delivery of the bytes,
    // which the clock standing still keeps waiting in the coalescer.
    ASSERT_TRUE(queue.waitForPending(2, 5s));
    board.closeMaster();
    ASSERT_TRUE(
        queue.runUntil([&] { return model->connection().state.value() == ConnectionState::waitingForDevice; }, 5s));
    EXPECT_EQ(shown(*model),
        "--- Connected to " + board.devicePath() +
            " @ 115200 8N1 ---\n\u2190 last words\n"
            "--- The device was disconnected. Waiting for the device to return\u2026 ---\n");
    EXPECT_EQ(model->connection().modemLines.value(), std::nullopt);
    EXPECT_EQ(model->reception().rxBytes.value(), 10);

    // Waiting, the port still counts as this tab's; disconnecting ends the wait.
    auto other = makeModel();
    EXPECT_TRUE(other->isHeldByAnotherSession(board.devicePath()));
    model->disconnect();
    EXPECT_FALSE(other->isHeldByAnotherSession(board.devicePath()));
    EXPECT_TRUE(shown(*model).ends_with("--- Connection closed ---\n"));
}

TEST_F(SessionModel, ACloseReportFromAnEarlierPortChangesNothing)
{
    PseudoTerminal first;
    PseudoTerminal second;
    auto model = makeModel();
    connectTo(*model, first.devicePath());
    first.closeMaster();
    ASSERT_TRUE(queue.waitForPending(2, 5s)) << "the no-data check and the close report";
    // Before the report is handled, the user picks the other port, which reconnects.
    model->line().selectedPath.set(second.devicePath());
    queue.runReady();
    EXPECT_EQ(model->connection().state.value(), ConnectionState::connected);
    EXPECT_EQ(shown(*model).find("Waiting for the device"), std::string::npos);
    EXPECT_NE(shown(*model).find("--- Connected to " + second.devicePath()), std::string::npos);
}

TEST_F(SessionModel, TheNoDataHintAppearsAfterFiveSilentSecondsAndGoesWithTheFirstByte)
{
    PseudoTerminal board;
    auto model = makeModel();
    connectTo(*model, board.devicePath());
    queue.advance(4999ms);
    EXPECT_FALSE(model->reception().showNoDataHint.value());
    queue.advance(1ms);
    EXPECT_TRUE(model->reception().showNoDataHint.value());
    board.writeToPort(std::string("x"));
    ASSERT_TRUE(pump([&] { return model->reception().rxBytes.value() == 1; }));
    EXPECT_FALSE(model->reception().showNoDataHint.value());

    // A disconnect takes a pending check with it.
    model->disconnect();
    model->connect();
    model->disconnect();
    queue.advance(6s);
    EXPECT_FALSE(model->reception().showNoDataHint.value());
}

TEST_F(SessionModel, StoredSettingsAreReadWithTheirFallbacks)
{
    {
        auto defaults = makeModel();
        EXPECT_EQ(defaults->line().baudRate.value(), 9600);
        EXPECT_EQ(defaults->line().dataBits.value(), DataBits::eight);
        EXPECT_EQ(defaults->composer().lineEnding.value(), LineEnding::lf);
        EXPECT_TRUE(defaults->display().autoscroll.value());
        EXPECT_TRUE(defaults->display().echoSent.value());
        EXPECT_FALSE(defaults->display().showTimestamps.value());
        EXPECT_EQ(defaults->display().bytesPerLine.value(), 16);
        EXPECT_EQ(defaults->line().selectedPath.value(), "");
    }
    settings.writeInteger("baud", 250000);
    settings.writeInteger("dataBits", 9);
    settings.writeInteger("stopBits", 3);
    settings.writeString("parity", "mark");
    settings.writeString("flow", "xonXoff");
    settings.writeString("lineEnding", "lfcr");
    settings.writeInteger("bytesPerLine", 24);
    settings.writeInteger("packetGap", 30);
    settings.writeString("autoscroll", "false");
    settings.writeString("echo", "no");
    settings.writeString("sendMode", "HEX");
    settings.writeString("displayMode", "hexDump");
    settings.writeBool("plotter", true);
    const auto writes = settings.writeCount();
    auto model = makeModel();
    EXPECT_EQ(model->line().baudRate.value(), 250000);
    EXPECT_EQ(model->line().dataBits.value(), DataBits::eight);
    EXPECT_EQ(model->line().stopBits.value(), StopBits::one);
    EXPECT_EQ(model->line().parity.value(), Parity::none);
    EXPECT_EQ(model->line().flowControl.value(), FlowControl::xonXoff);
    EXPECT_EQ(model->composer().lineEnding.value(), LineEnding::lf);
    EXPECT_EQ(model->display().bytesPerLine.value(), 16);
    EXPECT_EQ(model->display().packetGapMs.value(), 0);
    EXPECT_TRUE(model->display().autoscroll.value()) << "a string is not a boolean";
    EXPECT_TRUE(model->display().echoSent.value());
    EXPECT_EQ(model->composer().sendMode.value(), SendMode::text);
    EXPECT_EQ(model->display().displayMode.value(), DisplayMode::hexDump);
    EXPECT_TRUE(model->display().showPlotter.value());
    EXPECT_EQ(settings.writeCount(), writes) << "reading writes nothing back";

    for (std::int64_t rejected : {49, 20000000}) {
        settings.writeInteger("baud", rejected);
        EXPECT_EQ(makeModel()->line().baudRate.value(), 9600) << rejected;
    }
    // A setting changed in one tab is where the next tab starts.
    model->line().parity.set(Parity::even);
    EXPECT_EQ(makeModel()->line().parity.value(), Parity::even);
}

TEST_F(SessionModel, LineSettingsReopenTheConnectedPortAndOnlyStoreOtherwise)
{
    PseudoTerminal board;
    PseudoTerminal other;
    auto model = makeModel();
    model->line().baudRate.set(57600);
    EXPECT_EQ(settings.readInteger("baud").value, 57600);
    EXPECT_TRUE(model->reception().outputIsEmpty.value());

    connectTo(*model, board.devicePath(), 9600);
    model->line().baudRate.set(250000);
    // The master side reads the line as the port set it, without opening the held device.
    LineAttributes attributes;
    ASSERT_EQ(LineAttributes::read(board.master(), attributes), 0);
    EXPECT_EQ(attributes.outputSpeed(), 250000u);
    model->line().selectedPath.set(board.devicePath()); // the same port again: nothing happens
    model->line().selectedPath.set(other.devicePath());
    const std::string expected = "--- Connected to " + board.devicePath() + " @ 9600 8N1 ---\n--- Connected to " +
        board.devicePath() + " @ 250000 8N1 ---\n--- Connected to " + other.devicePath() + " @ 250000 8N1 ---\n";
    EXPECT_EQ(shown(*model), expected);
    EXPECT_EQ(settings.readString("port").value, other.devicePath());
}

TEST_F(SessionModel, ChangingTheDisplayModeMidLineContinuesOnAFreshLine)
{
    PseudoTerminal board;
    auto model = makeModel();
    model->display().echoSent.set(false);
    model->display().displayMode.set(DisplayMode::hex);
    connectTo(*model, board.devicePath());
    board.writeToPort(std::string("AB"));
    ASSERT_TRUE(pump([&] { return model->reception().rxBytes.value() == 2; }));
    model->display().displayMode.set(DisplayMode::text);
    board.writeToPort(std::string("ok\n"));
    ASSERT_TRUE(pump([&] { return model->reception().rxBytes.value() == 5; }));
    EXPECT_TRUE(shown(*model).ends_with("---\n41 42\nok\n")) << shown(*model);
    EXPECT_EQ(settings.readString("displayMode").value, "text");
}

TEST_F(SessionModel, ReadsArePacedOnlyWhileNoLineShowsItsTimeOrBreaksAtAPause)
{
    // What pacing does to the reads is the port's own test; here, when the session asks for it.
    PseudoTerminal board;
    std::shared_ptr<SerialPort> port;
    auto model = VelmoraModel::create({queue, settings, alert, registry, [&port](const std::string& path) {
                                           return port = SerialPort::create(
                                                      path, std::make_shared<velmora::testing::AdapterModemLines>());
                                       }});
    connectTo(*model, board.devicePath());
    EXPECT_TRUE(port->isPacedReads()) << "text";
    model->display().showTimestamps.set(true);
    EXPECT_FALSE(port->isPacedReads()) << "stamped lines";
    model->display().showTimestamps.set(false);
    model->display().displayMode.set(DisplayMode::hex);
    EXPECT_TRUE(port->isPacedReads()) << "hex";
    model->display().packetGapMs.set(50);
    EXPECT_FALSE(port->isPacedReads()) << "hex, new line after a pause";
    model->display().displayMode.set(DisplayMode::text);
    EXPECT_TRUE(port->isPacedReads()) << "text, where pauses do not matter";
    model->display().displayMode.set(DisplayMode::decimal);
    model->disconnect();
    model->connect();
    ASSERT_EQ(model->connection().state.value(), ConnectionState::connected);
    EXPECT_FALSE(port->isPacedReads()) << "a new connection, decimal with a pause";
}

TEST_F(SessionModel, EveryByteIsEitherCountedOrReportedSkippedAcrossModesAndOverload)
{
    PseudoTerminal board;
    auto model = makeModel();
    OutputWatch watch(model->output().storage());
    connectTo(*model, board.devicePath(), 1000000);
    std::int64_t written = 0;
    const auto writeBlock = [&](std::size_t size) {
        std::vector<std::uint8_t> block(size);
        for (std::size_t i = 0; i < size; ++i)
            block[i] = static_cast<std::uint8_t>(i % 251);
        board.writeToPort(block);
        written += static_cast<std::int64_t>(size);
    };
    const auto skipped = [&] {
        std::int64_t total = 0;
        static const std::regex notice("--- (\\d+) bytes skipped");
        for (const auto& text : watch.notices) {
            for (auto match = std::sregex_iterator(text.begin(), text.end(), notice); match != std::sregex_iterator();
                 ++match)
                total += std::stoll((*match)[1]);
        }
        return total;
    };
    for (auto mode : {DisplayMode::text, DisplayMode::hexDump, DisplayMode::asciiEscaped}) {
        model->display().displayMode.set(mode);
        writeBlock(50000);
        ASSERT_TRUE(pump([&] { return model->reception().rxBytes.value() + skipped() == written; }));
    }
    EXPECT_EQ(skipped(), 0);
    // The main thread stalls (the clock stands still) while the board sends 6 MiB: the
    // coalescer keeps 4 MiB and counts the rest. While the first slice of them is shown, the
    // board sends 4 MiB more: what waits to be shown still counts against the 4 MiB, so only
    // what that slice freed is kept.
    model->display().displayMode.set(DisplayMode::hex);
    const std::int64_t shownBefore = written;
    writeBlock(6 << 20);
    std::int64_t mostWaiting = 0;
    bool sentMore = false;
    watch.whileShowingData = [&] {
        if (!std::exchange(sentMore, true))
            writeBlock(4 << 20);
        mostWaiting = std::max(mostWaiting, model->bytesNotYetShown());
    };
    ASSERT_TRUE(pump([&] { return model->reception().rxBytes.value() + skipped() == written; }, 60s));
    watch.whileShowingData = nullptr;
    EXPECT_LE(mostWaiting, ReceiveCoalescer::maxPending);
    // Kept at most: the 4 MiB, the slice shown meanwhile, and the little the board's last write
    // left in the pseudo-terminal until the main thread went on.
    const std::int64_t keptAtMost = ReceiveCoalescer::maxPending + ReceiveCoalescer::maxSliceBytes + (512 << 10);
    EXPECT_GE(skipped(), written - shownBefore - keptAtMost);
    queue.advance(1s);
    EXPECT_EQ(model->reception().rxBytes.value() + skipped(), written) << "nothing was counted twice";
}

TEST_F(SessionModel, ClearingEmptiesTheOutputAndCountersButNotThePlotAndForgetsEverythingReceivedBeforeIt)
{
    PseudoTerminal board;
    auto model = makeModel();
    model->display().showPlotter.set(true);
    connectTo(*model, board.devicePath());
    board.writeToPort(std::string("1,2\n3,4\n"));
    ASSERT_TRUE(pump([&] { return model->reception().rxBytes.value() == 8; }));
    queue.advance(200ms);
    ASSERT_EQ(model->plot().series().size(), 2u);
    model->clearOutput();
    EXPECT_TRUE(model->reception().outputIsEmpty.value());
    EXPECT_EQ(model->reception().rxBytes.value(), 0);
    EXPECT_EQ(model->txBytes().value(), 0);
    EXPECT_EQ(model->plot().series().size(), 2u);
    model->display().showPlotter.set(false);

    const auto clearedThenShows = [&](const std::string& after) {
        board.writeToPort(after);
        const auto count = static_cast<std::int64_t>(after.size());
        EXPECT_TRUE(pump([&] { return model->reception().rxBytes.value() == count; }));
        queue.advance(1s);
        EXPECT_EQ(shown(*model), "\u2190 " + after);
        EXPECT_EQ(model->reception().rxBytes.value(), count);
        model->clearOutput();
    };

    // Bytes still waiting for their 30 ms batch.
    board.writeToPort(std::string("before\n"));
    ASSERT_TRUE(waitUndelivered([&] { return model->bytesNotYetShown() == 7; }));
    model->clearOutput();
    clearedThenShows("after\n");

    // A big delivery being shown a slice per turn: the clear comes between two turns.
    const std::string flood(3 << 20, 'b');
    board.writeToPort(flood);
    ASSERT_TRUE(waitUndelivered([&] { return model->bytesNotYetShown() == static_cast<std::int64_t>(flood.size()); }));
    bool clearPosted = false;
    auto clearing = model->output().storage().changes().subscribe([&](const InMemoryTextStore::Change&) {
        if (!std::exchange(clearPosted, true))
            queue.post([&] { model->clearOutput(); });
    });
    queue.advance(30ms);
    clearing.cancel();
    EXPECT_EQ(model->bytesNotYetShown(), 0);
    EXPECT_TRUE(model->reception().outputIsEmpty.value());
    EXPECT_EQ(model->reception().rxBytes.value(), 0);
    clearedThenShows("later\n");
}

TEST_F(SessionModel, GarbledTextRaisesTheNoticeOnlyInTextModeAndNotAgainOnceDismissed)
{
    PseudoTerminal board;
    auto model = makeModel();
    model->display().displayMode.set(DisplayMode::hexDump);
    connectTo(*model, board.devicePath());
    const std::vector<std::uint8_t> noise(100, 0xFF);
    board.writeToPort(noise);
    ASSERT_TRUE(pump([&] { return model->reception().rxBytes.value() == 100; }));
    EXPECT_FALSE(model->reception().garbageSuspected.value());

    model->display().displayMode.set(DisplayMode::text);
    board.writeToPort(noise);
    ASSERT_TRUE(pump([&] { return model->reception().rxBytes.value() == 200; }));
    EXPECT_TRUE(model->reception().garbageSuspected.value());
    EXPECT_EQ(model->suggestedBaudRates(), (std::vector<std::int64_t>{9600, 57600, 38400, 19200}));
    model->dismissGarbage();
    board.writeToPort(noise);
    ASSERT_TRUE(pump([&] { return model->reception().rxBytes.value() == 300; }));
    EXPECT_FALSE(model->reception().garbageSuspected.value());
    model->connect(); // a new connection forgets the dismissal
    EXPECT_FALSE(model->garbageDismissed());
}

TEST_F(SessionModel, SavingWritesThePlainOutputAndReportsFailures)
{
    auto model = makeModel();
    const std::string folder = ::testing::TempDir();
    const std::string empty = folder + "velmora-empty.txt";
    model->saveOutput(empty);
    EXPECT_EQ(model->errorMessage().value(), std::nullopt);
    std::ifstream emptyFile(empty, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(emptyFile), {}), "");

    model->postNotice("Connected to somewhere");
    const std::string full = folder + "velmora-full.txt";
    model->saveOutput(full);
    std::ifstream fullFile(full, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(fullFile), {}), shown(*model));
    EXPECT_FALSE(model->reception().outputIsEmpty.value());

    model->saveOutput("/nonexistent-folder/log.txt");
    EXPECT_EQ(model->errorMessage().value(), "Saving failed: No such file or directory");
    std::remove(empty.c_str());
    std::remove(full.c_str());
}

TEST_F(SessionModel, ThePortIsChosenAutomaticallyOnlyWhileDisconnected)
{
    registry.ports.set({builtInPort("/dev/ttyS0"), usbBoard("/dev/ttyUSB0")});
    auto model = makeModel();
    EXPECT_EQ(model->line().selectedPath.value(), "/dev/ttyUSB0") << "the USB board, not the built-in port";
    EXPECT_EQ(settings.readString("port").value, "/dev/ttyUSB0");

    // A second board arrives: the current choice is a usable USB board, so it stays.
    registry.ports.set({builtInPort("/dev/ttyS0"), usbBoard("/dev/ttyACM0"), usbBoard("/dev/ttyUSB0")});
    EXPECT_EQ(model->line().selectedPath.value(), "/dev/ttyUSB0");
    // The chosen board goes away; another arrives and is taken.
    registry.ports.set({builtInPort("/dev/ttyS0"), usbBoard("/dev/ttyACM0")});
    EXPECT_EQ(model->line().selectedPath.value(), "/dev/ttyACM0");
    model->line().selectedPath.set("/dev/ttyS0");
    registry.ports.set({builtInPort("/dev/ttyS0"), usbBoard("/dev/ttyACM0"), usbBoard("/dev/ttyACM1")});
    EXPECT_EQ(model->line().selectedPath.value(), "/dev/ttyACM1") << "a new board beats a non-USB choice";

    // While connected, nothing is chosen for the user.
    PseudoTerminal board;
    model->line().selectedPath.set(board.devicePath());
    model->connect();
    ASSERT_EQ(model->connection().state.value(), ConnectionState::connected);
    registry.ports.set({usbBoard(board.devicePath()), usbBoard("/dev/ttyACM3")});
    EXPECT_EQ(model->line().selectedPath.value(), board.devicePath());
    model->disconnect();

    // A remembered port that is absent stays chosen while no USB board is there.
    settings.writeString("port", "/dev/ttyACM7");
    registry.ports.set({builtInPort("/dev/ttyS0")});
    auto remembered = makeModel();
    EXPECT_EQ(remembered->line().selectedPath.value(), "/dev/ttyACM7");
    EXPECT_EQ(remembered->title(), "ttyACM7");
    registry.ports.set({builtInPort("/dev/ttyS0"), usbBoard("/dev/ttyACM0", 0x0042)});
    EXPECT_EQ(remembered->line().selectedPath.value(), "/dev/ttyACM0");
    EXPECT_EQ(remembered->title(), "Arduino Mega 2560");
}

TEST_F(SessionModel, APortHeldByAnotherTabIsMarkedAndNeverChosenAndAClosedTabFreesItAtOnce)
{
    PseudoTerminal board;
    registry.ports.set({usbBoard(board.devicePath())});
    auto first = makeModel();
    first->connect();
    ASSERT_EQ(first->connection().state.value(), ConnectionState::connected);
    auto second = makeModel();
    EXPECT_TRUE(second->isHeldByAnotherSession(board.devicePath()));
    EXPECT_FALSE(first->isHeldByAnotherSession(board.devicePath()));
    EXPECT_EQ(second->line().selectedPath.value(), board.devicePath()) << "remembered from the first tab";
    second->connect();
    EXPECT_EQ(second->errorMessage().value(), SerialPortError::busy(board.devicePath()).message());

    PseudoTerminal arrival;
    second->line().selectedPath.set("");
    registry.ports.set({usbBoard(board.devicePath()), usbBoard(arrival.devicePath())});
    EXPECT_EQ(second->line().selectedPath.value(), arrival.devicePath());

    first.reset();
    EXPECT_FALSE(second->isHeldByAnotherSession(board.devicePath()));
}

TEST_F(SessionModel, ABoardThatComesBackIsReconnectedWithTheSameSettings)
{
    FakeBoard board;
    registry.ports.set({usbBoard(board.path())});
    auto model = makeModel();
    ASSERT_NO_FATAL_FAILURE(connectThenUnplug(*model, board, 57600));
    registry.ports.set({});
    queue.advance(5s);
    EXPECT_EQ(model->connection().state.value(), ConnectionState::waitingForDevice) << "it waits as long as it takes";

    board.plugIn();
    registry.ports.set({usbBoard(board.path())}); // the scanner's first report
    queue.advance(500ms);
    registry.ports.set({usbBoard(board.path())}); // and its second, half a second later
    queue.advance(699ms);
    EXPECT_EQ(model->connection().state.value(), ConnectionState::waitingForDevice);
    queue.advance(1ms);
    EXPECT_EQ(model->connection().state.value(), ConnectionState::connected);
    const std::string line = "--- Connected to " + board.path() + " @ 57600 8N1 ---\n";
    EXPECT_TRUE(shown(*model).ends_with("Waiting for the device to return\u2026 ---\n" + line)) << shown(*model);
}

TEST_F(SessionModel, ABoardHeldElsewhereWhenItComesBackIsTriedFiveTimes)
{
    FakeBoard board;
    auto model = makeModel();
    ASSERT_NO_FATAL_FAILURE(connectThenUnplug(*model, board));
    board.plugIn();
    ChildProcess holder({PROBE, "lock", board.path()});
    ASSERT_EQ(holder.readLine(5s), "locked");
    registry.ports.set({usbBoard(board.path())});
    queue.advance(4 * 700ms + 699ms);
    EXPECT_EQ(model->connection().state.value(), ConnectionState::waitingForDevice)
        << "four attempts failed, one to go";
    queue.advance(1ms);
    EXPECT_EQ(model->connection().state.value(), ConnectionState::disconnected);
    EXPECT_TRUE(
        shown(*model).ends_with("--- Reconnect failed: " + SerialPortError::busy(board.path()).message() + " ---\n"));
    EXPECT_EQ(model->errorMessage().value(), std::nullopt) << "no alert for a failed reconnect";
}

TEST_F(SessionModel, DisconnectingWhileAnAttemptIsPendingCancelsIt)
{
    FakeBoard board;
    auto model = makeModel();
    ASSERT_NO_FATAL_FAILURE(connectThenUnplug(*model, board));
    board.plugIn();
    registry.ports.set({usbBoard(board.path())});
    model->disconnect();
    queue.advance(5s);
    EXPECT_EQ(model->connection().state.value(), ConnectionState::disconnected);
    EXPECT_TRUE(shown(*model).ends_with("--- Connection closed ---\n"));
}

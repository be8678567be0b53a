// The simulated board behind a plain pseudo-terminal, driven through the core's real serial port.
#include "tests/simboard/PortReader.h"
#include "tools/simboard/SimulatedBoard.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

using namespace std::chrono_literals;
using namespace velmora;
using namespace velmora::simboard;
using velmora::testing::PortReader;

namespace {

SimulatedBoard::Options options(Behaviour behaviour, double rate = 50)
{
    SimulatedBoard::Options result;
    result.behaviour = behaviour;
    result.linesPerSecond = rate;
    return result;
}

// Complete lines of text, without their terminators.
std::vector<std::string> lines(std::string_view text)
{
    std::vector<std::string> result;
    std::size_t start = 0;
    for (std::size_t end = text.find('\n'); end != std::string_view::npos; end = text.find('\n', start)) {
        result.emplace_back(text.substr(start, end - start));
        start = end + 1;
    }
    return result;
}

} // namespace

TEST(SimulatedBoard, AnswersCommandsAndKeepsWhatItReceived)
{
    SimulatedBoard board(options(Behaviour::quiet));
    EXPECT_EQ(board.deviceKind(), DeviceKind::pseudoTerminal);
    EXPECT_FALSE(board.observesModemLines());
    PortReader reader(board.devicePath());
    ASSERT_EQ(reader.open(), std::nullopt);
    ASSERT_TRUE(board.waitForListener(true, 5s));

    const std::string sent = "help\nrate 25\r\nrate fast\nmode nonsense\nhello board\rmode csv\n";
    ASSERT_EQ(reader.write(sent), std::nullopt);
    ASSERT_TRUE(reader.waitForText("time_s,temp,hum\n", 5s)) << reader.text();
    EXPECT_TRUE(board.waitForReceived("mode csv\n", 1s));
    EXPECT_EQ(board.takeReceived(), sent);
    EXPECT_EQ(board.takeReceived(), "");

    const auto answers = lines(reader.text());
    ASSERT_GE(answers.size(), 7u) << reader.text();
    EXPECT_EQ(answers[0],
        "commands: help | rate <lines per second> | mode <sensor|csv|numbers|quiet|noise|flood> | anything else is "
        "echoed");
    EXPECT_EQ(answers[1], "rate: 25");
    EXPECT_EQ(answers[2], "error: rate takes lines per second from 0.1 to 10000");
    EXPECT_EQ(answers[3], "error: no mode \"nonsense\" (help lists them)");
    EXPECT_EQ(answers[4], "echo: hello board");
    EXPECT_EQ(answers[5], "mode: csv");
    EXPECT_EQ(answers[6], "time_s,temp,hum");
    EXPECT_EQ(board.linesPerSecond(), 25);
    EXPECT_EQ(board.behaviour(), Behaviour::csv);

    // The CSV rows follow at the new rate.
    ASSERT_TRUE(reader.waitFor([](std::string_view text) { return lines(text).size() >= 10; }, 5s));
    const std::string row = lines(reader.text())[8];
    EXPECT_EQ(std::count(row.begin(), row.end(), ','), 2) << row;

    // And a switch from this side reaches the sketch as well.
    board.setBehaviour(Behaviour::sensor);
    ASSERT_TRUE(reader.waitForText("\ntemp:", 5s));
    board.send("extra\n");
    ASSERT_TRUE(reader.waitForText("\nextra\n", 5s));
}

TEST(SimulatedBoard, FloodLinesArriveConsecutivelyWithTheirSendTimes)
{
    SimulatedBoard board(options(Behaviour::flood));
    PortReader reader(board.devicePath());
    ASSERT_EQ(reader.open(), std::nullopt);
    constexpr std::size_t wanted = 20000;
    ASSERT_TRUE(reader.waitFor([](std::string_view text) { return lines(text).size() >= wanted; }, 20s))
        << lines(reader.text()).size() << " lines only";
    // Lines keep coming until the port is closed; every one of them left the board before.
    reader.close();
    const std::int64_t readAt = steadyMicros();

    const auto received = lines(reader.text());
    std::optional<FloodLine> previous;
    for (const auto& text : received) {
        const auto line = SketchOutput::parseFloodLine(text);
        ASSERT_TRUE(line) << text;
        if (previous) {
            ASSERT_EQ(line->counter, previous->counter + 1);
            ASSERT_GE(line->sentMicros, previous->sentMicros);
        }
        ASSERT_LE(line->sentMicros, readAt);
        previous = line;
    }
    EXPECT_GE(board.linesSent(), wanted);
    EXPECT_GE(board.bytesSent(), reader.text().size());
}

TEST(SimulatedBoard, UnpluggingHangsUpThePortAndAReplugIsANewPseudoTerminalThatTheLinkFollows)
{
    char folder[] = "/tmp/velmora-simboard-XXXXXX";
    ASSERT_NE(::mkdtemp(folder), nullptr);
    auto settings = options(Behaviour::sensor);
    settings.linkPath = std::string(folder) + "/ttyBoard";
    SimulatedBoard board(settings);
    EXPECT_EQ(board.devicePath(), settings.linkPath);
    const std::string first = std::filesystem::read_symlink(settings.linkPath);
    {
        PortReader reader(first);
        ASSERT_EQ(reader.open(), std::nullopt);
        ASSERT_TRUE(reader.waitForText("\ntemp:", 5s));
        board.unplug();
        EXPECT_FALSE(board.isPluggedIn());
        EXPECT_TRUE(reader.waitForErrorClose(5s));
        EXPECT_TRUE(board.waitForListener(false, 5s));
    }
    EXPECT_NE(::access(first.c_str(), F_OK), 0) << "the slave of a closed master is gone";
    EXPECT_NE(::access(settings.linkPath.c_str(), F_OK), 0) << "and the link with it";

    board.plugIn();
    EXPECT_TRUE(board.isPluggedIn());
    PortReader again(std::filesystem::read_symlink(settings.linkPath));
    ASSERT_EQ(again.open(), std::nullopt);
    EXPECT_TRUE(again.waitForText("\ntemp:", 5s));
    EXPECT_TRUE(board.modemLineLog().empty());
    std::filesystem::remove_all(folder);
}

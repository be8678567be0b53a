// The simulated Uno in a umockdev testbed, seen through the core's port scanner and serial
// port. Runs under umockdev's preload library (CTest sets LD_PRELOAD).
#include "core/exec/ManualMainQueue.h"
#include "core/serial/ModemLines.h"
#include "core/serial/PortScanner.h"
#include "tests/helpers/Umockdev.h"
#include "tests/simboard/PortReader.h"
#include "tools/simboard/SimulatedBoard.h"

#include <gtest/gtest.h>

#include <sys/ioctl.h>

#include <future>

using namespace std::chrono_literals;
using namespace velmora;
using namespace velmora::simboard;
using velmora::testing::PortReader;

namespace {

const SerialPortInfo arduinoUno{"/dev/ttyACM0", "Arduino Uno", 0x2341, 0x0043};

class UmockdevUno : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(velmora::testing::underUmockdevPreload())
            << "run these tests with umockdev's preload library (CTest does), not against the real machine";
        SimulatedBoard::Options options;
        options.device = DeviceKind::umockdevUno;
        options.linesPerSecond = 50;
        board = std::make_unique<SimulatedBoard>(options);
    }

    bool deliverMonitorEvents() { return velmora::testing::deliverMonitorEvents(*scanner); }

    std::unique_ptr<SimulatedBoard> board;
    ManualMainQueue queue;
    std::shared_ptr<PortScanner> scanner;
};

} // namespace

TEST_F(UmockdevUno, TheScannerFindsTheUnoAndASerialPortDrivesItsModemLines)
{
    EXPECT_EQ(board->devicePath(), "/dev/ttyACM0");
    EXPECT_TRUE(board->observesModemLines());
    EXPECT_EQ(PortScanner::create(queue)->scan(), std::vector<SerialPortInfo>{arduinoUno});

    PortReader reader(board->devicePath());
    ASSERT_EQ(reader.open(), std::nullopt);
    ASSERT_TRUE(reader.waitForText("\ntemp:", 5s));

    // The board logs each request and answers with the lines as they are now; the whole reset
    // pulse, seen from the window, is an end-to-end test.
    std::promise<Expected<ModemLines, SerialPortError>> toggled;
    reader.port().runLineSteps(
        {rtsStep(false)}, [&](Expected<ModemLines, SerialPortError> result) { toggled.set_value(std::move(result)); });
    const auto afterToggle = toggled.get_future().get();
    ASSERT_TRUE(afterToggle.ok());
    EXPECT_EQ(afterToggle.value(), (ModemLines{true, false}));
    EXPECT_EQ(board->modemLines(), TIOCM_DTR);
    ASSERT_FALSE(board->modemLineLog().empty());
    EXPECT_EQ(board->modemLineLog().back().kind, ModemLineRequest::Kind::drop);
    EXPECT_FALSE(board->modemLineLog().back().rts);
    EXPECT_EQ(board->resets(), 0u) << "RTS alone resets no Uno";
}

TEST_F(UmockdevUno, UnpluggingLosesThePortAndAReplugBringsItBackUnderTheSamePath)
{
    std::vector<std::vector<SerialPortInfo>> reports;
    scanner = PortScanner::create(queue);
    auto recording =
        scanner->reports().subscribe([&](const std::vector<SerialPortInfo>& list) { reports.push_back(list); });
    scanner->start();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0], std::vector<SerialPortInfo>{arduinoUno});

    {
        PortReader reader(board->devicePath());
        ASSERT_EQ(reader.open(), std::nullopt);
        ASSERT_TRUE(reader.waitForText("\ntemp:", 5s));
        board->unplug();
        EXPECT_TRUE(reader.waitForErrorClose(5s)) << "the open port must notice the board is gone";
    }
    ASSERT_TRUE(deliverMonitorEvents());
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_TRUE(reports[1].empty());
    EXPECT_TRUE(scanner->scan().empty());
    PortReader absent(std::string(arduinoUno.path));
    EXPECT_NE(absent.open(), std::nullopt);

    board->plugIn();
    ASSERT_TRUE(deliverMonitorEvents());
    ASSERT_EQ(reports.size(), 3u);
    EXPECT_EQ(reports[2], std::vector<SerialPortInfo>{arduinoUno});
    PortReader again(board->devicePath());
    ASSERT_EQ(again.open(), std::nullopt);
    EXPECT_TRUE(again.waitForText("\ntemp:", 5s));

    // And once more: nothing of the first round is left in the way.
    again.close();
    board->unplug();
    board->plugIn();
    EXPECT_EQ(scanner->scan(), std::vector<SerialPortInfo>{arduinoUno});
}

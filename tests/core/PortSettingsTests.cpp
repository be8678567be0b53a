#include "core/serial/PortSettings.h"

#include <gtest/gtest.h>

using namespace velmora;

TEST(PortSettings, SummaryShowsRateDataBitsParityLetterAndStopBitsButNotFlowControl)
{
    EXPECT_EQ((PortSettings{115200, DataBits::eight, Parity::none, StopBits::one, FlowControl::none}).summary(),
        "115200 8N1");
    EXPECT_EQ(
        (PortSettings{9600, DataBits::seven, Parity::even, StopBits::two, FlowControl::rtsCts}).summary(), "9600 7E2");
    EXPECT_EQ((PortSettings{2000000, DataBits::five, Parity::odd, StopBits::one, FlowControl::xonXoff}).summary(),
        "2000000 5O1");
    EXPECT_EQ(PortSettings{}.summary(), "115200 8N1");
}

TEST(PortSettings, RawValuesRoundTripAndAnythingElseGivesNoValue)
{
    for (auto bits : allDataBits)
        EXPECT_EQ(dataBitsFromRaw(rawValue(bits)), bits);
    for (auto bits : allStopBits)
        EXPECT_EQ(stopBitsFromRaw(rawValue(bits)), bits);
    for (auto parity : allParities)
        EXPECT_EQ(parityFromRaw(rawValue(parity)), parity);
    for (auto flow : allFlowControls)
        EXPECT_EQ(flowControlFromRaw(rawValue(flow)), flow);

    EXPECT_EQ(rawValue(DataBits::seven), 7);
    EXPECT_EQ(rawValue(Parity::odd), "odd");
    EXPECT_EQ(rawValue(FlowControl::rtsCts), "rtsCts");
    for (std::int64_t raw : {-1, 0, 4, 9, 255, 261})
        EXPECT_FALSE(dataBitsFromRaw(raw)) << raw;
    for (std::int64_t raw : {0, 3, -1})
        EXPECT_FALSE(stopBitsFromRaw(raw)) << raw;
    for (const char* raw : {"", "None", "EVEN", "mark", "odd "})
        EXPECT_FALSE(parityFromRaw(raw)) << raw;
    for (const char* raw : {"", "rtscts", "hardware", "xon"})
        EXPECT_FALSE(flowControlFromRaw(raw)) << raw;
}

TEST(PortSettings, BaudRangeIsFiftyToTwelveMillionInclusive)
{
    EXPECT_FALSE(PortSettings::isValidBaudRate(49));
    EXPECT_TRUE(PortSettings::isValidBaudRate(50));
    EXPECT_TRUE(PortSettings::isValidBaudRate(12'000'000));
    EXPECT_FALSE(PortSettings::isValidBaudRate(12'000'001));
    EXPECT_FALSE(PortSettings::isValidBaudRate(-115200));
}

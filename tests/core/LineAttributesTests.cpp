#include "core/serial/LineAttributes.h"
#include "tests/helpers/PseudoTerminal.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

using namespace velmora;

namespace {

LineAttributes freshDeviceRecord()
{
    // A new pseudo-terminal's record: canonical, echoing, with output processing, as a
    // freshly plugged board's line usually is.
    velmora::testing::PseudoTerminal pty;
    const int fd = ::open(pty.devicePath().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    LineAttributes record;
    EXPECT_EQ(LineAttributes::read(fd, record), 0);
    ::close(fd);
    return record;
}

} // namespace

TEST(LineAttributes, FrameSettingsMapToTheControlAndInputFlags)
{
    const LineAttributes found = freshDeviceRecord();
    struct Case {
        PortSettings settings;
        std::uint32_t size;
        std::uint32_t parity;
        bool twoStops;
        bool hardwareFlow;
        bool softwareFlow;
    };
    const Case cases[] = {
        {{115200, DataBits::eight, Parity::none, StopBits::one, FlowControl::none}, CS8, 0, false, false, false},
        {{9600, DataBits::seven, Parity::even, StopBits::two, FlowControl::rtsCts}, CS7, PARENB, true, true, false},
        {{300, DataBits::five, Parity::odd, StopBits::one, FlowControl::xonXoff}, CS5, PARENB | PARODD, false, false,
            true},
        {{57600, DataBits::six, Parity::none, StopBits::two, FlowControl::none}, CS6, 0, true, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.settings.summary());
        const LineAttributes raw = found.configuredFor(c.settings);
        EXPECT_EQ(raw.controlFlags() & CSIZE, c.size);
        EXPECT_EQ(raw.controlFlags() & (PARENB | PARODD), c.parity);
        EXPECT_EQ((raw.controlFlags() & CSTOPB) != 0, c.twoStops);
        EXPECT_EQ((raw.controlFlags() & CRTSCTS) != 0, c.hardwareFlow);
        EXPECT_EQ((raw.inputFlags() & (IXON | IXOFF)) == (IXON | IXOFF), c.softwareFlow);
        EXPECT_EQ((raw.inputFlags() & INPCK) != 0, c.parity != 0);
        EXPECT_EQ(raw.controlFlags() & (CREAD | CLOCAL), static_cast<std::uint32_t>(CREAD | CLOCAL));
        EXPECT_EQ(raw.controlFlags() & HUPCL, found.controlFlags() & HUPCL);
        EXPECT_EQ(raw.inputFlags() & (IXANY | ISTRIP | ICRNL | INLCR | IGNCR | BRKINT), 0u);
        EXPECT_EQ(raw.outputFlags() & OPOST, 0u);
        EXPECT_EQ(raw.localFlags() & (ICANON | ECHO | ECHONL | ISIG | IEXTEN), 0u);
        // The placeholder speed; the exact rate is a request of its own.
        EXPECT_EQ(raw.outputSpeed(), 9600u);
        EXPECT_EQ(raw.inputSpeed(), 9600u);
    }
}

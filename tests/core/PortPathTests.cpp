#include "core/serial/PortPath.h"

#include <gtest/gtest.h>

#include <string>

using velmora::isAcceptablePortPath;

TEST(PortPath, AcceptsCalloutStyleNamesAndTheLinuxSerialDevices)
{
    for (const char* path : {"/dev/cu.usbserial-110", "/dev/tty.usbmodem1101", "/dev/ttyUSB0", "/dev/ttyACM0",
             "/dev/ttyS0", "/dev/ttyAMA0", "/dev/ttyGS0", "/dev/rfcomm0", "/dev/rfcomm12", "/dev/pts/0", "/dev/pts/17"})
        EXPECT_TRUE(isAcceptablePortPath(path)) << path;
}

TEST(PortPath, RejectsEverythingElseIncludingTraversalAndOverlongNames)
{
    for (const char* path : {"", "/dev/", "/dev/cu./x", "/dev/cu...x", "/dev/tty", "/dev/tty0", "/dev/tty63",
             "/dev/console", "/dev/sda", "/dev/rfcomm", "/dev/rfcommA", "/dev/pts/", "/dev/pts/ptmx", "/dev/pts/1/x",
             "/dev/pts/../sda", "/dev/ttyUSB0/..", "/dev/tty.a/b", "/dev/ttyUSB..0", "dev/ttyUSB0", "/tmp/ttyUSB0",
             "/dev//ttyUSB0", "/dev/serial/by-id/usb-Arduino"})
        EXPECT_FALSE(isAcceptablePortPath(path)) << path;

    const std::string longest = "/dev/cu." + std::string(127 - 3, 'a');
    EXPECT_TRUE(isAcceptablePortPath(longest));
    EXPECT_FALSE(isAcceptablePortPath(longest + "a"));
    EXPECT_FALSE(isAcceptablePortPath("/dev/ttyUSB" + std::string(125, '0')));
}

#include "core/serial/SerialPortError.h"
#include "localization/L10n.h"

#include <gtest/gtest.h>

#include <cerrno>

using namespace velmora;

TEST(SerialPortError, MessagesCarryTheirValuesAndTheCLibraryReason)
{
    L10n::ScopedLanguage english(Language::en);
    EXPECT_EQ(SerialPortError::invalidPath("/dev/sda").message(), "'/dev/sda' is not a valid serial port.");
    EXPECT_EQ(SerialPortError::unsupportedBaudRate(49, EINVAL).message(),
        "Baud rate 49 is not supported by this device: Invalid argument.");
    EXPECT_EQ(SerialPortError::busy("/dev/ttyACM0").message(),
        "/dev/ttyACM0 is already in use by another program (e.g. the Arduino IDE or screen). Close that program and "
        "try again.");
    EXPECT_EQ(SerialPortError::configurationFailed(L10n::Errors::whatPortSettings(), EIO).message(),
        "Configuring port settings failed: Input/output error.");
    EXPECT_EQ(SerialPortError::writeFailed(EPIPE).message(), "Sending failed: Broken pipe.");
    EXPECT_EQ(SerialPortError::readFailed(EBADF).message(), "Reading from the port failed: Bad file descriptor.");
    EXPECT_EQ(SerialPortError::lineControlFailed(ENOTTY).message(),
        "Setting DTR/RTS failed: Inappropriate ioctl for device.");
    EXPECT_EQ(SerialPortError::notOpen().message(), "The port is not open.");
    EXPECT_EQ(SerialPortError::writeTimeout().message(), "Sending timed out. Check the flow control settings.");
    EXPECT_EQ(SerialPortError::deviceDisconnected().message(), "The device was disconnected.");
}

TEST(SerialPortError, OpenFailureAddsAHintOnlyForAMissingDeviceOrMissingPermission)
{
    L10n::ScopedLanguage english(Language::en);
    EXPECT_EQ(SerialPortError::openFailed("/dev/ttyUSB0", ENOENT).message(),
        "Cannot open /dev/ttyUSB0: No such file or directory. Is the device still connected?");
    EXPECT_EQ(SerialPortError::openFailed("/dev/ttyUSB0", EACCES).message(),
        "Cannot open /dev/ttyUSB0: Permission denied. Check the device permissions.");
    EXPECT_EQ(
        SerialPortError::openFailed("/dev/ttyUSB0", EIO).message(), "Cannot open /dev/ttyUSB0: Input/output error.");
}

TEST(SerialPortError, TheStepTextKeepsTheLanguageItWasMadeIn)
{
    const auto error = [] {
        L10n::ScopedLanguage german(Language::de);
        return SerialPortError::configurationFailed(L10n::Errors::whatExclusiveAccess(), EIO);
    }();
    L10n::ScopedLanguage english(Language::en);
    EXPECT_NE(error.step(), L10n::Errors::whatExclusiveAccess());
    EXPECT_NE(error.message().find(error.step()), std::string::npos);
    EXPECT_EQ(error, SerialPortError::configurationFailed(error.step(), EIO));
    EXPECT_NE(error, SerialPortError::configurationFailed(error.step(), EPERM));
}

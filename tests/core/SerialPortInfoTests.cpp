#include "core/serial/SerialPortInfo.h"
#include "localization/L10n.h"

#include <gtest/gtest.h>

#include <string>
#include <unordered_set>
#include <vector>

using namespace velmora;

namespace {

SerialPortInfo port(std::string path, std::optional<int> vendor = std::nullopt,
    std::optional<int> product = std::nullopt, std::optional<std::string> name = std::nullopt)
{
    return SerialPortInfo{std::move(path), std::move(name), vendor, product};
}

std::vector<std::string> paths(const std::vector<SerialPortInfo>& ports)
{
    std::vector<std::string> result;
    for (const auto& p : ports)
        result.push_back(p.path);
    return result;
}

int sign(int value)
{
    return (value > 0) - (value < 0);
}

} // namespace

TEST(SerialPortInfo, BoardsAreFoundBeforeChipsAndVendorsAndAnUnknownPairIsNotFound)
{
    EXPECT_EQ(boardName(0x2341, 0x0043), (BoardName{"Arduino Uno", false}));
    EXPECT_EQ(boardName(0x2A03, 0x0042), (BoardName{"Arduino Mega 2560", false})) << "the second Arduino vendor id";
    EXPECT_EQ(boardName(0x1A86, 0x7523), (BoardName{"CH340", true}));
    EXPECT_EQ(boardName(0x0403, 0x6001), (BoardName{"FTDI FT232R", true}));
    // An unknown product of a board vendor is named after the vendor, even without a product id.
    EXPECT_EQ(boardName(0x2341, 0x7777), (BoardName{"Arduino", false}));
    EXPECT_EQ(boardName(0x303A, std::nullopt), (BoardName{"Espressif ESP32", false}));
    // Uno's product id under a vendor whose table lists it only for another vendor.
    EXPECT_EQ(boardName(0x2A03, 0x0243), (BoardName{"Arduino", false}));

    EXPECT_EQ(boardName(std::nullopt, 0x0043), std::nullopt);
    EXPECT_EQ(boardName(0x1234, 0x5678), std::nullopt);
    // Chip vendors are not in the vendor table: an unknown product of theirs stays unnamed.
    EXPECT_EQ(boardName(0x1A86, 0x0001), std::nullopt);
}

TEST(SerialPortInfo, DisplayNamePrefersTheTablesThenTheProductNameThenThePathWithoutDev)
{
    L10n::ScopedLanguage english(Language::en);
    EXPECT_EQ(port("/dev/ttyACM0", 0x2341, 0x0043).displayName(), "Arduino Uno");
    EXPECT_EQ(port("/dev/ttyACM0", 0x2341, 0x0043, "Arduino Uno R3 (custom)").displayName(), "Arduino Uno");
    EXPECT_EQ(port("/dev/ttyUSB0", 0x1A86, 0x7523, "USB2.0-Serial").displayName(), "USB serial (CH340)");
    EXPECT_EQ(port("/dev/ttyACM1", 0x303A, 0x1001, "USB JTAG/serial debug unit").displayName(), "Espressif ESP32");
    EXPECT_EQ(port("/dev/ttyACM2", 0x2E8A, 0x000A).displayName(), "Raspberry Pi Pico");
    EXPECT_EQ(port("/dev/ttyUSB2", 0x1234, 0x5678, "USB Serial").displayName(), "USB Serial");
    EXPECT_EQ(port("/dev/ttyUSB3", 0x1234, 0x5678, "").displayName(), "ttyUSB3");
    EXPECT_EQ(port("/dev/ttyUSB3", 0x1234, 0x5678).displayName(), "ttyUSB3");
    EXPECT_EQ(port("/dev/pts/4").displayName(), "pts/4");
    EXPECT_EQ(port("/dev/rfcomm0", std::nullopt, std::nullopt, "HC-05").displayName(), "HC-05");

    L10n::ScopedLanguage german(Language::de);
    EXPECT_EQ(port("/dev/ttyUSB0", 0x1A86, 0x7523).displayName(), "USB-seriell (CH340)");
}

TEST(SerialPortInfo, MenuTitleIsThePathThenAnEmDashAndTheNameOrThePathAlone)
{
    L10n::ScopedLanguage english(Language::en);
    EXPECT_EQ(port("/dev/ttyACM0", 0x2341, 0x0043).menuTitle(), "/dev/ttyACM0 \xE2\x80\x94 Arduino Uno");
    EXPECT_EQ(port("/dev/ttyUSB2", 0x1234, 0x5678, "USB Serial").menuTitle(), "/dev/ttyUSB2 \xE2\x80\x94 USB Serial");
    EXPECT_EQ(port("/dev/ttyUSB3", 0x1234, 0x5678, "").menuTitle(), "/dev/ttyUSB3");
    EXPECT_EQ(port("/dev/ttyS0").menuTitle(), "/dev/ttyS0");
}

TEST(SerialPortInfo, PortsWithAVendorIdComeFirstEachGroupInNaturalCaseInsensitiveOrder)
{
    std::vector<SerialPortInfo> ports{
        port("/dev/ttyS0"),
        port("/dev/ttyACM10", 0x2341, 0x0043),
        port("/dev/ttyUSB0", 0x1A86, 0x7523),
        port("/dev/rfcomm0"),
        port("/dev/ttyACM2", 0x303A, 0x1001),
        port("/dev/ttyS10"),
        port("/dev/ttyS2"),
        port("/dev/ttyAMA0"),
        port("/dev/ttyacm3", 0x2341, 0x0043),
    };
    sortPorts(ports);
    EXPECT_EQ(paths(ports),
        (std::vector<std::string>{
            "/dev/ttyACM2",
            "/dev/ttyacm3",
            "/dev/ttyACM10",
            "/dev/ttyUSB0",
            "/dev/rfcomm0",
            "/dev/ttyAMA0",
            "/dev/ttyS0",
            "/dev/ttyS2",
            "/dev/ttyS10",
        }));
}

TEST(SerialPortInfo, NaturalOrderComparesDigitRunsByValueOfAnyLengthAndIsATotalOrder)
{
    EXPECT_LT(compareNaturally("usbmodem2101", "usbmodem11101"), 0);
    EXPECT_LT(compareNaturally("ttyACM9", "ttyACM10"), 0);
    EXPECT_LT(compareNaturally("a", "B"), 0);
    EXPECT_GT(compareNaturally("b", "A"), 0);
    EXPECT_LT(compareNaturally("ttyS", "ttyS0"), 0);
    EXPECT_GT(compareNaturally("n100000000000000000000001", "n99999999999999999999999"), 0);
    EXPECT_LT(compareNaturally("x2y9", "x2y10"), 0);
    EXPECT_LT(compareNaturally("x007z", "x8a"), 0);
    EXPECT_EQ(compareNaturally("ttyUSB0", "ttyUSB0"), 0);

    // Strings that differ only in case or leading zeros still get a fixed order, and every
    // pair and triple agrees with it, so sorting is well defined.
    const std::vector<std::string> names{"", "a", "A", "a1", "a01", "a001", "a1b", "a01b", "A1B", "a10", "a9", "a.1",
        "a_1", "a-1", "1", "01", "10", "9a", "a1a1", "a1a01", "Z", "z0", "~", "a0", "a00"};
    for (const auto& a : names) {
        for (const auto& b : names) {
            const int ab = sign(compareNaturally(a, b));
            EXPECT_EQ(ab, -sign(compareNaturally(b, a))) << a << " vs " << b;
            EXPECT_EQ(ab == 0, a == b) << a << " vs " << b;
            for (const auto& c : names) {
                if (ab < 0 && compareNaturally(b, c) < 0) {
                    EXPECT_LT(compareNaturally(a, c), 0) << a << " < " << b << " < " << c;
                }
            }
        }
    }
}

TEST(SerialPortInfo, ASetTellsEntriesApartThatDifferInAnyOneField)
{
    const auto uno = port("/dev/ttyACM0", 0x2341, 0x0043, "Arduino Uno");
    const std::unordered_set<SerialPortInfo> set{uno, port("/dev/ttyACM0", 0x2341, 0x0043, "Arduino Uno"),
        port("/dev/ttyACM1", 0x2341, 0x0043, "Arduino Uno"), port("/dev/ttyACM0", 0x2341, 0x0043),
        port("/dev/ttyACM0", std::nullopt, 0x0043, "Arduino Uno"), port("/dev/ttyACM0", 0x2341, 0x0042, "Arduino Uno")};
    EXPECT_EQ(set.size(), 5u);
}

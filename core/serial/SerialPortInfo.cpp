#include "core/serial/SerialPortInfo.h"

#include "localization/L10n.h"

#include <algorithm>
#include <array>

namespace velmora {
namespace {

struct ProductEntry {
    int vendor;
    int product;
    std::string_view name;
};

struct VendorEntry {
    int vendor;
    std::string_view name;
};

constexpr std::array boardNames{
    ProductEntry{0x2341, 0x0001, "Arduino Uno"},
    ProductEntry{0x2341, 0x0043, "Arduino Uno"},
    ProductEntry{0x2341, 0x0243, "Arduino Uno"},
    ProductEntry{0x2341, 0x0010, "Arduino Mega 2560"},
    ProductEntry{0x2341, 0x0042, "Arduino Mega 2560"},
    ProductEntry{0x2341, 0x0242, "Arduino Mega 2560"},
    ProductEntry{0x2341, 0x8036, "Arduino Leonardo"},
    ProductEntry{0x2341, 0x0036, "Arduino Leonardo"},
    ProductEntry{0x2341, 0x8037, "Arduino Micro"},
    ProductEntry{0x2341, 0x0037, "Arduino Micro"},
    ProductEntry{0x2341, 0x0058, "Arduino Nano Every"},
    ProductEntry{0x2341, 0x0069, "Arduino UNO R4 Minima"},
    ProductEntry{0x2341, 0x1002, "Arduino UNO R4 WiFi"},
    ProductEntry{0x2A03, 0x0043, "Arduino Uno"},
    ProductEntry{0x2A03, 0x0042, "Arduino Mega 2560"},
    ProductEntry{0x2A03, 0x8036, "Arduino Leonardo"},
};

constexpr std::array chipNames{
    ProductEntry{0x1A86, 0x7523, "CH340"},
    ProductEntry{0x1A86, 0x5523, "CH341"},
    ProductEntry{0x1A86, 0x55D4, "CH9102"},
    ProductEntry{0x10C4, 0xEA60, "CP210x"},
    ProductEntry{0x0403, 0x6001, "FTDI FT232R"},
    ProductEntry{0x0403, 0x6010, "FTDI FT2232"},
    ProductEntry{0x0403, 0x6014, "FTDI FT232H"},
    ProductEntry{0x0403, 0x6015, "FTDI FT231X"},
    ProductEntry{0x067B, 0x2303, "PL2303"},
};

constexpr std::array vendorNames{
    VendorEntry{0x2341, "Arduino"},
    VendorEntry{0x2A03, "Arduino"},
    VendorEntry{0x303A, "Espressif ESP32"},
    VendorEntry{0x2E8A, "Raspberry Pi Pico"},
    VendorEntry{0x239A, "Adafruit"},
    VendorEntry{0x1B4F, "SparkFun"},
    VendorEntry{0x16C0, "Teensy"},
};

template <std::size_t N>
std::optional<std::string_view> find(const std::array<ProductEntry, N>& table, int vendor, int product)
{
    const auto it = std::find_if(table.begin(), table.end(),
        [&](const ProductEntry& entry) { return entry.vendor == vendor && entry.product == product; });
    if (it == table.end())
        return std::nullopt;
    return it->name;
}

// The name a lookup result stands for in the interface.
std::string shownName(const BoardName& board)
{
    return board.isChip ? L10n::Board::usbSerial(board.name) : board.name;
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

unsigned char folded(char c)
{
    const auto u = static_cast<unsigned char>(c);
    return (u >= 'A' && u <= 'Z') ? static_cast<unsigned char>(u - 'A' + 'a') : u;
}

int sign(int value)
{
    return (value > 0) - (value < 0);
}

} // namespace

std::optional<BoardName> boardName(std::optional<int> vendorID, std::optional<int> productID)
{
    if (!vendorID)
        return std::nullopt;
    if (productID) {
        if (auto name = find(boardNames, *vendorID, *productID))
            return BoardName{std::string(*name), false};
        if (auto name = find(chipNames, *vendorID, *productID))
            return BoardName{std::string(*name), true};
    }
    const auto vendor = std::find_if(
        vendorNames.begin(), vendorNames.end(), [&](const VendorEntry& entry) { return entry.vendor == *vendorID; });
    if (vendor != vendorNames.end())
        return BoardName{std::string(vendor->name), false};
    return std::nullopt;
}

std::string SerialPortInfo::displayName() const
{
    if (const auto board = boardName(vendorID, productID))
        return shownName(*board);
    if (productName && !productName->empty())
        return *productName;
    constexpr std::size_t devPrefixLength = 5; // "/dev/"
    return path.size() > devPrefixLength ? path.substr(devPrefixLength) : std::string();
}

std::string SerialPortInfo::menuTitle() const
{
    constexpr std::string_view separator = " \u2014 ";
    if (const auto board = boardName(vendorID, productID))
        return path + std::string(separator) + shownName(*board);
    if (productName && !productName->empty())
        return path + std::string(separator) + *productName;
    return path;
}

int compareNaturally(std::string_view a, std::string_view b)
{
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        if (isDigit(a[i]) && isDigit(b[j])) {
            auto aEnd = i;
            while (aEnd < a.size() && isDigit(a[aEnd]))
                ++aEnd;
            auto bEnd = j;
            while (bEnd < b.size() && isDigit(b[bEnd]))
                ++bEnd;
            // Leading zeros do not change the value; keep the last digit of an all-zero run.
            while (i + 1 < aEnd && a[i] == '0')
                ++i;
            while (j + 1 < bEnd && b[j] == '0')
                ++j;
            // Compared as text so that runs of any length work without overflow.
            if (aEnd - i != bEnd - j)
                return aEnd - i < bEnd - j ? -1 : 1;
            if (const int c = a.substr(i, aEnd - i).compare(b.substr(j, bEnd - j)))
                return sign(c);
            i = aEnd;
            j = bEnd;
            continue;
        }
        const auto ca = folded(a[i]);
        const auto cb = folded(b[j]);
        if (ca != cb)
            return ca < cb ? -1 : 1;
        ++i;
        ++j;
    }
    if (i < a.size())
        return 1;
    if (j < b.size())
        return -1;
    // Equal but for case or leading zeros: plain byte order keeps the order total.
    return sign(a.compare(b));
}

bool portOrder(const SerialPortInfo& a, const SerialPortInfo& b)
{
    if (a.vendorID.has_value() != b.vendorID.has_value())
        return a.vendorID.has_value();
    return compareNaturally(a.path, b.path) < 0;
}

void sortPorts(std::vector<SerialPortInfo>& ports)
{
    std::sort(ports.begin(), ports.end(), portOrder);
}

} // namespace velmora

std::size_t std::hash<velmora::SerialPortInfo>::operator()(const velmora::SerialPortInfo& info) const noexcept
{
    std::size_t seed = std::hash<std::string>{}(info.path);
    const auto mix = [&seed](std::size_t value) { seed ^= value + 0x9e3779b97f4a7c15ULL + (seed << 6) + (seed >> 2); };
    mix(std::hash<std::optional<std::string>>{}(info.productName));
    mix(std::hash<std::optional<int>>{}(info.vendorID));
    mix(std::hash<std::optional<int>>{}(info.productID));
    return seed;
}

#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// One discovered serial port as the port picker shows it. A plain value.
struct SerialPortInfo {
    // Always a path that isAcceptablePortPath accepts.
    std::string path;
    // The USB product name, trimmed at both ends; may be empty after trimming.
    std::optional<std::string> productName;
    // Absent for ports that are not on USB (built-in UARTs, Bluetooth).
    std::optional<int> vendorID;
    std::optional<int> productID;

    // The short name: tab title and the picker's label.
    std::string displayName() const;
    // One row of the picker's menu: the path, then " — " and the name when there is one.
    std::string menuTitle() const;

    bool operator==(const SerialPortInfo&) const = default;
};

// A name from the built-in tables; isChip marks a USB-to-serial converter rather than a board.
struct BoardName {
    std::string name;
    bool isChip = false;

    bool operator==(const BoardName&) const = default;
};

// Looks the ids up in the board table, then the chip table, then the vendor table.
std::optional<BoardName> boardName(std::optional<int> vendorID, std::optional<int> productID);

// Finder-like order of names: case-insensitive, runs of digits compared by value, so "ttyACM2"
// comes before "ttyACM10". Negative, zero or positive; zero only for identical strings.
int compareNaturally(std::string_view a, std::string_view b);

// The order of the port list: ports with a vendor id first, then by path in natural order.
bool portOrder(const SerialPortInfo& a, const SerialPortInfo& b);
void sortPorts(std::vector<SerialPortInfo>& ports);

} // namespace velmora

template <> struct std::hash<velmora::SerialPortInfo> {
    std::size_t operator()(const velmora::SerialPortInfo& info) const noexcept;
};

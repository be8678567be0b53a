#include "core/serial/PortScanner.h"

#include "core/serial/PortPath.h"

#include <libudev.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

namespace velmora {
namespace {

constexpr int maxUsbId = 0xFFFF;

std::string_view trimmed(std::string_view text)
{
    constexpr std::string_view whiteSpace = " \t\n\r\v\f";
    const auto first = text.find_first_not_of(whiteSpace);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(whiteSpace) - first + 1);
}

// sysfs gives USB ids as hexadecimal text ("2341").
std::optional<int> usbId(const char* text)
{
    if (!text)
        return std::nullopt;
    const auto digits = trimmed(text);
    unsigned value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value, 16);
    if (digits.empty() || error != std::errc() || end != digits.data() + digits.size() || value > maxUsbId)
        return std::nullopt;
    return static_cast<int>(value);
}

// Sets enumeration to the path with the bus and device numbers of the port's USB device, which
// the kernel gives afresh each time it enumerates the device; empty off USB.
std::optional<SerialPortInfo> describe(udev_device* device, std::string& enumeration)
{
    const char* sysname = udev_device_get_sysname(device);
    const std::string_view name = sysname ? sysname : "";
    // Virtual consoles, ptmx and the like have no hardware parent. Bound RFCOMM links sit among
    // them in sysfs, yet they are Bluetooth serial ports.
    if (!udev_device_get_parent(device) && !name.starts_with("rfcomm"))
        return std::nullopt;
    // The kernel makes ttyS0 to ttyS31 whether or not a UART is there; type 0 means none is.
    if (name.starts_with("ttyS")) {
        const char* type = udev_device_get_sysattr_value(device, "type");
        if (type && trimmed(type) == "0")
            return std::nullopt;
    }
    const char* node = udev_device_get_devnode(device);
    if (!node || !isAcceptablePortPath(node))
        return std::nullopt;

    SerialPortInfo info{node, std::nullopt, std::nullopt, std::nullopt};
    enumeration.clear();
    if (auto* usb = udev_device_get_parent_with_subsystem_devtype(device, "usb", "usb_device")) {
        const char* bus = udev_device_get_sysattr_value(usb, "busnum");
        const char* number = udev_device_get_sysattr_value(usb, "devnum");
        enumeration =
            info.path + ' ' + std::string(trimmed(bus ? bus : "")) + ':' + std::string(trimmed(number ? number : ""));
        info.vendorID = usbId(udev_device_get_sysattr_value(usb, "idVendor"));
        info.productID = usbId(udev_device_get_sysattr_value(usb, "idProduct"));
        if (const char* product = udev_device_get_sysattr_value(usb, "product"))
            info.productName = std::string(trimmed(product));
    }
    if (!info.productName) {
        if (const char* model = udev_device_get_property_value(device, "ID_MODEL_FROM_DATABASE"))
            info.productName = std::string(trimmed(model));
    }
    return info;
}

// Most of the tty class is virtual consoles and the like, which describe() drops for having no
// hardware parent; telling them by their path spares udev reading each one, which a scanner
// that polls would otherwise do every time. Bound RFCOMM links live there too and are kept.
bool isVirtualConsole(std::string_view syspath)
{
    constexpr std::string_view virtualDevices = "/sys/devices/virtual/";
    const auto name = syspath.substr(syspath.find_last_of('/') + 1);
    return syspath.starts_with(virtualDevices) && !name.starts_with("rfcomm");
}

// Without udevd (containers) a "udev" monitor is silently given no events at all, so the
// daemon's control socket decides; the kernel's own uevents are the fallback.
bool udevDaemonRuns()
{
    return access("/run/udev/control", F_OK) == 0;
}

udev_monitor* openMonitor(udev* context, const char* source)
{
    udev_monitor* monitor = udev_monitor_new_from_netlink(context, source);
    if (!monitor)
        return nullptr;
    if (udev_monitor_filter_add_match_subsystem_devtype(monitor, "tty", nullptr) < 0 ||
        udev_monitor_enable_receiving(monitor) < 0) {
        udev_monitor_unref(monitor);
        return nullptr;
    }
    return monitor;
}

bool addsOrRemoves(udev_device* device)
{
    const char* action = udev_device_get_action(device);
    return action && (std::strcmp(action, "add") == 0 || std::strcmp(action, "remove") == 0);
}

} // namespace

std::shared_ptr<PortScanner> PortScanner::create(MainQueue& mainQueue)
{
    return std::shared_ptr<PortScanner>(new PortScanner(mainQueue));
}

PortScanner::PortScanner(MainQueue& mainQueue) : mainQueue_(mainQueue), udev_(udev_new())
{
}

PortScanner::~PortScanner()
{
    pendingRescan_.cancel();
    nextPoll_.cancel();
    if (monitor_)
        udev_monitor_unref(monitor_);
    if (udev_)
        udev_unref(udev_);
}

void PortScanner::start()
{
    if (isStarted() || !udev_)
        return;
    if (udevDaemonRuns())
        monitor_ = openMonitor(udev_, "udev");
    if (!monitor_)
        monitor_ = openMonitor(udev_, "kernel");
    if (!monitor_) {
        // Refused, as containers and sandboxes without netlink do: without polling, no board
        // would ever come or go.
        polling_ = true;
        schedulePoll();
    }
    report();
}

std::vector<SerialPortInfo> PortScanner::scan() const
{
    return list().ports;
}

PortScanner::Listing PortScanner::list() const
{
    Listing listing;
    if (!udev_)
        return listing;
    udev_enumerate* enumerate = udev_enumerate_new(udev_);
    if (!enumerate)
        return listing;
    if (udev_enumerate_add_match_subsystem(enumerate, "tty") >= 0 && udev_enumerate_scan_devices(enumerate) >= 0) {
        udev_list_entry* entry = nullptr;
        udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(enumerate))
        {
            const char* syspath = udev_list_entry_get_name(entry);
            if (!syspath || isVirtualConsole(syspath))
                continue;
            udev_device* device = udev_device_new_from_syspath(udev_, syspath);
            if (!device)
                continue;
            std::string enumeration;
            if (auto info = describe(device, enumeration)) {
                listing.ports.push_back(std::move(*info));
                if (!enumeration.empty())
                    listing.enumerations.push_back(std::move(enumeration));
            }
            udev_device_unref(device);
        }
    }
    udev_enumerate_unref(enumerate);
    sortPorts(listing.ports);
    std::sort(listing.enumerations.begin(), listing.enumerations.end());
    return listing;
}

int PortScanner::monitorDescriptor() const
{
    return monitor_ ? udev_monitor_get_fd(monitor_) : -1;
}

void PortScanner::handleMonitorEvents()
{
    if (!monitor_)
        return;
    bool portsChanged = false;
    for (std::size_t taken = 0; taken < maxEventsPerWake; ++taken) {
        errno = 0;
        udev_device* device = udev_monitor_receive_device(monitor_);
        if (!device) {
            // The socket overflowed and events were lost: one of them may have been a port.
            if (errno == ENOBUFS)
                portsChanged = true;
            break;
        }
        portsChanged = portsChanged || addsOrRemoves(device);
        udev_device_unref(device);
    }
    if (!portsChanged)
        return;

    const auto keepAlive = shared_from_this();
    report();
    pendingRescan_.cancel();
    pendingRescan_ = mainQueue_.postAfter(rescanDelay, [weakScanner = weak_from_this()] {
        if (auto scanner = weakScanner.lock())
            scanner->report();
    });
}

void PortScanner::report()
{
    report(list());
}

void PortScanner::report(Listing listing)
{
    lastReported_ = std::move(listing);
    // A copy, since an observer may cause another report while it runs.
    const auto ports = lastReported_.ports;
    reports_.notify(ports);
}

void PortScanner::poll()
{
    auto listing = list();
    if (!(listing == lastReported_))
        report(std::move(listing));
    schedulePoll();
}

void PortScanner::schedulePoll()
{
    nextPoll_ = mainQueue_.postAfter(pollPeriod, [weakScanner = weak_from_this()] {
        if (auto scanner = weakScanner.lock())
            scanner->poll();
    });
}

} // namespace velmora

#include "tools/simboard/UmockdevUnoPort.h"

#include <umockdev.h>

#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

namespace velmora::simboard {
namespace {

// With the ids of a genuine Uno R3. No "N:" line: the node is ours.
constexpr const char* unoDescription =
    "P: /devices/pci0000:00/0000:00:14.0/usb1/1-1\n"
    "E: SUBSYSTEM=usb\nE: DEVTYPE=usb_device\n"
    "A: idVendor=2341\nA: idProduct=0043\nA: manufacturer=Arduino (www.arduino.cc)\nA: product=Arduino Uno\n"
    "\n"
    "P: /devices/pci0000:00/0000:00:14.0/usb1/1-1/1-1:1.0\n"
    "E: SUBSYSTEM=usb\nE: DEVTYPE=usb_interface\nA: bInterfaceClass=02\n"
    "\n"
    "P: /devices/pci0000:00/0000:00:14.0/usb1/1-1/1-1:1.0/tty/ttyACM0\n"
    "E: SUBSYSTEM=tty\nE: DEVNAME=/dev/ttyACM0\n"
    "\n";

std::string takeMessage(const std::string& what, GError* error)
{
    const std::string message = what + (error ? std::string(": ") + error->message : std::string());
    if (error)
        g_error_free(error);
    return message;
}

} // namespace

UmockdevUnoPort::UmockdevUnoPort() : modemLines_(TIOCM_DTR | TIOCM_RTS)
{
    testbed_ = umockdev_testbed_new();
    gchar* root = umockdev_testbed_get_root_dir(testbed_);
    rootDirectory_ = root;
    g_free(root);
    try {
        addDevices();
        createNode();
    } catch (...) {
        g_object_unref(testbed_);
        throw;
    }
    ioctlHandler_ = umockdev_ioctl_base_new();
    g_signal_connect(ioctlHandler_, "handle-ioctl", G_CALLBACK(handleIoctl), this);
    GError* error = nullptr;
    if (!umockdev_testbed_attach_ioctl(testbed_, std::string(nodePath).c_str(), ioctlHandler_, &error)) {
        const std::string message = takeMessage("umockdev refused the ioctl handler", error);
        ::close(master_);
        g_object_unref(ioctlHandler_);
        g_object_unref(testbed_);
        throw std::runtime_error(message);
    }
}

UmockdevUnoPort::~UmockdevUnoPort()
{
    umockdev_testbed_detach_ioctl(testbed_, std::string(nodePath).c_str(), nullptr);
    g_object_unref(ioctlHandler_);
    if (master_ >= 0)
        ::close(master_);
    g_object_unref(testbed_);
}

void UmockdevUnoPort::addDevices()
{
    GError* error = nullptr;
    if (!umockdev_testbed_add_from_string(testbed_, unoDescription, &error))
        throw std::runtime_error(takeMessage("umockdev refused the Uno", error));
    present_ = true;
}

void UmockdevUnoPort::createNode()
{
    std::string slavePath;
    master_ = openBoardPseudoTerminal(slavePath);
    const std::string devDirectory = rootDirectory_ + "/dev";
    ::mkdir(devDirectory.c_str(), 0755);
    const std::string node = rootDirectory_ + std::string(nodePath);
    ::unlink(node.c_str());
    if (::symlink(slavePath.c_str(), node.c_str()) != 0) {
        ::close(master_);
        master_ = -1;
        throw std::runtime_error("cannot create " + node);
    }
}

void UmockdevUnoPort::unplug()
{
    if (!present_)
        return;
    // The kernel hangs up the open descriptors and drops the node first, then announces the
    // removal while sysfs still shows the device.
    ::close(master_);
    master_ = -1;
    ::unlink((rootDirectory_ + std::string(nodePath)).c_str());
    umockdev_testbed_uevent(testbed_, std::string(ttySysPath).c_str(), "remove");
    // Children first: umockdev unlinks only the class entry of the device it is given, and a
    // stale /sys/class/tty/ttyACM0 would stop the replug.
    umockdev_testbed_remove_device(testbed_, std::string(ttySysPath).c_str());
    umockdev_testbed_remove_device(testbed_, std::string(interfaceSysPath).c_str());
    umockdev_testbed_remove_device(testbed_, std::string(usbDeviceSysPath).c_str());
    present_ = false;
}

void UmockdevUnoPort::plugIn()
{
    if (present_)
        return;
    addDevices();
    createNode();
    // A freshly enumerated board: its driver starts with both lines up, as on open.
    modemLines_.store(TIOCM_DTR | TIOCM_RTS);
    umockdev_testbed_uevent(testbed_, std::string(ttySysPath).c_str(), "add");
}

std::vector<ModemLineRequest> UmockdevUnoPort::modemLineLog() const
{
    std::lock_guard lock(logMutex_);
    return log_;
}

bool UmockdevUnoPort::handleModemRequest(unsigned long request, int& bits)
{
    constexpr int lines = TIOCM_DTR | TIOCM_RTS;
    ModemLineRequest entry;
    entry.time = std::chrono::steady_clock::now();
    entry.bits = bits;
    const int before = modemLines_.load();
    int after = before;
    if (request == TIOCMGET) {
        bits = before;
        return true;
    }
    if (request == TIOCMSET) {
        entry.kind = ModemLineRequest::Kind::set;
        after = bits & lines;
    } else if (request == TIOCMBIS) {
        entry.kind = ModemLineRequest::Kind::raise;
        after = before | (bits & lines);
    } else if (request == TIOCMBIC) {
        entry.kind = ModemLineRequest::Kind::drop;
        after = before & ~bits;
    } else {
        return false;
    }
    modemLines_.store(after);
    entry.dtr = (after & TIOCM_DTR) != 0;
    entry.rts = (after & TIOCM_RTS) != 0;
    if (!(before & TIOCM_DTR) && entry.dtr)
        ++resets_;
    std::lock_guard lock(logMutex_);
    log_.push_back(entry);
    return true;
}

int UmockdevUnoPort::handleIoctl(UMockdevIoctlBase*, UMockdevIoctlClient* client, void* self)
{
    auto& port = *static_cast<UmockdevUnoPort*>(self);
    const gulong request = umockdev_ioctl_client_get_request(client);
    if (request == TIOCMGET || request == TIOCMSET || request == TIOCMBIS || request == TIOCMBIC) {
        GError* error = nullptr;
        UMockdevIoctlData* data =
            umockdev_ioctl_data_resolve(umockdev_ioctl_client_get_arg(client), 0, sizeof(int), &error);
        if (!data) {
            if (error)
                g_error_free(error);
            umockdev_ioctl_client_complete(client, -1, EFAULT);
            return TRUE;
        }
        int* value = reinterpret_cast<int*>(data->data);
        port.handleModemRequest(request, *value);
        umockdev_ioctl_client_complete(client, 0, 0);
        return TRUE;
    }
    // Everything else is the pseudo-terminal's business.
    int clientErrno = 0;
    GError* error = nullptr;
    const int result = umockdev_ioctl_client_execute(client, &clientErrno, &error);
    if (error) {
        g_error_free(error);
        umockdev_ioctl_client_complete(client, -1, EIO);
        return TRUE;
    }
    umockdev_ioctl_client_complete(client, result, clientErrno);
    return TRUE;
}

} // namespace velmora::simboard

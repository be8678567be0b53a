#include "tools/screenshots/FakeUno.h"

#include <umockdev.h>

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

namespace velmora::tools {
namespace {

// The board, its CDC interface and the tty below it, with the ids of a genuine Uno R3.
constexpr const char* unoDescription =
    "P: /devices/pci0000:00/0000:00:14.0/usb1/1-1\n"
    "E: SUBSYSTEM=usb\nE: DEVTYPE=usb_device\n"
    "A: idVendor=2341\nA: idProduct=0043\nA: manufacturer=Arduino (www.arduino.cc)\nA: product=Arduino Uno\n"
    "\n"
    "P: /devices/pci0000:00/0000:00:14.0/usb1/1-1/1-1:1.0\n"
    "E: SUBSYSTEM=usb\nE: DEVTYPE=usb_interface\nA: bInterfaceClass=02\n"
    "\n"
    "P: /devices/pci0000:00/0000:00:14.0/usb1/1-1/1-1:1.0/tty/ttyACM0\n"
    "N: ttyACM0\nE: SUBSYSTEM=tty\nE: DEVNAME=/dev/ttyACM0\n"
    "\n";

void fail(UMockdevTestbed* testbed, UMockdevIoctlBase* handler, const std::string& what, GError* error)
{
    const std::string message = what + (error ? std::string(": ") + error->message : std::string());
    if (error)
        g_error_free(error);
    if (handler)
        g_object_unref(handler);
    g_object_unref(testbed);
    throw std::runtime_error(message);
}

// Runs on umockdev's thread for every ioctl the application makes on the board's node.
gboolean handleIoctl(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer lines)
{
    auto& modemLines = *static_cast<std::atomic<int>*>(lines);
    const gulong request = umockdev_ioctl_client_get_request(client);
    if (request == TIOCMGET || request == TIOCMSET || request == TIOCMBIS || request == TIOCMBIC) {
        GError* error = nullptr;
        UMockdevIoctlData* bits = umockdev_ioctl_data_resolve(umockdev_ioctl_client_get_arg(client), 0, sizeof(int), &error);
        if (!bits) {
            if (error)
                g_error_free(error);
            umockdev_ioctl_client_complete(client, -1, EFAULT);
            return TRUE;
        }
        int* value = reinterpret_cast<int*>(bits->data);
        if (request == TIOCMGET)
            *value = modemLines.load();
        else if (request == TIOCMSET)
            modemLines.store(*value & (TIOCM_DTR | TIOCM_RTS));
        else if (request == TIOCMBIS)
            modemLines.fetch_or(*value & (TIOCM_DTR | TIOCM_RTS));
        else
            modemLines.fetch_and(~*value);
        umockdev_ioctl_client_complete(client, 0, 0);
        return TRUE;
    }
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

} // namespace

FakeUno::FakeUno() : modemLines_(TIOCM_DTR | TIOCM_RTS)
{
    testbed_ = umockdev_testbed_new();
    // The testbed points the preload library at itself; without that library, udev would see
    // the real machine.
    if (!umockdev_in_mock_environment())
        fail(testbed_, nullptr, "not running under umockdev's preload library", nullptr);
    const std::string node(devicePath);
    GError* error = nullptr;
    if (!umockdev_testbed_add_from_string(testbed_, unoDescription, &error))
        fail(testbed_, nullptr, "umockdev refused the Uno", error);
    ioctlHandler_ = umockdev_ioctl_base_new();
    g_signal_connect(ioctlHandler_, "handle-ioctl", G_CALLBACK(handleIoctl), &modemLines_);
    if (!umockdev_testbed_attach_ioctl(testbed_, node.c_str(), ioctlHandler_, &error))
        fail(testbed_, ioctlHandler_, "umockdev refused the ioctl handler for " + node, error);
    boardSide_ = umockdev_testbed_get_dev_fd(testbed_, node.c_str());
    if (boardSide_ < 0)
        fail(testbed_, ioctlHandler_, "umockdev gave no pseudo-terminal for " + node, nullptr);
    // Never block the event loop on a full terminal buffer.
    ::fcntl(boardSide_, F_SETFL, ::fcntl(boardSide_, F_GETFL) | O_NONBLOCK);
}

FakeUno::~FakeUno()
{
    // The descriptor belongs to the testbed, which closes it.
    umockdev_testbed_detach_ioctl(testbed_, std::string(devicePath).c_str(), nullptr);
    g_object_unref(ioctlHandler_);
    g_object_unref(testbed_);
}

bool FakeUno::send(std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(boardSide_, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0 && errno == EAGAIN) {
            pollfd writable{boardSide_, POLLOUT, 0};
            if (::poll(&writable, 1, 1000) == 1)
                continue;
        }
        if (written <= 0)
            return false;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

std::string FakeUno::takeReceived()
{
    std::string received;
    char buffer[4096];
    for (;;) {
        const ssize_t count = ::read(boardSide_, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            return received;
        received.append(buffer, static_cast<std::size_t>(count));
    }
}

} // namespace velmora::tools

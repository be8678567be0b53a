#pragma once

#include "tools/simboard/BoardPort.h"

#include <atomic>
#include <mutex>
#include <string_view>

typedef struct _UMockdevIoctlBase UMockdevIoctlBase;
typedef struct _UMockdevIoctlClient UMockdevIoctlClient;
typedef struct _UMockdevTestbed UMockdevTestbed;

namespace velmora::simboard {

// An Arduino Uno (2341:0043) on USB as udev and the port scanner see it: a umockdev testbed
// with the board, its CDC interface and its tty ttyACM0, whose device node /dev/ttyACM0 is a
// symbolic link in the testbed to a pseudo-terminal of ours (so that a replug can put a fresh
// one behind the same name, which umockdev's own nodes cannot).
//
// umockdev answers every ioctl on the node itself and refuses those it does not know, TIOCEXCL
// among them. The handler passes those on to the pseudo-terminal and keeps the modem lines
// itself, as a USB board's driver does, logging each request; it runs on umockdev's thread.
//
// Creating the testbed sets UMOCKDEV_DIR in this process's environment. Programs see the
// testbed only under umockdev's preload library: this process, when it was started under it
// (tests), or children started with it in LD_PRELOAD. Only one testbed per process.
class UmockdevUnoPort : public BoardPort {
public:
    static constexpr std::string_view nodePath = "/dev/ttyACM0";
    static constexpr std::string_view usbDeviceSysPath = "/sys/devices/pci0000:00/0000:00:14.0/usb1/1-1";
    static constexpr std::string_view interfaceSysPath = "/sys/devices/pci0000:00/0000:00:14.0/usb1/1-1/1-1:1.0";
    static constexpr std::string_view ttySysPath = "/sys/devices/pci0000:00/0000:00:14.0/usb1/1-1/1-1:1.0/tty/ttyACM0";

    // Throws std::runtime_error when the testbed cannot be built.
    UmockdevUnoPort();
    ~UmockdevUnoPort() override;
    UmockdevUnoPort(const UmockdevUnoPort&) = delete;
    UmockdevUnoPort& operator=(const UmockdevUnoPort&) = delete;

    std::string devicePath() const override { return std::string(nodePath); }
    int boardSide() const override { return master_; }
    // Hangs up the application's descriptor, removes the node and the devices, and announces
    // the removal with a uevent.
    void unplug() override;
    // The devices again, a new pseudo-terminal behind the same node, and an "add" uevent.
    void plugIn() override;
    bool observesModemLines() const override { return true; }
    std::vector<ModemLineRequest> modemLineLog() const override;
    int modemLines() const override { return modemLines_.load(); }
    std::uint64_t resets() const override { return resets_.load(); }

    // The testbed's root, the value of UMOCKDEV_DIR.
    const std::string& rootDirectory() const { return rootDirectory_; }

private:
    static int handleIoctl(UMockdevIoctlBase* handler, UMockdevIoctlClient* client, void* self);
    bool handleModemRequest(unsigned long request, int& bits);
    void addDevices();
    void createNode();

    UMockdevTestbed* testbed_ = nullptr;
    UMockdevIoctlBase* ioctlHandler_ = nullptr;
    std::string rootDirectory_;
    int master_ = -1;
    bool present_ = false;

    // Written on umockdev's thread.
    std::atomic<int> modemLines_;
    std::atomic<std::uint64_t> resets_{0};
    mutable std::mutex logMutex_;
    std::vector<ModemLineRequest> log_;
};

} // namespace velmora::simboard

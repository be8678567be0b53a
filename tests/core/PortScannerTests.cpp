// Runs under umockdev's preload library (CTest sets LD_PRELOAD): every test builds its own
// testbed of fake USB boards and UARTs, whose tty nodes are real pseudo-terminals, and
// synthesises the uevents a hot-plug would send.
#include "core/exec/ManualMainQueue.h"
#include "core/serial/PortScanner.h"
#include "core/session/PortRegistry.h"
#include "tests/helpers/Umockdev.h"

#include <gtest/gtest.h>
#include <umockdev.h>

#include <fcntl.h>
#include <linux/audit.h>
#include <linux/filter.h>
#include <linux/netlink.h>
#include <linux/seccomp.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

using namespace std::chrono_literals;
using namespace velmora;

namespace {

using PortList = std::vector<SerialPortInfo>;

// One USB device with an interface and a tty below it, in umockdev's text format.
std::string usbBoard(const std::string& bus, const std::string& tty, std::string_view vendor, std::string_view product,
    std::string_view productAttribute = {}, std::string_view modelFromDatabase = {})
{
    const std::string device = "/devices/pci0000:00/0000:00:14.0/usb1/" + bus;
    std::string text = "P: " + device +
        "\nE: SUBSYSTEM=usb\nE: DEVTYPE=usb_device\nA: idVendor=" + std::string(vendor) +
        "\nA: idProduct=" + std::string(product) + "\n";
    if (!productAttribute.empty())
        text += "A: product=" + std::string(productAttribute) + "\n";
    text +=
        "\nP: " + device + "/" + bus + ":1.0\nE: SUBSYSTEM=usb\nE: DEVTYPE=usb_interface\nA: bInterfaceClass=02\n\n";
    text += "P: " + device + "/" + bus + ":1.0/tty/" + tty + "\nN: " + tty + "\nE: SUBSYSTEM=tty\nE: DEVNAME=/dev/" +
        tty + "\n";
    if (!modelFromDatabase.empty())
        text += "E: ID_MODEL_FROM_DATABASE=" + std::string(modelFromDatabase) + "\n";
    return text + "\n";
}

std::string usbTtyPath(const std::string& bus, const std::string& tty)
{
    return "/sys/devices/pci0000:00/0000:00:14.0/usb1/" + bus + "/" + bus + ":1.0/tty/" + tty;
}

std::string usbDevicePath(const std::string& bus)
{
    return "/sys/devices/pci0000:00/0000:00:14.0/usb1/" + bus;
}

// A tty of the 8250 driver, with the UART type the kernel reports (0: no UART there).
std::string builtInUart(const std::string& tty, std::string_view type)
{
    return "P: /devices/platform/serial8250/tty/" + tty + "\nN: " + tty + "\nE: SUBSYSTEM=tty\nE: DEVNAME=/dev/" + tty +
        "\nA: type=" + std::string(type) + "\\n\n\n";
}

// A tty with no hardware parent, like ttyprintk or a bound Bluetooth link.
std::string virtualTty(const std::string& tty)
{
    return "P: /devices/virtual/tty/" + tty + "\nN: " + tty + "\nE: SUBSYSTEM=tty\nE: DEVNAME=/dev/" + tty + "\n\n";
}

SerialPortInfo info(
    std::string path, std::optional<std::string> name, std::optional<int> vendor, std::optional<int> product)
{
    return SerialPortInfo{std::move(path), std::move(name), vendor, product};
}

const SerialPortInfo arduinoUno = info("/dev/ttyACM0", "Arduino Uno", 0x2341, 0x0043);

#if defined(__x86_64__)
constexpr std::uint32_t auditArch = AUDIT_ARCH_X86_64;
#elif defined(__aarch64__)
constexpr std::uint32_t auditArch = AUDIT_ARCH_AARCH64;
#endif

// Runs body on a thread of its own on which the kernel refuses uevent sockets with EPERM, as a
// container's seccomp profile does; the filter ends with the thread. umockdev's preload stands
// a unix socket of the same type in for the netlink one, so that is refused too.
void withNetlinkRefused(const std::function<void()>& body)
{
    std::thread thread([&] {
        constexpr std::uint32_t allow = SECCOMP_RET_ALLOW;
        constexpr std::uint32_t refuse = SECCOMP_RET_ERRNO | EPERM;
        sock_filter program[] = {
            BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, arch)),
            BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, auditArch, 1, 0),
            BPF_STMT(BPF_RET | BPF_K, allow),
            BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
            BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, SYS_socket, 1, 0),
            BPF_STMT(BPF_RET | BPF_K, allow),
            BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, args[0])),
            BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, AF_NETLINK, 4, 0),
            BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, AF_UNIX, 0, 4),
            BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, args[1])),
            BPF_STMT(BPF_ALU | BPF_AND | BPF_K, 0xF),
            BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, SOCK_RAW, 0, 1),
            BPF_STMT(BPF_RET | BPF_K, refuse),
            BPF_STMT(BPF_RET | BPF_K, allow),
        };
        sock_fprog filter{static_cast<unsigned short>(std::size(program)), program};
        ASSERT_EQ(prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0), 0) << std::strerror(errno);
        ASSERT_EQ(syscall(SYS_seccomp, SECCOMP_SET_MODE_FILTER, 0, &filter), 0) << std::strerror(errno);
        const int probe = ::socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC, NETLINK_KOBJECT_UEVENT);
        const int probeError = errno;
        if (probe >= 0)
            ::close(probe);
        ASSERT_EQ(probe, -1);
        ASSERT_EQ(probeError, EPERM);
        body();
    });
    thread.join();
}

class PortScannerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(velmora::testing::underUmockdevPreload())
            << "run these tests with umockdev's preload library (CTest does), not against the real machine";
        testbed = umockdev_testbed_new();
        ASSERT_TRUE(umockdev_in_mock_environment());
        add("P: /devices/platform/serial8250\nE: SUBSYSTEM=platform\n\n" + builtInUart("ttyS0", "0"));
        add(usbBoard("1-1", "ttyACM0", "2341", "0043", "Arduino Uno"));
    }

    void TearDown() override
    {
        scanner.reset();
        if (testbed)
            g_object_unref(testbed);
    }

    void add(const std::string& description)
    {
        GError* error = nullptr;
        const bool added = umockdev_testbed_add_from_string(testbed, description.c_str(), &error);
        EXPECT_TRUE(added) << (error ? error->message : "");
        if (error)
            g_error_free(error);
    }

    void sendUevent(const std::string& syspath, const char* action)
    {
        umockdev_testbed_uevent(testbed, syspath.c_str(), action);
    }

    void startRecordingScanner()
    {
        scanner = PortScanner::create(queue);
        recording = scanner->reports().subscribe([this](const PortList& list) { reports.push_back(list); });
        scanner->start();
    }

    bool deliverMonitorEvents() { return velmora::testing::deliverMonitorEvents(*scanner); }

    bool monitorIsQuiet() const
    {
        pollfd descriptor{scanner->monitorDescriptor(), POLLIN, 0};
        return poll(&descriptor, 1, 100) == 0;
    }

    UMockdevTestbed* testbed = nullptr;
    ManualMainQueue queue;
    std::shared_ptr<PortScanner> scanner;
    std::vector<PortList> reports;
    Subscription recording;
};

} // namespace

TEST_F(PortScannerTest, EachPortIsDescribedFromItsUsbParentAndListedUsbFirstInNaturalOrder)
{
    add(usbBoard("1-2", "ttyUSB0", "1a86", "7523", "USB2.0-Serial"));
    add(usbBoard("1-3", "ttyACM10", "303a", "4001", "ESP32-S3 custom"));
    add(usbBoard("1-4", "ttyACM2", "1234", "5678", " USB Serial \\n"));
    add(usbBoard("1-5", "ttyUSB1", "0403", "6001", "", " FT232 Serial (UART) IC "));
    add(usbBoard("1-6", "ttyUSB2", "abcd", "0001"));
    add(builtInUart("ttyS1", "4") + builtInUart("ttyS2", "0"));
    add(virtualTty("ttyprintk") + virtualTty("rfcomm0"));

    const auto ports = PortScanner::create(queue)->scan();
    const PortList expected{
        arduinoUno,
        info("/dev/ttyACM2", "USB Serial", 0x1234, 0x5678),
        info("/dev/ttyACM10", "ESP32-S3 custom", 0x303A, 0x4001),
        info("/dev/ttyUSB0", "USB2.0-Serial", 0x1A86, 0x7523),
        info("/dev/ttyUSB1", "FT232 Serial (UART) IC", 0x0403, 0x6001),
        info("/dev/ttyUSB2", std::nullopt, 0xABCD, 0x0001),
        info("/dev/rfcomm0", std::nullopt, std::nullopt, std::nullopt),
        info("/dev/ttyS1", std::nullopt, std::nullopt, std::nullopt),
    };
    ASSERT_EQ(ports, expected);

    // Each listed path is the device's own node, which opens like any terminal.
    const int fd = ::open(ports[0].path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    EXPECT_GE(fd, 0);
    if (fd >= 0) {
        EXPECT_TRUE(isatty(fd));
        ::close(fd);
    }
}

TEST_F(PortScannerTest, StartReportsTheFirstListBeforeReturningAndASecondStartRegistersNothing)
{
    scanner = PortScanner::create(queue);
    EXPECT_EQ(scanner->monitorDescriptor(), -1);
    EXPECT_FALSE(scanner->isStarted());
    scanner->handleMonitorEvents();
    EXPECT_TRUE(reports.empty());

    recording = scanner->reports().subscribe([this](const PortList& list) { reports.push_back(list); });
    scanner->start();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0], PortList{arduinoUno});
    const int descriptor = scanner->monitorDescriptor();
    EXPECT_GE(descriptor, 0);

    scanner->start();
    EXPECT_EQ(reports.size(), 1u);
    EXPECT_EQ(scanner->monitorDescriptor(), descriptor);

    add(usbBoard("1-2", "ttyUSB0", "1a86", "7523"));
    ASSERT_TRUE(deliverMonitorEvents());
    queue.advance(2s);
    EXPECT_EQ(reports.size(), 3u) << "one event, one monitor: one report at once and one later";
    EXPECT_EQ(queue.pendingCount(), 0u);
}

TEST_F(PortScannerTest, ANewBoardGivesTwoCompleteReportsHalfASecondApartAndSoDoesItsRemoval)
{
    startRecordingScanner();
    ASSERT_EQ(reports.size(), 1u);

    const PortList withCh340{arduinoUno, info("/dev/ttyUSB0", std::nullopt, 0x1A86, 0x7523)};
    add(usbBoard("1-2", "ttyUSB0", "1a86", "7523"));
    ASSERT_TRUE(deliverMonitorEvents());
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[1], withCh340);
    queue.advance(499ms);
    EXPECT_EQ(reports.size(), 2u);
    queue.advance(1ms);
    ASSERT_EQ(reports.size(), 3u);
    EXPECT_EQ(reports[2], withCh340);

    // The kernel announces the removal while sysfs still shows the device; the rescans run after.
    sendUevent(usbTtyPath("1-2", "ttyUSB0"), "remove");
    umockdev_testbed_remove_device(testbed, usbDevicePath("1-2").c_str());
    ASSERT_TRUE(deliverMonitorEvents());
    ASSERT_EQ(reports.size(), 4u);
    EXPECT_EQ(reports[3], PortList{arduinoUno});
    queue.advance(499ms);
    EXPECT_EQ(reports.size(), 4u);
    queue.advance(1ms);
    ASSERT_EQ(reports.size(), 5u);
    EXPECT_EQ(reports[4], PortList{arduinoUno});

    queue.advance(5s);
    EXPECT_EQ(reports.size(), 5u);
}

TEST_F(PortScannerTest, APendingSecondRescanIsReplacedByTheNextEventsAndChangeEventsCauseNone)
{
    startRecordingScanner();

    sendUevent(usbTtyPath("1-1", "ttyACM0"), "change");
    ASSERT_TRUE(deliverMonitorEvents());
    EXPECT_EQ(reports.size(), 1u);
    EXPECT_EQ(queue.pendingCount(), 0u);

    add(usbBoard("1-2", "ttyUSB0", "1a86", "7523"));
    ASSERT_TRUE(deliverMonitorEvents());
    ASSERT_EQ(reports.size(), 2u);
    queue.advance(300ms);
    add(usbBoard("1-3", "ttyUSB1", "10c4", "ea60"));
    ASSERT_TRUE(deliverMonitorEvents());
    ASSERT_EQ(reports.size(), 3u);
    EXPECT_EQ(reports[2].size(), 3u);
    queue.advance(499ms);
    EXPECT_EQ(reports.size(), 3u) << "the rescan due 500 ms after the first board was replaced";
    queue.advance(1ms);
    EXPECT_EQ(reports.size(), 4u);
    EXPECT_EQ(queue.pendingCount(), 0u);

    // Several events ready at one wake-up make one pair of reports.
    add(usbBoard("1-4", "ttyUSB2", "067b", "2303") + usbBoard("1-5", "ttyUSB3", "0403", "6015"));
    ASSERT_TRUE(deliverMonitorEvents());
    EXPECT_TRUE(monitorIsQuiet());
    EXPECT_EQ(reports.size(), 5u);
    queue.advance(500ms);
    ASSERT_EQ(reports.size(), 6u);
    EXPECT_EQ(reports[5].size(), 5u);
}

TEST_F(PortScannerTest, AScannerReleasedBeforeItsSecondRescanReportsNothingMore)
{
    startRecordingScanner();
    add(usbBoard("1-2", "ttyUSB0", "1a86", "7523"));
    ASSERT_TRUE(deliverMonitorEvents());
    ASSERT_EQ(reports.size(), 2u);

    scanner.reset();
    queue.advance(1s);
    EXPECT_EQ(reports.size(), 2u);
}

TEST_F(PortScannerTest, TheRegistryPublishesTheFirstListBeforeItIsBuiltAndEveryLaterReport)
{
    auto registryScanner = PortScanner::create(queue);
    PortRegistry registry(queue, registryScanner);
    EXPECT_EQ(registry.ports.value(), PortList{arduinoUno});
    EXPECT_TRUE(registryScanner->isStarted());
    EXPECT_EQ(registry.scanner(), registryScanner.get());

    std::vector<PortList> seen;
    auto subscription = registry.ports.subscribe([&](const PortList& list) { seen.push_back(list); });
    add(usbBoard("1-2", "ttyUSB0", "1a86", "7523"));
    ASSERT_TRUE(velmora::testing::deliverMonitorEvents(*registry.scanner()));
    queue.advance(500ms);
    const PortList withCh340{arduinoUno, info("/dev/ttyUSB0", std::nullopt, 0x1A86, 0x7523)};
    EXPECT_EQ(seen, (std::vector<PortList>{{arduinoUno}, withCh340, withCh340}));
}

TEST_F(PortScannerTest, TheSharedRegistryIsBuiltOnceWithAStartedScanner)
{
    // The shared registry lives to the end of the process, so its queue must as well.
    static ManualMainQueue processQueue;
    PortRegistry& registry = PortRegistry::shared(processQueue);
    EXPECT_EQ(&PortRegistry::shared(queue), &registry);
    EXPECT_EQ(&registry.mainQueue(), &processQueue);
    ASSERT_NE(registry.scanner(), nullptr);
    EXPECT_GE(registry.scanner()->monitorDescriptor(), 0);
    EXPECT_EQ(registry.ports.value(), PortList{arduinoUno});
}

TEST_F(PortScannerTest, WithoutAMonitorTheFirstListIsPublishedAtOnceAndPollingFindsBoardsComingAndGoing)
{
    withNetlinkRefused([this] {
        const PortList withCh340{arduinoUno, info("/dev/ttyUSB0", std::nullopt, 0x1A86, 0x7523)};
        std::vector<PortList> seen;
        {
            auto registryScanner = PortScanner::create(queue);
            PortRegistry registry(queue, registryScanner);
            EXPECT_EQ(registry.ports.value(), PortList{arduinoUno});
            EXPECT_TRUE(registryScanner->isPolling());
            EXPECT_EQ(registryScanner->monitorDescriptor(), -1);
            registryScanner->start();
            EXPECT_EQ(queue.pendingCount(), 1u) << "a second start polls no more often";
            auto subscription = registry.ports.subscribe([&](const PortList& list) { seen.push_back(list); });

            add(usbBoard("1-2", "ttyUSB0", "1a86", "7523"));
            umockdev_testbed_set_attribute(testbed, usbDevicePath("1-2").c_str(), "devnum", "5");
            queue.advance(PortScanner::pollPeriod - 1ms);
            EXPECT_EQ(seen.size(), 1u);
            queue.advance(1ms);
            ASSERT_EQ(seen.size(), 2u);
            EXPECT_EQ(seen[1], withCh340);
            queue.advance(3 * PortScanner::pollPeriod);
            EXPECT_EQ(seen.size(), 2u) << "an unchanged list is not reported again";

            // Replugged between two polls, the board reads the same but for the number the
            // kernel gave it afresh; a session waiting for it must hear of it.
            umockdev_testbed_set_attribute(testbed, usbDevicePath("1-2").c_str(), "devnum", "6");
            queue.advance(PortScanner::pollPeriod);
            ASSERT_EQ(seen.size(), 3u);
            EXPECT_EQ(seen[2], withCh340);

            umockdev_testbed_remove_device(testbed, usbDevicePath("1-2").c_str());
            queue.advance(PortScanner::pollPeriod);
            ASSERT_EQ(seen.size(), 4u);
            EXPECT_EQ(seen[3], PortList{arduinoUno});
        }
        EXPECT_EQ(queue.pendingCount(), 0u) << "polling stops with the scanner";
        add(usbBoard("1-3", "ttyUSB1", "10c4", "ea60"));
        queue.advance(2 * PortScanner::pollPeriod);
        EXPECT_EQ(seen.size(), 4u);
    });
}

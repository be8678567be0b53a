#include "tools/simboard/PortCheck.h"

#include "core/exec/ManualMainQueue.h"
#include "core/plot/PlotParser.h"
#include "core/serial/PortScanner.h"
#include "core/serial/SerialPort.h"

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace velmora::simboard {
namespace {

using namespace std::chrono_literals;

constexpr auto patience = 10s;

// The bytes the port delivered, for the checking thread to wait on.
struct Received {
    std::mutex mutex;
    std::condition_variable arrived;
    std::string text;

    template <typename Predicate> bool waitFor(Predicate holds)
    {
        std::unique_lock lock(mutex);
        return arrived.wait_for(lock, patience, [&] { return holds(std::string_view(text)); });
    }
};

bool hasSensorLine(std::string_view text)
{
    // A whole line after the first newline: the first may have been cut by the open.
    std::size_t start = text.find('\n');
    while (start != std::string_view::npos) {
        const std::size_t end = text.find('\n', start + 1);
        if (end == std::string_view::npos)
            return false;
        const auto result = PlotParser::parseLine(text.substr(start + 1, end - start - 1), {});
        if (const auto* values = std::get_if<PlotParser::ValuesLine>(&result)) {
            if (values->values.size() == 3 && values->values[0].name == "temp" && values->values[1].name == "hum" &&
                values->values[2].name == "pressure")
                return true;
        }
        start = end;
    }
    return false;
}

} // namespace

int checkPort(const std::string& path, std::ostream& out)
{
    ManualMainQueue mainQueue;
    const auto ports = PortScanner::create(mainQueue)->scan();
    bool found = false;
    for (const auto& port : ports) {
        if (port.path == path && port.vendorID == 0x2341 && port.productID == 0x0043) {
            out << "found " << port.menuTitle() << "\n";
            found = true;
        }
    }
    if (!found) {
        out << "no Arduino Uno at " << path << " among " << ports.size() << " ports\n";
        return 1;
    }

    auto port = SerialPort::create(path);
    Received received;
    std::optional<SerialPortError> error;
    port->queue().sync([&] {
        error = port->open(
            PortSettings{},
            [&](std::vector<std::uint8_t> bytes) {
                {
                    std::lock_guard lock(received.mutex);
                    received.text.append(bytes.begin(), bytes.end());
                }
                received.arrived.notify_all();
            },
            nullptr);
    });
    if (error) {
        out << "cannot open " << path << ": " << error->message() << "\n";
        return 1;
    }
    int status = 0;
    if (received.waitFor(hasSensorLine)) {
        out << "read a sensor line\n";
    } else {
        out << "no sensor line within " << patience.count() << " s\n";
        status = 1;
    }
    const std::string command = "hello board\n";
    std::optional<SerialPortError> failure;
    port->queue().sync([&] {
        failure = port->write(std::span(reinterpret_cast<const std::uint8_t*>(command.data()), command.size()));
    });
    if (failure)
        out << "cannot write: " << failure->message() << "\n";
    if (received.waitFor(
            [](std::string_view text) { return text.find("echo: hello board\n") != std::string_view::npos; })) {
        out << "the board answered\n";
    } else {
        out << "no answer to a command within " << patience.count() << " s\n";
        status = 1;
    }
    port->queue().sync([&] { port->close(); });
    return status;
}

} // namespace velmora::simboard

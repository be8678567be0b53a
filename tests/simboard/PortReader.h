#pragma once

#include "core/serial/SerialPort.h"
#include "tests/helpers/PortRecorder.h"

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace velmora::testing {

// A real serial port of the core on the simulated board's device, collecting what it reads.
class PortReader : public PortRecorder {
public:
    explicit PortReader(std::string path) : port_(SerialPort::create(std::move(path))) {}
    ~PortReader() { close(); }
    PortReader(const PortReader&) = delete;
    PortReader& operator=(const PortReader&) = delete;

    std::optional<SerialPortError> open()
    {
        std::optional<SerialPortError> error;
        port_->queue().sync([&] { error = port_->open(PortSettings{}, dataHandler(), closeHandler()); });
        return error;
    }
    void close()
    {
        port_->queue().sync([&] { port_->close(); });
    }
    std::optional<SerialPortError> write(std::string_view text)
    {
        std::optional<SerialPortError> error;
        port_->queue().sync(
            [&] { error = port_->write(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size())); });
        return error;
    }
    SerialPort& port() { return *port_; }

    // Waits for the port to close by itself; true when it did, with an error.
    bool waitForErrorClose(std::chrono::milliseconds timeout) { return waitForClose(timeout) && closes().front(); }

private:
    std::shared_ptr<SerialPort> port_;
};

} // namespace velmora::testing

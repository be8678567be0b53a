#pragma once

#include "core/serial/SerialPort.h"

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

namespace velmora::testing {

// A real serial port of the core on the simulated board's device, collecting what it reads
// for the test thread to wait on.
class PortReader {
public:
    explicit PortReader(std::string path) : port_(SerialPort::create(std::move(path))) {}
    ~PortReader() { close(); }
    PortReader(const PortReader&) = delete;
    PortReader& operator=(const PortReader&) = delete;

    std::optional<SerialPortError> open()
    {
        std::optional<SerialPortError> error;
        port_->queue().sync([&] {
            error = port_->open(
                PortSettings{},
                [this](std::vector<std::uint8_t> bytes) {
                    std::lock_guard lock(mutex_);
                    text_.append(bytes.begin(), bytes.end());
                    changed_.notify_all();
                },
                [this](std::optional<SerialPortError> closeError) {
                    std::lock_guard lock(mutex_);
                    closed_ = true;
                    closedWithError_ = closeError.has_value();
                    changed_.notify_all();
                });
        });
        return error;
    }

    void close()
    {
        port_->queue().sync([&] { port_->close(); });
    }

    std::optional<SerialPortError> write(std::string_view text)
    {
        std::optional<SerialPortError> error;
        port_->queue().sync([&] {
            error = port_->write(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
        });
        return error;
    }

    SerialPort& port() { return *port_; }

    // Waits until the text read so far satisfies holds.
    bool waitFor(const std::function<bool(std::string_view)>& holds, std::chrono::milliseconds timeout)
    {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, timeout, [&] { return holds(text_); });
    }
    bool waitForText(std::string_view wanted, std::chrono::milliseconds timeout)
    {
        return waitFor([&](std::string_view text) { return text.find(wanted) != std::string_view::npos; }, timeout);
    }
    // Waits for the port to close by itself; true when it did, with an error.
    bool waitForErrorClose(std::chrono::milliseconds timeout)
    {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, timeout, [&] { return closed_; }) && closedWithError_;
    }

    std::string text()
    {
        std::lock_guard lock(mutex_);
        return text_;
    }

private:
    std::shared_ptr<SerialPort> port_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::string text_;
    bool closed_ = false;
    bool closedWithError_ = false;
};

} // namespace velmora::testing

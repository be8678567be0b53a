#pragma once

#include "core/serial/SerialPort.h"

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::testing {

// Collects what a port reports on its queue, for the test thread to wait on.
class PortRecorder {
public:
    SerialPort::DataHandler dataHandler()
    {
        return [this](std::vector<std::uint8_t> bytes) {
            std::lock_guard lock(mutex_);
            events_.push_back("data");
            text_.append(bytes.begin(), bytes.end());
            batches_.push_back(std::move(bytes));
            changed_.notify_all();
        };
    }
    SerialPort::CloseHandler closeHandler()
    {
        return [this](std::optional<SerialPortError> error) {
            std::lock_guard lock(mutex_);
            events_.push_back("close");
            closes_.push_back(std::move(error));
            changed_.notify_all();
        };
    }

    // Waits until what was received so far satisfies holds.
    bool waitFor(const std::function<bool(std::string_view)>& holds, std::chrono::milliseconds timeout)
    {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, timeout, [&] { return holds(text_); });
    }
    bool waitForBytes(std::size_t count, std::chrono::milliseconds timeout = std::chrono::seconds(5))
    {
        return waitFor([&](std::string_view text) { return text.size() >= count; }, timeout);
    }
    bool waitForText(std::string_view wanted, std::chrono::milliseconds timeout)
    {
        return waitFor([&](std::string_view text) { return text.find(wanted) != std::string_view::npos; }, timeout);
    }
    bool waitForClose(std::chrono::milliseconds timeout = std::chrono::seconds(5))
    {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, timeout, [&] { return !closes_.empty(); });
    }

    std::string text()
    {
        std::lock_guard lock(mutex_);
        return text_;
    }
    std::vector<std::uint8_t> bytes()
    {
        std::lock_guard lock(mutex_);
        return {text_.begin(), text_.end()};
    }
    std::vector<std::vector<std::uint8_t>> batches()
    {
        std::lock_guard lock(mutex_);
        return batches_;
    }
    std::vector<std::optional<SerialPortError>> closes()
    {
        std::lock_guard lock(mutex_);
        return closes_;
    }
    // "data" and "close" in the order they came.
    std::vector<std::string> events()
    {
        std::lock_guard lock(mutex_);
        return events_;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::string text_;
    std::vector<std::vector<std::uint8_t>> batches_;
    std::vector<std::optional<SerialPortError>> closes_;
    std::vector<std::string> events_;
};

} // namespace velmora::testing

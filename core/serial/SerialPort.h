#pragma once

#include "core/exec/IoQueue.h"
#include "core/serial/LineAttributes.h"
#include "core/serial/ModemLineControl.h"
#include "core/serial/ModemLines.h"
#include "core/serial/PortSettings.h"
#include "core/serial/SerialPortError.h"
#include "core/support/Expected.h"

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace velmora {

// One open serial character device, used exclusively: raw mode, the requested frame and exact
// baud rate, reads handed on in batches, writes with a stall timeout, and the device's own
// settings put back on close.
//
// Thread: everything but construction runs on queue(). Owners open, close and read the modem
// lines through queue().sync(), and write through the asynchronous write(). The callbacks run on
// queue() too; they must not block.
//
// One instance per connection attempt. When the last reference goes away while the port is still
// open, it closes itself quietly.
class SerialPort : public std::enable_shared_from_this<SerialPort> {
public:
    using DataHandler = std::function<void(std::vector<std::uint8_t> bytes)>;
    using CloseHandler = std::function<void(std::optional<SerialPortError> error)>;
    using WriteCompletion = std::function<void(std::optional<SerialPortError> error)>;
    using LineStepsCompletion = std::function<void(Expected<ModemLines, SerialPortError> result)>;

    static constexpr std::size_t readSize = 8192;
    static constexpr std::size_t maxBatchSize = 65536;
    static constexpr int writeStallTimeoutMs = 2000;
    // A device that trickles (a wake-up brings less than trickleBytes) is left alone for a
    // while before the next read: a board printing at 115200 baud is read a few dozen times a
    // second instead of once per USB packet. The rest is short enough for about trickleBytes at
    // the line's rate, so the line discipline's 4 KiB buffer never comes near full and a UART
    // bridge is never throttled; after a quiet spell it ends before the 30 ms batch of the first
    // bytes is handed on, so that the rest of a burst joins them; a device that kept sending
    // through the last rest is streaming and may wait a little longer.
    static constexpr std::size_t trickleBytes = 1024;
    static constexpr std::chrono::milliseconds burstRest{25};
    static constexpr std::chrono::milliseconds streamRest{50};
    static std::chrono::microseconds restAfterTrickle(std::int64_t baudRate, bool streaming);

    static std::shared_ptr<SerialPort> create(std::string path,
        std::shared_ptr<ModemLineControl> modemLines = systemModemLineControl());
    ~SerialPort();
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;

    const std::string& path() const { return path_; }
    IoQueue& queue() { return queue_; }

    // Opens and configures the device, starts reading, then stores the callbacks. On an open
    // port it touches nothing and only replaces the callbacks. On failure nothing is stored.
    std::optional<SerialPortError> open(const PortSettings& settings, DataHandler onData, CloseHandler onClose);
    // The quiet close: restores the device's settings, releases it and drops both callbacks
    // without calling onClose.
    void close();
    // Writes the whole buffer, waiting at most writeStallTimeoutMs for each stall. Bytes written
    // before a failure stay written; a failure leaves the port open.
    std::optional<SerialPortError> write(std::span<const std::uint8_t> bytes);
    // Queues the write on queue() and reports there.
    void write(std::vector<std::uint8_t> bytes, WriteCompletion completion);

    // The current DTR and RTS state as the driver reports it.
    Expected<ModemLines, SerialPortError> readModemLines();
    // The same, with no value instead of an error.
    std::optional<ModemLines> readModemLinesIfAvailable();
    // Queues the steps on queue(): each step asserts its lines, then drops its lines, then holds
    // the queue for holdMs, so writes queued meanwhile wait for the sequence. completion runs on
    // queue() exactly once, with the lines read after the last step or with the error that
    // stopped the run (the lines then stay as far as they got).
    void runLineSteps(std::vector<LineStep> steps, LineStepsCompletion completion);

    // Paced reads let a trickling device rest between reads (fewer, larger pieces); unpaced, the
    // default, reads every readable event at once so that arrival times stay exact. Callable
    // from any thread.
    void setPacedReads(bool paced) { pacedReads_.store(paced, std::memory_order_relaxed); }

    bool isOpen() const { return fd_ != -1; }
    int fd() const { return fd_; }
    // The device's settings as found at open.
    const LineAttributes& originalAttributes() const { return originalAttributes_; }

private:
    SerialPort(std::string path, std::shared_ptr<ModemLineControl> modemLines);

    void handleReadable();
    Expected<ModemLines, SerialPortError> runLineSteps(const std::vector<LineStep>& steps);
    void close(std::optional<SerialPortError> error, bool notify);
    // Closes a descriptor whose configuration failed halfway.
    static void abandon(int fd);

    // Declared first so that it is destroyed last, after the quiet close in the destructor.
    IoQueue queue_;
    const std::string path_;
    std::shared_ptr<ModemLineControl> modemLines_;
    int fd_ = -1;
    LineAttributes originalAttributes_;
    std::shared_ptr<ReadSource> readSource_;
    std::int64_t baudRate_ = 0;
    std::atomic<bool> pacedReads_{false};
    // When the last rest ends; a wake-up right then finds a device that kept sending.
    std::chrono::steady_clock::time_point restEnds_;
    std::unique_ptr<std::array<std::uint8_t, readSize>> readBuffer_;
    DataHandler onData_;
    CloseHandler onClose_;
};

} // namespace velmora

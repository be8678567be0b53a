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
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <variant>
#include <vector>

namespace velmora {

// One open serial character device, used exclusively: raw mode, the requested frame and exact
// baud rate, reads handed on in batches, writes queued and written as the line takes them with a
// stall timeout, and the device's own settings put back on close.
//
// Thread: everything but construction and setPacedReads runs on queue(). Owners open, close and
// read the modem lines through queue().sync(), and write and run line steps through the
// asynchronous forms. The callbacks run on queue() too; they must not block. Nothing on queue()
// waits on the device: a write that finds no room leaves its bytes queued and asks to be woken
// when there is, and a hold between line steps is a delayed task, so a sync() returns promptly
// whatever a device does.
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
    // Bytes of payloads waiting to be written, at most: sixteen of the longest messages a user
    // sends. A payload that does not fit fails at once.
    static constexpr std::size_t maxQueuedWriteBytes = 65536;
    // How often the driver's output queue is looked at while a payload waits for room: a tty
    // reports room only once its buffer is nearly empty, so a slow line drains for seconds
    // without one; a shrinking queue is progress too.
    static constexpr std::chrono::milliseconds drainCheckInterval{100};
    // With paced reads, a device that trickles (a wake-up brings less than trickleBytes) is left
    // alone for a while before the next read: a board printing at 115200 baud is read 40 times a
    // second instead of once per USB packet. The rest is short enough for about trickleBytes at
    // the line's rate, so the line discipline's 4 KiB buffer never comes near full and a UART
    // bridge is never throttled, and it ends before the 30 ms batch of the bytes just read is
    // handed on, so that the next read joins them: a stream reaches the window in one batch
    // every 50 ms, each line at most about 55 ms after it arrived.
    static constexpr std::size_t trickleBytes = 1024;
    static constexpr std::chrono::milliseconds pacedRest{25};
    static std::chrono::microseconds restAfterTrickle(std::int64_t baudRate);

    static std::shared_ptr<SerialPort> create(
        std::string path, std::shared_ptr<ModemLineControl> modemLines = systemModemLineControl());
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
    // Queues the bytes behind what waits and returns at once: notOpen on a closed port, or
    // writeFailed(ENOBUFS) when they would take the waiting bytes beyond maxQueuedWriteBytes.
    // Whatever happens to the bytes later goes unreported; the asynchronous form reports it.
    std::optional<SerialPortError> write(std::span<const std::uint8_t> bytes);
    // Queues the write on queue(). Payloads are written in order, each continuing where the
    // driver stopped taking bytes. completion runs on queue() exactly once: with no error when
    // the driver has taken every byte; writeTimeout after writeStallTimeoutMs without progress;
    // notOpen when the port closed first; writeFailed otherwise. Bytes written before a failure
    // stay written, and a failure leaves the port open for the next payload.
    void write(std::vector<std::uint8_t> bytes, WriteCompletion completion);

    // The current DTR and RTS state as the driver reports it.
    Expected<ModemLines, SerialPortError> readModemLines();
    // The same, with no value instead of an error.
    std::optional<ModemLines> readModemLinesIfAvailable();
    // Queues the steps behind the payloads that wait: each step asserts its lines, then drops its
    // lines, then holds for holdMs, and payloads queued meanwhile wait for the sequence. Reads go
    // on during a hold. completion runs on queue() exactly once, with the lines read after the
    // last step, with the error that stopped the run (the lines then stay as far as they got),
    // or with notOpen when the port closed first.
    void runLineSteps(std::vector<LineStep> steps, LineStepsCompletion completion);

    // Paced reads let a trickling device rest between reads (fewer, larger pieces); unpaced, the
    // default, reads every readable event at once so that arrival times stay exact. Callable
    // from any thread.
    void setPacedReads(bool paced) { pacedReads_.store(paced, std::memory_order_relaxed); }
    bool isPacedReads() const { return pacedReads_.load(std::memory_order_relaxed); }

    bool isOpen() const { return fd_ != -1; }
    int fd() const { return fd_; }
    // The device's settings as found at open.
    const LineAttributes& originalAttributes() const { return originalAttributes_; }

private:
    SerialPort(std::string path, std::shared_ptr<ModemLineControl> modemLines);

    struct Payload {
        std::vector<std::uint8_t> bytes;
        std::size_t written = 0;
        WriteCompletion completion;
    };
    struct StepRun {
        std::vector<LineStep> steps;
        std::size_t next = 0;
        LineStepsCompletion completion;
    };

    void handleReadable();
    // Whether the descriptor has hung up or failed, for a wake-up that found nothing to read.
    bool hasHungUp() const;
    // On immediate failure calls completion with the error as well.
    std::optional<SerialPortError> queueWrite(std::vector<std::uint8_t> bytes, WriteCompletion completion);
    // Works through the jobs until one has to wait for room or for a hold to end.
    // Adds a payload or step run behind the others and starts it when it is the only one.
    void enqueue(std::variant<Payload, StepRun> job);
    void pump();
    void waitForRoom();
    void scheduleDrainCheck();
    void checkDrain();
    void runNextStep(StepRun& run);
    void finishPayload(std::optional<SerialPortError> error);
    void finishSteps(Expected<ModemLines, SerialPortError> result);
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
    // Set by close() when the descriptor's last close may wait on the driver; read by the read
    // source's cancel handler, which closes the descriptor.
    std::shared_ptr<std::atomic<bool>> closeAside_;
    std::int64_t baudRate_ = 0;
    std::atomic<bool> pacedReads_{false};
    std::unique_ptr<std::array<std::uint8_t, readSize>> readBuffer_;
    // Payloads and step runs in the order they were asked for; the front one is in progress.
    std::deque<std::variant<Payload, StepRun>> jobs_;
    std::size_t queuedWriteBytes_ = 0;
    bool pumping_ = false;
    bool waitingForRoom_ = false;
    TaskHandle holdEnd_;
    TaskHandle drainCheck_;
    // When the front job last moved: it started, the driver took bytes, or its queue shrank.
    IoQueue::Clock::time_point lastProgress_;
    int lastOutputQueued_ = -1;
    DataHandler onData_;
    CloseHandler onClose_;
};

} // namespace velmora

#include "core/serial/SerialPort.h"

#include "core/AppIdentity.h"
#include "core/serial/PortPath.h"
#include "localization/L10n.h"

#include <algorithm>
#include <cassert>
#include <cerrno>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace velmora {

std::shared_ptr<SerialPort> SerialPort::create(std::string path, std::shared_ptr<ModemLineControl> modemLines)
{
    return std::shared_ptr<SerialPort>(new SerialPort(std::move(path), std::move(modemLines)));
}

SerialPort::SerialPort(std::string path, std::shared_ptr<ModemLineControl> modemLines)
    : queue_(std::string(appId) + ".io")
    , path_(std::move(path))
    , modemLines_(std::move(modemLines))
    , readBuffer_(std::make_unique<std::array<std::uint8_t, readSize>>())
{
}

SerialPort::~SerialPort()
{
    queue_.sync([this] { close(std::nullopt, false); });
}

void SerialPort::abandon(int fd)
{
    // The flag stays with the device, not the descriptor: left set, it would keep out every
    // later opener (but root) for as long as anyone else holds the device open.
    ::ioctl(fd, TIOCNXCL);
    ::close(fd);
}

std::optional<SerialPortError> SerialPort::open(const PortSettings& settings, DataHandler onData, CloseHandler onClose)
{
    assert(queue_.isCurrent());
    if (fd_ == -1) {
        if (!isAcceptablePortPath(path_))
            return SerialPortError::invalidPath(path_);
        if (!PortSettings::isValidBaudRate(settings.baudRate))
            return SerialPortError::unsupportedBaudRate(settings.baudRate, EINVAL);

        const int fd = ::open(path_.c_str(), O_RDWR | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (fd < 0) {
            const int code = errno;
            return code == EBUSY ? SerialPortError::busy(path_) : SerialPortError::openFailed(path_, code);
        }

        // TIOCEXCL keeps out later opens (except root's); the lock is how tio, picocom and
        // pyserial's exclusive mode refuse each other, and root respects it as well.
        if (::ioctl(fd, TIOCEXCL) != 0 || ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const int code = errno;
            abandon(fd);
            if (code == EBUSY || code == EWOULDBLOCK)
                return SerialPortError::busy(path_);
            return SerialPortError::configurationFailed(L10n::Errors::whatExclusiveAccess(), code);
        }

        LineAttributes original;
        if (const int code = LineAttributes::read(fd, original); code != 0) {
            abandon(fd);
            return SerialPortError::configurationFailed(L10n::Errors::whatReadAttributes(), code);
        }
        if (const int code = original.configuredFor(settings).apply(fd); code != 0) {
            abandon(fd);
            return SerialPortError::configurationFailed(L10n::Errors::whatPortSettings(), code);
        }
        if (const int code = LineAttributes::setExactSpeed(fd, static_cast<std::uint32_t>(settings.baudRate));
            code != 0) {
            original.apply(fd);
            abandon(fd);
            return SerialPortError::unsupportedBaudRate(settings.baudRate, code);
        }
        LineAttributes::flush(fd);

        originalAttributes_ = original;
        fd_ = fd;
        baudRate_ = settings.baudRate;
        std::weak_ptr<SerialPort> weakSelf = weak_from_this();
        closeAside_ = std::make_shared<std::atomic<bool>>(false);
        readSource_ = queue_.makeReadSource(
            fd,
            [weakSelf] {
                if (auto self = weakSelf.lock())
                    self->handleReadable();
            },
            // The cancel handler owns the descriptor: it runs after any event handler returned.
            [fd, aside = closeAside_] {
                if (aside->load())
                    std::thread([fd] { ::close(fd); }).detach();
                else
                    ::close(fd);
            });
        readSource_->resume();
    }
    onData_ = std::move(onData);
    onClose_ = std::move(onClose);
    return std::nullopt;
}

void SerialPort::handleReadable()
{
    if (fd_ == -1)
        return;
    std::vector<std::uint8_t> batch;
    const auto deliver = [&] {
        if (!batch.empty() && onData_)
            onData_(std::move(batch));
    };
    // The line discipline hands out at most 4 KiB per read however much is waiting, so a short
    // read does not mean the device is drained: read until it has nothing more (EAGAIN) or the
    // batch is full. Reads are sized so that a batch never exceeds maxBatchSize.
    while (batch.size() < maxBatchSize) {
        const std::size_t wanted = std::min(readSize, maxBatchSize - batch.size());
        const ssize_t count = ::read(fd_, readBuffer_->data(), wanted);
        if (count > 0) {
            batch.insert(batch.end(), readBuffer_->data(), readBuffer_->data() + count);
            continue;
        }
        if (count == 0) {
            // End of file is a hang-up, whether the node is gone (unplugged) or still there (a
            // vhangup, or the moment before a USB adapter's node goes): either way nothing more
            // comes, and a descriptor left open would report readable for ever.
            deliver();
            close(SerialPortError::deviceDisconnected(), true);
            return;
        }
        const int code = errno;
        if (code == EINTR)
            continue;
        if (code == EAGAIN || code == EWOULDBLOCK) {
            if (batch.empty() && hasHungUp()) {
                close(SerialPortError::deviceDisconnected(), true);
                return;
            }
            break;
        }
        deliver();
        const bool vanished = code == EIO || code == ENXIO || code == ENODEV;
        close(vanished ? SerialPortError::deviceDisconnected() : SerialPortError::readFailed(code), true);
        return;
    }
    if (pacedReads_.load(std::memory_order_relaxed) && batch.size() < trickleBytes) {
        if (const auto rest = restAfterTrickle(baudRate_); rest.count() > 0)
            readSource_->restFor(rest);
    }
    deliver();
}

std::chrono::microseconds SerialPort::restAfterTrickle(std::int64_t baudRate)
{
    // Eight bits a byte: the fastest a frame of any shape can bring bytes in.
    const auto bytesPerSecond = std::max<std::int64_t>(1, baudRate / 8);
    const std::chrono::microseconds fill{static_cast<std::int64_t>(trickleBytes) * 1'000'000 / bytesPerSecond};
    const auto rest = std::min<std::chrono::microseconds>(fill, pacedRest);
    // Below a millisecond the rest would save nothing.
    return rest < std::chrono::milliseconds(1) ? std::chrono::microseconds(0) : rest;
}

bool SerialPort::hasHungUp() const
{
    pollfd state{fd_, POLLIN, 0};
    return ::poll(&state, 1, 0) > 0 && (state.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
}

std::optional<SerialPortError> SerialPort::write(std::span<const std::uint8_t> bytes)
{
    assert(queue_.isCurrent());
    return queueWrite(std::vector<std::uint8_t>(bytes.begin(), bytes.end()), nullptr);
}

void SerialPort::write(std::vector<std::uint8_t> bytes, WriteCompletion completion)
{
    queue_.async([weakSelf = weak_from_this(), bytes = std::move(bytes), completion = std::move(completion)]() mutable {
        if (auto self = weakSelf.lock())
            self->queueWrite(std::move(bytes), std::move(completion));
        else if (completion)
            completion(SerialPortError::notOpen());
    });
}

std::optional<SerialPortError> SerialPort::queueWrite(std::vector<std::uint8_t> bytes, WriteCompletion completion)
{
    std::optional<SerialPortError> refusal;
    if (fd_ == -1)
        refusal = SerialPortError::notOpen();
    else if (bytes.size() > maxQueuedWriteBytes - queuedWriteBytes_)
        refusal = SerialPortError::writeFailed(ENOBUFS);
    if (refusal) {
        if (completion)
            completion(refusal);
        return refusal;
    }
    queuedWriteBytes_ += bytes.size();
    enqueue(Payload{std::move(bytes), 0, std::move(completion)});
    return std::nullopt;
}

void SerialPort::enqueue(std::variant<Payload, StepRun> job)
{
    if (jobs_.empty())
        lastProgress_ = IoQueue::Clock::now();
    jobs_.push_back(std::move(job));
    pump();
}

void SerialPort::pump()
{
    // A completion that queues more work lands here again; the loop already running takes it.
    if (pumping_)
        return;
    pumping_ = true;
    while (fd_ != -1 && !jobs_.empty() && !waitingForRoom_ && !holdEnd_.isPending()) {
        if (auto* run = std::get_if<StepRun>(&jobs_.front())) {
            runNextStep(*run);
            continue;
        }
        auto& payload = std::get<Payload>(jobs_.front());
        if (payload.written == payload.bytes.size()) {
            finishPayload(std::nullopt);
            continue;
        }
        const ssize_t count =
            ::write(fd_, payload.bytes.data() + payload.written, payload.bytes.size() - payload.written);
        if (count > 0) {
            payload.written += static_cast<std::size_t>(count);
            lastProgress_ = IoQueue::Clock::now();
            continue;
        }
        // A driver that takes nothing without saying why is full, like one that says EAGAIN.
        const int code = count == 0 ? EAGAIN : errno;
        if (code == EINTR)
            continue;
        if (code == EAGAIN || code == EWOULDBLOCK)
            waitForRoom();
        else
            finishPayload(SerialPortError::writeFailed(code));
    }
    if (!waitingForRoom_) {
        drainCheck_.cancel();
        if (readSource_)
            readSource_->watchWritable(nullptr);
    }
    pumping_ = false;
}

void SerialPort::waitForRoom()
{
    waitingForRoom_ = true;
    if (modemLines_->outputQueued(fd_, lastOutputQueued_) != 0)
        lastOutputQueued_ = -1;
    readSource_->watchWritable([weakSelf = weak_from_this()] {
        if (auto self = weakSelf.lock()) {
            self->waitingForRoom_ = false;
            self->pump();
        }
    });
    if (!drainCheck_.isPending())
        scheduleDrainCheck();
}

void SerialPort::scheduleDrainCheck()
{
    // Next look at the driver's queue: after drainCheckInterval, or when the payload would stall.
    const auto untilStall = lastProgress_ + std::chrono::milliseconds(writeStallTimeoutMs) - IoQueue::Clock::now();
    const auto delay = std::clamp(
        std::chrono::ceil<std::chrono::milliseconds>(untilStall), std::chrono::milliseconds(0), drainCheckInterval);
    drainCheck_ = queue_.asyncAfter(delay, [weakSelf = weak_from_this()] {
        if (auto self = weakSelf.lock())
            self->checkDrain();
    });
}

void SerialPort::checkDrain()
{
    if (fd_ == -1 || !waitingForRoom_)
        return;
    const auto now = IoQueue::Clock::now();
    int queued = -1;
    if (modemLines_->outputQueued(fd_, queued) != 0)
        queued = -1;
    else if (lastOutputQueued_ >= 0 && queued < lastOutputQueued_)
        lastProgress_ = now;
    lastOutputQueued_ = queued;
    if (now - lastProgress_ >= std::chrono::milliseconds(writeStallTimeoutMs)) {
        waitingForRoom_ = false;
        finishPayload(SerialPortError::writeTimeout());
        pump();
        return;
    }
    scheduleDrainCheck();
}

void SerialPort::finishPayload(std::optional<SerialPortError> error)
{
    auto payload = std::get<Payload>(std::move(jobs_.front()));
    jobs_.pop_front();
    queuedWriteBytes_ -= payload.bytes.size();
    lastProgress_ = IoQueue::Clock::now();
    if (payload.completion)
        payload.completion(std::move(error));
}

void SerialPort::finishSteps(Expected<ModemLines, SerialPortError> result)
{
    auto run = std::get<StepRun>(std::move(jobs_.front()));
    jobs_.pop_front();
    lastProgress_ = IoQueue::Clock::now();
    if (run.completion)
        run.completion(std::move(result));
}

Expected<ModemLines, SerialPortError> SerialPort::readModemLines()
{
    assert(queue_.isCurrent());
    if (fd_ == -1)
        return SerialPortError::notOpen();
    int bits = 0;
    if (const int code = modemLines_->get(fd_, bits); code != 0)
        return SerialPortError::lineControlFailed(code);
    return ModemLines{(bits & TIOCM_DTR) != 0, (bits & TIOCM_RTS) != 0};
}

std::optional<ModemLines> SerialPort::readModemLinesIfAvailable()
{
    auto lines = readModemLines();
    return lines ? std::optional<ModemLines>(*lines) : std::nullopt;
}

void SerialPort::runNextStep(StepRun& run)
{
    if (run.next == run.steps.size()) {
        finishSteps(readModemLines());
        return;
    }
    const LineStep step = run.steps[run.next++];
    const auto bitsWhere = [&](bool value) {
        int bits = 0;
        if (step.dtr == value)
            bits |= TIOCM_DTR;
        if (step.rts == value)
            bits |= TIOCM_RTS;
        return bits;
    };
    if (const int raise = bitsWhere(true); raise != 0) {
        if (const int code = modemLines_->set(fd_, raise); code != 0)
            return finishSteps(SerialPortError::lineControlFailed(code));
    }
    if (const int drop = bitsWhere(false); drop != 0) {
        if (const int code = modemLines_->clear(fd_, drop); code != 0)
            return finishSteps(SerialPortError::lineControlFailed(code));
    }
    if (step.holdMs >= 1) {
        holdEnd_ = queue_.asyncAfter(std::chrono::milliseconds(step.holdMs), [weakSelf = weak_from_this()] {
            if (auto self = weakSelf.lock())
                self->pump();
        });
    }
}

void SerialPort::runLineSteps(std::vector<LineStep> steps, LineStepsCompletion completion)
{
    queue_.async([weakSelf = weak_from_this(), steps = std::move(steps), completion = std::move(completion)]() mutable {
        auto self = weakSelf.lock();
        if (!self || self->fd_ == -1) {
            if (completion)
                completion(SerialPortError::notOpen());
            return;
        }
        self->enqueue(StepRun{std::move(steps), 0, std::move(completion)});
    });
}

void SerialPort::close()
{
    assert(queue_.isCurrent());
    close(std::nullopt, false);
}

void SerialPort::close(std::optional<SerialPortError> error, bool notify)
{
    if (fd_ == -1)
        return;
    // What waits is dropped, in the driver as well, so that a close never waits behind a line
    // that does not move.
    ::tcflush(fd_, TCOFLUSH);
    auto discarded = std::move(jobs_);
    jobs_.clear();
    queuedWriteBytes_ = 0;
    waitingForRoom_ = false;
    holdEnd_.cancel();
    drainCheck_.cancel();
    // A driver that still holds bytes it could not send (a USB board that stopped taking them,
    // with transfers in flight that the flush cannot take back) makes the last close of its tty
    // wait for them, up to the driver's closing wait of 30 s. Nobody waits for that: the device
    // is given up here, its lock included, and the descriptor is closed on a thread of its own.
    int unsent = 0;
    if (closeAside_ && modemLines_->outputQueued(fd_, unsent) == 0 && unsent > 0)
        closeAside_->store(true);
    originalAttributes_.apply(fd_);
    ::ioctl(fd_, TIOCNXCL);
    ::flock(fd_, LOCK_UN);
    if (readSource_) {
        readSource_->cancel();
        readSource_.reset();
    } else {
        ::close(fd_);
    }
    fd_ = -1;
    auto onClose = std::move(onClose_);
    onClose_ = nullptr;
    onData_ = nullptr;
    // Only now, with the port closed, so that a completion that writes again is refused.
    for (auto& job : discarded) {
        if (auto* payload = std::get_if<Payload>(&job); payload && payload->completion)
            payload->completion(SerialPortError::notOpen());
        else if (auto* run = std::get_if<StepRun>(&job); run && run->completion)
            run->completion(SerialPortError::notOpen());
    }
    if (notify && onClose)
        onClose(std::move(error));
}

} // namespace velmora

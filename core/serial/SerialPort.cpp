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
        readSource_ = queue_.makeReadSource(
            fd,
            [weakSelf] {
                if (auto self = weakSelf.lock())
                    self->handleReadable();
            },
            // The cancel handler owns the descriptor: it runs after any event handler returned.
            [fd] { ::close(fd); });
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
            deliver();
            if (::access(path_.c_str(), F_OK) != 0)
                close(SerialPortError::deviceDisconnected(), true);
            return;
        }
        const int code = errno;
        if (code == EINTR)
            continue;
        if (code == EAGAIN || code == EWOULDBLOCK)
            break;
        deliver();
        const bool vanished = code == EIO || code == ENXIO || code == ENODEV;
        close(vanished ? SerialPortError::deviceDisconnected() : SerialPortError::readFailed(code), true);
        return;
    }
    if (pacedReads_.load(std::memory_order_relaxed) && batch.size() < trickleBytes) {
        const auto now = std::chrono::steady_clock::now();
        const bool streaming = now - restEnds_ < std::chrono::milliseconds(5);
        if (const auto rest = restAfterTrickle(baudRate_, streaming); rest.count() > 0) {
            readSource_->restFor(rest);
            restEnds_ = now + rest;
        }
    }
    deliver();
}

std::chrono::microseconds SerialPort::restAfterTrickle(std::int64_t baudRate, bool streaming)
{
    // Eight bits a byte: the fastest a frame of any shape can bring bytes in.
    const auto bytesPerSecond = std::max<std::int64_t>(1, baudRate / 8);
    const std::chrono::microseconds fill{static_cast<std::int64_t>(trickleBytes) * 1'000'000 / bytesPerSecond};
    const auto rest = std::min<std::chrono::microseconds>(fill, streaming ? streamRest : burstRest);
    // Below a millisecond the rest would save nothing.
    return rest < std::chrono::milliseconds(1) ? std::chrono::microseconds(0) : rest;
}

std::optional<SerialPortError> SerialPort::write(std::span<const std::uint8_t> bytes)
{
    assert(queue_.isCurrent());
    if (fd_ == -1)
        return SerialPortError::notOpen();
    std::size_t offset = 0;
    while (offset < bytes.size()) {
        const ssize_t count = ::write(fd_, bytes.data() + offset, bytes.size() - offset);
        if (count > 0) {
            offset += static_cast<std::size_t>(count);
            continue;
        }
        if (count == 0)
            return SerialPortError::writeFailed(errno);
        const int code = errno;
        if (code == EINTR)
            continue;
        if (code != EAGAIN && code != EWOULDBLOCK)
            return SerialPortError::writeFailed(code);
        pollfd writable{fd_, POLLOUT, 0};
        const int ready = ::poll(&writable, 1, writeStallTimeoutMs);
        if (ready == 0)
            return SerialPortError::writeTimeout();
        if (ready < 0 && errno != EINTR)
            return SerialPortError::writeFailed(errno);
    }
    return std::nullopt;
}

void SerialPort::write(std::vector<std::uint8_t> bytes, WriteCompletion completion)
{
    queue_.async([weakSelf = weak_from_this(), bytes = std::move(bytes), completion = std::move(completion)] {
        auto self = weakSelf.lock();
        auto error = self ? self->write(std::span<const std::uint8_t>(bytes)) : SerialPortError::notOpen();
        if (completion)
            completion(std::move(error));
    });
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

Expected<ModemLines, SerialPortError> SerialPort::runLineSteps(const std::vector<LineStep>& steps)
{
    const auto bitsWhere = [](const LineStep& step, bool value) {
        int bits = 0;
        if (step.dtr == value)
            bits |= TIOCM_DTR;
        if (step.rts == value)
            bits |= TIOCM_RTS;
        return bits;
    };
    for (const auto& step : steps) {
        if (fd_ == -1)
            return SerialPortError::notOpen();
        if (const int raise = bitsWhere(step, true); raise != 0) {
            if (const int code = modemLines_->set(fd_, raise); code != 0)
                return SerialPortError::lineControlFailed(code);
        }
        if (const int drop = bitsWhere(step, false); drop != 0) {
            if (const int code = modemLines_->clear(fd_, drop); code != 0)
                return SerialPortError::lineControlFailed(code);
        }
        if (step.holdMs >= 1)
            std::this_thread::sleep_for(std::chrono::milliseconds(step.holdMs));
    }
    return readModemLines();
}

void SerialPort::runLineSteps(std::vector<LineStep> steps, LineStepsCompletion completion)
{
    queue_.async([weakSelf = weak_from_this(), steps = std::move(steps), completion = std::move(completion)] {
        auto self = weakSelf.lock();
        auto result = self ? self->runLineSteps(steps) : Expected<ModemLines, SerialPortError>(SerialPortError::notOpen());
        if (completion)
            completion(std::move(result));
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
    originalAttributes_.apply(fd_);
    ::ioctl(fd_, TIOCNXCL);
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
    if (notify && onClose)
        onClose(std::move(error));
}

} // namespace velmora

#include "core/serial/SerialPortError.h"

#include "localization/L10n.h"

#include <cerrno>
#include <cstring>

namespace velmora {

SerialPortError SerialPortError::invalidPath(std::string path)
{
    SerialPortError error(Kind::invalidPath);
    error.path_ = std::move(path);
    return error;
}

SerialPortError SerialPortError::openFailed(std::string path, int code)
{
    SerialPortError error(Kind::openFailed);
    error.path_ = std::move(path);
    error.code_ = code;
    return error;
}

SerialPortError SerialPortError::busy(std::string path)
{
    SerialPortError error(Kind::busy);
    error.path_ = std::move(path);
    return error;
}

SerialPortError SerialPortError::configurationFailed(std::string step, int code)
{
    SerialPortError error(Kind::configurationFailed);
    error.step_ = std::move(step);
    error.code_ = code;
    return error;
}

SerialPortError SerialPortError::unsupportedBaudRate(std::int64_t rate, int code)
{
    SerialPortError error(Kind::unsupportedBaudRate);
    error.rate_ = rate;
    error.code_ = code;
    return error;
}

SerialPortError SerialPortError::readFailed(int code)
{
    SerialPortError error(Kind::readFailed);
    error.code_ = code;
    return error;
}

SerialPortError SerialPortError::writeFailed(int code)
{
    SerialPortError error(Kind::writeFailed);
    error.code_ = code;
    return error;
}

SerialPortError SerialPortError::lineControlFailed(int code)
{
    SerialPortError error(Kind::lineControlFailed);
    error.code_ = code;
    return error;
}

SerialPortError SerialPortError::notOpen()
{
    return SerialPortError(Kind::notOpen);
}
SerialPortError SerialPortError::writeTimeout()
{
    return SerialPortError(Kind::writeTimeout);
}
SerialPortError SerialPortError::deviceDisconnected()
{
    return SerialPortError(Kind::deviceDisconnected);
}

std::string SerialPortError::message() const
{
    namespace E = L10n::Errors;
    switch (kind_) {
    case Kind::invalidPath:
        return E::invalidPath(path_);
    case Kind::openFailed: {
        std::string text = E::openFailed(path_, errorReason(code_));
        if (code_ == ENOENT)
            text += E::stillConnectedHint();
        else if (code_ == EACCES)
            text += E::permissionHint();
        return text;
    }
    case Kind::busy:
        return E::busy(path_);
    case Kind::configurationFailed:
        return E::configurationFailed(step_, errorReason(code_));
    case Kind::unsupportedBaudRate:
        return E::unsupportedBaud(rate_, errorReason(code_));
    case Kind::readFailed:
        return E::readFailed(errorReason(code_));
    case Kind::writeFailed:
        return E::writeFailed(errorReason(code_));
    case Kind::lineControlFailed:
        return E::lineControlFailed(errorReason(code_));
    case Kind::notOpen:
        return E::notOpen();
    case Kind::writeTimeout:
        return E::writeTimeout();
    case Kind::deviceDisconnected:
        return E::deviceDisconnected();
    }
    return {};
}

std::string errorReason(int code)
{
    char buffer[256];
    // The GNU strerror_r returns the text, which may or may not live in buffer.
    return ::strerror_r(code, buffer, sizeof buffer);
}

} // namespace velmora

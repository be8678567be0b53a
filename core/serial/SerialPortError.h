#pragma once

#include <cstdint>
#include <string>

namespace velmora {

// A failure of the serial layer. Each kind carries what its message needs; message() renders it
// in the current language, with the C library's text for the carried errno code as the reason.
class SerialPortError {
public:
    enum class Kind {
        invalidPath, // path
        openFailed, // path, code
        busy, // path
        configurationFailed, // step (already translated), code
        unsupportedBaudRate, // rate, code
        readFailed, // code
        writeFailed, // code
        lineControlFailed, // code
        notOpen,
        writeTimeout,
        deviceDisconnected,
    };

    static SerialPortError invalidPath(std::string path);
    static SerialPortError openFailed(std::string path, int code);
    static SerialPortError busy(std::string path);
    static SerialPortError configurationFailed(std::string step, int code);
    static SerialPortError unsupportedBaudRate(std::int64_t rate, int code);
    static SerialPortError readFailed(int code);
    static SerialPortError writeFailed(int code);
    static SerialPortError lineControlFailed(int code);
    static SerialPortError notOpen();
    static SerialPortError writeTimeout();
    static SerialPortError deviceDisconnected();

    Kind kind() const { return kind_; }
    const std::string& path() const { return path_; }
    const std::string& step() const { return step_; }
    std::int64_t rate() const { return rate_; }
    int code() const { return code_; }

    std::string message() const;

    friend bool operator==(const SerialPortError&, const SerialPortError&) = default;

private:
    explicit SerialPortError(Kind kind) : kind_(kind) {}

    Kind kind_;
    std::string path_;
    std::string step_;
    std::int64_t rate_ = 0;
    int code_ = 0;
};

// The C library's description of an errno code.
std::string errorReason(int code);

} // namespace velmora

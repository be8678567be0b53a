#include "core/session/OutputSaver.h"

#include "core/serial/SerialPortError.h"

#include <cerrno>
#include <ctime>
#include <random>

#include <fcntl.h>
#include <unistd.h>

namespace velmora {

std::string suggestedLogFileName(std::chrono::system_clock::time_point now)
{
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    std::tm local{};
    ::localtime_r(&seconds, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%dT%H%M%S", &local);
    return std::string("serial-log-") + stamp + ".txt";
}

std::optional<std::string> writeFileAtomically(const std::filesystem::path& target, std::string_view text)
{
    const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
    std::random_device seed;
    std::mt19937 random(seed());
    std::filesystem::path temporary;
    int fd = -1;
    // A fresh name beside the target, so the final rename stays within one file system; the
    // permissions follow the user's umask as for any new file.
    for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
        temporary = folder / ("." + target.filename().string() + "." + std::to_string(random() % 1000000) + ".tmp");
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            return errorReason(errno);
    }
    if (fd < 0)
        return errorReason(EEXIST);

    const auto fail = [&](int code) {
        ::close(fd);
        ::unlink(temporary.c_str());
        return errorReason(code);
    };
    std::size_t offset = 0;
    while (offset < text.size()) {
        const ssize_t written = ::write(fd, text.data() + offset, text.size() - offset);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return fail(written < 0 ? errno : EIO);
        offset += static_cast<std::size_t>(written);
    }
    if (::fsync(fd) != 0)
        return fail(errno);
    if (::close(fd) != 0) {
        const int code = errno;
        ::unlink(temporary.c_str());
        return errorReason(code);
    }
    if (::rename(temporary.c_str(), target.c_str()) != 0) {
        const int code = errno;
        ::unlink(temporary.c_str());
        return errorReason(code);
    }
    return std::nullopt;
}

} // namespace velmora

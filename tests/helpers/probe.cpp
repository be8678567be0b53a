// Another program for the tests: one that wants the same port, or a user without rights.
//   probe open <path> [--as-nobody]          opens the port as Velmora does
//   probe lock <path>                        opens the device and takes the lock as tio and picocom do
//   probe save <file> <text> [--as-nobody]   saves text as the output is saved
// Prints one line ("opened", "locked", "saved", or the error), then holds on until its input
// closes.
#include "core/serial/SerialPort.h"
#include "core/session/OutputSaver.h"
#include "localization/L10n.h"

#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <grp.h>
#include <iostream>
#include <string>
#include <string_view>
#include <sys/file.h>
#include <unistd.h>

namespace {

std::string_view kindName(velmora::SerialPortError::Kind kind)
{
    using Kind = velmora::SerialPortError::Kind;
    switch (kind) {
    case Kind::invalidPath:
        return "invalidPath";
    case Kind::openFailed:
        return "openFailed";
    case Kind::busy:
        return "busy";
    case Kind::configurationFailed:
        return "configurationFailed";
    case Kind::unsupportedBaudRate:
        return "unsupportedBaudRate";
    case Kind::readFailed:
        return "readFailed";
    case Kind::writeFailed:
        return "writeFailed";
    case Kind::lineControlFailed:
        return "lineControlFailed";
    case Kind::notOpen:
        return "notOpen";
    case Kind::writeTimeout:
        return "writeTimeout";
    case Kind::deviceDisconnected:
        return "deviceDisconnected";
    }
    return "?";
}

void waitForEndOfInput()
{
    char c;
    while (::read(0, &c, 1) > 0) {}
}

bool becomeNobody()
{
    constexpr gid_t nogroup = 65534;
    constexpr uid_t nobody = 65534;
    return ::setgroups(0, nullptr) == 0 && ::setgid(nogroup) == 0 && ::setuid(nobody) == 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::cerr << "usage: probe open|lock|save <path> [text] [--as-nobody]\n";
        return 2;
    }
    const std::string_view mode = argv[1];
    const std::string path = argv[2];
    if (std::string_view(argv[argc - 1]) == "--as-nobody" && !becomeNobody()) {
        std::cout << "cannot become nobody" << std::endl;
        return 1;
    }

    if (mode == "save") {
        const bool hasText = argc > 3 && std::string_view(argv[3]) != "--as-nobody";
        const auto failure = velmora::writeFileAtomically(path, hasText ? argv[3] : "");
        std::cout << (failure ? "failed " + *failure : std::string("saved")) << std::endl;
        return 0;
    }

    if (mode == "lock") {
        const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0 || ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            std::cout << "failed " << std::strerror(errno) << std::endl;
            return 1;
        }
        std::cout << "locked" << std::endl;
        waitForEndOfInput();
        return 0;
    }

    auto port = velmora::SerialPort::create(path);
    std::optional<velmora::SerialPortError> error;
    port->queue().sync([&] { error = port->open(velmora::PortSettings{}, nullptr, nullptr); });
    // The tests compare English texts, whatever the machine's language.
    velmora::L10n::ScopedLanguage english(velmora::Language::en);
    if (error)
        std::cout << kindName(error->kind()) << ' ' << error->message() << std::endl;
    else
        std::cout << "opened" << std::endl;
    waitForEndOfInput();
    return 0;
}

// A simulated microcontroller board behind a pseudo-terminal or a umockdev Arduino Uno, with
// an optional program run against it.
#include "tools/simboard/PortCheck.h"
#include "tools/simboard/SimboardOptions.h"
#include "tools/simboard/SimulatedBoard.h"
#include "tools/simboard/UmockdevPreload.h"

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <optional>
#include <string_view>

extern char** environ;

using namespace velmora::simboard;
using Clock = std::chrono::steady_clock;

namespace {

volatile sig_atomic_t stopRequested = 0;
// The quit key: the program run against the board is ended on purpose.
bool quitByKey = false;

void requestStop(int)
{
    stopRequested = 1;
}

// Single keys without Enter and without echo, while stdin is a terminal; restored on exit.
class KeyboardMode {
public:
    KeyboardMode()
    {
        if (!::isatty(STDIN_FILENO) || ::tcgetattr(STDIN_FILENO, &saved_) != 0)
            return;
        termios raw = saved_;
        raw.c_lflag &= static_cast<tcflag_t>(~(ICANON | ECHO));
        raw.c_cc[VMIN] = 1;
        raw.c_cc[VTIME] = 0;
        active_ = ::tcsetattr(STDIN_FILENO, TCSANOW, &raw) == 0;
    }
    ~KeyboardMode()
    {
        if (active_)
            ::tcsetattr(STDIN_FILENO, TCSANOW, &saved_);
    }
    KeyboardMode(const KeyboardMode&) = delete;
    KeyboardMode& operator=(const KeyboardMode&) = delete;
    bool isActive() const { return active_; }

private:
    termios saved_{};
    bool active_ = false;
};

const char* legend = "keys: u unplug, p plug in, s sensor, c csv, m numbers, n noise, f flood, e quiet, q quit\n";

// Returns false for the quit key.
bool handleKey(char key, SimulatedBoard& board)
{
    const auto switchTo = [&](Behaviour behaviour) {
        board.setBehaviour(behaviour);
        std::cerr << "mode " << name(behaviour) << "\n";
    };
    switch (key) {
    case 'u':
        board.unplug();
        std::cerr << "unplugged\n";
        break;
    case 'p':
        board.plugIn();
        std::cerr << "plugged in at " << board.devicePath() << "\n";
        break;
    case 's':
        switchTo(Behaviour::sensor);
        break;
    case 'c':
        switchTo(Behaviour::csv);
        break;
    case 'm':
        switchTo(Behaviour::numbers);
        break;
    case 'n':
        switchTo(Behaviour::noise);
        break;
    case 'f':
        switchTo(Behaviour::flood);
        break;
    case 'e':
        switchTo(Behaviour::quiet);
        break;
    case 'q':
        return false;
    case 'h':
    case '?':
        std::cerr << legend;
        break;
    default:
        break;
    }
    return true;
}

void reportModemLines(const SimulatedBoard& board, Clock::time_point start, std::size_t& reported)
{
    const auto log = board.modemLineLog();
    for (; reported < log.size(); ++reported) {
        const auto& request = log[reported];
        const auto at = std::chrono::duration_cast<std::chrono::milliseconds>(request.time - start).count();
        std::cerr << at << " ms: DTR " << (request.dtr ? "on" : "off") << ", RTS " << (request.rts ? "on" : "off")
                  << "\n";
    }
}

std::optional<pid_t> startProgram(const std::vector<std::string>& command)
{
    std::vector<char*> arguments;
    for (const auto& argument : command)
        arguments.push_back(const_cast<char*>(argument.c_str()));
    arguments.push_back(nullptr);
    pid_t child = 0;
    const int error = ::posix_spawnp(&child, arguments[0], nullptr, nullptr, arguments.data(), environ);
    if (error != 0) {
        std::cerr << "velmora-simboard: cannot start " << command[0] << ": " << std::strerror(error) << "\n";
        return std::nullopt;
    }
    return child;
}

int exitStatus(int status)
{
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    if (WIFSIGNALED(status))
        return 128 + WTERMSIG(status);
    return 1;
}

} // namespace

int main(int argc, char* argv[])
{
    const std::string program = "velmora-simboard";
    std::string error;
    const auto parsed = SimboardOptions::parse(std::vector<std::string>(argv + 1, argv + argc), error);
    if (!parsed) {
        std::cerr << program << ": " << error << "\n" << SimboardOptions::usage(program);
        return 2;
    }
    const SimboardOptions& options = *parsed;
    if (options.showHelp) {
        std::cout << SimboardOptions::usage(program);
        return 0;
    }
    if (!options.checkPort.empty())
        return checkPort(options.checkPort, std::cout);

    if (options.board.device == DeviceKind::umockdevUno && !runsUnderUmockdev())
        restartUnderUmockdev(argv, "velmora-simboard");

    const auto start = Clock::now();
    std::unique_ptr<SimulatedBoard> board;
    try {
        board = std::make_unique<SimulatedBoard>(options.board);
    } catch (const std::exception& failure) {
        std::cerr << program << ": " << failure.what() << "\n";
        return 1;
    }
    const std::string path = board->devicePath();
    if (options.board.device == DeviceKind::pseudoTerminal) {
        // Alone on the first line of stdout, for scripts.
        std::cout << path << std::endl;
    } else {
        const char* testbed = std::getenv("UMOCKDEV_DIR");
        std::cerr << program << ": Arduino Uno at " << path << " in the umockdev testbed "
                  << (testbed ? testbed : "(unknown)") << "\n";
    }
    ::setenv("VELMORA_SIMBOARD_PORT", path.c_str(), 1);

    std::optional<pid_t> child;
    if (!options.command.empty()) {
        child = startProgram(options.command);
        if (!child)
            return 127;
    }

    struct sigaction action {};
    action.sa_handler = requestStop;
    ::sigemptyset(&action.sa_mask);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP})
        ::sigaction(signal, &action, nullptr);

    KeyboardMode keyboard;
    if (keyboard.isActive())
        std::cerr << legend;
    bool readKeys = keyboard.isActive();
    const auto deadline = options.seconds
        ? std::optional(Clock::now() +
              std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(*options.seconds)))
        : std::nullopt;
    std::optional<Clock::time_point> terminatedAt;
    bool endedByUs = false;
    bool listening = false;
    std::size_t reportedRequests = 0;
    int status = 0;

    for (;;) {
        if (child) {
            int childStatus = 0;
            const pid_t done = ::waitpid(*child, &childStatus, WNOHANG);
            if (done == *child) {
                status = endedByUs ? 0 : exitStatus(childStatus);
                if (endedByUs)
                    std::cerr << program << ": " << options.command[0] << " ran until it was ended\n";
                break;
            }
        }
        bool stop = stopRequested != 0;
        if (((deadline && Clock::now() >= *deadline) || quitByKey) && !terminatedAt) {
            endedByUs = true;
            stop = true;
        }
        if (stop) {
            if (!child)
                break;
            if (!terminatedAt) {
                ::kill(*child, SIGTERM);
                terminatedAt = Clock::now();
            } else if (Clock::now() - *terminatedAt > std::chrono::seconds(5)) {
                ::kill(*child, SIGKILL);
            }
        }

        reportModemLines(*board, start, reportedRequests);
        if (board->hasListener() != listening) {
            listening = !listening;
            std::cerr << (listening ? "the port was opened\n" : "the port was closed\n");
        }

        pollfd keys{STDIN_FILENO, POLLIN, 0};
        if (::poll(&keys, readKeys ? 1 : 0, 100) > 0 && (keys.revents & (POLLIN | POLLHUP))) {
            char key = 0;
            if (::read(STDIN_FILENO, &key, 1) != 1) {
                readKeys = false;
            } else if (!handleKey(key, *board)) {
                quitByKey = true;
            }
        }
    }
    return status;
}

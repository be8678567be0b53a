#include "tools/simboard/SimboardOptions.h"

#include <charconv>

namespace velmora::simboard {
namespace {

std::optional<double> number(const std::string& text)
{
    double value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size())
        return std::nullopt;
    return value;
}

} // namespace

std::optional<SimboardOptions> SimboardOptions::parse(const std::vector<std::string>& arguments, std::string& error)
{
    SimboardOptions options;
    for (std::size_t index = 0; index < arguments.size(); ++index) {
        const std::string& argument = arguments[index];
        const auto value = [&]() -> const std::string* {
            if (index + 1 >= arguments.size()) {
                error = argument + " needs a value";
                return nullptr;
            }
            return &arguments[++index];
        };
        if (argument == "--help" || argument == "-h") {
            options.showHelp = true;
        } else if (argument == "--pty") {
            options.board.device = DeviceKind::pseudoTerminal;
        } else if (argument == "--umockdev") {
            options.board.device = DeviceKind::umockdevUno;
        } else if (argument == "--mode") {
            const std::string* text = value();
            if (!text)
                return std::nullopt;
            const auto behaviour = behaviourFromName(*text);
            if (!behaviour) {
                error = "no mode \"" + *text + "\"";
                return std::nullopt;
            }
            options.board.behaviour = *behaviour;
        } else if (argument == "--rate") {
            const std::string* text = value();
            if (!text)
                return std::nullopt;
            const auto rate = number(*text);
            if (!rate || *rate < SimulatedBoard::minLinesPerSecond || *rate > SimulatedBoard::maxLinesPerSecond) {
                error = "--rate takes lines per second from 0.1 to 10000";
                return std::nullopt;
            }
            options.board.linesPerSecond = *rate;
        } else if (argument == "--numbers") {
            const std::string* text = value();
            if (!text)
                return std::nullopt;
            const auto count = number(*text);
            if (!count || *count < 1 || *count > 16 || *count != static_cast<int>(*count)) {
                error = "--numbers takes 1 to 16";
                return std::nullopt;
            }
            options.board.numbersPerLine = static_cast<int>(*count);
        } else if (argument == "--link") {
            const std::string* text = value();
            if (!text)
                return std::nullopt;
            options.board.linkPath = *text;
        } else if (argument == "--for") {
            const std::string* text = value();
            if (!text)
                return std::nullopt;
            const auto seconds = number(*text);
            if (!seconds || *seconds <= 0) {
                error = "--for takes a number of seconds";
                return std::nullopt;
            }
            options.seconds = *seconds;
        } else if (argument == "--check-port") {
            const std::string* text = value();
            if (!text)
                return std::nullopt;
            options.checkPort = *text;
        } else if (argument == "--run") {
            if (index + 1 < arguments.size() && arguments[index + 1] == "--")
                ++index;
            options.command.assign(arguments.begin() + static_cast<std::ptrdiff_t>(index) + 1, arguments.end());
            if (options.command.empty()) {
                error = "--run needs a program";
                return std::nullopt;
            }
            break;
        } else {
            error = "unknown option " + argument;
            return std::nullopt;
        }
    }
    if (!options.board.linkPath.empty() && options.board.device != DeviceKind::pseudoTerminal) {
        error = "--link is for --pty";
        return std::nullopt;
    }
    return options;
}

std::string SimboardOptions::usage(const std::string& program)
{
    return "usage: " + program +
        " [--pty [--link PATH] | --umockdev] [--mode MODE] [--rate N] [--numbers N]\n"
        "       [--for SECONDS] [--run -- PROGRAM ARGS...]\n"
        "       " +
        program +
        " --check-port PATH\n"
        "\n"
        "A simulated microcontroller board. It prints lines like a sketch and answers commands sent\n"
        "to it (help, rate N, mode NAME; other lines are echoed).\n"
        "\n"
        "  --pty             a plain pseudo-terminal; its path is printed (the default)\n"
        "  --link PATH       keep a symbolic link at PATH to the pseudo-terminal, which survives a replug\n"
        "  --umockdev        an Arduino Uno at /dev/ttyACM0 in a umockdev testbed, seen by programs\n"
        "                    run under umockdev's preload library (see --run)\n"
        "  --mode MODE       sensor (default), csv, numbers, quiet, noise (a wrong baud rate) or flood\n"
        "  --rate N          lines per second, 0.1 to 10000 (default 10)\n"
        "  --numbers N       numbers per line in the numbers mode (default 3)\n"
        "  --for SECONDS     stop after this long; a program still running then is ended and counts\n"
        "                    as success\n"
        "  --run -- PROGRAM  start PROGRAM with the testbed and the preload library in its environment,\n"
        "                    feed the board until it exits, and exit with its status; the device path\n"
        "                    is in its VELMORA_SIMBOARD_PORT\n"
        "  --check-port PATH find PATH as an Arduino Uno, open it, read a sensor line and get an\n"
        "                    answer to a command (run under --umockdev --run)\n"
        "\n"
        "Keys while running in a terminal: u unplug, p plug in, s sensor, c csv, m numbers, n noise,\n"
        "f flood, e quiet (echo only), q quit. DTR/RTS requests are reported as they come (--umockdev\n"
        "only: a plain pseudo-terminal refuses them).\n";
}

} // namespace velmora::simboard

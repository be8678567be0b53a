#pragma once

#include "tools/simboard/SimulatedBoard.h"

#include <optional>
#include <string>
#include <vector>

namespace velmora::simboard {

// The command line of velmora-simboard.
struct SimboardOptions {
    SimulatedBoard::Options board;
    // Stop after this many seconds (with a program: end it then, and succeed if it still ran).
    std::optional<double> seconds;
    // The program to run against the board, and its arguments.
    std::vector<std::string> command;
    // The check mode: find this port as the Uno, open it, read a sensor line, send a command.
    std::string checkPort;
    bool showHelp = false;

    static std::optional<SimboardOptions> parse(const std::vector<std::string>& arguments, std::string& error);
    static std::string usage(const std::string& program);
};

} // namespace velmora::simboard

#pragma once

#include "tests/helpers/PseudoTerminal.h"

#include <memory>
#include <string>

namespace velmora::testing {

// A board that can be unplugged and plugged back under the same device path: a real
// pseudo-terminal behind a stable name in /dev (a symbolic link, so only root can make one).
// Unplugging closes the board's side and removes the name, as the kernel does with a USB board.
class FakeBoard {
public:
    // False when this process may not create names in /dev.
    static bool isPossible();

    FakeBoard();
    ~FakeBoard();
    FakeBoard(const FakeBoard&) = delete;
    FakeBoard& operator=(const FakeBoard&) = delete;

    const std::string& path() const { return path_; }
    PseudoTerminal& line() { return *pty_; }
    bool isPluggedIn() const { return pty_ != nullptr; }

    void unplug();
    void plugIn();

private:
    std::string path_;
    std::unique_ptr<PseudoTerminal> pty_;
};

} // namespace velmora::testing

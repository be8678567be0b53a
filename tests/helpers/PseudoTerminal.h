#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace velmora::testing {

// A real pseudo-terminal pair. The test plays the board on the master side; the port under test
// opens devicePath(), the slave side. Closing the master is what an unplugged board looks like:
// the slave reads end of file or EIO and its node disappears.
class PseudoTerminal {
public:
    PseudoTerminal();
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    const std::string& devicePath() const { return devicePath_; }
    int master() const { return master_; }

    void writeToPort(const std::vector<std::uint8_t>& bytes);
    void writeToPort(const std::string& text);
    // Reads what the port sent until count bytes arrived or the timeout passed.
    std::vector<std::uint8_t> readFromPort(std::size_t count, std::chrono::milliseconds timeout);
    void closeMaster();
    // Lets any user open the slave side (for tests that open it as another user).
    void makeAccessibleToEveryone();

private:
    int master_ = -1;
    std::string devicePath_;
};

} // namespace velmora::testing

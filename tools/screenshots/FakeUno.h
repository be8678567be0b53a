#pragma once

#include "tools/simboard/UmockdevUnoPort.h"

#include <string>
#include <string_view>

namespace velmora::tools {

// An Arduino Uno on USB as the port scanner finds it (the simulated board's umockdev Uno), driven
// byte by byte by the scenes: what the board sends is written to its side of the line, what the
// application sends is read from it. No sketch runs on it, so each picture shows exactly the
// lines its scene sends.
//
// Must be created before anything asks udev for devices, in a process that runs under umockdev's
// preload library. Thread: main thread.
class FakeUno {
public:
    static constexpr std::string_view devicePath = simboard::UmockdevUnoPort::nodePath;

    // Throws std::runtime_error when the testbed cannot be built.
    FakeUno() = default;

    // The board sends bytes; false when not all of them could be written.
    bool send(std::string_view bytes);
    // What the application has sent since the last call.
    std::string takeReceived();
    // The TIOCM_* bits as the application last set them; DTR and RTS are up after plugging in.
    int modemLines() const { return port_.modemLines(); }

private:
    simboard::UmockdevUnoPort port_;
};

} // namespace velmora::tools

#pragma once

#include <atomic>
#include <string>
#include <string_view>

typedef struct _UMockdevIoctlBase UMockdevIoctlBase;
typedef struct _UMockdevTestbed UMockdevTestbed;

namespace velmora::tools {

// An Arduino Uno on USB as the port scanner finds it: a umockdev testbed with the board, its
// interface and its tty, whose device node is the far end of a pseudo-terminal. What the board
// sends is written to the near end; what the application sends is read from it.
//
// umockdev answers every ioctl on its device nodes itself and refuses the ones it does not know,
// TIOCEXCL among them. The board's handler passes those on to the pseudo-terminal, so the node
// behaves as one, and keeps the modem lines itself, as a USB board's driver does (a
// pseudo-terminal has none).
//
// Must be created before anything asks udev for devices, in a process that runs under umockdev's
// preload library. Thread: main thread.
class FakeUno {
public:
    static constexpr std::string_view devicePath = "/dev/ttyACM0";

    // Throws std::runtime_error when the testbed cannot be built.
    FakeUno();
    ~FakeUno();
    FakeUno(const FakeUno&) = delete;
    FakeUno& operator=(const FakeUno&) = delete;

    // The board sends bytes; false when not all of them could be written.
    bool send(std::string_view bytes);
    // What the application has sent since the last call.
    std::string takeReceived();
    // The TIOCM_* bits as the application last set them; DTR and RTS are up after plugging in.
    int modemLines() const { return modemLines_.load(); }

private:
    UMockdevTestbed* testbed_ = nullptr;
    UMockdevIoctlBase* ioctlHandler_ = nullptr;
    // Written on umockdev's thread, which runs the handler.
    std::atomic<int> modemLines_;
    int boardSide_ = -1;
};

} // namespace velmora::tools

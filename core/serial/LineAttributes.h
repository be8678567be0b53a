#pragma once

#include "core/serial/PortSettings.h"

#include <array>
#include <cstdint>

namespace velmora {

// The kernel's complete terminal record of a line (struct termios2: modes, control characters
// and the exact input and output speeds). The C library's struct termios lacks exact speeds and
// cannot be declared in the same file as the kernel's, so this type keeps the record opaque and
// does all work on it in one translation unit. Functions return 0 or an errno code.
class LineAttributes {
public:
    static int read(int fd, LineAttributes& out);
    // Applies the record at once (TCSANOW).
    int apply(int fd) const;

    // A raw-mode copy with the frame settings applied and both speeds at 9600 as a placeholder:
    // modes as cfmakeraw leaves them; character size, parity, stop bits and handshake from
    // settings; receiver on and modem status ignored; every other control flag (HUPCL among
    // them) as found; VMIN 1, VTIME 0.
    LineAttributes configuredFor(const PortSettings& settings) const;

    // Sets the exact integer rate in both directions, for standard and other rates alike.
    static int setExactSpeed(int fd, std::uint32_t rate);
    // Discards what is pending in both directions.
    static int flush(int fd);

    std::uint32_t inputSpeed() const;
    std::uint32_t outputSpeed() const;
    std::uint32_t inputFlags() const;
    std::uint32_t outputFlags() const;
    std::uint32_t controlFlags() const;
    std::uint32_t localFlags() const;

    friend bool operator==(const LineAttributes&, const LineAttributes&) = default;

private:
    alignas(4) std::array<unsigned char, 44> raw_{};
};

} // namespace velmora

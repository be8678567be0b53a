#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace velmora {

// Watches the last 256 received bytes of the text display and tells when so many of them are not
// ordinary text that the baud rate is probably wrong. Control characters other than TAB, LF and
// CR, DEL and everything above count as suspicious, so every byte of a multi-byte UTF-8 character
// does too; the 30 % threshold leaves room for that.
//
// Thread: main thread only (a value held by the session).
class GarbageDetector {
public:
    static constexpr std::size_t windowSize = 256;
    // Fewer bytes than this say nothing yet.
    static constexpr std::int64_t minimumCount = 48;
    static constexpr double garbledShare = 0.3;

    static bool isSuspicious(std::uint8_t byte)
    {
        return (byte < 0x20 && byte != '\t' && byte != '\n' && byte != '\r') || byte >= 0x7F;
    }

    void feed(std::span<const std::uint8_t> bytes);
    bool isGarbled() const;
    void reset() { *this = GarbageDetector{}; }

    // Bytes in the window (at most windowSize) and how many of them are suspicious.
    std::int64_t count() const { return count_; }
    std::int64_t suspicious() const { return suspicious_; }

private:
    // For each of the last windowSize bytes, whether it was suspicious; a ring written at index_.
    std::array<bool, windowSize> window_{};
    std::int64_t index_ = 0;
    std::int64_t count_ = 0;
    std::int64_t suspicious_ = 0;
};

// Up to four common rates to offer instead of the current one: 9600, 115200, 57600, 38400,
// 19200 in this order, without the current rate.
std::vector<std::int64_t> suggestedBaudRates(std::int64_t currentRate);

} // namespace velmora

#include "core/pipeline/GarbageDetector.h"

namespace velmora {

void GarbageDetector::feed(std::span<const std::uint8_t> bytes)
{
    constexpr auto size = static_cast<std::int64_t>(windowSize);
    // Only the last windowSize bytes can still be in the window afterwards; a whole turn of the
    // ring leaves the oldest slot where it was.
    if (bytes.size() > windowSize)
        bytes = bytes.last(windowSize);
    for (const std::uint8_t byte : bytes) {
        const bool flag = isSuspicious(byte);
        bool& slot = window_[static_cast<std::size_t>(index_)];
        if (count_ == size) {
            if (slot)
                --suspicious_;
        } else {
            ++count_;
        }
        slot = flag;
        if (flag)
            ++suspicious_;
        index_ = (index_ + 1) % size;
    }
}

bool GarbageDetector::isGarbled() const
{
    return count_ >= minimumCount && static_cast<double>(suspicious_) / static_cast<double>(count_) >= garbledShare;
}

std::vector<std::int64_t> suggestedBaudRates(std::int64_t currentRate)
{
    constexpr std::int64_t candidates[] = {9600, 115200, 57600, 38400, 19200};
    constexpr std::size_t maxSuggestions = 4;
    std::vector<std::int64_t> rates;
    for (const std::int64_t rate : candidates) {
        if (rate != currentRate && rates.size() < maxSuggestions)
            rates.push_back(rate);
    }
    return rates;
}

} // namespace velmora

#include "core/text/Timestamp.h"

#include <cstdint>
#include <ctime>

namespace velmora {
namespace {

void appendTwoDigits(std::u16string& out, int value)
{
    out += static_cast<char16_t>(u'0' + value / 10);
    out += static_cast<char16_t>(u'0' + value % 10);
}

} // namespace

std::u16string formatTimestamp(std::chrono::system_clock::time_point time)
{
    using namespace std::chrono;
    const auto sinceEpoch = time.time_since_epoch();
    auto seconds = floor<std::chrono::seconds>(sinceEpoch);
    const auto millis = static_cast<int>(duration_cast<milliseconds>(sinceEpoch - seconds).count());

    // Every chunk of a stream asks for its stamp, and most share their second with the one
    // before: the time-zone conversion is done once per second (per thread, so without a lock).
    thread_local std::int64_t cachedSecond = INT64_MIN;
    thread_local std::u16string cachedPrefix;
    std::u16string result;
    {
        if (seconds.count() != cachedSecond) {
            const std::time_t whole = static_cast<std::time_t>(seconds.count());
            std::tm local{};
            ::localtime_r(&whole, &local);
            cachedPrefix.clear();
            appendTwoDigits(cachedPrefix, local.tm_hour);
            cachedPrefix += u':';
            appendTwoDigits(cachedPrefix, local.tm_min);
            cachedPrefix += u':';
            appendTwoDigits(cachedPrefix, local.tm_sec);
            cachedPrefix += u'.';
            cachedSecond = seconds.count();
        }
        result = cachedPrefix;
    }
    result += static_cast<char16_t>(u'0' + millis / 100);
    appendTwoDigits(result, millis % 100);
    return result;
}

} // namespace velmora

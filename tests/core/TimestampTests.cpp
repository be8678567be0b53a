#include "core/text/Timestamp.h"
#include "tests/helpers/ScopedTimeZone.h"

#include <gtest/gtest.h>

using namespace std::chrono;
using velmora::formatTimestamp;
using TimeZone = velmora::testing::ScopedTimeZone;

namespace {

system_clock::time_point at(std::int64_t seconds, std::int64_t millis)
{
    return system_clock::time_point(std::chrono::seconds(seconds) + std::chrono::milliseconds(millis));
}

} // namespace

TEST(Timestamp, ShowsLocalTimeOnATwentyFourHourClockWithMilliseconds)
{
    {
        TimeZone utc("UTC0");
        EXPECT_EQ(formatTimestamp(at(1700000000, 250)), u"22:13:20.250"); // 2023-11-14 22:13:20 UTC
        EXPECT_EQ(formatTimestamp(at(1700000000, 7)), u"22:13:20.007");
        EXPECT_EQ(formatTimestamp(at(1700000001, 999)), u"22:13:21.999");
        EXPECT_EQ(formatTimestamp(at(1700006800, 40)), u"00:06:40.040");
    }
    TimeZone centralEurope("CET-1");
    EXPECT_EQ(formatTimestamp(at(1700000002, 0)), u"23:13:22.000");
}

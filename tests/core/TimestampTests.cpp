#include "core/pipeline/Timestamp.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

using namespace std::chrono;
using velmora::formatTimestamp;

namespace {

// Sets the process's time zone for one test and puts the old one back.
class TimeZone {
public:
    explicit TimeZone(const char* zone)
    {
        if (const char* old = std::getenv("TZ"))
            previous_ = old;
        ::setenv("TZ", zone, 1);
        ::tzset();
    }
    ~TimeZone()
    {
        if (previous_)
            ::setenv("TZ", previous_->c_str(), 1);
        else
            ::unsetenv("TZ");
        ::tzset();
    }

private:
    std::optional<std::string> previous_;
};

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

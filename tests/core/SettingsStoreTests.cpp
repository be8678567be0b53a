#include "core/platform/InMemorySettingsStore.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

using namespace velmora;

namespace {

TEST(SettingsStore, ReadsTellAnAbsentKeyFromAValueOfAnotherTypeAndGiveTheZeroValueForBoth)
{
    InMemorySettingsStore settings;
    EXPECT_EQ(settings.readInteger("baud"), (SettingRead<std::int64_t>{SettingStatus::absent, 0}));
    EXPECT_EQ(settings.readBool("echo"), (SettingRead<bool>{SettingStatus::absent, false}));
    EXPECT_EQ(settings.readString("port"), (SettingRead<std::string>{SettingStatus::absent, ""}));

    settings.setValue("baud", SettingValue(std::string("115200")));
    settings.setValue("echo", SettingValue(std::int64_t{1}));
    settings.setValue("port", SettingValue(true));
    EXPECT_EQ(settings.readInteger("baud"), (SettingRead<std::int64_t>{SettingStatus::otherType, 0}));
    EXPECT_EQ(settings.readBool("echo"), (SettingRead<bool>{SettingStatus::otherType, false}));
    EXPECT_EQ(settings.readString("port"), (SettingRead<std::string>{SettingStatus::otherType, ""}));
    EXPECT_EQ(settings.readString("baud"), (SettingRead<std::string>{SettingStatus::present, "115200"}));
    EXPECT_EQ(settings.readInteger("echo"), (SettingRead<std::int64_t>{SettingStatus::present, 1}));
    EXPECT_EQ(settings.readBool("port"), (SettingRead<bool>{SettingStatus::present, true}));
}

TEST(SettingsStore, AFallbackAppliesOnlyWhenNothingOfTheRightTypeIsStored)
{
    InMemorySettingsStore settings;
    EXPECT_TRUE(settings.readBool("autoscroll").valueOr(true));
    settings.writeString("autoscroll", "false");
    EXPECT_TRUE(settings.readBool("autoscroll").valueOr(true));
    settings.writeBool("autoscroll", false);
    EXPECT_FALSE(settings.readBool("autoscroll").valueOr(true));
    EXPECT_TRUE(settings.readBool("autoscroll").isPresent());
}

TEST(SettingsStore, AWriteReplacesTheValueAndItsTypeUnderExactlyThatKey)
{
    InMemorySettingsStore settings;
    settings.writeInteger("baud", 9600);
    settings.writeInteger("baud", 250000);
    EXPECT_EQ(settings.readInteger("baud").value, 250000);

    settings.writeString("baud", "fast");
    EXPECT_EQ(settings.readInteger("baud").status, SettingStatus::otherType);
    EXPECT_EQ(settings.readString("baud").value, "fast");

    // Keys are compared exactly, case included.
    EXPECT_EQ(settings.readString("Baud").status, SettingStatus::absent);
    EXPECT_EQ(settings.readString("baud ").status, SettingStatus::absent);

    settings.remove("baud");
    EXPECT_EQ(settings.readString("baud").status, SettingStatus::absent);
    EXPECT_FALSE(settings.value("baud").has_value());
    EXPECT_EQ(settings.writeCount(), 3u);
}

TEST(SettingsStore, ATextValueIsStoredAsAStringNeverAsABooleanOrAnInteger)
{
    // A string literal converts to bool more readily than to std::string in older variant rules.
    InMemorySettingsStore settings;
    settings.setValue("lineEnding", "crlf");
    settings.setValue("dataBits", 8);
    EXPECT_EQ(settings.readString("lineEnding").value, "crlf");
    EXPECT_EQ(settings.readInteger("dataBits").value, 8);
    EXPECT_EQ(settings.readBool("dataBits").status, SettingStatus::otherType);
}

} // namespace

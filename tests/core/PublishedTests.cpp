#include "core/support/Published.h"

#include <gtest/gtest.h>

#include <string>

using velmora::Published;
using velmora::Subscription;

TEST(Published, SubscribersGetTheCurrentValueAtOnceAndEveryLaterOneUntilTheyCancel)
{
    Published<int> value(1);
    std::vector<int> first;
    std::vector<int> second;
    auto a = value.subscribe([&](int v) { first.push_back(v); });
    value.set(2);
    {
        auto b = value.subscribe([&](int v) { second.push_back(v); });
        value.set(2);
        value.setIfChanged(2);
        value.setIfChanged(3);
    }
    value.set(4);
    a.cancel();
    value.set(5);
    EXPECT_EQ(first, (std::vector<int>{1, 2, 2, 3, 4}));
    EXPECT_EQ(second, (std::vector<int>{2, 2, 3}));
    EXPECT_EQ(value.value(), 5);
}

TEST(Published, ObserversMayCancelThemselvesOrOthersWhileBeingNotified)
{
    Published<std::string> value;
    int calls = 0;
    Subscription later;
    Subscription self = value.subscribe([&](const std::string& v) {
        if (v == "stop") {
            self.cancel();
            later.cancel();
        }
    });
    later = value.subscribe([&](const std::string&) { ++calls; });
    value.set("go");
    value.set("stop");
    value.set("again");
    EXPECT_EQ(calls, 2) << "once at subscription, once for go; cancelled before stop reached it";

    Subscription moved;
    {
        auto original = value.subscribe([&](const std::string&) { ++calls; });
        moved = std::move(original);
    }
    value.set("after move");
    EXPECT_EQ(calls, 4);
}

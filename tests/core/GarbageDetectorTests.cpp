#include "core/pipeline/GarbageDetector.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <deque>
#include <initializer_list>
#include <random>
#include <string_view>
#include <vector>

using namespace velmora;

namespace {

std::vector<std::uint8_t> repeated(std::uint8_t byte, std::size_t count)
{
    return std::vector<std::uint8_t>(count, byte);
}

std::vector<std::uint8_t> bytesOf(std::string_view text)
{
    return {text.begin(), text.end()};
}

TEST(GarbageDetector, FortySevenBytesSayNothingYetAndTheFortyEighthDecides)
{
    GarbageDetector detector;
    EXPECT_FALSE(detector.isGarbled());

    detector.feed(repeated(0xFF, 47));
    EXPECT_EQ(detector.count(), 47);
    EXPECT_EQ(detector.suspicious(), 47);
    EXPECT_FALSE(detector.isGarbled());

    detector.feed(repeated(0xFF, 1));
    EXPECT_TRUE(detector.isGarbled());
}

TEST(GarbageDetector, ThirtySuspiciousBytesInAHundredAreGarbledAndTwentyNineAreNot)
{
    for (const std::size_t suspicious : {std::size_t{30}, std::size_t{29}}) {
        std::vector<std::uint8_t> bytes = repeated('A', 100);
        // Spread over the chunk, so the verdict does not depend on where they are.
        for (std::size_t i = 0; i < suspicious; ++i)
            bytes[i * 3] = 0x00;
        GarbageDetector detector;
        detector.feed(bytes);
        EXPECT_EQ(detector.count(), 100);
        EXPECT_EQ(detector.suspicious(), static_cast<std::int64_t>(suspicious));
        EXPECT_EQ(detector.isGarbled(), suspicious == 30) << suspicious << " of 100";
    }
}

TEST(GarbageDetector, TheShareFallsBackToZeroAsCleanTextSlidesThroughTheWindow)
{
    GarbageDetector detector;
    detector.feed(repeated(0x9C, 256));
    EXPECT_EQ(detector.suspicious(), 256);
    EXPECT_TRUE(detector.isGarbled());

    // Each "A" pushes one noise byte out. 77 of 256 is still at least 0.3 (after 179 bytes), 76
    // of 256 is not (after 180).
    for (std::int64_t clean = 1; clean <= 256; ++clean) {
        detector.feed(bytesOf("A"));
        ASSERT_EQ(detector.count(), 256);
        ASSERT_EQ(detector.suspicious(), 256 - clean);
        ASSERT_EQ(detector.isGarbled(), clean <= 179) << "after " << clean << " clean bytes";
    }
    EXPECT_EQ(detector.suspicious(), 0);
}

TEST(GarbageDetector, PrintableTextWithTabsAndLineBreaksIsNeverSuspiciousButAccentedUtf8Is)
{
    GarbageDetector detector;
    for (int i = 0; i < 20; ++i)
        detector.feed(bytesOf("temp:\t21.5\r\nhum:\t40\n~ ok\r"));
    EXPECT_EQ(detector.count(), 256);
    EXPECT_EQ(detector.suspicious(), 0);
    EXPECT_FALSE(detector.isGarbled());

    // ° (C2 B0), – (E2 80 93), ö (C3 B6), ß (C3 9F): nine bytes.
    GarbageDetector accented;
    accented.feed(bytesOf("Temperatur: 21,5 °C – Größe"));
    EXPECT_EQ(accented.suspicious(), 9);

    for (const std::uint8_t byte :
        std::initializer_list<std::uint8_t>{0x00, 0x07, 0x08, 0x0B, 0x0C, 0x0E, 0x1B, 0x1F, 0x7F, 0x80, 0xC3, 0xFF})
        EXPECT_TRUE(GarbageDetector::isSuspicious(byte)) << int{byte};
    for (const std::uint8_t byte : std::initializer_list<std::uint8_t>{0x09, 0x0A, 0x0D, 0x20, 0x41, 0x7E})
        EXPECT_FALSE(GarbageDetector::isSuspicious(byte)) << int{byte};
}

TEST(GarbageDetector, ResetForgetsEverythingSeen)
{
    GarbageDetector detector;
    detector.feed(repeated(0xFF, 300));
    ASSERT_TRUE(detector.isGarbled());

    detector.reset();
    EXPECT_EQ(detector.count(), 0);
    EXPECT_EQ(detector.suspicious(), 0);
    EXPECT_FALSE(detector.isGarbled());
    detector.feed(repeated(0xFF, 47));
    EXPECT_FALSE(detector.isGarbled());
    detector.feed(repeated('A', 256));
    EXPECT_EQ(detector.suspicious(), 0);
}

// Whatever the bytes and however they are cut into chunks, the counts are those of the last 256
// bytes.
TEST(GarbageDetector, CountsMatchTheLastTwoHundredFiftySixBytesForAnyChunking)
{
    std::mt19937 random(7);
    std::uniform_int_distribution<int> byteValue(0, 255);
    std::uniform_int_distribution<std::size_t> chunkSize(0, 300);
    GarbageDetector detector;
    std::deque<std::uint8_t> seen;

    for (int round = 0; round < 400; ++round) {
        std::vector<std::uint8_t> chunk(chunkSize(random));
        for (std::uint8_t& byte : chunk)
            byte = static_cast<std::uint8_t>(byteValue(random));
        detector.feed(chunk);
        for (const std::uint8_t byte : chunk) {
            seen.push_back(byte);
            if (seen.size() > 256)
                seen.pop_front();
        }

        std::int64_t suspicious = 0;
        for (const std::uint8_t byte : seen) {
            if ((byte < 0x20 && byte != 0x09 && byte != 0x0A && byte != 0x0D) || byte >= 0x7F)
                ++suspicious;
        }
        ASSERT_EQ(detector.count(), static_cast<std::int64_t>(seen.size()));
        ASSERT_EQ(detector.suspicious(), suspicious);
        ASSERT_EQ(
            detector.isGarbled(), seen.size() >= 48 && suspicious * 10 >= static_cast<std::int64_t>(seen.size()) * 3);
    }
}

TEST(SuggestedBaudRates, OfferUpToFourCommonRatesOtherThanTheCurrentOne)
{
    using Rates = std::vector<std::int64_t>;
    EXPECT_EQ(suggestedBaudRates(9600), (Rates{115200, 57600, 38400, 19200}));
    EXPECT_EQ(suggestedBaudRates(57600), (Rates{9600, 115200, 38400, 19200}));
    EXPECT_EQ(suggestedBaudRates(300), (Rates{9600, 115200, 57600, 38400}));
}

} // namespace

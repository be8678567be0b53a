#include "core/pipeline/GarbageDetector.h"
#include "core/plot/PlotParser.h"
#include "tools/simboard/SketchOutput.h"
#include "tools/simboard/WrongBaudRate.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

using namespace velmora;
using namespace velmora::simboard;

namespace {

std::vector<PlotParser::Row> parse(PlotParser& parser, const std::string& text)
{
    return parser.feed(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

std::vector<std::string> names(const PlotParser::Row& row)
{
    std::vector<std::string> result;
    for (const auto& value : row)
        result.push_back(value.name);
    return result;
}

} // namespace

TEST(SketchOutput, SensorAndCsvLinesParseAsNamedValuesThatVarySmoothly)
{
    SketchOutput sketch;
    PlotParser parser;
    std::vector<PlotParser::Row> rows;
    EXPECT_EQ(sketch.start(Behaviour::sensor), "");
    for (int step = 0; step < 200; ++step) {
        const std::string line = sketch.line(Behaviour::sensor, step * 0.1);
        ASSERT_TRUE(line.ends_with("\n")) << line;
        ASSERT_TRUE(line.starts_with("temp:")) << line;
        for (auto& row : parse(parser, line))
            rows.push_back(std::move(row));
    }
    ASSERT_EQ(rows.size(), 200u);
    double lowest = 1e9;
    double highest = -1e9;
    for (std::size_t index = 0; index < rows.size(); ++index) {
        ASSERT_EQ(names(rows[index]), (std::vector<std::string>{"temp", "hum", "pressure"}));
        EXPECT_NEAR(rows[index][0].value, 21.5, 2.2);
        EXPECT_NEAR(rows[index][1].value, 40, 5.5);
        EXPECT_NEAR(rows[index][2].value, 1013, 3.5);
        if (index > 0) {
            // A tenth of a second apart: no jumps beyond the noise and the slope.
            EXPECT_LT(std::abs(rows[index][0].value - rows[index - 1][0].value), 0.25);
            EXPECT_LT(std::abs(rows[index][1].value - rows[index - 1][1].value), 0.7);
        }
        lowest = std::min(lowest, rows[index][0].value);
        highest = std::max(highest, rows[index][0].value);
    }
    EXPECT_GT(highest - lowest, 1.0) << "twenty seconds of a forty-second wave must move";

    PlotParser csvParser;
    EXPECT_TRUE(parse(csvParser, sketch.start(Behaviour::csv)).empty());
    EXPECT_EQ(csvParser.header(), (std::vector<std::string>{"time_s", "temp", "hum"}));
    const auto csvRows = parse(csvParser, sketch.line(Behaviour::csv, 1.5) + sketch.line(Behaviour::csv, 1.6));
    ASSERT_EQ(csvRows.size(), 2u);
    EXPECT_EQ(names(csvRows[1]), (std::vector<std::string>{"time_s", "temp", "hum"}));
    EXPECT_DOUBLE_EQ(csvRows[0][0].value, 1.5);
    EXPECT_DOUBLE_EQ(csvRows[1][0].value, 1.6);
}

TEST(SketchOutput, NumberLinesCarryTheChosenCountOfAnalogReadings)
{
    for (const int count : {1, 3, 5}) {
        SketchOutput sketch(count);
        PlotParser parser;
        for (int step = 0; step < 50; ++step) {
            const auto rows = parse(parser, sketch.line(Behaviour::numbers, step * 0.05));
            ASSERT_EQ(rows.size(), 1u);
            ASSERT_EQ(rows[0].size(), static_cast<std::size_t>(count));
            for (const auto& value : rows[0]) {
                EXPECT_GE(value.value, 0);
                EXPECT_LE(value.value, 1023);
                EXPECT_EQ(value.value, std::round(value.value));
            }
        }
    }
    SketchOutput sketch;
    EXPECT_EQ(sketch.line(Behaviour::quiet, 1), "");
    EXPECT_EQ(sketch.line(Behaviour::flood, 1), "");
}

TEST(SketchOutput, FloodLinesAreNumberedConsecutivelyAndCarryTheirSendTime)
{
    // Read through a real port and checked line by line in SimulatedBoard's flood test.
    SketchOutput sketch;
    const std::int64_t before = steadyMicros();
    const auto first = SketchOutput::parseFloodLine(sketch.floodLine());
    const auto second = SketchOutput::parseFloodLine(sketch.floodLine());
    ASSERT_TRUE(first && second);
    EXPECT_EQ(first->counter, 0u);
    EXPECT_EQ(second->counter, 1u);
    EXPECT_GE(first->sentMicros, before);
    EXPECT_LE(second->sentMicros, steadyMicros());
    EXPECT_EQ(sketch.nextFloodCounter(), 2u);

    EXPECT_EQ(SketchOutput::parseFloodLine("flood:17,t:123456"), (FloodLine{17, 123456}));
    EXPECT_EQ(SketchOutput::parseFloodLine("flood:x,t:1"), std::nullopt);
    EXPECT_EQ(SketchOutput::parseFloodLine("flood:1"), std::nullopt);
    EXPECT_EQ(SketchOutput::parseFloodLine("temp:1,t:2"), std::nullopt);
}

TEST(WrongBaudRate, TheRightRateGivesTheTextBackAndAWrongOneGarbage)
{
    const std::string text = "temp:21.5,hum:40.2,pressure:1013.1\n\x01\xff";
    EXPECT_EQ(wrongBaudRate(text, 9600, 9600), text);
    EXPECT_EQ(wrongBaudRate(text, 115200, 115200), text);

    const std::string slow = wrongBaudRate(text, 9600, 115200);
    EXPECT_GT(slow.size(), text.size()) << "each long low stretch reads as several bytes";
    const std::string fast = wrongBaudRate(text, 115200, 9600);
    EXPECT_LT(fast.size(), text.size() / 4) << "one read byte spans many sent ones";
    EXPECT_FALSE(fast.empty());
}

TEST(WrongBaudRate, NoiseLinesTripTheGarbageDetectorAndSensorLinesDoNot)
{
    SketchOutput sketch;
    GarbageDetector noisy;
    GarbageDetector clean;
    std::size_t highBytes = 0;
    std::size_t controlBytes = 0;
    std::size_t total = 0;
    for (int step = 0; step < 20; ++step) {
        const std::string noise = sketch.line(Behaviour::noise, step * 0.1);
        for (const char character : noise) {
            const auto byte = static_cast<std::uint8_t>(character);
            highBytes += byte >= 0x80;
            controlBytes += byte < 0x20;
            ++total;
        }
        noisy.feed(std::span(reinterpret_cast<const std::uint8_t*>(noise.data()), noise.size()));
        const std::string line = sketch.line(Behaviour::sensor, step * 0.1);
        clean.feed(std::span(reinterpret_cast<const std::uint8_t*>(line.data()), line.size()));
    }
    EXPECT_TRUE(noisy.isGarbled());
    EXPECT_GE(noisy.count(), GarbageDetector::minimumCount);
    EXPECT_FALSE(clean.isGarbled());
    EXPECT_GT(highBytes, total / 10);
    EXPECT_GT(controlBytes, total / 10);
}

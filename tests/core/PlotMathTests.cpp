#include "core/plot/AxisTicks.h"
#include "core/plot/MonotoneCubic.h"
#include "core/plot/SparklinePoints.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <random>

using namespace velmora;

namespace {

// The drawn piece itself: the cubic Bézier at parameter t.
CurvePoint bezierAt(const CurvePoint& start, const CubicPiece& piece, double t)
{
    const double u = 1 - t;
    const auto blend = [&](double a, double b, double c, double d) {
        return u * u * u * a + 3 * u * u * t * b + 3 * u * t * t * c + t * t * t * d;
    };
    return {blend(start.x, piece.control1.x, piece.control2.x, piece.end.x),
        blend(start.y, piece.control1.y, piece.control2.y, piece.end.y)};
}

bool isRoundStep(double step)
{
    const double mantissa = step / std::pow(10.0, std::floor(std::log10(step)));
    return std::ranges::any_of(
        std::array{1.0, 2.0, 2.5, 5.0}, [&](double allowed) { return std::abs(mantissa - allowed) < 1e-9; });
}

} // namespace

TEST(PlotMath, MonotoneCubicPassesThroughEveryPointAndNeverLeavesANeighbourPairsRange)
{
    std::mt19937 random(20261205);
    std::uniform_real_distribution<double> value(-50, 50);
    std::uniform_int_distribution<int> gap(1, 5);
    std::uniform_int_distribution<int> shape(0, 3);
    for (int round = 0; round < 300; ++round) {
        std::vector<CurvePoint> points;
        double x = 0;
        const int count = 2 + round % 40;
        for (int i = 0; i < count; ++i) {
            // Noise, plateaus, steps and spikes: the shapes that make naive splines overshoot.
            double y = value(random);
            switch (shape(random)) {
            case 0:
                if (!points.empty())
                    y = points.back().y;
                break;
            case 1:
                y = std::round(y / 25) * 25;
                break;
            case 2:
                y = y * 1000;
                break;
            default:
                break;
            }
            points.push_back({x, y});
            x += gap(random);
        }
        const auto pieces = monotoneCubicPieces(points);
        const auto tangents = monotoneTangents(points);
        ASSERT_EQ(pieces.size(), points.size() - 1);
        for (std::size_t i = 0; i + 1 < points.size(); ++i) {
            const CurvePoint& a = points[i];
            const CurvePoint& b = points[i + 1];
            const double low = std::min(a.y, b.y);
            const double high = std::max(a.y, b.y);
            const double slack = 1e-9 * std::max(1.0, std::abs(high - low));
            ASSERT_EQ(pieces[i].end.y, b.y);
            ASSERT_EQ(evaluateMonotoneCubic(points, tangents, i, a.x), a.y);
            ASSERT_LE(std::abs(evaluateMonotoneCubic(points, tangents, i, b.x) - b.y), slack + 1e-9 * std::abs(b.y));
            for (int step = 0; step <= 64; ++step) {
                const double t = step / 64.0;
                const CurvePoint drawn = bezierAt(a, pieces[i], t);
                ASSERT_TRUE(drawn.y >= low - slack && drawn.y <= high + slack)
                    << "round " << round << " piece " << i << " t " << t << ": " << drawn.y << " outside [" << low
                    << ", " << high << "]";
                // The Bézier is the Hermite piece: x moves evenly, y matches the curve.
                ASSERT_NEAR(drawn.x, a.x + t * (b.x - a.x), 1e-9);
                ASSERT_NEAR(
                    drawn.y, evaluateMonotoneCubic(points, tangents, i, drawn.x), 1e-6 * std::max(1.0, high - low));
            }
        }
    }
    EXPECT_TRUE(monotoneCubicPieces(std::vector<CurvePoint>{{0, 1}}).empty());
}

TEST(PlotMath, TicksAreRoundValuesThatCoverTheDataWithAboutTheTargetCount)
{
    std::mt19937 random(7);
    std::uniform_real_distribution<double> exponent(-4, 7);
    std::uniform_real_distribution<double> unit(-1, 1);
    for (int round = 0; round < 2000; ++round) {
        const double scale = std::pow(10.0, exponent(random));
        const double low = unit(random) * scale;
        const double high = round % 10 == 0 ? low : low + std::abs(unit(random)) * scale * 0.5; // every tenth constant
        for (const int target : {5, 3}) {
            const AxisTicks ticks = niceTicks(low, high, target);
            const auto count = static_cast<int>(ticks.values.size());
            ASSERT_TRUE(count >= target - 2 && count <= target + 1)
                << count << " ticks for " << low << ".." << high << ", target " << target;
            ASSERT_TRUE(isRoundStep(ticks.step)) << ticks.step;
            ASSERT_TRUE(ticks.values.front() <= low && ticks.values.back() >= high);
            ASSERT_GT(ticks.values.back(), ticks.values.front());
            for (const double tick : ticks.values)
                ASSERT_NEAR(tick / ticks.step, std::round(tick / ticks.step), 1e-6);
        }
    }
    // No forced zero, and values as typed.
    EXPECT_EQ(niceTicks(20.5, 23.1, 5).values, (std::vector<double>{20, 21, 22, 23, 24}));
    EXPECT_EQ(niceTicks(0.1, 0.3, 3).values, (std::vector<double>{0.1, 0.2, 0.3}));
    EXPECT_LE(niceTicks(5, 5, 5).values.front(), 4.5);

    const auto samples = sampleTicks(4500, 5000, 5);
    EXPECT_TRUE(!samples.empty() && samples.size() <= 6);
    for (const double tick : samples)
        EXPECT_TRUE(tick >= 4500 && tick <= 5000 && tick == std::round(tick)) << tick;
    EXPECT_EQ(sampleTicks(0, 1, 5), (std::vector<double>{0, 1}));
}

TEST(PlotMath, SparklinesThinToTheirLimitKeepTheLastPointAndPadTheirRange)
{
    std::vector<PlotStore::Point> published;
    for (std::int64_t x = 0; x < 1001; ++x)
        published.push_back({x * 5, static_cast<double>(x)});
    const auto drawn = sparklinePoints(published, 200);
    ASSERT_EQ(drawn.size(), 168u);
    EXPECT_EQ(drawn[1].x, 30);
    EXPECT_EQ(drawn[166].x, 996 * 5);
    EXPECT_EQ(drawn.back(), published.back());
    EXPECT_EQ(sparklinePoints(std::span(published).first(200), 200).size(), 200u);
    // When the last point falls on the step it is not doubled.
    EXPECT_EQ(sparklinePoints(std::span(published).first(201), 200).size(), 101u);

    EXPECT_EQ(sparklineRange(PlotStore::Statistics{5, 5, 5, 0}), std::make_pair(4.0, 6.0));
    EXPECT_EQ(sparklineRange(PlotStore::Statistics{10, 20, 15, 0}), std::make_pair(9.0, 21.0));
    EXPECT_EQ(sparklineRange(std::nullopt), std::make_pair(0.0, 1.0));
}

TEST(PlotMath, CardNavigationWrapsBothWays)
{
    const std::vector<std::string> names{"A", "B", "C"};
    EXPECT_EQ(neighbourCard(names, "B", +1), "C");
    EXPECT_EQ(neighbourCard(names, "C", +1), "A");
    EXPECT_EQ(neighbourCard(names, "A", -1), "C");
    EXPECT_EQ(neighbourCard(names, "B", -1), "A");
    EXPECT_EQ(neighbourCard({"only"}, "only", +1), "only");
    EXPECT_EQ(neighbourCard(names, "gone", +1), std::nullopt);
}

#include "app/plot/AxisTicks.h"
#include "app/plot/LineRasterizer.h"
#include "app/plot/MonotoneCubic.h"
#include "app/plot/PlotFormat.h"
#include "app/plot/PlotPalette.h"
#include "app/plot/SparklinePoints.h"

#include <QtTest>

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
    for (const double allowed : {1.0, 2.0, 2.5, 5.0})
        if (std::abs(mantissa - allowed) < 1e-9)
            return true;
    return false;
}

} // namespace

class PlotMathTests : public QObject {
    Q_OBJECT

private slots:
    void theMonotoneCubicPassesThroughEveryPointAndNeverLeavesANeighbourPairsRange()
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
                case 0: if (!points.empty()) y = points.back().y; break;
                case 1: y = std::round(y / 25) * 25; break;
                case 2: y = y * 1000; break;
                default: break;
                }
                points.push_back({x, y});
                x += gap(random);
            }
            const auto pieces = monotoneCubicPieces(points);
            const auto tangents = monotoneTangents(points);
            QCOMPARE(pieces.size(), points.size() - 1);
            for (std::size_t i = 0; i + 1 < points.size(); ++i) {
                const CurvePoint& a = points[i];
                const CurvePoint& b = points[i + 1];
                const double low = std::min(a.y, b.y);
                const double high = std::max(a.y, b.y);
                const double slack = 1e-9 * std::max(1.0, std::abs(high - low));
                QCOMPARE(pieces[i].end.y, b.y);
                QCOMPARE(evaluateMonotoneCubic(points, tangents, i, a.x), a.y);
                QVERIFY(std::abs(evaluateMonotoneCubic(points, tangents, i, b.x) - b.y) <= slack + 1e-9 * std::abs(b.y));
                for (int step = 0; step <= 64; ++step) {
                    const double t = step / 64.0;
                    const CurvePoint drawn = bezierAt(a, pieces[i], t);
                    QVERIFY2(drawn.y >= low - slack && drawn.y <= high + slack,
                        qPrintable(QString("round %1 piece %2 t %3: %4 outside [%5, %6]").arg(round).arg(i).arg(t).arg(drawn.y).arg(low).arg(high)));
                    // The Bézier is the Hermite piece: x moves evenly, y matches the curve.
                    QVERIFY(std::abs(drawn.x - (a.x + t * (b.x - a.x))) < 1e-9);
                    QVERIFY(std::abs(drawn.y - evaluateMonotoneCubic(points, tangents, i, drawn.x)) <= 1e-6 * std::max(1.0, high - low));
                }
            }
        }
        QVERIFY(monotoneCubicPieces(std::vector<CurvePoint>{{0, 1}}).empty());
    }

    void ticksAreRoundValuesThatCoverTheDataWithAboutTheTargetCount()
    {
        std::mt19937 random(7);
        std::uniform_real_distribution<double> exponent(-4, 7);
        std::uniform_real_distribution<double> unit(-1, 1);
        for (int round = 0; round < 2000; ++round) {
            const double scale = std::pow(10.0, exponent(random));
            double low = unit(random) * scale;
            double high = low + std::abs(unit(random)) * scale * 0.5;
            if (round % 10 == 0)
                high = low; // a constant series
            for (const int target : {5, 3}) {
                const AxisTicks ticks = niceTicks(low, high, target);
                const auto count = static_cast<int>(ticks.values.size());
                QVERIFY2(count >= target - 2 && count <= target + 1,
                    qPrintable(QString("%1 ticks for %2..%3, target %4").arg(count).arg(low).arg(high).arg(target)));
                QVERIFY(isRoundStep(ticks.step));
                QVERIFY(ticks.values.front() <= low && ticks.values.back() >= high);
                QVERIFY(ticks.values.back() > ticks.values.front());
                for (const double tick : ticks.values)
                    QVERIFY(std::abs(tick / ticks.step - std::round(tick / ticks.step)) < 1e-6);
            }
        }
        // No forced zero, and values as typed.
        const AxisTicks temperatures = niceTicks(20.5, 23.1, 5);
        QCOMPARE(temperatures.values, (std::vector<double>{20, 21, 22, 23, 24}));
        QCOMPARE(niceTicks(0.1, 0.3, 3).values, (std::vector<double>{0.1, 0.2, 0.3}));
        QCOMPARE(niceTicks(5, 5, 5).values.front() <= 4.5, true);

        const auto samples = sampleTicks(4500, 5000, 5);
        QVERIFY(!samples.empty() && samples.size() <= 6);
        for (const double tick : samples)
            QVERIFY(tick >= 4500 && tick <= 5000 && tick == std::round(tick));
        QCOMPARE(sampleTicks(0, 1, 5), (std::vector<double>{0, 1}));
    }

    void sparklinesThinToTheirLimitAndKeepTheLastPoint()
    {
        std::vector<PlotStore::Point> published;
        for (std::int64_t x = 0; x < 1001; ++x)
            published.push_back({x * 5, static_cast<double>(x)});
        const auto drawn = sparklinePoints(published, 200);
        QCOMPARE(drawn.size(), std::size_t(168));
        QCOMPARE(drawn[1].x, 30);
        QCOMPARE(drawn[166].x, 996 * 5);
        QCOMPARE(drawn.back(), published.back());
        QCOMPARE(sparklinePoints(std::span(published).first(200), 200).size(), std::size_t(200));
        // When the last point falls on the step it is not doubled.
        QCOMPARE(sparklinePoints(std::span(published).first(201), 200).size(), std::size_t(101));

        QCOMPARE(sparklineRange(PlotStore::Statistics{5, 5, 5, 0}), std::make_pair(4.0, 6.0));
        QCOMPARE(sparklineRange(PlotStore::Statistics{10, 20, 15, 0}), std::make_pair(9.0, 21.0));
        QCOMPARE(sparklineRange(std::nullopt), std::make_pair(0.0, 1.0));
    }

    void cardNavigationWrapsBothWays()
    {
        const std::vector<std::string> names{"A", "B", "C"};
        QCOMPARE(neighbourCard(names, "B", +1), std::optional<std::string>("C"));
        QCOMPARE(neighbourCard(names, "C", +1), std::optional<std::string>("A"));
        QCOMPARE(neighbourCard(names, "A", -1), std::optional<std::string>("C"));
        QCOMPARE(neighbourCard(names, "B", -1), std::optional<std::string>("A"));
        QCOMPARE(neighbourCard({"only"}, "only", +1), std::optional<std::string>("only"));
        QCOMPARE(neighbourCard(names, "gone", +1), std::nullopt);
    }

    void valuesAndMeansFollowTheLocaleWithoutGrouping()
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        QCOMPARE(formatValue(21), QString("21"));
        QCOMPARE(formatValue(-5), QString("-5"));
        QCOMPARE(formatValue(1013), QString("1013"));
        QCOMPARE(formatValue(21.25), QString("21.25"));
        QCOMPARE(formatValue(0.0015), QString("0.0015"));
        QCOMPARE(formatValue(3.14159265), QString("3.14159"));
        QCOMPARE(formatValue(12345.5), QString("12345.5"));
        QCOMPARE(formatValue(1234567.891), QString("1234570"));
        QCOMPARE(formatValue(-1234567.891), QString("-1234570"));
        QCOMPARE(formatMean(0, 20.5), QString("20.5"));
        QCOMPARE(formatMean(2, 20.875), QString("20.875"));
        QCOMPARE(formatMean(4, 1.0), QString("1.0000"));

        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        QCOMPARE(formatValue(21), QString("21"));
        QCOMPARE(formatValue(21.25), QString("21,25"));
        QCOMPARE(formatValue(12345.5), QString("12345,5"));
        QCOMPARE(formatValue(1234567.891), QString("1234570"));
        QCOMPARE(formatMean(0, 20.5), QString("20,5"));
        QCOMPARE(formatMean(2, 20.875), QString("20,875"));
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }

    void rasterisedLinesCoverTheirWidthWithRoundEndsAndBlendEachPixelOnce()
    {
        QImage image(40, 20, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        LineRasterizer rasterizer;
        rasterizer.setTarget(image);
        // A 1.5-pixel line along the middle of row 10, from x 5 to x 30.
        const std::vector<QPointF> line{{5, 10.5}, {30, 10.5}};
        rasterizer.drawPolyline(line, Qt::black, 1.5);
        QCOMPARE(image.pixelColor(15, 10), QColor(Qt::black));
        // The rows beside it get the antialiasing fringe, those further out nothing.
        QVERIFY(image.pixelColor(15, 9).lightness() > 0 && image.pixelColor(15, 9).lightness() < 255);
        QCOMPARE(image.pixelColor(15, 9), image.pixelColor(15, 11));
        QCOMPARE(image.pixelColor(15, 7), QColor(Qt::white));
        QCOMPARE(image.pixelColor(15, 13), QColor(Qt::white));
        // Round ends: the pixel just past the end is partly covered, two pixels past it is not.
        QVERIFY(image.pixelColor(30, 10).lightness() < 255);
        QCOMPARE(image.pixelColor(33, 10), QColor(Qt::white));

        // Going back and forth over the same pixels blends them once: a translucent line
        // looks the same as a single pass.
        QImage once(40, 20, QImage::Format_ARGB32_Premultiplied);
        QImage thrice = once;
        once.fill(Qt::white);
        thrice.fill(Qt::white);
        const QColor translucent(0, 0, 255, 128);
        rasterizer.setTarget(once);
        rasterizer.drawPolyline(line, translucent, 1.5);
        rasterizer.setTarget(thrice);
        const std::vector<QPointF> backAndForth{{5, 10.5}, {30, 10.5}, {5, 10.5}, {30, 10.5}};
        rasterizer.drawPolyline(backAndForth, translucent, 1.5);
        QCOMPARE(thrice, once);
        QCOMPARE(once.pixelColor(15, 10).blue(), 255);
        QVERIFY(std::abs(once.pixelColor(15, 10).red() - 127) <= 1);

        // A single point is a dot; points off the image and NaNs are ignored without harm.
        rasterizer.setTarget(image);
        image.fill(Qt::white);
        const std::vector<QPointF> dot{{20.5, 5.5}};
        rasterizer.drawPolyline(dot, Qt::black, 1.5);
        QCOMPARE(image.pixelColor(20, 5), QColor(Qt::black));
        const std::vector<QPointF> wild{{-1e9, -5}, {1e9, 1e9}, {std::nan(""), 3}, {-50, -50}};
        rasterizer.drawPolyline(wild, Qt::red, 1.5);
    }

    void thePaletteRepeatsAfterTwelveAndKeepsItsHuesApart()
    {
        QCOMPARE(seriesColor(12), seriesColor(0));
        QCOMPARE(seriesColor(15), seriesColor(3));
        for (int a = 0; a < paletteSize; ++a)
            for (int b = a + 1; b < paletteSize; ++b)
                for (const bool dark : {false, true}) {
                    const QColor x = seriesColor(a, dark);
                    const QColor y = seriesColor(b, dark);
                    const int distance = std::abs(x.red() - y.red()) + std::abs(x.green() - y.green()) + std::abs(x.blue() - y.blue());
                    QVERIFY2(distance > 60, qPrintable(QString("%1 and %2").arg(a).arg(b)));
                }
    }
};

QTEST_MAIN(PlotMathTests)
#include "PlotMathTests.moc"

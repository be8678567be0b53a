#include "app/plot/LineRasterizer.h"
#include "app/plot/PlotFormat.h"
#include "app/plot/PlotPalette.h"

#include <QtTest>

#include <cmath>
#include <tuple>
#include <vector>

using namespace velmora;

class PlotMathTests : public QObject {
    Q_OBJECT

private slots:
    void valuesAndMeansFollowTheLocaleWithoutGrouping()
    {
        const auto check = [](QLocale locale, std::vector<std::pair<double, QString>> values,
                               std::vector<std::tuple<int, double, QString>> means) {
            QLocale::setDefault(locale);
            for (const auto& [value, text] : values)
                QCOMPARE(formatValue(value), text);
            for (const auto& [decimals, mean, text] : means)
                QCOMPARE(formatMean(decimals, mean), text);
        };
        check(QLocale(QLocale::German, QLocale::Germany),
            {{21, "21"}, {21.25, "21,25"}, {12345.5, "12345,5"}, {1234567.891, "1234570"}},
            {{0, 20.5, "20,5"}, {2, 20.875, "20,875"}});
        check(QLocale(QLocale::English, QLocale::UnitedStates),
            {{21, "21"}, {-5, "-5"}, {1013, "1013"}, {21.25, "21.25"}, {0.0015, "0.0015"}, {3.14159265, "3.14159"},
                {12345.5, "12345.5"}, {1234567.891, "1234570"}, {-1234567.891, "-1234570"}},
            {{0, 20.5, "20.5"}, {2, 20.875, "20.875"}, {4, 1.0, "1.0000"}});
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
                    const int distance =
                        std::abs(x.red() - y.red()) + std::abs(x.green() - y.green()) + std::abs(x.blue() - y.blue());
                    QVERIFY2(distance > 60, qPrintable(QString("%1 and %2").arg(a).arg(b)));
                }
    }
};

QTEST_MAIN(PlotMathTests)
#include "PlotMathTests.moc"

#include "app/monitor/LogoBackdrop.h"
#include "app/monitor/OutputTextView.h"
#include "core/pipeline/InMemoryTextStore.h"

#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <QSvgRenderer>
#include <QtTest>

#include <algorithm>
#include <cstdlib>

using namespace velmora;

namespace {

QStringList svgWarnings;

void collectSvgWarnings(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type != QtDebugMsg && context.category && QByteArray(context.category).startsWith("qt.svg"))
        svgWarnings.append(message);
}

QImage painted(LogoBackdrop& backdrop, QSize size, const QColor& background, const QColor& foreground)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::magenta);
    QPainter painter(&image);
    backdrop.paint(painter, image.rect(), background, foreground);
    return image;
}

int channelDistance(QRgb a, QRgb b)
{
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))});
}

// The smallest rectangle holding every pixel that is not the background.
QRect drawnBounds(const QImage& image, QRgb background)
{
    QRect bounds;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != background)
                bounds |= QRect(x, y, 1, 1);
    return bounds;
}

} // namespace

class LogoBackdropTests : public QObject {
    Q_OBJECT
private slots:
    void bundledLogosAreSquareSvgThatQtDrawsWithoutComplaint()
    {
        for (const QString& path : {LogoBackdrop::logoPath(), LogoBackdrop::templateLogoPath()}) {
            svgWarnings.clear();
            const QtMessageHandler previous = qInstallMessageHandler(collectSvgWarnings);
            QSvgRenderer renderer(path);
            QImage image(64, 64, QImage::Format_ARGB32_Premultiplied);
            image.fill(Qt::transparent);
            QPainter painter(&image);
            renderer.render(&painter);
            painter.end();
            qInstallMessageHandler(previous);

            QVERIFY2(renderer.isValid(), qPrintable(path));
            QCOMPARE(renderer.viewBoxF(), QRectF(0, 0, 256, 256));
            QVERIFY2(svgWarnings.isEmpty(), qPrintable(svgWarnings.join(u'\n')));
            // The middle is drawn, and the corners of the rounded badge stay clear.
            QVERIFY(qAlpha(image.pixel(32, 32)) > 0);
            QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
        }
    }

    void logoIsSixTenthsOfTheSmallerSideAndNeverMoreThan460()
    {
        QCOMPARE(LogoBackdrop::logoSide({1000, 500}), 300);
        QCOMPARE(LogoBackdrop::logoSide({500, 1000}), 300);
        QCOMPARE(LogoBackdrop::logoSide({10, 10}), 6);
        QCOMPARE(LogoBackdrop::logoSide({766, 900}), 460);
        QCOMPARE(LogoBackdrop::logoSide({767, 900}), 460);
        QCOMPARE(LogoBackdrop::logoSide({3000, 2000}), 460);
        QCOMPARE(LogoBackdrop::logoSide({0, 400}), 0);
        QCOMPARE(LogoBackdrop::logoSide({-5, 400}), 0);

        QCOMPARE(LogoBackdrop::logoRect({0, 0, 1000, 500}), QRect(350, 100, 300, 300));
        QCOMPARE(LogoBackdrop::logoRect({20, 40, 2000, 1000}), QRect(790, 310, 460, 460));
    }

    void logoIsAFaintTemplateInTheTextColourCentredOnTheBackground()
    {
        LogoBackdrop backdrop;
        QVERIFY(backdrop.hasLogo());
        const QColor white(Qt::white);
        const QColor black(Qt::black);
        const QImage light = painted(backdrop, {400, 300}, white, black);

        const QRgb centre = light.pixel(200, 150);
        QVERIFY2(channelDistance(centre, white.rgb()) >= 10, qPrintable(QColor(centre).name()));
        QVERIFY2(channelDistance(centre, white.rgb()) <= 0.07 * 255 + 1, qPrintable(QColor(centre).name()));
        // A template: grey, whatever colours the artwork has.
        QVERIFY(qRed(centre) == qGreen(centre) && qGreen(centre) == qBlue(centre));
        QCOMPARE(light.pixel(0, 0), white.rgb());
        QCOMPARE(light.pixel(399, 299), white.rgb());

        // The logo covers most of its square and nothing outside it.
        const QRect square = LogoBackdrop::logoRect(light.rect());
        QCOMPARE(square.width(), 180);
        const QRect drawn = drawnBounds(light, white.rgb());
        QVERIFY2(square.contains(drawn),
            qPrintable(
                QStringLiteral("%1,%2 %3x%4").arg(drawn.x()).arg(drawn.y()).arg(drawn.width()).arg(drawn.height())));
        QVERIFY(drawn.width() >= 0.85 * square.width() && drawn.height() >= 0.85 * square.height());

        // A dark theme: the same backdrop follows the new colours, lighter than its background.
        const QColor base(0x1e, 0x1e, 0x1e);
        const QImage dark = painted(backdrop, {400, 300}, base, white);
        const QRgb darkCentre = dark.pixel(200, 150);
        QVERIFY2(qRed(darkCentre) > base.red() + 10 && qRed(darkCentre) <= base.red() + 0.07 * 255 + 1,
            qPrintable(QColor(darkCentre).name()));
        QCOMPARE(dark.pixel(0, 0), base.rgb());

        // A larger area renders a larger logo, capped at 460.
        const QImage large = painted(backdrop, {1200, 900}, white, black);
        const QRect largeDrawn = drawnBounds(large, white.rgb());
        QVERIFY(LogoBackdrop::logoRect(large.rect()).contains(largeDrawn));
        QVERIFY(largeDrawn.width() >= 0.85 * 460 && largeDrawn.width() <= 460);
        QVERIFY(channelDistance(large.pixel(600, 450), white.rgb()) >= 10);
    }

    void withoutALogoOnlyTheColourIsDrawn()
    {
        LogoBackdrop backdrop(QStringLiteral(":/logo/missing.svg"));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("missing\\.svg")));
        QVERIFY(!backdrop.hasLogo());
        const QColor base(0xfa, 0xfa, 0xf5);
        const QImage image = painted(backdrop, {300, 200}, base, Qt::black);
        QVERIFY(drawnBounds(image, base.rgb()).isNull());
    }

    void outputViewShowsTheBackdropBehindItsText()
    {
        InMemoryTextStore store;
        OutputTextView view(store);
        QPalette colours = view.palette();
        colours.setColor(QPalette::Base, Qt::white);
        colours.setColor(QPalette::Text, Qt::black);
        view.setPalette(colours);
        view.resize(500, 400);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));

        const QImage shown = view.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QPoint middle = shown.rect().center();
        const int distance = channelDistance(shown.pixel(middle), QColor(Qt::white).rgb());
        QVERIFY2(distance >= 10 && distance <= 19, qPrintable(QColor(shown.pixel(middle)).name()));
        QCOMPARE(shown.pixel(shown.width() - 1, shown.height() - 1), QColor(Qt::white).rgb());
        // The backdrop is painted, not a widget of its own: nothing new for accessibility to find.
        QVERIFY(view.viewport()->findChildren<QWidget*>().isEmpty());
    }
};

QTEST_MAIN(LogoBackdropTests)
#include "LogoBackdropTests.moc"

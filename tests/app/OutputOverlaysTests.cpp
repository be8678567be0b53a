#include "app/common/Icons.h"
#include "app/monitor/DisplayModeBadge.h"
#include "app/monitor/EmptyOutputView.h"
#include "app/monitor/NoticeBanner.h"
#include "app/monitor/OutputOverlays.h"
#include "tests/app/WidgetTestHelpers.h"
#include "tests/helpers/PseudoTerminal.h"

#include <QImageReader>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>
#include <QtTest>

#include <chrono>

using namespace velmora;
using velmora::testing::builtInPort;
using velmora::testing::usbBoard;
using namespace std::chrono_literals;

namespace {

// The output area as a tab lays it out: a text view in a host, the overlays laid over it.
struct OutputArea {
    explicit OutputArea(VelmoraModel& model)
    {
        auto* layout = new QVBoxLayout(&host);
        layout->setContentsMargins(0, 0, 0, 0);
        text = new QPlainTextEdit(&host);
        layout->addWidget(text);
        overlays = new OutputOverlays(model, text);
        host.resize(900, 500);
    }

    // Whether a part would be on screen once the host is shown.
    bool shows(const QWidget* part) const { return part->isVisibleTo(&host); }

    QWidget host;
    QPlainTextEdit* text = nullptr;
    OutputOverlays* overlays = nullptr;
};

QStringList buttonTitles(const QWidget* banner)
{
    QStringList titles;
    for (const auto* button : banner->findChildren<QPushButton*>()) {
        if (!button->isHidden())
            titles << button->text();
    }
    return titles;
}

QPushButton* buttonTitled(const QWidget* parent, const QString& title)
{
    for (auto* button : parent->findChildren<QPushButton*>()) {
        if (!button->isHidden() && button->text() == title)
            return button;
    }
    return nullptr;
}

QStringList labelTexts(const QWidget* widget)
{
    QStringList texts;
    for (const auto* label : widget->findChildren<QLabel*>()) {
        if (!label->text().isEmpty())
            texts << label->text();
    }
    return texts;
}

// How many pixels are drawn, and whether every fully opaque one has the given colour.
std::pair<int, bool> opaquePixels(const QPixmap& pixmap, std::optional<QColor> colour = std::nullopt)
{
    const QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
    int drawn = 0;
    bool allInColour = true;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (pixel.alpha() == 0)
                continue;
            ++drawn;
            if (colour && pixel.alpha() == 255 && pixel.rgb() != colour->rgb())
                allInColour = false;
        }
    }
    return {drawn, allInColour};
}

} // namespace

class OutputOverlaysTests : public QObject, velmora::testing::SessionFixture {
    Q_OBJECT

private:
    void connectTo(VelmoraModel& model, const std::string& path)
    {
        model.setSelectedPath(path);
        model.setBaudRate(115200);
        model.connect();
        QCOMPARE(model.state().value(), ConnectionState::connected);
    }


private slots:
    void init()
    {
        registry.ports.set({});
        settings.remove("port");
        settings.remove("baud");
        settings.remove("displayMode");
    }

    void everySymbolHasABundledSvgThatDrawsAndTints()
    {
        QVERIFY(QImageReader::supportedImageFormats().contains("svg"));
        const QColor orange(0xF0, 0x8A, 0x00);
        for (const std::string_view symbol : knownSymbols()) {
            const QString path = bundledIconPath(symbol);
            QVERIFY2(QFile::exists(path), qPrintable(path));
            const auto [drawn, _] = opaquePixels(QIcon(path).pixmap(QSize(24, 24), 1.0));
            QVERIFY2(drawn > 20, qPrintable(path));
            QVERIFY2(!symbolIcon(symbol).isNull(), qPrintable(path));

            // The tint keeps the shape and replaces its colour.
            const auto [tintedDrawn, inOrange] = opaquePixels(tintedSymbolIcon(symbol, orange).pixmap(QSize(24, 24), 1.0), orange);
            QCOMPARE(tintedDrawn, drawn);
            QVERIFY2(inOrange, qPrintable(path));
        }
        // A larger size is drawn afresh from the vector shape, not scaled up.
        QCOMPARE(tintedSymbolIcon("stop.fill", Qt::white).pixmap(QSize(96, 96), 1.0).size(), QSize(96, 96));
        QVERIFY(symbolIcon("no.such.symbol").isNull());
        QVERIFY(tintedSymbolIcon("no.such.symbol", Qt::white).isNull());
    }

    void theEmptyPanelFollowsThePortsAndTheSelection()
    {
        auto model = makeModel();
        OutputArea area(*model);
        auto* empty = area.overlays->emptyView();
        QVERIFY(area.shows(empty));
        QCOMPARE(empty->title(), QString("No USB device found"));
        QCOMPARE(empty->message(),
            QString("Connect your board with a USB cable that carries data. The port will appear automatically."));
        QVERIFY(!area.shows(empty->connectButton()));

        // A board appears: the session picks it, the panel offers to connect to it.
        registry.ports.set({usbBoard("/dev/ttyACM0"), builtInPort("/dev/ttyS0")});
        QCOMPARE(empty->title(), QString("Ready to connect"));
        QCOMPARE(empty->message(), QString("Choose the port and your sketch's baud rate at the top, then click Connect (Ctrl+R)."));
        QVERIFY(area.shows(empty->connectButton()));
        QCOMPARE(empty->connectButton()->text(), QString("Connect to Arduino Uno"));

        model->setSelectedPath("/dev/ttyS0");
        QCOMPARE(empty->connectButton()->text(), QString("Connect to ttyS0"));
        model->setSelectedPath("");
        QVERIFY(!area.shows(empty->connectButton()));
        // A remembered port that is not plugged in cannot be connected to from here.
        model->setSelectedPath("/dev/ttyUSB7");
        QVERIFY(!area.shows(empty->connectButton()));
        QCOMPARE(empty->title(), QString("Ready to connect"));

        // Ports without a USB vendor id (built-in UARTs, Bluetooth) are not what the user plugged in.
        registry.ports.set({builtInPort("/dev/ttyS0"), builtInPort("/dev/rfcomm0")});
        QCOMPARE(empty->title(), QString("No USB device found"));
        registry.ports.set({});
        QCOMPARE(empty->title(), QString("No USB device found"));
    }

    void theEmptyPanelConnectsAndShowsOnlyWhileDisconnectedWithNothingToShow()
    {
        velmora::testing::PseudoTerminal board;
        registry.ports.set({usbBoard(board.devicePath())});
        auto model = makeModel();
        OutputArea area(*model);
        auto* empty = area.overlays->emptyView();
        QCOMPARE(model->selectedPath().value(), board.devicePath());
        QVERIFY(area.shows(empty));

        empty->connectButton()->click();
        QCOMPARE(model->state().value(), ConnectionState::connected);
        QVERIFY(!area.shows(empty));
        // An empty output while connected shows no panel.
        model->clearOutput();
        QVERIFY(model->outputIsEmpty().value());
        QVERIFY(!area.shows(empty));

        model->disconnect();
        QVERIFY(!model->outputIsEmpty().value()); // the "connection closed" line
        QVERIFY(!area.shows(empty));
        model->clearOutput();
        QVERIFY(area.shows(empty));
    }

    void theGarbledNoticeShowsOnlyInTextModeAndOffersFourRates()
    {
        velmora::testing::PseudoTerminal board;
        auto model = makeModel();
        OutputArea area(*model);
        auto* banner = area.overlays->garbageBanner();
        connectTo(*model, board.devicePath());
        QVERIFY(!area.shows(banner));

        board.writeToPort(std::vector<std::uint8_t>(100, 0xFF));
        QVERIFY(pump([&] { return model->rxBytes().value() == 100; }));
        QVERIFY(model->garbageSuspected().value());
        QVERIFY(area.shows(banner));
        QCOMPARE(banner->text(), QString("Garbled data? The baud rate (115200) is probably wrong. Try:"));
        QStringList expected;
        for (const auto rate : model->suggestedBaudRates())
            expected << QString("%1 baud").arg(rate);
        QCOMPARE(expected.size(), 4);
        QCOMPARE(buttonTitles(banner), expected);

        // A byte display hides it while the session still suspects garbage; text shows it again.
        model->setDisplayMode(DisplayMode::hex);
        QVERIFY(model->garbageSuspected().value());
        QVERIFY(!area.shows(banner));
        model->setDisplayMode(DisplayMode::text);
        QVERIFY(area.shows(banner));

        // A suggested rate is applied: the port is reopened at it and the offer follows the rate.
        const std::int64_t chosen = model->suggestedBaudRates().at(1);
        buttonTitled(banner, QString("%1 baud").arg(chosen))->click();
        QCOMPARE(model->baudRate().value(), chosen);
        QCOMPARE(model->state().value(), ConnectionState::connected);
        QCOMPARE(banner->text(), QString("Garbled data? The baud rate (%1) is probably wrong. Try:").arg(chosen));
        QCOMPARE(buttonTitles(banner).size(), 4);
        QVERIFY(!buttonTitles(banner).contains(QString("%1 baud").arg(chosen)));

        board.writeToPort(std::vector<std::uint8_t>(100, 0xFF));
        QVERIFY(pump([&] { return model->garbageSuspected().value(); }));
        QVERIFY(area.shows(banner));
        auto* dismiss = banner->findChild<QToolButton*>();
        QCOMPARE(dismiss->toolTip(), QString("Dismiss"));
        QCOMPARE(dismiss->accessibleName(), QString("Dismiss"));
        dismiss->click();
        QVERIFY(model->garbageDismissed());
        QVERIFY(!area.shows(banner));
    }

    void theNoDataNoticeAppearsAfterFiveSilentSecondsAndDismissingCancelsIt()
    {
        velmora::testing::PseudoTerminal board;
        auto model = makeModel();
        OutputArea area(*model);
        auto* banner = area.overlays->noDataBanner();
        connectTo(*model, board.devicePath());
        queue.advance(4900ms);
        QVERIFY(!area.shows(banner));
        queue.advance(100ms);
        QVERIFY(area.shows(banner));
        QCOMPARE(banner->text(),
            QString("No data received yet. Does your sketch send something with Serial.print, and is Serial.begin "
                    "also set to 115200?"));
        QVERIFY(buttonTitles(banner).isEmpty());

        banner->findChild<QToolButton*>()->click();
        QVERIFY(!model->showNoDataHint().value());
        QVERIFY(!area.shows(banner));
        // The garbled notice never appears in its place.
        QVERIFY(!area.shows(area.overlays->garbageBanner()));
    }

    void theBadgeNamesAByteModeAndSwitchesBackToText()
    {
        auto model = makeModel();
        OutputArea area(*model);
        auto* badge = area.overlays->badge();
        QVERIFY(!area.shows(badge));

        model->setDisplayMode(DisplayMode::hex);
        QVERIFY(area.shows(badge));
        QCOMPARE(labelTexts(badge), (QStringList{"HEX", "·", "back to text"}));
        QCOMPARE(badge->toolTip(), QString("Received data is not shown as text. Click to switch back to text (Ctrl+1)."));
        model->setDisplayMode(DisplayMode::hexDump);
        QCOMPARE(labelTexts(badge).first(), QString("HEX + ASCII (dump)"));
        model->setDisplayMode(DisplayMode::asciiEscaped);
        QCOMPARE(labelTexts(badge).first(), QString("ASCII with control codes"));

        QTest::mouseClick(badge, Qt::LeftButton);
        QCOMPARE(model->displayMode().value(), DisplayMode::text);
        QVERIFY(!area.shows(badge));
    }

    void theOverlaysTakeClicksOnlyWhereTheyDrawAndFollowTheTextArea()
    {
        velmora::testing::PseudoTerminal board;
        auto model = makeModel();
        OutputArea area(*model);
        connectTo(*model, board.devicePath()); // output not empty: no centre panel
        model->setDisplayMode(DisplayMode::decimal);
        area.host.show();
        QVERIFY(QTest::qWaitForWindowExposed(&area.host));
        QCoreApplication::sendPostedEvents();

        auto* badge = area.overlays->badge();
        const QPoint onBadge = badge->mapTo(&area.host, badge->rect().center());
        QCOMPARE(area.host.childAt(onBadge), static_cast<QWidget*>(badge));
        const QPoint onText(area.host.width() / 2, area.host.height() / 2);
        QCOMPARE(area.host.childAt(onText), area.text->viewport());
        // Beside the badge, in the row it sits in, the text is reachable too.
        QCOMPARE(area.host.childAt(QPoint(40, onBadge.y())), area.text->viewport());

        // Over the text, not over its scroll bar, and along when the area is resized.
        area.host.resize(1000, 600);
        QCoreApplication::sendPostedEvents();
        const QWidget* viewport = area.text->viewport();
        QCOMPARE(area.overlays->geometry(), QRect(viewport->mapTo(&area.host, QPoint(0, 0)), viewport->size()));
        const QPoint movedBadge = badge->mapTo(&area.host, badge->rect().center());
        QVERIFY(movedBadge.x() > onBadge.x());
        QCOMPARE(area.host.childAt(movedBadge), static_cast<QWidget*>(badge));

        // With nothing to show nothing is in the way.
        model->setDisplayMode(DisplayMode::text);
        QVERIFY(area.overlays->isHidden());
        QCOMPARE(area.host.childAt(movedBadge), area.text->viewport());
    }

    void aBannersActionsCanBeReplacedFromTheirOwnClick()
    {
        int triggered = 0;
        NoticeBanner banner("clock", Qt::blue);
        const auto replace = [&] {
            ++triggered;
            banner.setActions({{"Again", [&] { ++triggered; }}});
        };
        banner.setActions({{"One", replace}, {"Two", replace}});
        QCOMPARE(buttonTitles(&banner), (QStringList{"One", "Two"}));
        buttonTitled(&banner, "Two")->click();
        QCOMPARE(triggered, 1);
        QCOMPARE(buttonTitles(&banner), QStringList{"Again"});
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(banner.findChildren<QPushButton*>().size(), 1);
        QVERIFY(banner.maximumWidth() <= 640);
    }
};

QTEST_MAIN(OutputOverlaysTests)
#include "OutputOverlaysTests.moc"

#include "app/common/Icons.h"
#include "app/monitor/DisplayModeBadge.h"
#include "app/monitor/EmptyOutputView.h"
#include "app/monitor/NoticeBanner.h"
#include "app/monitor/OutputOverlays.h"
#include "tests/app/FakeSession.h"
#include "tests/app/WidgetTestHelpers.h"

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
using velmora::testing::FakeSession;
using velmora::testing::usbBoard;
using namespace std::chrono_literals;

namespace {

// The output area as a tab lays it out: a text view in a host, the overlays laid over it.
struct OutputArea {
    explicit OutputArea(Session& session)
    {
        auto* layout = new QVBoxLayout(&host);
        layout->setContentsMargins(0, 0, 0, 0);
        text = new QPlainTextEdit(&host);
        layout->addWidget(text);
        overlays = new OutputOverlays(session, text);
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

class OutputOverlaysTests : public QObject {
    Q_OBJECT

private slots:
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
            const auto [tintedDrawn, inOrange] =
                opaquePixels(tintedSymbolIcon(symbol, orange).pixmap(QSize(24, 24), 1.0), orange);
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
        FakeSession session;
        OutputArea area(session);
        auto* empty = area.overlays->emptyView();
        QVERIFY(area.shows(empty));
        QCOMPARE(empty->title(), QString("No USB device found"));
        QCOMPARE(empty->message(),
            QString("Connect your board with a USB cable that carries data. The port will appear automatically."));
        QVERIFY(!area.shows(empty->connectButton()));

        // A board appears and is chosen: the panel offers to connect to it.
        session.connectionStatus().ports.set({usbBoard("/dev/ttyACM0"), builtInPort("/dev/ttyS0")});
        session.line().selectedPath.set("/dev/ttyACM0");
        QCOMPARE(empty->title(), QString("Ready to connect"));
        QCOMPARE(empty->message(),
            QString("Choose the port and your sketch's baud rate at the top, then click Connect (Ctrl+R)."));
        QVERIFY(area.shows(empty->connectButton()));
        QCOMPARE(empty->connectButton()->text(), QString("Connect to Arduino Uno"));

        session.line().selectedPath.set("/dev/ttyS0");
        QCOMPARE(empty->connectButton()->text(), QString("Connect to ttyS0"));
        session.line().selectedPath.set("");
        QVERIFY(!area.shows(empty->connectButton()));
        // A remembered port that is not plugged in cannot be connected to from here.
        session.line().selectedPath.set("/dev/ttyUSB7");
        QVERIFY(!area.shows(empty->connectButton()));
        QCOMPARE(empty->title(), QString("Ready to connect"));

        // Ports without a USB vendor id (built-in UARTs, Bluetooth) are not what the user plugged in.
        session.connectionStatus().ports.set({builtInPort("/dev/ttyS0"), builtInPort("/dev/rfcomm0")});
        QCOMPARE(empty->title(), QString("No USB device found"));
        session.connectionStatus().ports.set({});
        QCOMPARE(empty->title(), QString("No USB device found"));
    }

    void theEmptyPanelConnectsAndShowsOnlyWhileDisconnectedWithNothingToShow()
    {
        FakeSession session;
        session.connectionStatus().ports.set({usbBoard("/dev/ttyACM0")});
        session.line().selectedPath.set("/dev/ttyACM0");
        OutputArea area(session);
        auto* empty = area.overlays->emptyView();
        QVERIFY(area.shows(empty));

        empty->connectButton()->click();
        QCOMPARE(session.actions, std::vector<std::string>{"connect"});
        auto& state = session.connectionStatus().state;
        state.set(ConnectionState::connected);
        QVERIFY(!area.shows(empty));
        state.set(ConnectionState::waitingForDevice);
        QVERIFY2(!area.shows(empty), "an empty output while waiting shows no panel");

        state.set(ConnectionState::disconnected);
        QVERIFY(area.shows(empty));
        session.receiveStatus().outputIsEmpty.set(false);
        QVERIFY(!area.shows(empty));
        session.receiveStatus().outputIsEmpty.set(true);
        QVERIFY(area.shows(empty));
    }

    void theGarbledNoticeShowsOnlyInTextModeAndOffersFourRates()
    {
        FakeSession session;
        session.line().baudRate.set(115200);
        session.connectionStatus().state.set(ConnectionState::connected);
        OutputArea area(session);
        auto* banner = area.overlays->garbageBanner();
        QVERIFY(!area.shows(banner));

        session.receiveStatus().garbageSuspected.set(true);
        QVERIFY(area.shows(banner));
        QCOMPARE(banner->text(), QString("Garbled data? The baud rate (115200) is probably wrong. Try:"));
        QCOMPARE(buttonTitles(banner), (QStringList{"9600 baud", "57600 baud", "38400 baud", "19200 baud"}));

        // A byte display hides it while the session still suspects garbage; text shows it again.
        session.display().displayMode.set(DisplayMode::hex);
        QVERIFY(!area.shows(banner));
        session.display().displayMode.set(DisplayMode::text);
        QVERIFY(area.shows(banner));

        // A suggested rate becomes the session's rate, and the offer follows it.
        buttonTitled(banner, "57600 baud")->click();
        QCOMPARE(session.line().baudRate.value(), 57600);
        QCOMPARE(banner->text(), QString("Garbled data? The baud rate (57600) is probably wrong. Try:"));
        QCOMPARE(buttonTitles(banner), (QStringList{"9600 baud", "115200 baud", "38400 baud", "19200 baud"}));

        auto* dismiss = banner->findChild<QToolButton*>();
        QCOMPARE(dismiss->toolTip(), QString("Dismiss"));
        QCOMPARE(dismiss->accessibleName(), QString("Dismiss"));
        dismiss->click();
        QCOMPARE(session.actions, std::vector<std::string>{"dismiss garbage"});
        QVERIFY(!area.shows(banner));
    }

    void theNoDataNoticeNamesTheRateAndDismissingCancelsIt()
    {
        FakeSession session;
        session.line().baudRate.set(115200);
        session.connectionStatus().state.set(ConnectionState::connected);
        OutputArea area(session);
        auto* banner = area.overlays->noDataBanner();
        QVERIFY(!area.shows(banner));
        session.receiveStatus().showNoDataHint.set(true);
        QVERIFY(area.shows(banner));
        QCOMPARE(banner->text(),
            QString("No data received yet. Does your sketch send something with Serial.print, and is Serial.begin "
                    "also set to 115200?"));
        QVERIFY(buttonTitles(banner).isEmpty());

        banner->findChild<QToolButton*>()->click();
        QVERIFY(!session.reception().showNoDataHint.value());
        QVERIFY(!area.shows(banner));
        // The garbled notice never appears in its place.
        QVERIFY(!area.shows(area.overlays->garbageBanner()));
    }

    void theBadgeNamesAByteModeAndSwitchesBackToText()
    {
        FakeSession session;
        OutputArea area(session);
        auto* badge = area.overlays->badge();
        QVERIFY(!area.shows(badge));

        session.display().displayMode.set(DisplayMode::hex);
        QVERIFY(area.shows(badge));
        QCOMPARE(labelTexts(badge), (QStringList{"HEX", "·", "back to text"}));
        QCOMPARE(
            badge->toolTip(), QString("Received data is not shown as text. Click to switch back to text (Ctrl+1)."));
        session.display().displayMode.set(DisplayMode::hexDump);
        QCOMPARE(labelTexts(badge).first(), QString("HEX + ASCII (dump)"));
        session.display().displayMode.set(DisplayMode::asciiEscaped);
        QCOMPARE(labelTexts(badge).first(), QString("ASCII with control codes"));

        QTest::mouseClick(badge, Qt::LeftButton);
        QCOMPARE(session.display().displayMode.value(), DisplayMode::text);
        QVERIFY(!area.shows(badge));
    }

    void theOverlaysTakeClicksOnlyWhereTheyDrawAndFollowTheTextArea()
    {
        FakeSession session;
        session.connectionStatus().state.set(ConnectionState::connected);
        OutputArea area(session);
        session.display().displayMode.set(DisplayMode::decimal);
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
        session.display().displayMode.set(DisplayMode::text);
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

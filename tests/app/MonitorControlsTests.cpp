#include "app/common/Popup.h"
#include "app/monitor/DisplayOptionsButton.h"
#include "app/monitor/DisplayOptionsView.h"
#include "app/monitor/ModemLinesMenu.h"
#include "app/monitor/PortSettingsButton.h"
#include "app/monitor/PortSettingsView.h"
#include "app/monitor/SendOptionsMenu.h"
#include "tests/app/FakeSession.h"
#include "tests/app/WidgetTestHelpers.h"

#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

using namespace velmora;
using velmora::testing::entries;
using velmora::testing::FakeSession;
using namespace std::chrono_literals;

namespace {

template <typename Widget> Widget* withText(QWidget& parent, const QString& text)
{
    for (auto* widget : parent.findChildren<Widget*>()) {
        if (widget->text() == text)
            return widget;
    }
    return nullptr;
}

QAction* actionNamed(const QList<QAction*>& actions, const QString& text)
{
    for (auto* action : actions) {
        if (action->text() == text)
            return action;
    }
    return nullptr;
}

// A click as the window system delivers it while a popup is open: the press goes to the popup,
// which has grabbed the mouse; the release goes to the window under the pointer once it let go.
void clickThroughPopup(Popup& popup, QWidget& target)
{
    const QPoint global = target.mapToGlobal(target.rect().center());
    QTest::mousePress(popup.windowHandle(), Qt::LeftButton, {}, popup.mapFromGlobal(global));
    QWidget* window = target.window();
    QTest::mouseRelease(window->windowHandle(), Qt::LeftButton, {}, window->mapFromGlobal(global));
    QCoreApplication::processEvents();
}

const QString rangeMessage = QStringLiteral("Enter a number between 50 and 12,000,000.");

} // namespace

class MonitorControlsTests : public QObject {
    Q_OBJECT

private:
    static std::shared_ptr<FakeSession> makeModel() { return std::make_shared<FakeSession>(); }

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void theCustomBaudTextIsATrimmedSignedDecimalWithinTheRange()
    {
        QCOMPARE(parseCustomBaud("76800"), std::optional<std::int64_t>(76800));
        QCOMPARE(parseCustomBaud(" 250000 "), std::optional<std::int64_t>(250000));
        QCOMPARE(parseCustomBaud("\t+9600"), std::optional<std::int64_t>(9600));
        QCOMPARE(parseCustomBaud("0031250"), std::optional<std::int64_t>(31250));
        QCOMPARE(parseCustomBaud("50"), std::optional<std::int64_t>(50));
        QCOMPARE(parseCustomBaud("12000000"), std::optional<std::int64_t>(12000000));
        for (const char* refused : {"49", "12000001", "-9600", "abc", "1e6", "", "   ", "+", "-", "+-9600", "96 00",
                 "9600.0", "12,000", "0x2580", "99999999999999999999999999"})
            QVERIFY2(!parseCustomBaud(QString::fromUtf8(refused)), refused);
        // Digits of other scripts are no decimal digits here.
        QVERIFY(!parseCustomBaud(QString::fromUtf8("\xd9\xa9\xd9\xa6\xd9\xa0\xd9\xa0")));

        QCOMPARE(customBaudErrorText(), rangeMessage);
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        QCOMPARE(customBaudErrorText(), QStringLiteral("Enter a number between 50 and 12.000.000."));
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }

    void aCustomBaudIsAppliedByApplyAndByEnterAndRefusedTextStaysWithTheMessage()
    {
        auto model = makeModel();
        PortSettingsView view(*model);
        view.show();
        auto* field = view.findChild<QLineEdit*>();
        auto* apply = withText<QPushButton>(view, "Apply");
        QVERIFY(field && apply);
        QCOMPARE(field->placeholderText(), QString("e.g. 31250"));
        QVERIFY(!apply->isEnabled());

        QTest::keyClicks(field, "76800");
        QVERIFY(apply->isEnabled());
        QTest::mouseClick(apply, Qt::LeftButton);
        QCOMPARE(model->line().baudRate.value(), 76800);
        QCOMPARE(field->text(), QString());
        QVERIFY(!apply->isEnabled());

        QTest::keyClicks(field, " 250000 ");
        QTest::keyClick(field, Qt::Key_Return);
        QCOMPARE(model->line().baudRate.value(), 250000);
        QCOMPARE(field->text(), QString());

        for (const QString refused : {"49", "12000001", "abc", "1e6"}) {
            field->clear();
            QTest::keyClicks(field, refused);
            QTest::keyClick(field, Qt::Key_Return);
            auto* error = withText<QLabel>(view, rangeMessage);
            QVERIFY2(error && !error->isHidden(), qPrintable(refused));
            QCOMPARE(field->text(), refused);
            QCOMPARE(model->line().baudRate.value(), 250000);
        }
        // Blanks alone are text too: Apply can be pressed, and the rate is refused.
        field->clear();
        QTest::keyClicks(field, "  ");
        QVERIFY(apply->isEnabled());

        field->clear();
        QTest::keyClicks(field, "1000000");
        QTest::mouseClick(apply, Qt::LeftButton);
        QCOMPARE(model->line().baudRate.value(), 1000000);
        QVERIFY(!withText<QLabel>(view, rangeMessage));
    }

    void theFieldAppliesItsTextWhenItLosesFocus()
    {
        auto model = makeModel();
        PortSettingsView view(*model);
        view.show();
        view.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&view));
        auto* field = view.findChild<QLineEdit*>();
        auto* defaults = withText<QPushButton>(view, "Default (8N1, no flow control)");
        field->setFocus();
        QTRY_VERIFY(field->hasFocus());
        QTest::keyClicks(field, "31250");
        defaults->setFocus();
        QTRY_VERIFY(!field->hasFocus());
        QCOMPARE(model->line().baudRate.value(), 31250);
        QCOMPARE(field->text(), QString());

        // An empty field losing focus leaves everything as it is.
        field->setFocus();
        QTRY_VERIFY(field->hasFocus());
        defaults->setFocus();
        QTRY_VERIFY(!field->hasFocus());
        QCOMPARE(model->line().baudRate.value(), 31250);
        QVERIFY(!withText<QLabel>(view, rangeMessage));
    }

    void theFramePickersFollowTheSessionAndTheDefaultsButtonRestores8N1()
    {
        auto model = makeModel();
        PortSettingsButton button(*model);
        QCOMPARE(button.text(), QString("8N1"));
        QCOMPARE(button.toolTip(), QString("Data bits, parity, stop bits and flow control"));
        auto& view = *button.settingsView();
        const auto pickers = view.findChildren<QComboBox*>();
        QCOMPARE(pickers.size(), 4);
        QCOMPARE(entries(pickers[0]), (QStringList{"5", "6", "7", "8"}));
        QCOMPARE(entries(pickers[1]), (QStringList{"None", "Even", "Odd"}));
        QCOMPARE(entries(pickers[2]), (QStringList{"1", "2"}));
        QCOMPARE(entries(pickers[3]), (QStringList{"None", "Hardware (RTS/CTS)", "Software (XON/XOFF)"}));

        // Changed elsewhere, e.g. by another tab's settings: the pickers and the title follow.
        model->line().dataBits.set(DataBits::seven);
        model->line().parity.set(Parity::even);
        model->line().stopBits.set(StopBits::two);
        model->line().flowControl.set(FlowControl::xonXoff);
        QCOMPARE(button.text(), QString("7E2"));
        QCOMPARE(pickers[0]->currentText(), QString("7"));
        QCOMPARE(pickers[1]->currentText(), QString("Even"));
        QCOMPARE(pickers[2]->currentText(), QString("2"));
        QCOMPARE(pickers[3]->currentText(), QString("Software (XON/XOFF)"));

        // Picked here: the session changes.
        emit pickers[0]->activated(pickers[0]->findText("5"));
        emit pickers[1]->activated(pickers[1]->findText("Odd"));
        emit pickers[3]->activated(pickers[3]->findText("Hardware (RTS/CTS)"));
        QCOMPARE(model->line().dataBits.value(), DataBits::five);
        QCOMPARE(model->line().parity.value(), Parity::odd);
        QCOMPARE(model->line().flowControl.value(), FlowControl::rtsCts);
        QCOMPARE(button.text(), QString("5O2"));

        QTest::mouseClick(withText<QPushButton>(view, "Default (8N1, no flow control)"), Qt::LeftButton);
        QCOMPARE(model->line().dataBits.value(), DataBits::eight);
        QCOMPARE(model->line().parity.value(), Parity::none);
        QCOMPARE(model->line().stopBits.value(), StopBits::one);
        QCOMPARE(model->line().flowControl.value(), FlowControl::none);
        QCOMPARE(button.text(), QString("8N1"));
        QCOMPARE(pickers[3]->currentText(), QString("None"));
    }

    void thePopupOpensFromItsButtonAppliesPendingTextOnCloseAndAReclickOnlyCloses()
    {
        auto model = makeModel();
        QWidget window;
        auto* button = new PortSettingsButton(*model, &window);
        window.resize(640, 480);
        button->move(20, 20);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto& popup = *button->popup();
        QSignalSpy closed(&popup, &Popup::closed);

        QTest::mouseClick(button, Qt::LeftButton);
        QTRY_VERIFY(popup.isVisible());
        QVERIFY(popup.geometry().top() >= button->mapToGlobal(QPoint(0, button->height())).y());
        auto* field = popup.findChild<QLineEdit*>();
        QTest::keyClicks(field, "76800");

        // A click on the window outside the popup closes it and applies the text.
        QLabel elsewhere(&window);
        elsewhere.setGeometry(500, 400, 100, 50);
        QVERIFY(!popup.geometry().intersects(QRect(elsewhere.mapToGlobal(QPoint(0, 0)), elsewhere.size())));
        elsewhere.show();
        clickThroughPopup(popup, elsewhere);
        QTRY_VERIFY(!popup.isVisible());
        QCOMPARE(closed.count(), 1);
        QCOMPARE(model->line().baudRate.value(), 76800);
        QCOMPARE(field->text(), QString());

        // Refused text is kept and its message shown when the popup opens again.
        QTest::mouseClick(button, Qt::LeftButton);
        QTRY_VERIFY(popup.isVisible());
        QTest::keyClicks(field, "abc");
        // A click on the popup's own button closes it for good instead of reopening it.
        clickThroughPopup(popup, *button);
        QTRY_VERIFY(!popup.isVisible());
        QTest::qWait(50);
        QVERIFY(!popup.isVisible());
        QCOMPARE(closed.count(), 2);
        QCOMPARE(model->line().baudRate.value(), 76800);
        QCOMPARE(field->text(), QString("abc"));
        QVERIFY(withText<QLabel>(*button->settingsView(), rangeMessage));

        QTest::mouseClick(button, Qt::LeftButton);
        QTRY_VERIFY(popup.isVisible());
        popup.toggle();
        QVERIFY(!popup.isVisible());
    }

    void aPopupGoesBelowItsAnchorOrAboveWhenThereIsNoRoomAndStaysOnTheScreen()
    {
        const QRect screen(0, 0, 1000, 800);
        QCOMPARE(popupPosition(QRect(100, 50, 80, 30), QSize(300, 400), screen), QPoint(100, 80));
        QCOMPARE(popupPosition(QRect(100, 700, 80, 30), QSize(300, 400), screen), QPoint(100, 300));
        // Exactly as much room as needed below still goes below.
        QCOMPARE(popupPosition(QRect(100, 370, 80, 30), QSize(300, 400), screen), QPoint(100, 400));
        QCOMPARE(popupPosition(QRect(900, 50, 80, 30), QSize(300, 400), screen), QPoint(700, 80));
        // Too tall for either side: the larger side wins.
        QCOMPARE(popupPosition(QRect(100, 300, 80, 30), QSize(300, 600), screen), QPoint(100, 330));
        QCOMPARE(popupPosition(QRect(100, 500, 80, 30), QSize(300, 600), screen), QPoint(100, -100));
    }

    void theReopenNoteAndTheModemMenuFollowTheConnection()
    {
        auto model = makeModel();
        PortSettingsView settingsView(*model);
        ModemLinesMenu menu(*model);
        auto* note = withText<QLabel>(settingsView, "Changes are applied immediately; the port is reopened.");
        QVERIFY(note);
        QVERIFY(note->isHidden());
        QCOMPARE(menu.text(), QString("DTR · RTS"));
        QVERIFY(!menu.isEnabled());
        QCOMPARE(menu.toolTip(), QString("Connect first to use DTR and RTS"));
        QStringList items;
        for (auto* action : menu.menu()->actions())
            items << (action->isSeparator() ? QString("—") : action->text());
        QCOMPARE(items,
            (QStringList{"DTR", "RTS", "—", "Reset Arduino (DTR pulse)", "Reset ESP32/ESP8266 (RTS pulse)",
                "Start ESP32/ESP8266 in bootloader"}));

        auto& connection = model->connectionStatus();
        connection.state.set(ConnectionState::connected);
        connection.modemLines.set(ModemLines{true, true});
        QVERIFY(!note->isHidden());
        QVERIFY(menu.isEnabled());
        QCOMPARE(menu.toolTip(), QString("DTR/RTS signals and resetting your board"));
        QCOMPARE(menu.text(), QString("DTR ●  RTS ●"));
        QVERIFY(menu.dtrAction()->isChecked());

        // The switch asks the session and shows what the port reads back, not what was asked for.
        menu.dtrAction()->trigger();
        QCOMPARE(model->actions, std::vector<std::string>{"steps DTR off"});
        QVERIFY(menu.dtrAction()->isChecked());
        connection.modemLines.set(ModemLines{false, true});
        QCOMPARE(menu.text(), QString("DTR ○  RTS ●"));
        QVERIFY(!menu.dtrAction()->isChecked());
        QVERIFY(menu.rtsAction()->isChecked());

        menu.rtsAction()->trigger();
        actionNamed(menu.menu()->actions(), "Reset Arduino (DTR pulse)")->trigger();
        QCOMPARE(model->actions,
            (std::vector<std::string>{"steps DTR off", "steps RTS off", "steps Reset Arduino (DTR pulse)"}));

        connection.state.set(ConnectionState::disconnected);
        connection.modemLines.set(std::nullopt);
        QCOMPARE(menu.text(), QString("DTR · RTS"));
        QVERIFY(!menu.isEnabled());
        QVERIFY(!menu.dtrAction()->isChecked());
        QVERIFY(note->isHidden());
    }

    void theSendOptionsShowTheModeAndLineEndingAndLockTheEndingsInHex()
    {
        auto model = makeModel();
        SendOptionsMenu options(*model);
        QCOMPARE(options.text(), QString("↵ LF"));
        QCOMPARE(options.toolTip(), QString("Appended to every message: New line (LF)"));
        QStringList endings;
        for (auto* action : options.lineEndings()->actions())
            endings << action->text();
        QCOMPARE(
            endings, (QStringList{"No line ending", "New line (LF)", "Carriage return (CR)", "Both NL & CR (CRLF)"}));
        QVERIFY(actionNamed(options.lineEndings()->actions(), "New line (LF)")->isChecked());
        QVERIFY(options.lineEndings()->isExclusive());

        actionNamed(options.lineEndings()->actions(), "No line ending")->trigger();
        QCOMPARE(model->composer().lineEnding.value(), LineEnding::none);
        QCOMPARE(options.text(), QString("↵ none"));
        QCOMPARE(options.toolTip(), QString("Appended to every message: No line ending"));
        model->composer().lineEnding.set(LineEnding::crlf);
        QCOMPARE(options.text(), QString("↵ CRLF"));
        QVERIFY(actionNamed(options.lineEndings()->actions(), "Both NL & CR (CRLF)")->isChecked());
        QVERIFY(!actionNamed(options.lineEndings()->actions(), "No line ending")->isChecked());

        actionNamed(options.sendModes()->actions(), "HEX")->trigger();
        QCOMPARE(model->composer().sendMode.value(), SendMode::hex);
        QCOMPARE(options.text(), QString("HEX"));
        QCOMPARE(options.toolTip(), QString("No line ending is added in HEX mode. Type 0D 0A yourself if needed."));
        for (auto* action : options.lineEndings()->actions())
            QVERIFY(!action->isEnabled());
        QVERIFY(actionNamed(options.sendModes()->actions(), "HEX")->isChecked());

        // Back to text, here from the menu bar: the previous line ending is still there.
        model->composer().sendMode.set(SendMode::text);
        QCOMPARE(options.text(), QString("↵ CRLF"));
        QVERIFY(actionNamed(options.sendModes()->actions(), "Text")->isChecked());
        for (auto* action : options.lineEndings()->actions())
            QVERIFY(action->isEnabled());
        model->composer().lineEnding.set(LineEnding::lf);
        QCOMPARE(options.text(), QString("↵ LF"));
        model->composer().lineEnding.set(LineEnding::cr);
        QCOMPARE(options.text(), QString("↵ CR"));
    }

    void theByteModeOptionsAreEnabledOnlyInTheModesTheyApplyTo()
    {
        auto model = makeModel();
        DisplayOptionsView view(*model);
        const auto pickers = view.findChildren<QComboBox*>();
        QCOMPARE(pickers.size(), 2);
        auto* bytesPerLine = pickers[0];
        auto* packetGap = pickers[1];
        auto* breakOnLF = withText<QCheckBox>(view, "New line after LF (0x0A)");
        QVERIFY(breakOnLF);

        struct Expected {
            DisplayMode mode;
            bool layout;
            bool gap;
        };
        for (const auto& [mode, layout, gap] :
            {Expected{DisplayMode::text, false, false}, Expected{DisplayMode::hex, true, true},
                Expected{DisplayMode::hexDump, true, true}, Expected{DisplayMode::decimal, true, true},
                Expected{DisplayMode::binary, true, true}, Expected{DisplayMode::asciiEscaped, false, true}}) {
            model->display().displayMode.set(mode);
            const auto name = std::string(rawValue(mode));
            QVERIFY2(bytesPerLine->isEnabled() == layout, name.c_str());
            QVERIFY2(breakOnLF->isEnabled() == layout, name.c_str());
            QVERIFY2(packetGap->isEnabled() == gap, name.c_str());
        }
    }

    void theDisplayOptionsWriteTheSessionAndFollowIt()
    {
        auto model = makeModel();
        DisplayOptionsButton button(*model);
        QCOMPARE(button.toolTip(), QString("Autoscroll, timestamp, echo and byte-mode options"));
        QCOMPARE(button.accessibleName(), QString("Display options"));
        auto& view = *button.optionsView();
        auto* autoscroll = withText<QCheckBox>(view, "Autoscroll");
        auto* timestamps = withText<QCheckBox>(view, "Show timestamp");
        auto* echo = withText<QCheckBox>(view, "Echo sent");
        auto* breakOnLF = withText<QCheckBox>(view, "New line after LF (0x0A)");
        QVERIFY(autoscroll && timestamps && echo && breakOnLF);
        QCOMPARE(echo->toolTip(), QString("Show sent messages in the output"));
        QVERIFY(withText<QLabel>(view, "Useful for binary protocols such as Modbus RTU: each packet on its own line."));
        QVERIFY(withText<QLabel>(view,
            "These options apply to HEX, dump, decimal and binary. In text mode lines follow the received line "
            "endings."));
        QVERIFY(autoscroll->isChecked());
        QVERIFY(!timestamps->isChecked());
        QVERIFY(echo->isChecked());

        button.show();
        QVERIFY(QTest::qWaitForWindowExposed(&button));
        QTest::mouseClick(&button, Qt::LeftButton);
        QTRY_VERIFY(button.popup()->isVisible());
        QVERIFY(view.isVisible());

        model->display().displayMode.set(DisplayMode::hex);
        // On the box itself: a check box takes clicks only on its indicator and label.
        for (auto* box : {autoscroll, timestamps, echo, breakOnLF})
            QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
        QVERIFY(!model->display().autoscroll.value());
        QVERIFY(model->display().showTimestamps.value());
        QVERIFY(!model->display().echoSent.value());
        QVERIFY(model->display().breakOnLF.value());

        // From the menu bar.
        model->display().autoscroll.set(true);
        model->display().breakOnLF.set(false);
        QVERIFY(autoscroll->isChecked());
        QVERIFY(!breakOnLF->isChecked());

        const auto pickers = view.findChildren<QComboBox*>();
        QCOMPARE(entries(pickers[0]), (QStringList{"8", "16", "32"}));
        QCOMPARE(entries(pickers[1]),
            (QStringList{"Off", "10 ms", "20 ms", "50 ms", "100 ms", "200 ms", "500 ms", "1000 ms"}));
        QCOMPARE(pickers[0]->currentText(), QString("16"));
        QCOMPARE(pickers[1]->currentText(), QString("Off"));
        emit pickers[0]->activated(pickers[0]->findText("32"));
        emit pickers[1]->activated(pickers[1]->findText("50 ms"));
        QCOMPARE(model->display().bytesPerLine.value(), 32);
        QCOMPARE(model->display().packetGapMs.value(), 50);
        model->display().packetGapMs.set(1000);
        model->display().bytesPerLine.set(8);
        QCOMPARE(pickers[1]->currentText(), QString("1000 ms"));
        QCOMPARE(pickers[0]->currentText(), QString("8"));

        button.popup()->toggle();
        QVERIFY(!button.popup()->isVisible());
    }
};

QTEST_MAIN(MonitorControlsTests)
#include "MonitorControlsTests.moc"

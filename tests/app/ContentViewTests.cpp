#include "app/common/Colours.h"
#include "app/common/PlatformText.h"
#include "app/monitor/ContentView.h"
#include "app/monitor/CountersText.h"
#include "app/monitor/DisplayModeBadge.h"
#include "app/monitor/OutputOverlays.h"
#include "app/monitor/OutputTextView.h"
#include "app/monitor/SendOptionsMenu.h"
#include "app/plot/PlotterView.h"
#include "tests/app/FakeSession.h"
#include "tests/app/WidgetTestHelpers.h"
#include "tests/helpers/PseudoTerminal.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QtTest>

#include <chrono>

using namespace velmora;
using velmora::testing::entries;
using velmora::testing::FakeSession;
using velmora::testing::usbBoard;
using namespace std::chrono_literals;

namespace {

// Puts text into the field the way a paste does: one edit with all of it.
void paste(QLineEdit* field, const QString& text)
{
    QApplication::clipboard()->setText(text);
    field->setFocus();
    field->selectAll();
    field->paste();
}

// The colour in the middle of the status dot, as drawn.
QColor dotColour(ContentView& view)
{
    return view.statusDot()->grab().toImage().pixelColor(5, 5);
}

} // namespace

class ContentViewTests : public QObject, velmora::testing::SessionFixture {
    Q_OBJECT

private slots:
    void init()
    {
        settings = InMemorySettingsStore();
        registry.ports.set({});
    }

    void thePortPickerListsPortsWithTheirStateAndKeepsARememberedAbsentPort()
    {
        auto model = makeModel();
        ContentView view(model);
        auto* picker = view.portPicker();
        QCOMPARE(entries(picker), QStringList{"No ports found"});

        registry.ports.set({usbBoard("/dev/ttyACM0"), {"/dev/ttyS0", std::nullopt, std::nullopt, std::nullopt}});
        QCOMPARE(model->line().selectedPath.value(), std::string("/dev/ttyACM0"));
        QCOMPARE(entries(picker), (QStringList{"/dev/ttyACM0 — Arduino Uno", "/dev/ttyS0"}));

        model->line().selectedPath.set("/dev/ttyUSB7");
        QCOMPARE(
            entries(picker), (QStringList{"/dev/ttyUSB7 (not connected)", "/dev/ttyACM0 — Arduino Uno", "/dev/ttyS0"}));
        QCOMPARE(picker->currentText(), QString("/dev/ttyUSB7 (not connected)"));

        model->line().selectedPath.set("");
        QCOMPARE(entries(picker).first(), QString("Select a port…"));
        picker->activated(2);
        QCOMPARE(model->line().selectedPath.value(), std::string("/dev/ttyS0"));
    }

    void aPortHeldByAnotherTabIsMarkedButStaysSelectable()
    {
        velmora::testing::PseudoTerminal board;
        registry.ports.set({{board.devicePath(), std::string("Uno"), 0x2341, 0x0043}});
        auto holder = makeModel();
        holder->line().selectedPath.set(board.devicePath());
        holder->connect();
        QCOMPARE(holder->connection().state.value(), ConnectionState::connected);

        auto model = makeModel();
        ContentView view(model);
        model->line().selectedPath.set(board.devicePath());
        const QString held = QString::fromStdString(board.devicePath()) + " — Arduino Uno (open in another tab)";
        QCOMPARE(entries(view.portPicker()), QStringList{held});
        QCOMPARE(view.portPicker()->currentText(), held);

        // The other tab lets go: the mark goes at once.
        holder->disconnect();
        holder.reset();
        registry.ports.set(registry.ports.value());
        QCOMPARE(
            entries(view.portPicker()), QStringList{QString::fromStdString(board.devicePath()) + " — Arduino Uno"});
    }

    void aTabThatAloneOwnsItsSessionTakesItDownAfterEveryPartThatShowsIt()
    {
        velmora::testing::PseudoTerminal board;
        std::weak_ptr<VelmoraModel> session;
        {
            auto made = makeModel();
            session = made;
            auto view = std::make_unique<ContentView>(std::move(made));
            view->model().display().showPlotter.set(true);
            view->model().line().selectedPath.set(board.devicePath());
            view->model().connect();
            view->show();
            QVERIFY(QTest::qWaitForWindowExposed(view.get()));
            board.writeToPort("t:1\n");
            QVERIFY(pump([&] { return view->model().reception().rxBytes.value() == 4; }));
        }
        QVERIFY(session.expired());
    }

    void aCustomBaudRateTakesItsPlaceInOrder()
    {
        auto model = makeModel();
        ContentView view(model);
        auto* picker = view.baudPicker();
        QCOMPARE(picker->count(), 20);
        QCOMPARE(picker->itemText(0), QString("300 baud"));
        model->line().baudRate.set(31250);
        QCOMPARE(picker->count(), 20);
        model->line().baudRate.set(76800);
        QCOMPARE(picker->count(), 21);
        const int custom = picker->findText("76800 baud");
        QCOMPARE(picker->itemText(custom - 1), QString("74880 baud"));
        QCOMPARE(picker->itemText(custom + 1), QString("115200 baud"));
        QCOMPARE(picker->currentIndex(), custom);
        picker->activated(picker->findText("2000000 baud"));
        QCOMPARE(model->line().baudRate.value(), 2000000);
        QCOMPARE(picker->count(), 20);
    }

    void pastedTextIsCutToWholeCharactersWithin4096Bytes()
    {
        QCOMPARE(
            cappedToUtf8Bytes(QString(4094, 'a') + QString::fromUtf8("\xF0\x9F\x98\x80"), 4096), QString(4094, 'a'));
        QCOMPARE(cappedToUtf8Bytes(QString("short"), 4096), QString("short"));

        auto model = makeModel();
        ContentView view(model);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        const struct {
            QString pasted;
            qsizetype kept;
        } cases[] = {
            {QString(5000, 'a'), 4096}, {QString(3000, QChar(0x00E9)), 2048}, {QString(2000, QChar(0x20AC)), 1365}};
        for (const auto& [pasted, kept] : cases) {
            paste(view.input(), pasted);
            QCOMPARE(view.input()->text().size(), kept);
            QCOMPARE(QString::fromStdString(model->composer().inputText.value()), pasted.left(kept));
        }
    }

    void theConnectButtonAndStatusFollowTheStateThroughConnectingAndWaiting()
    {
        auto model = makeModel();
        ContentView view(model);
        auto* button = view.connectButton();
        QCOMPARE(button->text(), QString("Connect"));
        QCOMPARE(button->toolTip(), QString("Connect (Ctrl+R)"));
        QVERIFY(!button->isEnabled());
        QCOMPARE(view.statusDot()->toolTip(), QString("Not connected"));
        QCOMPARE(dotColour(view), disconnectedGray);
        QCOMPARE(view.input()->placeholderText(), QString("Not connected — select a port and click Connect"));
        QVERIFY(!view.sendButton()->isEnabled());

        velmora::testing::PseudoTerminal board;
        registry.ports.set({{board.devicePath(), std::string("Uno"), 0x2341, 0x0043}});
        QVERIFY(button->isEnabled());
        button->click();
        QCOMPARE(model->connection().state.value(), ConnectionState::connected);
        QCOMPARE(button->text(), QString("Disconnect"));
        QCOMPARE(button->toolTip(), QString("Disconnect (Ctrl+R)"));
        QCOMPARE(dotColour(view), connectedGreen);
        QCOMPARE(view.input()->placeholderText(), QString("Message (Enter to send message to 'Arduino Uno')"));
        QVERIFY(view.sendButton()->isEnabled());
        QCOMPARE(view.windowTitleText(), QString("Arduino Uno – 9600 baud · Connected"));

        // The board vanishes: the tab waits for it, and Disconnect ends the waiting.
        board.closeMaster();
        QVERIFY(
            queue.runUntil([&] { return model->connection().state.value() == ConnectionState::waitingForDevice; }, 5s));
        QCOMPARE(dotColour(view), waitingYellow);
        QCOMPARE(view.statusDot()->toolTip(), QString("Waiting…"));
        QCOMPARE(button->text(), QString("Disconnect"));
        QCOMPARE(view.input()->placeholderText(), QString("Waiting for device…"));
        QVERIFY(!view.sendButton()->isEnabled());
        QCOMPARE(view.windowTitleText(), QString("Arduino Uno – Waiting…"));
        button->click();
        QCOMPARE(model->connection().state.value(), ConnectionState::disconnected);
        QCOMPARE(button->text(), QString("Connect"));
    }

    void hexInputShowsItsErrorLineAndLocksSend()
    {
        auto model = std::make_shared<FakeSession>();
        model->connectionStatus().state.set(ConnectionState::connected);
        ContentView view(model);
        model->composer().sendMode.set(SendMode::hex);
        QCOMPARE(view.sendOptions()->text(), QString("HEX"));
        QVERIFY(view.input()->placeholderText().startsWith("HEX bytes, e.g. 01 03 00 00 00 0A"));
        QTest::keyClicks(view.input(), "01 0G");
        QVERIFY(!view.inputError()->parentWidget()->isHidden());
        QCOMPARE(view.inputError()->text(), QString("'0G' is not a valid HEX value. Use 0–9 and A–F, e.g. 01 0A FF."));
        QVERIFY(!view.sendButton()->isEnabled());
        view.input()->clear();
        model->composer().inputText.set("");
        QVERIFY(view.inputError()->parentWidget()->isHidden());
        QVERIFY(view.sendButton()->isEnabled());
        QTest::keyClicks(view.input(), "01 0a");
        view.sendButton()->click();
        QCOMPARE(model->actions, std::vector<std::string>{"send 01 0a"});
        model->composer().sendMode.set(SendMode::text);
        QCOMPARE(view.sendOptions()->text(), QString("↵ LF"));
    }

    void theFooterShowsCountersInTheLocaleAndSaveOnlyWithSomethingToSave()
    {
        auto model = std::make_shared<FakeSession>();
        ContentView view(model);
        QCOMPARE(view.counters()->text(), QString("RX 0 B  ·  TX 0 B"));
        QVERIFY(!view.saveButton()->isEnabled());
        QCOMPARE(view.saveButton()->toolTip(), QString("Save output as text file (Ctrl+S)"));
        // Room for long counts from the start: a count gaining digits moves nothing.
        const QSize room = view.counters()->sizeHint();
        QVERIFY(
            room.width() >= view.counters()->fontMetrics().horizontalAdvance("RX 999,999,999 B  ·  TX 99,999,999 B"));

        // A status line alone is something to save.
        model->receiveStatus().outputIsEmpty.set(false);
        QVERIFY(view.saveButton()->isEnabled());
        model->receiveStatus().rxBytes.set(12345);
        model->sentBytes().set(7);
        QCOMPARE(view.counters()->text(), QString("RX 12,345 B  ·  TX 7 B"));
        QCOMPARE(view.counters()->sizeHint(), room);

        view.clearButton()->click();
        QCOMPARE(model->actions, std::vector<std::string>{"clear"});
    }

    void theDisplayPickerPlotterSwitchAndBadgeWriteAndFollowTheSession()
    {
        auto model = makeModel();
        ContentView view(model);
        view.resize(1000, 700);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QCOMPARE(entries(view.displayPicker()),
            (QStringList{
                "Text (UTF-8)", "HEX", "HEX + ASCII (dump)", "Decimal", "Binary", "ASCII with control codes"}));
        QVERIFY(view.overlays()->badge()->isHidden());
        view.displayPicker()->activated(1);
        QCOMPARE(model->display().displayMode.value(), DisplayMode::hex);
        QVERIFY(view.overlays()->badge()->isVisible());
        view.overlays()->badge()->click();
        QCOMPARE(model->display().displayMode.value(), DisplayMode::text);
        QCOMPARE(view.displayPicker()->currentText(), QString("Text (UTF-8)"));
        model->display().displayMode.set(DisplayMode::asciiEscaped);
        QCOMPARE(view.displayPicker()->currentIndex(), 5);

        QVERIFY(!view.plotterArea()->isVisible());
        QCOMPARE(
            view.plotterButton()->toolTip(), QString("Show numbers from the received data as a graph (Ctrl+Shift+L)"));
        view.plotterButton()->click();
        QVERIFY(model->display().showPlotter.value());
        QVERIFY(view.plotterArea()->isVisible());
        QVERIFY(view.plotterArea()->height() >= 160);
        QVERIFY(view.outputView().height() >= 120);
        model->display().showPlotter.set(false);
        QVERIFY(!view.plotterButton()->isChecked());
        QVERIFY(!view.plotterArea()->isVisible());
    }
};

QTEST_MAIN(ContentViewTests)
#include "ContentViewTests.moc"

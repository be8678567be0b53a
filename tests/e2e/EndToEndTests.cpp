// The whole application against simulated boards, the way a user meets it: the real shell and
// sessions on Qt's event loop, the real port discovery over udev, a settings file of its own,
// and boards behind a umockdev Arduino Uno (DTR/RTS and hot-plug observable) or a plain
// pseudo-terminal. Runs under umockdev's preload library (CTest sets LD_PRELOAD).
//
// One Uno serves every test (a process has one testbed); each test starts a fresh shell with a
// fresh settings file and leaves the Uno plugged in, quiet and closed.
#include "app/monitor/ContentView.h"
#include "app/monitor/ModemLinesMenu.h"
#include "app/monitor/SendOptionsMenu.h"
#include "app/platform/PortMonitor.h"
#include "app/platform/QtMainQueue.h"
#include "app/platform/QtSettingsStore.h"
#include "app/plot/PlotFormat.h"
#include "app/plot/PlotterView.h"
#include "app/shell/MonitorWindow.h"
#include "app/shell/Shell.h"
#include "core/serial/LineAttributes.h"
#include "core/serial/ModemLines.h"
#include "core/serial/SerialPortError.h"
#include "core/session/PortRegistry.h"
#include "core/text/Utf8.h"
#include "localization/L10n.h"
#include "tests/e2e/DeviceAccess.h"
#include "tests/helpers/CountingAlert.h"
#include "tests/helpers/Umockdev.h"
#include "tools/simboard/SimulatedBoard.h"

#include <QActionGroup>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <vector>

using namespace velmora;
using namespace std::chrono_literals;
using simboard::Behaviour;
using simboard::DeviceKind;
using simboard::ModemLineRequest;
using simboard::SimulatedBoard;
using velmora::testing::isFree;
using velmora::testing::sameAttributes;
using velmora::testing::terminalAttributes;

namespace {

// Generous: the machine is shared, and a replug waits for udev and the reconnect delay.
constexpr int timeoutMs = 15000;
const std::string unoPath = "/dev/ttyACM0";

QString qt(const std::string& text)
{
    return QString::fromStdString(text);
}

std::string shown(const Session& model)
{
    return utf16ToUtf8(model.output().storage().text());
}

std::string notice(const std::string& text)
{
    return "--- " + text + " ---\n";
}

// What the process holds: its open descriptors and threads, less the threads Qt's painting pool
// starts and retires as it pleases (idle ones leave after 30 s), each with the eventfd of its
// event dispatcher.
struct Holdings {
    std::size_t descriptors = 0;
    std::size_t threads = 0;
};

Holdings holdings()
{
    namespace fs = std::filesystem;
    Holdings held;
    std::size_t pooled = 0;
    for (const auto& task : fs::directory_iterator("/proc/self/task")) {
        ++held.threads;
        std::ifstream comm(task.path() / "comm");
        std::string name;
        if (std::getline(comm, name) && name == "Thread (pooled)")
            ++pooled;
    }
    held.descriptors =
        static_cast<std::size_t>(std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator()));
    held.descriptors -= pooled;
    held.threads -= pooled;
    return held;
}

// Input and output speed, exactly, however unusual the rate.
std::optional<std::pair<std::uint32_t, std::uint32_t>> exactSpeedsOf(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    LineAttributes attributes;
    const int code = LineAttributes::read(fd, attributes);
    ::close(fd);
    if (code != 0)
        return std::nullopt;
    return std::pair(attributes.inputSpeed(), attributes.outputSpeed());
}

// Picks the entry as the user does: the combo box reports it activated.
void choose(QComboBox* picker, int index)
{
    picker->setCurrentIndex(index);
    emit picker->activated(index);
}

QAction* actionWithText(QMenu* menu, const std::string& text)
{
    for (auto* action : menu->actions()) {
        if (action->text() == qt(text))
            return action;
    }
    return nullptr;
}

QAction* actionWithData(QActionGroup* group, int data)
{
    for (auto* action : group->actions()) {
        if (action->data().toInt() == data)
            return action;
    }
    return nullptr;
}

// Answers the session's error boxes as a user would and keeps their texts. Each box runs an
// event loop of its own, which would otherwise hold the test until it timed out.
class ErrorBoxes : public QObject {
public:
    ErrorBoxes()
    {
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, this, [this] {
            for (auto* widget : QApplication::topLevelWidgets()) {
                auto* box = qobject_cast<QMessageBox*>(widget);
                if (box && box->isVisible()) {
                    texts_.push_back(box->text().toStdString());
                    box->accept();
                }
            }
        });
        timer_.start();
    }

    std::vector<std::string> take() { return std::exchange(texts_, {}); }

private:
    QTimer timer_;
    std::vector<std::string> texts_;
};

} // namespace

class EndToEndTests : public QObject {
    Q_OBJECT

private:
    // A fresh shell over the process's registry, with a settings file of its own; the sessions
    // it makes are kept so that tests can look at them after their tabs are gone.
    Shell& startShell()
    {
        settingsDirectory = std::make_unique<QTemporaryDir>();
        settingsStores.push_back(std::make_unique<QtSettingsStore>(settingsDirectory->filePath("settings.json")));
        auto& settings = *settingsStores.back();
        shell = std::make_unique<Shell>(
            [this, &settings] {
                auto model = VelmoraModel::create({*mainQueue, settings, alert, *registry, nullptr});
                made.push_back(model);
                return model;
            },
            *registry);
        return *shell;
    }

    static bool activate(QWidget* window)
    {
        window->raise();
        window->activateWindow();
        return QTest::qWaitForWindowActive(window);
    }

    static bool waitFor(const std::function<bool()>& condition) { return QTest::qWaitFor(condition, timeoutMs); }

    // Clicks Connect and waits until the session is connected and the board sees it listening.
    bool clickConnect(ContentView* view, SimulatedBoard& board)
    {
        QTest::mouseClick(view->connectButton(), Qt::LeftButton);
        return waitFor([&] {
            return view->model().connection().state.value() == ConnectionState::connected && board.hasListener();
        });
    }

    // The texts of the error boxes shown next, once there are any.
    std::vector<std::string> nextErrorBoxes()
    {
        std::vector<std::string> boxes;
        waitFor([&] {
            boxes = errorBoxes->take();
            return !boxes.empty();
        });
        return boxes;
    }

    static bool outputEndsWith(const Session& model, const std::string& text)
    {
        return waitFor([&] { return shown(model).ends_with(text); });
    }

    static std::string connectedNotice(const std::string& path, const std::string& frame)
    {
        return notice(L10n::Status::connected(path, frame));
    }

    L10n::ScopedLanguage english{Language::en};
    // Never deleted, as in the program: the registry, which lives on, keeps posting to it.
    QtMainQueue* mainQueue = nullptr;
    PortRegistry* registry = nullptr;
    std::unique_ptr<PortMonitor> portMonitor;
    std::unique_ptr<SimulatedBoard> uno;
    std::unique_ptr<ErrorBoxes> errorBoxes;
    velmora::testing::CountingAlert alert;
    // Kept to the end: a closed tab's session may still be going away when the next test starts.
    std::vector<std::unique_ptr<QtSettingsStore>> settingsStores;
    std::unique_ptr<QTemporaryDir> settingsDirectory;
    std::unique_ptr<Shell> shell;
    std::vector<std::shared_ptr<VelmoraModel>> made;

private slots:
    void initTestCase()
    {
        QVERIFY2(velmora::testing::underUmockdevPreload(),
            "run under umockdev's preload library (CTest does), not against the real machine");
        // The testbed first: udev must see it from the registry's first scan on.
        SimulatedBoard::Options options;
        options.device = DeviceKind::umockdevUno;
        options.behaviour = Behaviour::quiet;
        options.linesPerSecond = 20;
        uno = std::make_unique<SimulatedBoard>(options);

        mainQueue = new QtMainQueue;
        registry = &PortRegistry::shared(*mainQueue);
        portMonitor = std::make_unique<PortMonitor>(*registry);
        QVERIFY(portMonitor->isWatching());
        errorBoxes = std::make_unique<ErrorBoxes>();
    }

    void init()
    {
        // Every test starts from the Uno alone in the port list, closed and quiet.
        QTRY_COMPARE_WITH_TIMEOUT(registry->ports.value().size(), std::size_t(1), timeoutMs);
        QCOMPARE(registry->ports.value().front().path, unoPath);
        QVERIFY(!uno->hasListener());
    }

    void cleanup()
    {
        if (shell) {
            for (auto* window : shell->windows())
                window->close();
            shell->shutDown();
            shell.reset();
        }
        made.clear();
        if (!uno->isPluggedIn())
            uno->plugIn();
        uno->setBehaviour(Behaviour::quiet);
        QTRY_VERIFY_WITH_TIMEOUT(!uno->hasListener(), timeoutMs);
        uno->takeReceived();
        // An error box nobody expected is a failure of the test that raised it.
        const auto unexpected = errorBoxes->take();
        QVERIFY2(unexpected.empty(), unexpected.empty() ? "" : unexpected.front().c_str());
    }

    void theUnoIsPickedAutomaticallyAndEachDisplayModeShowsAKnownLineExactly()
    {
        auto& app = startShell();
        auto* window = app.newWindow();
        auto* view = window->currentView();
        auto& model = view->model();

        // The only USB board is chosen without the user doing anything.
        QTRY_COMPARE_WITH_TIMEOUT(model.line().selectedPath.value(), unoPath, timeoutMs);
        const auto& unoInfo = registry->ports.value().front();
        QCOMPARE(view->portPicker()->currentData().toString(), qt(unoPath));
        QCOMPARE(view->portPicker()->currentText(), qt(unoInfo.menuTitle()));
        QVERIFY(view->connectButton()->isEnabled());
        QCOMPARE(view->connectButton()->text(), qt(L10n::Header::connect()));

        QVERIFY(clickConnect(view, *uno));
        QVERIFY(shown(model).ends_with(connectedNotice(unoPath, "9600 8N1")));
        QCOMPARE(view->connectButton()->text(), qt(L10n::Header::disconnect()));
        QCOMPARE(view->statusDot()->toolTip(), qt(L10n::State::connected()));
        QCOMPARE(
            window->windowTitle(), qt("Arduino Uno – " + L10n::Header::baud(9600) + " · " + L10n::State::connected()));

        // Without echo there is no direction marker, so each mode's rendering is all there is.
        model.display().echoSent.set(false);
        model.display().bytesPerLine.set(8);
        const std::string line = "T=21.5\r\n";
        const std::vector<std::pair<DisplayMode, std::string>> expected{
            {DisplayMode::text, "T=21.5\nT=21.5\n"},
            {DisplayMode::hex,
                "54 3D 32 31 2E 35 0D 0A\n"
                "54 3D 32 31 2E 35 0D 0A\n"},
            {DisplayMode::hexDump,
                "00000000  54 3D 32 31 2E 35 0D 0A  |T=21.5..|\n"
                "00000008  54 3D 32 31 2E 35 0D 0A  |T=21.5..|\n"},
            {DisplayMode::decimal,
                " 84  61  50  49  46  53  13  10\n"
                " 84  61  50  49  46  53  13  10\n"},
            {DisplayMode::binary,
                "01010100 00111101 00110010 00110001 00101110 00110101 00001101 00001010\n"
                "01010100 00111101 00110010 00110001 00101110 00110101 00001101 00001010\n"},
            {DisplayMode::asciiEscaped, "T=21.5<CR><LF>\nT=21.5<CR><LF>\n"},
        };
        // Backwards, so that every mode is a change from the one before, ending with text.
        for (auto it = expected.rbegin(); it != expected.rend(); ++it) {
            const auto& [mode, text] = *it;
            const int index = view->displayPicker()->findData(static_cast<int>(mode));
            QVERIFY(index >= 0);
            choose(view->displayPicker(), index);
            QCOMPARE(model.display().displayMode.value(), mode);
            QTest::mouseClick(view->clearButton(), Qt::LeftButton);
            QCOMPARE(shown(model), std::string());
            uno->send(line + line);
            QTRY_COMPARE_WITH_TIMEOUT(shown(model), text, timeoutMs);
            QCOMPARE(model.reception().rxBytes.value(), std::int64_t(2 * line.size()));
        }
        QCOMPARE(model.display().displayMode.value(), DisplayMode::text);
    }

    void theSwitchedOnPlotterShowsEveryNamedValueWithItsLatestReading()
    {
        auto& app = startShell();
        auto* view = app.newWindow()->currentView();
        auto& model = view->model();
        QTRY_COMPARE_WITH_TIMEOUT(model.line().selectedPath.value(), unoPath, timeoutMs);
        QVERIFY(clickConnect(view, *uno));

        QVERIFY(!view->plotterArea()->isVisible());
        QTest::mouseClick(view->plotterButton(), Qt::LeftButton);
        QVERIFY(model.display().showPlotter.value());
        QVERIFY(view->plotterArea()->isVisible());
        QCOMPARE(view->plotterArea()->content(), PlotterView::Content::empty);

        uno->setBehaviour(Behaviour::sensor);
        const auto names = [&] {
            std::vector<std::string> list;
            for (const auto& series : model.plot().series())
                list.push_back(series.name);
            return list;
        };
        const std::vector<std::string> sensorNames{"temp", "hum", "pressure"};
        QTRY_COMPARE_WITH_TIMEOUT(names(), sensorNames, timeoutMs);
        QTRY_VERIFY_WITH_TIMEOUT(model.plot().series().front().points.size() >= 3, timeoutMs);

        // Stopped after whole lines, then one reading the test knows.
        uno->setBehaviour(Behaviour::quiet);
        uno->send("temp:30.5,hum:55,pressure:1000.25\n");
        const std::vector<double> known{30.5, 55, 1000.25};
        const auto latest = [&] {
            std::vector<double> values;
            for (const auto& series : model.plot().series())
                values.push_back(series.points.empty() ? -1 : series.points.back().y);
            return values;
        };
        QTRY_COMPARE_WITH_TIMEOUT(latest(), known, timeoutMs);
        QVERIFY(shown(model).ends_with("temp:30.5,hum:55,pressure:1000.25\n"));
        QCOMPARE(names(), sensorNames);

        // The view draws them: the shared chart, and a legend entry per series with its reading.
        auto* plotter = view->plotterArea();
        QTRY_COMPARE_WITH_TIMEOUT(plotter->content(), PlotterView::Content::shared, timeoutMs);
        QTRY_COMPARE_WITH_TIMEOUT(plotter->legendEntries().size(), std::size_t(3), timeoutMs);
        for (std::size_t i = 0; i < known.size(); ++i) {
            QCOMPARE(plotter->legendEntries()[i]->name(), qt(sensorNames[i]));
            QTRY_COMPARE_WITH_TIMEOUT(plotter->legendEntries()[i]->value(), formatValue(known[i]), timeoutMs);
        }

        // Switched off, the plotter goes and ignores what follows.
        QTest::mouseClick(view->plotterButton(), Qt::LeftButton);
        QVERIFY(!model.display().showPlotter.value());
        QVERIFY(!plotter->isVisible());
        uno->send("temp:99,hum:1,pressure:2\n");
        QVERIFY(outputEndsWith(model, "temp:99,hum:1,pressure:2\n"));
        QCOMPARE(latest(), known);
    }

    void textAndHexReachTheBoardAndEchoAndTheSavedFileHoldsTheOutput()
    {
        auto& app = startShell();
        auto* view = app.newWindow()->currentView();
        auto& model = view->model();
        QTRY_COMPARE_WITH_TIMEOUT(model.line().selectedPath.value(), unoPath, timeoutMs);
        QVERIFY(clickConnect(view, *uno));
        QVERIFY(model.display().echoSent.value());
        model.clearOutput();

        // Typed and sent with Return: the line and its ending reach the board, which answers.
        QTest::keyClicks(view->input(), "hello");
        QCOMPARE(model.composer().inputText.value(), std::string("hello"));
        QTest::keyClick(view->input(), Qt::Key_Return);
        QVERIFY(uno->waitForReceived("hello\n", 5s));
        QCOMPARE(uno->takeReceived(), std::string("hello\n"));
        QCOMPARE(view->input()->text(), QString());
        QVERIFY(outputEndsWith(model, "\u2190 echo: hello\n"));
        QCOMPARE(shown(model), std::string("\u2192 hello<LF>\n\u2190 echo: hello\n"));

        // HEX: whatever the spacing typed, the bytes go out as they are and echo one way.
        auto* hex = actionWithData(view->sendOptions()->sendModes(), static_cast<int>(SendMode::hex));
        QVERIFY(hex);
        hex->trigger();
        QCOMPARE(model.composer().sendMode.value(), SendMode::hex);
        QTest::keyClicks(view->input(), "6869 0d");
        QVERIFY(view->sendButton()->isEnabled());
        QTest::mouseClick(view->sendButton(), Qt::LeftButton);
        QVERIFY(uno->waitForReceived("hi\r", 5s));
        QCOMPARE(uno->takeReceived(), std::string("hi\r"));
        QVERIFY(outputEndsWith(model, "\u2190 echo: hi\n"));
        const std::string expected = "\u2192 hello<LF>\n\u2190 echo: hello\n\u2192 68 69 0D\n\u2190 echo: hi\n";
        QCOMPARE(shown(model), expected);
        QTRY_COMPARE_WITH_TIMEOUT(model.txBytes().value(), std::int64_t(6 + 3), timeoutMs);
        QCOMPARE(model.reception().rxBytes.value(), std::int64_t(12 + 9));

        // Bad HEX is held back: Send is off and nothing reaches the board.
        QTest::keyClicks(view->input(), "6G");
        QVERIFY(!view->sendButton()->isEnabled());
        QVERIFY(!view->inputError()->text().isEmpty());
        QTest::keyClick(view->input(), Qt::Key_Return);
        QCOMPARE(alert.count, 1);
        QTest::qWait(200);
        QCOMPARE(uno->takeReceived(), std::string());
        alert.count = 0;

        // Saved through the session: the file holds exactly the output.
        QVERIFY(view->saveButton()->isEnabled());
        QTemporaryDir folder;
        const QString target = folder.filePath("output.txt");
        model.saveOutput(target.toStdString());
        QFile file(target);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll().toStdString(), expected);
        QCOMPARE(model.errorMessage().value(), std::nullopt);

        // A folder that is not there: the user is told, nothing is written.
        const QString missing = folder.filePath("gone/output.txt");
        model.saveOutput(missing.toStdString());
        QCOMPARE(nextErrorBoxes(), std::vector<std::string>{L10n::Errors::saveFailed(std::strerror(ENOENT))});
        QVERIFY(!QFile::exists(missing));
    }

    void theResetMenuPulsesDtrAndTheSwitchesDriveTheLines()
    {
        auto& app = startShell();
        auto* view = app.newWindow()->currentView();
        auto& model = view->model();
        QTRY_COMPARE_WITH_TIMEOUT(model.line().selectedPath.value(), unoPath, timeoutMs);
        QVERIFY(clickConnect(view, *uno));
        auto* lines = view->modemLinesMenu();
        QTRY_COMPARE_WITH_TIMEOUT(lines->text(), modemLinesTitle(ModemLines{true, true}), timeoutMs);
        QVERIFY(lines->isEnabled());

        const auto logBefore = uno->modemLineLog().size();
        const auto resetsBefore = uno->resets();
        auto* reset = actionWithText(lines->menu(), title(ResetSequence::arduino));
        QVERIFY(reset);
        reset->trigger();
        QVERIFY(outputEndsWith(model, notice(title(ResetSequence::arduino))));

        const auto log = uno->modemLineLog();
        QCOMPARE(log.size(), logBefore + 2);
        const auto& low = log[logBefore];
        const auto& high = log[logBefore + 1];
        QCOMPARE(std::pair(low.dtr, low.rts), std::pair(false, true));
        QCOMPARE(std::pair(high.dtr, high.rts), std::pair(true, true));
        QVERIFY(high.time - low.time >= 100ms);
        QCOMPARE(uno->resets(), resetsBefore + 1);
        QCOMPARE(uno->modemLines(), TIOCM_DTR | TIOCM_RTS);
        QCOMPARE(lines->text(), modemLinesTitle(ModemLines{true, true}));

        // The switches: DTR off holds the board, on again restarts it as the pulse did.
        lines->dtrAction()->trigger();
        QVERIFY(outputEndsWith(model, notice(L10n::Lines::dtrChanged(false))));
        QCOMPARE(uno->modemLines(), TIOCM_RTS);
        QCOMPARE(lines->text(), modemLinesTitle(ModemLines{false, true}));
        QVERIFY(!lines->dtrAction()->isChecked());
        lines->dtrAction()->trigger();
        QVERIFY(outputEndsWith(model, notice(L10n::Lines::dtrChanged(true))));
        QCOMPARE(uno->modemLines(), TIOCM_DTR | TIOCM_RTS);
        QCOMPARE(uno->resets(), resetsBefore + 2);
        lines->rtsAction()->trigger();
        QVERIFY(outputEndsWith(model, notice(L10n::Lines::rtsChanged(false))));
        QCOMPARE(uno->modemLines(), TIOCM_DTR);
        QCOMPARE(uno->resets(), resetsBefore + 2);
        QCOMPARE(lines->text(), modemLinesTitle(ModemLines{true, false}));
    }

    void anUnpluggedBoardIsAwaitedAndReconnectedWithTheSameSettings()
    {
        auto& app = startShell();
        auto* window = app.newWindow();
        auto* view = window->currentView();
        auto& model = view->model();
        QTRY_COMPARE_WITH_TIMEOUT(model.line().selectedPath.value(), unoPath, timeoutMs);
        QVERIFY(clickConnect(view, *uno));

        // A rate outside the standard list and a 7E1 frame; each change reopens the port.
        model.line().baudRate.set(31337);
        model.line().dataBits.set(DataBits::seven);
        model.line().parity.set(Parity::even);
        QCOMPARE(model.connection().state.value(), ConnectionState::connected);
        QVERIFY(shown(model).ends_with(connectedNotice(unoPath, "31337 7E1")));
        QCOMPARE(view->baudPicker()->currentText(), qt(L10n::Header::baud(31337)));
        // The device runs at the exact rate; the frame shows in the session and its status line
        // only, as a pseudo-terminal keeps eight bits without parity whatever it is asked for.
        // Only root gets past the application's exclusive open to look.
        const auto checkLine = [&] {
            const auto speeds = exactSpeedsOf(unoPath);
            if (!speeds)
                return ::geteuid() != 0;
            return *speeds == std::pair<std::uint32_t, std::uint32_t>(31337, 31337);
        };
        QVERIFY(checkLine());

        uno->unplug();
        QTRY_COMPARE_WITH_TIMEOUT(model.connection().state.value(), ConnectionState::waitingForDevice, timeoutMs);
        QVERIFY(outputEndsWith(
            model, notice(L10n::Status::waitingForDevice(SerialPortError::deviceDisconnected().message()))));
        // Yellow, "waiting" everywhere, and Disconnect stays offered.
        QVERIFY(view->statusDot()->styleSheet().contains(QStringLiteral("#FFCC00")));
        QCOMPARE(view->statusDot()->toolTip(), qt(L10n::State::waiting()));
        QVERIFY(window->windowTitle().endsWith(qt(L10n::State::waiting())));
        QCOMPARE(view->connectButton()->text(), qt(L10n::Header::disconnect()));
        QCOMPARE(view->input()->placeholderText(), qt(L10n::Input::promptWaiting()));
        QTRY_VERIFY_WITH_TIMEOUT(registry->ports.value().empty(), timeoutMs);
        QCOMPARE(model.connection().state.value(), ConnectionState::waitingForDevice);
        QVERIFY(registry->isHeldByAnotherSession(unoPath, nullptr));

        uno->plugIn();
        QTRY_COMPARE_WITH_TIMEOUT(model.connection().state.value(), ConnectionState::connected, timeoutMs);
        QVERIFY(shown(model).ends_with(connectedNotice(unoPath, "31337 7E1")));
        QCOMPARE(model.line().baudRate.value(), std::int64_t(31337));
        QCOMPARE(model.line().dataBits.value(), DataBits::seven);
        QCOMPARE(model.line().parity.value(), Parity::even);
        QCOMPARE(view->statusDot()->toolTip(), qt(L10n::State::connected()));
        QVERIFY(checkLine());

        // And the link works both ways again.
        QTRY_VERIFY_WITH_TIMEOUT(uno->hasListener(), timeoutMs);
        uno->send("back\n");
        QVERIFY(outputEndsWith(model, "\u2190 back\n"));
        model.composer().inputText.set("ping");
        model.send();
        QVERIFY(uno->waitForReceived("ping\n", 5s));
        QVERIFY(outputEndsWith(model, "\u2190 echo: ping\n"));
    }

    void thirtyReplugsLeaveNoDescriptorOrThreadBehind()
    {
        constexpr int cycles = 30;
        auto& app = startShell();
        auto* view = app.newWindow()->currentView();
        auto& model = view->model();
        QTRY_COMPARE_WITH_TIMEOUT(model.line().selectedPath.value(), unoPath, timeoutMs);
        QVERIFY(clickConnect(view, *uno));
        const Holdings before = holdings();

        for (int cycle = 0; cycle < cycles; ++cycle) {
            uno->unplug();
            QTRY_COMPARE_WITH_TIMEOUT(model.connection().state.value(), ConnectionState::waitingForDevice, timeoutMs);
            uno->plugIn();
            QTRY_VERIFY_WITH_TIMEOUT(
                model.connection().state.value() == ConnectionState::connected && uno->hasListener(), timeoutMs);
        }
        // A closed port's I/O thread may still be ending as the next one opens.
        QTRY_COMPARE_WITH_TIMEOUT(holdings().descriptors, before.descriptors, timeoutMs);
        QTRY_COMPARE_WITH_TIMEOUT(holdings().threads, before.threads, timeoutMs);
        uno->send("still here\n");
        QVERIFY(outputEndsWith(model, "\u2190 still here\n"));
    }

    void aSecondTabIsRefusedThePortTheFirstHolds()
    {
        auto& app = startShell();
        auto* window = app.newWindow();
        auto* first = window->currentView();
        QTRY_COMPARE_WITH_TIMEOUT(first->model().line().selectedPath.value(), unoPath, timeoutMs);
        QVERIFY(clickConnect(first, *uno));

        auto* second = app.newTab();
        QCOMPARE(window->tabCount(), 2);
        auto& model = second->model();
        // A new tab starts from the last settings, the Uno among them, marked as taken.
        QCOMPARE(model.line().selectedPath.value(), unoPath);
        QVERIFY(model.isHeldByAnotherSession(unoPath));
        auto* picker = second->portPicker();
        const int index = picker->findData(qt(unoPath));
        QVERIFY(index >= 0);
        QCOMPARE(picker->itemText(index),
            qt(L10n::Header::portInUseInOtherTab(registry->ports.value().front().menuTitle())));

        QCOMPARE(picker->currentIndex(), index);
        QVERIFY(second->connectButton()->isEnabled());

        // Connecting anyway: the device's exclusive open refuses, and the user is told.
        const std::string before = shown(model);
        QTest::mouseClick(second->connectButton(), Qt::LeftButton);
        QCOMPARE(model.connection().state.value(), ConnectionState::disconnected);
        QCOMPARE(nextErrorBoxes(), std::vector<std::string>{L10n::Errors::busy(unoPath)});
        QCOMPARE(shown(model), before);

        // The first tab never noticed.
        QCOMPARE(first->model().connection().state.value(), ConnectionState::connected);
        uno->send("still first\n");
        QVERIFY(outputEndsWith(first->model(), "\u2190 still first\n"));
        QVERIFY(shown(model).find("still first") == std::string::npos);

        // Once the first lets go, the second gets it.
        QTest::mouseClick(first->connectButton(), Qt::LeftButton);
        QCOMPARE(first->model().connection().state.value(), ConnectionState::disconnected);
        QVERIFY(!model.isHeldByAnotherSession(unoPath));
        QVERIFY(clickConnect(second, *uno));
        QVERIFY(shown(model).ends_with(connectedNotice(unoPath, "9600 8N1")));
        QVERIFY(errorBoxes->take().empty());
    }

    // Last: quitting asks the application to end its event loop.
    void quittingGivesTheUnoBackAsItWas()
    {
        const auto before = terminalAttributes(unoPath);
        QVERIFY(before);
        QTRY_VERIFY_WITH_TIMEOUT(!uno->hasListener(), timeoutMs);

        auto& app = startShell();
        auto* window = app.newWindow();
        auto* view = window->currentView();
        QTRY_COMPARE_WITH_TIMEOUT(view->model().line().selectedPath.value(), unoPath, timeoutMs);
        view->model().line().baudRate.set(115200);
        QVERIFY(activate(window));
        QTest::keyClick(window, Qt::Key_R, Qt::ControlModifier);
        QTRY_COMPARE_WITH_TIMEOUT(view->model().connection().state.value(), ConnectionState::connected, timeoutMs);
        QTRY_VERIFY_WITH_TIMEOUT(uno->hasListener(), timeoutMs);
        uno->send("uno here\n");
        QVERIFY(outputEndsWith(view->model(), "\u2190 uno here\n"));
        // Connected, the lines are the application's (only root can look past its exclusive open).
        if (const auto during = terminalAttributes(unoPath))
            QVERIFY(!sameAttributes(*during, *before));
        else
            QVERIFY(::geteuid() != 0);
        app.newTab();
        QCOMPARE(made.size(), std::size_t(2));
        const std::vector<std::shared_ptr<VelmoraModel>> sessions = made;

        app.quit();
        QTRY_VERIFY_WITH_TIMEOUT(app.windows().empty(), timeoutMs);
        QCOMPARE(sessions[0]->connection().state.value(), ConnectionState::disconnected);
        QVERIFY(shown(*sessions[0]).ends_with(notice(L10n::Status::closed())));
        QCOMPARE(sessions[1]->connection().state.value(), ConnectionState::disconnected);

        // Closed, unlocked and with its terminal attributes as they were.
        QTRY_VERIFY_WITH_TIMEOUT(!uno->hasListener(), timeoutMs);
        QVERIFY(!registry->isHeldByAnotherSession(unoPath, nullptr));
        QVERIFY(isFree(unoPath));
        const auto after = terminalAttributes(unoPath);
        QVERIFY(after);
        QVERIFY(sameAttributes(*after, *before));
    }
};

QTEST_MAIN(EndToEndTests)
#include "EndToEndTests.moc"

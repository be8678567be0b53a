// The whole application against two simulated boards on plain pseudo-terminals, without
// umockdev: with a testbed in the process its preload refuses the exclusive open and the exact
// line settings on any pseudo-terminal outside it, so two boards at once need a process of
// their own. The real shell and sessions on Qt's event loop, with a settings file of its own.
#include "app/monitor/ContentView.h"
#include "app/platform/PortMonitor.h"
#include "app/platform/QtMainQueue.h"
#include "app/platform/QtSettingsStore.h"
#include "app/shell/MonitorWindow.h"
#include "app/shell/Shell.h"
#include "core/session/PortRegistry.h"
#include "core/text/Utf8.h"
#include "localization/L10n.h"
#include "tests/e2e/DeviceAccess.h"
#include "tests/helpers/CountingAlert.h"
#include "tools/simboard/SimulatedBoard.h"

#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>
#include <string>
#include <vector>

using namespace velmora;
using simboard::Behaviour;
using simboard::SimulatedBoard;
using velmora::testing::isFree;
using velmora::testing::sameAttributes;
using velmora::testing::terminalAttributes;

namespace {

constexpr int timeoutMs = 15000;

std::string shown(VelmoraModel& model) { return utf16ToUtf8(model.output().storage().text()); }

} // namespace

class EndToEndPseudoTerminalTests : public QObject {
    Q_OBJECT

private:
    L10n::ScopedLanguage english{Language::en};
    velmora::testing::CountingAlert alert;

private slots:
    void quittingWithTwoConnectedTabsGivesBothDevicesBackAsTheyWere()
    {
        SimulatedBoard::Options options;
        options.behaviour = Behaviour::sensor;
        options.linesPerSecond = 50;
        SimulatedBoard first(options);
        options.behaviour = Behaviour::numbers;
        options.seed = 2;
        SimulatedBoard second(options);
        const std::vector<SimulatedBoard*> boards{&first, &second};
        std::vector<termios> before;
        for (auto* board : boards) {
            const auto attributes = terminalAttributes(board->devicePath());
            QVERIFY(attributes);
            before.push_back(*attributes);
        }
        QTRY_VERIFY_WITH_TIMEOUT(!first.hasListener() && !second.hasListener(), timeoutMs);

        // As the program wires it; the registry lives on, posting to the queue, which therefore
        // is never deleted.
        auto* mainQueue = new QtMainQueue;
        auto& registry = PortRegistry::shared(*mainQueue);
        PortMonitor portMonitor(registry);
        QTemporaryDir settingsDirectory;
        QtSettingsStore settings(settingsDirectory.filePath("settings.json"));
        std::vector<std::shared_ptr<VelmoraModel>> sessions;
        Shell shell(
            [&] {
                sessions.push_back(VelmoraModel::create({*mainQueue, settings, alert, registry, nullptr, nullptr}));
                return sessions.back();
            },
            registry);

        auto* window = shell.newWindow();
        std::vector<ContentView*> views{window->currentView(), shell.newTab()};
        QCOMPARE(window->tabCount(), 2);
        for (std::size_t i = 0; i < boards.size(); ++i) {
            // Pseudo-terminals are no USB devices: not listed, so the path is typed in.
            auto& model = views[i]->model();
            model.setSelectedPath(boards[i]->devicePath());
            model.setBaudRate(115200);
            QTest::mouseClick(views[i]->connectButton(), Qt::LeftButton);
            QTRY_COMPARE_WITH_TIMEOUT(model.state().value(), ConnectionState::connected, timeoutMs);
            QTRY_VERIFY_WITH_TIMEOUT(boards[i]->hasListener(), timeoutMs);
        }
        // Both deliver: sensor lines in one tab, plain numbers in the other.
        QTRY_VERIFY_WITH_TIMEOUT(shown(views[0]->model()).find("\u2190 temp:") != std::string::npos, timeoutMs);
        QTRY_VERIFY_WITH_TIMEOUT(views[1]->model().rxBytes().value() > 20, timeoutMs);
        QVERIFY(shown(views[1]->model()).find("temp:") == std::string::npos);
        // Connected, the lines are the application's (only root can look past its exclusive open).
        for (std::size_t i = 0; i < boards.size(); ++i) {
            if (const auto during = terminalAttributes(boards[i]->devicePath()))
                QVERIFY(!sameAttributes(*during, before[i]));
            else
                QVERIFY(::geteuid() != 0);
        }

        shell.quit();
        QTRY_VERIFY_WITH_TIMEOUT(shell.windows().empty(), timeoutMs);
        QCOMPARE(sessions.size(), std::size_t(2));
        for (const auto& session : sessions) {
            QCOMPARE(session->state().value(), ConnectionState::disconnected);
            QVERIFY(shown(*session).ends_with("--- " + L10n::Status::closed() + " ---\n"));
        }

        // Both devices closed, unlocked and with their terminal attributes as they were.
        QTRY_VERIFY_WITH_TIMEOUT(!first.hasListener() && !second.hasListener(), timeoutMs);
        for (std::size_t i = 0; i < boards.size(); ++i) {
            const std::string path = boards[i]->devicePath();
            QVERIFY(!registry.isHeldByAnotherSession(path, nullptr));
            QVERIFY(isFree(path));
            const auto after = terminalAttributes(path);
            QVERIFY(after);
            QVERIFY(sameAttributes(*after, before[i]));
        }
    }
};

QTEST_MAIN(EndToEndPseudoTerminalTests)
#include "EndToEndPseudoTerminalTests.moc"

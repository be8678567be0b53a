#include "app/monitor/ContentView.h"
#include "app/shell/Shell.h"
#include "core/exec/ManualMainQueue.h"
#include "core/platform/InMemorySettingsStore.h"
#include "core/text/Utf8.h"
#include "localization/L10n.h"
#include "tests/helpers/CountingAlert.h"
#include "tests/helpers/PseudoTerminal.h"

#include <QTabWidget>
#include <QtTest>

using namespace velmora;

class ShellTests : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<Shell> makeShell()
    {
        return std::make_unique<Shell>(
            [this] { return VelmoraModel::create({queue, settings, alert, registry, nullptr, nullptr}); }, registry);
    }

    static std::string shown(VelmoraModel& model) { return utf16ToUtf8(model.output().storage().text()); }

    L10n::ScopedLanguage english{Language::en};
    ManualMainQueue queue;
    InMemorySettingsStore settings;
    velmora::testing::CountingAlert alert;
    PortRegistry registry{queue, nullptr};

private slots:
    void newTabJoinsTheWindowUsedLastAndNewWindowOpensASeparateOne()
    {
        auto shell = makeShell();
        auto* first = shell->newWindow();
        QCOMPARE(first->tabCount(), 1);
        shell->newTab();
        QCOMPARE(first->tabCount(), 2);
        QCOMPARE(first->tabs()->currentIndex(), 1);

        auto* second = shell->newWindow();
        QVERIFY(second != first);
        QCOMPARE(shell->windows().size(), std::size_t(2));
        shell->newTab();
        QCOMPARE(second->tabCount(), 2);
        QCOMPARE(first->tabCount(), 2);

        // Each tab has a session of its own.
        auto* a = qobject_cast<ContentView*>(first->tabs()->widget(0));
        auto* b = qobject_cast<ContentView*>(first->tabs()->widget(1));
        QVERIFY(&a->model() != &b->model());
        first->close();
        second->close();
    }

    void closingAConnectedTabFreesItsPortForAnotherTabAtOnce()
    {
        velmora::testing::PseudoTerminal board;
        auto shell = makeShell();
        auto* window = shell->newWindow();
        auto& first = window->currentView()->model();
        first.setSelectedPath(board.devicePath());
        first.connect();
        QCOMPARE(first.state().value(), ConnectionState::connected);
        auto& second = shell->newTab()->model();
        QVERIFY(second.isHeldByAnotherSession(board.devicePath()));

        window->closeTab(0);
        QCOMPARE(window->tabCount(), 1);
        QVERIFY(!second.isHeldByAnotherSession(board.devicePath()));
        second.setSelectedPath(board.devicePath());
        second.connect();
        QCOMPARE(second.state().value(), ConnectionState::connected);

        // Closing the last tab closes the window.
        QPointer<MonitorWindow> guard(window);
        window->closeTab(0);
        QTRY_VERIFY(guard.isNull());
    }

    void shuttingDownDisconnectsEverySessionOfEveryWindow()
    {
        velmora::testing::PseudoTerminal boardA;
        velmora::testing::PseudoTerminal boardB;
        auto shell = makeShell();
        auto& a = shell->newWindow()->currentView()->model();
        auto& b = shell->newWindow()->currentView()->model();
        a.setSelectedPath(boardA.devicePath());
        a.connect();
        b.setSelectedPath(boardB.devicePath());
        b.connect();
        QCOMPARE(a.state().value(), ConnectionState::connected);
        QCOMPARE(b.state().value(), ConnectionState::connected);
        shell->shutDown();
        QCOMPARE(a.state().value(), ConnectionState::disconnected);
        QCOMPARE(b.state().value(), ConnectionState::disconnected);
        QVERIFY(shown(a).ends_with("--- Connection closed ---\n"));
        QVERIFY(shown(b).ends_with("--- Connection closed ---\n"));
        for (auto* window : shell->windows())
            window->close();
    }
};

QTEST_MAIN(ShellTests)
#include "ShellTests.moc"

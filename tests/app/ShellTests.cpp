#include "app/help/HelpWindow.h"
#include "app/monitor/ContentView.h"
#include "app/monitor/OutputTextView.h"
#include "app/shell/MonitorTabBar.h"
#include "app/shell/Shell.h"
#include "core/pipeline/ReceiveCoalescer.h"
#include "tests/app/WidgetTestHelpers.h"
#include "tests/helpers/PseudoTerminal.h"

#include <QClipboard>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>
#include <QtTest>

#include <chrono>
#include <set>

using namespace velmora;
using velmora::testing::shown;
using namespace std::chrono_literals;

class ShellTests : public QObject, velmora::testing::SessionFixture {
    Q_OBJECT

private:
    std::unique_ptr<Shell> makeShell()
    {
        return std::make_unique<Shell>(
            [this] {
                auto model = makeModel();
                made.push_back(model);
                return model;
            },
            registry);
    }

    static void connectTo(Session& model, const std::string& path)
    {
        model.line().selectedPath.set(path);
        model.connect();
        QCOMPARE(model.connection().state.value(), ConnectionState::connected);
    }

    // Every command in the window's menus, by text.
    static std::vector<QAction*> commands(QMainWindow& window)
    {
        std::vector<QAction*> all;
        for (auto* menuAction : window.menuBar()->actions()) {
            // What the menu shows is brought up to date as it opens.
            emit menuAction->menu()->aboutToShow();
            for (auto* action : menuAction->menu()->actions()) {
                if (!action->isSeparator())
                    all.push_back(action);
            }
        }
        return all;
    }

    static QAction* command(QMainWindow& window, const std::string& text)
    {
        for (auto* action : commands(window)) {
            if (action->text() == QString::fromStdString(text))
                return action;
        }
        qWarning("no command %s", text.c_str());
        return nullptr;
    }

    static std::set<QString> enabledCommands(QMainWindow& window)
    {
        std::set<QString> enabled;
        for (auto* action : commands(window)) {
            if (action->isEnabled())
                enabled.insert(action->text());
        }
        return enabled;
    }

    static bool activate(QWidget* window)
    {
        window->raise();
        window->activateWindow();
        return QTest::qWaitForWindowActive(window);
    }

    static int helpWindowCount()
    {
        int count = 0;
        for (auto* widget : QApplication::topLevelWidgets())
            count += qobject_cast<HelpWindow*>(widget) != nullptr;
        return count;
    }

    static void closeAll(Shell& shell)
    {
        for (auto* window : shell.windows())
            window->close();
        if (shell.helpWindow())
            shell.helpWindow()->close();
    }

    std::vector<std::shared_ptr<VelmoraModel>> made;

private slots:
    void cleanup() { made.clear(); }

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

        // New Window from the menu of an active window still opens a separate one.
        QVERIFY(activate(first));
        command(*first, L10n::Menu::newWindow())->trigger();
        QCOMPARE(shell->windows().size(), std::size_t(3));
        QCOMPARE(first->tabCount(), 2);
        QCOMPARE(shell->windows().back()->tabCount(), 1);
        closeAll(*shell);
    }

    void newTabFromTheHelpWindowJoinsTheFrontMostMonitorWindowOrOpensOne()
    {
        auto shell = makeShell();
        auto* older = shell->newWindow();
        auto* newer = shell->newWindow();
        // The older window was in front last, though the newer one was opened after it.
        QVERIFY(activate(older));
        auto* help = shell->openHelp();
        QVERIFY(activate(help));
        command(*help, L10n::Menu::newTab())->trigger();
        QCOMPARE(older->tabCount(), 2);
        QCOMPARE(newer->tabCount(), 1);

        // Closing the last monitor window takes the help window with it, so the application quits.
        older->close();
        QVERIFY(help->isVisible());
        newer->close();
        QVERIFY(!help->isVisible());
        QTRY_VERIFY(shell->windows().empty());

        // With no monitor window at all, New Tab opens one.
        shell->openHelp();
        QVERIFY(activate(help));
        command(*help, L10n::Menu::newTab())->trigger();
        QCOMPARE(shell->windows().size(), std::size_t(1));
        QCOMPARE(shell->windows().front()->tabCount(), 1);
        closeAll(*shell);
    }

    void sessionCommandsAreDisabledInTheHelpWindowAndFollowTheSessionInAMonitorWindow()
    {
        velmora::testing::PseudoTerminal board;
        auto shell = makeShell();
        auto* window = shell->newWindow();
        auto* help = shell->openHelp();

        const std::set<QString> appCommands{QString::fromStdString(L10n::Menu::newTab()),
            QString::fromStdString(L10n::Menu::newWindow()), QString::fromStdString(L10n::Menu::quit()),
            QString::fromStdString(L10n::Help::windowTitle())};
        QCOMPARE(enabledCommands(*help), appCommands);
        QVERIFY(commands(*help).size() > appCommands.size() + 20);

        // A fresh tab with no port: everything but Connect and the line commands.
        auto enabled = enabledCommands(*window);
        QCOMPARE(enabled.size(), commands(*window).size() - 1 - 2 - allResetSequences.size());
        QVERIFY(!enabled.contains(QString::fromStdString(L10n::Header::connect())));
        QVERIFY(enabled.contains(QString::fromStdString(L10n::Menu::saveOutput())));
        QVERIFY(enabled.contains(QString::fromStdString(L10n::Menu::copy())));
        QVERIFY(!enabled.contains(QString::fromStdString(L10n::Lines::dtr())));

        // Connected: everything, and Connect has become Disconnect.
        connectTo(window->currentView()->model(), board.devicePath());
        QCOMPARE(enabledCommands(*window).size(), commands(*window).size());
        QVERIFY(command(*window, L10n::Header::disconnect()));
        // Still nothing in the help window, even with a live session elsewhere.
        QCOMPARE(enabledCommands(*help), appCommands);

        // The menus follow the current tab.
        shell->newTab();
        QVERIFY(command(*window, L10n::Header::connect()));
        QVERIFY(!command(*window, L10n::Lines::rts())->isEnabled());
        window->tabs()->setCurrentIndex(0);
        QVERIFY(command(*window, L10n::Lines::rts())->isEnabled());
        closeAll(*shell);
    }

    void theHelpCommandOpensOneHelpWindowAndBringsItBack()
    {
        auto shell = makeShell();
        auto* window = shell->newWindow();
        QVERIFY(activate(window));
        QVERIFY(!shell->helpWindow());

        QTest::keyClick(window, Qt::Key_F1);
        auto* help = shell->helpWindow();
        QVERIFY(help);
        QVERIFY(help->isVisible());
        QCOMPARE(help->windowTitle(), QString::fromStdString(L10n::Help::windowTitle()));
        QCOMPARE(help->size(), QSize(900, 640));
        QVERIFY(QTest::qWaitForWindowActive(help));

        // From the front monitor window again, with the help window behind it or closed.
        QVERIFY(activate(window));
        QTest::keyClick(window, Qt::Key_Question, Qt::ControlModifier);
        QCOMPARE(shell->helpWindow(), help);
        QVERIFY(QTest::qWaitForWindowActive(help));
        help->close();
        QVERIFY(activate(window));
        QTest::keyClick(window, Qt::Key_Slash, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(shell->helpWindow(), help);
        QVERIFY(help->isVisible());
        QCOMPARE(helpWindowCount(), 1);

        // The help window's own menu does the same.
        command(*help, L10n::Help::windowTitle())->trigger();
        QCOMPARE(shell->openHelp(), help);
        QCOMPARE(helpWindowCount(), 1);
        closeAll(*shell);
    }

    void movingATabToANewWindowTakesItsConnectedSessionAlong()
    {
        velmora::testing::PseudoTerminal board;
        auto shell = makeShell();
        auto* source = shell->newWindow();
        auto* view = source->currentView();
        auto& model = view->model();
        connectTo(model, board.devicePath());
        board.writeToPort("first line\n");
        QVERIFY(pump([&] { return shown(model).ends_with("first line\n"); }));
        const std::string before = shown(model);
        auto* other = shell->newTab();
        QCOMPARE(source->tabCount(), 2);
        const QString sourceTitle = other->windowTitleText();

        auto menu = source->tabBar()->contextMenu(0);
        QCOMPARE(menu->actions().size(), 1);
        QAction* move = menu->actions().front();
        QCOMPARE(move->text(), QString::fromStdString(L10n::Menu::moveTabToNewWindow()));
        QVERIFY(move->isEnabled());
        move->trigger();
        QTRY_COMPARE(shell->windows().size(), std::size_t(2));

        auto* moved = shell->windows().back();
        QVERIFY(moved != source);
        QCOMPARE(moved->tabCount(), 1);
        QCOMPARE(moved->currentView(), view);
        QCOMPARE(&moved->currentView()->model(), &model);
        QCOMPARE(model.connection().state.value(), ConnectionState::connected);
        QCOMPARE(shown(model), before);
        QCOMPARE(moved->windowTitle(), view->windowTitleText());
        QCOMPARE(source->tabCount(), 1);
        QCOMPARE(source->currentView(), other);
        QCOMPARE(source->windowTitle(), sourceTitle);

        // The connection still delivers, and the titles follow the session in its new window only.
        board.writeToPort("second line\n");
        QVERIFY(pump([&] { return shown(model).ends_with("second line\n"); }));
        model.disconnect();
        QVERIFY(moved->windowTitle().endsWith(QString::fromStdString(L10n::State::disconnected())));
        QCOMPARE(source->windowTitle(), sourceTitle);
        QCOMPARE(moved->tabs()->tabText(0), QString::fromStdString(model.title()));

        // The only tab of a window stays where it is.
        QVERIFY(!source->tabBar()->contextMenu(0)->actions().front()->isEnabled());
        QVERIFY(!shell->moveTabToNewWindow(source, 0));
        QCOMPARE(source->tabCount(), 1);
        QCOMPARE(shell->windows().size(), std::size_t(2));
        closeAll(*shell);
    }

    void draggingATabOutOfTheBarGivesItAWindowAtTheDropPoint()
    {
        auto shell = makeShell();
        auto* source = shell->newWindow();
        auto* stays = source->currentView();
        auto* leaves = shell->newTab();
        QVERIFY(activate(source));
        auto* bar = source->tabBar();
        QVERIFY(bar->isVisible());
        const QPoint grab = bar->tabRect(1).center();

        // Along the bar or just below it is not a tear-off.
        QTest::mousePress(bar, Qt::LeftButton, {}, grab);
        QTest::mouseRelease(bar, Qt::LeftButton, {}, grab + QPoint(0, bar->height()));
        QTest::qWait(50);
        QCOMPARE(shell->windows().size(), std::size_t(1));
        QCOMPARE(source->tabCount(), 2);

        const QPoint drop = grab + QPoint(40, 4 * bar->height());
        QTest::mousePress(bar, Qt::LeftButton, {}, grab);
        QTest::mouseRelease(bar, Qt::LeftButton, {}, drop);
        QTRY_COMPARE(shell->windows().size(), std::size_t(2));
        auto* moved = shell->windows().back();
        QCOMPARE(moved->currentView(), leaves);
        QCOMPARE(source->tabCount(), 1);
        QCOMPARE(source->currentView(), stays);
        QCOMPARE(moved->frameGeometry().topLeft(), bar->mapToGlobal(drop));
        closeAll(*shell);
    }

    void shuttingDownOrQuittingDisconnectsEverySessionAndReleasesEveryPort()
    {
        velmora::testing::PseudoTerminal boardA;
        velmora::testing::PseudoTerminal boardB;
        auto shell = makeShell();
        auto* window = shell->newWindow();
        auto& a = window->currentView()->model();
        auto& b = shell->newWindow()->currentView()->model();
        connectTo(a, boardA.devicePath());
        connectTo(b, boardB.devicePath());
        // The application ending from outside: the windows stay until Qt closes them.
        shell->shutDown();
        QCOMPARE(a.connection().state.value(), ConnectionState::disconnected);
        QCOMPARE(b.connection().state.value(), ConnectionState::disconnected);
        QVERIFY(shown(b).ends_with("--- Connection closed ---\n"));

        auto& c = shell->newTab()->model();
        connectTo(a, boardA.devicePath());
        connectTo(c, boardB.devicePath());
        QVERIFY(registry.isHeldByAnotherSession(boardA.devicePath(), nullptr));
        auto* help = shell->openHelp();

        command(*window, L10n::Menu::quit())->trigger();
        QCOMPARE(a.connection().state.value(), ConnectionState::disconnected);
        QCOMPARE(c.connection().state.value(), ConnectionState::disconnected);
        QVERIFY(shown(a).ends_with("--- Connection closed ---\n"));
        QVERIFY(!registry.isHeldByAnotherSession(boardA.devicePath(), nullptr));
        QVERIFY(!registry.isHeldByAnotherSession(boardB.devicePath(), nullptr));
        QVERIFY(!help->isVisible());
        QTRY_VERIFY(shell->windows().empty());

        // The ports are really closed and unlocked: a new session opens them at once.
        auto other = makeModel();
        connectTo(*other, boardA.devicePath());
        other->disconnect();
        connectTo(*other, boardB.devicePath());
        other->disconnect();
    }

    void closingAConnectedTabFreesItsPortForAnotherTabAtOnce()
    {
        velmora::testing::PseudoTerminal board;
        auto shell = makeShell();
        auto* window = shell->newWindow();
        auto& first = window->currentView()->model();
        connectTo(first, board.devicePath());
        auto& second = shell->newTab()->model();
        QVERIFY(second.isHeldByAnotherSession(board.devicePath()));

        window->closeTab(0);
        QCOMPARE(window->tabCount(), 1);
        QVERIFY(!second.isHeldByAnotherSession(board.devicePath()));
        connectTo(second, board.devicePath());

        // Closing the last tab closes the window.
        QPointer<MonitorWindow> guard(window);
        window->closeTab(0);
        QTRY_VERIFY(guard.isNull());
    }

    void copyTakesTheOutputSelectionWhileAFocusedLineEditKeepsItsOwn()
    {
        velmora::testing::PseudoTerminal board;
        auto shell = makeShell();
        auto* window = shell->newWindow();
        auto* view = window->currentView();
        auto& model = view->model();
        connectTo(model, board.devicePath());
        board.writeToPort("reading 42\n");
        QVERIFY(pump([&] { return shown(model).ends_with("reading 42\n"); }));
        QVERIFY(activate(window));

        QLineEdit* input = nullptr;
        for (auto* edit : view->findChildren<QLineEdit*>()) {
            if (edit->isVisibleTo(view))
                input = edit;
        }
        QVERIFY(input);
        input->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), input);
        model.composer().inputText.set("typed");
        QTest::keyClick(input, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(input->selectedText(), QString("typed"));
        QVERIFY(view->outputView().selectedText().isEmpty());
        QTest::keyClick(input, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), QString("typed"));
        // The menu item acts on the focused field as well.
        input->setSelection(0, 4);
        command(*window, L10n::Menu::copy())->trigger();
        QCOMPARE(QApplication::clipboard()->text(), QString("type"));

        // With the output in focus the same keys reach the output.
        view->outputView().setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), &view->outputView());
        QTest::keyClick(&view->outputView(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(&view->outputView(), Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text().toStdString(), shown(model));

        // From the menu, Select All and Copy act on the output when no field has the keyboard.
        view->outputView().setSelection(0, 0);
        QApplication::clipboard()->clear();
        command(*window, L10n::Menu::selectAll())->trigger();
        command(*window, L10n::Menu::copy())->trigger();
        QCOMPARE(QApplication::clipboard()->text().toStdString(), shown(model));
        QCOMPARE(input->text(), QString("typed"));
        closeAll(*shell);
    }
};

QTEST_MAIN(ShellTests)
#include "ShellTests.moc"

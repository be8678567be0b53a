
#include "app/shell/MonitorCommands.h"
#include "app/common/PlatformText.h"
#include "app/monitor/ContentView.h"
#include "app/monitor/DisplayModeBadge.h"
#include "app/monitor/OutputTextView.h"
#include "app/shell/MonitorWindow.h"
#include "localization/L10n.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>

namespace velmora {

MonitorCommands::MonitorCommands(QMainWindow& window, MonitorWindow* monitor, AppActions app)
    : QObject(&window), window_(window), monitor_(monitor), app_(std::move(app))
{
    auto* bar = window.menuBar();

    auto* file = bar->addMenu(qt(L10n::Menu::file()));
    file->addAction(qt(L10n::Menu::newTab()), QKeySequence(QStringLiteral("Ctrl+T")), this, [this] { app_.newTab(); });
    file->addAction(
        qt(L10n::Menu::newWindow()), QKeySequence(QStringLiteral("Ctrl+N")), this, [this] { app_.newWindow(); });
    sessionAction(file->addAction(qt(L10n::Menu::saveOutput()), QKeySequence(QStringLiteral("Ctrl+S")), this, [this] {
        if (monitor_ && monitor_->currentView())
            monitor_->currentView()->saveOutput();
    }));
    file->addSeparator();
    sessionAction(file->addAction(qt(L10n::Menu::closeTab()), QKeySequence(QStringLiteral("Ctrl+W")), this, [this] {
        if (monitor_ && monitor_->currentView())
            monitor_->closeTab(monitor_->tabs()->currentIndex());
    }));
    file->addSeparator();
    file->addAction(qt(L10n::Menu::quit()), QKeySequence(QStringLiteral("Ctrl+Q")), this, [this] { app_.quit(); });

    // A line edit with the keyboard (the input, the find field) keeps copying and selecting for
    // itself: it takes these keys before the window's shortcuts, and the menu items act on it too.
    const auto focusedEditor = [this]() -> QLineEdit* {
        auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        return editor && editor->window() == &window_ ? editor : nullptr;
    };
    auto* edit = bar->addMenu(qt(L10n::Menu::edit()));
    sessionAction(
        edit->addAction(qt(L10n::Menu::copy()), QKeySequence(QKeySequence::Copy), this, [this, focusedEditor] {
            if (auto* editor = focusedEditor())
                editor->copy();
            else if (auto* view = currentView())
                view->outputView().copy();
        }));
    sessionAction(edit->addAction(
        qt(L10n::Menu::selectAll()), QKeySequence(QKeySequence::SelectAll), this, [this, focusedEditor] {
            if (auto* editor = focusedEditor())
                editor->selectAll();
            else if (auto* view = currentView())
                view->outputView().selectAll();
        }));
    edit->addSeparator();
    sessionAction(edit->addAction(qt(L10n::Menu::find()), QKeySequence(QKeySequence::Find), this, [this] {
        if (auto* view = currentView())
            view->openFind();
    }));

    auto* serial = bar->addMenu(qt(L10n::Menu::serialPort()));
    auto* connectAction =
        sessionAction(serial->addAction(QString(), QKeySequence(QStringLiteral("Ctrl+R")), this, [this] {
            auto* model = session();
            if (!model)
                return;
            if (model->connection().state.value() == ConnectionState::disconnected)
                model->connect();
            else
                model->disconnect();
        }));
    serial->addSeparator();
    sessionAction(
        serial->addAction(qt(L10n::Menu::clearOutput()), QKeySequence(QStringLiteral("Ctrl+K")), this, [this] {
            if (auto* model = session())
                model->clearOutput();
        }));
    // A toggle flips what the session holds now, not the action's own state, which may be stale
    // when the setting was changed elsewhere since the menu was last shown.
    const auto toggle = [this](QMenu* menu, const std::string& text, QKeySequence shortcut, auto read, auto write) {
        auto* action = sessionAction(menu->addAction(qt(text)));
        action->setCheckable(true);
        action->setShortcut(shortcut);
        connect(action, &QAction::triggered, this, [this, read, write] {
            if (auto* model = session())
                write(*model, !read(*model));
        });
        refreshers_.push_back([this, action, read] {
            auto* model = session();
            action->setChecked(model && read(*model));
        });
        return action;
    };
    toggle(
        serial, L10n::Footer::autoscroll(), {}, [](Session& m) { return m.display().autoscroll.value(); },
        [](Session& m, bool on) { m.display().autoscroll.set(on); });
    toggle(
        serial, L10n::Footer::timestamp(), {}, [](Session& m) { return m.display().showTimestamps.value(); },
        [](Session& m, bool on) { m.display().showTimestamps.set(on); });
    toggle(
        serial, L10n::Footer::echo(), {}, [](Session& m) { return m.display().echoSent.value(); },
        [](Session& m, bool on) { m.display().echoSent.set(on); });
    serial->addSeparator();
    toggle(
        serial, L10n::Send::menuSendAsHex(), QKeySequence(QStringLiteral("Ctrl+Shift+H")),
        [](Session& m) { return m.composer().sendMode.value() == SendMode::hex; },
        [](Session& m, bool on) { m.composer().sendMode.set(on ? SendMode::hex : SendMode::text); });
    serial->addSeparator();
    std::vector<QAction*> lineActions;
    lineActions.push_back(toggle(
        serial, L10n::Lines::dtr(), {},
        [](Session& m) { return m.connection().modemLines.value() && m.connection().modemLines.value()->dtr; },
        [](Session& m, bool on) { m.runLineSteps({dtrStep(on)}, L10n::Lines::dtrChanged(on)); }));
    lineActions.push_back(toggle(
        serial, L10n::Lines::rts(), {},
        [](Session& m) { return m.connection().modemLines.value() && m.connection().modemLines.value()->rts; },
        [](Session& m, bool on) { m.runLineSteps({rtsStep(on)}, L10n::Lines::rtsChanged(on)); }));
    for (const auto sequence : allResetSequences) {
        lineActions.push_back(sessionAction(serial->addAction(qt(title(sequence)), this, [this, sequence] {
            if (auto* model = session())
                model->runLineSteps(steps(sequence), title(sequence));
        })));
    }
    serial->addSeparator();
    toggle(
        serial, L10n::Plotter::title(), QKeySequence(QStringLiteral("Ctrl+Shift+L")),
        [](Session& m) { return m.display().showPlotter.value(); },
        [](Session& m, bool on) { m.display().showPlotter.set(on); });
    refreshers_.push_back([this, connectAction, lineActions] {
        auto* model = session();
        const bool connected = model && model->connection().state.value() == ConnectionState::connected;
        const bool disconnected = !model || model->connection().state.value() == ConnectionState::disconnected;
        connectAction->setText(qt(disconnected ? L10n::Header::connect() : L10n::Header::disconnect()));
        connectAction->setEnabled(model && (!disconnected || !model->line().selectedPath.value().empty()));
        for (auto* action : lineActions)
            action->setEnabled(connected);
    });

    auto* display = bar->addMenu(qt(L10n::Display::mode()));
    auto* modes = new QActionGroup(display);
    int number = 1;
    for (const auto mode : allDisplayModes) {
        auto* action = sessionAction(display->addAction(displayModeName(mode)));
        action->setCheckable(true);
        action->setActionGroup(modes);
        action->setShortcut(QKeySequence(QStringLiteral("Ctrl+%1").arg(number++)));
        connect(action, &QAction::triggered, this, [this, mode] {
            if (auto* model = session())
                model->display().displayMode.set(mode);
        });
        refreshers_.push_back([this, action, mode] {
            auto* model = session();
            action->setChecked(model && model->display().displayMode.value() == mode);
        });
    }

    auto* helpMenu = bar->addMenu(qt(L10n::Menu::help()));
    help_ = helpMenu->addAction(qt(L10n::Help::windowTitle()), this, [this] { app_.openHelp(); });
    help_->setShortcuts({QKeySequence(Qt::Key_F1), QKeySequence(QStringLiteral("Ctrl+?")),
        QKeySequence(QStringLiteral("Ctrl+Shift+/"))});
    help_->installEventFilter(this);

    for (auto* menu : {file, edit, serial, display, helpMenu})
        connect(menu, &QMenu::aboutToShow, this, &MonitorCommands::refresh);
    if (monitor)
        connect(monitor, &MonitorWindow::currentSessionChanged, this, &MonitorCommands::refresh);
    refresh();
}

void MonitorCommands::refresh()
{
    // The line actions and Connect narrow this down further below.
    const bool hasSession = session() != nullptr;
    for (auto* action : sessionActions_)
        action->setEnabled(hasSession);
    for (const auto& refresher : refreshers_)
        refresher();
}

bool MonitorCommands::eventFilter(QObject* watched, QEvent* event)
{
    // Where "?" is Shift+"/", one key press matches both Ctrl+? and Ctrl+Shift+/, and Qt refuses a
    // shortcut that two entries match. Both are this action's own, so run it.
    if (watched == help_ && event->type() == QEvent::Shortcut) {
        help_->trigger();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

ContentView* MonitorCommands::currentView() const
{
    return monitor_ ? monitor_->currentView() : nullptr;
}

Session* MonitorCommands::session() const
{
    auto* view = currentView();
    return view ? &view->model() : nullptr;
}

QAction* MonitorCommands::sessionAction(QAction* action)
{
    sessionActions_.push_back(action);
    return action;
}

} // namespace velmora

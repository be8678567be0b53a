#include "app/shell/Shell.h"

#include "app/monitor/ContentView.h"
#include "app/monitor/PlatformText.h"
#include "core/session/OutputSaver.h"
#include "localization/L10n.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QFileDialog>
#include <QMenu>
#include <QMenuBar>

namespace velmora {
namespace {

QString qt(const std::string& text) { return QString::fromStdString(text); }

std::string displayModeName(DisplayMode mode)
{
    switch (mode) {
    case DisplayMode::text: return L10n::Display::text();
    case DisplayMode::hex: return L10n::Display::hex();
    case DisplayMode::hexDump: return L10n::Display::hexDump();
    case DisplayMode::decimal: return L10n::Display::decimal();
    case DisplayMode::binary: return L10n::Display::binary();
    case DisplayMode::asciiEscaped: return L10n::Display::asciiEscaped();
    }
    return {};
}

} // namespace

Shell::Shell(MonitorWindow::SessionFactory makeSession, PortRegistry& registry, QObject* parent)
    : QObject(parent), makeSession_(std::move(makeSession)), registry_(registry)
{
    connect(qApp, &QApplication::focusChanged, this, [this] {
        if (auto* window = qobject_cast<MonitorWindow*>(QApplication::activeWindow()))
            lastActive_ = window;
    });
}

MonitorWindow* Shell::newWindow()
{
    auto* window = new MonitorWindow(makeSession_);
    buildMenus(window);
    window->addTab();
    windows_.emplace_back(window);
    lastActive_ = window;
    window->show();
    return window;
}

MonitorWindow* Shell::targetForNewTab() const
{
    if (auto* active = qobject_cast<MonitorWindow*>(QApplication::activeWindow()))
        return active;
    if (lastActive_ && lastActive_->isVisible())
        return lastActive_;
    for (auto it = windows_.rbegin(); it != windows_.rend(); ++it) {
        if (*it && (*it)->isVisible())
            return *it;
    }
    return nullptr;
}

ContentView* Shell::newTab()
{
    if (auto* window = targetForNewTab())
        return window->addTab();
    return newWindow()->currentView();
}

void Shell::shutDown()
{
    for (const auto& session : registry_.liveSessions()) {
        if (auto* model = dynamic_cast<VelmoraModel*>(session.get()))
            model->disconnect();
    }
}

std::vector<MonitorWindow*> Shell::windows() const
{
    std::vector<MonitorWindow*> open;
    for (const auto& window : windows_) {
        if (window)
            open.push_back(window);
    }
    return open;
}

void Shell::buildMenus(MonitorWindow* window)
{
    // Every command acts on the session of this window's current tab.
    const auto session = [window]() -> VelmoraModel* {
        auto* view = window->currentView();
        return view ? &view->model() : nullptr;
    };
    auto* bar = window->menuBar();

    auto* file = bar->addMenu(qt(L10n::Menu::file()));
    file->addAction(qt(L10n::Menu::newTab()), QKeySequence(QStringLiteral("Ctrl+T")), this, [this] { newTab(); });
    file->addAction(qt(L10n::Menu::newWindow()), QKeySequence(QStringLiteral("Ctrl+N")), this, [this] { newWindow(); });
    file->addAction(qt(L10n::Menu::saveOutput()), QKeySequence(QStringLiteral("Ctrl+S")), window, [window, session] {
        auto* model = session();
        if (!model)
            return;
        const QString target = QFileDialog::getSaveFileName(window, QString(),
            qt(suggestedLogFileName(std::chrono::system_clock::now())), QStringLiteral("Text (*.txt)"));
        if (!target.isEmpty())
            model->saveOutput(target.toStdString());
    });
    file->addSeparator();
    file->addAction(qt(L10n::Menu::closeTab()), QKeySequence(QStringLiteral("Ctrl+W")), window, [window] {
        window->closeTab(window->tabs()->currentIndex());
    });

    auto* serial = bar->addMenu(qt(L10n::Menu::serialPort()));
    auto* connectAction = serial->addAction(QString(), QKeySequence(QStringLiteral("Ctrl+R")), window, [session] {
        auto* model = session();
        if (!model)
            return;
        if (model->state().value() == ConnectionState::disconnected)
            model->connect();
        else
            model->disconnect();
    });
    serial->addSeparator();
    serial->addAction(qt(L10n::Menu::clearOutput()), QKeySequence(QStringLiteral("Ctrl+K")), window, [session] {
        if (auto* model = session())
            model->clearOutput();
    });
    const auto toggle = [&](QMenu* menu, const std::string& text, QKeySequence shortcut, auto read, auto write) {
        auto* action = menu->addAction(qt(text));
        action->setCheckable(true);
        action->setShortcut(shortcut);
        connect(action, &QAction::triggered, window, [session, write](bool on) {
            if (auto* model = session())
                write(*model, on);
        });
        connect(menu, &QMenu::aboutToShow, action, [action, session, read] {
            auto* model = session();
            action->setEnabled(model != nullptr);
            action->setChecked(model && read(*model));
        });
        return action;
    };
    toggle(serial, L10n::Footer::autoscroll(), {}, [](VelmoraModel& m) { return m.autoscroll().value(); },
        [](VelmoraModel& m, bool on) { m.setAutoscroll(on); });
    toggle(serial, L10n::Footer::timestamp(), {}, [](VelmoraModel& m) { return m.showTimestamps().value(); },
        [](VelmoraModel& m, bool on) { m.setShowTimestamps(on); });
    toggle(serial, L10n::Footer::echo(), {}, [](VelmoraModel& m) { return m.echoSent().value(); },
        [](VelmoraModel& m, bool on) { m.setEchoSent(on); });
    serial->addSeparator();
    toggle(serial, L10n::Send::menuSendAsHex(), QKeySequence(QStringLiteral("Ctrl+Shift+H")),
        [](VelmoraModel& m) { return m.sendMode().value() == SendMode::hex; },
        [](VelmoraModel& m, bool on) { m.setSendMode(on ? SendMode::hex : SendMode::text); });
    serial->addSeparator();
    std::vector<QAction*> lineActions;
    lineActions.push_back(toggle(serial, L10n::Lines::dtr(), {},
        [](VelmoraModel& m) { return m.modemLines().value() && m.modemLines().value()->dtr; },
        [](VelmoraModel& m, bool on) { m.runLineSteps({dtrStep(on)}, L10n::Lines::dtrChanged(on)); }));
    lineActions.push_back(toggle(serial, L10n::Lines::rts(), {},
        [](VelmoraModel& m) { return m.modemLines().value() && m.modemLines().value()->rts; },
        [](VelmoraModel& m, bool on) { m.runLineSteps({rtsStep(on)}, L10n::Lines::rtsChanged(on)); }));
    for (const auto sequence : allResetSequences) {
        lineActions.push_back(serial->addAction(qt(title(sequence)), window, [session, sequence] {
            if (auto* model = session())
                model->runLineSteps(steps(sequence), title(sequence));
        }));
    }
    serial->addSeparator();
    toggle(serial, L10n::Plotter::title(), QKeySequence(QStringLiteral("Ctrl+Shift+L")),
        [](VelmoraModel& m) { return m.showPlotter().value(); }, [](VelmoraModel& m, bool on) { m.setShowPlotter(on); });
    connect(serial, &QMenu::aboutToShow, window, [session, connectAction, lineActions] {
        auto* model = session();
        const bool connected = model && model->state().value() == ConnectionState::connected;
        const bool disconnected = !model || model->state().value() == ConnectionState::disconnected;
        connectAction->setText(qt(disconnected ? L10n::Header::connect() : L10n::Header::disconnect()));
        connectAction->setEnabled(model && (!disconnected || !model->selectedPath().value().empty()));
        for (auto* action : lineActions)
            action->setEnabled(connected);
    });

    auto* display = bar->addMenu(qt(L10n::Display::mode()));
    auto* modes = new QActionGroup(display);
    int number = 1;
    for (const auto mode : allDisplayModes) {
        auto* action = display->addAction(qt(displayModeName(mode)));
        action->setCheckable(true);
        action->setActionGroup(modes);
        action->setShortcut(QKeySequence(QStringLiteral("Ctrl+%1").arg(number++)));
        connect(action, &QAction::triggered, window, [session, mode] {
            if (auto* model = session())
                model->setDisplayMode(mode);
        });
        connect(display, &QMenu::aboutToShow, action, [action, session, mode] {
            auto* model = session();
            action->setChecked(model && model->displayMode().value() == mode);
        });
    }
}

} // namespace velmora

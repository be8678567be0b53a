#include "app/shell/Shell.h"

#include "app/help/HelpWindow.h"
#include "app/monitor/ContentView.h"
#include "app/shell/MonitorCommands.h"
#include "localization/L10n.h"

#include <QApplication>

#include <algorithm>

namespace velmora {

Shell::Shell(MonitorWindow::SessionFactory makeSession, PortRegistry& registry, QObject* parent)
    : QObject(parent), makeSession_(std::move(makeSession)), registry_(registry)
{
}

Shell::~Shell() = default;

MonitorWindow* Shell::createWindow()
{
    auto* window = new MonitorWindow(makeSession_);
    buildMenus(*window, window);
    windows_.emplace_back(window);
    connect(window, &MonitorWindow::activated, this, [this, window] { bringToFront(window); });
    connect(window, &MonitorWindow::closed, this, [this, window] { windowClosed(window); });
    connect(window, &MonitorWindow::moveTabToNewWindowRequested, this,
        [this, window](int index, QPoint position) { moveTabToNewWindow(window, index, position); });
    return window;
}

MonitorWindow* Shell::newWindow()
{
    auto* window = createWindow();
    window->addTab();
    window->show();
    return window;
}

MonitorWindow* Shell::targetForNewTab() const
{
    if (auto* active = qobject_cast<MonitorWindow*>(QApplication::activeWindow()))
        return active;
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

HelpWindow* Shell::openHelp()
{
    if (!help_) {
        help_ = std::make_unique<HelpWindow>(L10n::Help::topics());
        buildMenus(*help_, nullptr);
    }
    help_->setWindowState(help_->windowState() & ~Qt::WindowMinimized);
    help_->show();
    help_->raise();
    help_->activateWindow();
    return help_.get();
}

MonitorWindow* Shell::moveTabToNewWindow(MonitorWindow* window, int index, std::optional<QPoint> position)
{
    if (!window || window->tabCount() < 2 || index < 0 || index >= window->tabCount())
        return nullptr;
    const QSize size = window->size();
    const QPoint topLeft = position.value_or(window->frameGeometry().topLeft() + QPoint(32, 32));
    auto* view = window->takeTab(index);
    auto* moved = createWindow();
    moved->adoptTab(view);
    moved->resize(size);
    moved->move(topLeft);
    moved->show();
    moved->raise();
    moved->activateWindow();
    bringToFront(moved);
    return moved;
}

void Shell::quit()
{
    if (help_)
        help_->close();
    for (auto* window : windows())
        window->close();
    shutDown();
    QCoreApplication::quit();
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

void Shell::buildMenus(QMainWindow& window, MonitorWindow* monitor)
{
    new MonitorCommands(window, monitor,
        {
            .newTab = [this] { newTab(); },
            .newWindow = [this] { newWindow(); },
            .openHelp = [this] { openHelp(); },
            .quit = [this] { quit(); },
        });
}

void Shell::bringToFront(MonitorWindow* window)
{
    const auto it = std::find(windows_.begin(), windows_.end(), window);
    if (it != windows_.end())
        std::rotate(it, it + 1, windows_.end());
}

void Shell::windowClosed(MonitorWindow* window)
{
    std::erase_if(windows_, [window](const QPointer<MonitorWindow>& open) { return !open || open == window; });
    // The help window alone does not keep the application running: with it gone as well, the
    // last window has closed and the application quits.
    const bool monitorLeft = std::any_of(windows_.begin(), windows_.end(),
        [](const QPointer<MonitorWindow>& open) { return open && open->isVisible(); });
    if (!monitorLeft && help_ && help_->isVisible())
        help_->close();
}

} // namespace velmora

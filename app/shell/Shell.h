#pragma once

#include "app/shell/MonitorWindow.h"

#include <QObject>
#include <QPointer>

#include <vector>

namespace velmora {

// The application's windows and commands: monitor windows with their tabs, the menu bar of
// each window, New Tab and New Window, and shutting every session down when the application
// quits, so that no port stays open or locked.
class Shell final : public QObject {
    Q_OBJECT
public:
    explicit Shell(MonitorWindow::SessionFactory makeSession, PortRegistry& registry, QObject* parent = nullptr);

    // A separate window with one tab.
    MonitorWindow* newWindow();
    // A tab in the active monitor window, else in the one used last, else in a new window.
    ContentView* newTab();
    // Disconnects every live session.
    void shutDown();

    std::vector<MonitorWindow*> windows() const;

private:
    void buildMenus(MonitorWindow* window);
    MonitorWindow* targetForNewTab() const;

    MonitorWindow::SessionFactory makeSession_;
    PortRegistry& registry_;
    std::vector<QPointer<MonitorWindow>> windows_;
    QPointer<MonitorWindow> lastActive_;
};

} // namespace velmora

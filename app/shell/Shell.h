#pragma once

#include "app/shell/MonitorWindow.h"

#include <QObject>
#include <QPoint>
#include <QPointer>

#include <memory>
#include <optional>
#include <vector>

namespace velmora {

class HelpWindow;

// The application's windows and commands: monitor windows with their tabs, the single help
// window, the menu bar of each window, New Tab and New Window, moving a tab to a window of its
// own, and quitting, which shuts every session down so that no port stays open or locked.
//
// Thread: main thread only.
class Shell final : public QObject {
    Q_OBJECT
public:
    explicit Shell(MonitorWindow::SessionFactory makeSession, PortRegistry& registry, QObject* parent = nullptr);
    ~Shell() override;

    // A separate window with one tab.
    MonitorWindow* newWindow();
    // A tab in the active monitor window, else in the front-most one, else in a new window.
    ContentView* newTab();
    // Shows the help window, made on first use, and brings it to the front.
    HelpWindow* openHelp();
    // The help window once it has been opened; it is hidden, not destroyed, when closed.
    HelpWindow* helpWindow() const { return help_.get(); }
    // Gives the tab a window of its own, its session unchanged, with the top left corner at
    // position (beside the old window without one). Nothing happens to a window's only tab.
    MonitorWindow* moveTabToNewWindow(MonitorWindow* window, int index, std::optional<QPoint> position = {});
    // Closes every window, which disconnects every session, and ends the event loop.
    void quit();
    // Disconnects every live session.
    void shutDown();

    // The open monitor windows, the front-most last.
    std::vector<MonitorWindow*> windows() const;

private:
    MonitorWindow* createWindow();
    void buildMenus(QMainWindow& window, MonitorWindow* monitor);
    void bringToFront(MonitorWindow* window);
    void windowClosed(MonitorWindow* window);
    MonitorWindow* targetForNewTab() const;

    MonitorWindow::SessionFactory makeSession_;
    PortRegistry& registry_;
    // In the order they were last active, the front-most last.
    std::vector<QPointer<MonitorWindow>> windows_;
    std::unique_ptr<HelpWindow> help_;
};

} // namespace velmora

#pragma once

#include <QObject>
#include <QPointer>

#include <functional>
#include <vector>

class QAction;
class QMainWindow;

namespace velmora {

class ContentView;
class MonitorWindow;
class Session;

// The menu bar of one window: File, Edit, Serial Port, Display and Help. Session commands act on
// the current tab of the window's monitor; a window without one (the help window) has them all
// disabled. Every window builds the same menus, so the shortcuts work the same everywhere.
//
// Thread: main thread only.
class MonitorCommands final : public QObject {
    Q_OBJECT
public:
    // The commands that do not need a session.
    struct AppActions {
        std::function<void()> newTab;
        std::function<void()> newWindow;
        std::function<void()> openHelp;
        std::function<void()> quit;
    };

    // monitor is null for a window that shows no session.
    MonitorCommands(QMainWindow& window, MonitorWindow* monitor, AppActions app);

    // Brings enabled, checked and text states up to date with the current session.
    void refresh();
    // Every command that acts on a session, for checking what the window enables.
    const std::vector<QAction*>& sessionActions() const { return sessionActions_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    ContentView* currentView() const;
    Session* session() const;
    QAction* sessionAction(QAction* action);

    QMainWindow& window_;
    QPointer<MonitorWindow> monitor_;
    AppActions app_;
    std::vector<QAction*> sessionActions_;
    // Re-read from the session before each showing of the menus.
    std::vector<std::function<void()>> refreshers_;
    QAction* help_ = nullptr;
};

} // namespace velmora

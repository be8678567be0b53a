#pragma once

#include "core/session/VelmoraModel.h"

#include <QMainWindow>

#include <functional>
#include <memory>

class QTabWidget;

namespace velmora {

class ContentView;
class MonitorTabBar;

// A top-level window holding monitor tabs, each a ContentView with a session of its own. The
// window title is the current tab's title and state; closing a tab disconnects its session, and
// closing the last tab closes the window.
//
// Thread: main thread only.
class MonitorWindow final : public QMainWindow {
    Q_OBJECT
public:
    using SessionFactory = std::function<std::shared_ptr<VelmoraModel>()>;

    explicit MonitorWindow(SessionFactory makeSession, QWidget* parent = nullptr);

    // Adds a tab with a fresh session after the current one and shows it.
    ContentView* addTab();
    void closeTab(int index);
    // Removes the tab without touching its session: the caller owns the returned view, whose
    // session stays as it is (connected or not). The window closes when it was the last tab.
    ContentView* takeTab(int index);
    // Adds a tab for a view taken from another window, after the current one, and shows it.
    void adoptTab(ContentView* view);
    ContentView* currentView() const;
    int tabCount() const;
    QTabWidget* tabs() const { return tabs_; }
    MonitorTabBar* tabBar() const { return tabBar_; }

signals:
    // The current tab changed, or its session changed what the menus show.
    void currentSessionChanged();
    // The window became the active one.
    void activated();
    // The window is closing; its tabs are gone.
    void closed();
    // The user asked for the tab to get a window of its own, at position (global).
    void moveTabToNewWindowRequested(int index, QPoint position);

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void refreshTitles();

    SessionFactory makeSession_;
    MonitorTabBar* tabBar_;
    QTabWidget* tabs_;
};

} // namespace velmora

#pragma once

#include "core/session/VelmoraModel.h"

#include <QMainWindow>

#include <functional>
#include <memory>

class QTabWidget;

namespace velmora {

class ContentView;

// A top-level window holding monitor tabs, each a ContentView with a session of its own. The
// window title is the current tab's title and state; closing a tab disconnects its session, and
// closing the last tab closes the window.
class MonitorWindow final : public QMainWindow {
    Q_OBJECT
public:
    using SessionFactory = std::function<std::shared_ptr<VelmoraModel>()>;

    explicit MonitorWindow(SessionFactory makeSession, QWidget* parent = nullptr);

    // Adds a tab with a fresh session after the current one and shows it.
    ContentView* addTab();
    void closeTab(int index);
    ContentView* currentView() const;
    int tabCount() const;
    QTabWidget* tabs() const { return tabs_; }

signals:
    // The current tab changed, or its session changed what the menus show.
    void currentSessionChanged();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void refreshTitles();

    SessionFactory makeSession_;
    QTabWidget* tabs_;
};

} // namespace velmora

#include "app/shell/MonitorWindow.h"

#include "app/monitor/ContentView.h"
#include "app/shell/MonitorTabBar.h"

#include <QCloseEvent>
#include <QTabWidget>

namespace velmora {
namespace {

// QTabWidget takes a tab bar of another class only from a subclass.
class TabWidget final : public QTabWidget {
public:
    TabWidget(QTabBar* bar, QWidget* parent) : QTabWidget(parent) { setTabBar(bar); }
};

// Where a tab moved through its context menu opens: offset from its old window, so that both
// stay in sight.
constexpr QPoint cascade(32, 32);

} // namespace

MonitorWindow::MonitorWindow(SessionFactory makeSession, QWidget* parent)
    : QMainWindow(parent)
    , makeSession_(std::move(makeSession))
    , tabBar_(new MonitorTabBar)
    , tabs_(new TabWidget(tabBar_, this))
{
    setAttribute(Qt::WA_DeleteOnClose);
    tabs_->setDocumentMode(true);
    tabs_->setTabsClosable(true);
    tabs_->setMovable(true);
    // A tab bar is only worth its space with more than one tab.
    tabs_->setTabBarAutoHide(true);
    setCentralWidget(tabs_);
    resize(960, 620);
    connect(tabs_, &QTabWidget::tabCloseRequested, this, &MonitorWindow::closeTab);
    connect(tabs_, &QTabWidget::currentChanged, this, [this] {
        refreshTitles();
        emit currentSessionChanged();
    });
    // Queued: the tab leaves the bar after the menu that asked for it has gone.
    connect(
        tabBar_, &MonitorTabBar::moveToNewWindowRequested, this,
        [this](int index) { emit moveTabToNewWindowRequested(index, frameGeometry().topLeft() + cascade); },
        Qt::QueuedConnection);
    connect(tabBar_, &MonitorTabBar::tabDraggedOut, this, &MonitorWindow::moveTabToNewWindowRequested);
}

ContentView* MonitorWindow::addTab()
{
    auto* view = new ContentView(makeSession_(), tabs_);
    adoptTab(view);
    return view;
}

void MonitorWindow::adoptTab(ContentView* view)
{
    connect(view, &ContentView::titleChanged, this, [this] {
        refreshTitles();
        emit currentSessionChanged();
    });
    const int index = tabs_->insertTab(tabs_->currentIndex() + 1, view, QString());
    tabs_->setCurrentIndex(index);
    refreshTitles();
}

ContentView* MonitorWindow::takeTab(int index)
{
    auto* view = qobject_cast<ContentView*>(tabs_->widget(index));
    if (!view)
        return nullptr;
    disconnect(view, nullptr, this, nullptr);
    tabs_->removeTab(index);
    view->setParent(nullptr);
    if (tabs_->count() == 0)
        close();
    else
        refreshTitles();
    return view;
}

void MonitorWindow::closeTab(int index)
{
    auto* view = qobject_cast<ContentView*>(tabs_->widget(index));
    if (!view)
        return;
    // The port is free for another tab the moment the tab is gone.
    view->model().disconnect();
    tabs_->removeTab(index);
    delete view;
    if (tabs_->count() == 0)
        close();
}

ContentView* MonitorWindow::currentView() const
{
    return qobject_cast<ContentView*>(tabs_->currentWidget());
}

int MonitorWindow::tabCount() const
{
    return tabs_->count();
}

void MonitorWindow::closeEvent(QCloseEvent* event)
{
    while (tabs_->count() > 0) {
        auto* view = qobject_cast<ContentView*>(tabs_->widget(0));
        view->model().disconnect();
        tabs_->removeTab(0);
        delete view;
    }
    event->accept();
    emit closed();
}

void MonitorWindow::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        emit activated();
}

void MonitorWindow::refreshTitles()
{
    for (int i = 0; i < tabs_->count(); ++i) {
        if (auto* view = qobject_cast<ContentView*>(tabs_->widget(i)))
            tabs_->setTabText(i, QString::fromStdString(view->model().title()));
    }
    if (auto* view = currentView())
        setWindowTitle(view->windowTitleText());
}

} // namespace velmora

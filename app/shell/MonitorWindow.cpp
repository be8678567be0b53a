#include "app/shell/MonitorWindow.h"

#include "app/monitor/ContentView.h"

#include <QCloseEvent>
#include <QTabWidget>

namespace velmora {

MonitorWindow::MonitorWindow(SessionFactory makeSession, QWidget* parent)
    : QMainWindow(parent), makeSession_(std::move(makeSession)), tabs_(new QTabWidget(this))
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
}

ContentView* MonitorWindow::addTab()
{
    auto* view = new ContentView(makeSession_(), tabs_);
    connect(view, &ContentView::titleChanged, this, [this] {
        refreshTitles();
        emit currentSessionChanged();
    });
    const int index = tabs_->insertTab(tabs_->currentIndex() + 1, view, QString());
    tabs_->setCurrentIndex(index);
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

#include "app/shell/MonitorTabBar.h"

#include "localization/L10n.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>

namespace velmora {

MonitorTabBar::MonitorTabBar(QWidget* parent) : QTabBar(parent)
{
}

std::unique_ptr<QMenu> MonitorTabBar::contextMenu(int index)
{
    auto menu = std::make_unique<QMenu>(this);
    auto* move = menu->addAction(QString::fromStdString(L10n::Menu::moveTabToNewWindow()), this,
        [this, index] { emit moveToNewWindowRequested(index); });
    move->setEnabled(count() > 1);
    return menu;
}

void MonitorTabBar::mousePressEvent(QMouseEvent* event)
{
    pressedOnTab_ = event->button() == Qt::LeftButton && tabAt(event->position().toPoint()) >= 0;
    QTabBar::mousePressEvent(event);
}

void MonitorTabBar::mouseReleaseEvent(QMouseEvent* event)
{
    const bool draggedOut = pressedOnTab_ && event->button() == Qt::LeftButton &&
        isFarOutside(event->position().toPoint(), event->globalPosition().toPoint());
    pressedOnTab_ = false;
    QTabBar::mouseReleaseEvent(event);
    if (!draggedOut || count() < 2)
        return;
    // The press made the dragged tab current, and it stays current wherever the bar's own drag
    // put it. Asked for once the bar has finished with the release: the tab leaves the bar.
    const QPoint at = event->globalPosition().toPoint();
    QMetaObject::invokeMethod(
        this, [this, at] { emit tabDraggedOut(currentIndex(), at); }, Qt::QueuedConnection);
}

void MonitorTabBar::contextMenuEvent(QContextMenuEvent* event)
{
    const int index = tabAt(event->pos());
    if (index < 0)
        return;
    contextMenu(index)->exec(event->globalPos());
}

bool MonitorTabBar::isFarOutside(QPoint position, QPoint globalPosition) const
{
    // Sideways slack is the bar's own reordering; up or down by more than its height, or out of
    // the window, is a tear-off.
    const int slack = height();
    return position.y() < -slack || position.y() > height() + slack ||
        !window()->frameGeometry().contains(globalPosition);
}

} // namespace velmora

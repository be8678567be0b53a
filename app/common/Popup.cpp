#include "app/common/Popup.h"

#include <QMouseEvent>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>

namespace velmora {

QPoint popupPosition(const QRect& anchor, const QSize& popup, const QRect& screen)
{
    const int roomBelow = screen.bottom() - anchor.bottom();
    const int roomAbove = anchor.top() - screen.top();
    const bool below = popup.height() <= roomBelow || roomBelow >= roomAbove;
    const int y = below ? anchor.bottom() + 1 : anchor.top() - popup.height();
    const int x = std::max(screen.left(), std::min(anchor.left(), screen.right() + 1 - popup.width()));
    return {x, y};
}

Popup::Popup(QWidget* anchor, QWidget* content) : QFrame(anchor, Qt::Popup), anchor_(anchor), content_(content)
{
    setFrameShape(QFrame::StyledPanel);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->addWidget(content_);
}

void Popup::open()
{
    adjustSize();
    const QRect anchorRect(anchor_->mapToGlobal(QPoint(0, 0)), anchor_->size());
    const QScreen* screen = anchor_->screen();
    const QRect available = screen ? screen->availableGeometry() : QRect(anchorRect.topLeft(), QSize(4096, 4096));
    move(popupPosition(anchorRect, size(), available));
    show();
    content_->setFocus(Qt::PopupFocusReason);
}

void Popup::toggle()
{
    if (isVisible())
        close();
    else
        open();
}

void Popup::mousePressEvent(QMouseEvent* event)
{
    // Qt closes a popup on a click outside it and then hands the same press on to the widget
    // under the mouse. On the anchor that press would open the popup again at once, so a click
    // on the anchor only closes it.
    const QPoint global = event->globalPosition().toPoint();
    const QRect anchorRect(anchor_->mapToGlobal(QPoint(0, 0)), anchor_->size());
    setAttribute(Qt::WA_NoMouseReplay, anchorRect.contains(global));
    QFrame::mousePressEvent(event);
}

void Popup::hideEvent(QHideEvent* event)
{
    QFrame::hideEvent(event);
    emit closed();
}

} // namespace velmora

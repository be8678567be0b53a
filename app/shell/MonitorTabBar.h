#pragma once

#include <QTabBar>

#include <memory>

class QMenu;

namespace velmora {

// The tab bar of a monitor window. A tab dragged out of it, or moved through its context menu,
// asks for a window of its own; the window decides what that means.
//
// Thread: main thread only.
class MonitorTabBar final : public QTabBar {
    Q_OBJECT
public:
    explicit MonitorTabBar(QWidget* parent = nullptr);

    // The context menu of the tab at index. Moving is disabled for the only tab: it has its own
    // window already.
    std::unique_ptr<QMenu> contextMenu(int index);

signals:
    void moveToNewWindowRequested(int index);
    // Released far enough away from the bar; globalPosition is where.
    void tabDraggedOut(int index, QPoint globalPosition);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    bool isFarOutside(QPoint position, QPoint globalPosition) const;

    bool pressedOnTab_ = false;
};

} // namespace velmora

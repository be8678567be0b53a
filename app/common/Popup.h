#pragma once

#include <QFrame>
#include <QPoint>
#include <QRect>
#include <QSize>

namespace velmora {

// Where a popup of the given size goes: under the anchor, or over it when the screen has no room
// below, and moved sideways as far as needed to stay on the screen. All in global coordinates.
QPoint popupPosition(const QRect& anchor, const QSize& popup, const QRect& screen);

// A panel that opens from a button, anchored to it, and closes on a click anywhere else or on
// Escape. Emits closed() whenever it hides, however that happened.
//
// Thread: main thread.
class Popup final : public QFrame {
    Q_OBJECT
public:
    // Takes content as its child. Lives as long as the anchor.
    Popup(QWidget* anchor, QWidget* content);

    QWidget* content() const { return content_; }
    void open();
    // For the anchor's click: opens when closed, closes when open.
    void toggle();

signals:
    void closed();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QWidget* anchor_;
    QWidget* content_;
};

} // namespace velmora

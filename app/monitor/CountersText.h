#pragma once

#include <QElapsedTimer>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace velmora {

// A line of text that changes with every batch of received data (the footer's byte counters).
// Unlike a QLabel, which asks for a new layout on every change (and a layout request repaints
// the whole tab), it repaints only itself, about twice a second and in one of the output's
// frames while there are any; and it asks for more room only when the text outgrows it. The text comes
// from a source that is asked when the text is shown or read, not on every change; text() is
// always the latest text.
//
// Thread: main thread.
class CountersText final : public QWidget {
    Q_OBJECT
public:
    explicit CountersText(QWidget* parent = nullptr);

    QString text() const;
    void setSource(std::function<QString()> source);
    // Room kept from the start for a text as wide as this one, so that counts gaining digits
    // do not move the widgets around (a new layout repaints the whole tab).
    void reserveRoomFor(const QString& text);
    // The source has something new to say.
    void invalidate();
    // Repaints now if a change waits: for a caller that is about to repaint something else, so
    // that both go out in one frame.
    void repaintIfDue();

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // Takes the source's text, for the paint and for accessibility, and asks for more room if
    // the text needs it.
    void refresh();
    // Asks for more room if text needs it.
    void makeRoomFor(const QString& text);

    std::function<QString()> source_;
    QString text_;
    bool stale_ = false;
    int width_ = 0;
    QString reserved_;
    QTimer repaint_;
    QElapsedTimer sinceRepaint_;
};

} // namespace velmora

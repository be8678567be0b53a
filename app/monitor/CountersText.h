#pragma once

#include <QElapsedTimer>
#include <QString>
#include <QTimer>
#include <QWidget>

namespace velmora {

// A line of text that changes with every batch of received data (the footer's byte counters).
// Unlike a QLabel, which asks for a new layout on every change (and a layout request repaints
// the whole tab), it repaints only itself, at most ten times a second, and asks for more room
// only when the text outgrows it. text() is always the latest text.
//
// Thread: main thread.
class CountersText final : public QWidget {
    Q_OBJECT
public:
    explicit CountersText(QWidget* parent = nullptr);

    QString text() const { return text_; }
    void setText(const QString& text);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QString text_;
    int width_ = 0;
    QTimer repaint_;
    QElapsedTimer sinceRepaint_;
};

} // namespace velmora

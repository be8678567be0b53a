#include "app/monitor/CountersText.h"

#include <QEvent>
#include <QPainter>

#include <algorithm>
#include <utility>

namespace velmora {

namespace {

// The text repaints about twice a second: in a frame of the output that comes at least
// joinIntervalMs after the last repaint, or on its own a little after repaintIntervalMs.
constexpr int repaintIntervalMs = 500;
constexpr int joinIntervalMs = 400;
constexpr int joinSlackMs = 100;

} // namespace

CountersText::CountersText(QWidget* parent) : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    repaint_.setSingleShot(true);
    connect(&repaint_, &QTimer::timeout, this, [this] {
        sinceRepaint_.start();
        update();
    });
}

QString CountersText::text() const
{
    return stale_ && source_ ? source_() : text_;
}

void CountersText::setSource(std::function<QString()> source)
{
    source_ = std::move(source);
    invalidate();
}

void CountersText::reserveRoomFor(const QString& text)
{
    reserved_ = text;
    makeRoomFor(reserved_);
}

void CountersText::invalidate()
{
    stale_ = true;
    // A widget without room is never painted: the first text takes its room at once.
    if (width_ == 0)
        refresh();
    if (repaint_.isActive())
        return;
    // Without a frame to join, the text repaints a little after its interval.
    const qint64 elapsed = sinceRepaint_.isValid() ? sinceRepaint_.elapsed() : repaintIntervalMs;
    repaint_.start(static_cast<int>(std::max<qint64>(0, repaintIntervalMs - elapsed) + joinSlackMs));
}

void CountersText::repaintIfDue()
{
    if (!repaint_.isActive() || (sinceRepaint_.isValid() && sinceRepaint_.elapsed() < joinIntervalMs))
        return;
    repaint_.stop();
    sinceRepaint_.start();
    update();
}

void CountersText::refresh()
{
    if (!stale_)
        return;
    stale_ = false;
    const QString text = source_ ? source_() : QString();
    if (text == text_)
        return;
    const bool lengthChanged = text.size() != text_.size();
    text_ = text;
    setAccessibleName(text_);
    // Measuring is shaping: done only when the text got longer or shorter, as when a count
    // gains a digit.
    if (lengthChanged)
        makeRoomFor(text_);
}

void CountersText::makeRoomFor(const QString& text)
{
    const int width = fontMetrics().horizontalAdvance(text);
    if (width > width_) {
        width_ = width;
        updateGeometry();
    }
}

QSize CountersText::sizeHint() const
{
    return {width_, fontMetrics().height()};
}

QSize CountersText::minimumSizeHint() const
{
    return sizeHint();
}

void CountersText::paintEvent(QPaintEvent*)
{
    refresh();
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(rect(), Qt::AlignRight | Qt::AlignVCenter, text_);
}

void CountersText::changeEvent(QEvent* event)
{
    // Another font means other widths: measure afresh.
    if (event->type() == QEvent::FontChange) {
        width_ = 0;
        makeRoomFor(reserved_);
        makeRoomFor(text_);
        updateGeometry();
    }
    QWidget::changeEvent(event);
}

} // namespace velmora

#include "app/monitor/CountersText.h"

#include <QEvent>
#include <QPainter>

#include <algorithm>

namespace velmora {

namespace {

constexpr int repaintIntervalMs = 100;

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

void CountersText::setText(const QString& text)
{
    if (text == text_)
        return;
    text_ = text;
    setAccessibleName(text_);
    const int width = fontMetrics().horizontalAdvance(text_);
    if (width > width_) {
        width_ = width;
        updateGeometry();
    }
    if (repaint_.isActive())
        return;
    const qint64 elapsed = sinceRepaint_.isValid() ? sinceRepaint_.elapsed() : repaintIntervalMs;
    repaint_.start(static_cast<int>(std::max<qint64>(0, repaintIntervalMs - elapsed)));
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
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(rect(), Qt::AlignRight | Qt::AlignVCenter, text_);
}

void CountersText::changeEvent(QEvent* event)
{
    // Another font means other widths: measure afresh.
    if (event->type() == QEvent::FontChange) {
        width_ = fontMetrics().horizontalAdvance(text_);
        updateGeometry();
    }
    QWidget::changeEvent(event);
}

} // namespace velmora

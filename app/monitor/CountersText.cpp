#include "app/monitor/CountersText.h"

#include <QEvent>
#include <QPainter>

namespace velmora {

CountersText::CountersText(QWidget* parent) : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
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
    update();
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

#include "app/plot/SeriesSwatch.h"

#include <QPainter>

namespace velmora {

SeriesSwatch::SeriesSwatch(int size, QWidget* parent) : QWidget(parent)
{
    setFixedSize(size, size);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void SeriesSwatch::setColor(const QColor& color)
{
    if (color == color_)
        return;
    color_ = color;
    update();
}

void SeriesSwatch::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(color_);
    const double radius = width() / 4.0;
    painter.drawRoundedRect(QRectF(rect()), radius, radius);
}

} // namespace velmora

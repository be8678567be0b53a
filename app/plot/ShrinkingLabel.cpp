#include "app/plot/ShrinkingLabel.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace velmora {

ShrinkingLabel::ShrinkingLabel(double minimumScale, QWidget* parent) : QWidget(parent), minimumScale_(minimumScale)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void ShrinkingLabel::setText(const QString& text)
{
    if (text == text_)
        return;
    text_ = text;
    setAccessibleName(text);
    updateGeometry();
    update();
}

void ShrinkingLabel::setColor(const QColor& color)
{
    if (color == color_)
        return;
    color_ = color;
    update();
}

double ShrinkingLabel::naturalWidth() const
{
    return QFontMetricsF(font()).horizontalAdvance(text_);
}

double ShrinkingLabel::shownScale() const
{
    const double natural = naturalWidth();
    if (natural <= width())
        return 1;
    return std::max(minimumScale_, width() / natural);
}

bool ShrinkingLabel::isCut() const
{
    return naturalWidth() * minimumScale_ > width() + 0.5;
}

QSize ShrinkingLabel::sizeHint() const
{
    return {static_cast<int>(std::ceil(naturalWidth())), static_cast<int>(std::ceil(QFontMetricsF(font()).height()))};
}

QSize ShrinkingLabel::minimumSizeHint() const
{
    return {0, sizeHint().height()};
}

void ShrinkingLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::TextAntialiasing);
    QFont shown = font();
    const double scale = shownScale();
    if (scale < 1)
        shown.setPointSizeF(font().pointSizeF() * scale);
    painter.setFont(shown);
    painter.setPen(color_.isValid() ? color_ : palette().color(QPalette::WindowText));
    const QFontMetricsF metrics(shown);
    const QString drawn = metrics.elidedText(text_, Qt::ElideRight, width());
    // Shrunk text stays on the line the full-size text would sit on.
    const double baseline = (height() + QFontMetricsF(font()).ascent() - QFontMetricsF(font()).descent()) / 2;
    painter.drawText(QPointF(0, baseline), drawn);
}

void ShrinkingLabel::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange)
        updateGeometry();
    QWidget::changeEvent(event);
}

} // namespace velmora

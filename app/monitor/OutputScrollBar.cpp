#include "app/monitor/OutputScrollBar.h"

#include <QScopedValueRollback>
#include <QStyle>
#include <QStyleOptionSlider>

namespace velmora {

OutputScrollBar::OutputScrollBar(QWidget* parent) : QScrollBar(Qt::Vertical, parent)
{
}

QRect OutputScrollBar::handle() const
{
    QStyleOptionSlider option;
    initStyleOption(&option);
    return style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, this);
}

void OutputScrollBar::setRangeAndValue(int maximum, int pageStep, std::optional<int> value)
{
    {
        const QScopedValueRollback<bool> guard(settling_, true);
        QScrollBar::setRange(0, maximum);
        setPageStep(pageStep);
        if (value)
            setValue(*value);
    }
    if (!looksAsPainted())
        update();
}

bool OutputScrollBar::looksAsPainted() const
{
    return handle() == paintedHandle_ && (minimum() < maximum()) == paintedEnabled_;
}

void OutputScrollBar::sliderChange(SliderChange change)
{
    if (settling_ || (change != SliderOrientationChange && looksAsPainted()))
        return;
    QScrollBar::sliderChange(change);
}

void OutputScrollBar::paintEvent(QPaintEvent* event)
{
    paintedHandle_ = handle();
    paintedEnabled_ = minimum() < maximum();
    QScrollBar::paintEvent(event);
}

} // namespace velmora

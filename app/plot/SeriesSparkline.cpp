#include "app/plot/SeriesSparkline.h"

#include "app/common/Colours.h"
#include "app/plot/PlotChart.h"
#include "app/plot/PlotPalette.h"
#include "core/plot/SparklinePoints.h"

#include <QLinearGradient>
#include <QPainter>

#include <algorithm>

namespace velmora {

SeriesSparkline::SeriesSparkline(const PlotStore& store, std::size_t maxPoints, QWidget* parent)
    : QWidget(parent), store_(store), maxPoints_(maxPoints)
{
    setMinimumHeight(16);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void SeriesSparkline::setSeries(const PlotStore::Series& series)
{
    points_ = sparklinePoints(series.points, maxPoints_);
    yRange_ = sparklineRange(series.statistics);
    colorIndex_ = series.colorIndex;
    update();
}

void SeriesSparkline::paintEvent(QPaintEvent*)
{
    if (points_.empty())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    // Half the line's width inside, so that the line at the top and bottom is not cut.
    const double inset = PlotChart::lineWidth / 2;
    const QRectF area = QRectF(rect()).adjusted(inset, inset, -inset, -inset);
    const auto domain = store_.xDomain();
    const double xLow = static_cast<double>(domain.lower);
    const double xSpan = std::max(1.0, static_cast<double>(domain.upper - domain.lower));
    const auto [yLow, yHigh] = yRange_;
    const double ySpan = yHigh - yLow;
    const auto toScreen = [&](double x, double y) {
        return QPointF(
            area.left() + (x - xLow) / xSpan * area.width(), area.bottom() - (y - yLow) / ySpan * area.height());
    };

    const QColor color = seriesColor(colorIndex_, isDark(palette()));
    const QPainterPath line = seriesPath(points_, toScreen, store_.smoothLines());

    QPainterPath fill = line;
    fill.lineTo(toScreen(static_cast<double>(points_.back().x), yLow));
    fill.lineTo(toScreen(static_cast<double>(points_.front().x), yLow));
    fill.closeSubpath();
    QLinearGradient gradient(area.topLeft(), area.bottomLeft());
    QColor top = color;
    top.setAlphaF(0.3f);
    QColor bottom = color;
    bottom.setAlphaF(0.02f);
    gradient.setColorAt(0, top);
    gradient.setColorAt(1, bottom);
    painter.setPen(Qt::NoPen);
    painter.setBrush(gradient);
    painter.drawPath(fill);

    const SeriesLine drawn[] = {{points_, color}};
    drawSeriesLines(painter, scratch_, rasterizer_, area, drawn, toScreen, store_.smoothLines());
}

} // namespace velmora

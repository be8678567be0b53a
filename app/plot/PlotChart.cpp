#include "app/plot/PlotChart.h"

#include "app/plot/AxisTicks.h"
#include "app/plot/MonotoneCubic.h"
#include "app/plot/PlotFormat.h"

#include <QFontDatabase>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <limits>

namespace velmora {

QPainterPath seriesPath(std::span<const PlotStore::Point> points, const std::function<QPointF(double x, double y)>& toScreen, bool smooth)
{
    QPainterPath path;
    if (points.empty())
        return path;
    std::vector<CurvePoint> screen;
    screen.reserve(points.size());
    for (const auto& point : points) {
        const QPointF p = toScreen(static_cast<double>(point.x), point.y);
        screen.push_back({p.x(), p.y()});
    }
    path.moveTo(screen.front().x, screen.front().y);
    if (!smooth || screen.size() < 3) {
        for (std::size_t i = 1; i < screen.size(); ++i)
            path.lineTo(screen[i].x, screen[i].y);
        return path;
    }
    // Interpolated on screen, where x grows left to right as the samples do.
    for (const CubicPiece& piece : monotoneCubicPieces(screen))
        path.cubicTo(piece.control1.x, piece.control1.y, piece.control2.x, piece.control2.y, piece.end.x, piece.end.y);
    return path;
}

PlotChart::PlotChart(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    setMinimumSize(120, 60);
    QFont small = QFontDatabase::systemFont(QFontDatabase::SmallestReadableFont);
    small.setPointSizeF(std::max(small.pointSizeF(), 8.0));
    setFont(small);
}

void PlotChart::setLines(std::vector<Line> lines)
{
    lines_ = std::move(lines);
    layOutYAxis();
    update();
}

void PlotChart::setXDomain(PlotStore::XDomain domain)
{
    if (domain == xDomain_)
        return;
    xDomain_ = domain;
    update();
}

void PlotChart::setSmooth(bool smooth)
{
    if (smooth == smooth_)
        return;
    smooth_ = smooth;
    update();
}

void PlotChart::setYTickTarget(int target)
{
    yTickTarget_ = target;
    layOutYAxis();
    update();
}

void PlotChart::setXLabelsShown(bool shown)
{
    xLabelsShown_ = shown;
    update();
}

void PlotChart::setPlotBackground(QColor color)
{
    plotBackground_ = color;
    update();
}

void PlotChart::setPadding(int padding)
{
    padding_ = padding;
    update();
}

void PlotChart::layOutYAxis()
{
    double low = std::numeric_limits<double>::infinity();
    double high = -std::numeric_limits<double>::infinity();
    for (const Line& line : lines_) {
        for (const auto& point : line.points) {
            low = std::min(low, point.y);
            high = std::max(high, point.y);
        }
    }
    if (!std::isfinite(low)) {
        yTicks_.clear();
        yLower_ = 0;
        yUpper_ = 1;
        return;
    }
    const AxisTicks ticks = niceTicks(low, high, yTickTarget_);
    yTicks_ = ticks.values;
    yLower_ = ticks.lower;
    yUpper_ = ticks.upper;
}

QRectF PlotChart::plotRect() const
{
    const QFontMetricsF metrics(font());
    const double bottom = xLabelsShown_ ? metrics.height() + 4 : 0;
    // Half a label above the top tick and below the lowest, so their labels are not cut.
    const double half = metrics.height() / 2;
    return QRectF(padding_, padding_ + half, width() - 2 * padding_ - labelColumnWidth,
        height() - 2 * padding_ - bottom - 2 * half);
}

void PlotChart::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF area = plotRect();
    if (area.width() < 4 || area.height() < 4)
        return;
    if (plotBackground_.isValid())
        painter.fillRect(area, plotBackground_);

    const double xLow = static_cast<double>(xDomain_.lower);
    const double xSpan = std::max(1.0, static_cast<double>(xDomain_.upper - xDomain_.lower));
    const double ySpan = std::max(1e-300, yUpper_ - yLower_);
    const auto toScreen = [&](double x, double y) {
        return QPointF(area.left() + (x - xLow) / xSpan * area.width(), area.bottom() - (y - yLower_) / ySpan * area.height());
    };

    QColor grid = palette().color(QPalette::WindowText);
    grid.setAlphaF(0.12f);
    QColor label = palette().color(QPalette::WindowText);
    label.setAlphaF(0.62f);
    const QFontMetricsF metrics(font());

    painter.setPen(QPen(grid, 1));
    const auto xTicks = sampleTicks(xLow, xLow + xSpan, std::max(2, static_cast<int>(area.width() / 90)));
    for (const double tick : xTicks) {
        const double x = toScreen(tick, 0).x();
        painter.setPen(QPen(grid, 1));
        painter.drawLine(QPointF(x, area.top()), QPointF(x, area.bottom()));
        if (xLabelsShown_) {
            painter.setPen(label);
            const QString text = QString::number(static_cast<long long>(tick));
            const double w = metrics.horizontalAdvance(text);
            const double left = std::clamp(x - w / 2, area.left(), area.right() - w);
            painter.drawText(QPointF(left, area.bottom() + metrics.ascent() + 3 + metrics.height() / 2), text);
        }
    }
    for (const double tick : yTicks_) {
        const double y = toScreen(xLow, tick).y();
        painter.setPen(QPen(grid, 1));
        painter.drawLine(QPointF(area.left(), y), QPointF(area.right(), y));
        painter.setPen(label);
        const QRectF cell(area.right() + 6, y - metrics.height() / 2, labelColumnWidth - 6, metrics.height());
        painter.drawText(cell, Qt::AlignLeft | Qt::AlignVCenter, metrics.elidedText(formatValue(tick), Qt::ElideRight, cell.width()));
    }

    painter.setClipRect(area.adjusted(-2, -2, 2, 2));
    for (const Line& line : lines_) {
        QPen pen(line.color, lineWidth);
        pen.setCapStyle(Qt::RoundCap);
        pen.setJoinStyle(Qt::RoundJoin);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        if (line.points.size() == 1) {
            painter.drawPoint(toScreen(static_cast<double>(line.points.front().x), line.points.front().y));
            continue;
        }
        painter.drawPath(seriesPath(line.points, toScreen, smooth_));
    }
}

} // namespace velmora

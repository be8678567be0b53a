#include "app/plot/PlotChart.h"

#include "app/plot/LineRasterizer.h"
#include "app/plot/PlotFormat.h"
#include "core/plot/AxisTicks.h"
#include "core/plot/MonotoneCubic.h"

#include <QFontDatabase>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <limits>

namespace velmora {

QPainterPath seriesPath(
    std::span<const PlotStore::Point> points, const std::function<QPointF(double x, double y)>& toScreen, bool smooth)
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

std::vector<QPointF> seriesPolyline(
    std::span<const PlotStore::Point> points, const std::function<QPointF(double x, double y)>& toScreen, bool smooth)
{
    std::vector<QPointF> screen;
    screen.reserve(points.size());
    for (const auto& point : points)
        screen.push_back(toScreen(static_cast<double>(point.x), point.y));
    if (!smooth || screen.size() < 3)
        return screen;

    std::vector<CurvePoint> curve;
    curve.reserve(screen.size());
    for (const QPointF& p : screen)
        curve.push_back({p.x(), p.y()});
    std::vector<QPointF> flat;
    flat.reserve(screen.size() * 2);
    flat.push_back(screen.front());
    CurvePoint start = curve.front();
    for (const CubicPiece& piece : monotoneCubicPieces(curve)) {
        // Pieces a few pixels long need one or two steps; a steep one gets up to sixteen.
        const double chord = std::hypot(piece.end.x - start.x, piece.end.y - start.y);
        const int steps = std::clamp(static_cast<int>(std::ceil(chord / 3)), 1, 16);
        for (int step = 1; step <= steps; ++step) {
            const double t = static_cast<double>(step) / steps;
            const double u = 1 - t;
            const double b0 = u * u * u;
            const double b1 = 3 * u * u * t;
            const double b2 = 3 * u * t * t;
            const double b3 = t * t * t;
            flat.emplace_back(b0 * start.x + b1 * piece.control1.x + b2 * piece.control2.x + b3 * piece.end.x,
                b0 * start.y + b1 * piece.control1.y + b2 * piece.control2.y + b3 * piece.end.y);
        }
        start = piece.end;
    }
    return flat;
}

void drawSeriesLines(QPainter& painter, QImage& scratch, LineRasterizer& rasterizer, const QRectF& area,
    std::span<const SeriesLine> lines, const std::function<QPointF(double x, double y)>& toScreen, bool smooth)
{
    // A margin for the line's width and antialiasing, so that lines at the edges are whole.
    const double margin = PlotChart::lineWidth + 1;
    const QRectF bounds = area.adjusted(-margin, -margin, margin, margin);
    const qreal ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    const QSize size(
        static_cast<int>(std::ceil(bounds.width() * ratio)), static_cast<int>(std::ceil(bounds.height() * ratio)));
    if (size.isEmpty())
        return;
    if (scratch.size() != size || scratch.format() != QImage::Format_ARGB32_Premultiplied)
        scratch = QImage(size, QImage::Format_ARGB32_Premultiplied);
    scratch.fill(Qt::transparent);
    rasterizer.setTarget(scratch);
    const auto toImage = [&](double x, double y) { return (toScreen(x, y) - bounds.topLeft()) * ratio; };
    for (const SeriesLine& line : lines)
        rasterizer.drawPolyline(seriesPolyline(line.points, toImage, smooth), line.color, PlotChart::lineWidth * ratio);
    scratch.setDevicePixelRatio(ratio);
    painter.drawImage(bounds.topLeft(), scratch);
}

PlotChart::PlotChart(QWidget* parent) : QWidget(parent)
{
    // It paints every pixel of its rectangle, so Qt need not paint what lies beneath it.
    setAttribute(Qt::WA_OpaquePaintEvent);
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
    const QRectF area = plotRect();
    if (area.width() < 4 || area.height() < 4) {
        QPainter(this).fillRect(rect(), palette().color(QPalette::Window));
        return;
    }
    // The whole chart is drawn into an opaque image of our own and copied out in one go: the
    // lines are rasterised straight into its pixels, and an opaque copy is the cheapest blit.
    const qreal ratio = devicePixelRatioF();
    const QSize pixels(static_cast<int>(std::ceil(width() * ratio)), static_cast<int>(std::ceil(height() * ratio)));
    if (scratch_.size() != pixels || scratch_.format() != QImage::Format_ARGB32_Premultiplied)
        scratch_ = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
    scratch_.setDevicePixelRatio(ratio);
    scratch_.fill(palette().color(QPalette::Window).rgb());
    QPainter painter(&scratch_);
    if (plotBackground_.isValid())
        painter.fillRect(area, plotBackground_);

    const double xLow = static_cast<double>(xDomain_.lower);
    const double xSpan = std::max(1.0, static_cast<double>(xDomain_.upper - xDomain_.lower));
    const double ySpan = std::max(1e-300, yUpper_ - yLower_);
    const auto toScreen = [&](double x, double y) {
        return QPointF(
            area.left() + (x - xLow) / xSpan * area.width(), area.bottom() - (y - yLower_) / ySpan * area.height());
    };

    QColor grid = palette().color(QPalette::WindowText);
    grid.setAlphaF(0.12f);
    QColor label = palette().color(QPalette::WindowText);
    label.setAlphaF(0.62f);
    const QFontMetricsF metrics(font());

    const auto xTicks = sampleTicks(xLow, xLow + xSpan, std::max(2, static_cast<int>(area.width() / 90)));
    for (const double tick : xTicks) {
        const double x = toScreen(tick, 0).x();
        // Grid lines as one-pixel fills on whole pixels: crisp, and far cheaper than stroking.
        painter.fillRect(QRectF(std::round(x * ratio) / ratio, area.top(), 1 / ratio, area.height()), grid);
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
        painter.fillRect(QRectF(area.left(), std::round(y * ratio) / ratio, area.width(), 1 / ratio), grid);
        painter.setPen(label);
        const QRectF cell(area.right() + 6, y - metrics.height() / 2, labelColumnWidth - 6, metrics.height());
        painter.drawText(cell, Qt::AlignLeft | Qt::AlignVCenter,
            metrics.elidedText(formatValue(tick), Qt::ElideRight, cell.width()));
    }

    painter.end();
    rasterizer_.setTarget(scratch_);
    const auto toPixels = [&](double x, double y) { return toScreen(x, y) * ratio; };
    for (const Line& line : lines_)
        rasterizer_.drawPolyline(seriesPolyline(line.points, toPixels, smooth_), line.color, lineWidth * ratio);

    QPainter out(this);
    out.drawImage(QPointF(0, 0), scratch_);
}

} // namespace velmora

#pragma once

#include "app/plot/LineRasterizer.h"
#include "core/plot/PlotStore.h"

#include <QColor>
#include <QImage>
#include <QPainterPath>
#include <QWidget>

#include <functional>
#include <span>
#include <vector>

class QPainter;

namespace velmora {

// The path of one series' line through its points, mapped to the screen by toScreen: straight
// segments, or the monotone cubic curve when smooth.
QPainterPath seriesPath(
    std::span<const PlotStore::Point> points, const std::function<QPointF(double x, double y)>& toScreen, bool smooth);

// The screen points of the same line, curves flattened into short straight pieces: what the
// rasterised line is drawn through.
std::vector<QPointF> seriesPolyline(
    std::span<const PlotStore::Point> points, const std::function<QPointF(double x, double y)>& toScreen, bool smooth);

// One line to draw: its points and colour.
struct SeriesLine {
    std::span<const PlotStore::Point> points;
    QColor color;
};

// Draws the lines (PlotChart::lineWidth wide, antialiased, round joins and ends) over area,
// through a scratch image kept by the caller between paints.
void drawSeriesLines(QPainter& painter, QImage& scratch, LineRasterizer& rasterizer, const QRectF& area,
    std::span<const SeriesLine> lines, const std::function<QPointF(double x, double y)>& toScreen, bool smooth);

// A line chart of one or more series painted with QPainter: the X axis spans the given sample
// range with ticks, grid lines and (optionally) labels at the bottom; the Y axis fits the drawn
// values with round ticks, labelled on the trailing side in a fixed-width column, and does not
// have to include zero. It draws no legend of its own.
//
// Thread: main thread.
class PlotChart final : public QWidget {
    Q_OBJECT
public:
    struct Line {
        std::vector<PlotStore::Point> points;
        QColor color;
    };

    static constexpr int labelColumnWidth = 52;
    static constexpr double lineWidth = 1.5;

    explicit PlotChart(QWidget* parent = nullptr);

    void setLines(std::vector<Line> lines);
    void setXDomain(PlotStore::XDomain domain);
    void setSmooth(bool smooth);
    // About five ticks on the shared chart and the detail, three in stacked rows.
    void setYTickTarget(int target);
    void setXLabelsShown(bool shown);
    // Fills the plot area behind the lines (the card detail tints it in the series colour).
    void setPlotBackground(QColor color);
    void setPadding(int padding);

    const std::vector<Line>& lines() const { return lines_; }
    // The Y axis's ticks as last laid out; empty when there is nothing to draw.
    const std::vector<double>& yTicks() const { return yTicks_; }
    // Where the lines are drawn, inside the widget.
    QRectF plotRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void layOutYAxis();

    std::vector<Line> lines_;
    PlotStore::XDomain xDomain_;
    bool smooth_ = false;
    int yTickTarget_ = 5;
    bool xLabelsShown_ = true;
    QColor plotBackground_;
    int padding_ = 0;
    std::vector<double> yTicks_;
    QImage scratch_;
    LineRasterizer rasterizer_;
    double yLower_ = 0;
    double yUpper_ = 1;
};

} // namespace velmora

#pragma once

#include "app/plot/LineRasterizer.h"
#include "core/plot/PlotStore.h"

#include <QImage>
#include <QWidget>

#include <cstddef>
#include <utility>
#include <vector>

namespace velmora {

// A card's small chart: one series' line over a gradient area, with no axes, grid or legend.
// It spans the store's X range like every chart, draws at most about maxPoints points and fits
// its Y range to the series' statistics. Line style and X range are read from the store when
// painting, so an update() is all a change of them needs.
//
// Thread: main thread.
class SeriesSparkline final : public QWidget {
    Q_OBJECT
public:
    SeriesSparkline(const PlotStore& store, std::size_t maxPoints, QWidget* parent = nullptr);

    void setSeries(const PlotStore::Series& series);

    const std::vector<PlotStore::Point>& drawnPoints() const { return points_; }
    std::pair<double, double> yRange() const { return yRange_; }
    std::size_t maxPoints() const { return maxPoints_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const PlotStore& store_;
    std::size_t maxPoints_;
    std::vector<PlotStore::Point> points_;
    // Where the line is rasterised, kept between paints.
    QImage scratch_;
    LineRasterizer rasterizer_;
    std::pair<double, double> yRange_{0.0, 1.0};
    std::int64_t colorIndex_ = 0;
};

} // namespace velmora

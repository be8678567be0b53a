#pragma once

#include "core/plot/PlotStore.h"

#include <QScrollArea>

#include <memory>
#include <vector>

namespace velmora {

class CompactStatistics;
class PlotChart;

// One chart per visible series, one under the other, each with its own Y axis and the common X
// range. The rows share the height, but none gets less than minimumRowHeight; only then does the
// column scroll. X labels are drawn under the last row only.
//
// Thread: main thread.
class StackedCharts final : public QScrollArea {
    Q_OBJECT
public:
    static constexpr int minimumRowHeight = 96;

    explicit StackedCharts(QWidget* parent = nullptr);
    ~StackedCharts() override;

    void setSeries(
        const std::vector<PlotStore::Series>& series, PlotStore::XDomain domain, bool smooth, bool statistics);

    int rowHeight() const { return rowHeight_; }
    bool scrolls() const;
    int rowCount() const { return static_cast<int>(rows_.size()); }
    PlotChart* chart(int row) const;
    // The header's statistics of a row; hidden when statistics are off.
    CompactStatistics* statistics(int row) const;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    struct Row;
    void layOutRows();

    QWidget* column_;
    std::vector<std::unique_ptr<Row>> rows_;
    int rowHeight_ = minimumRowHeight;
};

} // namespace velmora


#include "app/plot/StackedCharts.h"
#include "app/common/Caption.h"
#include "app/common/Colours.h"
#include "app/plot/CompactStatistics.h"
#include "app/plot/PlotChart.h"
#include "app/plot/PlotPalette.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QResizeEvent>
#include <QScrollBar>
#include <QVBoxLayout>

#include <algorithm>

namespace velmora {

struct StackedCharts::Row {
    QWidget* widget = nullptr;
    QLabel* swatch = nullptr;
    QLabel* name = nullptr;
    CompactStatistics* statistics = nullptr;
    PlotChart* chart = nullptr;
};

StackedCharts::StackedCharts(QWidget* parent) : QScrollArea(parent), column_(new QWidget)
{
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setWidgetResizable(false);
    setWidget(column_);
    viewport()->setAutoFillBackground(false);
    column_->setAutoFillBackground(false);
}

StackedCharts::~StackedCharts() = default;

void StackedCharts::setSeries(
    const std::vector<PlotStore::Series>& series, PlotStore::XDomain domain, bool smooth, bool statistics)
{
    const bool dark = isDark(palette());
    while (rows_.size() > series.size()) {
        delete rows_.back()->widget;
        rows_.pop_back();
    }
    while (rows_.size() < series.size()) {
        auto row = std::make_unique<Row>();
        row->widget = new QWidget(column_);
        auto* layout = new QVBoxLayout(row->widget);
        layout->setContentsMargins(12, 6, 12, 2);
        layout->setSpacing(2);
        auto* header = new QHBoxLayout();
        header->setSpacing(5);
        header->setContentsMargins(0, 0, 60, 0);
        row->swatch = new QLabel(row->widget);
        row->swatch->setFixedSize(7, 7);
        row->name = new QLabel(row->widget);
        QFont medium = captionFont(this);
        medium.setWeight(QFont::Medium);
        row->name->setFont(medium);
        row->statistics = new CompactStatistics(true, row->widget);
        header->addWidget(row->swatch);
        header->addWidget(row->name);
        header->addWidget(row->statistics);
        header->addStretch(1);
        layout->addLayout(header);
        row->chart = new PlotChart(row->widget);
        row->chart->setYTickTarget(3);
        layout->addWidget(row->chart, 1);
        row->widget->show();
        rows_.push_back(std::move(row));
    }
    for (std::size_t i = 0; i < series.size(); ++i) {
        Row& row = *rows_[i];
        const auto& one = series[i];
        const QColor color = seriesColor(one.colorIndex, dark);
        row.swatch->setStyleSheet(QStringLiteral("background: %1;").arg(color.name()));
        row.name->setText(QString::fromStdString(one.name));
        row.statistics->setVisible(statistics && one.statistics);
        if (one.statistics)
            row.statistics->setStatistics(*one.statistics);
        row.chart->setLines({{one.points, color}});
        row.chart->setXDomain(domain);
        row.chart->setSmooth(smooth);
        row.chart->setXLabelsShown(i + 1 == series.size());
    }
    layOutRows();
}

bool StackedCharts::scrolls() const
{
    return rowHeight_ * static_cast<int>(rows_.size()) > viewport()->height() + 1;
}

PlotChart* StackedCharts::chart(int row) const
{
    return rows_.at(static_cast<std::size_t>(row))->chart;
}

CompactStatistics* StackedCharts::statistics(int row) const
{
    return rows_.at(static_cast<std::size_t>(row))->statistics;
}

void StackedCharts::resizeEvent(QResizeEvent* event)
{
    QScrollArea::resizeEvent(event);
    layOutRows();
}

void StackedCharts::layOutRows()
{
    const int count = std::max(1, static_cast<int>(rows_.size()));
    const int available = viewport()->height();
    rowHeight_ = std::max(available / count, minimumRowHeight);
    const bool scrolling = rowHeight_ * count > available + 1;
    setVerticalScrollBarPolicy(scrolling ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    const int width = viewport()->width();
    column_->resize(width, rowHeight_ * static_cast<int>(rows_.size()));
    for (std::size_t i = 0; i < rows_.size(); ++i)
        rows_[i]->widget->setGeometry(0, static_cast<int>(i) * rowHeight_, width, rowHeight_);
}

} // namespace velmora

#pragma once

#include "core/plot/PlotStore.h"

#include <QWidget>

#include <vector>

namespace velmora {

// Min, max and average of each given series, one row per series that has statistics, under the
// column titles; on a rounded panel. A series without visible points gets no row.
//
// Thread: main thread.
class StatisticsTable final : public QWidget {
    Q_OBJECT
public:
    explicit StatisticsTable(QWidget* parent = nullptr);

    void setSeries(const std::vector<PlotStore::Series>& series);
    // The rows as shown, each "name min max avg", for tests and accessibility.
    QStringList rows() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    struct Row {
        QColor color;
        QString name;
        QString cells[3];
    };

    std::vector<Row> rows_;
};

} // namespace velmora

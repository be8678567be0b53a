#pragma once

#include "core/plot/PlotStore.h"

#include <QWidget>

class QLabel;

namespace velmora {

// "Min 20  Max 23.5  Avg 21.75" in one row, the labels in the secondary colour. Plain, it has no
// background of its own (stacked chart headers); otherwise it sits on a rounded panel.
//
// Thread: main thread.
class CompactStatistics final : public QWidget {
    Q_OBJECT
public:
    CompactStatistics(bool plain, QWidget* parent = nullptr);

    void setStatistics(const PlotStore::Statistics& statistics);
    // The row as read: "Min 20 Max 23.5 Avg 21.75".
    QString text() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool plain_;
    QLabel* values_[3] = {};
    QLabel* labels_[3] = {};
};

// Paints the regular-material panel the plotter's floating parts sit on.
void paintMaterialPanel(QWidget* widget, double radius);

} // namespace velmora

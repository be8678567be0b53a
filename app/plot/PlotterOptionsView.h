#pragma once

#include "core/plot/PlotStore.h"
#include "core/support/Published.h"

#include <QWidget>

#include <vector>

class QButtonGroup;
class QCheckBox;
class QComboBox;

namespace velmora {

// The plotter options popup's content: statistics, layout, smooth lines and the number of points,
// each bound straight to the store, which stores it at once.
//
// Thread: main thread. The store must outlive the view.
class PlotterOptionsView final : public QWidget {
    Q_OBJECT
public:
    explicit PlotterOptionsView(PlotStore& store, QWidget* parent = nullptr);

    QCheckBox* statistics() const { return statistics_; }
    QButtonGroup* layouts() const { return layouts_; }
    QCheckBox* smooth() const { return smooth_; }
    QComboBox* points() const { return points_; }

private:
    PlotStore& store_;
    std::vector<Subscription> subscriptions_;
    QCheckBox* statistics_ = nullptr;
    QButtonGroup* layouts_ = nullptr;
    QCheckBox* smooth_ = nullptr;
    QComboBox* points_ = nullptr;
};

} // namespace velmora


#include "app/plot/PlotterOptionsView.h"
#include "app/common/Caption.h"
#include "app/common/PlatformText.h"
#include "localization/L10n.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

namespace velmora {
namespace {

constexpr std::array<PlotLayout, 3> layoutOrder{PlotLayout::shared, PlotLayout::stacked, PlotLayout::cards};

} // namespace

PlotterOptionsView::PlotterOptionsView(PlotStore& store, QWidget* parent) : QWidget(parent), store_(store)
{
    setFixedWidth(360);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 4, 0, 4);
    auto* group = new QGroupBox(qt(L10n::Plotter::options()), this);
    auto* form = new QFormLayout(group);

    statistics_ = new QCheckBox(qt(L10n::Plotter::statistics()), group);
    statistics_->setToolTip(qt(L10n::Plotter::statisticsHelp()));
    form->addRow(statistics_);
    connect(statistics_, &QCheckBox::clicked, this, [this](bool on) { store_.setShowStatistics(on); });

    // A segmented control: three joined toggle buttons.
    auto* segments = new QWidget(group);
    auto* segmentRow = new QHBoxLayout(segments);
    segmentRow->setContentsMargins(0, 0, 0, 0);
    segmentRow->setSpacing(0);
    layouts_ = new QButtonGroup(this);
    layouts_->setExclusive(true);
    for (const PlotLayout layout : layoutOrder) {
        auto* button = new QToolButton(segments);
        button->setText(qt(L10n::Plotter::layoutName(layout)));
        button->setCheckable(true);
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        layouts_->addButton(button, static_cast<int>(layout));
        segmentRow->addWidget(button);
    }
    connect(
        layouts_, &QButtonGroup::idClicked, this, [this](int id) { store_.setLayout(static_cast<PlotLayout>(id)); });
    form->addRow(qt(L10n::Plotter::layout()), segments);

    smooth_ = new QCheckBox(qt(L10n::Plotter::smooth()), group);
    smooth_->setToolTip(qt(L10n::Plotter::smoothHelp()));
    form->addRow(smooth_);
    connect(smooth_, &QCheckBox::clicked, this, [this](bool on) { store_.setSmoothLines(on); });

    points_ = new QComboBox(group);
    for (const auto size : PlotStore::windowSizes)
        points_->addItem(QString::number(size), QVariant::fromValue<qlonglong>(size));
    form->addRow(qt(L10n::Plotter::points()), points_);
    connect(points_, &QComboBox::activated, this,
        [this](int index) { store_.setWindowSize(points_->itemData(index).toLongLong()); });

    column->addWidget(group);
    column->addWidget(makeNote(qt(L10n::Plotter::layoutHelp()), this));

    subscriptions_.push_back(store_.observeShowStatistics([this](bool on) { statistics_->setChecked(on); }));
    subscriptions_.push_back(store_.observeSmoothLines([this](bool on) { smooth_->setChecked(on); }));
    subscriptions_.push_back(store_.observeLayout([this](PlotLayout layout) {
        if (auto* button = layouts_->button(static_cast<int>(layout)))
            button->setChecked(true);
    }));
    subscriptions_.push_back(store_.observeWindowSize([this](std::int64_t size) {
        points_->setCurrentIndex(points_->findData(QVariant::fromValue<qlonglong>(size)));
    }));
}

} // namespace velmora

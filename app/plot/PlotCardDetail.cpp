#include "app/plot/PlotCardDetail.h"

#include "app/common/Icons.h"
#include "app/common/PlatformText.h"
#include "app/plot/CompactStatistics.h"
#include "app/plot/PlotCard.h"
#include "app/plot/PlotChart.h"
#include "app/plot/SeriesSwatch.h"
#include "app/plot/ShrinkingLabel.h"
#include "localization/L10n.h"

#include <QEvent>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QShortcut>
#include <QToolButton>
#include <QVBoxLayout>

namespace velmora {
namespace {

constexpr double valueMinimumScale = 0.6;
constexpr int buttonIconSize = 16;

} // namespace

PlotCardDetail::PlotCardDetail(const PlotStore& store, QWidget* parent) : CardBackground(true, parent), store_(store)
{
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(shadowMargins() + QMargins(padding, padding, padding, padding));
    column->setSpacing(10);

    auto* header = new QHBoxLayout;
    header->setSpacing(8);
    swatch_ = new SeriesSwatch(10, this);
    header->addWidget(swatch_);

    // A long name is cut rather than pushing the buttons out of a narrow detail.
    name_ = new ShrinkingLabel(1, this);
    name_->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    QFont title = font();
    title.setPointSizeF(font().pointSizeF() * 15.0 / 13.0);
    title.setWeight(QFont::DemiBold);
    name_->setFont(title);
    header->addWidget(name_);

    value_ = new ShrinkingLabel(valueMinimumScale, this);
    value_->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    QFont big = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    big.setPointSizeF(valuePointSize);
    big.setWeight(QFont::DemiBold);
    value_->setFont(big);
    header->addWidget(value_);

    statistics_ = new CompactStatistics(false, this);
    statistics_->hide();
    header->addWidget(statistics_);
    header->addStretch(1);

    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(4);
    previous_ =
        addButton("chevron.left", L10n::Plotter::previous(), QKeySequence(Qt::Key_Left), &PlotCardDetail::onPrevious);
    next_ = addButton("chevron.right", L10n::Plotter::next(), QKeySequence(Qt::Key_Right), &PlotCardDetail::onNext);
    close_ = addButton("xmark", L10n::Plotter::close(), QKeySequence(Qt::Key_Escape), &PlotCardDetail::onClose);
    buttons->addWidget(previous_);
    buttons->addWidget(next_);
    buttons->addWidget(close_);
    header->addLayout(buttons);
    column->addLayout(header);

    chart_ = new PlotChart(this);
    chart_->setYTickTarget(5);
    column->addWidget(chart_, 1);
    applySeriesColour();
}

QToolButton* PlotCardDetail::addButton(
    const char* symbol, const std::string& help, const QKeySequence& key, std::function<void()> PlotCardDetail::*action)
{
    auto* button = new QToolButton(this);
    button->setIcon(symbolIcon(symbol));
    button->setIconSize(QSize(buttonIconSize, buttonIconSize));
    button->setToolTip(platformText(help));
    button->setAccessibleName(button->toolTip());
    const auto run = [this, action] {
        if (const auto& callback = this->*action)
            callback();
    };
    connect(button, &QToolButton::clicked, this, run);
    // A window-wide key, but only while this detail is shown: Qt ignores shortcuts of hidden
    // widgets.
    auto* shortcut = new QShortcut(key, this);
    shortcut->setContext(Qt::WindowShortcut);
    connect(shortcut, &QShortcut::activated, this, run);
    return button;
}

void PlotCardDetail::setSeries(const PlotStore::Series& series)
{
    series_ = series;
    name_->setText(QString::fromStdString(series.name));
    value_->setText(currentValueText(series));
    applySeriesColour();
    refresh();
}

void PlotCardDetail::refresh()
{
    const bool show = store_.showStatistics() && series_.statistics.has_value();
    if (show)
        statistics_->setStatistics(*series_.statistics);
    statistics_->setVisible(show);
    chart_->setXDomain(store_.xDomain());
    chart_->setSmooth(store_.smoothLines());
}

QString PlotCardDetail::valueText() const
{
    return value_->text();
}

bool PlotCardDetail::statisticsShown() const
{
    return !statistics_->isHidden();
}

void PlotCardDetail::applySeriesColour()
{
    const QColor color = seriesColorFor(this, series_.colorIndex);
    swatch_->setColor(color);
    value_->setColor(color);
    QColor tint = color;
    tint.setAlphaF(static_cast<float>(plotBackgroundOpacity));
    chart_->setPlotBackground(tint);
    chart_->setLines({PlotChart::Line{series_.points, color}});
}

void PlotCardDetail::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::PaletteChange)
        applySeriesColour();
    CardBackground::changeEvent(event);
}

} // namespace velmora

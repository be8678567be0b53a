#include "app/plot/PlotCard.h"

#include "app/common/Caption.h"
#include "app/common/Colours.h"
#include "app/common/Icons.h"
#include "app/common/PlatformText.h"
#include "app/plot/CardBackground.h"
#include "app/plot/PlotFormat.h"
#include "app/plot/PlotPalette.h"
#include "app/plot/SeriesSparkline.h"
#include "app/plot/SeriesSwatch.h"
#include "app/plot/ShrinkingLabel.h"
#include "localization/L10n.h"

#include <QEvent>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

#include <algorithm>

namespace velmora {
namespace {

constexpr double valuePointSize = 26;
constexpr double valueMinimumScale = 0.6;
constexpr double statisticsMinimumScale = 0.8;
constexpr int expandIconSize = 12;

QColor faded(QColor color, double alpha)
{
    color.setAlphaF(static_cast<float>(alpha));
    return color;
}

} // namespace

QString currentValueText(const PlotStore::Series& series)
{
    return series.points.empty() ? QStringLiteral("\u2013") : formatValue(series.points.back().y);
}

QString statisticsLine(const PlotStore::Statistics& statistics)
{
    const QString separator = QStringLiteral("  \u00B7  ");
    return QString::fromStdString(L10n::Plotter::min()) + u' ' + formatValue(statistics.min) + separator +
        QString::fromStdString(L10n::Plotter::max()) + u' ' + formatValue(statistics.max) + separator +
        QString::fromStdString(L10n::Plotter::mean()) + u' ' + formatMean(statistics.decimals, statistics.mean);
}

QColor seriesColorFor(const QWidget* widget, std::int64_t colorIndex)
{
    return seriesColor(colorIndex, isDark(widget->palette()));
}

PlotCard::PlotCard(const PlotStore& store, QWidget* parent) : QAbstractButton(parent), store_(store)
{
    setFixedHeight(cardHeight);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setCursor(Qt::PointingHandCursor);
    setToolTip(platformText(L10n::Plotter::cardHelp()));

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(padding, padding, padding, padding);
    column->setSpacing(6);

    auto* header = new QHBoxLayout;
    header->setSpacing(6);
    swatch_ = new SeriesSwatch(8, this);
    // A long name is cut rather than widening the card.
    name_ = new ShrinkingLabel(1, this);
    QFont callout = font();
    callout.setPointSizeF(font().pointSizeF() * 12.0 / 13.0);
    callout.setWeight(QFont::Medium);
    name_->setFont(callout);
    expandIcon_ = new QLabel(this);
    expandIcon_->setFixedSize(expandIconSize, expandIconSize);
    header->addWidget(swatch_);
    header->addWidget(name_, 1);
    header->addWidget(expandIcon_);
    column->addLayout(header);

    value_ = new ShrinkingLabel(valueMinimumScale, this);
    QFont big = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    big.setPointSizeF(valuePointSize);
    big.setWeight(QFont::DemiBold);
    value_->setFont(big);
    column->addWidget(value_);

    sparkline_ = new SeriesSparkline(store, sparklinePoints, this);
    column->addWidget(sparkline_, 1);

    statistics_ = new ShrinkingLabel(statisticsMinimumScale, this);
    QFont smallest = QFontDatabase::systemFont(QFontDatabase::SmallestReadableFont);
    smallest.setPointSizeF(std::min(captionFont(this).pointSizeF(), std::max(smallest.pointSizeF(), 7.5)));
    statistics_->setFont(smallest);
    statistics_->hide();
    column->addWidget(statistics_);

    // The card is one button: its parts must not take the clicks.
    for (QWidget* part : findChildren<QWidget*>())
        part->setAttribute(Qt::WA_TransparentForMouseEvents);
    refreshColours();
}

void PlotCard::setSeries(const PlotStore::Series& series)
{
    series_ = series;
    name_->setText(QString::fromStdString(series.name));
    value_->setText(currentValueText(series));
    sparkline_->setSeries(series);
    refreshColours();
    refresh();
}

void PlotCard::refresh()
{
    const bool show = store_.showStatistics() && series_.statistics.has_value();
    if (show)
        statistics_->setText(statisticsLine(*series_.statistics));
    statistics_->setVisible(show);
    setAccessibleName(name_->text() + QStringLiteral(", ") + value_->text() +
        (show ? QStringLiteral(", ") + statistics_->text() : QString()));
    sparkline_->update();
}

QString PlotCard::valueText() const
{
    return value_->text();
}

QString PlotCard::statisticsText() const
{
    return statisticsShown() ? statistics_->text() : QString();
}

bool PlotCard::statisticsShown() const
{
    return !statistics_->isHidden();
}

void PlotCard::refreshColours()
{
    const QColor color = seriesColorFor(this, series_.colorIndex);
    swatch_->setColor(color);
    value_->setColor(color);
    const QColor text = palette().color(QPalette::WindowText);
    expandIcon_->setPixmap(tintedSymbolIcon("arrow.up.left.and.arrow.down.right", faded(text, 0.3))
                               .pixmap(QSize(expandIconSize, expandIconSize)));
    statistics_->setColor(palette().color(QPalette::PlaceholderText));
}

void PlotCard::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::PaletteChange)
        refreshColours();
    QAbstractButton::changeEvent(event);
}

void PlotCard::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    CardBackground::paint(painter, rect(), false, palette());
    painter.setRenderHint(QPainter::Antialiasing);
    if (isDown()) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(faded(palette().color(QPalette::WindowText), 0.05));
        painter.drawRoundedRect(QRectF(rect()), CardBackground::cornerRadius, CardBackground::cornerRadius);
    }
    if (hasFocus()) {
        painter.setPen(QPen(palette().color(QPalette::Highlight), 1.5));
        painter.setBrush(Qt::NoBrush);
        const double inset = 1.5;
        painter.drawRoundedRect(QRectF(rect()).adjusted(inset, inset, -inset, -inset),
            CardBackground::cornerRadius - inset, CardBackground::cornerRadius - inset);
    }
}

} // namespace velmora

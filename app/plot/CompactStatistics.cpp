#include "app/plot/CompactStatistics.h"

#include "app/common/Caption.h"
#include "app/plot/PlotFormat.h"
#include "localization/L10n.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>

namespace velmora {

void paintMaterialPanel(QWidget* widget, double radius)
{
    QPainter painter(widget);
    painter.setRenderHint(QPainter::Antialiasing);
    QColor fill = widget->palette().color(QPalette::Window);
    fill.setAlphaF(0.92f);
    QColor edge = widget->palette().color(QPalette::WindowText);
    edge.setAlphaF(0.12f);
    painter.setPen(QPen(edge, 1));
    painter.setBrush(fill);
    painter.drawRoundedRect(QRectF(widget->rect()).adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
}

CompactStatistics::CompactStatistics(bool plain, QWidget* parent) : QWidget(parent), plain_(plain)
{
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(plain ? 0 : 8, plain ? 0 : 3, plain ? 0 : 8, plain ? 0 : 3);
    row->setSpacing(4);
    const std::string names[3] = {L10n::Plotter::min(), L10n::Plotter::max(), L10n::Plotter::mean()};
    QFont font = captionFont(this);
    font.setStyleHint(QFont::Monospace);
    for (int i = 0; i < 3; ++i) {
        if (i > 0)
            row->addSpacing(6);
        labels_[i] = new QLabel(QString::fromStdString(names[i]), this);
        labels_[i]->setFont(font);
        QPalette secondary = labels_[i]->palette();
        secondary.setColor(QPalette::WindowText, secondary.color(QPalette::PlaceholderText));
        labels_[i]->setPalette(secondary);
        values_[i] = new QLabel(this);
        values_[i]->setFont(font);
        row->addWidget(labels_[i]);
        row->addWidget(values_[i]);
    }
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void CompactStatistics::setStatistics(const PlotStore::Statistics& statistics)
{
    values_[0]->setText(formatValue(statistics.min));
    values_[1]->setText(formatValue(statistics.max));
    values_[2]->setText(formatMean(statistics.decimals, statistics.mean));
}

QString CompactStatistics::text() const
{
    QStringList parts;
    for (int i = 0; i < 3; ++i)
        parts << labels_[i]->text() << values_[i]->text();
    return parts.join(u' ');
}

void CompactStatistics::paintEvent(QPaintEvent*)
{
    if (!plain_)
        paintMaterialPanel(this, height() / 2.0);
}

} // namespace velmora

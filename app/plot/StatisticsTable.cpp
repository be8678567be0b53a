#include "app/plot/StatisticsTable.h"

#include "app/common/Caption.h"
#include "app/common/Colours.h"
#include "app/plot/CompactStatistics.h"
#include "app/plot/PlotFormat.h"
#include "app/plot/PlotPalette.h"
#include "localization/L10n.h"

#include <QPainter>

#include <algorithm>

namespace velmora {
namespace {

constexpr int paddingX = 10;
constexpr int paddingY = 7;
constexpr int columnGap = 12;
constexpr int rowGap = 3;
constexpr int swatch = 7;

} // namespace

StatisticsTable::StatisticsTable(QWidget* parent) : QWidget(parent)
{
    setFont(captionFont(this));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAccessibleName(QString::fromStdString(L10n::Plotter::statistics()));
}

void StatisticsTable::setSeries(const std::vector<PlotStore::Series>& series)
{
    rows_.clear();
    const bool dark = isDark(palette());
    for (const auto& one : series) {
        if (!one.statistics)
            continue;
        const auto& s = *one.statistics;
        rows_.push_back({seriesColor(one.colorIndex, dark), QString::fromStdString(one.name),
            {formatValue(s.min), formatValue(s.max), formatMean(s.decimals, s.mean)}});
    }
    setVisible(!rows_.empty());
    updateGeometry();
    adjustSize();
    update();
}

QStringList StatisticsTable::rows() const
{
    QStringList texts;
    for (const Row& row : rows_)
        texts << QStringList{row.name, row.cells[0], row.cells[1], row.cells[2]}.join(u' ');
    return texts;
}

QSize StatisticsTable::sizeHint() const
{
    const QFontMetrics metrics(font());
    int nameWidth = 0;
    int cellWidths[3] = {metrics.horizontalAdvance(QString::fromStdString(L10n::Plotter::min())),
        metrics.horizontalAdvance(QString::fromStdString(L10n::Plotter::max())),
        metrics.horizontalAdvance(QString::fromStdString(L10n::Plotter::mean()))};
    for (const Row& row : rows_) {
        nameWidth = std::max(nameWidth, metrics.horizontalAdvance(row.name));
        for (int i = 0; i < 3; ++i)
            cellWidths[i] = std::max(cellWidths[i], metrics.horizontalAdvance(row.cells[i]));
    }
    const int width =
        2 * paddingX + swatch + 5 + nameWidth + 3 * columnGap + cellWidths[0] + cellWidths[1] + cellWidths[2];
    const auto lines = static_cast<int>(rows_.size()) + 1;
    return {width, 2 * paddingY + lines * metrics.height() + (lines - 1) * rowGap};
}

void StatisticsTable::paintEvent(QPaintEvent*)
{
    paintMaterialPanel(this, 7);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QFontMetrics metrics(font());
    int nameWidth = 0;
    int cellWidths[3] = {};
    const QString titles[3] = {QString::fromStdString(L10n::Plotter::min()),
        QString::fromStdString(L10n::Plotter::max()), QString::fromStdString(L10n::Plotter::mean())};
    for (int i = 0; i < 3; ++i)
        cellWidths[i] = metrics.horizontalAdvance(titles[i]);
    for (const Row& row : rows_) {
        nameWidth = std::max(nameWidth, metrics.horizontalAdvance(row.name));
        for (int i = 0; i < 3; ++i)
            cellWidths[i] = std::max(cellWidths[i], metrics.horizontalAdvance(row.cells[i]));
    }
    QColor secondary = palette().color(QPalette::WindowText);
    secondary.setAlphaF(0.6f);
    const int line = metrics.height() + rowGap;
    // Numbers align to the trailing edge of their column.
    int x = paddingX + swatch + 5 + nameWidth;
    int columnRight[3];
    for (int i = 0; i < 3; ++i) {
        x += columnGap + cellWidths[i];
        columnRight[i] = x;
    }
    int y = paddingY;
    painter.setPen(secondary);
    for (int i = 0; i < 3; ++i)
        painter.drawText(QRect(columnRight[i] - cellWidths[i], y, cellWidths[i], metrics.height()),
            Qt::AlignRight | Qt::AlignVCenter, titles[i]);
    painter.setPen(palette().color(QPalette::WindowText));
    for (const Row& row : rows_) {
        y += line;
        painter.fillRect(QRectF(paddingX, y + (metrics.height() - swatch) / 2.0, swatch, swatch), row.color);
        painter.drawText(
            QRect(paddingX + swatch + 5, y, nameWidth, metrics.height()), Qt::AlignLeft | Qt::AlignVCenter, row.name);
        for (int i = 0; i < 3; ++i)
            painter.drawText(QRect(columnRight[i] - cellWidths[i], y, cellWidths[i], metrics.height()),
                Qt::AlignRight | Qt::AlignVCenter, row.cells[i]);
    }
}

} // namespace velmora

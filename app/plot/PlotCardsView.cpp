#include "app/plot/PlotCardsView.h"

#include "app/plot/PlotCard.h"
#include "app/plot/PlotCardDetail.h"
#include "core/plot/SparklinePoints.h"

#include <QApplication>
#include <QEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollArea>

#include <algorithm>
#include <functional>
#include <utility>

namespace velmora {
namespace {

// The translucent black over the overview behind an enlarged card; a click on it closes the card.
class DimLayer final : public QWidget {
public:
    DimLayer(std::function<void()> clicked, QWidget* parent) : QWidget(parent), clicked_(std::move(clicked)) {}

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        QColor dim = Qt::black;
        dim.setAlphaF(static_cast<float>(PlotCardsView::dimOpacity));
        painter.fillRect(rect(), dim);
    }

    void mousePressEvent(QMouseEvent* event) override
    {
        event->accept();
        clicked_();
    }

private:
    std::function<void()> clicked_;
};

} // namespace

PlotCardsView::PlotCardsView(PlotStore& store, QWidget* parent) : QWidget(parent), store_(store)
{
    scroll_ = new QScrollArea(this);
    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll_->setWidgetResizable(false);
    grid_ = new QWidget;
    scroll_->setWidget(grid_);
    scroll_->viewport()->setAutoFillBackground(false);
    scroll_->viewport()->installEventFilter(this);

    dimLayer_ = new DimLayer([this] { setExpanded({}); }, this);
    dimLayer_->hide();
    detail_ = new PlotCardDetail(store_, this);
    detail_->hide();
    detail_->onClose = [this] { setExpanded({}); };
    detail_->onPrevious = [this] { step(-1); };
    detail_->onNext = [this] { step(+1); };

    subscriptions_.push_back(store_.observeSeries([this](const auto&) { showSeries(); }));
    subscriptions_.push_back(store_.observeHidden([this](const auto&) { showSeries(); }));
    subscriptions_.push_back(store_.observeShowStatistics([this](bool) { refreshOptions(); }));
    subscriptions_.push_back(store_.observeSmoothLines([this](bool) { refreshOptions(); }));
    subscriptions_.push_back(store_.observeLatestSample([this](std::int64_t) { refreshOptions(); }));
    subscriptions_.push_back(store_.observeWindowSize([this](std::int64_t) { refreshOptions(); }));
}

PlotCardsView::~PlotCardsView() = default;

int PlotCardsView::columnCount(int width)
{
    const int available = width - 2 * gridPadding;
    return std::max(1, (available + spacing) / (minimumColumnWidth + spacing));
}

int PlotCardsView::columnWidth(int width)
{
    const int columns = columnCount(width);
    const int available = width - 2 * gridPadding - (columns - 1) * spacing;
    return std::clamp(available / columns, 0, maximumColumnWidth);
}

PlotCard* PlotCardsView::card(const std::string& name) const
{
    const auto found = std::find_if(cards_.begin(), cards_.end(), [&](PlotCard* c) { return c->seriesName() == name; });
    return found == cards_.end() ? nullptr : *found;
}

void PlotCardsView::setExpanded(const std::string& name)
{
    const bool visible = std::find(visibleNames_.begin(), visibleNames_.end(), name) != visibleNames_.end();
    const std::string now = visible ? name : std::string();
    if (now == expanded_)
        return;
    const std::string previous = std::exchange(expanded_, now);
    for (PlotCard* c : cards_)
        c->setVisible(c->seriesName() != expanded_);
    if (expanded_.empty()) {
        const bool hadFocus = detail_->isAncestorOf(QApplication::focusWidget()) || detail_->hasFocus();
        detail_->hide();
        dimLayer_->hide();
        // Keyboard users continue from the card they had enlarged.
        if (PlotCard* shown = card(previous); shown && hadFocus)
            shown->setFocus();
        return;
    }
    for (const auto& series : store_.visibleSeries()) {
        if (series.name == expanded_)
            detail_->setSeries(series);
    }
    layOutOverlay();
    dimLayer_->show();
    dimLayer_->raise();
    detail_->show();
    detail_->raise();
    // The overview underneath no longer takes the keyboard.
    if (isVisible())
        detail_->setFocus();
}

void PlotCardsView::step(int by)
{
    if (const auto name = neighbourCard(visibleNames_, expanded_, by))
        setExpanded(*name);
}

void PlotCardsView::showSeries()
{
    const auto visible = store_.visibleSeries();
    visibleNames_.clear();
    for (const auto& series : visible)
        visibleNames_.push_back(series.name);

    while (cards_.size() > visible.size()) {
        delete cards_.back();
        cards_.pop_back();
    }
    while (cards_.size() < visible.size()) {
        auto* added = new PlotCard(store_, grid_);
        connect(added, &PlotCard::clicked, this, [this, added] { setExpanded(added->seriesName()); });
        cards_.push_back(added);
    }
    for (std::size_t i = 0; i < visible.size(); ++i)
        cards_[i]->setSeries(visible[i]);

    if (!expanded_.empty()) {
        const auto enlarged =
            std::find_if(visible.begin(), visible.end(), [&](const auto& s) { return s.name == expanded_; });
        // The enlarged series was hidden or the graph cleared: the detail closes.
        if (enlarged == visible.end())
            setExpanded({});
        else
            detail_->setSeries(*enlarged);
    }
    for (PlotCard* c : cards_)
        c->setVisible(c->seriesName() != expanded_);
    layOutGrid();
}

void PlotCardsView::refreshOptions()
{
    for (PlotCard* c : cards_)
        c->refresh();
    detail_->refresh();
}

void PlotCardsView::layOutGrid()
{
    const int width = scroll_->viewport()->width();
    columns_ = columnCount(width);
    const int cellWidth = columnWidth(width);
    const int count = static_cast<int>(cards_.size());
    const int rows = (count + columns_ - 1) / columns_;
    const int used = columns_ * cellWidth + (columns_ - 1) * spacing;
    const int left = std::max(gridPadding, (width - used) / 2);
    for (int i = 0; i < count; ++i) {
        const int row = i / columns_;
        const int column = i % columns_;
        cards_[static_cast<std::size_t>(i)]->setGeometry(left + column * (cellWidth + spacing),
            gridPadding + row * (PlotCard::cardHeight + spacing), cellWidth, PlotCard::cardHeight);
    }
    const int height = rows == 0 ? 0 : 2 * gridPadding + rows * PlotCard::cardHeight + (rows - 1) * spacing;
    grid_->resize(width, height);
}

void PlotCardsView::layOutOverlay()
{
    dimLayer_->setGeometry(rect());
    const QRect card = rect().adjusted(detailMargin, detailMargin, -detailMargin, -detailMargin);
    detail_->setGeometry(card.marginsAdded(detail_->shadowMargins()));
}

void PlotCardsView::resizeEvent(QResizeEvent* event)
{
    scroll_->setGeometry(rect());
    layOutOverlay();
    QWidget::resizeEvent(event);
}

void PlotCardsView::hideEvent(QHideEvent* event)
{
    // Put away (another layout, or the plotter closed) rather than minimised: the overview
    // comes back with no card enlarged.
    if (!event->spontaneous())
        setExpanded({});
    QWidget::hideEvent(event);
}

bool PlotCardsView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == scroll_->viewport() && event->type() == QEvent::Resize)
        layOutGrid();
    return QWidget::eventFilter(watched, event);
}

} // namespace velmora

#pragma once

#include "core/plot/PlotStore.h"
#include "core/support/Published.h"

#include <QWidget>

#include <string>
#include <vector>

class QScrollArea;

namespace velmora {

class PlotCard;
class PlotCardDetail;

// The cards overview: a scrolling grid with one card per visible series. Clicking a card
// enlarges it: a detail of that series opens over the dimmed overview, stepping through the
// series with ← and → and closing with Esc, its close button or a click beside it. The card's
// cell stays empty meanwhile, so the grid does not move.
//
// Thread: main thread.
class PlotCardsView final : public QWidget {
    Q_OBJECT
public:
    static constexpr int minimumColumnWidth = 230;
    static constexpr int maximumColumnWidth = 460;
    static constexpr int spacing = 10;
    static constexpr int gridPadding = 10;
    static constexpr int detailMargin = 14;
    static constexpr double dimOpacity = 0.18;

    explicit PlotCardsView(PlotStore& store, QWidget* parent = nullptr);
    ~PlotCardsView() override;

    // How many columns a grid this wide holds, and how wide each is.
    static int columnCount(int width);
    static int columnWidth(int width);

    // The enlarged series' name; empty when none is.
    const std::string& expanded() const { return expanded_; }
    void setExpanded(const std::string& name);
    // Enlarges the series before or after the enlarged one, wrapping around.
    void step(int by);

    const std::vector<PlotCard*>& cards() const { return cards_; }
    PlotCard* card(const std::string& name) const;
    PlotCardDetail* detail() const { return detail_; }
    // The layer that dims the overview while a card is enlarged.
    QWidget* dimLayer() const { return dimLayer_; }
    QScrollArea* scrollArea() const { return scroll_; }
    int columns() const { return columns_; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showSeries();
    void refreshOptions();
    void layOutGrid();
    void layOutOverlay();

    PlotStore& store_;
    QScrollArea* scroll_ = nullptr;
    QWidget* grid_ = nullptr;
    QWidget* dimLayer_ = nullptr;
    PlotCardDetail* detail_ = nullptr;
    std::vector<PlotCard*> cards_;
    std::vector<std::string> visibleNames_;
    std::string expanded_;
    int columns_ = 1;
    std::vector<Subscription> subscriptions_;
};

} // namespace velmora

#pragma once

#include "app/monitor/LogoBackdrop.h"
#include "app/monitor/OutputRows.h"
#include "core/pipeline/InMemoryTextStore.h"

#include <QAbstractScrollArea>
#include <QFont>
#include <QTextCharFormat>
#include <QTimer>

#include <array>
#include <chrono>
#include <cstddef>
#include <map>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

class QTextLayout;

namespace velmora {

class OutputScrollBar;

// The output text as the user sees it: a read-only, selectable view that draws the session's
// output store directly, laying out only the rows it shows. Appending a megabyte costs the view
// nothing until it paints, and a paint lays out what fits on the screen.
//
// The vertical scroll position is the first row shown; a last row taller than the view has one
// step more, which shows its end. Positions (selection, find) count UTF-16 units of the store,
// like the store itself, and follow its edits: a cut at the front moves them back, a change under
// them shortens them.
//
// Thread: main thread only.
class OutputTextView final : public QAbstractScrollArea {
    Q_OBJECT
public:
    static constexpr int inset = 6;

    explicit OutputTextView(const InMemoryTextStore& store, QWidget* parent = nullptr);
    ~OutputTextView() override;

    // Shows the end of the text, now and after the next change of the store.
    void scrollToEnd();
    bool isScrolledToEnd() const;
    // False while edits of the store wait to be shown.
    bool isUpToDate() const { return !syncTimer_.isActive(); }
    std::size_t firstVisibleRow() const;

    // The selection as an ordered range; empty when nothing is selected.
    std::pair<std::size_t, std::size_t> selection() const;
    void setSelection(std::size_t anchor, std::size_t position);
    QString selectedText() const;
    void selectAll() { setSelection(0, store_.length()); }
    void copy() const;
    // Brings position into view, a few rows below the top when it was out of sight.
    void reveal(std::size_t position);

    // The next (or previous) occurrence of needle after (before) the selection, compared without
    // regard to case; wraps around the ends. Selects it and shows it. False when there is none.
    bool find(const QString& needle, bool backwards);
    // Starts a search again at the selection's start, so that typing more characters keeps
    // the current match when it still fits.
    bool findFromSelectionStart(const QString& needle);

    // The character format of each style, for tests and for the colours of the overlays.
    const QTextCharFormat& format(TextStyle style) const { return rows_.format(style); }

signals:
    void selectionChanged();
    // The view has caught up with the store and asked for its repaint: a moment for whatever
    // else changes with the stream to repaint in the same frame.
    void synced();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    using RowLayout = OutputRows::Layout;
    struct ShownRow {
        std::size_t row;
        int top;
    };

    void storeChanged(const InMemoryTextStore::Change& change);
    void scheduleSync();
    void scheduleSyncAfterEdit();
    // Where the rows on screen go, for the current scroll position and store.
    void layOutShownRows();
    void sync();
    struct ScrollRange {
        int maximum;
        int pageStep;
    };
    // The scroll bar's range for the store as it is now.
    ScrollRange scrollRange();
    // Sets the scroll bar's range, and its position at the end if toEnd.
    void updateScrollRange(bool toEnd = false);
    // Where the text of the rows in shownRows_ ends on the right, with room for overhanging glyphs.
    int shownRight();
    RowLayout& layoutOf(std::size_t row);
    // The row's text layout, made now if the row had none.
    QTextLayout& textLayoutOf(std::size_t row);
    int textWidth() const;
    void forgetLayouts();
    std::size_t positionAt(QPoint point);
    // Selects and shows the next match from from, wrapping around the end (start).
    bool selectMatch(const QString& needle, std::size_t from, bool backwards);

    const InMemoryTextStore& store_;
    Subscription storeChanges_;
    OutputScrollBar* scrollBar_ = nullptr;
    OutputRows rows_{store_};
    LogoBackdrop backdrop_;
    // Layouts by row start, for the rows painted last and the rows at the end.
    std::map<std::size_t, RowLayout> layouts_;
    std::vector<ShownRow> shownRows_;
    // Right of this, the viewport shows nothing but the backdrop.
    int paintedRight_ = 0;
    bool syncing_ = false;
    QTimer syncTimer_;
    // A stream of edits is drawn at most this often (25 times a second): a line is on screen
    // well within a tenth of a second of its arrival, and a paced port's batches, 50 ms apart,
    // are each drawn the moment they are stored.
    static constexpr std::chrono::milliseconds syncInterval{40};
    std::chrono::steady_clock::time_point lastSync_;
    bool followEnd_ = true;
    std::size_t anchor_ = 0;
    std::size_t cursor_ = 0;
    bool selecting_ = false;
};

} // namespace velmora

#include "app/monitor/OutputTextView.h"

#include "app/monitor/OutputScrollBar.h"
#include "app/monitor/TextSearch.h"
#include "localization/L10n.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QPaintEvent>
#include <QPainter>
#include <QRegion>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QTextLayout>

#include <algorithm>

namespace velmora {
namespace {

// Rows beyond the ones shown that keep their layouts between paints.
constexpr std::size_t spareLayouts = 200;

} // namespace

OutputTextView::OutputTextView(const InMemoryTextStore& store, QWidget* parent)
    : QAbstractScrollArea(parent), store_(store)
{
    setFrameShape(QFrame::NoFrame);
    scrollBar_ = new OutputScrollBar(this);
    setVerticalScrollBar(scrollBar_);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setCursor(Qt::IBeamCursor);
    // The backdrop fills every pixel of a paint: the viewport's own background fill would only
    // be painted over.
    viewport()->setAutoFillBackground(false);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    setAccessibleName(QString::fromStdString(L10n::Footer::outputAccessibility()));
    verticalScrollBar()->setSingleStep(1);
    rows_.setPalette(palette());

    // Edits arrive in bursts; the view catches up once per turn of the event loop.
    syncTimer_.setSingleShot(true);
    syncTimer_.setInterval(0);
    connect(&syncTimer_, &QTimer::timeout, this, &OutputTextView::sync);
    storeChanges_ = store_.changes().subscribe([this](const auto& change) { storeChanged(change); });
    scheduleSync();
}

OutputTextView::~OutputTextView()
{
    storeChanges_.cancel();
}

void OutputTextView::storeChanged(const InMemoryTextStore::Change& change)
{
    if (change.removedFromFront > 0) {
        const std::size_t cut = change.removedFromFront;
        // A full buffer is cut at the front with every batch: the rows that stay keep their
        // layouts, at their new positions.
        std::map<std::size_t, RowLayout> kept;
        for (auto& [start, layout] : layouts_) {
            if (start < cut)
                continue;
            layout.end -= cut;
            kept.emplace_hint(kept.end(), start - cut, std::move(layout));
        }
        layouts_ = std::move(kept);
        anchor_ = anchor_ > cut ? anchor_ - cut : 0;
        cursor_ = cursor_ > cut ? cursor_ - cut : 0;
        // Keep showing the same text when the user has scrolled away from the end.
        QScrollBar* bar = verticalScrollBar();
        const auto rows = std::min(change.removedRowsFromFront, static_cast<std::size_t>(bar->value()));
        const QSignalBlocker blocker(bar);
        bar->setValue(bar->value() - static_cast<int>(rows));
    }
    if (change.firstChanged) {
        const std::size_t first = *change.firstChanged;
        // The row that holds first and every row after it.
        auto from = layouts_.lower_bound(first);
        if (from != layouts_.begin() && std::prev(from)->second.end >= first)
            --from;
        layouts_.erase(from, layouts_.end());
        anchor_ = std::min(anchor_, first);
        cursor_ = std::min(cursor_, first);
    }
    anchor_ = std::min(anchor_, store_.length());
    cursor_ = std::min(cursor_, store_.length());
    scheduleSyncAfterEdit();
}

void OutputTextView::scheduleSync()
{
    if (!syncTimer_.isActive())
        syncTimer_.start(0);
}

void OutputTextView::scheduleSyncAfterEdit()
{
    // A stream of edits is drawn at most every syncInterval; the first after a pause at once.
    if (syncTimer_.isActive())
        return;
    const auto since = std::chrono::steady_clock::now() - lastSync_;
    const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(syncInterval - since);
    syncTimer_.start(std::max<std::chrono::milliseconds>(wait, std::chrono::milliseconds(0)));
}

void OutputTextView::sync()
{
    lastSync_ = std::chrono::steady_clock::now();
    {
        // Moving the scroll position here is part of the edit: the region below covers it.
        const QScopedValueRollback<bool> guard(syncing_, true);
        updateScrollRange(followEnd_);
        followEnd_ = false;
    }
    // Only the text changes: to the right of the longest row, before and after, the viewport
    // shows the backdrop, which stays as it is. Output lines are mostly far shorter than the
    // view is wide, so this is what keeps a stream of lines cheap to show.
    layOutShownRows();
    const int right = std::max(paintedRight_, shownRight());
    viewport()->update(QRect(0, 0, std::min(right, viewport()->width()), viewport()->height()));
    emit synced();
}

int OutputTextView::shownRight()
{
    int widest = 0;
    for (const ShownRow& each : shownRows_)
        widest = std::max(widest, layoutOf(each.row).width);
    // Room for glyphs that reach past their advance.
    return inset + widest + rows_.overhang();
}

void OutputTextView::scrollToEnd()
{
    followEnd_ = true;
    // The output asks for this after every edit while autoscroll is on: it must not bypass the
    // limit on how often a stream of edits is drawn.
    scheduleSyncAfterEdit();
}

bool OutputTextView::isScrolledToEnd() const
{
    return verticalScrollBar()->value() == verticalScrollBar()->maximum();
}

std::size_t OutputTextView::firstVisibleRow() const
{
    // One step past the last row shows the end of a last row taller than the view.
    return std::min(static_cast<std::size_t>(verticalScrollBar()->value()), store_.rowCount() - 1);
}

int OutputTextView::textWidth() const
{
    return std::max(40, viewport()->width() - 2 * inset);
}

OutputTextView::ScrollRange OutputTextView::scrollRange()
{
    // The last rows that fit decide how far the view can scroll: the end of the text rests at
    // the bottom edge.
    const int height = std::max(1, viewport()->height() - 2 * inset);
    const std::size_t rows = store_.rowCount();
    int used = 0;
    std::size_t fit = 0;
    for (std::size_t row = rows; row-- > 0;) {
        const int rowHeight = layoutOf(row).height;
        if (fit > 0 && used + rowHeight > height)
            break;
        used += rowHeight;
        ++fit;
    }
    // A last row taller than the view gets one more step, at which its end rests at the bottom.
    const std::size_t tallEnd = fit == 1 && used > height ? 1 : 0;
    return {static_cast<int>(rows - fit + tallEnd), static_cast<int>(std::max<std::size_t>(1, fit))};
}

void OutputTextView::updateScrollRange(bool toEnd)
{
    const ScrollRange range = scrollRange();
    scrollBar_->setRangeAndValue(
        range.maximum, range.pageStep, toEnd ? std::optional<int>(range.maximum) : std::nullopt);
}

void OutputTextView::forgetLayouts()
{
    layouts_.clear();
}

OutputTextView::RowLayout& OutputTextView::layoutOf(std::size_t row)
{
    const std::size_t start = store_.rowStart(row);
    const std::size_t end = store_.rowEnd(row);
    if (auto it = layouts_.find(start); it != layouts_.end()) {
        if (it->second.end == end)
            return it->second;
        layouts_.erase(it);
    }
    return layouts_[start] = rows_.layOut(start, end, textWidth());
}

QTextLayout& OutputTextView::textLayoutOf(std::size_t row)
{
    RowLayout& shown = layoutOf(row);
    if (!shown.layout)
        shown.layout = rows_.textLayout(store_.rowStart(row), shown.end, textWidth());
    return *shown.layout;
}

void OutputTextView::paintEvent(QPaintEvent* event)
{
    QPainter painter(viewport());
    backdrop_.paint(painter, viewport()->rect(), palette().color(QPalette::Base), palette().color(QPalette::Text));

    const auto [selectionStart, selectionEnd] = selection();
    QTextCharFormat selected;
    selected.setBackground(palette().color(QPalette::Highlight));
    selected.setForeground(palette().color(QPalette::HighlightedText));

    layOutShownRows();
    struct StyleGlyphs {
        QList<quint32> indexes;
        QList<QPointF> positions;
    };
    std::array<StyleGlyphs, OutputRows::styleCount> byStyle;
    for (const ShownRow& each : shownRows_) {
        const RowLayout& shown = layoutOf(each.row);
        const std::size_t start = store_.rowStart(each.row);
        QList<QTextLayout::FormatRange> selections;
        if (selectionStart < selectionEnd && selectionStart <= shown.end && selectionEnd > start) {
            const std::size_t from = std::max(selectionStart, start);
            const std::size_t to = std::min(selectionEnd, shown.end);
            if (to > from)
                selections.append({static_cast<int>(from - start), static_cast<int>(to - from), selected});
        }
        if (!shown.layout && selections.isEmpty()) {
            // Plain rows are drawn together, one run of glyphs per style for the whole view.
            const QPointF baseline(inset, each.top + rows_.glyphs().ascent());
            for (const auto& [style, glyphs] : shown.runs) {
                StyleGlyphs& into = byStyle[static_cast<std::size_t>(style)];
                into.indexes.append(glyphs.glyphIndexes());
                for (const QPointF& position : glyphs.positions())
                    into.positions.append(position + baseline);
            }
            continue;
        }
        textLayoutOf(each.row).draw(&painter, QPointF(inset, each.top), selections);
    }
    for (std::size_t style = 0; style < byStyle.size(); ++style) {
        if (byStyle[style].indexes.isEmpty())
            continue;
        QGlyphRun glyphs = rows_.glyphs().emptyRun();
        glyphs.setGlyphIndexes(byStyle[style].indexes);
        glyphs.setPositions(byStyle[style].positions);
        painter.setPen(format(static_cast<TextStyle>(style)).foreground().color());
        painter.drawGlyphRun(QPointF(0, 0), glyphs);
    }
    // Once a paint has covered all the text there was, nothing but backdrop lies beyond the
    // text it drew.
    const int right = shownRight();
    const bool coveredAll = (QRegion(0, 0, paintedRight_, viewport()->height()) - event->region()).isEmpty();
    paintedRight_ = coveredAll ? right : std::max(paintedRight_, right);

    // Keep the layouts of the rows on screen and of the rows at the end; forget the rest.
    if (layouts_.size() > shownRows_.size() + spareLayouts) {
        const std::size_t firstShown = shownRows_.empty() ? 0 : store_.rowStart(shownRows_.front().row);
        const std::size_t lastShown = shownRows_.empty() ? 0 : store_.rowStart(shownRows_.back().row);
        const std::size_t tail = store_.rowStart(store_.rowCount() > 100 ? store_.rowCount() - 100 : 0);
        for (auto it = layouts_.begin(); it != layouts_.end();) {
            const bool keep = (it->first >= firstShown && it->first <= lastShown) || it->first >= tail;
            it = keep ? std::next(it) : layouts_.erase(it);
        }
    }
}

void OutputTextView::layOutShownRows()
{
    shownRows_.clear();
    const std::size_t first = firstVisibleRow();
    const std::size_t rows = store_.rowCount();
    const int bottom = viewport()->height() - inset;
    int y = inset;
    for (std::size_t row = first; row < rows && y < viewport()->height(); ++row) {
        shownRows_.push_back({row, y});
        y += layoutOf(row).height;
    }

    // At the last step, rows that run past the bottom end there instead, so that the end of the
    // text is what shows.
    if (!isScrolledToEnd() || y <= bottom || shownRows_.back().row + 1 < rows)
        return;
    const int shift = y - bottom;
    for (ShownRow& shown : shownRows_)
        shown.top -= shift;
    while (shownRows_.size() > 1 && shownRows_[1].top <= 0)
        shownRows_.erase(shownRows_.begin());
}

void OutputTextView::resizeEvent(QResizeEvent* event)
{
    const bool atEnd = isScrolledToEnd();
    QAbstractScrollArea::resizeEvent(event);
    forgetLayouts();
    followEnd_ = followEnd_ || atEnd;
    sync();
}

void OutputTextView::scrollContentsBy(int, int)
{
    if (!syncing_)
        viewport()->update();
}

void OutputTextView::changeEvent(QEvent* event)
{
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::FontChange) {
        rows_.setPalette(palette());
        forgetLayouts();
        scheduleSync();
    }
}

std::size_t OutputTextView::positionAt(QPoint point)
{
    // The rows as they are now: the store or the scroll position may have moved since the paint.
    layOutShownRows();
    if (point.y() < shownRows_.front().top)
        return store_.rowStart(shownRows_.front().row);
    auto shown = std::prev(std::upper_bound(
        shownRows_.begin(), shownRows_.end(), point.y(), [](int y, const ShownRow& row) { return y < row.top; }));
    const RowLayout& row = layoutOf(shown->row);
    const std::size_t start = store_.rowStart(shown->row);
    const qreal y = point.y() - shown->top;
    if (y >= row.height && std::next(shown) == shownRows_.end())
        return row.end;
    const QTextLayout& layout = textLayoutOf(shown->row);
    for (int i = 0; i < layout.lineCount(); ++i) {
        const QTextLine line = layout.lineAt(i);
        if (y < line.y() + line.height() || i + 1 == layout.lineCount())
            return start + static_cast<std::size_t>(line.xToCursor(point.x() - inset));
    }
    return start;
}

std::pair<std::size_t, std::size_t> OutputTextView::selection() const
{
    return {std::min(anchor_, cursor_), std::max(anchor_, cursor_)};
}

void OutputTextView::setSelection(std::size_t anchor, std::size_t position)
{
    anchor_ = std::min(anchor, store_.length());
    cursor_ = std::min(position, store_.length());
    viewport()->update();
    emit selectionChanged();
}

QString OutputTextView::selectedText() const
{
    const auto [start, end] = selection();
    const std::u16string_view text = store_.view().substr(start, end - start);
    return QString(reinterpret_cast<const QChar*>(text.data()), static_cast<qsizetype>(text.size()));
}

void OutputTextView::copy() const
{
    if (const QString text = selectedText(); !text.isEmpty())
        QApplication::clipboard()->setText(text);
}

void OutputTextView::reveal(std::size_t position)
{
    updateScrollRange();
    layOutShownRows();
    const std::size_t row = store_.rowAt(std::min(position, store_.length()));
    const std::size_t first = firstVisibleRow();
    const std::size_t shown = shownRows_.size() > 1 ? shownRows_.size() - 1 : 1;
    if (row >= first && row < first + shown)
        return;
    followEnd_ = false;
    verticalScrollBar()->setValue(static_cast<int>(row > 3 ? row - 3 : 0));
}

bool OutputTextView::find(const QString& needle, bool backwards)
{
    if (needle.isEmpty())
        return false;
    const auto [start, end] = selection();
    return selectMatch(needle, backwards ? start : end, backwards);
}

bool OutputTextView::findFromSelectionStart(const QString& needle)
{
    if (needle.isEmpty()) {
        setSelection(selection().first, selection().first);
        return false;
    }
    return selectMatch(needle, selection().first, false);
}

bool OutputTextView::selectMatch(const QString& needle, std::size_t from, bool backwards)
{
    auto hit = findInText(store_.view(), needle, from, backwards);
    if (!hit)
        hit = findInText(store_.view(), needle, backwards ? store_.length() : 0, backwards);
    if (!hit)
        return false;
    setSelection(*hit, *hit + static_cast<std::size_t>(needle.size()));
    reveal(*hit);
    return true;
}

void OutputTextView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    const std::size_t position = positionAt(event->position().toPoint());
    if (event->modifiers() & Qt::ShiftModifier)
        setSelection(anchor_, position);
    else
        setSelection(position, position);
    selecting_ = true;
}

void OutputTextView::mouseMoveEvent(QMouseEvent* event)
{
    if (!selecting_)
        return;
    QPoint point = event->position().toPoint();
    // Dragging past an edge scrolls that way, a row per move.
    if (point.y() < 0)
        verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
    else if (point.y() > viewport()->height())
        verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    point.setY(std::clamp(point.y(), 0, viewport()->height()));
    setSelection(anchor_, positionAt(point));
}

void OutputTextView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && selecting_) {
        selecting_ = false;
        // The X11 primary selection: middle-click pastes what was selected.
        if (QClipboard* clipboard = QApplication::clipboard(); clipboard->supportsSelection() && anchor_ != cursor_)
            clipboard->setText(selectedText(), QClipboard::Selection);
    }
}

void OutputTextView::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const auto [start, end] = wordAround(store_.view(), positionAt(event->position().toPoint()));
    setSelection(start, end);
}

void OutputTextView::keyPressEvent(QKeyEvent* event)
{
    QScrollBar* bar = verticalScrollBar();
    if (event->matches(QKeySequence::Copy))
        copy();
    else if (event->matches(QKeySequence::SelectAll))
        selectAll();
    else if (event->matches(QKeySequence::MoveToStartOfDocument))
        bar->triggerAction(QAbstractSlider::SliderToMinimum);
    else if (event->matches(QKeySequence::MoveToEndOfDocument))
        bar->triggerAction(QAbstractSlider::SliderToMaximum);
    else if (event->key() == Qt::Key_Up)
        bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
    else if (event->key() == Qt::Key_Down)
        bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    else if (event->key() == Qt::Key_PageUp)
        bar->triggerAction(QAbstractSlider::SliderPageStepSub);
    else if (event->key() == Qt::Key_PageDown)
        bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    else
        QAbstractScrollArea::keyPressEvent(event);
}

void OutputTextView::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu menu(this);
    QAction* copyAction = menu.addAction(QString::fromStdString(L10n::Menu::copy()), this, &OutputTextView::copy);
    copyAction->setShortcut(QKeySequence::Copy);
    copyAction->setEnabled(anchor_ != cursor_);
    QAction* all = menu.addAction(QString::fromStdString(L10n::Menu::selectAll()), this, &OutputTextView::selectAll);
    all->setShortcut(QKeySequence::SelectAll);
    menu.exec(event->globalPos());
}

} // namespace velmora

#pragma once

#include "core/pipeline/StyledRun.h"
#include "core/support/Observers.h"

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace velmora {

// The styled output text held in memory, indexed for a view that draws only what it shows: the
// text as one string, its styles as runs, and its display rows. A row ends after each line feed
// and, in a line longer than maxRowLength, after every maxRowLength characters, so that a device
// that never sends a line feed still gives the view rows of bounded length to lay out.
//
// Ranges reaching past the end are clipped to the text. Edits inside beginEditing/endEditing form
// one transaction, so that a view lays out once for all of them.
//
// Thread: main thread only.
class InMemoryTextStore final {
public:
    static constexpr std::size_t maxRowLength = 2048;

    // What one completed edit (or transaction) did, for a view that keeps positions: first the
    // front of the text was cut by removedFromFront characters (removedRowsFromFront rows),
    // then everything from firstChanged on (in the new positions) may have changed.
    struct Change {
        std::size_t removedFromFront = 0;
        std::size_t removedRowsFromFront = 0;
        std::optional<std::size_t> firstChanged;
    };
    // Told after each edit outside transactions and after each outermost transaction.
    const Observers<Change>& changes() const { return changes_; }

    std::size_t length() const { return text_.size(); }
    void beginEditing();
    void endEditing();
    void append(std::span<const StyledRun> runs);
    void replace(std::size_t start, std::size_t count, std::span<const StyledRun> runs);
    void remove(std::size_t start, std::size_t count);
    // The first position at or after from that holds c.
    std::optional<std::size_t> find(char16_t c, std::size_t from) const;
    // The plain text, for saving.
    std::u16string text() const { return text_; }

    std::u16string_view view() const { return text_; }

    // Display rows; there is always at least one (an empty text has one empty row).
    std::size_t rowCount() const { return rows_.size(); }
    std::size_t rowStart(std::size_t row) const { return rows_[row]; }
    // Where the row's visible text ends: before its line feed, if it has one.
    std::size_t rowEnd(std::size_t row) const;
    // The row that holds position (the last row for the end of the text).
    std::size_t rowAt(std::size_t position) const;

    struct StyleSpan {
        TextStyle style;
        std::size_t start;
        std::size_t end;
    };
    // The style runs that cover [from, to), cut to that range.
    std::vector<StyleSpan> styles(std::size_t from, std::size_t to) const;

    // The text cut into its style runs, in order; no run is empty and no two neighbours share a
    // style.
    std::vector<std::pair<TextStyle, std::u16string>> runs() const;
    bool isEditing() const { return editingDepth_ > 0; }

private:
    struct Run {
        std::size_t start;
        TextStyle style;
    };

    void editDone();
    void changedFrom(std::size_t position);
    void removeFront(std::size_t count);
    // Rebuilds the rows from the row that holds position to the end of the text.
    void indexRowsFrom(std::size_t position);
    std::size_t runAt(std::size_t position) const;

    std::u16string text_;
    std::vector<Run> runs_;
    std::vector<std::size_t> rows_{0};
    Change pending_;
    std::size_t editingDepth_ = 0;
    Observers<Change> changes_;
};

} // namespace velmora

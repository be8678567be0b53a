#pragma once

#include "core/pipeline/StyledTextStore.h"

#include <cstddef>
#include <functional>
#include <optional>
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
// Ranges reaching past the end are clipped to the text.
//
// Thread: main thread only.
class InMemoryTextStore final : public StyledTextStore {
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
    // Called after each edit outside transactions and after each outermost transaction.
    std::function<void(const Change&)> onChange;

    std::size_t length() const override { return text_.size(); }
    void beginEditing() override;
    void endEditing() override;
    void append(std::span<const StyledRun> runs) override;
    void replace(std::size_t start, std::size_t count, std::span<const StyledRun> runs) override;
    void remove(std::size_t start, std::size_t count) override;
    std::optional<std::size_t> find(char16_t c, std::size_t from) const override;
    std::u16string text() const override { return text_; }

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
    // Calls of append, replace and remove.
    std::size_t editCount() const { return editCount_; }
    // Completed outermost transactions.
    std::size_t transactionCount() const { return transactionCount_; }
    // Edits made while no transaction was open.
    std::size_t editsOutsideTransactions() const { return editsOutsideTransactions_; }
    bool isEditing() const { return editingDepth_ > 0; }

private:
    struct Run {
        std::size_t start;
        TextStyle style;
    };

    void countEdit();
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
    std::size_t editCount_ = 0;
    std::size_t transactionCount_ = 0;
    std::size_t editsOutsideTransactions_ = 0;
};

} // namespace velmora

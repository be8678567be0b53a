#pragma once

#include "core/pipeline/StyledTextStore.h"

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace velmora {

// A styled text store held in memory: the text as one string and its styles as a list of runs,
// neighbouring runs of one style merged. It backs the output buffer wherever there is no text
// view, and lets tests see the styles and count the edits.
//
// Ranges reaching past the end are clipped to the text.
//
// Thread: main thread only.
class InMemoryTextStore final : public StyledTextStore {
public:
    std::size_t length() const override { return text_.size(); }
    void beginEditing() override;
    void endEditing() override;
    void append(std::span<const StyledRun> runs) override;
    void replace(std::size_t start, std::size_t count, std::span<const StyledRun> runs) override;
    void remove(std::size_t start, std::size_t count) override;
    std::optional<std::size_t> find(char16_t c, std::size_t from) const override;
    std::u16string text() const override { return text_; }

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
        TextStyle style;
        std::size_t length;
    };

    void countEdit();
    // Makes a run start at position and returns its index (the run count at the end of the text).
    std::size_t splitAt(std::size_t position);
    // Merges runs[index] into runs[index - 1] when both have one style.
    void mergeBefore(std::size_t index);

    std::u16string text_;
    std::vector<Run> runs_;
    std::size_t editingDepth_ = 0;
    std::size_t editCount_ = 0;
    std::size_t transactionCount_ = 0;
    std::size_t editsOutsideTransactions_ = 0;
};

} // namespace velmora

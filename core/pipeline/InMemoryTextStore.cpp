#include "core/pipeline/InMemoryTextStore.h"

#include <algorithm>

namespace velmora {

void InMemoryTextStore::beginEditing()
{
    ++editingDepth_;
}

void InMemoryTextStore::endEditing()
{
    if (editingDepth_ == 0)
        return;
    if (--editingDepth_ == 0)
        ++transactionCount_;
}

void InMemoryTextStore::countEdit()
{
    ++editCount_;
    if (editingDepth_ == 0)
        ++editsOutsideTransactions_;
}

void InMemoryTextStore::append(std::span<const StyledRun> runs)
{
    countEdit();
    for (const StyledRun& run : runs) {
        if (run.text.empty())
            continue;
        text_.append(run.text);
        if (!runs_.empty() && runs_.back().style == run.style)
            runs_.back().length += run.text.size();
        else
            runs_.push_back({run.style, run.text.size()});
    }
}

void InMemoryTextStore::replace(std::size_t start, std::size_t count, std::span<const StyledRun> runs)
{
    countEdit();
    start = std::min(start, text_.size());
    count = std::min(count, text_.size() - start);

    const std::size_t first = splitAt(start);
    const std::size_t last = splitAt(start + count);
    runs_.erase(runs_.begin() + static_cast<std::ptrdiff_t>(first), runs_.begin() + static_cast<std::ptrdiff_t>(last));

    std::u16string inserted;
    std::vector<Run> insertedRuns;
    for (const StyledRun& run : runs) {
        if (run.text.empty())
            continue;
        inserted.append(run.text);
        if (!insertedRuns.empty() && insertedRuns.back().style == run.style)
            insertedRuns.back().length += run.text.size();
        else
            insertedRuns.push_back({run.style, run.text.size()});
    }
    text_.replace(start, count, inserted);
    runs_.insert(runs_.begin() + static_cast<std::ptrdiff_t>(first), insertedRuns.begin(), insertedRuns.end());

    // Only the two seams can join runs of one style; the later one first, so that the earlier
    // index stays valid.
    mergeBefore(first + insertedRuns.size());
    mergeBefore(first);
}

void InMemoryTextStore::remove(std::size_t start, std::size_t count)
{
    replace(start, count, {});
}

std::optional<std::size_t> InMemoryTextStore::find(char16_t c, std::size_t from) const
{
    const std::size_t position = text_.find(c, from);
    if (position == std::u16string::npos)
        return std::nullopt;
    return position;
}

std::vector<std::pair<TextStyle, std::u16string>> InMemoryTextStore::runs() const
{
    std::vector<std::pair<TextStyle, std::u16string>> result;
    result.reserve(runs_.size());
    std::size_t position = 0;
    for (const Run& run : runs_) {
        result.emplace_back(run.style, text_.substr(position, run.length));
        position += run.length;
    }
    return result;
}

std::size_t InMemoryTextStore::splitAt(std::size_t position)
{
    if (position >= text_.size())
        return runs_.size();
    // Edits gather at the two ends (the tail is replaced, the front trimmed), so walk from the
    // nearer one.
    std::size_t index = 0;
    std::size_t runStart = 0;
    if (position <= text_.size() / 2) {
        while (runStart + runs_[index].length <= position)
            runStart += runs_[index++].length;
    } else {
        index = runs_.size();
        runStart = text_.size();
        do
            runStart -= runs_[--index].length;
        while (runStart > position);
    }
    if (runStart == position)
        return index;
    const std::size_t head = position - runStart;
    const Run tail{runs_[index].style, runs_[index].length - head};
    runs_[index].length = head;
    runs_.insert(runs_.begin() + static_cast<std::ptrdiff_t>(index) + 1, tail);
    return index + 1;
}

void InMemoryTextStore::mergeBefore(std::size_t index)
{
    if (index == 0 || index >= runs_.size() || runs_[index - 1].style != runs_[index].style)
        return;
    runs_[index - 1].length += runs_[index].length;
    runs_.erase(runs_.begin() + static_cast<std::ptrdiff_t>(index));
}

} // namespace velmora

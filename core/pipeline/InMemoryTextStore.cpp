#include "core/pipeline/InMemoryTextStore.h"

#include <algorithm>
#include <iterator>

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
        editDone();
}

void InMemoryTextStore::editDone()
{
    if (editingDepth_ > 0)
        return;
    const Change change = std::exchange(pending_, Change{});
    if (change.removedFromFront > 0 || change.firstChanged)
        changes_.notify(change);
}

void InMemoryTextStore::changedFrom(std::size_t position)
{
    pending_.firstChanged = std::min(pending_.firstChanged.value_or(position), position);
}

void InMemoryTextStore::append(std::span<const StyledRun> runs)
{
    const std::size_t start = text_.size();
    for (const StyledRun& run : runs) {
        if (run.text.empty())
            continue;
        if (runs_.empty() || runs_.back().style != run.style)
            runs_.push_back({text_.size(), run.style});
        text_.append(run.text);
    }
    if (text_.size() > start) {
        indexRowsFrom(start);
        changedFrom(start);
    }
    editDone();
}

void InMemoryTextStore::replace(std::size_t start, std::size_t count, std::span<const StyledRun> runs)
{
    start = std::min(start, text_.size());
    count = std::min(count, text_.size() - start);
    std::size_t insertedLength = 0;
    for (const StyledRun& run : runs)
        insertedLength += run.text.size();
    if (count == 0 && insertedLength == 0) {
        editDone();
        return;
    }
    if (start == 0 && insertedLength == 0 && count < text_.size()) {
        removeFront(count);
        editDone();
        return;
    }

    const std::size_t end = start + count;
    // The style that the untouched rest after the range keeps.
    // (A flag and a plain value: GCC's optimiser takes an optional here for uninitialised.)
    const bool hasRest = end < text_.size();
    const TextStyle restStyle = hasRest ? runs_[runAt(end)].style : TextStyle::data;
    const auto first = std::lower_bound(
        runs_.begin(), runs_.end(), start, [](const Run& run, std::size_t position) { return run.start < position; });
    const auto last = std::upper_bound(
        first, runs_.end(), end, [](std::size_t position, const Run& run) { return position < run.start; });

    std::vector<Run> middle;
    std::u16string inserted;
    inserted.reserve(insertedLength);
    const auto add = [&](Run run, std::optional<TextStyle> before) {
        const std::optional<TextStyle> previous = middle.empty() ? before : std::optional(middle.back().style);
        if (previous != run.style)
            middle.push_back(run);
    };
    const std::optional<TextStyle> before =
        first == runs_.begin() ? std::nullopt : std::optional(std::prev(first)->style);
    for (const StyledRun& run : runs) {
        if (run.text.empty())
            continue;
        add({start + inserted.size(), run.style}, before);
        inserted.append(run.text);
    }
    if (hasRest)
        add({start + inserted.size(), restStyle}, before);

    // Runs after the range move by the change in length; the first of them may now continue the
    // style of the one before it.
    const std::ptrdiff_t delta = static_cast<std::ptrdiff_t>(insertedLength) - static_cast<std::ptrdiff_t>(count);
    std::vector<Run> after(last, runs_.end());
    for (Run& run : after)
        run.start = static_cast<std::size_t>(static_cast<std::ptrdiff_t>(run.start) + delta);
    const std::optional<TextStyle> seam = !middle.empty() ? std::optional(middle.back().style) : before;
    if (!after.empty() && seam == after.front().style)
        after.erase(after.begin());

    runs_.erase(first, runs_.end());
    runs_.insert(runs_.end(), middle.begin(), middle.end());
    runs_.insert(runs_.end(), after.begin(), after.end());

    text_.replace(start, count, inserted);
    if (text_.empty())
        runs_.clear();
    indexRowsFrom(start);
    changedFrom(start);
    editDone();
}

void InMemoryTextStore::remove(std::size_t start, std::size_t count)
{
    replace(start, count, {});
}

void InMemoryTextStore::removeFront(std::size_t count)
{
    text_.erase(0, count);

    // The row that holds the new first character becomes the first row, starting there.
    const auto row = std::prev(std::upper_bound(rows_.begin(), rows_.end(), count));
    const std::size_t removedRows = static_cast<std::size_t>(row - rows_.begin());
    rows_.erase(rows_.begin(), row);
    rows_.front() = count;
    for (std::size_t& start : rows_)
        start -= count;

    const std::size_t run = runAt(count);
    runs_.erase(runs_.begin(), runs_.begin() + static_cast<std::ptrdiff_t>(run));
    runs_.front().start = count;
    for (Run& each : runs_)
        each.start -= count;

    if (pending_.firstChanged)
        pending_.firstChanged = *pending_.firstChanged > count ? *pending_.firstChanged - count : 0;
    pending_.removedFromFront += count;
    pending_.removedRowsFromFront += removedRows;
}

void InMemoryTextStore::indexRowsFrom(std::size_t position)
{
    const std::size_t row = rowAt(position);
    rows_.resize(row + 1);
    std::size_t rowStart = rows_.back();
    std::size_t from = rowStart;
    for (;;) {
        const std::size_t lineFeed = text_.find(u'\n', from);
        const std::size_t end = lineFeed == std::u16string::npos ? text_.size() : lineFeed;
        while (end - rowStart > maxRowLength) {
            rowStart += maxRowLength;
            rows_.push_back(rowStart);
        }
        if (lineFeed == std::u16string::npos)
            break;
        rowStart = lineFeed + 1;
        rows_.push_back(rowStart);
        from = rowStart;
    }
}

std::size_t InMemoryTextStore::rowEnd(std::size_t row) const
{
    if (row + 1 >= rows_.size())
        return text_.size();
    const std::size_t next = rows_[row + 1];
    return text_[next - 1] == u'\n' ? next - 1 : next;
}

std::size_t InMemoryTextStore::rowAt(std::size_t position) const
{
    return static_cast<std::size_t>(std::upper_bound(rows_.begin(), rows_.end(), position) - rows_.begin()) - 1;
}

std::size_t InMemoryTextStore::runAt(std::size_t position) const
{
    const auto next = std::upper_bound(
        runs_.begin(), runs_.end(), position, [](std::size_t value, const Run& run) { return value < run.start; });
    return next == runs_.begin() ? 0 : static_cast<std::size_t>(next - runs_.begin()) - 1;
}

std::vector<InMemoryTextStore::StyleSpan> InMemoryTextStore::styles(std::size_t from, std::size_t to) const
{
    std::vector<StyleSpan> spans;
    to = std::min(to, text_.size());
    if (from >= to)
        return spans;
    for (std::size_t index = runAt(from); index < runs_.size() && runs_[index].start < to; ++index) {
        const std::size_t end = index + 1 < runs_.size() ? runs_[index + 1].start : text_.size();
        spans.push_back({runs_[index].style, std::max(from, runs_[index].start), std::min(to, end)});
    }
    return spans;
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
    for (std::size_t index = 0; index < runs_.size(); ++index) {
        const std::size_t end = index + 1 < runs_.size() ? runs_[index + 1].start : text_.size();
        result.emplace_back(runs_[index].style, text_.substr(runs_[index].start, end - runs_[index].start));
    }
    return result;
}

} // namespace velmora

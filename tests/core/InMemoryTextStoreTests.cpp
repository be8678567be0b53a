#include "core/pipeline/InMemoryTextStore.h"

#include "tests/helpers/TextStylePrinting.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <optional>
#include <ostream>
#include <random>
#include <string>
#include <utility>
#include <vector>

using namespace velmora;

namespace {

using Runs = std::vector<std::pair<TextStyle, std::u16string>>;

std::u16string rowText(const InMemoryTextStore& store, std::size_t row)
{
    return std::u16string(store.view().substr(store.rowStart(row), store.rowEnd(row) - store.rowStart(row)));
}

void append(InMemoryTextStore& store, std::u16string_view text, TextStyle style = TextStyle::data)
{
    const StyledRun run{style, text};
    store.append({&run, 1});
}

// What the store must hold, one style per character.
struct Model {
    std::u16string text;
    std::vector<TextStyle> styles;

    void replace(std::size_t start, std::size_t count, const std::vector<StyledRun>& runs)
    {
        start = std::min(start, text.size());
        count = std::min(count, text.size() - start);
        std::u16string inserted;
        std::vector<TextStyle> insertedStyles;
        for (const StyledRun& run : runs) {
            inserted.append(run.text);
            insertedStyles.insert(insertedStyles.end(), run.text.size(), run.style);
        }
        text.replace(start, count, inserted);
        styles.erase(styles.begin() + static_cast<std::ptrdiff_t>(start),
            styles.begin() + static_cast<std::ptrdiff_t>(start + count));
        styles.insert(
            styles.begin() + static_cast<std::ptrdiff_t>(start), insertedStyles.begin(), insertedStyles.end());
    }

    Runs runs() const
    {
        Runs result;
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (result.empty() || result.back().first != styles[i])
                result.emplace_back(styles[i], u"");
            result.back().second.push_back(text[i]);
        }
        return result;
    }
};

void expectRowsAreSound(const InMemoryTextStore& store)
{
    const std::u16string_view text = store.view();
    ASSERT_GE(store.rowCount(), 1u);
    EXPECT_EQ(store.rowStart(0), 0u);
    std::size_t row = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (row + 1 < store.rowCount() && store.rowStart(row + 1) == i)
            ++row;
        ASSERT_LE(i - store.rowStart(row), InMemoryTextStore::maxRowLength) << "row " << row << " too long";
        if (text[i] == u'\n') {
            ASSERT_LT(row + 1, store.rowCount());
            ASSERT_EQ(store.rowStart(row + 1), i + 1) << "no row starts after the line feed at " << i;
        }
    }
    // Only a final line feed leaves a row after the last character: the empty one it opens.
    const bool endsWithLineFeed = !text.empty() && text.back() == u'\n';
    EXPECT_EQ(row + 1 + (endsWithLineFeed ? 1 : 0), store.rowCount()) << "rows beyond the end of the text";
    for (std::size_t r = 0; r < store.rowCount(); ++r) {
        EXPECT_EQ(store.rowAt(store.rowStart(r)), r);
        EXPECT_EQ(rowText(store, r).find(u'\n'), std::u16string::npos);
    }
}

} // namespace

TEST(InMemoryTextStore, RowsEndAfterLineFeedsAndLongLinesAreCutIntoBoundedRows)
{
    InMemoryTextStore store;
    EXPECT_EQ(store.rowCount(), 1u);
    append(store, u"ab\ncd\n");
    ASSERT_EQ(store.rowCount(), 3u);
    EXPECT_EQ(rowText(store, 0), u"ab");
    EXPECT_EQ(rowText(store, 1), u"cd");
    EXPECT_EQ(rowText(store, 2), u"");
    EXPECT_EQ(store.rowAt(2), 0u);
    EXPECT_EQ(store.rowAt(3), 1u);
    EXPECT_EQ(store.rowAt(6), 2u);

    // A line of exactly the row limit keeps its line feed; the next row starts after it.
    InMemoryTextStore exact;
    append(exact, std::u16string(InMemoryTextStore::maxRowLength, u'x') + u"\nz");
    ASSERT_EQ(exact.rowCount(), 2u);
    EXPECT_EQ(rowText(exact, 1), u"z");

    // A device that never sends a line feed: rows of the limit, in pieces as they arrive.
    InMemoryTextStore endless;
    for (int i = 0; i < 50; ++i)
        append(endless, std::u16string(100, u'y'));
    EXPECT_EQ(endless.rowCount(), 3u);
    EXPECT_EQ(endless.rowStart(1), InMemoryTextStore::maxRowLength);
    expectRowsAreSound(endless);

    // Cutting the front in the middle of a row keeps the rest of it as the first row.
    store.remove(0, 4);
    ASSERT_EQ(store.rowCount(), 2u);
    EXPECT_EQ(rowText(store, 0), u"d");
}

TEST(InMemoryTextStore, ReportsFrontCutsAndTheFirstChangedPositionOnceAfterTheOutermostTransaction)
{
    InMemoryTextStore store;
    std::vector<InMemoryTextStore::Change> changes;
    const Subscription subscription =
        store.changes().subscribe([&](const InMemoryTextStore::Change& change) { changes.push_back(change); });

    append(store, u"one\ntwo\nthree\n");
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0].firstChanged, 0u);
    EXPECT_EQ(changes[0].removedFromFront, 0u);

    store.beginEditing();
    store.beginEditing();
    append(store, u"four\nfi", TextStyle::echo);
    store.remove(0, 8); // "one\ntwo\n"
    store.endEditing();
    EXPECT_TRUE(store.isEditing());
    const StyledRun tail{TextStyle::data, u"five\n"};
    store.replace(store.length() - 2, 2, {&tail, 1});
    EXPECT_EQ(changes.size(), 1u) << "reported before the outermost transaction ended";
    store.endEditing();

    EXPECT_FALSE(store.isEditing());
    ASSERT_EQ(changes.size(), 2u);
    EXPECT_EQ(changes[1].removedFromFront, 8u);
    EXPECT_EQ(changes[1].removedRowsFromFront, 2u);
    // "four" was appended at 14 before the cut, so at 6 after it.
    EXPECT_EQ(changes[1].firstChanged, 6u);
    EXPECT_EQ(store.text(), u"three\nfour\nfive\n");

    store.remove(0, 0);
    store.beginEditing();
    store.append({});
    store.endEditing();
    EXPECT_EQ(changes.size(), 2u) << "edits that change nothing are not reported";
}

TEST(InMemoryTextStore, RandomEditsKeepTextStylesRowsAndFindInStepWithASimpleModel)
{
    std::mt19937 random(20261205);
    const std::u16string alphabet = u"abc \n\n\x00e9\x20ac";
    const auto pick = [&](std::size_t bound) {
        return bound == 0 ? 0 : std::uniform_int_distribution<std::size_t>(0, bound - 1)(random);
    };

    for (int round = 0; round < 60; ++round) {
        InMemoryTextStore store;
        Model model;
        std::size_t frontCut = 0;
        std::optional<std::size_t> firstChanged;
        const Subscription subscription = store.changes().subscribe([&](const InMemoryTextStore::Change& change) {
            frontCut += change.removedFromFront;
            firstChanged = change.firstChanged;
        });
        for (int step = 0; step < 80; ++step) {
            std::vector<std::u16string> texts(pick(3));
            std::vector<StyledRun> runs;
            for (auto& text : texts) {
                // Now and then a line far longer than a row.
                const std::size_t length = pick(8) == 0 ? pick(5000) : pick(40);
                for (std::size_t i = 0; i < length; ++i)
                    text.push_back(pick(6) == 0 ? u'\n' : alphabet[pick(alphabet.size())]);
                runs.push_back({static_cast<TextStyle>(pick(5)), text});
            }
            const std::u16string before = model.text;
            const std::size_t cutBefore = frontCut;
            std::size_t start = 0;
            switch (pick(5)) {
            case 0: // append
                start = model.text.size();
                store.append(runs);
                model.replace(start, 0, runs);
                break;
            case 1: { // the provisional tail
                const std::size_t count = pick(std::min<std::size_t>(model.text.size(), 30) + 1);
                start = model.text.size() - count;
                store.replace(start, count, runs);
                model.replace(start, count, runs);
                break;
            }
            case 2: { // trimming at the front
                const std::size_t count = pick(model.text.size() + 1);
                store.remove(0, count);
                model.replace(0, count, {});
                break;
            }
            case 3: { // removing anywhere
                start = pick(model.text.size() + 1);
                const std::size_t count = pick(model.text.size() - start + 1);
                store.remove(start, count);
                model.replace(start, count, {});
                break;
            }
            default: { // anywhere, reaching past the end now and then
                start = pick(model.text.size() + 2);
                const std::size_t count = pick(60);
                store.replace(start, count, runs);
                model.replace(start, count, runs);
                break;
            }
            }
            ASSERT_EQ(store.text(), model.text) << "round " << round << " step " << step;
            ASSERT_EQ(store.length(), model.text.size());
            ASSERT_EQ(store.runs(), model.runs()) << "round " << round << " step " << step;

            // The reported change covers every difference.
            if (store.text() != before && frontCut == cutBefore) {
                ASSERT_TRUE(firstChanged.has_value());
                EXPECT_EQ(before.substr(0, *firstChanged), model.text.substr(0, *firstChanged));
            }

            const std::size_t from = pick(model.text.size() + 2);
            const std::size_t lineFeed = from < model.text.size() ? model.text.find(u'\n', from) : std::u16string::npos;
            ASSERT_EQ(
                store.find(u'\n', from), lineFeed == std::u16string::npos ? std::nullopt : std::optional(lineFeed));

            const std::size_t to = from + pick(100);
            std::size_t covered = std::min(from, model.text.size());
            for (const auto& span : store.styles(from, to)) {
                ASSERT_EQ(span.start, covered);
                ASSERT_LT(span.start, span.end);
                for (std::size_t i = span.start; i < span.end; ++i)
                    ASSERT_EQ(span.style, model.styles[i]);
                covered = span.end;
            }
            EXPECT_EQ(covered, std::min(to, model.text.size()));

            expectRowsAreSound(store);
        }
    }
}

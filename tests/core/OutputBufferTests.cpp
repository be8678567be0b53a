#include "core/pipeline/InMemoryTextStore.h"
#include "core/pipeline/OutputBuffer.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <optional>
#include <ostream>
#include <random>
#include <string>
#include <utility>
#include <vector>

using namespace velmora;

namespace velmora {

void PrintTo(TextStyle style, std::ostream* os)
{
    switch (style) {
    case TextStyle::data:
        *os << "data";
        return;
    case TextStyle::timestamp:
        *os << "timestamp";
        return;
    case TextStyle::echo:
        *os << "echo";
        return;
    case TextStyle::meta:
        *os << "meta";
        return;
    case TextStyle::system:
        *os << "system";
        return;
    }
}

} // namespace velmora

namespace {

using Runs = std::vector<std::pair<TextStyle, std::u16string>>;

OutputSegment data(std::u16string text)
{
    return {OutputSegment::Kind::data, std::move(text)};
}

OutputSegment timestamp(std::u16string text)
{
    return {OutputSegment::Kind::timestamp, std::move(text)};
}

OutputSegment meta(std::u16string text)
{
    return {OutputSegment::Kind::meta, std::move(text)};
}

// An output buffer over an in-memory store that the test can still look into.
class Output {
public:
    Output() : Output(std::make_unique<InMemoryTextStore>()) {}

    void attachView()
    {
        buffer.onScrollToEnd = [this] {
            ++scrolls;
            scrolledInsideTransaction = scrolledInsideTransaction || store.isEditing();
            lengthAtScroll = store.length();
        };
    }

    InMemoryTextStore& store;
    OutputBuffer buffer;
    int scrolls = 0;
    bool scrolledInsideTransaction = false;
    std::size_t lengthAtScroll = 0;

private:
    explicit Output(std::unique_ptr<InMemoryTextStore> owned) : store(*owned), buffer(std::move(owned)) {}
};

struct Counts {
    std::size_t edits;
    std::size_t transactions;
    int scrolls;

    friend bool operator==(const Counts&, const Counts&) = default;
};

Counts countsOf(const Output& output)
{
    return {output.store.editCount(), output.store.transactionCount(), output.scrolls};
}

// Counts since the previous call.
class CountWatch {
public:
    explicit CountWatch(const Output& output) : output_(output), last_(countsOf(output)) {}

    Counts delta()
    {
        const Counts now = countsOf(output_);
        const Counts result{now.edits - last_.edits, now.transactions - last_.transactions, now.scrolls - last_.scrolls};
        last_ = now;
        return result;
    }

private:
    const Output& output_;
    Counts last_;
};

void PrintTo(const Counts& counts, std::ostream* os)
{
    *os << "{edits " << counts.edits << ", transactions " << counts.transactions << ", scrolls " << counts.scrolls
        << "}";
}

// length characters of 'x' with line feeds at the given positions.
std::u16string textWithLineFeedsAt(std::size_t length, std::initializer_list<std::size_t> lineFeeds)
{
    std::u16string text(length, u'x');
    for (const std::size_t position : lineFeeds)
        text[position] = u'\n';
    return text;
}

// count lines of width characters each, the last of which is a line feed.
std::u16string lines(std::size_t count, std::size_t width)
{
    std::u16string line(width - 1, u'x');
    line += u'\n';
    std::u16string text;
    text.reserve(count * width);
    for (std::size_t i = 0; i < count; ++i)
        text += line;
    return text;
}

// ---- The in-memory store ----

TEST(InMemoryTextStore, AppendMergesNeighboursOfOneStyleAndSkipsEmptyRuns)
{
    InMemoryTextStore store;
    const std::vector<StyledRun> first{{TextStyle::data, u"ab"}, {TextStyle::data, u"c"}, {TextStyle::echo, u""},
        {TextStyle::meta, u"<LF>"}};
    store.append(first);
    const std::vector<StyledRun> second{{TextStyle::meta, u"!"}, {TextStyle::system, u"--- x ---\n"}};
    store.append(second);

    EXPECT_EQ(store.text(), u"abc<LF>!--- x ---\n");
    EXPECT_EQ(store.length(), 18u);
    EXPECT_EQ(store.runs(),
        (Runs{{TextStyle::data, u"abc"}, {TextStyle::meta, u"<LF>!"}, {TextStyle::system, u"--- x ---\n"}}));
}

TEST(InMemoryTextStore, ReplaceAndRemoveSplitRunsAndJoinNeighboursThatMeet)
{
    InMemoryTextStore store;
    const std::vector<StyledRun> initial{{TextStyle::data, u"aaa"}, {TextStyle::echo, u"bbb"}, {TextStyle::meta, u"ccc"}};
    store.append(initial);

    const std::vector<StyledRun> x{{TextStyle::data, u"X"}};
    store.replace(2, 5, x);
    EXPECT_EQ(store.text(), u"aaXcc");
    EXPECT_EQ(store.runs(), (Runs{{TextStyle::data, u"aaX"}, {TextStyle::meta, u"cc"}}));

    const std::vector<StyledRun> middle{{TextStyle::echo, u"e"}, {TextStyle::data, u"dd"}};
    store.replace(3, 0, middle);
    EXPECT_EQ(store.text(), u"aaXeddcc");
    EXPECT_EQ(store.runs(),
        (Runs{{TextStyle::data, u"aaX"}, {TextStyle::echo, u"e"}, {TextStyle::data, u"dd"}, {TextStyle::meta, u"cc"}}));

    store.remove(3, 1);
    EXPECT_EQ(store.text(), u"aaXddcc");
    EXPECT_EQ(store.runs(), (Runs{{TextStyle::data, u"aaXdd"}, {TextStyle::meta, u"cc"}}));

    store.remove(0, 2);
    EXPECT_EQ(store.runs(), (Runs{{TextStyle::data, u"Xdd"}, {TextStyle::meta, u"cc"}}));

    store.replace(0, 5, {});
    EXPECT_EQ(store.length(), 0u);
    EXPECT_TRUE(store.runs().empty());
}

TEST(InMemoryTextStore, RangesReachingPastTheEndAreClippedToTheText)
{
    InMemoryTextStore store;
    const std::vector<StyledRun> initial{{TextStyle::data, u"abcdef"}};
    store.append(initial);

    store.remove(3, 100);
    EXPECT_EQ(store.text(), u"abc");
    const std::vector<StyledRun> z{{TextStyle::echo, u"Z"}};
    store.replace(10, 2, z);
    EXPECT_EQ(store.text(), u"abcZ");
    EXPECT_EQ(store.runs(), (Runs{{TextStyle::data, u"abc"}, {TextStyle::echo, u"Z"}}));
}

TEST(InMemoryTextStore, FindReportsTheFirstPositionAtOrAfterTheStart)
{
    InMemoryTextStore store;
    const std::vector<StyledRun> initial{{TextStyle::data, u"a\nb"}, {TextStyle::meta, u"\n"}};
    store.append(initial);

    EXPECT_EQ(store.find(u'\n', 0), 1u);
    EXPECT_EQ(store.find(u'\n', 1), 1u);
    EXPECT_EQ(store.find(u'\n', 2), 3u);
    EXPECT_EQ(store.find(u'b', 0), 2u);
    EXPECT_EQ(store.find(u'\n', 4), std::nullopt);
    EXPECT_EQ(store.find(u'\n', 1000), std::nullopt);
    EXPECT_EQ(store.find(u'z', 0), std::nullopt);
    EXPECT_EQ(InMemoryTextStore{}.find(u'\n', 0), std::nullopt);
}

TEST(InMemoryTextStore, CountsEveryEditAndEachOutermostTransaction)
{
    InMemoryTextStore store;
    const std::vector<StyledRun> a{{TextStyle::data, u"a"}};
    store.append(a);
    EXPECT_EQ(store.editsOutsideTransactions(), 1u);

    store.beginEditing();
    store.beginEditing();
    EXPECT_TRUE(store.isEditing());
    store.append(a);
    store.replace(0, 1, a);
    store.endEditing();
    EXPECT_TRUE(store.isEditing());
    EXPECT_EQ(store.transactionCount(), 0u);
    store.remove(0, 1);
    store.endEditing();

    EXPECT_FALSE(store.isEditing());
    EXPECT_EQ(store.editCount(), 4u);
    EXPECT_EQ(store.transactionCount(), 1u);
    EXPECT_EQ(store.editsOutsideTransactions(), 1u);
}

// The store against the plainest model of styled text: one style per character.
TEST(InMemoryTextStore, RandomEditsAgreeWithAStylePerCharacterModel)
{
    std::mt19937 random(20240611);
    auto below = [&](std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(random); };
    constexpr char16_t letters[] = u"ab\nc";
    constexpr TextStyle styles[] = {TextStyle::data, TextStyle::timestamp, TextStyle::echo, TextStyle::meta,
        TextStyle::system};

    InMemoryTextStore store;
    std::u16string modelText;
    std::vector<TextStyle> modelStyles;

    for (int step = 0; step < 3000; ++step) {
        std::vector<std::u16string> texts(below(4));
        std::vector<StyledRun> runs;
        std::u16string insertedText;
        std::vector<TextStyle> insertedStyles;
        for (std::u16string& text : texts) {
            for (std::size_t i = below(5); i > 0; --i)
                text += letters[below(4)];
            const TextStyle style = styles[below(5)];
            runs.push_back({style, text});
            insertedText += text;
            insertedStyles.insert(insertedStyles.end(), text.size(), style);
        }

        const std::size_t start = below(modelText.size() + 1);
        const std::size_t count = below(modelText.size() - start + 1);
        switch (below(3)) {
        case 0:
            store.append(runs);
            modelText += insertedText;
            modelStyles.insert(modelStyles.end(), insertedStyles.begin(), insertedStyles.end());
            break;
        case 1:
            store.replace(start, count, runs);
            modelText.replace(start, count, insertedText);
            modelStyles.erase(modelStyles.begin() + static_cast<std::ptrdiff_t>(start),
                modelStyles.begin() + static_cast<std::ptrdiff_t>(start + count));
            modelStyles.insert(modelStyles.begin() + static_cast<std::ptrdiff_t>(start), insertedStyles.begin(),
                insertedStyles.end());
            break;
        default:
            store.remove(start, count);
            modelText.erase(start, count);
            modelStyles.erase(modelStyles.begin() + static_cast<std::ptrdiff_t>(start),
                modelStyles.begin() + static_cast<std::ptrdiff_t>(start + count));
            break;
        }

        Runs modelRuns;
        for (std::size_t i = 0; i < modelText.size(); ++i) {
            if (modelRuns.empty() || modelRuns.back().first != modelStyles[i])
                modelRuns.emplace_back(modelStyles[i], u"");
            modelRuns.back().second += modelText[i];
        }
        ASSERT_EQ(store.text(), modelText) << "step " << step;
        ASSERT_EQ(store.length(), modelText.size()) << "step " << step;
        ASSERT_EQ(store.runs(), modelRuns) << "step " << step;
        const std::size_t from = below(modelText.size() + 2);
        const std::size_t expected = from < modelText.size() ? modelText.find(u'\n', from) : std::u16string::npos;
        ASSERT_EQ(store.find(u'\n', from),
            expected == std::u16string::npos ? std::nullopt : std::optional<std::size_t>(expected))
            << "step " << step;
    }
}

// ---- Appending received data ----

TEST(OutputBuffer, StartsEmptyWithAutoscrollOnAndNoProvisionalTail)
{
    Output output;
    EXPECT_TRUE(output.buffer.isEmpty());
    EXPECT_TRUE(output.buffer.autoscroll());
    EXPECT_EQ(output.buffer.provisionalLength(), 0u);
    EXPECT_EQ(&output.buffer.storage(), &output.store);
}

TEST(OutputBuffer, SegmentKindsKeepTheirOwnStyles)
{
    Output output;
    output.buffer.appendSegments({timestamp(u"14:03:07.250 "), meta(u"\u2190 "), data(u"21.5,40\n")}, {});
    output.buffer.appendSegments({data(u"more\n")}, {});

    EXPECT_EQ(output.store.text(), u"14:03:07.250 \u2190 21.5,40\nmore\n");
    EXPECT_EQ(output.store.runs(), (Runs{{TextStyle::timestamp, u"14:03:07.250 "}, {TextStyle::meta, u"\u2190 "},
                                       {TextStyle::data, u"21.5,40\nmore\n"}}));
    EXPECT_FALSE(output.buffer.isEmpty());
    EXPECT_EQ(output.buffer.provisionalLength(), 0u);
}

TEST(OutputBuffer, ACommittedPartReplacesTheProvisionalTailOfThePreviousAppend)
{
    Output output;
    output.buffer.appendSegments({data(u"received\n")}, {});
    // 20 characters of an unfinished hex line, then the finished line of 30.
    output.buffer.appendSegments({}, {meta(u"0000  "), data(u"48 65 6C 6C 6F")});
    ASSERT_EQ(output.buffer.provisionalLength(), 20u);
    EXPECT_EQ(output.store.text(), u"received\n0000  48 65 6C 6C 6F");

    CountWatch counts(output);
    output.buffer.appendSegments({meta(u"0000  "), data(u"48 65 6C 6C 6F 21 0A 0D\n")}, {});
    EXPECT_EQ(output.store.text(), u"received\n0000  48 65 6C 6C 6F 21 0A 0D\n");
    EXPECT_EQ(output.buffer.provisionalLength(), 0u);
    EXPECT_EQ(output.store.runs(), (Runs{{TextStyle::data, u"received\n"}, {TextStyle::meta, u"0000  "},
                                       {TextStyle::data, u"48 65 6C 6C 6F 21 0A 0D\n"}}));
    EXPECT_EQ(counts.delta(), (Counts{1, 1, 0}));

    // Nothing is provisional any more: the next append goes after the finished line.
    output.buffer.appendSegments({data(u"z")}, {});
    EXPECT_EQ(output.store.text(), u"received\n0000  48 65 6C 6C 6F 21 0A 0D\nz");
}

TEST(OutputBuffer, ANewProvisionalPartFollowsTheCommittedPartAndBecomesTheTail)
{
    Output output;
    output.buffer.appendSegments({}, {data(u"41 42")});
    output.buffer.appendSegments({data(u"41 42 43 44\n")}, {data(u"45")});

    EXPECT_EQ(output.store.text(), u"41 42 43 44\n45");
    EXPECT_EQ(output.buffer.provisionalLength(), 2u);

    output.buffer.appendSegments({}, {data(u"45 46")});
    EXPECT_EQ(output.store.text(), u"41 42 43 44\n45 46");
    EXPECT_EQ(output.buffer.provisionalLength(), 5u);
}

TEST(OutputBuffer, TwoEmptyListsRemoveAProvisionalTailAndOtherwiseDoNothing)
{
    Output output;
    output.attachView();
    output.buffer.appendSegments({data(u"line\n")}, {data(u"41 42")});
    CountWatch counts(output);

    output.buffer.appendSegments({}, {});
    EXPECT_EQ(output.store.text(), u"line\n");
    EXPECT_EQ(output.buffer.provisionalLength(), 0u);
    EXPECT_EQ(counts.delta(), (Counts{1, 1, 1}));

    output.buffer.appendSegments({}, {});
    EXPECT_EQ(output.store.text(), u"line\n");
    EXPECT_EQ(counts.delta(), (Counts{0, 0, 0}));

    Output empty;
    empty.attachView();
    empty.buffer.appendSegments({}, {});
    EXPECT_EQ(countsOf(empty), (Counts{0, 0, 0}));
}

// ---- Trimming ----

TEST(OutputBuffer, AppendingTenCharactersToTwoMillionTrimsToStartAfterTheFirstLineFeedFrom500010)
{
    // 2,000,010 characters: cut = 2,000,010 - 1,500,000 = 500,010.
    {
        // Lines of 100 characters end at 100k + 99; the first such position from 500,010 is 500,099.
        Output output;
        const std::u16string initial = lines(20'000, 100);
        output.buffer.appendSegments({data(initial)}, {});
        ASSERT_EQ(output.store.length(), 2'000'000u);
        ASSERT_EQ(output.store.editCount(), 1u) << "exactly 2,000,000 characters are not trimmed";

        output.buffer.appendSegments({data(u"0123456789")}, {});
        EXPECT_EQ(output.store.length(), 2'000'010u - 500'100u);
        EXPECT_LE(output.store.length(), OutputBuffer::trimTarget);
        EXPECT_TRUE(output.store.text() == initial.substr(500'100) + u"0123456789");
    }
    {
        // A line feed exactly at the cut is the one: the text then starts at 500,011.
        Output output;
        const std::u16string initial = textWithLineFeedsAt(2'000'000, {499'999, 500'009, 500'010, 1'200'000});
        output.buffer.appendSegments({data(initial)}, {});
        output.buffer.appendSegments({data(u"0123456789")}, {});
        EXPECT_EQ(output.store.length(), 2'000'010u - 500'011u);
        EXPECT_TRUE(output.store.text() == initial.substr(500'011) + u"0123456789");
    }
}

TEST(OutputBuffer, TextWithoutALineFeedInItsLastMillionAndAHalfIsCutToExactlyThatMillionAndAHalf)
{
    {
        // The last line feed sits one before the cut at 500,010.
        Output output;
        const std::u16string initial = textWithLineFeedsAt(2'000'000, {10, 500'009});
        output.buffer.appendSegments({data(initial)}, {});
        output.buffer.appendSegments({data(u"0123456789")}, {});
        EXPECT_EQ(output.store.length(), OutputBuffer::trimTarget);
        EXPECT_TRUE(output.store.text() == initial.substr(500'010) + u"0123456789");
    }
    {
        // One append far beyond the limit: 2,600,000 characters, cut at 1,100,000.
        Output output;
        const std::u16string first = lines(10'000, 100);
        const std::u16string second(1'600'000, u'y');
        output.buffer.appendSegments({data(first)}, {});
        output.buffer.appendSegments({data(second)}, {});
        EXPECT_EQ(output.store.length(), OutputBuffer::trimTarget);
        EXPECT_TRUE(output.store.text() == second.substr(100'000));
    }
}

TEST(OutputBuffer, TrimmingHappensInsideTheAppendsTransactionAndOnlyAboveTwoMillion)
{
    Output output;
    output.attachView();
    output.buffer.appendSegments({data(lines(20'000, 100))}, {});
    CountWatch counts(output);

    output.buffer.appendSegments({data(u"0123456789")}, {});
    // One append, one removal from the front, both in one transaction, then one scroll.
    EXPECT_EQ(counts.delta(), (Counts{2, 1, 1}));
    EXPECT_EQ(output.store.editsOutsideTransactions(), 0u);
    EXPECT_FALSE(output.scrolledInsideTransaction);
    EXPECT_EQ(output.lengthAtScroll, 1'499'910u);

    // Back up to exactly 2,000,000: no trim; one character more trims again.
    output.buffer.appendSegments({data(std::u16string(500'090, u'z'))}, {});
    EXPECT_EQ(output.store.length(), 2'000'000u);
    EXPECT_EQ(counts.delta(), (Counts{1, 1, 1}));
    output.buffer.appendSegments({data(u"!")}, {});
    EXPECT_EQ(counts.delta(), (Counts{2, 1, 1}));
    EXPECT_LE(output.store.length(), OutputBuffer::trimTarget);
}

TEST(OutputBuffer, AProvisionalTailSurvivesTrimmingUnchangedAndIsStillReplacedWhole)
{
    Output output;
    output.buffer.appendSegments({data(lines(19'999, 100))}, {});
    // 1,999,900 + 100 + 20 = 2,000,020: cut at 500,020, first line feed from there at 500,099.
    output.buffer.appendSegments({data(lines(1, 100))}, {meta(u"0000  "), data(u"43 44 45 46 47")});

    EXPECT_EQ(output.store.length(), 2'000'020u - 500'100u);
    EXPECT_EQ(output.buffer.provisionalLength(), 20u);
    const std::u16string text = output.store.text();
    EXPECT_TRUE(text == lines(20'000, 100).substr(500'100) + u"0000  43 44 45 46 47");
    const Runs runs = output.store.runs();
    ASSERT_GE(runs.size(), 2u);
    EXPECT_EQ(runs[runs.size() - 2], (std::pair{TextStyle::meta, std::u16string(u"0000  ")}));

    output.buffer.appendSegments({meta(u"0000  "), data(u"43 44 45 46 47 48\n")}, {});
    EXPECT_TRUE(output.store.text() == text.substr(0, text.size() - 20) + u"0000  43 44 45 46 47 48\n");
    EXPECT_EQ(output.buffer.provisionalLength(), 0u);
}

// ---- Finishing a line, notices, echo, clearing ----

TEST(OutputBuffer, FinishLineEndsAnUnfinishedLineAndOtherwiseChangesNothing)
{
    Output output;
    output.attachView();
    CountWatch counts(output);

    output.buffer.finishLine();
    EXPECT_TRUE(output.buffer.isEmpty());
    EXPECT_EQ(counts.delta(), (Counts{0, 0, 0}));

    output.buffer.appendSegments({data(u"done\n")}, {});
    counts.delta();
    output.buffer.finishLine();
    EXPECT_EQ(output.store.text(), u"done\n");
    EXPECT_EQ(counts.delta(), (Counts{0, 0, 0}));

    output.buffer.appendSegments({meta(u"0000  ")}, {data(u"abc")});
    counts.delta();
    output.buffer.finishLine();
    EXPECT_EQ(output.store.text(), u"done\n0000  abc\n");
    EXPECT_EQ(output.store.runs(),
        (Runs{{TextStyle::data, u"done\n"}, {TextStyle::meta, u"0000  "}, {TextStyle::data, u"abc\n"}}));
    EXPECT_EQ(output.buffer.provisionalLength(), 0u);
    EXPECT_EQ(counts.delta(), (Counts{1, 1, 1}));

    // The former tail is ordinary text now: the next append does not replace it.
    output.buffer.appendSegments({}, {data(u"41")});
    EXPECT_EQ(output.store.text(), u"done\n0000  abc\n41");
}

TEST(OutputBuffer, FinishLineMakesATailThatEndsInALineFeedOrdinaryTextWithoutAnEdit)
{
    Output output;
    output.buffer.appendSegments({}, {data(u"41 0A\n")});
    CountWatch counts(output);

    output.buffer.finishLine();
    EXPECT_EQ(output.buffer.provisionalLength(), 0u);
    EXPECT_EQ(counts.delta(), (Counts{0, 0, 0}));
    output.buffer.appendSegments({}, {data(u"42")});
    EXPECT_EQ(output.store.text(), u"41 0A\n42");
}

TEST(OutputBuffer, ANoticeTakesALineOfItsOwnFramedByThreeHyphensInTheSystemStyle)
{
    {
        Output output;
        output.buffer.appendNotice("Connected to /dev/ttyUSB0");
        EXPECT_EQ(output.store.runs(), (Runs{{TextStyle::system, u"--- Connected to /dev/ttyUSB0 ---\n"}}));
    }
    {
        Output output;
        output.buffer.appendSegments({data(u"21.5\n")}, {});
        output.buffer.appendNotice("Disconnected");
        EXPECT_EQ(output.store.runs(),
            (Runs{{TextStyle::data, u"21.5\n"}, {TextStyle::system, u"--- Disconnected ---\n"}}));
    }
    {
        // A partial line is ended first, inside the notice's own run.
        Output output;
        output.buffer.appendSegments({data(u"21.")}, {});
        output.buffer.appendNotice("Verbindung getrennt – Gerät fehlt");
        EXPECT_EQ(output.store.runs(), (Runs{{TextStyle::data, u"21."},
                                           {TextStyle::system, u"\n--- Verbindung getrennt – Gerät fehlt ---\n"}}));
    }
}

TEST(OutputBuffer, ANoticeWhileAHexLineIsProvisionalLeavesThatLineOnScreenAndCommitsIt)
{
    Output output;
    output.buffer.appendSegments({data(u"48 65 6C 6C 6F 0A\n")}, {data(u"48 65 6C ")});
    CountWatch counts(output);

    output.buffer.appendNotice("Disconnected");
    EXPECT_EQ(output.store.text(), u"48 65 6C 6C 6F 0A\n48 65 6C \n--- Disconnected ---\n");
    EXPECT_EQ(output.store.runs(), (Runs{{TextStyle::data, u"48 65 6C 6C 6F 0A\n48 65 6C "},
                                       {TextStyle::system, u"\n--- Disconnected ---\n"}}));
    EXPECT_EQ(output.buffer.provisionalLength(), 0u);
    EXPECT_EQ(counts.delta(), (Counts{1, 1, 0}));

    output.buffer.appendSegments({}, {data(u"6C 6F")});
    EXPECT_EQ(output.store.text(), u"48 65 6C 6C 6F 0A\n48 65 6C \n--- Disconnected ---\n6C 6F");
}

TEST(OutputBuffer, AnEchoLineIsOneEditOfStampArrowAndTextSuffixAndLineBreakInTheirStyles)
{
    {
        // After an unfinished line that is provisional: the line is ended in the data style.
        Output output;
        output.buffer.appendSegments({}, {data(u"abc")});
        CountWatch counts(output);
        output.buffer.appendEcho(u"hello", u"14:03:07.250 ", u"<LF>");
        EXPECT_EQ(output.store.text(), u"abc\n14:03:07.250 \u2192 hello<LF>\n");
        EXPECT_EQ(output.store.runs(),
            (Runs{{TextStyle::data, u"abc\n"}, {TextStyle::timestamp, u"14:03:07.250 "},
                {TextStyle::echo, u"\u2192 hello"}, {TextStyle::meta, u"<LF>"}, {TextStyle::echo, u"\n"}}));
        EXPECT_EQ(output.buffer.provisionalLength(), 0u);
        EXPECT_EQ(counts.delta(), (Counts{1, 1, 0}));
    }
    {
        Output output;
        output.buffer.appendEcho(u"48 65 6C", std::nullopt, std::nullopt);
        EXPECT_EQ(output.store.runs(), (Runs{{TextStyle::echo, u"\u2192 48 65 6C\n"}}));
    }
    {
        Output output;
        output.buffer.appendSegments({data(u"x\n")}, {});
        output.buffer.appendEcho(u"", std::nullopt, u"<CR><LF>");
        EXPECT_EQ(output.store.runs(), (Runs{{TextStyle::data, u"x\n"}, {TextStyle::echo, u"\u2192 "},
                                           {TextStyle::meta, u"<CR><LF>"}, {TextStyle::echo, u"\n"}}));
    }
}

TEST(OutputBuffer, ClearEmptiesTheTextAndForgetsTheProvisionalTail)
{
    Output output;
    output.attachView();
    output.buffer.appendSegments({data(u"line\n")}, {data(u"41 42")});
    CountWatch counts(output);

    output.buffer.clear();
    EXPECT_TRUE(output.buffer.isEmpty());
    EXPECT_TRUE(output.store.runs().empty());
    EXPECT_EQ(output.buffer.provisionalLength(), 0u);
    EXPECT_EQ(counts.delta(), (Counts{1, 1, 1}));

    output.buffer.appendSegments({data(u"a")}, {});
    EXPECT_EQ(output.store.text(), u"a");

    // Clearing what is already empty is no change.
    output.buffer.clear();
    counts.delta();
    output.buffer.clear();
    EXPECT_EQ(counts.delta(), (Counts{0, 0, 0}));
}

// ---- Scrolling and transactions ----

TEST(OutputBuffer, EveryChangeScrollsOnceAfterItsTransactionWhileAutoscrollIsOn)
{
    Output output;
    output.attachView();
    CountWatch counts(output);

    output.buffer.appendSegments({data(u"a")}, {data(u"41")});
    EXPECT_EQ(counts.delta(), (Counts{1, 1, 1}));
    output.buffer.appendSegments({data(u"41 42\n")}, {});
    EXPECT_EQ(counts.delta(), (Counts{1, 1, 1}));
    output.buffer.appendSegments({data(u"b")}, {});
    output.buffer.finishLine();
    EXPECT_EQ(counts.delta(), (Counts{2, 2, 2}));
    output.buffer.appendNotice("Connected");
    EXPECT_EQ(counts.delta(), (Counts{1, 1, 1}));
    output.buffer.appendEcho(u"hi", u"14:03:07.250 ", u"<LF>");
    EXPECT_EQ(counts.delta(), (Counts{1, 1, 1}));
    EXPECT_EQ(output.lengthAtScroll, output.store.length());
    output.buffer.clear();
    EXPECT_EQ(counts.delta(), (Counts{1, 1, 1}));

    EXPECT_FALSE(output.scrolledInsideTransaction);
    EXPECT_FALSE(output.store.isEditing());
    EXPECT_EQ(output.store.editsOutsideTransactions(), 0u);
}

TEST(OutputBuffer, NothingScrollsWithAutoscrollOffOrWithoutAView)
{
    Output output;
    output.attachView();
    output.buffer.setAutoscroll(false);
    EXPECT_FALSE(output.buffer.autoscroll());
    output.buffer.appendSegments({data(u"a\n")}, {});
    output.buffer.appendNotice("Connected");
    output.buffer.appendEcho(u"hi", std::nullopt, std::nullopt);
    EXPECT_EQ(output.scrolls, 0);
    EXPECT_EQ(output.store.text(), u"a\n--- Connected ---\n\u2192 hi\n");

    output.buffer.setAutoscroll(true);
    output.buffer.appendSegments({data(u"b")}, {});
    EXPECT_EQ(output.scrolls, 1);

    // The view went away: the text still changes.
    output.buffer.onScrollToEnd = nullptr;
    output.buffer.appendSegments({data(u"c")}, {});
    output.buffer.finishLine();
    EXPECT_EQ(output.scrolls, 1);
    EXPECT_EQ(output.store.text(), u"a\n--- Connected ---\n\u2192 hi\nbc\n");

    Output noView;
    noView.buffer.appendSegments({data(u"x")}, {data(u"41")});
    noView.buffer.appendNotice("Connected");
    noView.buffer.clear();
    EXPECT_TRUE(noView.buffer.isEmpty());
    EXPECT_EQ(noView.store.transactionCount(), 3u);
}

} // namespace

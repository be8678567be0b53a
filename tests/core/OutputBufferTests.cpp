#include "core/pipeline/OutputBuffer.h"

#include "tests/helpers/TextStylePrinting.h"

#include <gtest/gtest.h>

#include <array>
#include <initializer_list>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

using namespace velmora;

namespace {

using Runs = std::vector<std::pair<TextStyle, std::u16string>>;

using Kind = OutputSegment::Kind;
const auto data = [](std::u16string text) { return OutputSegment{Kind::data, std::move(text)}; };
const auto timestamp = [](std::u16string text) { return OutputSegment{Kind::timestamp, std::move(text)}; };
const auto meta = [](std::u16string text) { return OutputSegment{Kind::meta, std::move(text)}; };

// An output buffer and what a view of it sees, in order: 'c' for each change of the store, 's'
// for each request to scroll to the end.
struct Output {
    OutputBuffer buffer;
    const InMemoryTextStore& store = buffer.storage();
    std::string events;
    InMemoryTextStore::Change lastChange;
    Subscription changes = store.changes().subscribe([this](const InMemoryTextStore::Change& change) {
        events += 'c';
        lastChange = change;
    });
    Subscription scrolls = buffer.scrollsToEnd().subscribe([this] { events += 's'; });

    // What the view saw since the previous call.
    std::string seen() { return std::exchange(events, {}); }
};

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

// The text after appending initial and then more, each as one batch.
std::u16string afterAppending(const std::u16string& initial, const std::u16string& more)
{
    Output output;
    output.buffer.appendSegments({data(initial)}, {});
    output.buffer.appendSegments({data(more)}, {});
    return output.store.text();
}

TEST(OutputBuffer, SegmentsKeepTheirStylesAndTheNextAppendReplacesTheProvisionalTailWholeInOneChange)
{
    Output output;
    output.buffer.appendSegments({timestamp(u"14:03:07.250 "), meta(u"\u2190 "), data(u"received\n")}, {});
    // 20 characters of an unfinished hex line, then the finished line of 30.
    output.buffer.appendSegments({}, {meta(u"0000  "), data(u"48 65 6C 6C 6F")});
    ASSERT_EQ(output.buffer.provisionalLength(), 20u);
    EXPECT_EQ(output.store.text(), u"14:03:07.250 \u2190 received\n0000  48 65 6C 6C 6F");
    output.seen();

    output.buffer.appendSegments({meta(u"0000  "), data(u"48 65 6C 6C 6F 21 0A 0D\n")}, {data(u"45")});
    EXPECT_EQ(output.seen(), "cs");
    EXPECT_EQ(output.store.runs(),
        (Runs{{TextStyle::timestamp, u"14:03:07.250 "}, {TextStyle::meta, u"\u2190 "}, {TextStyle::data, u"received\n"},
            {TextStyle::meta, u"0000  "}, {TextStyle::data, u"48 65 6C 6C 6F 21 0A 0D\n45"}}));
    EXPECT_EQ(output.buffer.provisionalLength(), 2u);

    output.buffer.appendSegments({}, {data(u"45 46")});
    EXPECT_EQ(output.store.text(), u"14:03:07.250 \u2190 received\n0000  48 65 6C 6C 6F 21 0A 0D\n45 46");
    EXPECT_EQ(output.buffer.provisionalLength(), 5u);

    // Two empty lists remove the tail; without a tail they change nothing.
    output.seen();
    output.buffer.appendSegments({}, {});
    EXPECT_EQ(output.seen(), "cs");
    EXPECT_EQ(output.store.text(), u"14:03:07.250 \u2190 received\n0000  48 65 6C 6C 6F 21 0A 0D\n");
    EXPECT_EQ(output.buffer.provisionalLength(), 0u);
    output.buffer.appendSegments({}, {});
    EXPECT_EQ(output.seen(), "");

    output.buffer.appendSegments({data(u"z")}, {});
    EXPECT_EQ(output.store.text(), u"14:03:07.250 \u2190 received\n0000  48 65 6C 6C 6F 21 0A 0D\nz");
}

TEST(OutputBuffer, AboveTwoMillionCharactersTheAppendsOneChangeCutsTheFrontAfterTheFirstLineFeedFromTheCut)
{
    Output output;
    const std::u16string initial = lines(20'000, 100);
    output.buffer.appendSegments({data(initial)}, {});
    ASSERT_EQ(output.store.length(), 2'000'000u) << "exactly 2,000,000 characters are not trimmed";
    output.seen();

    // 2,000,010 characters: cut = 2,000,010 - 1,500,000 = 500,010, and lines of 100 characters
    // end at 100k + 99, so the first line feed from the cut is at 500,099.
    output.buffer.appendSegments({data(u"0123456789")}, {});
    EXPECT_EQ(output.seen(), "cs");
    EXPECT_EQ(output.lastChange.removedFromFront, 500'100u);
    EXPECT_EQ(output.lastChange.removedRowsFromFront, 5'001u);
    EXPECT_EQ(output.lastChange.firstChanged, 1'499'900u);
    EXPECT_TRUE(output.store.text() == initial.substr(500'100) + u"0123456789");

    // Back up to exactly 2,000,000: no trim; one character more trims again.
    output.buffer.appendSegments({data(std::u16string(500'090, u'z'))}, {});
    EXPECT_EQ(output.store.length(), 2'000'000u);
    EXPECT_EQ(output.lastChange.removedFromFront, 0u);
    output.buffer.appendSegments({data(u"!")}, {});
    EXPECT_EQ(output.seen(), "cscs");
    EXPECT_EQ(output.store.length(), 2'000'001u - 500'100u);

    // A line feed exactly at the cut is the one: the text then starts at 500,011.
    const std::u16string exact = textWithLineFeedsAt(2'000'000, {499'999, 500'009, 500'010, 1'200'000});
    EXPECT_TRUE(afterAppending(exact, u"0123456789") == exact.substr(500'011) + u"0123456789");
}

TEST(OutputBuffer, TextWithoutALineFeedInItsLastMillionAndAHalfIsCutToExactlyThatMillionAndAHalf)
{
    // The last line feed sits one before the cut at 500,010.
    const std::u16string initial = textWithLineFeedsAt(2'000'000, {10, 500'009});
    EXPECT_TRUE(afterAppending(initial, u"0123456789") == initial.substr(500'010) + u"0123456789");

    // One append far beyond the limit: 2,600,000 characters, cut at 1,100,000.
    const std::u16string second(1'600'000, u'y');
    EXPECT_TRUE(afterAppending(lines(10'000, 100), second) == second.substr(100'000));
}

TEST(OutputBuffer, AProvisionalTailSurvivesTrimmingUnchangedAndIsStillReplacedWhole)
{
    Output output;
    output.buffer.appendSegments({data(lines(19'999, 100))}, {});
    // 1,999,900 + 100 + 20 = 2,000,020: cut at 500,020, first line feed from there at 500,099.
    output.buffer.appendSegments({data(lines(1, 100))}, {meta(u"0000  "), data(u"43 44 45 46 47")});

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

TEST(OutputBuffer, FinishLineEndsAnUnfinishedLineAndMakesTheTailOrdinaryText)
{
    Output output;
    output.buffer.finishLine();
    output.buffer.appendSegments({data(u"done\n")}, {});
    output.buffer.finishLine();
    EXPECT_EQ(output.seen(), "cs") << "only the append changed the text";

    output.buffer.appendSegments({meta(u"0000  ")}, {data(u"abc")});
    output.seen();
    output.buffer.finishLine();
    EXPECT_EQ(output.seen(), "cs");
    EXPECT_EQ(output.store.runs(),
        (Runs{{TextStyle::data, u"done\n"}, {TextStyle::meta, u"0000  "}, {TextStyle::data, u"abc\n"}}));
    EXPECT_EQ(output.buffer.provisionalLength(), 0u);

    // A tail that already ends in a line feed becomes ordinary text without an edit.
    output.buffer.appendSegments({}, {data(u"41 0A\n")});
    output.seen();
    output.buffer.finishLine();
    EXPECT_EQ(output.seen(), "");
    EXPECT_EQ(output.buffer.provisionalLength(), 0u);

    // Neither former tail is replaced by the next append.
    output.buffer.appendSegments({}, {data(u"42")});
    EXPECT_EQ(output.store.text(), u"done\n0000  abc\n41 0A\n42");
}

TEST(OutputBuffer, ANoticeTakesALineOfItsOwnInTheSystemStyleAndCommitsAProvisionalHexLine)
{
    Output output;
    output.buffer.appendNotice("Connected to /dev/ttyUSB0");
    output.buffer.appendSegments({data(u"21.5\n")}, {});
    output.buffer.appendNotice("Disconnected");
    // A partial line is ended first, inside the notice's own run.
    output.buffer.appendSegments({data(u"21.")}, {});
    output.buffer.appendNotice("Verbindung getrennt – Gerät fehlt");
    EXPECT_EQ(output.store.runs(),
        (Runs{{TextStyle::system, u"--- Connected to /dev/ttyUSB0 ---\n"}, {TextStyle::data, u"21.5\n"},
            {TextStyle::system, u"--- Disconnected ---\n"}, {TextStyle::data, u"21."},
            {TextStyle::system, u"\n--- Verbindung getrennt – Gerät fehlt ---\n"}}));

    Output hex;
    hex.buffer.appendSegments({data(u"48 65 6C 6C 6F 0A\n")}, {data(u"48 65 6C ")});
    hex.seen();
    hex.buffer.appendNotice("Disconnected");
    EXPECT_EQ(hex.seen(), "cs");
    EXPECT_EQ(hex.store.runs(),
        (Runs{{TextStyle::data, u"48 65 6C 6C 6F 0A\n48 65 6C "}, {TextStyle::system, u"\n--- Disconnected ---\n"}}));
    EXPECT_EQ(hex.buffer.provisionalLength(), 0u);

    hex.buffer.appendSegments({}, {data(u"6C 6F")});
    EXPECT_EQ(hex.store.text(), u"48 65 6C 6C 6F 0A\n48 65 6C \n--- Disconnected ---\n6C 6F");
}

TEST(OutputBuffer, AnEchoLineIsOneChangeOfStampArrowTextSuffixAndLineBreakInTheirStyles)
{
    Output output;
    output.buffer.appendSegments({}, {data(u"abc")});
    output.seen();
    // After an unfinished line that is provisional: the line is ended in the data style.
    output.buffer.appendEcho(u"hello", u"14:03:07.250 ", u"<LF>");
    EXPECT_EQ(output.seen(), "cs");
    EXPECT_EQ(output.buffer.provisionalLength(), 0u);
    output.buffer.appendEcho(u"48 65 6C", std::nullopt, std::nullopt);
    output.buffer.appendEcho(u"", std::nullopt, u"<CR><LF>");

    EXPECT_EQ(output.store.text(), u"abc\n14:03:07.250 \u2192 hello<LF>\n\u2192 48 65 6C\n\u2192 <CR><LF>\n");
    EXPECT_EQ(output.store.runs(),
        (Runs{{TextStyle::data, u"abc\n"}, {TextStyle::timestamp, u"14:03:07.250 "}, {TextStyle::echo, u"\u2192 hello"},
            {TextStyle::meta, u"<LF>"}, {TextStyle::echo, u"\n\u2192 48 65 6C\n\u2192 "},
            {TextStyle::meta, u"<CR><LF>"}, {TextStyle::echo, u"\n"}}));
}

TEST(OutputBuffer, ClearEmptiesTheTextAndForgetsTheProvisionalTail)
{
    Output output;
    output.buffer.appendSegments({data(u"line\n")}, {data(u"41 42")});
    output.seen();

    output.buffer.clear();
    EXPECT_EQ(output.seen(), "cs");
    EXPECT_TRUE(output.buffer.isEmpty());
    EXPECT_EQ(output.buffer.provisionalLength(), 0u);

    output.buffer.appendSegments({data(u"a")}, {});
    EXPECT_EQ(output.store.text(), u"a");

    output.buffer.clear();
    output.seen();
    output.buffer.clear();
    EXPECT_EQ(output.seen(), "") << "clearing what is already empty is no change";
}

TEST(OutputBuffer, EveryChangeIsFollowedByOneScrollToTheEndWhileAutoscrollIsOn)
{
    Output output;
    output.buffer.appendSegments({data(u"a")}, {data(u"41")});
    output.buffer.appendSegments({data(u"41 42\n")}, {});
    output.buffer.appendSegments({data(u"b")}, {});
    output.buffer.finishLine();
    output.buffer.appendNotice("Connected");
    output.buffer.appendEcho(u"hi", u"14:03:07.250 ", u"<LF>");
    EXPECT_EQ(output.seen(), "cscscscscscs");
    output.buffer.clear();
    EXPECT_EQ(output.seen(), "cs");

    output.buffer.setAutoscroll(false);
    output.buffer.appendSegments({data(u"a\n")}, {});
    output.buffer.appendNotice("Connected");
    output.buffer.appendEcho(u"hi", std::nullopt, std::nullopt);
    EXPECT_EQ(output.seen(), "ccc");

    output.buffer.setAutoscroll(true);
    output.buffer.appendSegments({data(u"b")}, {});
    EXPECT_EQ(output.seen(), "cs");
}

} // namespace

#include "core/pipeline/TerminalTextProcessor.h"
#include "core/text/Timestamp.h"

#include <gtest/gtest.h>

#include <string>

using namespace velmora;
using Kind = OutputSegment::Kind;

namespace {

const auto receivedAt = std::chrono::system_clock::time_point(std::chrono::milliseconds(1700000000250));
const std::u16string arrow = u"\u2190 ";

std::vector<std::uint8_t> bytesOf(std::string_view text)
{
    return {text.begin(), text.end()};
}

// Feeds chunks without decorations and returns all text shown.
std::u16string show(TerminalTextProcessor& processor, std::initializer_list<std::string_view> chunks)
{
    std::u16string shown;
    for (auto chunk : chunks) {
        for (const auto& segment : processor.process(bytesOf(chunk), false, std::nullopt, receivedAt)) {
            EXPECT_EQ(segment.kind, Kind::data);
            shown += segment.text;
        }
    }
    return shown;
}

std::u16string show(std::initializer_list<std::string_view> chunks)
{
    TerminalTextProcessor processor;
    return show(processor, chunks);
}

} // namespace

TEST(TerminalTextProcessor, CharactersSplitAcrossChunksAreJoinedAndBrokenOnesRepaired)
{
    TerminalTextProcessor processor;
    EXPECT_TRUE(processor.process(bytesOf("\xE2\x82"), false, std::nullopt, receivedAt).empty());
    EXPECT_EQ(processor.carry(), (std::vector<std::uint8_t>{0xE2, 0x82}));
    EXPECT_EQ(show(processor, {"\xAC"}), u"\u20AC");
    EXPECT_TRUE(processor.carry().empty());

    EXPECT_EQ(show(processor, {"x\xF0"}), u"x");
    EXPECT_EQ(show(processor, {"A"}), u"\uFFFDA");

    EXPECT_EQ(show({"\x80\x80\x80\x80"}), u"\uFFFD\uFFFD\uFFFD\uFFFD");
    EXPECT_EQ(show({"\xF0\x9F", "\x98", "\x80!"}), u"\U0001F600!");
}

TEST(TerminalTextProcessor, EscapeSequencesVanishWhateverTheirKindOrWhereTheyAreSplit)
{
    EXPECT_EQ(show({"\x1B[31mred\x1B[0m"}), u"red");
    EXPECT_EQ(show({"\x1B]0;title\x07"
                    "after"}),
        u"after");
    EXPECT_EQ(show({"\x1B]0;t\x1B\\x"}), u"x");
    EXPECT_EQ(show({"\x1B", "[1;3", "2m", "green"}), u"green");
    EXPECT_EQ(show({"\x1B"
                    "7saved"}),
        u"saved")
        << "ESC and one character";
    // CR, LF and ESC inside a CSI sequence are swallowed with it.
    EXPECT_EQ(show({"\x1B[1\r\n2Jok"}), u"ok");
}

TEST(TerminalTextProcessor, AnUnterminatedSequenceSwallowsAtMost257Characters)
{
    const std::string hostile = "\x1B[" + std::string(300, '1') + "A";
    EXPECT_EQ(show({hostile}), std::u16string(43, u'1') + u"A");
    const std::string longTitle = "\x1B]" + std::string(256, 't') + "shown";
    EXPECT_EQ(show({longTitle}), u"hown");
}

TEST(TerminalTextProcessor, CarriageReturnsAndLineFeedsEachMakeOneLineBreak)
{
    EXPECT_EQ(show({"a\r\n\r\nb"}), u"a\n\nb");
    EXPECT_EQ(show({"a\n\rb"}), u"a\n\nb");
    EXPECT_EQ(show({"a\r", "\nb"}), u"a\nb");
    EXPECT_EQ(show({"a\rb\rc"}), u"a\nb\nc");
    // An escape sequence between CR and LF ends the pair.
    EXPECT_EQ(show({"a\r\x1B[0m\nb"}), u"a\n\nb");
}

TEST(TerminalTextProcessor, ControlCharactersShowAsPicturesAndDisguisingCharactersAsReplacements)
{
    EXPECT_EQ(show({std::string_view("\x07\x00\x7F\x08\x0C\t|", 7)}), u"\u2407\u2400\u2421\u2408\u240C\t|");
    EXPECT_EQ(show({"\xC2\x85", "\xE2\x80\xAE", "\xD8\x9C", "\xE2\x80\x8E", "\xE2\x81\xA6"}),
        u"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD");
    // Zero-width joiners, line separators and the byte order mark are left alone.
    EXPECT_EQ(show({"\xE2\x80\x8B\xE2\x80\x8D\xE2\x80\xA8\xEF\xBB\xBF"}), u"\u200B\u200D\u2028\uFEFF");
    EXPECT_EQ(show({"\xC2\xA0\xC2\x9F\xC2\xA1"}), u"\u00A0\uFFFD\u00A1");
}

TEST(TerminalTextProcessor, EveryLineGetsTheChunksStampAndMarker)
{
    const std::u16string time = formatTimestamp(receivedAt);
    const auto lines = bytesOf("Temp: 21.5\r\nOK\r\n");

    EXPECT_EQ(TerminalTextProcessor().process(lines, true, std::nullopt, receivedAt),
        (OutputSegments{{Kind::timestamp, time + u" -> "}, {Kind::data, u"Temp: 21.5\n"},
            {Kind::timestamp, time + u" -> "}, {Kind::data, u"OK\n"}}));
    EXPECT_EQ(TerminalTextProcessor().process(lines, true, arrow, receivedAt),
        (OutputSegments{{Kind::timestamp, time + u" "}, {Kind::meta, arrow}, {Kind::data, u"Temp: 21.5\n"},
            {Kind::timestamp, time + u" "}, {Kind::meta, arrow}, {Kind::data, u"OK\n"}}));
    EXPECT_EQ(TerminalTextProcessor().process(lines, false, std::nullopt, receivedAt),
        (OutputSegments{{Kind::data, u"Temp: 21.5\nOK\n"}}));
    EXPECT_EQ(TerminalTextProcessor().process(bytesOf("\n\n"), true, std::nullopt, receivedAt),
        (OutputSegments{{Kind::timestamp, time + u" -> "}, {Kind::data, u"\n"}, {Kind::timestamp, time + u" -> "},
            {Kind::data, u"\n"}}));
}

TEST(TerminalTextProcessor, DecorationsWaitForTheFirstVisibleCharacterAndSpanChunks)
{
    TerminalTextProcessor processor;
    // An escape sequence at the start of a line does not start the line.
    EXPECT_EQ(processor.process(bytesOf("\x1B[32m"), false, arrow, receivedAt), OutputSegments{});
    EXPECT_TRUE(processor.atLineStart());
    EXPECT_EQ(processor.process(bytesOf("ab"), false, arrow, receivedAt),
        (OutputSegments{{Kind::meta, arrow}, {Kind::data, u"ab"}}));
    // The rest of the line comes undecorated; the next line starts anew.
    EXPECT_EQ(processor.process(bytesOf("c\nd"), false, arrow, receivedAt),
        (OutputSegments{{Kind::data, u"c\n"}, {Kind::meta, arrow}, {Kind::data, u"d"}}));
    // A chunk made only of an incomplete character shows nothing at all.
    EXPECT_EQ(processor.process(bytesOf("\xC3"), true, arrow, receivedAt), OutputSegments{});
}

TEST(TerminalTextProcessor, ALineResetStartsALineButKeepsOpenSequencesAndAFullResetForgetsThem)
{
    TerminalTextProcessor processor;
    EXPECT_EQ(show(processor, {"abc\r"}), u"abc\n");
    processor.resetLine();
    EXPECT_EQ(show(processor, {"\nx"}), u"\nx") << "the CR before the reset no longer swallows the LF";

    EXPECT_EQ(show(processor, {"\x1B[3"}), u"");
    processor.resetLine();
    EXPECT_EQ(processor.escapeState(), TerminalTextProcessor::EscapeState::csi);
    EXPECT_EQ(show(processor, {"1mred"}), u"red");

    EXPECT_EQ(show(processor, {"\x1B]title"}), u"");
    processor.process(bytesOf("\xE2"), false, std::nullopt, receivedAt);
    processor.reset();
    EXPECT_EQ(processor.escapeState(), TerminalTextProcessor::EscapeState::normal);
    EXPECT_TRUE(processor.carry().empty());
    EXPECT_EQ(show(processor, {"\x82\xAC"}), u"\uFFFD\uFFFD");
}

#include "core/pipeline/ByteFormatter.h"
#include "core/pipeline/DisplayMode.h"
#include "core/text/Timestamp.h"
#include "core/text/Utf8.h"

#include <gtest/gtest.h>

#include <array>
#include <ostream>
#include <string>
#include <vector>

using namespace std::chrono_literals;
using namespace velmora;

namespace velmora {

// Readable failure messages; static so that other test files may have their own.
[[maybe_unused]] static void PrintTo(const OutputSegment& segment, std::ostream* out)
{
    const char* kind = segment.kind == OutputSegment::Kind::data ? "data"
        : segment.kind == OutputSegment::Kind::meta              ? "meta"
                                                                 : "timestamp";
    *out << kind << " \"" << utf16ToUtf8(segment.text) << '"';
}

[[maybe_unused]] static void PrintTo(const ByteFormatter::Result& result, std::ostream* out)
{
    *out << "committed " << ::testing::PrintToString(result.committed) << ", provisional "
         << ::testing::PrintToString(result.provisional);
}

} // namespace velmora

namespace {

using Kind = OutputSegment::Kind;
using Bytes = std::vector<std::uint8_t>;
using Result = ByteFormatter::Result;

// 2024-03-05 14:03:07.250 UTC; stamps are compared with formatTimestamp, which shows local time.
const auto t0 = std::chrono::sys_days{std::chrono::year{2024} / 3 / 5} + 14h + 3min + 7s + 250ms;

OutputSegment data(std::u16string text)
{
    return {Kind::data, std::move(text)};
}
OutputSegment meta(std::u16string text)
{
    return {Kind::meta, std::move(text)};
}
OutputSegment stamp(std::u16string text)
{
    return {Kind::timestamp, std::move(text)};
}
const OutputSegment newline = data(u"\n");

Bytes ascii(std::string_view text)
{
    return Bytes(text.begin(), text.end());
}

Bytes range(std::uint8_t first, std::size_t count)
{
    Bytes bytes(count);
    for (std::size_t i = 0; i < count; ++i)
        bytes[i] = static_cast<std::uint8_t>(first + i);
    return bytes;
}

ReceivedChunk chunk(Bytes bytes, std::chrono::system_clock::duration after = 0ms)
{
    return {t0 + after, std::move(bytes)};
}

Result feed(ByteFormatter& formatter, const ByteDisplayOptions& options, std::vector<ReceivedChunk> chunks)
{
    return formatter.format(chunks, options);
}

ByteDisplayOptions optionsFor(DisplayMode mode, std::int64_t bytesPerLine = 16)
{
    ByteDisplayOptions options;
    options.mode = mode;
    options.bytesPerLine = bytesPerLine;
    return options;
}

} // namespace

TEST(DisplayMode, TheSixModesRoundTripThroughTheirNamesAndNothingElseNamesOne)
{
    const std::array<std::string_view, 6> names{"text", "hex", "hexDump", "decimal", "binary", "asciiEscaped"};
    ASSERT_EQ(allDisplayModes.size(), names.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
        EXPECT_EQ(rawValue(allDisplayModes[i]), names[i]) << "menu order";
        EXPECT_EQ(displayModeFromRaw(names[i]), allDisplayModes[i]) << names[i];
    }
    for (std::string_view raw : {"", "Text", "HEX", "hexdump", "hex ", "ascii"})
        EXPECT_FALSE(displayModeFromRaw(raw)) << raw;
}

TEST(DisplayMode, PersistedBytesPerLineAndPausesOutsideTheMenuValuesReadAsSixteenAndOff)
{
    for (std::int64_t stored : {8, 16, 32})
        EXPECT_EQ(normalizedBytesPerLine(stored), stored);
    for (std::int64_t stored : {0, -8, 7, 9, 24, 33, 1024})
        EXPECT_EQ(normalizedBytesPerLine(stored), 16) << stored;
    for (std::int64_t stored : {0, 10, 20, 50, 100, 200, 500, 1000})
        EXPECT_EQ(normalizedGapMs(stored), stored);
    for (std::int64_t stored : {-10, 1, 30, 49, 51, 999, 1001, 60000})
        EXPECT_EQ(normalizedGapMs(stored), 0) << stored;
}

TEST(ByteFormatter, HexAtEightPerLineCommitsFullLinesAndShowsTheRestAsATailThatLaterBytesReplace)
{
    ByteFormatter formatter;
    const auto options = optionsFor(DisplayMode::hex, 8);
    EXPECT_EQ(feed(formatter, options, {chunk({}), chunk({}, 5ms)}), Result{}) << "empty chunks show nothing";
    EXPECT_EQ(feed(formatter, options, {chunk(range(0x00, 20))}),
        (Result{{data(u"00 01 02 03 04 05 06 07"), newline, data(u"08 09 0A 0B 0C 0D 0E 0F"), newline},
            {data(u"10 11 12 13")}}));
    EXPECT_EQ(formatter.offset(), 16);
    EXPECT_EQ(feed(formatter, options, {chunk(range(0x14, 2))}), (Result{{}, {data(u"10 11 12 13 14 15")}}));
    EXPECT_EQ(
        feed(formatter, options, {chunk(range(0xFE, 2))}), (Result{{data(u"10 11 12 13 14 15 FE FF"), newline}, {}}));
    EXPECT_EQ(formatter.offset(), 24);
    EXPECT_TRUE(formatter.line().empty());
}

TEST(ByteFormatter, DecimalPadsEachValueToThreeCharactersAndBinaryShowsEightDigitsMostSignificantFirst)
{
    ByteFormatter decimal;
    EXPECT_EQ(feed(decimal, optionsFor(DisplayMode::decimal, 8), {chunk({0, 7, 72, 101, 108, 255, 10, 99, 1})}),
        (Result{{data(u"  0   7  72 101 108 255  10  99"), newline}, {data(u"  1")}}));
    ByteFormatter binary;
    EXPECT_EQ(feed(binary, optionsFor(DisplayMode::binary, 8), {chunk({0x48, 0x65, 0x00, 0xFF, 0x01, 0x80})}),
        (Result{{}, {data(u"01001000 01100101 00000000 11111111 00000001 10000000")}}));
}

TEST(ByteFormatter, HexDumpOfHelloCrLfAtSixteenColumnsPadsMissingColumnsButNotTheAsciiColumn)
{
    ByteFormatter formatter;
    const auto options = optionsFor(DisplayMode::hexDump, 16);

    // Seven values, then column 7 empty with the group space after it, then eight empty columns.
    const std::u16string columns = u"48 65 6C 6C 6F 0D 0A "
                                   u"    "
                                   u"                        ";
    EXPECT_EQ(feed(formatter, options, {chunk(ascii("Hello\r\n"))}),
        (Result{{}, {meta(u"00000000  "), data(columns), meta(u" |"), data(u"Hello.."), meta(u"|")}}));
    EXPECT_EQ(feed(formatter, options, {chunk(ascii("~world!!\x7F\x80"))}),
        (Result{{meta(u"00000000  "), data(u"48 65 6C 6C 6F 0D 0A 7E  77 6F 72 6C 64 21 21 7F "), meta(u" |"),
                    data(u"Hello..~world!!."), meta(u"|"), newline},
            {meta(u"00000010  "), data(u"80 " + std::u16string(15 * 3 + 1, u' ')), meta(u" |"), data(u"."),
                meta(u"|")}}));
}

TEST(ByteFormatter, HexDumpOfEightColumnsHasNoGroupSpaceAndOfThirtyTwoColumnsPutsOneAfterColumns7_15And23)
{
    ByteFormatter eight;
    EXPECT_EQ(feed(eight, optionsFor(DisplayMode::hexDump, 8), {chunk(ascii("ABCDEFGH")), chunk(ascii("I"))}),
        (Result{{meta(u"00000000  "), data(u"41 42 43 44 45 46 47 48 "), meta(u" |"), data(u"ABCDEFGH"), meta(u"|"),
                    newline},
            {meta(u"00000008  "), data(u"49                      "), meta(u" |"), data(u"I"), meta(u"|")}}));

    // 29 empty columns of three spaces and the three group spaces.
    ByteFormatter thirtyTwo;
    EXPECT_EQ(feed(thirtyTwo, optionsFor(DisplayMode::hexDump, 32), {chunk(range(0x00, 32)), chunk(ascii("abc"))}),
        (Result{{meta(u"00000000  "),
                    data(u"00 01 02 03 04 05 06 07  08 09 0A 0B 0C 0D 0E 0F  10 11 12 13 14 15 16 17  18 19 1A 1B 1C "
                         u"1D 1E 1F "),
                    meta(u" |"), data(std::u16string(32, u'.')), meta(u"|"), newline},
            {meta(u"00000020  "), data(u"61 62 63 " + std::u16string(29 * 3 + 3, u' ')), meta(u" |"), data(u"abc"),
                meta(u"|")}}));
}

TEST(ByteFormatter, OffsetsCountOnAcrossCommitsInTheMiddleOfALineAndAcrossModesAndStartAtZeroAfterReset)
{
    ByteFormatter formatter;
    const auto options = optionsFor(DisplayMode::hexDump, 16);
    feed(formatter, options, {chunk(range(0x30, 16))});
    EXPECT_EQ(feed(formatter, options, {chunk(ascii("12345"))}).provisional.at(0), meta(u"00000010  "));

    // A notice: the five bytes stay on screen as they are, nothing more is emitted for them.
    formatter.commitLine();
    EXPECT_EQ(formatter.offset(), 0x15);
    EXPECT_TRUE(formatter.line().empty());

    const std::u16string columns = u"78 79 " + std::u16string(14 * 3 + 1, u' ');
    EXPECT_EQ(feed(formatter, options, {chunk(ascii("xy"))}),
        (Result{{}, {meta(u"00000015  "), data(columns), meta(u" |"), data(u"xy"), meta(u"|")}}));
    formatter.commitLine();

    // Bytes shown in other modes count too.
    feed(formatter, optionsFor(DisplayMode::hex, 8), {chunk(range(0, 3))});
    formatter.commitLine();
    feed(formatter, optionsFor(DisplayMode::decimal, 8), {chunk(range(0, 4))});
    formatter.commitLine();
    EXPECT_EQ(formatter.offset(), 0x1E);

    auto result = feed(formatter, optionsFor(DisplayMode::hexDump, 8), {chunk(ascii("abcdefghij"))});
    EXPECT_EQ(result.committed,
        (OutputSegments{meta(u"0000001E  "), data(u"61 62 63 64 65 66 67 68 "), meta(u" |"), data(u"abcdefgh"),
            meta(u"|"), newline}));
    EXPECT_EQ(result.provisional.at(0), meta(u"00000026  "));

    formatter.reset();
    EXPECT_EQ(formatter.offset(), 0);
    result = feed(formatter, optionsFor(DisplayMode::hexDump, 8), {chunk(ascii("z"))});
    EXPECT_TRUE(result.committed.empty());
    EXPECT_EQ(result.provisional.at(0), meta(u"00000000  "));
}

TEST(ByteFormatter, PauseOfFiftyMillisecondsBetweenChunksStartsANewLineAndPauseOffNeverDoes)
{
    auto options = optionsFor(DisplayMode::hex, 16);
    options.gapMs = 50;

    ByteFormatter formatter;
    EXPECT_EQ(feed(formatter, options, {chunk({0x01}, 0ms), chunk({0x02}, 30ms), chunk({0x03}, 90ms)}),
        (Result{{data(u"01 02"), newline}, {data(u"03")}}));
    // Across batches too, and the pause counts from the last chunk, not the line's first.
    EXPECT_EQ(feed(formatter, options, {chunk({0x04}, 139ms)}), (Result{{}, {data(u"03 04")}}));
    EXPECT_EQ(feed(formatter, options, {chunk({0x05}, 189ms)}), (Result{{data(u"03 04"), newline}, {data(u"05")}}));
    // A fraction of a millisecond short is not a pause.
    EXPECT_EQ(feed(formatter, options, {chunk({0x06}, 189ms + 49999us)}), (Result{{}, {data(u"05 06")}}));

    options.gapMs = 0;
    ByteFormatter never;
    EXPECT_EQ(feed(never, options, {chunk({0x01}, 0ms), chunk({0x02}, 1h), chunk({0x03}, 2h)}),
        (Result{{}, {data(u"01 02 03")}}));
}

TEST(ByteFormatter, PauseIsOnlyLookedForWhileALineIsOpen)
{
    auto options = optionsFor(DisplayMode::hex, 2);
    options.gapMs = 10;

    ByteFormatter formatter;
    feed(formatter, options, {chunk({0x01}, 0ms)});
    formatter.commitLine();
    // A full line just ended, so the next chunk opens a new one without an empty line before it.
    EXPECT_EQ(feed(formatter, options, {chunk({0x02, 0x03}, 500ms), chunk({0x04}, 900ms)}),
        (Result{{data(u"02 03"), newline}, {data(u"04")}}));
}

TEST(ByteFormatter, BreakOnLFInHexEndsTheLineWithTheValue0AAsItsLastValue)
{
    auto options = optionsFor(DisplayMode::hex, 16);
    options.breakOnLF = true;
    ByteFormatter formatter;
    EXPECT_EQ(feed(formatter, options, {chunk({0x41, 0x0A, 0x0A, 0x42})}),
        (Result{{data(u"41 0A"), newline, data(u"0A"), newline}, {data(u"42")}}));
    options.breakOnLF = false;
    ByteFormatter unbroken;
    EXPECT_EQ(feed(unbroken, options, {chunk({0x41, 0x0A, 0x0A, 0x42})}), (Result{{}, {data(u"41 0A 0A 42")}}));
}

TEST(ByteFormatter, AsciiEscapedAlternatesDataRunsOfPrintableBytesWithMetaRunsOfNames)
{
    ByteFormatter formatter;
    const auto options = optionsFor(DisplayMode::asciiEscaped);
    EXPECT_EQ(
        feed(formatter, options, {chunk({0x41, 0x00, 0x42})}), (Result{{}, {data(u"A"), meta(u"<NUL>"), data(u"B")}}));
    ByteFormatter names;
    EXPECT_EQ(feed(names, options, {chunk({0x7F, 0x09, 0x1B, 0x07, 0x0D, 0x1F, 0x80, 0xC3, 0xFF, 0x20, 0x7E, 0x0A})}),
        (Result{{meta(u"<7F><TAB><ESC><07><CR><1F><80><C3><FF>"), data(u" ~"), meta(u"<LF>"), newline}, {}}));
}

TEST(ByteFormatter, AsciiEscapedEndsEveryLineAtLFEvenWithBreakOnLFOffAndOtherwiseAfter1024Bytes)
{
    ByteFormatter formatter;
    auto options = optionsFor(DisplayMode::asciiEscaped, 8);
    options.breakOnLF = false;
    EXPECT_EQ(feed(formatter, options, {chunk(ascii("OK\r\nvalue=12\r\nrest"))}),
        (Result{{data(u"OK"), meta(u"<CR><LF>"), newline, data(u"value=12"), meta(u"<CR><LF>"), newline},
            {data(u"rest")}}));
    ByteFormatter endless;
    EXPECT_EQ(feed(endless, options, {chunk(Bytes(1000, 'x')), chunk(Bytes(1500, 'y'))}),
        (Result{{data(std::u16string(1000, u'x') + std::u16string(24, u'y')), newline, data(std::u16string(1024, u'y')),
                    newline},
            {data(std::u16string(452, u'y'))}}));
    EXPECT_EQ(endless.offset(), 2048);
}

TEST(ByteFormatter, TextModeDecodesTheWholeLineAsUtf8WithReplacementAndCutsAt1024Bytes)
{
    ByteFormatter formatter;
    const auto options = optionsFor(DisplayMode::text, 8);
    // The euro sign is split over two chunks but decoded with its line.
    EXPECT_EQ(feed(formatter, options, {chunk({0xE2, 0x82}), chunk({0xAC, 0x41, 0xFF, 0x42, 0x43, 0x44, 0x45, 0x46})}),
        (Result{{}, {data(u"\u20ACA\uFFFDBCDEF")}}));
    EXPECT_EQ(feed(formatter, options, {chunk(Bytes(1015, 'z'))}),
        (Result{{data(u"\u20ACA\uFFFDBCDEF" + std::u16string(1014, u'z')), newline}, {data(u"z")}}));
}

TEST(ByteFormatter, TimestampsAloneGiveEachLineTheTimeOfItsFirstBytesChunkFollowedByArrow)
{
    auto options = optionsFor(DisplayMode::hex, 4);
    options.timestamps = true;
    const std::u16string first = formatTimestamp(t0) + u" -> ";
    const std::u16string second = formatTimestamp(t0 + 1250ms) + u" -> ";
    ASSERT_NE(first, second);

    ByteFormatter formatter;
    EXPECT_EQ(feed(formatter, options, {chunk({1, 2, 3, 4, 5, 6}), chunk({7, 8, 9}, 1250ms)}),
        (Result{{stamp(first), data(u"01 02 03 04"), newline, stamp(first), data(u"05 06 07 08"), newline},
            {stamp(second), data(u"09")}}));
    // The stamp of the open line stays while it grows in later batches.
    EXPECT_EQ(feed(formatter, options, {chunk({10, 11, 12}, 5s)}),
        (Result{{stamp(second), data(u"09 0A 0B 0C"), newline}, {}}));
}

TEST(ByteFormatter, TimestampsWithAPrefixEndInOneSpaceAndAreFollowedByTheMarkerAsMeta)
{
    auto options = optionsFor(DisplayMode::hexDump, 8);
    options.timestamps = true;
    options.linePrefix = u"← ";
    const std::u16string time = formatTimestamp(t0 + 7ms) + u" ";

    ByteFormatter formatter;
    EXPECT_EQ(feed(formatter, options, {chunk(ascii("0123456789"), 7ms)}),
        (Result{{stamp(time), meta(u"← "), meta(u"00000000  "), data(u"30 31 32 33 34 35 36 37 "), meta(u" |"),
                    data(u"01234567"), meta(u"|"), newline},
            {stamp(time), meta(u"← "), meta(u"00000008  "), data(u"38 39 " + std::u16string(6 * 3, u' ')), meta(u" |"),
                data(u"89"), meta(u"|")}}));

    // The marker alone, without timestamps.
    auto unstampedOptions = optionsFor(DisplayMode::asciiEscaped);
    unstampedOptions.linePrefix = u"← ";
    ByteFormatter unstamped;
    EXPECT_EQ(feed(unstamped, unstampedOptions, {chunk(ascii("hi\n"))}).committed,
        (OutputSegments{meta(u"← "), data(u"hi"), meta(u"<LF>"), newline}));
}

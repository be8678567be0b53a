#include "core/plot/PlotParser.h"

#include "localization/L10n.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

using namespace velmora;

namespace {

using Row = PlotParser::Row;
using Value = PlotParser::Value;
using Header = std::vector<std::string>;

std::vector<std::uint8_t> bytesOf(std::string_view text)
{
    return {text.begin(), text.end()};
}

PlotParser::LineResult parse(std::string_view line, const Header& header = {})
{
    return PlotParser::parseLine(line, header);
}

PlotParser::LineResult values(Row row)
{
    return PlotParser::ValuesLine{std::move(row)};
}

const PlotParser::LineResult skip = PlotParser::SkippedLine{};

std::vector<Row> feed(PlotParser& parser, std::string_view bytes)
{
    return parser.feed(bytesOf(bytes));
}

class PlotParserTest : public testing::Test {
    L10n::ScopedLanguage english{Language::en};
};

TEST_F(PlotParserTest, NumbersSeparatedByWhiteSpaceAreNamedValueOneTwoThreeInOrder)
{
    // Runs of separators and leading or trailing ones make no fields, and any Unicode white space
    // separates: no-break space, em space, line separator, vertical tab.
    for (const auto line : {"21.5 40 1013", "   21.5    40 1013  ", "21.5\u00A040\u20031013", "21.5\u202840\v1013"})
        EXPECT_EQ(parse(line), values({{"Value 1", 21.5}, {"Value 2", 40}, {"Value 3", 1013}})) << line;
}

TEST_F(PlotParserTest, NamedValuesTakeTheirNamesWithColonOrEqualsAlsoWhenTheNumberIsTheNextField)
{
    for (const auto line :
        {"temp:21.5 hum:40", "temp=21.5,hum=40", "temp: 21.5 hum: 40", "temp = 21.5, hum = 40", "temp:21.5;hum:40"})
        EXPECT_EQ(parse(line), values({{"temp", 21.5}, {"hum", 40}})) << line;
}

TEST_F(PlotParserTest, SemicolonAndTabLinesReadADecimalCommaWhileCommaLinesSplitAtIt)
{
    EXPECT_EQ(parse("21,5;40,2"), values({{"Value 1", 21.5}, {"Value 2", 40.2}}));
    EXPECT_EQ(parse("21,5\t40,2"), values({{"Value 1", 21.5}, {"Value 2", 40.2}}));
    EXPECT_EQ(parse("21,5,40"), values({{"Value 1", 21}, {"Value 2", 5}, {"Value 3", 40}}));
    EXPECT_EQ(parse("1.5;2,5"), values({{"Value 1", 1.5}, {"Value 2", 2.5}}));
    // A field with both a point and a comma is not repaired: it is text, and names what follows.
    EXPECT_EQ(parse("1.234,5;7"), values({{"1.234,5", 7}}));
    // A semicolon wins over a tab (which then stays inside a field), and a tab over a comma.
    EXPECT_EQ(parse("1,5\t2;3"), values({{"1,5\t2", 3}}));
    EXPECT_EQ(parse("1,5\t2,5"), values({{"Value 1", 1.5}, {"Value 2", 2.5}}));
    // Fields are trimmed of tabs and space separators, but not of line separators.
    EXPECT_EQ(parse(" 1 ,\u3000 2\u00A0, 3 "), values({{"Value 1", 1}, {"Value 2", 2}, {"Value 3", 3}}));
    EXPECT_EQ(parse("1,\u2028 2"), values({{"Value 1", 1}}));
}

TEST_F(PlotParserTest, AWordInFrontOfANumberNamesItAndTheLastWordWins)
{
    EXPECT_EQ(parse("Temp 21.5"), values({{"Temp", 21.5}}));
    EXPECT_EQ(parse("Temp is 21.5"), values({{"is", 21.5}}));
    EXPECT_EQ(parse("12abc 5"), values({{"12abc", 5}}));
    // A name left over at the end is dropped; the unnamed number counts as the first column.
    EXPECT_EQ(parse("21.5 units"), values({{"Value 1", 21.5}}));
    EXPECT_EQ(parse("temp: 21.5 40 hum:"), values({{"temp", 21.5}, {"Value 1", 40}}));
}

TEST_F(PlotParserTest, AHeaderLineNamesTheColumnsOfTheLinesThatFollow)
{
    PlotParser parser;
    EXPECT_EQ(feed(parser, "temp,hum,druk\n21.5,40,1013\n1,2,3,4\n"),
        (std::vector<Row>{
            {{"temp", 21.5}, {"hum", 40}, {"druk", 1013}}, {{"temp", 1}, {"hum", 2}, {"druk", 3}, {"Value 4", 4}}}));
    EXPECT_EQ(parser.header(), (Header{"temp", "hum", "druk"}));

    // A later header replaces the earlier one, also within one chunk.
    EXPECT_EQ(feed(parser, "a;b\n1;2\n"), (std::vector<Row>{{{"a", 1}, {"b", 2}}}));
    EXPECT_EQ(parser.header(), (Header{"a", "b"}));
    // A whitespace line with two words, a single word and a header with an empty field are no
    // header lines: the header stays, and such lines yield nothing.
    EXPECT_EQ(feed(parser, "x y\ntemp\ntemp,,hum\n5\n"), (std::vector<Row>{{{"a", 5}}}));
    EXPECT_EQ(parser.header(), (Header{"a", "b"}));

    for (const auto line : {"temp,,hum", "temp", "temp hum"})
        EXPECT_EQ(parse(line), skip) << line;
    // Labels name columns too; a number or a labeled field makes a value line instead.
    EXPECT_EQ(parse("temp:;hum="), (PlotParser::LineResult{PlotParser::HeaderLine{{"temp", "hum"}}}));
    EXPECT_EQ(parse("temp,5"), values({{"temp", 5}}));
    EXPECT_EQ(parse("a:1,b"), values({{"a", 1}}));
    // Header names are used by column; an empty name falls back to the default.
    EXPECT_EQ(parse("1 2 3", {"x", "", "z"}), values({{"x", 1}, {"Value 2", 2}, {"z", 3}}));
}

TEST_F(PlotParserTest, AnEmptyFieldKeepsItsColumnForTheNamesThatFollow)
{
    EXPECT_EQ(parse("1,,3"), values({{"Value 1", 1}, {"Value 3", 3}}));
    EXPECT_EQ(parse("1,,3", {"a", "b", "c"}), values({{"a", 1}, {"c", 3}}));
    EXPECT_EQ(parse("1,2,"), values({{"Value 1", 1}, {"Value 2", 2}}));
    EXPECT_EQ(parse(",,"), skip);
    // An empty field also ends a pending name.
    EXPECT_EQ(parse("temp:,,5"), values({{"Value 2", 5}}));
    // Only unnamed numbers and empty fields move the column on.
    EXPECT_EQ(parse("temp:21.5,40"), values({{"temp", 21.5}, {"Value 1", 40}}));
    EXPECT_EQ(parse("temp:21.5,40", {"x", "y"}), values({{"temp", 21.5}, {"x", 40}}));
}

TEST_F(PlotParserTest, NumbersComeInDecimalHexadecimalAndBinaryFormsWithSignAndExponent)
{
    const std::vector<std::pair<std::string_view, double>> numbers{{"0x1F", 31}, {"0X1f", 31}, {"-0x10", -16},
        {"+0x10", 16}, {"0b1010", 10}, {"0B11", 3}, {"-0b1", -1}, {"0xFFFFFFFFFFFFFFFF", 18446744073709551615.0},
        {"1.5e-3", 0.0015}, {"1E3", 1000}, {"2e+2", 200}, {"+5", 5}, {"-.5", -0.5}, {"5.", 5}, {"007", 7}, {"-0", 0},
        {"21.5", 21.5}, {"-273.15", -273.15},
        // Too small for a double: strtod gives zero, which is finite.
        {"1e-400", 0}};
    for (const auto& [field, expected] : numbers) {
        for (const bool decimalComma : {false, true})
            EXPECT_EQ(PlotParser::parseNumber(field, decimalComma), std::optional<double>(expected)) << field;
    }
}

TEST_F(PlotParserTest, InfinityNanOverflowAndAnythingAroundTheNumberAreNotNumbers)
{
    const std::vector<std::string_view> notNumbers{"1e999", "-1e999", "0x", "0b", "-0x", "0b102", "0x1G",
        "0x10000000000000000", "0x-1", "0x+1", "inf", "-inf", "infinity", "nan", "NaN", "12abc", "", "+", "-", ".", "e",
        "-e5", ".e1", "1e", "1e+", "1.2.3", "--1", "+-1", "-+1", "1-", "1e5.0", "0x1p3", "1p3", " 1", "1 ", "1_000",
        "\u0661", "\uFF11", "1\u00A0", "٫5"};
    for (const auto field : notNumbers) {
        for (const bool decimalComma : {false, true})
            EXPECT_EQ(PlotParser::parseNumber(field, decimalComma), std::nullopt) << field;
    }

    // The comma is a decimal separator only where the caller says so, and only without a point.
    EXPECT_EQ(PlotParser::parseNumber("1,5", true), std::optional<double>(1.5));
    EXPECT_EQ(PlotParser::parseNumber("-,5", true), std::optional<double>(-0.5));
    EXPECT_EQ(PlotParser::parseNumber("1,5", false), std::nullopt);
    EXPECT_EQ(PlotParser::parseNumber("1.234,5", true), std::nullopt);
    EXPECT_EQ(PlotParser::parseNumber("1,2,3", true), std::nullopt);
}

TEST_F(PlotParserTest, AFieldOfSixtyFourDigitsIsANumberAndOneOfSixtyFiveIsTextCutToSixtyFour)
{
    const std::string digits64(64, '9');
    const std::string digits65(65, '9');
    ASSERT_TRUE(PlotParser::parseNumber(digits64, false).has_value());
    EXPECT_DOUBLE_EQ(*PlotParser::parseNumber(digits64, false), 1e64);
    EXPECT_EQ(PlotParser::parseNumber(digits65, false), std::nullopt);
    EXPECT_EQ(PlotParser::classify(digits65, false), PlotParser::Token{PlotParser::TextToken{digits64}});

    // Characters, not bytes: 70 two-byte letters keep 64 letters.
    std::string accented;
    for (int i = 0; i < 70; ++i)
        accented += "\u00E9";
    EXPECT_EQ(PlotParser::classify(accented, false), PlotParser::Token{PlotParser::TextToken{accented.substr(0, 128)}});
}

TEST_F(PlotParserTest, FieldsClassifyAsNumberLabeledLabelTextOrEmpty)
{
    using Token = PlotParser::Token;
    EXPECT_EQ(PlotParser::classify("", false), Token{PlotParser::EmptyToken{}});
    EXPECT_EQ(PlotParser::classify("21.5", false), Token{PlotParser::NumberToken{21.5}});
    EXPECT_EQ(PlotParser::classify("temp:21.5", false), (Token{PlotParser::LabeledToken{"temp", 21.5}}));
    EXPECT_EQ(PlotParser::classify("temp = 21,5", true), (Token{PlotParser::LabeledToken{"temp", 21.5}}));
    EXPECT_EQ(PlotParser::classify("temp:", false), Token{PlotParser::LabelToken{"temp"}});
    EXPECT_EQ(PlotParser::classify("temp =", false), Token{PlotParser::LabelToken{"temp"}});
    // Whichever of ':' and '=' comes first splits the field; what is left is text as it came.
    for (const std::string field : {"a=b:3", "a:b:3", "a:=", ":5", "x:abc", ":", " = ", "x:1e999", "hello"})
        EXPECT_EQ(PlotParser::classify(field, false), Token{PlotParser::TextToken{field}}) << field;
}

TEST_F(PlotParserTest, LinesWithoutNumbersAreSkipped)
{
    for (const auto line : {"hello world", "", "    ", " \t \u3000", "temp:", "inf nan", "Booting..."})
        EXPECT_EQ(parse(line), skip) << line;
}

TEST_F(PlotParserTest, OnlyTheFirstThirtyTwoFieldsOfALineCount)
{
    std::string spaced;
    std::string commas;
    Row expected;
    for (int i = 1; i <= 40; ++i) {
        spaced += std::to_string(i) + " ";
        commas += std::to_string(i) + ",";
        if (i <= 32)
            expected.push_back({"Value " + std::to_string(i), static_cast<double>(i)});
    }
    EXPECT_EQ(parse(spaced), values(expected));
    EXPECT_EQ(parse(commas), values(expected));

    // With 32 words first, the numbers after them are beyond the limit: a header line.
    std::string words;
    Header names;
    for (int i = 0; i < 32; ++i) {
        words += "w" + std::to_string(i) + ",";
        names.push_back("w" + std::to_string(i));
    }
    EXPECT_EQ(parse(words + "1,2"), (PlotParser::LineResult{PlotParser::HeaderLine{names}}));
}

TEST_F(PlotParserTest, CrAndLfAndCrLfEachEndOneLineAndALineSplitAcrossChunksIsParsedOnceWhole)
{
    PlotParser parser;
    EXPECT_EQ(feed(parser, "1\r2\n3\r\n\r\n\n\r4\n"),
        (std::vector<Row>{{{"Value 1", 1}}, {{"Value 1", 2}}, {{"Value 1", 3}}, {{"Value 1", 4}}}));

    EXPECT_EQ(feed(parser, "21."), std::vector<Row>{});
    EXPECT_EQ(parser.buffer(), bytesOf("21."));
    EXPECT_EQ(feed(parser, "5,4"), std::vector<Row>{});
    EXPECT_EQ(feed(parser, "0\r"), (std::vector<Row>{{{"Value 1", 21.5}, {"Value 2", 40}}}));
    EXPECT_TRUE(parser.buffer().empty());
    // The LF of a CR LF split across chunks ends no second line.
    EXPECT_EQ(feed(parser, "\n7\n"), (std::vector<Row>{{{"Value 1", 7}}}));
}

TEST_F(PlotParserTest, ALineOf1024BytesIsParsedAnd1025BytesAreDroppedWhole)
{
    // The number at the end shows whether the end of the line was kept.
    const std::string kept = std::string(1019, ' ') + "12345";
    const std::string dropped = std::string(1020, ' ') + "12345";
    ASSERT_EQ(kept.size(), 1024u);

    PlotParser parser;
    EXPECT_EQ(feed(parser, kept + "\n"), (std::vector<Row>{{{"Value 1", 12345}}}));
    EXPECT_EQ(feed(parser, "1 " + dropped + "\n6\n"), (std::vector<Row>{{{"Value 1", 6}}}));

    // Once over the limit, the line's bytes are let go at once and the rest is skipped.
    EXPECT_EQ(feed(parser, dropped), std::vector<Row>{});
    EXPECT_TRUE(parser.buffer().empty());
    EXPECT_EQ(feed(parser, " 9\n"), std::vector<Row>{});

    // The same in small pieces; the buffer never holds more than the limit.
    const std::string stream = kept + "\r" + dropped + "\n" + std::string(5000, '7') + "\r\n8\n";
    std::vector<Row> rows;
    for (std::size_t at = 0; at < stream.size(); at += 7) {
        for (auto& row : feed(parser, std::string_view(stream).substr(at, 7)))
            rows.push_back(std::move(row));
        ASSERT_LE(parser.buffer().size(), PlotParser::maxLineLength);
    }
    EXPECT_EQ(rows, (std::vector<Row>{{{"Value 1", 12345}}, {{"Value 1", 8}}}));
}

TEST_F(PlotParserTest, InvalidUtf8BecomesReplacementCharactersAndACharacterSplitAcrossChunksStaysWhole)
{
    PlotParser parser;
    EXPECT_EQ(feed(parser, "t\xFF:5\n"), (std::vector<Row>{{{"t\uFFFD", 5}}}));
    EXPECT_EQ(feed(parser, "temp\xC3"), std::vector<Row>{});
    EXPECT_EQ(feed(parser, "\xA9rature:5\n"), (std::vector<Row>{{{"temp\u00E9rature", 5}}}));
    // A truncated sequence before a separator does not swallow it.
    EXPECT_EQ(feed(parser, "\xE2\x82 7\n"), (std::vector<Row>{{{"\uFFFD", 7}}}));
}

TEST_F(PlotParserTest, DiscardingThePartialLineKeepsTheHeader)
{
    PlotParser parser;
    feed(parser, "a,b\n1,2");
    parser.discardPartialLine();
    EXPECT_TRUE(parser.buffer().empty());
    EXPECT_EQ(feed(parser, "3,4\n"), (std::vector<Row>{{{"a", 3}, {"b", 4}}}));

    feed(parser, std::string(2000, '1'));
    parser.discardPartialLine();
    EXPECT_EQ(feed(parser, "5\n"), (std::vector<Row>{{{"a", 5}}}));
}

TEST_F(PlotParserTest, DefaultNamesAreInTheLanguageCurrentWhenTheLineIsParsed)
{
    const auto nameIn = [](Language language) {
        L10n::ScopedLanguage scope(language);
        const auto result = PlotParser::parseLine("1 2", {});
        const auto& row = std::get<PlotParser::ValuesLine>(result).values;
        EXPECT_EQ(row.at(0).name, L10n::Plotter::valueName(1));
        EXPECT_EQ(row.at(1).name, L10n::Plotter::valueName(2));
        return row.at(0).name;
    };
    const auto englishName = nameIn(Language::en);
    EXPECT_EQ(englishName, "Value 1");
    EXPECT_NE(nameIn(Language::de), englishName);
    EXPECT_EQ(nameIn(Language::en), englishName);
}

// Restores the process locale when the test ends.
struct SavedProcessLocale {
    std::string saved = std::setlocale(LC_ALL, nullptr);
    ~SavedProcessLocale() { std::setlocale(LC_ALL, saved.c_str()); }
};

TEST_F(PlotParserTest, NumbersKeepTheirDecimalPointUnderAGermanOrFrenchProcessLocale)
{
    const SavedProcessLocale restore;
    std::optional<std::string> name;
    for (const char* candidate :
        {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "fr_FR.UTF-8", "fr_FR.utf8", "fr_FR", "de_AT.UTF-8"}) {
        if (!name && std::setlocale(LC_ALL, candidate))
            name = candidate;
    }
    if (!name)
        GTEST_SKIP() << "no German or French locale installed (Debian: locales-all)";
    // The locale really is in force: the C library now reads "21.5" as 21.
    ASSERT_EQ(std::strtod("21.5", nullptr), 21.0) << *name;

    EXPECT_EQ(PlotParser::parseNumber("21.5", false), std::optional<double>(21.5)) << *name;
    EXPECT_EQ(PlotParser::parseNumber("1.5e-3", true), std::optional<double>(0.0015)) << *name;
    EXPECT_EQ(PlotParser::parseNumber("21,5", false), std::nullopt) << *name;
    PlotParser parser;
    EXPECT_EQ(parser.feed(bytesOf("temp:21.5 hum:40.25\n21,5;3\n")),
        (std::vector<Row>{{{"temp", 21.5}, {"hum", 40.25}}, {{"Value 1", 21.5}, {"Value 2", 3}}}))
        << *name;
}

// Streams for the chunk-boundary property: well-formed sensor lines in every form, the same with
// noise mixed in, and pure noise. Long lines and header lines come up now and then.
using Random = std::mt19937;

std::string sensorLines(Random& random, std::size_t length)
{
    static constexpr std::string_view pieces[] = {"21.5 40 1013", "temp:21.5 hum:40", "temp=21.5,hum=40", "21,5;40,2",
        "21,5\t40,2", "temp,hum,druk", "a;b", "1,,3", "Temp is 21.5", "0x1F -0b101 +5 -.5", "1e999 12abc 5",
        "t\xC3\xA9mp\xC3\xA9rature: -3.25", "\xE6\xB8\xA9\xE5\xBA\xA6=18", "hello world", "  ", ""};
    static constexpr std::string_view endings[] = {"\n", "\r\n", "\r", "\n\n"};
    std::string out;
    while (out.size() < length) {
        if (random() % 40 == 0)
            out += std::string(900 + random() % 300, '5');
        else
            out += pieces[random() % std::size(pieces)];
        out += endings[random() % std::size(endings)];
    }
    return out;
}

// Replaces about one byte in tenOrOne with a random one: one in ten makes noisy lines, one in one noise.
std::string withNoise(Random& random, std::string out, unsigned tenOrOne)
{
    for (auto& byte : out) {
        if (random() % tenOrOne == 0)
            byte = static_cast<char>(random());
    }
    return out;
}

TEST_F(PlotParserTest, AnyStreamFedInRandomPiecesGivesTheSameRowsAsFedWhole)
{
    Random random(20240611);
    const std::vector<std::pair<std::string, std::string>> streams{
        {"sensor lines", sensorLines(random, 200'000)},
        {"noisy lines", withNoise(random, sensorLines(random, 200'000), 10)},
        {"noise", withNoise(random, std::string(200'000, '\0'), 1)},
    };
    for (const auto& [kind, stream] : streams) {
        PlotParser whole;
        const auto expected = whole.feed(bytesOf(stream));
        if (kind == "sensor lines") {
            ASSERT_GT(expected.size(), 1000u);
        }
        for (int round = 0; round < 5; ++round) {
            PlotParser pieces;
            std::vector<Row> rows;
            for (std::size_t at = 0; at < stream.size();) {
                // Mostly tiny pieces, which cut inside characters and terminators, now and then a big one.
                const std::size_t size = random() % 8 == 0 ? 1 + random() % 2000 : 1 + random() % 6;
                for (auto& row : pieces.feed(bytesOf(std::string_view(stream).substr(at, size))))
                    rows.push_back(std::move(row));
                at += size;
            }
            ASSERT_EQ(rows, expected) << kind << ", round " << round;
            EXPECT_EQ(pieces.buffer(), whole.buffer()) << kind;
            EXPECT_EQ(pieces.header(), whole.header()) << kind;
            EXPECT_EQ(pieces.discardingLongLine(), whole.discardingLongLine()) << kind;
        }
        for (const auto& row : expected) {
            ASSERT_FALSE(row.empty());
            ASSERT_LE(row.size(), PlotParser::maxFields);
            for (const auto& value : row)
                ASSERT_TRUE(std::isfinite(value.value)) << kind;
        }
    }
}

} // namespace

#include "localization/Catalogue.h"
#include "localization/L10n.h"
#include "tests/localization/TextChecks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <limits>
#include <set>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

using namespace velmora;
using L10n::catalogue;
using L10n::CatalogueRow;
using velmora::testing::occurrences;
using velmora::testing::typographyProblem;

namespace {

std::string nameOf(const CatalogueRow& row)
{
    return std::string(row.group) + "." + std::string(row.key);
}

// The {names} in a text, sorted.
std::vector<std::string_view> placeholders(std::string_view text)
{
    std::vector<std::string_view> names;
    for (std::size_t open = text.find('{'); open != std::string_view::npos; open = text.find('{', open + 1)) {
        names.push_back(text.substr(open, text.find('}', open) - open + 1));
    }
    std::sort(names.begin(), names.end());
    return names;
}

// The blanks and line breaks a text starts and ends with.
std::pair<std::string_view, std::string_view> edges(std::string_view text)
{
    const std::size_t first = std::min(text.find_first_not_of(" \n"), text.size());
    const std::size_t last = std::max(text.find_last_not_of(" \n") + 1, first);
    return {text.substr(0, first), text.substr(last)};
}

} // namespace

TEST(Catalogue, EveryTranslationKeepsTheEnglishPlaceholdersBlanksLineBreaksAndCodeSpans)
{
    for (const CatalogueRow& row : catalogue) {
        const std::string_view english = row.texts[0];
        if (row.constant) {
            EXPECT_TRUE(placeholders(english).empty()) << nameOf(row);
        }
        for (const Language language : allLanguages) {
            const std::string_view text = row.texts[static_cast<std::size_t>(language)];
            SCOPED_TRACE(nameOf(row) + " in " + std::string(rawValue(language)) + ": " + std::string(text));
            EXPECT_FALSE(text.empty());
            EXPECT_EQ(placeholders(text), placeholders(english));
            EXPECT_EQ(edges(text), edges(english));
            EXPECT_EQ(occurrences(text, "\n"), occurrences(english, "\n"));
            EXPECT_EQ(occurrences(text, "`"), occurrences(english, "`"));
        }
    }
}

TEST(Catalogue, OnlyTheSharedTextsReadTheSameInEveryLanguage)
{
    std::set<std::string> shared;
    std::array<std::size_t, allLanguages.size()> sameAsEnglish{};
    for (const CatalogueRow& row : catalogue) {
        if (std::all_of(row.texts.begin(), row.texts.end(), [&row](auto text) { return text == row.texts[0]; })) {
            shared.insert(nameOf(row));
            continue;
        }
        for (const Language language : allLanguages) {
            sameAsEnglish[static_cast<std::size_t>(language)] +=
                row.texts[static_cast<std::size_t>(language)] == row.texts[0];
        }
    }
    const std::set<std::string> expected{
        "Header.baud", "Display.milliseconds", "Send.hex", "Lines.dtr", "Lines.rts", "Footer.counters", "Errors.ok"};
    EXPECT_EQ(shared, expected);
    // A few words are the same in English and another language (Tip, Port, Plotter, Hardware);
    // many more would mean texts were copied instead of translated.
    for (const Language language : {Language::nl, Language::de, Language::fr, Language::es}) {
        EXPECT_LT(sameAsEnglish[static_cast<std::size_t>(language)] * 10, L10n::keyCount - shared.size())
            << rawValue(language);
    }

    for (const Language language : allLanguages) {
        const L10n::ScopedLanguage scope(language);
        EXPECT_EQ(L10n::appName(), "Velmora");
        EXPECT_EQ(L10n::Display::hex(), L10n::Send::hex());
        EXPECT_NE(L10n::Lines::dtrChanged(true), L10n::Lines::dtrChanged(false));
        EXPECT_NE(L10n::Lines::rtsChanged(true), L10n::Lines::rtsChanged(false));
        const std::set<std::string> layouts{L10n::Plotter::layoutName(PlotLayout::shared),
            L10n::Plotter::layoutName(PlotLayout::stacked), L10n::Plotter::layoutName(PlotLayout::cards)};
        EXPECT_EQ(layouts.size(), 3U) << rawValue(language);
    }
}

TEST(Typography, EveryTextFollowsItsLanguagesRules)
{
    for (const CatalogueRow& row : catalogue) {
        for (const Language language : allLanguages) {
            const std::string_view text = row.texts[static_cast<std::size_t>(language)];
            EXPECT_EQ(typographyProblem(language, text), "") << nameOf(row) << ": " << text;
        }
    }
}

TEST(Typography, EachLanguageQuotesInsertedValuesWithItsOwnMarks)
{
    const std::array<std::array<std::string_view, 2>, allLanguages.size()> marks{
        {{"'", "'"}, {"'", "'"}, {"„", "“"}, {"«\u00A0", "\u00A0»"}, {"«", "»"}}};
    std::size_t quoted = 0;
    for (const CatalogueRow& row : catalogue) {
        for (const std::string_view value : placeholders(row.texts[0])) {
            if (row.texts[0].find("'" + std::string(value) + "'") == std::string_view::npos) {
                continue;
            }
            ++quoted;
            for (const Language language : allLanguages) {
                const auto& [open, close] = marks[static_cast<std::size_t>(language)];
                const std::string expected = std::string(open) + std::string(value) + std::string(close);
                EXPECT_NE(row.texts[static_cast<std::size_t>(language)].find(expected), std::string_view::npos)
                    << nameOf(row) << " in " << rawValue(language);
            }
        }
    }
    EXPECT_GE(quoted, 5U);
}

TEST(InsertedValues, EveryFunctionPutsEachValueWhereItsPlaceholderStands)
{
    using namespace L10n;
    const std::vector<std::pair<std::function<std::string()>, std::vector<std::string>>> calls{
        {[] { return Header::portNotConnected("@p"); }, {"@p"}},
        {[] { return Header::baud(7340033); }, {"7340033"}},
        {[] { return Header::portInUseInOtherTab("@p"); }, {"@p"}},
        {[] { return Input::promptConnected("@p"); }, {"@p"}},
        {[] { return Input::lineEndingChipHelp("@e"); }, {"@e"}},
        {[] { return Send::promptHex("@p"); }, {"@p"}},
        {[] { return Send::invalidHex("@t"); }, {"@t"}},
        {[] { return Send::oddLength("@t"); }, {"@t"}},
        {[] { return Footer::counters(7340033, 7340034); }, {"7340033", "7340034"}},
        {[] { return Display::milliseconds(7340033); }, {"7340033"}},
        {[] { return Notice::connectTo("@p"); }, {"@p"}},
        {[] { return Notice::noData(7340033); }, {"7340033"}},
        {[] { return Notice::garbage(7340033); }, {"7340033"}},
        {[] { return Board::usbSerial("@c"); }, {"@c"}},
        {[] { return Plotter::valueName(7340033); }, {"7340033"}},
        {[] { return Settings::customBaudInvalid(7340033, 7340034); }, {"7340033", "7340034"}},
        {[] { return Status::connected("@p", "@s"); }, {"@p", "@s"}},
        {[] { return Status::waitingForDevice("@r"); }, {"@r"}},
        {[] { return Status::reconnectFailed("@r"); }, {"@r"}},
        {[] { return Status::droppedBytes(7340033); }, {"7340033"}},
        {[] { return Errors::invalidPath("@p"); }, {"@p"}},
        {[] { return Errors::openFailed("@p", "@r"); }, {"@p", "@r"}},
        {[] { return Errors::busy("@p"); }, {"@p"}},
        {[] { return Errors::configurationFailed("@s", "@r"); }, {"@s", "@r"}},
        {[] { return Errors::unsupportedBaud(7340033, "@r"); }, {"7340033", "@r"}},
        {[] { return Errors::readFailed("@r"); }, {"@r"}},
        {[] { return Errors::writeFailed("@r"); }, {"@r"}},
        {[] { return Errors::lineControlFailed("@r"); }, {"@r"}},
        {[] { return Errors::messageTooLong(7340033); }, {"7340033"}},
        {[] { return Errors::saveFailed("@r"); }, {"@r"}},
    };
    for (const Language language : allLanguages) {
        const ScopedLanguage scope(language);
        for (const auto& [call, values] : calls) {
            const std::string text = call();
            EXPECT_EQ(text.find('{'), std::string::npos) << text;
            for (const std::string& value : values) {
                EXPECT_EQ(occurrences(text, value), 1U) << text;
            }
        }
    }
}

TEST(InsertedValues, IntegersArePlainDigitsWithoutGroupingInEveryLanguage)
{
    for (const Language language : allLanguages) {
        const L10n::ScopedLanguage scope(language);
        EXPECT_EQ(L10n::Header::baud(2000000), "2000000 baud");
        EXPECT_EQ(L10n::Display::milliseconds(1500), "1500 ms");
        EXPECT_EQ(L10n::Footer::counters(1048576, 0), "RX 1048576 B  ·  TX 0 B");
    }
    EXPECT_EQ(L10n::number(-5, " ms"), "-5 ms");
    EXPECT_EQ(L10n::number(0, ""), "0");
    EXPECT_EQ(L10n::number(std::numeric_limits<std::int64_t>::max(), ""), "9223372036854775807");
    EXPECT_EQ(L10n::number(std::numeric_limits<std::int64_t>::min(), "x"), "-9223372036854775808x");
}

TEST(InsertedValues, StringsAreInsertedUnchangedAndNeverReadAsPlaceholders)
{
    const L10n::ScopedLanguage english(Language::en);
    EXPECT_EQ(L10n::Notice::connectTo("/dev/cu.usbmodem1101"), "Connect to /dev/cu.usbmodem1101");
    EXPECT_EQ(L10n::Errors::openFailed("{reason}", "100% {path} \\n"), "Cannot open {reason}: 100% {path} \\n.");
    EXPECT_EQ(L10n::Board::usbSerial(""), "USB serial ()");
    EXPECT_EQ(L10n::Status::waitingForDevice(L10n::Status::connectionLost()),
        "Connection lost. Waiting for the device to return…");
    EXPECT_EQ(L10n::Send::invalidHex("0G"), "'0G' is not a valid HEX value. Use 0–9 and A–F, e.g. 01 0A FF.");
    const L10n::ScopedLanguage german(Language::de);
    EXPECT_EQ(L10n::Send::invalidHex("0G"), "„0G“ ist kein gültiger HEX-Wert. Verwende 0–9 und A–F, z. B. 01 0A FF.");
}

TEST(ScopedLanguage, NestedScopesRestoreTheLanguageTheyReplaced)
{
    const Language processLanguage = L10n::language();
    {
        const L10n::ScopedLanguage german(Language::de);
        EXPECT_EQ(L10n::language(), Language::de);
        EXPECT_EQ(L10n::State::disconnected(), "Nicht verbunden");
        {
            const L10n::ScopedLanguage french(Language::fr);
            EXPECT_EQ(L10n::language(), Language::fr);
            EXPECT_EQ(L10n::State::disconnected(), "Non connecté");
        }
        EXPECT_EQ(L10n::language(), Language::de);
    }
    EXPECT_EQ(L10n::language(), processLanguage);
}

TEST(ScopedLanguage, OtherThreadsKeepTheProcessLanguage)
{
    const Language processLanguage = L10n::language();
    const std::string processText = L10n::State::disconnected();
    const L10n::ScopedLanguage scope(processLanguage == Language::es ? Language::nl : Language::es);
    ASSERT_NE(L10n::State::disconnected(), processText);

    Language seenLanguage{};
    std::string seenText;
    std::thread([&] {
        seenLanguage = L10n::language();
        seenText = L10n::State::disconnected();
    }).join();
    EXPECT_EQ(seenLanguage, processLanguage);
    EXPECT_EQ(seenText, processText);
}

TEST(ProcessLanguage, LaterPreferredLanguagesDoNotChangeAnAlreadyChosenLanguage)
{
    const Language chosen = L10n::language();
    const std::string text = L10n::State::disconnected();
    L10n::usePreferredLanguages({chosen == Language::fr ? "de-DE" : "fr-FR"});
    EXPECT_EQ(L10n::language(), chosen);
    EXPECT_EQ(L10n::State::disconnected(), text);
}

// The language is chosen once per process, so these run in a fresh process each: the
// threadsafe style starts the test binary anew for the statement under test.
class ProcessLanguageDeathTest : public ::testing::Test {
protected:
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }

    static int exitCodeFor(Language language) { return 10 + static_cast<int>(language); }
};

TEST_F(ProcessLanguageDeathTest, ApplicationListGivenBeforeFirstUseDecidesTheLanguage)
{
    EXPECT_EXIT(
        {
            setenv("LANGUAGE", "nl", 1);
            L10n::usePreferredLanguages({"it-IT", "fr-CA", "de"});
            const bool textsFollow = L10n::State::disconnected() == "Non connecté";
            std::exit(textsFollow ? exitCodeFor(L10n::language()) : 1);
        },
        ::testing::ExitedWithCode(exitCodeFor(Language::fr)), "");
}

TEST_F(ProcessLanguageDeathTest, EnvironmentDecidesWhenTheApplicationGivesNoList)
{
    EXPECT_EXIT(
        {
            setenv("LANGUAGE", "pt_BR:es", 1);
            unsetenv("LC_ALL");
            unsetenv("LC_MESSAGES");
            setenv("LANG", "de_DE.UTF-8", 1);
            std::exit(exitCodeFor(L10n::language()));
        },
        ::testing::ExitedWithCode(exitCodeFor(Language::es)), "");
}

TEST_F(ProcessLanguageDeathTest, FirstReadOfATextFixesTheLanguageForTheRestOfTheProcess)
{
    EXPECT_EXIT(
        {
            unsetenv("LANGUAGE");
            unsetenv("LC_MESSAGES");
            setenv("LC_ALL", "nl_NL.UTF-8", 1);
            const std::string first = L10n::Header::port();
            setenv("LC_ALL", "de_DE.UTF-8", 1);
            L10n::usePreferredLanguages({"fr"});
            const bool unchanged = L10n::Header::port() == first && first == "Poort";
            std::exit(unchanged ? exitCodeFor(L10n::language()) : 1);
        },
        ::testing::ExitedWithCode(exitCodeFor(Language::nl)), "");
}

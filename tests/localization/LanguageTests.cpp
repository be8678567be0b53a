#include "localization/Language.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

using namespace velmora;

namespace {

// A stand-in for the process environment: unset variables are absent from the map.
EnvironmentLookup fakeEnvironment(const std::map<std::string, std::string>& variables)
{
    return [variables](const char* name) -> const char* {
        const auto found = variables.find(name);
        return found == variables.end() ? nullptr : found->second.c_str();
    };
}

}  // namespace

TEST(LanguageValue, ListsTheFiveLanguagesInOrderWithTheirRawValues)
{
    const std::vector<std::string> expected{"en", "nl", "de", "fr", "es"};
    ASSERT_EQ(allLanguages.size(), expected.size());
    for (std::size_t i = 0; i < allLanguages.size(); ++i) {
        EXPECT_EQ(static_cast<std::size_t>(allLanguages[i]), i);
        EXPECT_EQ(rawValue(allLanguages[i]), expected[i]);
        EXPECT_EQ(languageFromRaw(expected[i]), allLanguages[i]);
    }

    const std::unordered_set<Language> distinct(allLanguages.begin(), allLanguages.end());
    EXPECT_EQ(distinct.size(), allLanguages.size());
}

TEST(LanguageValue, UnrecognisedRawValuesGiveNoLanguage)
{
    for (const char* raw : {"", "EN", "En", "en-US", "en_GB", " en", "eng", "it", "pt", "e"}) {
        EXPECT_EQ(languageFromRaw(raw), std::nullopt) << raw;
    }
}

TEST(LanguageChoice, FirstSupportedLanguageWinsEvenIfEnglishComesLater)
{
    EXPECT_EQ(chooseLanguage({"it", "de-CH", "en"}), Language::de);
    EXPECT_EQ(chooseLanguage({"ja-JP", "zh-Hant-TW", "es-419", "fr"}), Language::es);
}

TEST(LanguageChoice, EnglishEarlierInTheListStopsTheSearch)
{
    EXPECT_EQ(chooseLanguage({"pt-BR", "en-GB", "fr"}), Language::en);
    EXPECT_EQ(chooseLanguage({"en", "nl"}), Language::en);
}

TEST(LanguageChoice, EmptyListOrNoSupportedLanguageGivesEnglish)
{
    EXPECT_EQ(chooseLanguage({}), Language::en);
    EXPECT_EQ(chooseLanguage({"it", "pt-BR", "ja"}), Language::en);
    EXPECT_EQ(chooseLanguage({"", "C", "POSIX"}), Language::en);
}

TEST(LanguageChoice, OnlyTheLanguageCodeCountsNotTheRegionOrCase)
{
    EXPECT_EQ(chooseLanguage({"nl-BE"}), Language::nl);
    EXPECT_EQ(chooseLanguage({"nl"}), Language::nl);
    EXPECT_EQ(chooseLanguage({"NL-be"}), Language::nl);
    EXPECT_EQ(chooseLanguage({"fr-CA"}), Language::fr);
    EXPECT_EQ(chooseLanguage({"de-Latn-AT"}), Language::de);
}

TEST(LanguageChoice, CodesThatMerelyStartLikeASupportedOneAreSkipped)
{
    EXPECT_EQ(chooseLanguage({"deu", "fr"}), Language::fr);
    EXPECT_EQ(chooseLanguage({"e", "nds", "es"}), Language::es);
    EXPECT_EQ(chooseLanguage({"english", "de"}), Language::de);
}

TEST(LanguageChoice, PosixLocaleNamesCountByTheirLanguageCode)
{
    EXPECT_EQ(chooseLanguage({"de_DE.UTF-8"}), Language::de);
    EXPECT_EQ(chooseLanguage({"fr_FR@euro"}), Language::fr);
    EXPECT_EQ(chooseLanguage({"es.UTF-8"}), Language::es);
    EXPECT_EQ(chooseLanguage({"nl_NL.ISO-8859-15@euro"}), Language::nl);
}

TEST(LanguageChoice, PortableLocalesAndEmptyEntriesAreSkipped)
{
    EXPECT_EQ(chooseLanguage({"C", "fr_FR"}), Language::fr);
    EXPECT_EQ(chooseLanguage({"POSIX", "nl_NL.UTF-8"}), Language::nl);
    EXPECT_EQ(chooseLanguage({"C.UTF-8", "de"}), Language::de);
    EXPECT_EQ(chooseLanguage({"", "es_ES"}), Language::es);
}

TEST(SystemLanguages, LanguageListComesFirstThenLcAllLcMessagesAndLang)
{
    const auto environment = fakeEnvironment({
        {"LANGUAGE", "de:en"},
        {"LC_ALL", "fr_FR.UTF-8"},
        {"LC_MESSAGES", "es_ES"},
        {"LANG", "nl_NL.UTF-8"},
        {"LC_CTYPE", "it_IT.UTF-8"},
    });
    const std::vector<std::string> expected{"de", "en", "fr_FR.UTF-8", "es_ES", "nl_NL.UTF-8"};
    EXPECT_EQ(systemPreferredLanguages(environment), expected);
    EXPECT_EQ(chooseLanguage(systemPreferredLanguages(environment)), Language::de);
}

TEST(SystemLanguages, EmptyAndUnsetVariablesAndEmptyListEntriesAreSkipped)
{
    const auto environment = fakeEnvironment({
        {"LANGUAGE", "::pt_BR::es:"},
        {"LC_ALL", ""},
        {"LANG", "de_DE.UTF-8"},
    });
    const std::vector<std::string> expected{"pt_BR", "es", "de_DE.UTF-8"};
    EXPECT_EQ(systemPreferredLanguages(environment), expected);

    EXPECT_TRUE(systemPreferredLanguages(fakeEnvironment({})).empty());
    EXPECT_TRUE(systemPreferredLanguages(fakeEnvironment({{"LANGUAGE", ""}, {"LANG", ""}})).empty());
}

TEST(SystemLanguages, PortableLocaleInLangLeavesTheChoiceToLaterEntriesOrEnglish)
{
    EXPECT_EQ(chooseLanguage(systemPreferredLanguages(fakeEnvironment({{"LC_ALL", "C"}, {"LANG", "fr_FR.UTF-8"}}))),
              Language::fr);
    EXPECT_EQ(chooseLanguage(systemPreferredLanguages(fakeEnvironment({{"LANG", "C.UTF-8"}}))), Language::en);
}

#include "localization/Language.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <map>
#include <optional>
#include <string>
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

} // namespace

TEST(LanguageValue, ListsTheFiveLanguagesInOrderAndKnowsOnlyTheirExactRawValues)
{
    const std::vector<std::string> expected{"en", "nl", "de", "fr", "es"};
    ASSERT_EQ(allLanguages.size(), expected.size());
    for (std::size_t i = 0; i < allLanguages.size(); ++i) {
        EXPECT_EQ(static_cast<std::size_t>(allLanguages[i]), i);
        EXPECT_EQ(rawValue(allLanguages[i]), expected[i]);
        EXPECT_EQ(languageFromRaw(expected[i]), allLanguages[i]);
    }
    for (const char* raw : {"", "EN", "En", "en-US", "en_GB", " en", "eng", "it", "pt", "e"}) {
        EXPECT_EQ(languageFromRaw(raw), std::nullopt) << raw;
    }
}

// The first identifier whose language code is one of ours wins, English included; region, case,
// encoding and modifier do not count; codes that merely start like ours, "C", "POSIX" and empty
// entries are skipped; nothing left gives English.
TEST(LanguageChoice, FirstSupportedLanguageCodeInTheListWins)
{
    const std::vector<std::pair<std::vector<std::string>, Language>> cases{
        {{"it", "de-CH", "en"}, Language::de},
        {{"ja-JP", "zh-Hant-TW", "es-419", "fr"}, Language::es},
        {{"pt-BR", "en-GB", "fr"}, Language::en},
        {{"en", "nl"}, Language::en},
        {{}, Language::en},
        {{"it", "pt-BR", "ja"}, Language::en},
        {{"", "C", "POSIX"}, Language::en},
        {{"nl-BE"}, Language::nl},
        {{"NL-be"}, Language::nl},
        {{"de-Latn-AT"}, Language::de},
        {{"deu", "fr"}, Language::fr},
        {{"e", "nds", "es"}, Language::es},
        {{"english", "de"}, Language::de},
        {{"de_DE.UTF-8"}, Language::de},
        {{"fr_FR@euro"}, Language::fr},
        {{"es.UTF-8"}, Language::es},
        {{"nl_NL.ISO-8859-15@euro"}, Language::nl},
        {{"C", "fr_FR"}, Language::fr},
        {{"POSIX", "nl_NL.UTF-8"}, Language::nl},
        {{"C.UTF-8", "de"}, Language::de},
        {{"", "es_ES"}, Language::es},
    };
    for (const auto& [preferred, expected] : cases) {
        EXPECT_EQ(chooseLanguage(preferred), expected) << ::testing::PrintToString(preferred);
    }
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
}

TEST(SystemLanguages, EmptyAndUnsetVariablesAndEmptyListEntriesAreSkipped)
{
    const auto environment = fakeEnvironment({{"LANGUAGE", "::pt_BR::es:"}, {"LC_ALL", ""}, {"LANG", "de_DE.UTF-8"}});
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

#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// The interface languages. The ordinal (0 to 4, in this order) is what the catalogue
// selects its texts by, so the order must not change.
enum class Language { en, nl, de, fr, es };

inline constexpr std::array<Language, 5> allLanguages{
    Language::en, Language::nl, Language::de, Language::fr, Language::es};

// "en", "nl", "de", "fr" or "es"; anything else (other case, a region, blanks) is no language.
std::optional<Language> languageFromRaw(std::string_view raw);

std::string_view rawValue(Language language);

// The first identifier whose language code is one of ours wins; English wins just as
// well when it comes first. Identifiers such as "de-CH", "nl_BE.UTF-8" or "fr_FR@euro"
// count by their language code only; "C", "POSIX" and empty ones are skipped.
// No match, or an empty list, gives English.
Language chooseLanguage(const std::vector<std::string>& preferred);

// Looks a variable up the way getenv does: nullptr when it is not set.
using EnvironmentLookup = std::function<const char*(const char*)>;

// The user's preferred languages as gettext sees them: the colon-separated entries of
// LANGUAGE, then LC_ALL, LC_MESSAGES and LANG, skipping those that are empty.
std::vector<std::string> systemPreferredLanguages(const EnvironmentLookup& lookup);

// The same, read from this process's environment.
std::vector<std::string> systemPreferredLanguages();

} // namespace velmora

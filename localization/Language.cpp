#include "localization/Language.h"

#include <cstdlib>

namespace velmora {

namespace {

constexpr std::array<std::string_view, allLanguages.size()> rawValues{"en", "nl", "de", "fr", "es"};

// The lowercase language code of a BCP 47 ("pt-BR") or POSIX ("de_DE.UTF-8@euro")
// identifier. The portable locales "C" and "POSIX" give "c" and "posix", which match
// none of ours, so they are skipped like any unsupported language.
std::string languageCode(std::string_view identifier)
{
    std::string code(identifier.substr(0, identifier.find_first_of("-_.@")));
    for (char& c : code) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return code;
}

void appendSplit(std::vector<std::string>& out, std::string_view list, char separator)
{
    while (!list.empty()) {
        const std::size_t end = list.find(separator);
        const std::string_view entry = list.substr(0, end);
        if (!entry.empty()) {
            out.emplace_back(entry);
        }
        if (end == std::string_view::npos) {
            break;
        }
        list.remove_prefix(end + 1);
    }
}

} // namespace

std::optional<Language> languageFromRaw(std::string_view raw)
{
    for (const Language language : allLanguages) {
        if (rawValue(language) == raw) {
            return language;
        }
    }
    return std::nullopt;
}

std::string_view rawValue(Language language)
{
    return rawValues[static_cast<std::size_t>(language)];
}

Language chooseLanguage(const std::vector<std::string>& preferred)
{
    for (const std::string& identifier : preferred) {
        if (const std::optional<Language> language = languageFromRaw(languageCode(identifier))) {
            return *language;
        }
    }
    return Language::en;
}

std::vector<std::string> systemPreferredLanguages(const EnvironmentLookup& lookup)
{
    std::vector<std::string> preferred;
    if (const char* list = lookup("LANGUAGE")) {
        appendSplit(preferred, list, ':');
    }
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = lookup(name);
        if (value != nullptr && *value != '\0') {
            preferred.emplace_back(value);
        }
    }
    return preferred;
}

std::vector<std::string> systemPreferredLanguages()
{
    return systemPreferredLanguages([](const char* name) { return std::getenv(name); });
}

} // namespace velmora

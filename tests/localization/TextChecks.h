#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "localization/Language.h"

namespace velmora::testing {

inline constexpr std::string_view noBreakSpace = "\u00A0";

// The text without its `code` spans, which hold code and data and keep ASCII punctuation.
inline std::string withoutCode(std::string_view text)
{
    std::string prose;
    bool inCode = false;
    for (const char c : text) {
        if (c == '`')
            inCode = !inCode;
        else if (!inCode)
            prose += c;
    }
    return prose;
}

inline std::size_t occurrences(std::string_view text, std::string_view part)
{
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string_view::npos; at = text.find(part, at + part.size()))
        ++count;
    return count;
}

// The first way the text breaks its language's typography, or nothing: one ellipsis character,
// each language's own quotation marks, and French no-break spaces before high punctuation and
// inside guillemets (the only no-break spaces anywhere).
inline std::string typographyProblem(Language language, std::string_view text)
{
    if (text.find("...") != std::string_view::npos)
        return "three dots";
    std::string prose = withoutCode(text);
    // "⌘?" is a key, not a question mark.
    for (std::size_t at = prose.find("⌘?"); at != std::string::npos; at = prose.find("⌘?"))
        prose.erase(at, std::string_view("⌘?").size());
    const auto has = [&prose](std::string_view mark) { return prose.find(mark) != std::string::npos; };
    const auto paired = [&prose](std::string_view open, std::string_view close) {
        return occurrences(prose, open) == occurrences(prose, close);
    };
    if (language != Language::fr && text.find(noBreakSpace) != std::string_view::npos)
        return "no-break space outside French";
    switch (language) {
    case Language::en:
    case Language::nl:
        if (has("„") || has("“") || has("«") || has("»"))
            return "foreign quotation marks";
        break;
    case Language::de:
        if (has("«") || has("»") || has("'") || has("\"") || !paired("„", "“"))
            return "quotation marks other than „ “";
        break;
    case Language::fr:
        if (has("„") || has("“") || has("\"") || !paired("«", "»"))
            return "quotation marks other than « »";
        for (std::size_t at = prose.find_first_of(":;?!"); at != std::string::npos;
             at = prose.find_first_of(":;?!", at + 1)) {
            if (!std::string_view(prose).substr(0, at).ends_with(noBreakSpace))
                return "no no-break space before " + prose.substr(at, 1);
        }
        for (std::size_t at = prose.find("»"); at != std::string::npos; at = prose.find("»", at + 1)) {
            if (!std::string_view(prose).substr(0, at).ends_with(noBreakSpace))
                return "no no-break space before »";
        }
        for (std::size_t at = prose.find("«"); at != std::string::npos; at = prose.find("«", at + 1)) {
            if (!std::string_view(prose).substr(at + std::string_view("«").size()).starts_with(noBreakSpace))
                return "no no-break space after «";
        }
        break;
    case Language::es:
        if (has("„") || has("“") || has("'") || has("\"") || !paired("«", "»"))
            return "quotation marks other than « »";
        if (!paired("¿", "?") || !paired("¡", "!"))
            return "question or exclamation without its opening mark";
        break;
    }
    return {};
}

} // namespace velmora::testing

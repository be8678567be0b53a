#include "app/monitor/TextSearch.h"

namespace velmora {
namespace {

bool isWordCharacter(char16_t c)
{
    const QChar character(c);
    return character.isLetterOrNumber() || c == u'_' || c == u'.' || c == u'-';
}

} // namespace

std::optional<std::size_t> findInText(std::u16string_view text, const QString& needle, std::size_t from, bool backwards)
{
    const QStringView haystack(reinterpret_cast<const QChar*>(text.data()), static_cast<qsizetype>(text.size()));
    qsizetype at = -1;
    if (backwards) {
        if (from > 0)
            at = haystack.lastIndexOf(needle, static_cast<qsizetype>(from) - 1, Qt::CaseInsensitive);
    } else if (from <= text.size()) {
        at = haystack.indexOf(needle, static_cast<qsizetype>(from), Qt::CaseInsensitive);
    }
    if (at < 0)
        return std::nullopt;
    return static_cast<std::size_t>(at);
}

std::pair<std::size_t, std::size_t> wordAround(std::u16string_view text, std::size_t position)
{
    std::size_t start = std::min(position, text.size());
    std::size_t end = start;
    while (start > 0 && isWordCharacter(text[start - 1]))
        --start;
    while (end < text.size() && isWordCharacter(text[end]))
        ++end;
    return {start, end};
}

} // namespace velmora

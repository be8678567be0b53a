#include "app/help/HelpViewState.h"

#include <algorithm>

namespace velmora {
namespace {

bool isBlank(QChar c)
{
    return c == u'\t' || c.category() == QChar::Separator_Space;
}

QString trimmedBlanks(const QString& text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return text.mid(begin, end - begin);
}

} // namespace

std::vector<HelpTopic> filteredTopics(const std::vector<HelpTopic>& topics, const QString& searchText)
{
    const QString query = trimmedBlanks(searchText);
    if (query.isEmpty())
        return topics;
    std::vector<HelpTopic> found;
    for (const HelpTopic& topic : topics) {
        if (QString::fromStdString(topic.searchableText()).contains(query, Qt::CaseInsensitive))
            found.push_back(topic);
    }
    return found;
}

HelpViewState HelpViewState::initial(const std::vector<HelpTopic>& topics)
{
    HelpViewState state;
    if (!topics.empty())
        state.selection = topics.front().id;
    return state;
}

void HelpViewState::search(const std::vector<HelpTopic>& topics, const QString& text)
{
    searchText = text;
    const std::vector<HelpTopic> found = filteredTopics(topics, text);
    if (found.empty())
        return;
    const bool stillThere =
        std::any_of(found.begin(), found.end(), [this](const HelpTopic& topic) { return selection == topic.id; });
    if (!stillThere)
        selection = found.front().id;
}

} // namespace velmora

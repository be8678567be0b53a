#pragma once

#include "localization/HelpTopic.h"

#include <QString>

#include <optional>
#include <string>
#include <vector>

namespace velmora {

// The topics, in list order, whose searchable text contains the search text, ignoring case. Blanks
// and tabs around the search text do not count; with nothing left, every topic matches.
std::vector<HelpTopic> filteredTopics(const std::vector<HelpTopic>& topics, const QString& searchText);

// What the help window remembers while it lives: the selected topic's id and the search text.
struct HelpViewState {
    std::optional<std::string> selection;
    QString searchText;

    // The first topic selected and no search.
    static HelpViewState initial(const std::vector<HelpTopic>& topics);

    // Takes a new search text and keeps the selection among the results: a selected topic that
    // drops out gives way to the first result. With no results the selection stays as it is, so
    // the topic being read stays on screen.
    void search(const std::vector<HelpTopic>& topics, const QString& text);
};

} // namespace velmora

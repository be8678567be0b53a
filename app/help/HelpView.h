#pragma once

#include "app/help/HelpViewState.h"
#include "localization/HelpTopic.h"

#include <QSplitter>

#include <vector>

class QLabel;
class QLineEdit;
class QListWidget;

namespace velmora {

class HelpTopicView;

// The help viewer: a sidebar with a search field and the list of matching topics, and the
// selected topic beside it. The topics are given once; the view keeps only its state.
//
// Thread: main thread only.
class HelpView final : public QSplitter {
    Q_OBJECT
public:
    static constexpr int sidebarMinimumWidth = 190;
    static constexpr int sidebarIdealWidth = 210;

    explicit HelpView(std::vector<HelpTopic> topics, QWidget* parent = nullptr);

    const HelpViewState& state() const { return state_; }
    const std::vector<HelpTopic>& topics() const { return topics_; }

    QLineEdit* searchField() const { return search_; }
    QListWidget* topicList() const { return list_; }
    // "No topics found", shown instead of the list when nothing matches.
    QLabel* noResultsLabel() const { return noResults_; }
    // The selected topic's view; null when no topic is selected.
    HelpTopicView* topicView() const { return topicView_; }

protected:
    void changeEvent(QEvent* event) override;

private:
    void search(const QString& text);
    void fillList();
    void showSelection();
    void refreshColours();

    std::vector<HelpTopic> topics_;
    HelpViewState state_;
    QLineEdit* search_ = nullptr;
    QListWidget* list_ = nullptr;
    QLabel* noResults_ = nullptr;
    QWidget* detail_ = nullptr;
    HelpTopicView* topicView_ = nullptr;
};

} // namespace velmora

#pragma once

#include "core/session/Session.h"
#include "core/support/Published.h"

#include <QWidget>

#include <vector>

class QComboBox;
class QPushButton;

namespace velmora {

class CountersText;
class DisplayOptionsButton;

// The tab's bottom row: display mode and its options, the byte counters, Save and Clear.
//
// Thread: main thread.
class FooterBar final : public QWidget {
    Q_OBJECT
public:
    FooterBar(Session& model, QWidget* parent);

    // Asks where to save the output (a suggested file name, plain text) and saves it there.
    void saveOutput();

    QComboBox* displayPicker() const { return displayPicker_; }
    DisplayOptionsButton* displayOptionsButton() const { return displayOptions_; }
    CountersText* counters() const { return counters_; }
    QPushButton* saveButton() const { return saveButton_; }
    QPushButton* clearButton() const { return clearButton_; }

private:
    void refreshCounters();

    Session& model_;
    std::vector<Subscription> subscriptions_;
    // Set while the display picker follows the session, so that this is not taken for a choice.
    bool refreshing_ = false;

    QComboBox* displayPicker_ = nullptr;
    DisplayOptionsButton* displayOptions_ = nullptr;
    CountersText* counters_ = nullptr;
    QPushButton* saveButton_ = nullptr;
    QPushButton* clearButton_ = nullptr;
};

} // namespace velmora

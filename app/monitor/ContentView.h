#pragma once

#include "app/monitor/FooterBar.h"
#include "app/monitor/HeaderBar.h"
#include "app/monitor/SendBar.h"
#include "core/session/Session.h"
#include "core/support/Published.h"

#include <QSplitter>
#include <QWidget>

#include <memory>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace velmora {

class CountersText;
class DisplayOptionsButton;
class FindBar;
class ModemLinesMenu;
class OutputOverlays;
class OutputTextView;
class PlotterView;
class PortSettingsButton;
class SendOptionsMenu;

// The content of one monitor tab, top to bottom: the header bar, the send bar, the output (with
// the plotter above it when switched on) and the footer. It shows the session's published state
// and forwards what the user does; it holds no serial logic of its own.
//
// Thread: main thread. Owns its session for as long as the tab lives.
class ContentView final : public QWidget {
    Q_OBJECT
public:
    explicit ContentView(std::shared_ptr<Session> model, QWidget* parent = nullptr);
    ~ContentView() override;

    Session& model() { return *model_; }
    // The session's title and its state, as the window title shows them.
    QString windowTitleText() const;
    OutputTextView& outputView() { return *output_; }
    FindBar& findBar() { return *findBar_; }
    // Opens the find bar over the output.
    void openFind();
    // Asks where to save the output (a suggested file name, plain text) and saves it there.
    void saveOutput() { footer_.saveOutput(); }

    // The controls, for the shell's commands and for tests.
    QComboBox* portPicker() const { return header_.portPicker(); }
    QComboBox* baudPicker() const { return header_.baudPicker(); }
    PortSettingsButton* portSettingsButton() const { return header_.portSettingsButton(); }
    ModemLinesMenu* modemLinesMenu() const { return header_.modemLinesMenu(); }
    QToolButton* plotterButton() const { return header_.plotterButton(); }
    QLabel* statusDot() const { return header_.statusDot(); }
    QPushButton* connectButton() const { return header_.connectButton(); }
    QLineEdit* input() const { return sendBar_.input(); }
    SendOptionsMenu* sendOptions() const { return sendBar_.sendOptions(); }
    QPushButton* sendButton() const { return sendBar_.sendButton(); }
    QLabel* inputError() const { return sendBar_.inputError(); }
    QComboBox* displayPicker() const { return footer_.displayPicker(); }
    DisplayOptionsButton* displayOptionsButton() const { return footer_.displayOptionsButton(); }
    CountersText* counters() const { return footer_.counters(); }
    QPushButton* saveButton() const { return footer_.saveButton(); }
    QPushButton* clearButton() const { return footer_.clearButton(); }
    OutputOverlays* overlays() const { return overlays_; }
    // The plotter above the output, shown while the session's showPlotter is on.
    PlotterView* plotterArea() const { return plotterArea_; }

signals:
    void titleChanged();

private:
    void buildMainArea();
    void refreshPlotter();
    void showError(const std::string& message);

    std::shared_ptr<Session> model_;
    std::vector<Subscription> subscriptions_;
    // The parts of the tab are members declared after the session, so that they, and every
    // widget inside them, are destroyed before it: they observe the session and hold references
    // into its stores. Children that Qt deletes would outlive the members, the session included.
    HeaderBar header_;
    SendBar sendBar_;
    QSplitter mainArea_;
    FooterBar footer_;

    PlotterView* plotterArea_ = nullptr;
    OutputTextView* output_ = nullptr;
    FindBar* findBar_ = nullptr;
    OutputOverlays* overlays_ = nullptr;
};

} // namespace velmora

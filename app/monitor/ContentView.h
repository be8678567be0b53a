#pragma once

#include "core/session/VelmoraModel.h"
#include "core/support/Published.h"

#include <QWidget>

#include <memory>
#include <vector>

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QSplitter;
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

// The content of one monitor tab: header bar (port, baud rate, frame settings, DTR/RTS, plotter
// switch, status, Connect), send bar, the output (with the plotter above it when switched on)
// and the footer (display mode and options, counters, Save, Clear). It shows the session's
// published state and forwards what the user does; it holds no serial logic of its own.
//
// Thread: main thread. Owns its session for as long as the tab lives.
class ContentView final : public QWidget {
    Q_OBJECT
public:
    explicit ContentView(std::shared_ptr<VelmoraModel> model, QWidget* parent = nullptr);
    ~ContentView() override;

    VelmoraModel& model() { return *model_; }
    // The session's title and its state, as the window title shows them.
    QString windowTitleText() const;
    OutputTextView& outputView() { return *output_; }
    FindBar& findBar() { return *findBar_; }
    // Opens the find bar over the output.
    void openFind();
    // Asks where to save the output (a suggested file name, plain text) and saves it there.
    void saveOutput();

    // The controls, for the shell's commands and for tests.
    QComboBox* portPicker() const { return portPicker_; }
    QComboBox* baudPicker() const { return baudPicker_; }
    PortSettingsButton* portSettingsButton() const { return portSettings_; }
    ModemLinesMenu* modemLinesMenu() const { return modemLines_; }
    QToolButton* plotterButton() const { return plotterButton_; }
    QLabel* statusDot() const { return statusDot_; }
    QPushButton* connectButton() const { return connectButton_; }
    QLineEdit* input() const { return input_; }
    SendOptionsMenu* sendOptions() const { return sendOptions_; }
    QPushButton* sendButton() const { return sendButton_; }
    QLabel* inputError() const { return inputErrorText_; }
    QComboBox* displayPicker() const { return displayPicker_; }
    DisplayOptionsButton* displayOptionsButton() const { return displayOptions_; }
    CountersText* counters() const { return counters_; }
    QPushButton* saveButton() const { return saveButton_; }
    QPushButton* clearButton() const { return clearButton_; }
    OutputOverlays* overlays() const { return overlays_; }
    // The plotter above the output, shown while the session's showPlotter is on.
    PlotterView* plotterArea() const { return plotterArea_; }

signals:
    void titleChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildHeader();
    QWidget* buildSendBar();
    QWidget* buildFooter();
    QWidget* buildMainArea();
    void refreshPortPicker();
    void refreshBaudPicker();
    void refreshConnection();
    void refreshInput();
    void refreshInputBox();
    void refreshCounters();
    void refreshDisplayPicker();
    void refreshPlotter();
    void showError(const std::string& message);

    std::shared_ptr<VelmoraModel> model_;
    std::vector<Subscription> subscriptions_;
    bool refreshing_ = false;

    QComboBox* portPicker_ = nullptr;
    QComboBox* baudPicker_ = nullptr;
    PortSettingsButton* portSettings_ = nullptr;
    ModemLinesMenu* modemLines_ = nullptr;
    QToolButton* plotterButton_ = nullptr;
    QLabel* statusDot_ = nullptr;
    QPushButton* connectButton_ = nullptr;
    QFrame* inputBox_ = nullptr;
    QLineEdit* input_ = nullptr;
    SendOptionsMenu* sendOptions_ = nullptr;
    QPushButton* sendButton_ = nullptr;
    QWidget* inputErrorRow_ = nullptr;
    QLabel* inputErrorText_ = nullptr;
    QSplitter* splitter_ = nullptr;
    PlotterView* plotterArea_ = nullptr;
    OutputTextView* output_ = nullptr;
    FindBar* findBar_ = nullptr;
    OutputOverlays* overlays_ = nullptr;
    QComboBox* displayPicker_ = nullptr;
    DisplayOptionsButton* displayOptions_ = nullptr;
    CountersText* counters_ = nullptr;
    QPushButton* saveButton_ = nullptr;
    QPushButton* clearButton_ = nullptr;
};

} // namespace velmora

#pragma once

#include "core/session/VelmoraModel.h"
#include "core/support/Published.h"

#include <QWidget>

#include <memory>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QSplitter;
class QPushButton;

namespace velmora {

class FindBar;
class OutputTextView;

// The content of one monitor tab: header bar (port, baud rate, status, Connect), send bar,
// output and footer. It shows the session's published state and forwards what the user does;
// it holds no serial logic of its own.
//
// Not yet here: frame settings, DTR/RTS menu, plotter, display options and notices.
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
    void refreshCounters();
    void showError(const std::string& message);

    std::shared_ptr<VelmoraModel> model_;
    std::vector<Subscription> subscriptions_;
    bool refreshing_ = false;

    QComboBox* portPicker_ = nullptr;
    QComboBox* baudPicker_ = nullptr;
    QLabel* statusDot_ = nullptr;
    QPushButton* connectButton_ = nullptr;
    QLineEdit* input_ = nullptr;
    QPushButton* sendButton_ = nullptr;
    QLabel* inputError_ = nullptr;
    QSplitter* splitter_ = nullptr;
    OutputTextView* output_ = nullptr;
    FindBar* findBar_ = nullptr;
    QLabel* counters_ = nullptr;
};

} // namespace velmora

#pragma once

#include "core/session/Session.h"
#include "core/support/Published.h"

#include <QWidget>

#include <vector>

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

namespace velmora {

class SendOptionsMenu;

// The row under the header: the message field with its send options, Send, and the line that
// says why HEX input cannot be sent. The field takes the keyboard whenever the port connects.
//
// Thread: main thread.
class SendBar final : public QWidget {
    Q_OBJECT
public:
    SendBar(Session& model, QWidget* parent);

    QLineEdit* input() const { return input_; }
    SendOptionsMenu* sendOptions() const { return sendOptions_; }
    QPushButton* sendButton() const { return sendButton_; }
    QLabel* inputError() const { return inputErrorText_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void refreshInput();
    void refreshInputBox();

    Session& model_;
    std::vector<Subscription> subscriptions_;

    QFrame* inputBox_ = nullptr;
    QLineEdit* input_ = nullptr;
    SendOptionsMenu* sendOptions_ = nullptr;
    QPushButton* sendButton_ = nullptr;
    QWidget* inputErrorRow_ = nullptr;
    QLabel* inputErrorText_ = nullptr;
};

} // namespace velmora

#pragma once

#include "core/session/Session.h"
#include "core/support/Published.h"

#include <QWidget>

#include <vector>

class QLabel;
class QPushButton;

namespace velmora {

// The panel in the middle of an empty, disconnected output: whether a USB board is there at
// all, what to do next, and a button that connects to the selected port.
//
// Thread: main thread. The session must outlive the view.
class EmptyOutputView final : public QWidget {
    Q_OBJECT
public:
    explicit EmptyOutputView(Session& model, QWidget* parent = nullptr);

    QString title() const;
    QString message() const;
    // Hidden unless a discovered port is selected.
    QPushButton* connectButton() const { return connect_; }

protected:
    void changeEvent(QEvent* event) override;

private:
    void refresh();
    void refreshColours();

    Session& model_;
    std::vector<Subscription> subscriptions_;
    QLabel* icon_ = nullptr;
    QLabel* title_ = nullptr;
    QLabel* message_ = nullptr;
    QPushButton* connect_ = nullptr;
};

} // namespace velmora

#pragma once

#include "core/session/Session.h"
#include "core/support/Published.h"

#include <QWidget>

#include <vector>

class QComboBox;
class QLabel;
class QPushButton;
class QToolButton;

namespace velmora {

class ModemLinesMenu;
class PortSettingsButton;

// The tab's teal top row: port and baud pickers, frame settings, DTR/RTS menu, plotter switch,
// the status dot and Connect.
//
// Thread: main thread.
class HeaderBar final : public QWidget {
    Q_OBJECT
public:
    HeaderBar(Session& model, QWidget* parent);

    QComboBox* portPicker() const { return portPicker_; }
    QComboBox* baudPicker() const { return baudPicker_; }
    PortSettingsButton* portSettingsButton() const { return portSettings_; }
    ModemLinesMenu* modemLinesMenu() const { return modemLines_; }
    QToolButton* plotterButton() const { return plotterButton_; }
    QLabel* statusDot() const { return statusDot_; }
    QPushButton* connectButton() const { return connectButton_; }

private:
    void refreshPortPicker();
    void refreshBaudPicker();
    void refreshConnection();

    Session& model_;
    std::vector<Subscription> subscriptions_;
    // Set while a picker is refilled from the session, so that the refill is not taken for a choice.
    bool refreshing_ = false;

    QComboBox* portPicker_ = nullptr;
    QComboBox* baudPicker_ = nullptr;
    PortSettingsButton* portSettings_ = nullptr;
    ModemLinesMenu* modemLines_ = nullptr;
    QToolButton* plotterButton_ = nullptr;
    QLabel* statusDot_ = nullptr;
    QPushButton* connectButton_ = nullptr;
};

} // namespace velmora

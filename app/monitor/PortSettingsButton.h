#pragma once

#include "core/session/Session.h"
#include "core/support/Published.h"

#include <QToolButton>

#include <vector>

namespace velmora {

class Popup;
class PortSettingsView;

// The frame as the header shows it: data bits, parity letter, stop bits ("8N1", "7E2").
QString frameText(DataBits dataBits, Parity parity, StopBits stopBits);

// The header button that shows the current frame and opens the frame settings under it. A
// custom baud rate still in the field when the popup closes is applied then.
//
// Thread: main thread.
class PortSettingsButton final : public QToolButton {
    Q_OBJECT
public:
    explicit PortSettingsButton(Session& model, QWidget* parent = nullptr);

    Popup* popup() const { return popup_; }
    PortSettingsView* settingsView() const { return view_; }

private:
    void refreshText();

    Session& model_;
    std::vector<Subscription> subscriptions_;
    PortSettingsView* view_ = nullptr;
    Popup* popup_ = nullptr;
};

} // namespace velmora

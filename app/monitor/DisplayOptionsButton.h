#pragma once

#include "core/session/Session.h"

#include <QToolButton>

namespace velmora {

class DisplayOptionsView;
class Popup;

// The footer button that opens the display options over it.
//
// Thread: main thread.
class DisplayOptionsButton final : public QToolButton {
    Q_OBJECT
public:
    explicit DisplayOptionsButton(Session& model, QWidget* parent = nullptr);

    Popup* popup() const { return popup_; }
    DisplayOptionsView* optionsView() const { return view_; }

private:
    DisplayOptionsView* view_ = nullptr;
    Popup* popup_ = nullptr;
};

} // namespace velmora

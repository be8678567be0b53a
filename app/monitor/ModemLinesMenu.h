#pragma once

#include "core/session/Session.h"
#include "core/support/Published.h"

#include <QPushButton>

#include <optional>
#include <vector>

class QAction;
class QMenu;

namespace velmora {

// "DTR ●  RTS ○" for the line states, "DTR · RTS" while no port is open.
QString modemLinesTitle(const std::optional<ModemLines>& lines);

// The header's DTR/RTS menu: a switch per line and the reset sequences. Only usable while
// connected; the switches show the states the port read back, not the ones asked for.
//
// Thread: main thread.
class ModemLinesMenu final : public QPushButton {
    Q_OBJECT
public:
    explicit ModemLinesMenu(Session& model, QWidget* parent = nullptr);

    QAction* dtrAction() const { return dtr_; }
    QAction* rtsAction() const { return rts_; }

private:
    void refresh();

    Session& model_;
    std::vector<Subscription> subscriptions_;
    QMenu* menu_ = nullptr;
    QAction* dtr_ = nullptr;
    QAction* rts_ = nullptr;
};

} // namespace velmora

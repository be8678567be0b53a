#pragma once

#include "core/session/Session.h"
#include "core/support/Published.h"

#include <QToolButton>

#include <vector>

class QAction;
class QActionGroup;
class QMenu;

namespace velmora {

// The short title at the end of the input field: "HEX", or "↵ " and the line ending's short name.
QString sendOptionsTitle(SendMode mode, LineEnding ending);

// The send mode and line ending menu at the right end of the input field. The line endings are
// out of reach in HEX mode, where none is added.
//
// Thread: main thread.
class SendOptionsMenu final : public QToolButton {
    Q_OBJECT
public:
    explicit SendOptionsMenu(Session& model, QWidget* parent = nullptr);

    QActionGroup* sendModes() const { return sendModes_; }
    QActionGroup* lineEndings() const { return lineEndings_; }

private:
    void refresh();

    Session& model_;
    std::vector<Subscription> subscriptions_;
    QMenu* menu_ = nullptr;
    QActionGroup* sendModes_ = nullptr;
    QActionGroup* lineEndings_ = nullptr;
};

} // namespace velmora

#pragma once

#include "core/session/Session.h"
#include "core/support/Published.h"

#include <QWidget>

#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;

namespace velmora {

// The display options popup's content: autoscroll, timestamps and echo, and the layout of the
// byte modes. Options that the current display mode does not use are disabled.
//
// Thread: main thread.
class DisplayOptionsView final : public QWidget {
    Q_OBJECT
public:
    explicit DisplayOptionsView(Session& model, QWidget* parent = nullptr);

private:
    void refreshEnabled();

    Session& model_;
    std::vector<Subscription> subscriptions_;

    QCheckBox* autoscroll_ = nullptr;
    QCheckBox* timestamps_ = nullptr;
    QCheckBox* echo_ = nullptr;
    QLabel* bytesPerLineLabel_ = nullptr;
    QComboBox* bytesPerLine_ = nullptr;
    QCheckBox* breakOnLF_ = nullptr;
    QLabel* packetGapLabel_ = nullptr;
    QComboBox* packetGap_ = nullptr;
};

} // namespace velmora

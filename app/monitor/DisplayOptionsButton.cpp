#include "app/monitor/DisplayOptionsButton.h"

#include "app/common/Icons.h"
#include "app/common/Popup.h"
#include "app/monitor/DisplayOptionsView.h"
#include "localization/L10n.h"

namespace velmora {

DisplayOptionsButton::DisplayOptionsButton(Session& model, QWidget* parent) : QToolButton(parent)
{
    setIcon(symbolIcon("slider.horizontal.3"));
    setToolTip(QString::fromStdString(L10n::Display::optionsHelp()));
    setAccessibleName(QString::fromStdString(L10n::Display::options()));
    view_ = new DisplayOptionsView(model);
    popup_ = new Popup(this, view_);
    connect(this, &QToolButton::clicked, popup_, &Popup::toggle);
}

} // namespace velmora

#include "app/monitor/PortSettingsButton.h"

#include "app/common/Icons.h"
#include "app/common/Popup.h"
#include "app/monitor/PortSettingsView.h"
#include "localization/L10n.h"

namespace velmora {

QString frameText(DataBits dataBits, Parity parity, StopBits stopBits)
{
    QChar letter = u'N';
    switch (parity) {
    case Parity::none:
        letter = u'N';
        break;
    case Parity::even:
        letter = u'E';
        break;
    case Parity::odd:
        letter = u'O';
        break;
    }
    return QString::number(rawValue(dataBits)) + letter + QString::number(rawValue(stopBits));
}

PortSettingsButton::PortSettingsButton(Session& model, QWidget* parent) : QToolButton(parent), model_(model)
{
    setIcon(symbolIcon("slider.horizontal.3"));
    setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    setToolTip(QString::fromStdString(L10n::Header::frameSettingsHelp()));
    view_ = new PortSettingsView(model_);
    popup_ = new Popup(this, view_);
    connect(this, &QToolButton::clicked, popup_, &Popup::toggle);
    connect(popup_, &Popup::closed, view_, &PortSettingsView::applyPendingCustomBaud);

    const auto frameChanged = [this](const auto&) { refreshText(); };
    subscriptions_.push_back(model_.line().dataBits.subscribe(frameChanged));
    subscriptions_.push_back(model_.line().parity.subscribe(frameChanged));
    subscriptions_.push_back(model_.line().stopBits.subscribe(frameChanged));
}

void PortSettingsButton::refreshText()
{
    setText(frameText(model_.line().dataBits.value(), model_.line().parity.value(), model_.line().stopBits.value()));
}

} // namespace velmora


#include "app/monitor/SendOptionsMenu.h"
#include "app/common/Caption.h"
#include "app/common/PlatformText.h"
#include "localization/L10n.h"

#include <QAction>
#include <QActionGroup>
#include <QFontDatabase>
#include <QMenu>

namespace velmora {
namespace {

std::string fullName(LineEnding ending)
{
    switch (ending) {
    case LineEnding::none:
        return L10n::LineEnding::none();
    case LineEnding::lf:
        return L10n::LineEnding::lf();
    case LineEnding::cr:
        return L10n::LineEnding::cr();
    case LineEnding::crlf:
        return L10n::LineEnding::crlf();
    }
    return {};
}

QString shortName(LineEnding ending)
{
    switch (ending) {
    case LineEnding::none:
        return qt(L10n::Input::noLineEndingShort());
    case LineEnding::lf:
        return QStringLiteral("LF");
    case LineEnding::cr:
        return QStringLiteral("CR");
    case LineEnding::crlf:
        return QStringLiteral("CRLF");
    }
    return {};
}

std::string modeName(SendMode mode)
{
    return mode == SendMode::hex ? L10n::Send::hex() : L10n::Send::text();
}

} // namespace

QString sendOptionsTitle(SendMode mode, LineEnding ending)
{
    if (mode == SendMode::hex)
        return qt(L10n::Send::hex());
    return QStringLiteral("↵ ") + shortName(ending);
}

SendOptionsMenu::SendOptionsMenu(Session& model, QWidget* parent) : QToolButton(parent), model_(model)
{
    setAutoRaise(true);
    setPopupMode(QToolButton::InstantPopup);
    // The menu's own arrow would crowd the short title.
    setStyleSheet(QStringLiteral("QToolButton::menu-indicator { image: none; width: 0px; }"));
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSizeF(captionFont(this).pointSizeF());
    font.setWeight(QFont::Medium);
    setFont(font);

    menu_ = new QMenu(this);
    menu_->addSection(qt(L10n::Send::mode()));
    sendModes_ = new QActionGroup(menu_);
    for (const auto mode : allSendModes) {
        auto* action = menu_->addAction(qt(modeName(mode)));
        action->setCheckable(true);
        action->setData(static_cast<int>(mode));
        sendModes_->addAction(action);
        connect(action, &QAction::triggered, this, [this, mode] { model_.composer().sendMode.set(mode); });
    }
    menu_->addSection(qt(L10n::Input::lineEnding()));
    lineEndings_ = new QActionGroup(menu_);
    for (const auto ending : allLineEndings) {
        auto* action = menu_->addAction(qt(fullName(ending)));
        action->setCheckable(true);
        action->setData(static_cast<int>(ending));
        lineEndings_->addAction(action);
        connect(action, &QAction::triggered, this, [this, ending] { model_.composer().lineEnding.set(ending); });
    }
    setMenu(menu_);

    const auto changed = [this](const auto&) { refresh(); };
    subscriptions_.push_back(model_.composer().sendMode.subscribe(changed));
    subscriptions_.push_back(model_.composer().lineEnding.subscribe(changed));
}

void SendOptionsMenu::refresh()
{
    const auto mode = model_.composer().sendMode.value();
    const auto ending = model_.composer().lineEnding.value();
    setText(sendOptionsTitle(mode, ending));
    setToolTip(qt(
        mode == SendMode::hex ? L10n::Send::lineEndingNotInHex() : L10n::Input::lineEndingChipHelp(fullName(ending))));
    for (auto* action : sendModes_->actions())
        action->setChecked(action->data().toInt() == static_cast<int>(mode));
    for (auto* action : lineEndings_->actions())
        action->setChecked(action->data().toInt() == static_cast<int>(ending));
    lineEndings_->setEnabled(mode != SendMode::hex);
}

} // namespace velmora


#include "app/monitor/ModemLinesMenu.h"
#include "app/common/PlatformText.h"
#include "localization/L10n.h"

#include <QAction>
#include <QMenu>

namespace velmora {
namespace {

QString mark(bool on)
{
    return on ? QStringLiteral("●") : QStringLiteral("○");
}

} // namespace

QString modemLinesTitle(const std::optional<ModemLines>& lines)
{
    const QString dtr = qt(L10n::Lines::dtr());
    const QString rts = qt(L10n::Lines::rts());
    if (!lines)
        return dtr + QStringLiteral(" · ") + rts;
    return dtr + u' ' + mark(lines->dtr) + QStringLiteral("  ") + rts + u' ' + mark(lines->rts);
}

ModemLinesMenu::ModemLinesMenu(Session& model, QWidget* parent) : QPushButton(parent), model_(model)
{
    menu_ = new QMenu(this);
    dtr_ = menu_->addAction(qt(L10n::Lines::dtr()));
    dtr_->setCheckable(true);
    rts_ = menu_->addAction(qt(L10n::Lines::rts()));
    rts_->setCheckable(true);
    // The action has already flipped its check mark; refresh() puts back what the port reports
    // until the read-back arrives.
    connect(dtr_, &QAction::triggered, this, [this](bool on) {
        model_.runLineSteps({dtrStep(on)}, L10n::Lines::dtrChanged(on));
        refresh();
    });
    connect(rts_, &QAction::triggered, this, [this](bool on) {
        model_.runLineSteps({rtsStep(on)}, L10n::Lines::rtsChanged(on));
        refresh();
    });
    menu_->addSeparator();
    for (const auto sequence : allResetSequences) {
        auto* reset = menu_->addAction(qt(title(sequence)));
        connect(reset, &QAction::triggered, this,
            [this, sequence] { model_.runLineSteps(steps(sequence), title(sequence)); });
    }
    setMenu(menu_);

    const auto changed = [this](const auto&) { refresh(); };
    subscriptions_.push_back(model_.connection().modemLines.subscribe(changed));
    subscriptions_.push_back(model_.connection().state.subscribe(changed));
}

void ModemLinesMenu::refresh()
{
    const auto& lines = model_.connection().modemLines.value();
    setText(modemLinesTitle(lines));
    dtr_->setChecked(lines && lines->dtr);
    rts_->setChecked(lines && lines->rts);
    const bool connected = model_.connection().state.value() == ConnectionState::connected;
    setEnabled(connected);
    setToolTip(qt(connected ? L10n::Lines::menuHelp() : L10n::Lines::notConnected()));
}

} // namespace velmora

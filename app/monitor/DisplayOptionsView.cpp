
#include "app/monitor/DisplayOptionsView.h"
#include "app/common/Caption.h"
#include "app/common/PlatformText.h"
#include "localization/L10n.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

namespace velmora {
namespace {

QVariant number(std::int64_t n)
{
    return QVariant::fromValue<qlonglong>(n);
}

// Follows the session: checked as it says, and the user's clicks written back.
void bind(QCheckBox* box, Setting<bool>& setting, std::vector<Subscription>& subscriptions)
{
    QObject::connect(box, &QCheckBox::clicked, box, [&setting](bool on) { setting.set(on); });
    subscriptions.push_back(setting.subscribe([box](bool on) { box->setChecked(on); }));
}

} // namespace

DisplayOptionsView::DisplayOptionsView(Session& model, QWidget* parent) : QWidget(parent), model_(model)
{
    setFixedWidth(380);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);

    auto* output = new QGroupBox(qt(L10n::Display::output()), this);
    auto* outputColumn = new QVBoxLayout(output);
    autoscroll_ = new QCheckBox(qt(L10n::Footer::autoscroll()), output);
    timestamps_ = new QCheckBox(qt(L10n::Footer::timestamp()), output);
    echo_ = new QCheckBox(qt(L10n::Footer::echo()), output);
    echo_->setToolTip(qt(L10n::Footer::echoHelp()));
    outputColumn->addWidget(autoscroll_);
    outputColumn->addWidget(timestamps_);
    outputColumn->addWidget(echo_);
    column->addWidget(output);
    bind(autoscroll_, model_.display().autoscroll, subscriptions_);
    bind(timestamps_, model_.display().showTimestamps, subscriptions_);
    bind(echo_, model_.display().echoSent, subscriptions_);

    auto* bytes = new QGroupBox(qt(L10n::Display::byteModes()), this);
    auto* bytesColumn = new QVBoxLayout(bytes);
    auto* form = new QFormLayout();
    bytesPerLine_ = new QComboBox(bytes);
    for (const auto count : allowedBytesPerLine)
        bytesPerLine_->addItem(QString::number(count), number(count));
    bytesPerLineLabel_ = new QLabel(qt(L10n::Display::bytesPerLine()), bytes);
    form->addRow(bytesPerLineLabel_, bytesPerLine_);
    breakOnLF_ = new QCheckBox(qt(L10n::Display::breakOnLF()), bytes);
    form->addRow(breakOnLF_);
    packetGap_ = new QComboBox(bytes);
    for (const auto gap : allowedGapMs)
        packetGap_->addItem(qt(gap == 0 ? L10n::Display::off() : L10n::Display::milliseconds(gap)), number(gap));
    packetGapLabel_ = new QLabel(qt(L10n::Display::packetGap()), bytes);
    form->addRow(packetGapLabel_, packetGap_);
    bytesColumn->addLayout(form);
    bytesColumn->addWidget(makeNote(qt(L10n::Display::packetGapNote()), bytes));
    bytesColumn->addWidget(makeNote(qt(L10n::Display::textModeNote()), bytes));
    column->addWidget(bytes);

    connect(bytesPerLine_, &QComboBox::activated, this,
        [this](int index) { model_.display().bytesPerLine.set(bytesPerLine_->itemData(index).toLongLong()); });
    connect(packetGap_, &QComboBox::activated, this,
        [this](int index) { model_.display().packetGapMs.set(packetGap_->itemData(index).toLongLong()); });
    bind(breakOnLF_, model_.display().breakOnLF, subscriptions_);
    subscriptions_.push_back(model_.display().bytesPerLine.subscribe(
        [this](std::int64_t count) { bytesPerLine_->setCurrentIndex(bytesPerLine_->findData(number(count))); }));
    subscriptions_.push_back(model_.display().packetGapMs.subscribe(
        [this](std::int64_t gap) { packetGap_->setCurrentIndex(packetGap_->findData(number(gap))); }));
    subscriptions_.push_back(model_.display().displayMode.subscribe([this](const auto&) { refreshEnabled(); }));
}

void DisplayOptionsView::refreshEnabled()
{
    const auto mode = model_.display().displayMode.value();
    // Text and escaped ASCII cut their lines by themselves; only a pause means a new line there.
    const bool layoutApplies = mode == DisplayMode::hex || mode == DisplayMode::hexDump ||
        mode == DisplayMode::decimal || mode == DisplayMode::binary;
    const bool gapApplies = mode != DisplayMode::text;
    bytesPerLineLabel_->setEnabled(layoutApplies);
    bytesPerLine_->setEnabled(layoutApplies);
    breakOnLF_->setEnabled(layoutApplies);
    packetGapLabel_->setEnabled(gapApplies);
    packetGap_->setEnabled(gapApplies);
}

} // namespace velmora

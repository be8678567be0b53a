#include "app/monitor/FooterBar.h"
#include "app/common/Caption.h"
#include "app/common/PlatformText.h"
#include "app/monitor/CountersText.h"
#include "app/monitor/DisplayModeBadge.h"
#include "app/monitor/DisplayOptionsButton.h"
#include "core/session/OutputSaver.h"
#include "localization/L10n.h"

#include <QComboBox>
#include <QFileDialog>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QPushButton>

#include <chrono>

namespace velmora {

FooterBar::FooterBar(Session& model, QWidget* parent) : QWidget(parent), model_(model)
{
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(12, 5, 12, 5);
    row->setSpacing(8);

    displayPicker_ = new QComboBox(this);
    displayPicker_->setFixedWidth(160);
    displayPicker_->setToolTip(qt(L10n::Display::modeHelp()));
    displayPicker_->setAccessibleName(qt(L10n::Display::mode()));
    for (const auto mode : allDisplayModes)
        displayPicker_->addItem(displayModeName(mode), static_cast<int>(mode));
    connect(displayPicker_, &QComboBox::activated, this, [this](int index) {
        if (!refreshing_)
            model_.display().displayMode.set(static_cast<DisplayMode>(displayPicker_->itemData(index).toInt()));
    });
    row->addWidget(displayPicker_);

    displayOptions_ = new DisplayOptionsButton(model_, this);
    row->addWidget(displayOptions_);
    row->addStretch(1);

    counters_ = new CountersText(this);
    const auto countersText = [](std::int64_t rx, std::int64_t tx) {
        return withLocaleNumbers(L10n::Footer::counters(rx, tx), {rx, tx});
    };
    counters_->setSource(
        [this, countersText] { return countersText(model_.reception().rxBytes.value(), model_.txBytes().value()); });
    QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    mono.setPointSizeF(captionFont(this).pointSizeF());
    counters_->setFont(mono);
    // Room for a gigabyte received and a hundred megabytes sent.
    counters_->reserveRoomFor(countersText(999'999'999, 99'999'999));
    QPalette secondary = counters_->palette();
    secondary.setColor(QPalette::WindowText, secondary.color(QPalette::PlaceholderText));
    counters_->setPalette(secondary);
    row->addWidget(counters_);

    saveButton_ = new QPushButton(qt(L10n::Footer::save()), this);
    saveButton_->setToolTip(platformText(L10n::Footer::saveHelp()));
    connect(saveButton_, &QPushButton::clicked, this, &FooterBar::saveOutput);
    row->addWidget(saveButton_);

    clearButton_ = new QPushButton(qt(L10n::Footer::clear()), this);
    clearButton_->setToolTip(platformText(L10n::Footer::clearHelp()));
    connect(clearButton_, &QPushButton::clicked, this, [this] { model_.clearOutput(); });
    row->addWidget(clearButton_);

    subscriptions_.push_back(model_.display().displayMode.subscribe([this](DisplayMode mode) {
        refreshing_ = true;
        displayPicker_->setCurrentIndex(displayPicker_->findData(static_cast<int>(mode)));
        refreshing_ = false;
    }));
    subscriptions_.push_back(model_.reception().rxBytes.subscribe([this](const auto&) { refreshCounters(); }));
    subscriptions_.push_back(model_.txBytes().subscribe([this](const auto&) { refreshCounters(); }));
    subscriptions_.push_back(model_.reception().outputIsEmpty.subscribe([this](const auto&) { refreshCounters(); }));
}

void FooterBar::saveOutput()
{
    const QString suggested = qt(suggestedLogFileName(std::chrono::system_clock::now()));
    const QString target =
        QFileDialog::getSaveFileName(this, qt(L10n::Footer::save()), suggested, QStringLiteral("*.txt"));
    if (!target.isEmpty())
        model_.saveOutput(target.toStdString());
}

void FooterBar::refreshCounters()
{
    counters_->invalidate();
    saveButton_->setEnabled(!model_.reception().outputIsEmpty.value() || model_.reception().rxBytes.value() > 0);
}

} // namespace velmora

#include "app/monitor/PortSettingsView.h"

#include "app/common/Caption.h"
#include "app/common/PlatformText.h"
#include "localization/L10n.h"

#include <QComboBox>
#include <QEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace velmora {
namespace {

void select(QComboBox* picker, int raw)
{
    picker->setCurrentIndex(picker->findData(raw));
}

} // namespace

std::optional<std::int64_t> parseCustomBaud(const QString& typed)
{
    const QString text = typed.trimmed();
    qsizetype at = 0;
    bool negative = false;
    if (at < text.size() && (text[at] == u'+' || text[at] == u'-')) {
        negative = text[at] == u'-';
        ++at;
    }
    if (at == text.size())
        return std::nullopt;
    std::int64_t value = 0;
    for (; at < text.size(); ++at) {
        const char16_t digit = text[at].unicode();
        if (digit < u'0' || digit > u'9')
            return std::nullopt;
        value = value * 10 + (digit - u'0');
        // Every longer number is out of range too; stopping here also rules out overflow.
        if (value > PortSettings::maxBaudRate)
            return std::nullopt;
    }
    if (negative)
        value = -value;
    if (!PortSettings::isValidBaudRate(value))
        return std::nullopt;
    return value;
}

QString customBaudErrorText()
{
    // The minimum stays plain digits; only the maximum is grouped in the user's locale.
    return withLocaleNumbers(L10n::Settings::customBaudInvalid(PortSettings::minBaudRate, PortSettings::maxBaudRate),
        {PortSettings::maxBaudRate});
}

PortSettingsView::PortSettingsView(Session& model, QWidget* parent) : QWidget(parent), model_(model)
{
    setFixedWidth(360);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 4, 0, 4);

    auto* frame = new QGroupBox(qt(L10n::Settings::frame()), this);
    auto* form = new QFormLayout(frame);
    dataBits_ = new QComboBox(frame);
    for (const auto bits : allDataBits)
        dataBits_->addItem(QString::number(rawValue(bits)), rawValue(bits));
    parity_ = new QComboBox(frame);
    parity_->addItem(qt(L10n::Parity::none()), static_cast<int>(Parity::none));
    parity_->addItem(qt(L10n::Parity::even()), static_cast<int>(Parity::even));
    parity_->addItem(qt(L10n::Parity::odd()), static_cast<int>(Parity::odd));
    stopBits_ = new QComboBox(frame);
    for (const auto bits : allStopBits)
        stopBits_->addItem(QString::number(rawValue(bits)), rawValue(bits));
    flowControl_ = new QComboBox(frame);
    flowControl_->addItem(qt(L10n::FlowControl::none()), static_cast<int>(FlowControl::none));
    flowControl_->addItem(qt(L10n::FlowControl::rtsCts()), static_cast<int>(FlowControl::rtsCts));
    flowControl_->addItem(qt(L10n::FlowControl::xonXoff()), static_cast<int>(FlowControl::xonXoff));
    form->addRow(qt(L10n::Settings::dataBits()), dataBits_);
    form->addRow(qt(L10n::Settings::parity()), parity_);
    form->addRow(qt(L10n::Settings::stopBits()), stopBits_);
    form->addRow(qt(L10n::Settings::flowControl()), flowControl_);
    column->addWidget(frame);

    connect(dataBits_, &QComboBox::activated, this, [this](int index) {
        if (auto bits = dataBitsFromRaw(dataBits_->itemData(index).toInt()))
            model_.line().dataBits.set(*bits);
    });
    connect(parity_, &QComboBox::activated, this,
        [this](int index) { model_.line().parity.set(static_cast<Parity>(parity_->itemData(index).toInt())); });
    connect(stopBits_, &QComboBox::activated, this, [this](int index) {
        if (auto bits = stopBitsFromRaw(stopBits_->itemData(index).toInt()))
            model_.line().stopBits.set(*bits);
    });
    connect(flowControl_, &QComboBox::activated, this, [this](int index) {
        model_.line().flowControl.set(static_cast<FlowControl>(flowControl_->itemData(index).toInt()));
    });

    auto* custom = new QGroupBox(qt(L10n::Settings::customBaud()), this);
    auto* customColumn = new QVBoxLayout(custom);
    auto* customRow = new QHBoxLayout();
    customBaud_ = new QLineEdit(custom);
    customBaud_->setPlaceholderText(qt(L10n::Settings::customBaudPlaceholder()));
    customBaud_->installEventFilter(this);
    apply_ = new QPushButton(qt(L10n::Settings::apply()), custom);
    apply_->setEnabled(false);
    customRow->addWidget(customBaud_, 1);
    customRow->addWidget(apply_);
    customColumn->addLayout(customRow);
    customBaudError_ = makeErrorNote(custom);
    customBaudError_->hide();
    customColumn->addWidget(customBaudError_);
    column->addWidget(custom);

    connect(customBaud_, &QLineEdit::textChanged, this,
        [this](const QString& text) { apply_->setEnabled(!text.isEmpty()); });
    connect(customBaud_, &QLineEdit::returnPressed, this, &PortSettingsView::applyCustomBaud);
    connect(apply_, &QPushButton::clicked, this, &PortSettingsView::applyCustomBaud);

    auto* defaults = new QPushButton(qt(L10n::Settings::defaults()), this);
    connect(defaults, &QPushButton::clicked, this, [this] {
        model_.line().dataBits.set(DataBits::eight);
        model_.line().parity.set(Parity::none);
        model_.line().stopBits.set(StopBits::one);
        model_.line().flowControl.set(FlowControl::none);
    });
    column->addWidget(defaults, 0, Qt::AlignLeft);

    reopenNote_ = makeNote(qt(L10n::Settings::appliedImmediately()), this);
    column->addWidget(reopenNote_);

    const auto frameChanged = [this](const auto&) { refreshFrame(); };
    subscriptions_.push_back(model_.line().dataBits.subscribe(frameChanged));
    subscriptions_.push_back(model_.line().parity.subscribe(frameChanged));
    subscriptions_.push_back(model_.line().stopBits.subscribe(frameChanged));
    subscriptions_.push_back(model_.line().flowControl.subscribe(frameChanged));
    subscriptions_.push_back(model_.connection().state.subscribe(
        [this](ConnectionState state) { reopenNote_->setVisible(state == ConnectionState::connected); }));
}

void PortSettingsView::applyPendingCustomBaud()
{
    if (!customBaud_->text().isEmpty())
        applyCustomBaud();
}

bool PortSettingsView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == customBaud_ && event->type() == QEvent::FocusOut)
        applyPendingCustomBaud();
    return QWidget::eventFilter(watched, event);
}

void PortSettingsView::applyCustomBaud()
{
    if (const auto rate = parseCustomBaud(customBaud_->text())) {
        model_.line().baudRate.set(*rate);
        customBaud_->clear();
        customBaudError_->clear();
        customBaudError_->hide();
    } else {
        customBaudError_->setText(customBaudErrorText());
        customBaudError_->show();
    }
}

void PortSettingsView::refreshFrame()
{
    select(dataBits_, rawValue(model_.line().dataBits.value()));
    select(parity_, static_cast<int>(model_.line().parity.value()));
    select(stopBits_, rawValue(model_.line().stopBits.value()));
    select(flowControl_, static_cast<int>(model_.line().flowControl.value()));
}

} // namespace velmora

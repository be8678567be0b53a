#include "app/monitor/SendBar.h"
#include "app/common/Caption.h"
#include "app/common/Colours.h"
#include "app/common/Icons.h"
#include "app/common/PlatformText.h"
#include "app/monitor/SendOptionsMenu.h"
#include "core/send/HexParser.h"
#include "localization/L10n.h"

#include <QFontDatabase>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace velmora {

SendBar::SendBar(Session& model, QWidget* parent) : QWidget(parent), model_(model)
{
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(12, 8, 12, 8);
    column->setSpacing(4);
    auto* row = new QHBoxLayout();
    row->setSpacing(8);

    // The field and its send options share one rounded box, outlined in teal while typing.
    inputBox_ = new QFrame(this);
    inputBox_->setObjectName(QStringLiteral("inputBox"));
    auto* boxRow = new QHBoxLayout(inputBox_);
    boxRow->setContentsMargins(6, 1, 2, 1);
    boxRow->setSpacing(2);
    input_ = new QLineEdit(inputBox_);
    input_->setFrame(false);
    input_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    input_->setAccessibleName(qt(L10n::Input::send()));
    input_->installEventFilter(this);
    connect(input_, &QLineEdit::textEdited, this, [this](const QString& text) {
        const QString capped = cappedToUtf8Bytes(text, static_cast<std::size_t>(maxMessageBytes));
        if (capped != text)
            input_->setText(capped);
        model_.composer().inputText.set(capped.toStdString());
    });
    connect(input_, &QLineEdit::returnPressed, this, [this] { model_.send(); });
    boxRow->addWidget(input_, 1);
    sendOptions_ = new SendOptionsMenu(model_, inputBox_);
    boxRow->addWidget(sendOptions_);
    row->addWidget(inputBox_, 1);
    refreshInputBox();

    sendButton_ = new QPushButton(qt(L10n::Input::send()), this);
    connect(sendButton_, &QPushButton::clicked, this, [this] { model_.send(); });
    row->addWidget(sendButton_);
    column->addLayout(row);

    inputErrorRow_ = new QWidget(this);
    auto* errorRow = new QHBoxLayout(inputErrorRow_);
    errorRow->setContentsMargins(2, 0, 0, 0);
    errorRow->setSpacing(4);
    auto* errorIcon = new QLabel(inputErrorRow_);
    const int iconSide = QFontMetrics(captionFont(this)).height();
    errorIcon->setPixmap(tintedSymbolIcon("exclamationmark.triangle.fill", errorRed).pixmap(QSize(iconSide, iconSide)));
    errorRow->addWidget(errorIcon);
    inputErrorText_ = makeErrorNote(inputErrorRow_);
    errorRow->addWidget(inputErrorText_, 1);
    inputErrorRow_->hide();
    column->addWidget(inputErrorRow_);

    subscriptions_.push_back(model_.line().selectedPath.subscribe([this](const auto&) { refreshInput(); }));
    subscriptions_.push_back(model_.connection().state.subscribe([this](ConnectionState state) {
        refreshInput();
        if (state == ConnectionState::connected)
            input_->setFocus();
    }));
    subscriptions_.push_back(model_.composer().sendMode.subscribe([this](const auto&) { refreshInput(); }));
    subscriptions_.push_back(model_.composer().inputText.subscribe([this](const std::string& text) {
        const QString shown = qt(text);
        if (input_->text() != shown)
            input_->setText(shown);
        refreshInput();
    }));
}

bool SendBar::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == input_) {
        if (event->type() == QEvent::KeyPress) {
            const auto key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Up || key == Qt::Key_Down) {
                if (key == Qt::Key_Up)
                    model_.composer().historyUp();
                else
                    model_.composer().historyDown();
                return true;
            }
        } else if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
            refreshInputBox();
        }
    }
    return QWidget::eventFilter(watched, event);
}

void SendBar::refreshInput()
{
    const auto state = model_.connection().state.value();
    const bool hex = model_.composer().sendMode.value() == SendMode::hex;
    std::string port = model_.line().selectedPath.value();
    if (auto info = model_.selectedPortInfo())
        port = info->displayName();
    switch (state) {
    case ConnectionState::connected:
        input_->setPlaceholderText(qt(hex ? L10n::Send::promptHex(port) : L10n::Input::promptConnected(port)));
        break;
    case ConnectionState::waitingForDevice:
        input_->setPlaceholderText(qt(L10n::Input::promptWaiting()));
        break;
    case ConnectionState::disconnected:
        input_->setPlaceholderText(qt(L10n::Input::promptDisconnected()));
        break;
    }
    const auto error = model_.composer().hexInputError();
    sendButton_->setEnabled(state == ConnectionState::connected && !error);
    const bool showError = error && !model_.composer().inputText.value().empty();
    inputErrorText_->setText(showError ? qt(*error) : QString());
    inputErrorRow_->setVisible(showError);
}

void SendBar::refreshInputBox()
{
    QColor outline = palette().color(QPalette::Mid);
    if (input_ && input_->hasFocus()) {
        outline = accentTeal;
        outline.setAlphaF(0.7f);
    }
    inputBox_->setStyleSheet(
        QStringLiteral("QFrame#inputBox { background: palette(base); border: 1px solid %1; border-radius: 6px; }")
            .arg(outline.name(QColor::HexArgb)));
}

} // namespace velmora

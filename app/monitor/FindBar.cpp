#include "app/monitor/FindBar.h"

#include "app/common/Icons.h"
#include "app/monitor/OutputTextView.h"
#include "localization/L10n.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

namespace velmora {
namespace {

QToolButton* makeButton(std::string_view symbol, const std::string& tip, QWidget* parent)
{
    auto* button = new QToolButton(parent);
    button->setIcon(symbolIcon(symbol));
    button->setToolTip(QString::fromStdString(tip));
    button->setAccessibleName(QString::fromStdString(tip));
    button->setAutoRaise(true);
    return button;
}

} // namespace

FindBar::FindBar(OutputTextView& view, QWidget* parent) : QWidget(parent), view_(view)
{
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(12, 4, 12, 4);
    row->setSpacing(6);

    auto* glass = new QLabel(this);
    glass->setPixmap(symbolIcon("magnifyingglass").pixmap(16, 16));
    row->addWidget(glass);

    field_ = new QLineEdit(this);
    field_->setPlaceholderText(QString::fromStdString(L10n::Find::placeholder()));
    field_->setAccessibleName(QString::fromStdString(L10n::Find::placeholder()));
    field_->setClearButtonEnabled(true);
    field_->setMaximumWidth(320);
    field_->installEventFilter(this);
    connect(field_, &QLineEdit::textChanged, this,
        [this](const QString& text) { searched(text.isEmpty() || view_.findFromSelectionStart(text)); });
    row->addWidget(field_, 1);

    previous_ = makeButton("chevron.up", L10n::Find::previous(), this);
    connect(previous_, &QToolButton::clicked, this, &FindBar::findPrevious);
    row->addWidget(previous_);
    next_ = makeButton("chevron.down", L10n::Find::next(), this);
    connect(next_, &QToolButton::clicked, this, &FindBar::findNext);
    row->addWidget(next_);

    status_ = new QLabel(this);
    row->addWidget(status_);
    row->addStretch(1);

    auto* closeButton = makeButton("xmark", L10n::Find::close(), this);
    connect(closeButton, &QToolButton::clicked, this, &FindBar::close);
    row->addWidget(closeButton);
    hide();
}

void FindBar::open()
{
    show();
    field_->setFocus(Qt::ShortcutFocusReason);
    field_->selectAll();
}

void FindBar::close()
{
    hide();
    view_.setFocus(Qt::OtherFocusReason);
}

QString FindBar::text() const
{
    return field_->text();
}

void FindBar::setText(const QString& text)
{
    field_->setText(text);
}

QString FindBar::status() const
{
    return status_->text();
}

void FindBar::findNext()
{
    if (!field_->text().isEmpty())
        searched(view_.find(field_->text(), false));
}

void FindBar::findPrevious()
{
    if (!field_->text().isEmpty())
        searched(view_.find(field_->text(), true));
}

void FindBar::searched(bool found)
{
    status_->setText(found ? QString() : QString::fromStdString(L10n::Find::noMatches()));
}

bool FindBar::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == field_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape) {
            close();
            return true;
        }
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            if (key->modifiers() & Qt::ShiftModifier)
                findPrevious();
            else
                findNext();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace velmora

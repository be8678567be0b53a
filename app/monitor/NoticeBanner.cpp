#include "app/monitor/NoticeBanner.h"

#include "app/common/Icons.h"
#include "localization/L10n.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QToolButton>

#include <utility>

namespace velmora {
namespace {

// Room around the panel for its shadow; the panel itself is drawn inside.
constexpr int shadowMargin = 6;
constexpr qreal cornerRadius = 10;
constexpr int iconSize = 18;

} // namespace

NoticeBanner::NoticeBanner(std::string symbol, QColor tint, QWidget* parent)
    : QWidget(parent), symbol_(std::move(symbol)), tint_(tint)
{
    setMaximumWidth(widest);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(shadowMargin + 12, shadowMargin + 8, shadowMargin + 8, shadowMargin + 8);
    row->setSpacing(10);

    icon_ = new QLabel(this);
    icon_->setFixedSize(iconSize, iconSize);
    row->addWidget(icon_, 0, Qt::AlignTop);

    text_ = new QLabel(this);
    text_->setWordWrap(true);
    text_->setTextFormat(Qt::PlainText);
    text_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    row->addWidget(text_, 1);

    actions_ = new QHBoxLayout();
    actions_->setSpacing(6);
    row->addLayout(actions_);

    dismiss_ = new QToolButton(this);
    dismiss_->setAutoRaise(true);
    dismiss_->setIcon(symbolIcon("xmark"));
    dismiss_->setIconSize(QSize(12, 12));
    dismiss_->setToolTip(QString::fromStdString(L10n::Notice::dismiss()));
    dismiss_->setAccessibleName(dismiss_->toolTip());
    connect(dismiss_, &QToolButton::clicked, this, [this] {
        if (onDismiss)
            onDismiss();
    });
    row->addWidget(dismiss_, 0, Qt::AlignTop);

    setTint(tint);
}

void NoticeBanner::setTint(QColor tint)
{
    tint_ = tint;
    icon_->setPixmap(tintedSymbolIcon(symbol_, tint_).pixmap(QSize(iconSize, iconSize)));
    update();
}

QString NoticeBanner::text() const
{
    return text_->text();
}

void NoticeBanner::setText(const QString& text)
{
    text_->setText(text);
}

void NoticeBanner::setActions(std::vector<Action> actions)
{
    // The click that asked for new actions may still be running inside one of the old buttons.
    while (QLayoutItem* item = actions_->takeAt(0)) {
        if (QWidget* button = item->widget()) {
            button->hide();
            button->deleteLater();
        }
        delete item;
    }
    for (Action& action : actions) {
        auto* button = new QPushButton(action.title, this);
        connect(button, &QPushButton::clicked, this, [trigger = std::move(action.onTrigger)] {
            if (trigger)
                trigger();
        });
        actions_->addWidget(button);
    }
}

void NoticeBanner::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF panel = QRectF(rect()).adjusted(shadowMargin, shadowMargin, -shadowMargin, -shadowMargin);

    // A soft shadow: rings fading outwards, together about 8 % black, a little lower than the panel.
    painter.setPen(Qt::NoPen);
    for (int ring = shadowMargin; ring > 0; --ring) {
        const qreal spread = ring;
        painter.setBrush(QColor(0, 0, 0, 4));
        painter.drawRoundedRect(
            panel.adjusted(-spread, -spread + 2, spread, spread + 2), cornerRadius + spread, cornerRadius + spread);
    }

    // The material: the window colour, nearly opaque, so the text below only just shows.
    QColor material = palette().color(QPalette::Window);
    material.setAlphaF(0.96f);
    QColor outline = tint_;
    outline.setAlphaF(0.35f);
    painter.setBrush(material);
    painter.setPen(QPen(outline, 1));
    painter.drawRoundedRect(panel.adjusted(0.5, 0.5, -0.5, -0.5), cornerRadius, cornerRadius);
}

} // namespace velmora

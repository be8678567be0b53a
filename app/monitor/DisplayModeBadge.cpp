
#include "app/monitor/DisplayModeBadge.h"
#include "app/common/Colours.h"
#include "app/common/Icons.h"
#include "app/common/PlatformText.h"
#include "localization/L10n.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>

namespace velmora {
namespace {

constexpr int badgeIconSize = 14;

QLabel* addLabel(QWidget* parent, QHBoxLayout* row)
{
    auto* label = new QLabel(parent);
    // The whole capsule is the button: its parts must not take the clicks.
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    label->setTextFormat(Qt::PlainText);
    row->addWidget(label);
    return label;
}

} // namespace

QString displayModeName(DisplayMode mode)
{
    switch (mode) {
    case DisplayMode::text:
        return QString::fromStdString(L10n::Display::text());
    case DisplayMode::hex:
        return QString::fromStdString(L10n::Display::hex());
    case DisplayMode::hexDump:
        return QString::fromStdString(L10n::Display::hexDump());
    case DisplayMode::decimal:
        return QString::fromStdString(L10n::Display::decimal());
    case DisplayMode::binary:
        return QString::fromStdString(L10n::Display::binary());
    case DisplayMode::asciiEscaped:
        return QString::fromStdString(L10n::Display::asciiEscaped());
    }
    return {};
}

DisplayModeBadge::DisplayModeBadge(QWidget* parent) : QAbstractButton(parent)
{
    QFont caption = font();
    if (caption.pointSizeF() > 0)
        caption.setPointSizeF(caption.pointSizeF() * 0.9);
    setFont(caption);
    setCursor(Qt::PointingHandCursor);
    setToolTip(platformText(L10n::Notice::backToTextHelp()));
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(10, 5, 10, 5);
    row->setSpacing(6);
    icon_ = addLabel(this, row);
    icon_->setFixedSize(badgeIconSize, badgeIconSize);
    name_ = addLabel(this, row);
    QFont medium = caption;
    medium.setWeight(QFont::Medium);
    name_->setFont(medium);
    separator_ = addLabel(this, row);
    separator_->setText(QStringLiteral("·"));
    backToText_ = addLabel(this, row);
    backToText_->setText(QString::fromStdString(L10n::Notice::backToText()));

    connect(this, &QAbstractButton::clicked, this, [this] {
        if (switchToText)
            switchToText();
    });
    refreshColours();
    setMode(DisplayMode::hex);
}

void DisplayModeBadge::setMode(DisplayMode mode)
{
    mode_ = mode;
    name_->setText(displayModeName(mode));
    setAccessibleName(name_->text() + QStringLiteral(" · ") + backToText_->text());
    updateGeometry();
}

void DisplayModeBadge::refreshColours()
{
    icon_->setPixmap(
        tintedSymbolIcon("eye", palette().color(QPalette::WindowText)).pixmap(QSize(badgeIconSize, badgeIconSize)));
    QPalette secondary = backToText_->palette();
    secondary.setColor(QPalette::WindowText, palette().color(QPalette::PlaceholderText));
    backToText_->setPalette(secondary);
}

void DisplayModeBadge::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::PaletteChange)
        refreshColours();
    QAbstractButton::changeEvent(event);
}

void DisplayModeBadge::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF capsule = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QColor material = palette().color(QPalette::Window);
    material.setAlphaF(0.94f);
    if (isDown())
        material = material.darker(110);
    QColor outline = accentTeal;
    outline.setAlphaF(0.5f);
    painter.setBrush(material);
    painter.setPen(QPen(outline, 1));
    painter.drawRoundedRect(capsule, capsule.height() / 2, capsule.height() / 2);
    if (hasFocus()) {
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(palette().color(QPalette::Highlight), 1.5));
        painter.drawRoundedRect(
            capsule.adjusted(1.5, 1.5, -1.5, -1.5), capsule.height() / 2 - 1.5, capsule.height() / 2 - 1.5);
    }
}

} // namespace velmora

#include "app/monitor/EmptyOutputView.h"

#include "app/common/Colours.h"
#include "app/common/Icons.h"
#include "app/common/PlatformText.h"
#include "localization/L10n.h"

#include <QEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace velmora {
namespace {

constexpr int iconSize = 44;
constexpr int messageWidth = 380;

} // namespace

EmptyOutputView::EmptyOutputView(Session& model, QWidget* parent) : QWidget(parent), model_(model)
{
    auto* column = new QVBoxLayout(this);
    column->setSpacing(10);
    column->setAlignment(Qt::AlignCenter);

    icon_ = new QLabel(this);
    icon_->setFixedSize(iconSize, iconSize);
    column->addWidget(icon_, 0, Qt::AlignHCenter);

    title_ = new QLabel(this);
    QFont titleFont = title_->font();
    if (titleFont.pointSizeF() > 0)
        titleFont.setPointSizeF(titleFont.pointSizeF() * 1.5);
    titleFont.setWeight(QFont::Medium);
    title_->setFont(titleFont);
    title_->setAlignment(Qt::AlignCenter);
    column->addWidget(title_, 0, Qt::AlignHCenter);

    message_ = new QLabel(this);
    message_->setWordWrap(true);
    message_->setAlignment(Qt::AlignCenter);
    // A fixed width, so that the layout asks the wrapped text for its height at that width; with
    // only a maximum it would size the label for one long line and cut the wrapped ones.
    message_->setFixedWidth(messageWidth);
    column->addWidget(message_, 0, Qt::AlignHCenter);

    connect_ = new QPushButton(this);
    connect_->setIcon(tintedSymbolIcon("play.fill", Qt::white));
    connect_->setCursor(Qt::PointingHandCursor);
    connect_->setStyleSheet(
        QStringLiteral("QPushButton { background-color: %1; color: white; border: none; border-radius: 8px;"
                       " padding: 8px 20px; font-size: 11pt; }"
                       "QPushButton:hover { background-color: %2; }"
                       "QPushButton:pressed { background-color: %3; }")
            .arg(accentTeal.name(), accentTeal.darker(118).name(), accentTeal.darker(143).name()));
    QObject::connect(connect_, &QPushButton::clicked, this, [this] { model_.connect(); });
    column->addSpacing(6);
    column->addWidget(connect_, 0, Qt::AlignHCenter);

    refreshColours();
    subscriptions_.push_back(model_.connection().ports.subscribe([this](const auto&) { refresh(); }));
    subscriptions_.push_back(model_.line().selectedPath.subscribe([this](const auto&) { refresh(); }));
}

QString EmptyOutputView::title() const
{
    return title_->text();
}

QString EmptyOutputView::message() const
{
    return message_->text();
}

void EmptyOutputView::refresh()
{
    const auto& ports = model_.connection().ports.value();
    // Bluetooth and built-in ports have no vendor id: they are not the board the user expects.
    const bool anyUsb =
        std::any_of(ports.begin(), ports.end(), [](const SerialPortInfo& port) { return port.vendorID.has_value(); });
    title_->setText(qt(anyUsb ? L10n::Notice::emptyTitle() : L10n::Notice::emptyNoDevice()));
    message_->setText(platformText(anyUsb ? L10n::Notice::emptySteps() : L10n::Notice::emptyNoDeviceSteps()));

    const bool canConnect = !model_.line().selectedPath.value().empty() && model_.selectedPortInfo().has_value();
    if (canConnect)
        connect_->setText(qt(L10n::Notice::connectTo(model_.title())));
    connect_->setVisible(canConnect);
}

void EmptyOutputView::refreshColours()
{
    const QColor secondary = palette().color(QPalette::PlaceholderText);
    icon_->setPixmap(tintedSymbolIcon("cable.connector.horizontal", secondary).pixmap(QSize(iconSize, iconSize)));
    QPalette messagePalette = message_->palette();
    messagePalette.setColor(QPalette::WindowText, secondary);
    message_->setPalette(messagePalette);
}

void EmptyOutputView::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::PaletteChange)
        refreshColours();
    QWidget::changeEvent(event);
}

} // namespace velmora

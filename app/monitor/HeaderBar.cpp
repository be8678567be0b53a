#include "app/monitor/HeaderBar.h"
#include "app/common/Colours.h"
#include "app/common/Icons.h"
#include "app/common/PlatformText.h"
#include "app/monitor/ModemLinesMenu.h"
#include "app/monitor/PortSettingsButton.h"
#include "localization/L10n.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>

#include <algorithm>
#include <array>

namespace velmora {
namespace {

constexpr std::array<std::int64_t, 20> standardBaudRates{300, 1200, 2400, 4800, 9600, 14400, 19200, 28800, 31250, 38400,
    57600, 74880, 115200, 230400, 250000, 460800, 500000, 921600, 1000000, 2000000};

// Flat white-on-teal buttons for the header's tool buttons; a checked one is lit.
const QString headerToolStyle = QStringLiteral(
    "QToolButton { color: white; border: 1px solid transparent; border-radius: 5px; padding: 3px 7px; }"
    "QToolButton:hover { background: rgba(255,255,255,38); }"
    "QToolButton:checked, QToolButton:pressed { background: rgba(255,255,255,64); border-color: rgba(255,255,255,90); }"
    "QToolButton:disabled { color: rgba(255,255,255,120); }");

QString connectButtonStyle(bool disconnected)
{
    // Translucent white while it connects, orange once it would disconnect. The bar is teal in
    // light and dark themes alike, so the orange is the same in both.
    const QString fill = disconnected ? QStringLiteral("rgba(255,255,255,64)") : systemOrange.name();
    const QString pressed = disconnected ? QStringLiteral("rgba(255,255,255,100)") : systemOrange.darker(120).name();
    return QStringLiteral("QPushButton { color: white; background: %1; border: 1px solid rgba(255,255,255,90);"
                          " border-radius: 6px; padding: 4px 12px; font-weight: 600; }"
                          "QPushButton:pressed { background: %2; }"
                          "QPushButton:disabled { color: rgba(255,255,255,110); background: rgba(255,255,255,30); }")
        .arg(fill, pressed);
}

} // namespace

HeaderBar::HeaderBar(Session& model, QWidget* parent) : QWidget(parent), model_(model)
{
    setObjectName(QStringLiteral("header"));
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, accentTeal);
    colours.setColor(QPalette::WindowText, Qt::white);
    setPalette(colours);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(12, 8, 12, 8);
    row->setSpacing(10);

    portPicker_ = new QComboBox(this);
    portPicker_->setToolTip(qt(L10n::Header::port()));
    portPicker_->setAccessibleName(qt(L10n::Header::port()));
    portPicker_->setMinimumWidth(150);
    portPicker_->setMaximumWidth(380);
    portPicker_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    connect(portPicker_, &QComboBox::activated, this, [this](int index) {
        if (!refreshing_)
            model_.line().selectedPath.set(portPicker_->itemData(index).toString().toStdString());
    });
    row->addWidget(portPicker_);

    baudPicker_ = new QComboBox(this);
    baudPicker_->setToolTip(qt(L10n::Header::baudRate()));
    baudPicker_->setAccessibleName(qt(L10n::Header::baudRate()));
    baudPicker_->setFixedWidth(124);
    connect(baudPicker_, &QComboBox::activated, this, [this](int index) {
        if (!refreshing_)
            model_.line().baudRate.set(baudPicker_->itemData(index).toLongLong());
    });
    row->addWidget(baudPicker_);

    portSettings_ = new PortSettingsButton(model_, this);
    portSettings_->setIcon(tintedSymbolIcon("slider.horizontal.3", Qt::white));
    portSettings_->setStyleSheet(headerToolStyle);
    row->addWidget(portSettings_);

    modemLines_ = new ModemLinesMenu(model_, this);
    row->addWidget(modemLines_);

    plotterButton_ = new QToolButton(this);
    plotterButton_->setCheckable(true);
    plotterButton_->setText(qt(L10n::Plotter::title()));
    plotterButton_->setIcon(tintedSymbolIcon("chart.xyaxis.line", Qt::white));
    plotterButton_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    plotterButton_->setToolTip(platformText(L10n::Plotter::toggleHelp()));
    plotterButton_->setStyleSheet(headerToolStyle);
    connect(plotterButton_, &QToolButton::toggled, this, [this](bool on) {
        if (!refreshing_)
            model_.display().showPlotter.set(on);
    });
    row->addWidget(plotterButton_);
    row->addStretch(1);

    statusDot_ = new QLabel(this);
    statusDot_->setFixedSize(10, 10);
    row->addWidget(statusDot_);

    connectButton_ = new QPushButton(this);
    connectButton_->setMinimumWidth(92);
    connectButton_->setCursor(Qt::PointingHandCursor);
    connect(connectButton_, &QPushButton::clicked, this, [this] {
        if (model_.connection().state.value() == ConnectionState::disconnected)
            model_.connect();
        else
            model_.disconnect();
    });
    row->addWidget(connectButton_);

    subscriptions_.push_back(model_.connection().ports.subscribe([this](const auto&) { refreshPortPicker(); }));
    subscriptions_.push_back(model_.line().selectedPath.subscribe([this](const auto&) {
        refreshPortPicker();
        refreshConnection();
    }));
    subscriptions_.push_back(model_.line().baudRate.subscribe([this](const auto&) { refreshBaudPicker(); }));
    subscriptions_.push_back(model_.connection().state.subscribe([this](const auto&) {
        refreshConnection();
        refreshPortPicker();
    }));
    subscriptions_.push_back(model_.display().showPlotter.subscribe([this](bool shown) {
        refreshing_ = true;
        plotterButton_->setChecked(shown);
        refreshing_ = false;
    }));
}

void HeaderBar::refreshPortPicker()
{
    const auto& ports = model_.connection().ports.value();
    const auto& selected = model_.line().selectedPath.value();
    refreshing_ = true;
    portPicker_->clear();
    if (ports.empty())
        portPicker_->addItem(qt(L10n::Header::noPortsFound()), QString());
    else if (selected.empty())
        portPicker_->addItem(qt(L10n::Header::choosePort()), QString());
    const bool listed =
        std::any_of(ports.begin(), ports.end(), [&](const auto& port) { return port.path == selected; });
    if (!selected.empty() && !listed)
        portPicker_->addItem(qt(L10n::Header::portNotConnected(selected)), qt(selected));
    for (const auto& port : ports) {
        const std::string title = model_.isHeldByAnotherSession(port.path)
            ? L10n::Header::portInUseInOtherTab(port.menuTitle())
            : port.menuTitle();
        portPicker_->addItem(qt(title), qt(port.path));
    }
    portPicker_->setCurrentIndex(std::max(0, portPicker_->findData(qt(selected))));
    refreshing_ = false;
}

void HeaderBar::refreshBaudPicker()
{
    std::vector<std::int64_t> rates(standardBaudRates.begin(), standardBaudRates.end());
    const auto current = model_.line().baudRate.value();
    if (std::find(rates.begin(), rates.end(), current) == rates.end()) {
        rates.push_back(current);
        std::sort(rates.begin(), rates.end());
    }
    refreshing_ = true;
    baudPicker_->clear();
    for (const auto rate : rates)
        baudPicker_->addItem(qt(L10n::Header::baud(rate)), QVariant::fromValue<qlonglong>(rate));
    baudPicker_->setCurrentIndex(baudPicker_->findData(QVariant::fromValue<qlonglong>(current)));
    refreshing_ = false;
}

void HeaderBar::refreshConnection()
{
    const auto state = model_.connection().state.value();
    QColor colour;
    QString name;
    switch (state) {
    case ConnectionState::connected:
        colour = connectedGreen;
        name = qt(L10n::State::connected());
        break;
    case ConnectionState::waitingForDevice:
        colour = waitingYellow;
        name = qt(L10n::State::waiting());
        break;
    case ConnectionState::disconnected:
        colour = disconnectedGray;
        name = qt(L10n::State::disconnected());
        break;
    }
    statusDot_->setStyleSheet(
        QStringLiteral("background: %1; border-radius: 5px; border: 1px solid rgba(255,255,255,153);")
            .arg(colour.name().toUpper()));
    statusDot_->setToolTip(name);
    statusDot_->setAccessibleName(name);

    const bool disconnected = state == ConnectionState::disconnected;
    connectButton_->setText(qt(disconnected ? L10n::Header::connect() : L10n::Header::disconnect()));
    connectButton_->setIcon(tintedSymbolIcon(disconnected ? "play.fill" : "stop.fill", Qt::white));
    connectButton_->setToolTip(
        platformText(disconnected ? L10n::Header::connectHelp() : L10n::Header::disconnectHelp()));
    connectButton_->setStyleSheet(connectButtonStyle(disconnected));
    connectButton_->setEnabled(!disconnected || !model_.line().selectedPath.value().empty());
}

} // namespace velmora

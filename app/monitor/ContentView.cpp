
#include "app/common/Caption.h"
#include "app/common/Colours.h"
#include "app/common/Icons.h"
#include "app/common/PlatformText.h"
#include "app/monitor/ContentView.h"
#include "app/monitor/CountersText.h"
#include "app/monitor/DisplayModeBadge.h"
#include "app/monitor/DisplayOptionsButton.h"
#include "app/monitor/FindBar.h"
#include "app/monitor/ModemLinesMenu.h"
#include "app/monitor/OutputOverlays.h"
#include "app/monitor/OutputTextView.h"
#include "app/monitor/PortSettingsButton.h"
#include "app/monitor/SendOptionsMenu.h"
#include "app/plot/PlotterView.h"
#include "core/send/HexParser.h"
#include "core/session/OutputSaver.h"
#include "localization/L10n.h"

#include <QComboBox>
#include <QFileDialog>
#include <QFontDatabase>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSplitter>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <array>
#include <chrono>

namespace velmora {
namespace {

constexpr std::array<std::int64_t, 20> standardBaudRates{300, 1200, 2400, 4800, 9600, 14400, 19200, 28800, 31250,
    38400, 57600, 74880, 115200, 230400, 250000, 460800, 500000, 921600, 1000000, 2000000};

const QColor warningRed(0xD7, 0x37, 0x2F);

constexpr int plotterMinimumHeight = 160;
constexpr int plotterDefaultHeight = 280;
constexpr int outputMinimumHeight = 120;

// Flat white-on-teal buttons for the header's tool buttons; a checked one is lit.
const QString headerToolStyle = QStringLiteral(
    "QToolButton { color: white; border: 1px solid transparent; border-radius: 5px; padding: 3px 7px; }"
    "QToolButton:hover { background: rgba(255,255,255,38); }"
    "QToolButton:checked, QToolButton:pressed { background: rgba(255,255,255,64); border-color: rgba(255,255,255,90); }"
    "QToolButton:disabled { color: rgba(255,255,255,120); }");

QString connectButtonStyle(bool disconnected)
{
    // Translucent white while it connects, orange once it would disconnect.
    const QString fill = disconnected ? QStringLiteral("rgba(255,255,255,64)") : QStringLiteral("#F08A00");
    const QString pressed = disconnected ? QStringLiteral("rgba(255,255,255,100)") : QStringLiteral("#C97400");
    return QStringLiteral("QPushButton { color: white; background: %1; border: 1px solid rgba(255,255,255,90);"
                          " border-radius: 6px; padding: 4px 12px; font-weight: 600; }"
                          "QPushButton:pressed { background: %2; }"
                          "QPushButton:disabled { color: rgba(255,255,255,110); background: rgba(255,255,255,30); }")
        .arg(fill, pressed);
}

} // namespace

ContentView::ContentView(std::shared_ptr<VelmoraModel> model, QWidget* parent) : QWidget(parent), model_(std::move(model))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(buildHeader());
    layout->addWidget(buildSendBar());
    auto* above = new QFrame(this);
    above->setFrameShape(QFrame::HLine);
    above->setFrameShadow(QFrame::Sunken);
    layout->addWidget(above);
    layout->addWidget(buildMainArea(), 1);
    auto* below = new QFrame(this);
    below->setFrameShape(QFrame::HLine);
    below->setFrameShadow(QFrame::Sunken);
    layout->addWidget(below);
    layout->addWidget(buildFooter());
    setMinimumSize(860, 380);

    auto& m = *model_;
    subscriptions_.push_back(m.ports().subscribe([this](const auto&) {
        refreshPortPicker();
        emit titleChanged();
    }));
    subscriptions_.push_back(m.selectedPath().subscribe([this](const auto&) {
        refreshPortPicker();
        refreshConnection();
        refreshInput();
        emit titleChanged();
    }));
    subscriptions_.push_back(m.baudRate().subscribe([this](const auto&) {
        refreshBaudPicker();
        emit titleChanged();
    }));
    subscriptions_.push_back(m.state().subscribe([this](ConnectionState state) {
        refreshConnection();
        refreshPortPicker();
        refreshInput();
        if (state == ConnectionState::connected)
            input_->setFocus();
        emit titleChanged();
    }));
    subscriptions_.push_back(m.sendMode().subscribe([this](const auto&) { refreshInput(); }));
    subscriptions_.push_back(m.inputText().subscribe([this](const std::string& text) {
        const QString shown = qt(text);
        if (input_->text() != shown)
            input_->setText(shown);
        refreshInput();
    }));
    subscriptions_.push_back(m.displayMode().subscribe([this](const auto&) { refreshDisplayPicker(); }));
    subscriptions_.push_back(m.showPlotter().subscribe([this](const auto&) { refreshPlotter(); }));
    subscriptions_.push_back(m.rxBytes().subscribe([this](const auto&) { refreshCounters(); }));
    subscriptions_.push_back(m.txBytes().subscribe([this](const auto&) { refreshCounters(); }));
    subscriptions_.push_back(m.outputIsEmpty().subscribe([this](const auto&) { refreshCounters(); }));
    subscriptions_.push_back(m.errorMessage().subscribe([this](const std::optional<std::string>& message) {
        if (message)
            showError(*message);
    }));
}

ContentView::~ContentView()
{
    model_->output().onScrollToEnd = nullptr;
    // The children observe the session and its stores: they must go before it does, and QWidget
    // would delete them only after this class's members, the session among them, are gone.
    qDeleteAll(findChildren<QWidget*>(Qt::FindDirectChildrenOnly));
}

QString ContentView::windowTitleText() const
{
    QString state;
    switch (model_->state().value()) {
    case ConnectionState::connected: state = qt(L10n::Header::baud(model_->baudRate().value()) + " · " + L10n::State::connected()); break;
    case ConnectionState::waitingForDevice: state = qt(L10n::State::waiting()); break;
    case ConnectionState::disconnected: state = qt(L10n::State::disconnected()); break;
    }
    return qt(model_->title()) + QStringLiteral(" – ") + state;
}

QWidget* ContentView::buildHeader()
{
    auto* header = new QWidget(this);
    header->setObjectName(QStringLiteral("header"));
    header->setAutoFillBackground(true);
    QPalette palette = header->palette();
    palette.setColor(QPalette::Window, accentTeal);
    palette.setColor(QPalette::WindowText, Qt::white);
    header->setPalette(palette);
    auto* row = new QHBoxLayout(header);
    row->setContentsMargins(12, 8, 12, 8);
    row->setSpacing(10);

    portPicker_ = new QComboBox(header);
    portPicker_->setToolTip(qt(L10n::Header::port()));
    portPicker_->setAccessibleName(qt(L10n::Header::port()));
    portPicker_->setMinimumWidth(150);
    portPicker_->setMaximumWidth(380);
    portPicker_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    connect(portPicker_, &QComboBox::activated, this, [this](int index) {
        if (!refreshing_)
            model_->setSelectedPath(portPicker_->itemData(index).toString().toStdString());
    });
    row->addWidget(portPicker_);

    baudPicker_ = new QComboBox(header);
    baudPicker_->setToolTip(qt(L10n::Header::baudRate()));
    baudPicker_->setAccessibleName(qt(L10n::Header::baudRate()));
    baudPicker_->setFixedWidth(124);
    connect(baudPicker_, &QComboBox::activated, this, [this](int index) {
        if (!refreshing_)
            model_->setBaudRate(baudPicker_->itemData(index).toLongLong());
    });
    row->addWidget(baudPicker_);

    portSettings_ = new PortSettingsButton(*model_, header);
    portSettings_->setIcon(tintedSymbolIcon("slider.horizontal.3", Qt::white));
    portSettings_->setStyleSheet(headerToolStyle);
    row->addWidget(portSettings_);

    modemLines_ = new ModemLinesMenu(*model_, header);
    row->addWidget(modemLines_);

    plotterButton_ = new QToolButton(header);
    plotterButton_->setCheckable(true);
    plotterButton_->setText(qt(L10n::Plotter::title()));
    plotterButton_->setIcon(tintedSymbolIcon("chart.xyaxis.line", Qt::white));
    plotterButton_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    plotterButton_->setToolTip(platformText(L10n::Plotter::toggleHelp()));
    plotterButton_->setStyleSheet(headerToolStyle);
    connect(plotterButton_, &QToolButton::toggled, this, [this](bool on) {
        if (!refreshing_)
            model_->setShowPlotter(on);
    });
    row->addWidget(plotterButton_);
    row->addStretch(1);

    statusDot_ = new QLabel(header);
    statusDot_->setFixedSize(10, 10);
    row->addWidget(statusDot_);

    connectButton_ = new QPushButton(header);
    connectButton_->setMinimumWidth(92);
    connectButton_->setCursor(Qt::PointingHandCursor);
    connect(connectButton_, &QPushButton::clicked, this, [this] {
        if (model_->state().value() == ConnectionState::disconnected)
            model_->connect();
        else
            model_->disconnect();
    });
    row->addWidget(connectButton_);
    return header;
}

QWidget* ContentView::buildSendBar()
{
    auto* bar = new QWidget(this);
    auto* column = new QVBoxLayout(bar);
    column->setContentsMargins(12, 8, 12, 8);
    column->setSpacing(4);
    auto* row = new QHBoxLayout();
    row->setSpacing(8);

    // The field and its send options share one rounded box, outlined in teal while typing.
    inputBox_ = new QFrame(bar);
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
        model_->setInputText(capped.toStdString());
    });
    connect(input_, &QLineEdit::returnPressed, this, [this] { model_->send(); });
    boxRow->addWidget(input_, 1);
    sendOptions_ = new SendOptionsMenu(*model_, inputBox_);
    boxRow->addWidget(sendOptions_);
    row->addWidget(inputBox_, 1);
    refreshInputBox();

    sendButton_ = new QPushButton(qt(L10n::Input::send()), bar);
    connect(sendButton_, &QPushButton::clicked, this, [this] { model_->send(); });
    row->addWidget(sendButton_);
    column->addLayout(row);

    inputErrorRow_ = new QWidget(bar);
    auto* errorRow = new QHBoxLayout(inputErrorRow_);
    errorRow->setContentsMargins(2, 0, 0, 0);
    errorRow->setSpacing(4);
    auto* errorIcon = new QLabel(inputErrorRow_);
    const int iconSide = QFontMetrics(captionFont(this)).height();
    errorIcon->setPixmap(tintedSymbolIcon("exclamationmark.triangle.fill", warningRed).pixmap(QSize(iconSide, iconSide)));
    errorRow->addWidget(errorIcon);
    inputErrorText_ = makeErrorNote(inputErrorRow_);
    errorRow->addWidget(inputErrorText_, 1);
    inputErrorRow_->hide();
    column->addWidget(inputErrorRow_);
    return bar;
}

QWidget* ContentView::buildMainArea()
{
    // The view draws the session's own store, which must be the indexed in-memory one.
    auto* store = dynamic_cast<InMemoryTextStore*>(&model_->output().storage());
    if (!store)
        qFatal("ContentView: the session's output store is not an InMemoryTextStore");

    plotterArea_ = new PlotterView(model_->plot(), this);
    plotterArea_->setMinimumHeight(plotterMinimumHeight);

    auto* area = new QWidget(this);
    area->setMinimumHeight(outputMinimumHeight);
    auto* column = new QVBoxLayout(area);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    output_ = new OutputTextView(*store, area);
    findBar_ = new FindBar(*output_, area);
    column->addWidget(findBar_);
    column->addWidget(output_, 1);
    overlays_ = new OutputOverlays(*model_, output_);
    model_->output().onScrollToEnd = [this] { output_->scrollToEnd(); };

    splitter_ = new QSplitter(Qt::Vertical, this);
    splitter_->setChildrenCollapsible(false);
    splitter_->addWidget(plotterArea_);
    splitter_->addWidget(area);
    splitter_->setStretchFactor(0, 0);
    splitter_->setStretchFactor(1, 1);
    plotterArea_->hide();
    return splitter_;
}

QWidget* ContentView::buildFooter()
{
    auto* footer = new QWidget(this);
    auto* row = new QHBoxLayout(footer);
    row->setContentsMargins(12, 5, 12, 5);
    row->setSpacing(8);

    displayPicker_ = new QComboBox(footer);
    displayPicker_->setFixedWidth(160);
    displayPicker_->setToolTip(qt(L10n::Display::modeHelp()));
    displayPicker_->setAccessibleName(qt(L10n::Display::mode()));
    for (const auto mode : allDisplayModes)
        displayPicker_->addItem(displayModeName(mode), static_cast<int>(mode));
    connect(displayPicker_, &QComboBox::activated, this, [this](int index) {
        if (!refreshing_)
            model_->setDisplayMode(static_cast<DisplayMode>(displayPicker_->itemData(index).toInt()));
    });
    row->addWidget(displayPicker_);

    displayOptions_ = new DisplayOptionsButton(*model_, footer);
    row->addWidget(displayOptions_);
    row->addStretch(1);

    counters_ = new CountersText(footer);
    const auto countersText = [](std::int64_t rx, std::int64_t tx) {
        return withLocaleNumbers(L10n::Footer::counters(rx, tx), {rx, tx});
    };
    counters_->setSource([this, countersText] { return countersText(model_->rxBytes().value(), model_->txBytes().value()); });
    // The counters change with the output: they repaint in the output's frames.
    connect(output_, &OutputTextView::synced, counters_, &CountersText::repaintIfDue);
    QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    mono.setPointSizeF(captionFont(this).pointSizeF());
    counters_->setFont(mono);
    // Room for a gigabyte received and a hundred megabytes sent.
    counters_->reserveRoomFor(countersText(999'999'999, 99'999'999));
    QPalette secondary = counters_->palette();
    secondary.setColor(QPalette::WindowText, secondary.color(QPalette::PlaceholderText));
    counters_->setPalette(secondary);
    row->addWidget(counters_);

    saveButton_ = new QPushButton(qt(L10n::Footer::save()), footer);
    saveButton_->setToolTip(platformText(L10n::Footer::saveHelp()));
    connect(saveButton_, &QPushButton::clicked, this, &ContentView::saveOutput);
    row->addWidget(saveButton_);

    clearButton_ = new QPushButton(qt(L10n::Footer::clear()), footer);
    clearButton_->setToolTip(platformText(L10n::Footer::clearHelp()));
    connect(clearButton_, &QPushButton::clicked, this, [this] { model_->clearOutput(); });
    row->addWidget(clearButton_);
    return footer;
}

void ContentView::openFind()
{
    findBar_->open();
}

void ContentView::saveOutput()
{
    const QString suggested = qt(suggestedLogFileName(std::chrono::system_clock::now()));
    const QString target = QFileDialog::getSaveFileName(this, qt(L10n::Footer::save()), suggested, QStringLiteral("*.txt"));
    if (!target.isEmpty())
        model_->saveOutput(target.toStdString());
}

bool ContentView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == input_) {
        if (event->type() == QEvent::KeyPress) {
            const auto key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Up || key == Qt::Key_Down) {
                if (key == Qt::Key_Up)
                    model_->historyUp();
                else
                    model_->historyDown();
                return true;
            }
        } else if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
            refreshInputBox();
        }
    }
    return QWidget::eventFilter(watched, event);
}

void ContentView::refreshPortPicker()
{
    const auto& ports = model_->ports().value();
    const auto& selected = model_->selectedPath().value();
    refreshing_ = true;
    portPicker_->clear();
    if (ports.empty())
        portPicker_->addItem(qt(L10n::Header::noPortsFound()), QString());
    else if (selected.empty())
        portPicker_->addItem(qt(L10n::Header::choosePort()), QString());
    const bool listed = std::any_of(ports.begin(), ports.end(), [&](const auto& port) { return port.path == selected; });
    if (!selected.empty() && !listed)
        portPicker_->addItem(qt(L10n::Header::portNotConnected(selected)), qt(selected));
    for (const auto& port : ports) {
        const std::string title = model_->isHeldByAnotherSession(port.path)
            ? L10n::Header::portInUseInOtherTab(port.menuTitle())
            : port.menuTitle();
        portPicker_->addItem(qt(title), qt(port.path));
    }
    portPicker_->setCurrentIndex(std::max(0, portPicker_->findData(qt(selected))));
    refreshing_ = false;
}

void ContentView::refreshBaudPicker()
{
    std::vector<std::int64_t> rates(standardBaudRates.begin(), standardBaudRates.end());
    const auto current = model_->baudRate().value();
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

void ContentView::refreshConnection()
{
    const auto state = model_->state().value();
    QString colour;
    QString name;
    switch (state) {
    case ConnectionState::connected:
        colour = QStringLiteral("#34C759");
        name = qt(L10n::State::connected());
        break;
    case ConnectionState::waitingForDevice:
        colour = QStringLiteral("#FFCC00");
        name = qt(L10n::State::waiting());
        break;
    case ConnectionState::disconnected:
        colour = QStringLiteral("#8E8E93");
        name = qt(L10n::State::disconnected());
        break;
    }
    statusDot_->setStyleSheet(QStringLiteral("background: %1; border-radius: 5px; border: 1px solid rgba(255,255,255,153);").arg(colour));
    statusDot_->setToolTip(name);
    statusDot_->setAccessibleName(name);

    const bool disconnected = state == ConnectionState::disconnected;
    connectButton_->setText(qt(disconnected ? L10n::Header::connect() : L10n::Header::disconnect()));
    connectButton_->setIcon(tintedSymbolIcon(disconnected ? "play.fill" : "stop.fill", Qt::white));
    connectButton_->setToolTip(platformText(disconnected ? L10n::Header::connectHelp() : L10n::Header::disconnectHelp()));
    connectButton_->setStyleSheet(connectButtonStyle(disconnected));
    connectButton_->setEnabled(!disconnected || !model_->selectedPath().value().empty());
}

void ContentView::refreshInput()
{
    const auto state = model_->state().value();
    const bool hex = model_->sendMode().value() == SendMode::hex;
    std::string port = model_->selectedPath().value();
    if (auto info = model_->selectedPortInfo())
        port = info->displayName();
    switch (state) {
    case ConnectionState::connected:
        input_->setPlaceholderText(qt(hex ? L10n::Send::promptHex(port) : L10n::Input::promptConnected(port)));
        break;
    case ConnectionState::waitingForDevice: input_->setPlaceholderText(qt(L10n::Input::promptWaiting())); break;
    case ConnectionState::disconnected: input_->setPlaceholderText(qt(L10n::Input::promptDisconnected())); break;
    }
    const auto error = model_->hexInputError();
    sendButton_->setEnabled(state == ConnectionState::connected && !error);
    const bool showError = error && !model_->inputText().value().empty();
    inputErrorText_->setText(showError ? qt(*error) : QString());
    inputErrorRow_->setVisible(showError);
}

void ContentView::refreshInputBox()
{
    QColor outline = palette().color(QPalette::Mid);
    if (input_ && input_->hasFocus()) {
        outline = accentTeal;
        outline.setAlphaF(0.7f);
    }
    inputBox_->setStyleSheet(QStringLiteral("QFrame#inputBox { background: palette(base); border: 1px solid %1; border-radius: 6px; }")
                                 .arg(outline.name(QColor::HexArgb)));
}

void ContentView::refreshCounters()
{
    counters_->invalidate();
    saveButton_->setEnabled(!model_->outputIsEmpty().value() || model_->rxBytes().value() > 0);
}

void ContentView::refreshDisplayPicker()
{
    refreshing_ = true;
    displayPicker_->setCurrentIndex(displayPicker_->findData(static_cast<int>(model_->displayMode().value())));
    refreshing_ = false;
}

void ContentView::refreshPlotter()
{
    const bool shown = model_->showPlotter().value();
    refreshing_ = true;
    plotterButton_->setChecked(shown);
    refreshing_ = false;
    if (shown == plotterArea_->isVisibleTo(this))
        return;
    plotterArea_->setVisible(shown);
    if (shown) {
        const int total = splitter_->height();
        const int plotter = std::clamp(plotterDefaultHeight, plotterMinimumHeight, std::max(plotterMinimumHeight, total - outputMinimumHeight));
        splitter_->setSizes({plotter, std::max(outputMinimumHeight, total - plotter)});
    }
}

void ContentView::showError(const std::string& message)
{
    // Not from inside the notification: the box runs its own event loop.
    QTimer::singleShot(0, this, [this, text = qt(message)] {
        QMessageBox box(QMessageBox::Warning, qt(L10n::Errors::alertTitle()), text, QMessageBox::NoButton, this);
        box.addButton(qt(L10n::Errors::ok()), QMessageBox::AcceptRole);
        box.exec();
        model_->clearError();
    });
}

} // namespace velmora

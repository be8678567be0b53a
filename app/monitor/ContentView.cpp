#include "app/monitor/ContentView.h"

#include "app/monitor/PlatformText.h"
#include "app/monitor/FindBar.h"
#include "app/monitor/OutputTextView.h"
#include "core/send/HexParser.h"
#include "localization/L10n.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QSplitter>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace velmora {
namespace {

constexpr std::array<std::int64_t, 20> standardBaudRates{300, 1200, 2400, 4800, 9600, 14400, 19200, 28800, 31250,
    38400, 57600, 74880, 115200, 230400, 250000, 460800, 500000, 921600, 1000000, 2000000};

const QColor headerTeal(0, 129, 132);

QString qt(const std::string& text) { return QString::fromStdString(text); }

} // namespace

ContentView::ContentView(std::shared_ptr<VelmoraModel> model, QWidget* parent) : QWidget(parent), model_(std::move(model))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(buildHeader());
    layout->addWidget(buildSendBar());

    layout->addWidget(buildMainArea(), 1);
    layout->addWidget(buildFooter());
    setMinimumSize(860, 380);

    auto& m = *model_;
    const auto titleMayChange = [this](const auto&) { emit titleChanged(); };
    subscriptions_.push_back(m.ports().subscribe([this](const auto&) { refreshPortPicker(); }));
    subscriptions_.push_back(m.selectedPath().subscribe([this, titleMayChange](const auto& path) {
        refreshPortPicker();
        refreshConnection();
        titleMayChange(path);
    }));
    subscriptions_.push_back(m.baudRate().subscribe([this, titleMayChange](const auto& rate) {
        refreshBaudPicker();
        titleMayChange(rate);
    }));
    subscriptions_.push_back(m.state().subscribe([this, titleMayChange](ConnectionState state) {
        refreshConnection();
        refreshPortPicker();
        refreshInput();
        if (state == ConnectionState::connected)
            input_->setFocus();
        titleMayChange(state);
    }));
    subscriptions_.push_back(m.sendMode().subscribe([this](const auto&) { refreshInput(); }));
    subscriptions_.push_back(m.inputText().subscribe([this](const std::string& text) {
        const QString shown = qt(text);
        if (input_->text() != shown)
            input_->setText(shown);
        refreshInput();
    }));
    subscriptions_.push_back(m.rxBytes().subscribe([this](const auto&) { refreshCounters(); }));
    subscriptions_.push_back(m.txBytes().subscribe([this](const auto&) { refreshCounters(); }));
    subscriptions_.push_back(m.errorMessage().subscribe([this](const std::optional<std::string>& message) {
        if (message)
            showError(*message);
    }));
}

ContentView::~ContentView()
{
    model_->output().onScrollToEnd = nullptr;
}

QString ContentView::windowTitleText() const
{
    QString state;
    switch (model_->state().value()) {
    case ConnectionState::connected: state = qt(L10n::State::connected()); break;
    case ConnectionState::waitingForDevice: state = qt(L10n::State::waiting()); break;
    case ConnectionState::disconnected: state = qt(L10n::State::disconnected()); break;
    }
    return qt(model_->title()) + QStringLiteral(" – ") + qt(L10n::Header::baud(model_->baudRate().value()))
        + QStringLiteral(" · ") + state;
}

QWidget* ContentView::buildMainArea()
{
    // The view draws the session's own store, which must be the indexed in-memory one.
    auto* store = dynamic_cast<InMemoryTextStore*>(&model_->output().storage());
    if (!store)
        qFatal("ContentView: the session's output store is not an InMemoryTextStore");

    auto* area = new QWidget(this);
    auto* column = new QVBoxLayout(area);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    output_ = new OutputTextView(*store, area);
    findBar_ = new FindBar(*output_, area);
    column->addWidget(findBar_);
    column->addWidget(output_, 1);
    model_->output().onScrollToEnd = [this] { output_->scrollToEnd(); };

    splitter_ = new QSplitter(Qt::Vertical, this);
    splitter_->setChildrenCollapsible(false);
    splitter_->addWidget(area);
    return splitter_;
}

void ContentView::openFind()
{
    findBar_->open();
}

QWidget* ContentView::buildHeader()
{
    auto* header = new QWidget(this);
    header->setAutoFillBackground(true);
    QPalette palette = header->palette();
    palette.setColor(QPalette::Window, headerTeal);
    palette.setColor(QPalette::WindowText, Qt::white);
    header->setPalette(palette);
    auto* row = new QHBoxLayout(header);
    row->setContentsMargins(12, 8, 12, 8);
    row->setSpacing(10);

    portPicker_ = new QComboBox(header);
    portPicker_->setToolTip(qt(L10n::Header::port()));
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
    baudPicker_->setFixedWidth(124);
    connect(baudPicker_, &QComboBox::activated, this, [this](int index) {
        if (!refreshing_)
            model_->setBaudRate(baudPicker_->itemData(index).toLongLong());
    });
    row->addWidget(baudPicker_);
    row->addStretch(1);

    statusDot_ = new QLabel(header);
    statusDot_->setFixedSize(10, 10);
    row->addWidget(statusDot_);

    connectButton_ = new QPushButton(header);
    connectButton_->setMinimumWidth(92);
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
    input_ = new QLineEdit(bar);
    input_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    input_->installEventFilter(this);
    connect(input_, &QLineEdit::textEdited, this, [this](const QString& text) {
        const QString capped = cappedToUtf8Bytes(text, static_cast<std::size_t>(maxMessageBytes));
        if (capped != text)
            input_->setText(capped);
        model_->setInputText(capped.toStdString());
    });
    connect(input_, &QLineEdit::returnPressed, this, [this] { model_->send(); });
    row->addWidget(input_, 1);
    sendButton_ = new QPushButton(qt(L10n::Input::send()), bar);
    connect(sendButton_, &QPushButton::clicked, this, [this] { model_->send(); });
    row->addWidget(sendButton_);
    column->addLayout(row);
    inputError_ = new QLabel(bar);
    QPalette palette = inputError_->palette();
    palette.setColor(QPalette::WindowText, QColor(0xD0, 0x30, 0x30));
    inputError_->setPalette(palette);
    inputError_->hide();
    column->addWidget(inputError_);
    return bar;
}

QWidget* ContentView::buildFooter()
{
    auto* footer = new QWidget(this);
    auto* row = new QHBoxLayout(footer);
    row->setContentsMargins(12, 4, 12, 4);
    counters_ = new QLabel(footer);
    counters_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    row->addStretch(1);
    row->addWidget(counters_);
    auto* clear = new QPushButton(qt(L10n::Footer::clear()), footer);
    clear->setToolTip(platformText(L10n::Footer::clearHelp()));
    connect(clear, &QPushButton::clicked, this, [this] { model_->clearOutput(); });
    row->addWidget(clear);
    return footer;
}

bool ContentView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == input_ && event->type() == QEvent::KeyPress) {
        const auto key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            if (key == Qt::Key_Up)
                model_->historyUp();
            else
                model_->historyDown();
            return true;
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
    connectButton_->setToolTip(platformText(disconnected ? L10n::Header::connectHelp() : L10n::Header::disconnectHelp()));
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
    inputError_->setText(showError ? qt(*error) : QString());
    inputError_->setVisible(showError);
}

void ContentView::refreshCounters()
{
    counters_->setText(qt(L10n::Footer::counters(model_->rxBytes().value(), model_->txBytes().value())));
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

#include "app/monitor/ContentView.h"
#include "app/common/PlatformText.h"
#include "app/monitor/CountersText.h"
#include "app/monitor/FindBar.h"
#include "app/monitor/OutputOverlays.h"
#include "app/monitor/OutputTextView.h"
#include "app/plot/PlotterView.h"
#include "localization/L10n.h"

#include <QFrame>
#include <QMessageBox>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace velmora {
namespace {

constexpr int plotterMinimumHeight = 160;
constexpr int plotterDefaultHeight = 280;
constexpr int outputMinimumHeight = 120;

QFrame* divider(QWidget* parent)
{
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

} // namespace

ContentView::ContentView(std::shared_ptr<Session> model, QWidget* parent)
    : QWidget(parent)
    , model_(std::move(model))
    , header_(*model_, this)
    , sendBar_(*model_, this)
    , mainArea_(Qt::Vertical, this)
    , footer_(*model_, this)
{
    buildMainArea();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(&header_);
    layout->addWidget(&sendBar_);
    layout->addWidget(divider(this));
    layout->addWidget(&mainArea_, 1);
    layout->addWidget(divider(this));
    layout->addWidget(&footer_);
    setMinimumSize(860, 380);

    // The counters change with the output: they repaint in the output's frames.
    connect(output_, &OutputTextView::synced, footer_.counters(), &CountersText::repaintIfDue);

    auto& m = *model_;
    const auto retitle = [this](const auto&) { emit titleChanged(); };
    subscriptions_.push_back(m.connection().ports.subscribe(retitle));
    subscriptions_.push_back(m.line().selectedPath.subscribe(retitle));
    subscriptions_.push_back(m.line().baudRate.subscribe(retitle));
    subscriptions_.push_back(m.connection().state.subscribe(retitle));
    subscriptions_.push_back(m.display().showPlotter.subscribe([this](const auto&) { refreshPlotter(); }));
    subscriptions_.push_back(m.errorMessage().subscribe([this](const std::optional<std::string>& message) {
        if (message)
            showError(*message);
    }));
}

ContentView::~ContentView() = default;

QString ContentView::windowTitleText() const
{
    QString state;
    switch (model_->connection().state.value()) {
    case ConnectionState::connected:
        state = qt(L10n::Header::baud(model_->line().baudRate.value()) + " · " + L10n::State::connected());
        break;
    case ConnectionState::waitingForDevice:
        state = qt(L10n::State::waiting());
        break;
    case ConnectionState::disconnected:
        state = qt(L10n::State::disconnected());
        break;
    }
    return qt(model_->title()) + QStringLiteral(" – ") + state;
}

void ContentView::buildMainArea()
{
    plotterArea_ = new PlotterView(model_->plot(), &mainArea_);
    plotterArea_->setMinimumHeight(plotterMinimumHeight);

    auto* area = new QWidget(&mainArea_);
    area->setMinimumHeight(outputMinimumHeight);
    auto* column = new QVBoxLayout(area);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    output_ = new OutputTextView(model_->output().storage(), area);
    findBar_ = new FindBar(*output_, area);
    column->addWidget(findBar_);
    column->addWidget(output_, 1);
    overlays_ = new OutputOverlays(*model_, output_);
    subscriptions_.push_back(model_->output().scrollsToEnd().subscribe([this] { output_->scrollToEnd(); }));

    mainArea_.setChildrenCollapsible(false);
    mainArea_.addWidget(plotterArea_);
    mainArea_.addWidget(area);
    mainArea_.setStretchFactor(0, 0);
    mainArea_.setStretchFactor(1, 1);
    plotterArea_->hide();
}

void ContentView::openFind()
{
    findBar_->open();
}

void ContentView::refreshPlotter()
{
    const bool shown = model_->display().showPlotter.value();
    if (shown == plotterArea_->isVisibleTo(this))
        return;
    plotterArea_->setVisible(shown);
    if (shown) {
        const int total = mainArea_.height();
        const int plotter = std::clamp(
            plotterDefaultHeight, plotterMinimumHeight, std::max(plotterMinimumHeight, total - outputMinimumHeight));
        mainArea_.setSizes({plotter, std::max(outputMinimumHeight, total - plotter)});
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

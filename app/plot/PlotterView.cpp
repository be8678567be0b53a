
#include "app/plot/PlotterView.h"
#include "app/common/Caption.h"
#include "app/common/Colours.h"
#include "app/common/Icons.h"
#include "app/common/PlatformText.h"
#include "app/common/Popup.h"
#include "app/plot/PlotCardsView.h"
#include "app/plot/PlotChart.h"
#include "app/plot/PlotFormat.h"
#include "app/plot/PlotPalette.h"
#include "app/plot/PlotterOptionsView.h"
#include "app/plot/StackedCharts.h"
#include "app/plot/StatisticsTable.h"
#include "localization/L10n.h"

#include <QEvent>
#include <QFontDatabase>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>

namespace velmora {
namespace {

// The catalogue marks code with back quotes; shown as code, everything else as typed.
QString withCodeSpans(const std::string& text)
{
    const QString plain = qt(text);
    QString html;
    bool code = false;
    for (const QString& part : plain.split(u'`')) {
        QString escaped = part.toHtmlEscaped();
        escaped.replace(u'\n', QStringLiteral("<br>"));
        html += code ? QStringLiteral("<code>%1</code>").arg(escaped) : escaped;
        code = !code;
    }
    return html;
}

constexpr int legendSwatch = 8;

} // namespace

LegendEntry::LegendEntry(QWidget* parent) : QAbstractButton(parent)
{
    setFont(captionFont(this));
    setCursor(Qt::PointingHandCursor);
    setToolTip(qt(L10n::Plotter::legendHelp()));
}

void LegendEntry::setSeries(const PlotStore::Series& series, bool hidden)
{
    name_ = qt(series.name);
    value_ = series.points.empty() ? QString() : formatValue(series.points.back().y);
    color_ = seriesColor(series.colorIndex, isDark(palette()));
    hidden_ = hidden;
    setAccessibleName(value_.isEmpty() ? name_ : name_ + u' ' + value_);
    updateGeometry();
    update();
}

QSize LegendEntry::sizeHint() const
{
    const QFontMetrics metrics(font());
    int width = 8 + legendSwatch + 5 + metrics.horizontalAdvance(name_) + 8;
    if (!value_.isEmpty())
        width += 5 + metrics.horizontalAdvance(value_);
    return {width, metrics.height() + 6};
}

void LegendEntry::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setOpacity(hidden_ ? 0.45 : 1.0);
    QColor fill = palette().color(QPalette::WindowText);
    fill.setAlphaF(hidden_ ? 0.3f * 0.08f : 0.08f);
    painter.setPen(Qt::NoPen);
    painter.setBrush(fill);
    painter.drawRoundedRect(QRectF(rect()), 6, 6);

    const QFontMetrics metrics(font());
    int x = 8;
    painter.fillRect(QRectF(x, (height() - legendSwatch) / 2.0, legendSwatch, legendSwatch), color_);
    x += legendSwatch + 5;
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(QRect(x, 0, width() - x, height()), Qt::AlignLeft | Qt::AlignVCenter, name_);
    if (!value_.isEmpty()) {
        x += metrics.horizontalAdvance(name_) + 5;
        QColor secondary = palette().color(QPalette::WindowText);
        secondary.setAlphaF(0.6f);
        painter.setPen(secondary);
        painter.drawText(QRect(x, 0, width() - x, height()), Qt::AlignLeft | Qt::AlignVCenter, value_);
    }
}

PlotterView::PlotterView(PlotStore& store, QWidget* parent) : QWidget(parent), store_(store)
{
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(buildToolbar());
    auto* divider = new QFrame(this);
    divider->setFrameShape(QFrame::HLine);
    divider->setFrameShadow(QFrame::Sunken);
    column->addWidget(divider);

    contents_ = new QStackedWidget(this);
    empty_ = buildEmptyState();
    contents_->addWidget(empty_);
    contents_->addWidget(buildSharedArea());
    stacked_ = new StackedCharts(contents_);
    contents_->addWidget(stacked_);
    cards_ = new PlotCardsView(store_, contents_);
    contents_->addWidget(cards_);
    column->addWidget(contents_, 1);

    const auto changed = [this](const auto&) { refresh(); };
    subscriptions_.push_back(store_.observeSeries(changed));
    subscriptions_.push_back(store_.observeHidden(changed));
    subscriptions_.push_back(store_.observeLatestSample(changed));
    subscriptions_.push_back(store_.observeSmoothLines(changed));
    subscriptions_.push_back(store_.observeShowStatistics(changed));
    subscriptions_.push_back(store_.observeLayout(changed));
    subscriptions_.push_back(store_.observeWindowSize(changed));
    subscriptions_.push_back(store_.observePaused([this](bool paused) {
        paused_->setVisible(paused);
        pauseButton_->setIcon(symbolIcon(paused ? "play.fill" : "pause.fill"));
        const QString text = qt(paused ? L10n::Plotter::resume() : L10n::Plotter::pause());
        pauseButton_->setToolTip(text);
        pauseButton_->setAccessibleName(text);
    }));
}

PlotterView::~PlotterView() = default;

QWidget* PlotterView::buildToolbar()
{
    auto* bar = new QWidget(this);
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(10, 6, 10, 6);
    row->setSpacing(10);

    legendStrip_ = new QScrollArea(bar);
    legendStrip_->setFrameShape(QFrame::NoFrame);
    legendStrip_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    legendStrip_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    legendStrip_->setWidgetResizable(true);
    legendStrip_->viewport()->setAutoFillBackground(false);
    legend_ = new QWidget(legendStrip_);
    legend_->setAutoFillBackground(false);
    auto* entries = new QHBoxLayout(legend_);
    entries->setContentsMargins(0, 0, 0, 0);
    entries->setSpacing(6);
    entries->addStretch(1);
    legendStrip_->setWidget(legend_);
    legendStrip_->setFixedHeight(QFontMetrics(captionFont(this)).height() + 8);
    // Without a scroll bar, the wheel scrolls the strip sideways.
    legendStrip_->viewport()->installEventFilter(this);
    row->addWidget(legendStrip_, 1);

    paused_ = new QLabel(qt(L10n::Plotter::pausedNote()), bar);
    QFont pausedFont = captionFont(this);
    pausedFont.setWeight(QFont::Medium);
    paused_->setFont(pausedFont);
    QPalette pausedPalette = paused_->palette();
    pausedPalette.setColor(QPalette::WindowText, warningOrange(palette()));
    paused_->setPalette(pausedPalette);
    paused_->hide();
    row->addWidget(paused_);

    const auto toolButton = [bar](const char* symbol, const std::string& tip) {
        auto* button = new QToolButton(bar);
        button->setAutoRaise(true);
        button->setIcon(symbolIcon(symbol));
        button->setToolTip(qt(tip));
        button->setAccessibleName(qt(tip));
        return button;
    };
    optionsButton_ = toolButton("slider.horizontal.3", L10n::Plotter::optionsHelp());
    optionsButton_->setAccessibleName(qt(L10n::Plotter::options()));
    options_ = new PlotterOptionsView(store_);
    optionsPopup_ = new Popup(optionsButton_, options_);
    connect(optionsButton_, &QToolButton::clicked, optionsPopup_, &Popup::toggle);
    row->addWidget(optionsButton_);

    pauseButton_ = toolButton("pause.fill", L10n::Plotter::pause());
    connect(pauseButton_, &QToolButton::clicked, this, [this] { store_.setPaused(!store_.paused()); });
    row->addWidget(pauseButton_);

    clearButton_ = toolButton("trash", L10n::Plotter::clear());
    connect(clearButton_, &QToolButton::clicked, this, [this] { store_.clear(); });
    row->addWidget(clearButton_);
    return bar;
}

QWidget* PlotterView::buildEmptyState()
{
    auto* panel = new QWidget(this);
    auto* column = new QVBoxLayout(panel);
    column->addStretch(1);
    auto* icon = new QLabel(panel);
    icon->setAlignment(Qt::AlignCenter);
    icon->setPixmap(
        tintedSymbolIcon("chart.xyaxis.line", palette().color(QPalette::PlaceholderText)).pixmap(QSize(26, 26)));
    column->addWidget(icon);
    auto* title = new QLabel(qt(L10n::Plotter::waitingTitle()), panel);
    title->setAlignment(Qt::AlignCenter);
    QFont headline = title->font();
    headline.setWeight(QFont::DemiBold);
    title->setFont(headline);
    column->addWidget(title);
    auto* help = new QLabel(panel);
    help->setTextFormat(Qt::RichText);
    help->setText(withCodeSpans(L10n::Plotter::waitingHelp()));
    help->setAlignment(Qt::AlignCenter);
    help->setWordWrap(true);
    QPalette secondary = help->palette();
    secondary.setColor(QPalette::WindowText, secondary.color(QPalette::PlaceholderText));
    help->setPalette(secondary);
    help->setObjectName(QStringLiteral("plotterWaitingHelp"));
    column->addWidget(help);
    column->addStretch(1);
    return panel;
}

QWidget* PlotterView::buildSharedArea()
{
    sharedArea_ = new QWidget(this);
    sharedChart_ = new PlotChart(sharedArea_);
    sharedChart_->setPadding(12);

    hint_ = new QFrame(sharedArea_);
    hint_->setObjectName(QStringLiteral("flatLinesHint"));
    auto* hintRow = new QHBoxLayout(hint_);
    hintRow->setContentsMargins(10, 6, 10, 6);
    hintRow->setSpacing(8);
    auto* hintIcon = new QLabel(hint_);
    const int side = QFontMetrics(captionFont(this)).height();
    hintIcon->setPixmap(
        tintedSymbolIcon("arrow.up.and.down.text.horizontal", warningOrange(palette())).pixmap(QSize(side, side)));
    hintRow->addWidget(hintIcon);
    auto* hintText = new QLabel(qt(L10n::Plotter::scaleHint()), hint_);
    hintText->setFont(captionFont(this));
    hintRow->addWidget(hintText);
    hintButton_ = new QPushButton(hint_);
    hintButton_->setFont(captionFont(this));
    connect(hintButton_, &QPushButton::clicked, this,
        [this] { store_.setLayout(store_.visibleSeries().size() <= 3 ? PlotLayout::stacked : PlotLayout::cards); });
    hintRow->addWidget(hintButton_);
    hint_->setStyleSheet(QStringLiteral("QFrame#flatLinesHint { background: palette(window); border: 1px solid "
                                        "rgba(128,128,128,60); border-radius: 7px; }"));
    hint_->hide();

    statisticsTable_ = new StatisticsTable(sharedArea_);
    statisticsTable_->hide();
    sharedArea_->installEventFilter(this);
    return sharedArea_;
}

PlotterView::Content PlotterView::content() const
{
    return static_cast<Content>(contents_->currentIndex());
}

std::vector<LegendEntry*> PlotterView::legendEntries() const
{
    return entries_;
}

void PlotterView::refresh()
{
    refreshLegend();
    const auto& all = store_.series();
    const auto visible = store_.visibleSeries();
    const auto domain = store_.xDomain();
    const bool smooth = store_.smoothLines();
    const bool statistics = store_.showStatistics();
    const bool dark = isDark(palette());

    Content shown = Content::shared;
    if (all.empty())
        shown = Content::empty;
    else if (store_.layout() == PlotLayout::cards)
        shown = Content::cards;
    else if (store_.layout() == PlotLayout::stacked && visible.size() >= 2)
        shown = Content::stacked;
    contents_->setCurrentIndex(static_cast<int>(shown));

    switch (shown) {
    case Content::empty:
    case Content::cards:
        break;
    case Content::shared: {
        std::vector<PlotChart::Line> lines;
        lines.reserve(visible.size());
        for (const auto& series : visible)
            lines.push_back({series.points, seriesColor(series.colorIndex, dark)});
        sharedChart_->setLines(std::move(lines));
        sharedChart_->setXDomain(domain);
        sharedChart_->setSmooth(smooth);
        const bool flat = store_.rangesDifferALot();
        hint_->setVisible(flat);
        if (flat)
            hintButton_->setText(
                qt(L10n::Plotter::layoutName(visible.size() <= 3 ? PlotLayout::stacked : PlotLayout::cards)));
        statisticsTable_->setSeries(visible);
        statisticsTable_->setVisible(statistics && !statisticsTable_->rows().isEmpty());
        placeSharedOverlays();
        break;
    }
    case Content::stacked:
        stacked_->setSeries(visible, domain, smooth, statistics);
        break;
    }
}

void PlotterView::refreshLegend()
{
    const auto& all = store_.series();
    auto* layout = static_cast<QHBoxLayout*>(legend_->layout());
    while (entries_.size() > all.size()) {
        delete entries_.back();
        entries_.pop_back();
    }
    while (entries_.size() < all.size()) {
        auto* entry = new LegendEntry(legend_);
        layout->insertWidget(static_cast<int>(entries_.size()), entry);
        connect(entry, &LegendEntry::clicked, this, [this, entry] { store_.toggle(entry->name().toStdString()); });
        entries_.push_back(entry);
    }
    const auto& hidden = store_.hidden();
    for (std::size_t i = 0; i < all.size(); ++i)
        entries_[i]->setSeries(all[i], hidden.contains(all[i].name));
}

void PlotterView::placeSharedOverlays()
{
    sharedChart_->setGeometry(sharedArea_->rect());
    hint_->adjustSize();
    hint_->move(56, 14);
    statisticsTable_->adjustSize();
    statisticsTable_->move(sharedArea_->width() - 76 - statisticsTable_->width(), 14);
    hint_->raise();
    statisticsTable_->raise();
}

bool PlotterView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == sharedArea_ && event->type() == QEvent::Resize)
        placeSharedOverlays();
    if (watched == legendStrip_->viewport() && event->type() == QEvent::Wheel) {
        const auto* wheel = static_cast<QWheelEvent*>(event);
        const QPoint delta = wheel->angleDelta();
        QScrollBar* bar = legendStrip_->horizontalScrollBar();
        bar->setValue(bar->value() - (delta.x() != 0 ? delta.x() : delta.y()) / 2);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void PlotterView::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::PaletteChange)
        refresh();
    QWidget::changeEvent(event);
}

} // namespace velmora


#include "app/monitor/OutputOverlays.h"
#include "app/common/Colours.h"
#include "app/common/PlatformText.h"
#include "app/monitor/DisplayModeBadge.h"
#include "app/monitor/EmptyOutputView.h"
#include "app/monitor/NoticeBanner.h"
#include "localization/L10n.h"

#include <QAbstractScrollArea>
#include <QEvent>
#include <QGraphicsOpacityEffect>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QPointer>
#include <QPropertyAnimation>
#include <QVBoxLayout>

namespace velmora {
namespace {

constexpr int fadeMs = 200;

void fadeIn(QWidget* part)
{
    auto* effect = new QGraphicsOpacityEffect(part);
    effect->setOpacity(0);
    part->setGraphicsEffect(effect);
    auto* fade = new QPropertyAnimation(effect, "opacity", part);
    fade->setDuration(fadeMs);
    fade->setStartValue(0.0);
    fade->setEndValue(1.0);
    fade->setEasingCurve(QEasingCurve::InOutQuad);
    // Removed afterwards, since an effect makes every later repaint go through an offscreen
    // buffer; queued, because removing it deletes the animation's target.
    QObject::connect(
        fade, &QPropertyAnimation::finished, part,
        [part, effect = QPointer(effect)] {
            if (effect && part->graphicsEffect() == effect)
                part->setGraphicsEffect(nullptr);
        },
        Qt::QueuedConnection);
    fade->start(QAbstractAnimation::DeleteWhenStopped);
}

// Shows at once (so what is visible is always what the session says) and fades in; hides at once.
void setShown(QWidget* part, bool shown)
{
    if (shown != part->isHidden())
        return;
    part->setVisible(shown);
    if (shown)
        fadeIn(part);
}

// The part of the text area that shows text: a scroll area's viewport, so that the overlays
// never cover its scroll bar.
QWidget* surfaceOf(QWidget* textArea)
{
    if (auto* scrollArea = qobject_cast<QAbstractScrollArea*>(textArea))
        return scrollArea->viewport();
    return textArea;
}

} // namespace

OutputOverlays::OutputOverlays(Session& model, QWidget* textArea)
    : QWidget(textArea->parentWidget() ? textArea->parentWidget() : textArea), model_(model), textArea_(textArea)
{
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(8, 6, 8, 6);

    emptyView_ = new EmptyOutputView(model_, this);
    grid->addWidget(emptyView_, 0, 0, Qt::AlignCenter);

    auto* top = new QWidget(this);
    auto* topRow = new QHBoxLayout(top);
    topRow->setContentsMargins(0, 0, 0, 0);
    auto* notices = new QWidget(top);
    notices->setMaximumWidth(NoticeBanner::widest);
    notices->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    auto* column = new QVBoxLayout(notices);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(2);
    // The column takes up to its maximum width; what is left goes to the sides, which keeps it centred.
    topRow->addStretch(1);
    topRow->addWidget(notices, 100);
    topRow->addStretch(1);
    grid->addWidget(top, 0, 0, Qt::AlignTop);

    garbageBanner_ = new NoticeBanner("exclamationmark.triangle.fill", warningOrange(palette()), notices);
    garbageBanner_->onDismiss = [this] { model_.dismissGarbage(); };
    column->addWidget(garbageBanner_);
    noDataBanner_ = new NoticeBanner("clock", noticeBlue(palette()), notices);
    noDataBanner_->onDismiss = [this] { model_.cancelNoDataHint(); };
    column->addWidget(noDataBanner_);

    badge_ = new DisplayModeBadge(top);
    badge_->switchToText = [this] { model_.display().displayMode.set(DisplayMode::text); };
    topRow->addWidget(badge_, 0, Qt::AlignTop);

    for (QWidget* part : {static_cast<QWidget*>(emptyView_), top, notices, static_cast<QWidget*>(garbageBanner_),
             static_cast<QWidget*>(noDataBanner_), static_cast<QWidget*>(badge_)}) {
        part->hide();
        part->installEventFilter(this);
    }
    top->show();
    notices->show();

    textArea_->installEventFilter(this);
    if (QWidget* surface = surfaceOf(textArea_); surface != textArea_)
        surface->installEventFilter(this);
    if (parentWidget() != textArea_)
        parentWidget()->installEventFilter(this);

    auto& m = model_;
    const auto refreshOnChange = [this](const auto&) { refresh(); };
    subscriptions_.push_back(m.reception().outputIsEmpty.subscribe(refreshOnChange));
    subscriptions_.push_back(m.connection().state.subscribe(refreshOnChange));
    subscriptions_.push_back(m.reception().garbageSuspected.subscribe(refreshOnChange));
    subscriptions_.push_back(m.reception().showNoDataHint.subscribe(refreshOnChange));
    subscriptions_.push_back(m.display().displayMode.subscribe(refreshOnChange));
    subscriptions_.push_back(m.line().baudRate.subscribe([this](const auto&) {
        refreshGarbageActions();
        refresh();
    }));

    followTextArea();
}

void OutputOverlays::refresh()
{
    const auto& m = model_;
    const std::int64_t baud = m.line().baudRate.value();
    garbageBanner_->setText(qt(L10n::Notice::garbage(baud)));
    noDataBanner_->setText(qt(L10n::Notice::noData(baud)));
    badge_->setMode(m.display().displayMode.value());

    const bool textMode = m.display().displayMode.value() == DisplayMode::text;
    const bool showEmpty =
        m.reception().outputIsEmpty.value() && m.connection().state.value() == ConnectionState::disconnected;
    const bool showGarbage = m.reception().garbageSuspected.value() && textMode;
    const bool showNoData = m.reception().showNoDataHint.value();
    setShown(emptyView_, showEmpty);
    setShown(garbageBanner_, showGarbage);
    setShown(noDataBanner_, showNoData);
    setShown(badge_, !textMode);
    // With nothing to show the overlays step aside entirely: an empty mask would mean "no mask".
    setVisible(showEmpty || showGarbage || showNoData || !textMode);
    updateMask();
}

void OutputOverlays::refreshGarbageActions()
{
    std::vector<NoticeBanner::Action> actions;
    for (const std::int64_t rate : model_.suggestedBaudRates())
        actions.push_back({qt(L10n::Header::baud(rate)), [this, rate] { model_.line().baudRate.set(rate); }});
    garbageBanner_->setActions(std::move(actions));
}

void OutputOverlays::refreshTints()
{
    garbageBanner_->setTint(warningOrange(palette()));
    noDataBanner_->setTint(noticeBlue(palette()));
}

void OutputOverlays::followTextArea()
{
    QWidget* surface = surfaceOf(textArea_);
    const QWidget* host = parentWidget();
    setGeometry(QRect(surface->mapTo(host, QPoint(0, 0)), surface->size()));
    raise();
}

void OutputOverlays::updateMask()
{
    QRegion solid;
    for (QWidget* part : {static_cast<QWidget*>(emptyView_), static_cast<QWidget*>(garbageBanner_),
             static_cast<QWidget*>(noDataBanner_), static_cast<QWidget*>(badge_)}) {
        if (part->isVisibleTo(this))
            solid += QRect(part->mapTo(this, QPoint(0, 0)), part->size());
    }
    if (!solid.isEmpty())
        setMask(solid);
}

bool OutputOverlays::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (watched == parentWidget() && watched != textArea_) {
        // A sibling created after us would be stacked above us.
        if (type == QEvent::ChildAdded)
            raise();
    } else if (watched == textArea_ || watched == surfaceOf(textArea_)) {
        if (type == QEvent::Resize || type == QEvent::Move || type == QEvent::Show)
            followTextArea();
    } else if (type == QEvent::Resize || type == QEvent::Move || type == QEvent::Show || type == QEvent::Hide) {
        updateMask();
    }
    return QWidget::eventFilter(watched, event);
}

void OutputOverlays::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::PaletteChange)
        refreshTints();
    QWidget::changeEvent(event);
}

} // namespace velmora

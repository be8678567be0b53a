
#include "app/help/HelpView.h"
#include "app/common/Icons.h"
#include "app/common/PlatformText.h"
#include "app/help/HelpTopicView.h"
#include "localization/L10n.h"

#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace velmora {
namespace {

constexpr int idRole = Qt::UserRole;

} // namespace

HelpView::HelpView(std::vector<HelpTopic> topics, QWidget* parent)
    : QSplitter(Qt::Horizontal, parent), topics_(std::move(topics)), state_(HelpViewState::initial(topics_))
{
    auto* sidebar = new QWidget(this);
    sidebar->setMinimumWidth(sidebarMinimumWidth);
    auto* column = new QVBoxLayout(sidebar);
    column->setContentsMargins(8, 10, 4, 8);
    column->setSpacing(8);

    search_ = new QLineEdit(sidebar);
    search_->setPlaceholderText(qt(L10n::Help::searchPrompt()));
    search_->setClearButtonEnabled(true);
    search_->addAction(symbolIcon("magnifyingglass"), QLineEdit::LeadingPosition);
    column->addWidget(search_);

    list_ = new QListWidget(sidebar);
    list_->setFrameShape(QFrame::NoFrame);
    list_->setIconSize(QSize(18, 18));
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list_->setTextElideMode(Qt::ElideRight);
    column->addWidget(list_, 1);

    noResults_ = new QLabel(qt(L10n::Help::noResults()), sidebar);
    noResults_->setAlignment(Qt::AlignCenter);
    noResults_->setWordWrap(true);
    noResults_->hide();
    column->addWidget(noResults_, 1);

    detail_ = new QWidget(this);
    auto* detailLayout = new QVBoxLayout(detail_);
    detailLayout->setContentsMargins(0, 0, 0, 0);

    addWidget(sidebar);
    addWidget(detail_);
    setCollapsible(0, false);
    setCollapsible(1, false);
    setStretchFactor(0, 0);
    setStretchFactor(1, 1);
    setSizes({sidebarIdealWidth, 1000});

    connect(search_, &QLineEdit::textChanged, this, &HelpView::search);
    connect(list_, &QListWidget::currentItemChanged, this, [this](QListWidgetItem* item) {
        if (!item)
            return;
        state_.selection = item->data(idRole).toString().toStdString();
        showSelection();
    });

    refreshColours();
    fillList();
    showSelection();
}

void HelpView::search(const QString& text)
{
    const auto before = state_.selection;
    state_.search(topics_, text);
    fillList();
    if (state_.selection != before)
        showSelection();
}

void HelpView::fillList()
{
    const std::vector<HelpTopic> found = filteredTopics(topics_, state_.searchText);
    // Rebuilding the rows is not a choice of the user's: it must not move the selection.
    const QSignalBlocker quiet(list_);
    list_->clear();
    for (const HelpTopic& topic : found) {
        // On the selection's colour the symbol takes the selected text's colour, or it would be
        // grey on blue.
        QIcon icon = symbolIcon(topic.symbol);
        const QIcon onSelection = tintedSymbolIcon(topic.symbol, list_->palette().color(QPalette::HighlightedText));
        for (const qreal ratio : {1.0, 2.0})
            icon.addPixmap(onSelection.pixmap(list_->iconSize(), ratio), QIcon::Selected);
        auto* item = new QListWidgetItem(icon, qt(topic.title), list_);
        item->setData(idRole, qt(topic.id));
        if (state_.selection == topic.id)
            list_->setCurrentItem(item);
    }
    list_->setVisible(!found.empty());
    noResults_->setVisible(found.empty());
}

void HelpView::showSelection()
{
    const auto topic = std::find_if(topics_.begin(), topics_.end(),
        [this](const HelpTopic& candidate) { return state_.selection == candidate.id; });
    if (topicView_ && topic != topics_.end() && topicView_->topic().id == topic->id)
        return;
    delete topicView_;
    topicView_ = nullptr;
    if (topic == topics_.end())
        return;
    topicView_ = new HelpTopicView(*topic, detail_);
    detail_->layout()->addWidget(topicView_);
    // A child added to a window on screen stays hidden until shown.
    topicView_->show();
}

void HelpView::refreshColours()
{
    QPalette secondary = noResults_->palette();
    secondary.setColor(QPalette::WindowText, palette().color(QPalette::PlaceholderText));
    noResults_->setPalette(secondary);
}

void HelpView::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::PaletteChange)
        refreshColours();
    QSplitter::changeEvent(event);
}

} // namespace velmora

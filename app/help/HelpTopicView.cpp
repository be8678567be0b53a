
#include "app/help/HelpTopicView.h"
#include "app/common/Caption.h"
#include "app/common/Colours.h"
#include "app/common/Icons.h"
#include "app/common/PlatformText.h"
#include "app/help/HelpScreenshots.h"
#include "app/help/InlineMarkdown.h"
#include "localization/L10n.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

#include <algorithm>
#include <type_traits>

namespace velmora {
namespace {

const QColor tipYellow(0xFF, 0xCC, 0x00);
constexpr qreal cornerRadius = 8.0;
constexpr int boxPadding = 12;

// The faint line colour of outlines and dividers, from the current text colour so that it
// works on light and dark themes alike.
QColor lineColour(const QWidget* widget, qreal alpha)
{
    QColor colour = widget->palette().color(QPalette::WindowText);
    colour.setAlphaF(static_cast<float>(alpha));
    return colour;
}

QFont scaledFont(const QWidget* widget, qreal factor, QFont::Weight weight)
{
    QFont font = widget->font();
    if (font.pointSizeF() > 0)
        font.setPointSizeF(font.pointSizeF() * factor);
    font.setWeight(weight);
    return font;
}

QLabel* selectableLabel(QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

QLabel* plainLabel(const std::string& text, QWidget* parent)
{
    auto* label = selectableLabel(parent);
    label->setTextFormat(Qt::PlainText);
    label->setText(platformText(text));
    return label;
}

QLabel* markdownLabel(const std::string& text, QWidget* parent)
{
    auto* label = selectableLabel(parent);
    label->setTextFormat(Qt::RichText);
    label->setText(inlineMarkdownToHtml(platformText(text)));
    return label;
}

QLabel* iconLabel(const QIcon& icon, int size, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setFixedSize(size, size);
    label->setPixmap(icon.pixmap(QSize(size, size)));
    return label;
}

class Divider final : public QWidget {
public:
    explicit Divider(QWidget* parent) : QWidget(parent) { setFixedHeight(1); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), lineColour(this, 0.12));
    }
};

// The box around a table: a rounded outline in a faint line colour.
class TableBox final : public QWidget {
public:
    explicit TableBox(QWidget* parent) : QWidget(parent) {}

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        // A hair line at 0.5 points vanishes on ordinary screens; one pixel, fainter, reads the same.
        painter.setPen(QPen(lineColour(this, 0.18), 1.0));
        painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), cornerRadius, cornerRadius);
    }
};

class TipBox final : public QWidget {
public:
    explicit TipBox(QWidget* parent) : QWidget(parent) {}

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        QColor fill = accentTeal;
        fill.setAlphaF(0.10f);
        painter.setPen(Qt::NoPen);
        painter.setBrush(fill);
        painter.drawRoundedRect(QRectF(rect()), cornerRadius, cornerRadius);
    }
};

// A screenshot scaled down to the width it is given (never up), with rounded corners, a thin
// outline and a soft shadow.
class ScreenshotImage final : public QWidget {
public:
    ScreenshotImage(QImage image, QWidget* parent) : QWidget(parent), image_(std::move(image))
    {
        setContentsMargins(shadow, shadow, shadow, shadow + 1);
        QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
        policy.setHeightForWidth(true);
        setSizePolicy(policy);
    }

    QSize sizeHint() const override
    {
        const QSizeF natural = naturalSize();
        return QSize(static_cast<int>(natural.width()), static_cast<int>(natural.height())) + margins();
    }

    QSize minimumSizeHint() const override { return QSize(40, 30) + margins(); }

    bool hasHeightForWidth() const override { return true; }

    int heightForWidth(int width) const override
    {
        return static_cast<int>(imageRect(width).height()) + margins().height();
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        const QMargins m = contentsMargins();
        const QRectF target = imageRect(width()).translated(m.left(), m.top());
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);

        // Rings of falling opacity around the image make a shadow of about 12 % black.
        painter.setPen(Qt::NoPen);
        for (int ring = shadow; ring >= 1; --ring) {
            painter.setBrush(QColor(0, 0, 0, 31 / shadow));
            const QRectF spread = target.adjusted(-ring, -ring + 1, ring, ring + 1);
            painter.drawRoundedRect(spread, cornerRadius + ring, cornerRadius + ring);
        }

        QPainterPath corners;
        corners.addRoundedRect(target, cornerRadius, cornerRadius);
        painter.save();
        painter.setClipPath(corners);
        painter.drawImage(target, image_);
        painter.restore();

        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(lineColour(this, 0.2), 1.0));
        painter.drawPath(corners);
    }

private:
    static constexpr int shadow = 4;

    QSize margins() const
    {
        const QMargins m = contentsMargins();
        return QSize(m.left() + m.right(), m.top() + m.bottom());
    }

    QSizeF naturalSize() const { return QSizeF(image_.size()) / image_.devicePixelRatio(); }

    QRectF imageRect(int width) const
    {
        const QSizeF natural = naturalSize();
        if (natural.isEmpty())
            return {};
        const qreal available = std::max(1, width - margins().width());
        const qreal shown = std::min(available, natural.width());
        return QRectF(0, 0, shown, shown * natural.height() / natural.width());
    }

    QImage image_;
};

} // namespace

HelpTopicView::HelpTopicView(HelpTopic topic, QWidget* parent) : QScrollArea(parent), topic_(std::move(topic))
{
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    auto* page = new QWidget;
    page->setAutoFillBackground(false);
    auto* pageRow = new QHBoxLayout(page);
    pageRow->setContentsMargins(24, 20, 24, 24);

    auto* column = new QWidget(page);
    column->setMaximumWidth(readableWidth);
    auto* blocks = new QVBoxLayout(column);
    blocks->setContentsMargins(0, 0, 0, 0);
    blocks->setSpacing(12);
    pageRow->addWidget(column, 1, Qt::AlignTop);
    pageRow->addStretch(0);

    auto* titleRow = new QHBoxLayout;
    titleRow->setSpacing(10);
    auto* title = plainLabel(topic_.title, column);
    title->setObjectName(QStringLiteral("helpTitle"));
    title->setFont(scaledFont(title, 2.0, QFont::DemiBold));
    QPalette titlePalette = title->palette();
    titlePalette.setColor(QPalette::WindowText, accentTeal);
    title->setPalette(titlePalette);
    const int iconSize = QFontMetrics(title->font()).height();
    titleRow->addWidget(iconLabel(tintedSymbolIcon(topic_.symbol, accentTeal), iconSize, column), 0, Qt::AlignVCenter);
    titleRow->addWidget(title, 1);
    blocks->addLayout(titleRow);
    blocks->addSpacing(4);

    for (const HelpBlock& block : topic_.blocks) {
        if (std::holds_alternative<HelpBlocks::Heading>(block))
            blocks->addSpacing(8);
        if (QWidget* shown = makeBlock(block, column))
            blocks->addWidget(shown);
    }
    blocks->addStretch(1);

    setWidget(page);
    refreshColours();
}

QWidget* HelpTopicView::makeBlock(const HelpBlock& block, QWidget* parent)
{
    return std::visit(
        [this, parent](const auto& content) -> QWidget* {
            using Kind = std::decay_t<decltype(content)>;
            if constexpr (std::is_same_v<Kind, HelpBlocks::Paragraph>) {
                auto* label = markdownLabel(content.text, parent);
                label->setObjectName(QStringLiteral("helpParagraph"));
                return label;
            } else if constexpr (std::is_same_v<Kind, HelpBlocks::Heading>) {
                auto* label = plainLabel(content.text, parent);
                label->setObjectName(QStringLiteral("helpHeading"));
                label->setFont(scaledFont(label, 1.5, QFont::DemiBold));
                return label;
            } else if constexpr (std::is_same_v<Kind, HelpBlocks::Bullets>) {
                auto* list = new QWidget(parent);
                list->setObjectName(QStringLiteral("helpBullets"));
                auto* rows = new QVBoxLayout(list);
                rows->setContentsMargins(0, 0, 0, 0);
                rows->setSpacing(6);
                for (const std::string& item : content.items) {
                    auto* row = new QHBoxLayout;
                    row->setSpacing(8);
                    auto* bullet = new QLabel(QStringLiteral("•"), list);
                    QPalette bulletPalette = bullet->palette();
                    bulletPalette.setColor(QPalette::WindowText, accentTeal);
                    bullet->setPalette(bulletPalette);
                    // Same font, both top-aligned: the bullet sits on the item's first baseline.
                    row->addWidget(bullet, 0, Qt::AlignTop);
                    row->addWidget(markdownLabel(item, list), 1);
                    rows->addLayout(row);
                }
                return list;
            } else if constexpr (std::is_same_v<Kind, HelpBlocks::Table>) {
                auto* box = new TableBox(parent);
                box->setObjectName(QStringLiteral("helpTable"));
                auto* grid = new QGridLayout(box);
                grid->setContentsMargins(boxPadding, boxPadding, boxPadding, boxPadding);
                grid->setHorizontalSpacing(16);
                grid->setVerticalSpacing(8);
                grid->setColumnStretch(0, 2);
                grid->setColumnStretch(1, 5);
                int line = 0;
                for (std::size_t i = 0; i < content.rows.size(); ++i) {
                    if (i > 0)
                        grid->addWidget(new Divider(box), line++, 0, 1, 2);
                    auto* key = plainLabel(content.rows[i].key, box);
                    key->setFont(scaledFont(key, 1.0, QFont::Medium));
                    grid->addWidget(key, line, 0);
                    grid->addWidget(markdownLabel(content.rows[i].value, box), line, 1);
                    ++line;
                }
                return box;
            } else if constexpr (std::is_same_v<Kind, HelpBlocks::Tip>) {
                auto* box = new TipBox(parent);
                box->setObjectName(QStringLiteral("helpTip"));
                auto* row = new QHBoxLayout(box);
                row->setContentsMargins(boxPadding, boxPadding, boxPadding, boxPadding);
                row->setSpacing(10);
                auto* label = plainLabel(L10n::Help::tipLabel(), box);
                label->setFont(scaledFont(label, 1.0, QFont::DemiBold));
                const int iconSize = QFontMetrics(label->font()).height();
                row->addWidget(
                    iconLabel(tintedSymbolIcon("lightbulb.fill", tipYellow), iconSize, box), 0, Qt::AlignTop);
                auto* text = new QVBoxLayout;
                text->setSpacing(4);
                text->addWidget(label);
                text->addWidget(markdownLabel(content.text, box));
                row->addLayout(text, 1);
                return box;
            } else {
                static_assert(std::is_same_v<Kind, HelpBlocks::Screenshot>);
                QImage image = helpScreenshot(content.name, L10n::language());
                if (image.isNull())
                    return nullptr;
                auto* figure = new QWidget(parent);
                figure->setObjectName(QStringLiteral("helpScreenshot"));
                auto* stack = new QVBoxLayout(figure);
                stack->setContentsMargins(0, 0, 0, 0);
                stack->setSpacing(6);
                auto* picture = new ScreenshotImage(std::move(image), figure);
                picture->setAccessibleName(platformText(content.caption));
                stack->addWidget(picture, 0, Qt::AlignLeft);
                auto* caption = plainLabel(content.caption, figure);
                caption->setFont(captionFont(caption));
                captions_.push_back(caption);
                stack->addWidget(caption);
                return figure;
            }
        },
        block);
}

void HelpTopicView::refreshColours()
{
    for (QLabel* caption : captions_) {
        QPalette captionPalette = caption->palette();
        captionPalette.setColor(QPalette::WindowText, palette().color(QPalette::PlaceholderText));
        caption->setPalette(captionPalette);
    }
}

void HelpTopicView::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::PaletteChange)
        refreshColours();
    QScrollArea::changeEvent(event);
}

} // namespace velmora

#include "app/plot/CardBackground.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPixmapCache>

#include <cmath>

namespace velmora {
namespace {

// The shadow is built from this many rings of growing size, each faintly dark: where they
// overlap it is darkest, so it fades out towards the shadow radius like a blur would.
constexpr int shadowRings = 9;

QColor withAlpha(QColor color, double alpha)
{
    color.setAlphaF(static_cast<float>(alpha));
    return color;
}

} // namespace

CardBackground::CardBackground(bool elevated, QWidget* parent) : QWidget(parent), elevated_(elevated)
{
}

void CardBackground::setElevated(bool elevated)
{
    if (elevated == elevated_)
        return;
    elevated_ = elevated;
    updateGeometry();
    update();
}

QMargins CardBackground::shadowMargins() const
{
    if (!elevated_)
        return {};
    const int reach = static_cast<int>(shadowRadius);
    const int offset = static_cast<int>(shadowOffset);
    return {reach, reach - offset, reach, reach + offset};
}

QRect CardBackground::cardRect() const
{
    return rect().marginsRemoved(shadowMargins());
}

static void paintUncached(QPainter& painter, const QRectF& card, bool elevated, const QPalette& palette)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    if (elevated) {
        // Alpha per ring such that all rings together give the shadow's opacity.
        const double ringAlpha = 1 - std::pow(1 - CardBackground::shadowOpacity, 1.0 / shadowRings);
        const QRectF shadow = card.translated(0, CardBackground::shadowOffset);
        painter.setPen(Qt::NoPen);
        painter.setBrush(withAlpha(Qt::black, ringAlpha));
        // The card hides the middle anyway; only its surroundings need the shadow.
        QPainterPath cardPath;
        cardPath.addRoundedRect(card, CardBackground::cornerRadius, CardBackground::cornerRadius);
        for (int ring = 1; ring <= shadowRings; ++ring) {
            // From half the radius inside the card's outline to the full radius outside it.
            const double grow =
                1.5 * CardBackground::shadowRadius * ring / shadowRings - CardBackground::shadowRadius / 2;
            const QRectF r = shadow.adjusted(-grow, -grow, grow, grow);
            const double radius = std::max(0.0, CardBackground::cornerRadius + grow);
            QPainterPath ringPath;
            ringPath.addRoundedRect(r, radius, radius);
            painter.drawPath(ringPath.subtracted(cardPath));
        }
    }
    const QColor text = palette.color(QPalette::WindowText);
    const QColor fill = elevated ? palette.color(QPalette::Window) : withAlpha(text, 0.05);
    // The separator colour is the text colour, faint; the card's border is a share of it.
    const QColor border = withAlpha(text, 0.18 * (elevated ? 0.8 : 0.5));
    painter.setBrush(fill);
    painter.setPen(QPen(border, 1));
    painter.drawRoundedRect(
        card.adjusted(0.5, 0.5, -0.5, -0.5), CardBackground::cornerRadius - 0.5, CardBackground::cornerRadius - 0.5);
    painter.restore();
}

void CardBackground::paint(QPainter& painter, const QRectF& card, bool elevated, const QPalette& palette)
{
    // Every card of the overview has the same size, and the shadow of the elevated one is dozens
    // of antialiased path operations: drawn once into a pixmap, then copied.
    const double reach = elevated ? shadowRadius + shadowOffset + 2 : 1;
    const qreal ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    const QSize size(
        static_cast<int>(std::ceil(card.width() + 2 * reach)), static_cast<int>(std::ceil(card.height() + 2 * reach)));
    if (size.isEmpty())
        return;
    const QString key = QStringLiteral("velmora-card:%1x%2:%3:%4:%5:%6")
                            .arg(size.width())
                            .arg(size.height())
                            .arg(elevated)
                            .arg(palette.color(QPalette::Window).rgba())
                            .arg(palette.color(QPalette::WindowText).rgba())
                            .arg(ratio);
    QPixmap pixmap;
    if (!QPixmapCache::find(key, &pixmap)) {
        pixmap = QPixmap(size * ratio);
        pixmap.setDevicePixelRatio(ratio);
        pixmap.fill(Qt::transparent);
        QPainter cached(&pixmap);
        paintUncached(cached, QRectF(QPointF(reach, reach), card.size()), elevated, palette);
        cached.end();
        QPixmapCache::insert(key, pixmap);
    }
    painter.drawPixmap(card.topLeft() - QPointF(reach, reach), pixmap);
}

void CardBackground::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    paint(painter, cardRect(), elevated_, palette());
}

} // namespace velmora

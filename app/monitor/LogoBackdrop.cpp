#include "app/monitor/LogoBackdrop.h"

#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <algorithm>
#include <cmath>
#include <utility>

// The logo lives in a static library, whose resource initializer the linker would drop without a
// reference to it; Q_INIT_RESOURCE must be used outside any namespace.
static void initBundledLogo()
{
    Q_INIT_RESOURCE(logo);
}

namespace velmora {
namespace {

void ensureBundledLogo()
{
    static const bool initialized = [] {
        initBundledLogo();
        return true;
    }();
    (void)initialized;
}

} // namespace

QString LogoBackdrop::templateLogoPath()
{
    ensureBundledLogo();
    return QStringLiteral(":/logo/velmora-template.svg");
}

QString LogoBackdrop::logoPath()
{
    ensureBundledLogo();
    return QStringLiteral(":/logo/velmora.svg");
}

LogoBackdrop::LogoBackdrop(QString svgPath) : path_(std::move(svgPath))
{
}

LogoBackdrop::~LogoBackdrop() = default;

int LogoBackdrop::logoSide(QSize area)
{
    const int smaller = std::max(0, std::min(area.width(), area.height()));
    return std::min(maximumSide, static_cast<int>(std::lround(sizeShare * smaller)));
}

QRect LogoBackdrop::logoRect(const QRect& area)
{
    const int side = logoSide(area.size());
    QRect square(0, 0, side, side);
    square.moveCenter(area.center());
    return square;
}

QSvgRenderer* LogoBackdrop::renderer()
{
    if (!loaded_) {
        loaded_ = true;
        auto renderer = std::make_unique<QSvgRenderer>(path_);
        if (renderer->isValid())
            renderer_ = std::move(renderer);
    }
    return renderer_.get();
}

bool LogoBackdrop::hasLogo()
{
    return renderer() != nullptr;
}

const QPixmap& LogoBackdrop::pixmap(int side, qreal pixelRatio, const QColor& foreground)
{
    const int pixels = static_cast<int>(std::lround(side * pixelRatio));
    const QSize size(pixels, pixels);
    if (pixmapSize_ == size && pixmapColour_ == foreground && !pixmap_.isNull())
        return pixmap_;

    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer_->render(&painter, QRectF(0, 0, pixels, pixels));
        // The SVG's coverage is the mask; the colour, with the opacity folded in, is the paint.
        QColor paint = foreground;
        paint.setAlphaF(static_cast<float>(opacity * foreground.alphaF()));
        painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
        painter.fillRect(image.rect(), paint);
    }
    pixmap_ = QPixmap::fromImage(std::move(image));
    pixmap_.setDevicePixelRatio(pixelRatio);
    pixmapSize_ = size;
    pixmapColour_ = foreground;
    return pixmap_;
}

void LogoBackdrop::paint(QPainter& painter, const QRect& area, const QColor& background, const QColor& foreground)
{
    painter.fillRect(area, background);
    const QRect square = logoRect(area);
    if (square.isEmpty() || !renderer())
        return;
    const qreal ratio = painter.device() ? painter.device()->devicePixelRatio() : 1.0;
    painter.drawPixmap(square.topLeft(), pixmap(square.width(), ratio, foreground));
}

} // namespace velmora

#include "app/common/Icons.h"

#include <QFile>
#include <QIconEngine>
#include <QPaintDevice>
#include <QPainter>

#include <array>
#include <utility>

// The icons live in a static library, whose resource initializer the linker would drop without
// a reference to it; Q_INIT_RESOURCE must be used outside any namespace.
static void initBundledIcons()
{
    Q_INIT_RESOURCE(icons);
}

namespace velmora {
namespace {

void ensureBundledIcons()
{
    static const bool initialized = [] {
        initBundledIcons();
        return true;
    }();
    (void)initialized;
}

// Draws the bundled shape through a colour: the SVG's alpha is the mask, the colour the paint.
class TintedIconEngine final : public QIconEngine {
public:
    TintedIconEngine(const QString& path, QColor color) : shape_(path), color_(color) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatio() : 1.0;
        QPixmap image = pixmap(rect.size() * ratio, mode, state);
        image.setDevicePixelRatio(ratio);
        painter->drawPixmap(rect, image);
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        QPixmap result(size);
        result.fill(Qt::transparent);
        QPainter painter(&result);
        painter.drawPixmap(0, 0, shape_.pixmap(size, 1.0, QIcon::Normal, state));
        painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
        QColor paint = color_;
        if (mode == QIcon::Disabled)
            paint.setAlphaF(paint.alphaF() * 0.4f);
        painter.fillRect(result.rect(), paint);
        return result;
    }

    QIconEngine* clone() const override { return new TintedIconEngine(*this); }
    QString key() const override { return QStringLiteral("velmora.tinted"); }

private:
    QIcon shape_;
    QColor color_;
};

// Symbol → freedesktop icon names, tried in order.
struct Mapping {
    std::string_view symbol;
    std::array<const char*, 2> themeNames;
};

constexpr std::array<Mapping, 29> mappings{{
    {"slider.horizontal.3", {"configure", "preferences-other"}},
    {"chart.xyaxis.line", {"office-chart-line", "utilities-system-monitor"}},
    {"play.fill", {"media-playback-start", nullptr}},
    {"stop.fill", {"media-playback-stop", nullptr}},
    {"exclamationmark.triangle.fill", {"dialog-warning", nullptr}},
    {"clock", {"chronometer", "appointment-soon"}},
    {"xmark", {"window-close", nullptr}},
    {"eye", {"view-visible", "eye"}},
    {"cable.connector.horizontal", {"network-wired", nullptr}},
    {"magnifyingglass", {"edit-find", nullptr}},
    {"chevron.up", {"go-up", nullptr}},
    {"chevron.down", {"go-down", nullptr}},
    {"chevron.left", {"go-previous", nullptr}},
    {"chevron.right", {"go-next", nullptr}},
    {"arrow.up.left.and.arrow.down.right", {"view-fullscreen", nullptr}},
    {"pause.fill", {"media-playback-pause", nullptr}},
    {"trash", {"edit-delete", "user-trash"}},
    {"arrow.up.and.down.text.horizontal", {"zoom-fit-height", nullptr}},
    {"play.circle", {"media-playback-start", nullptr}},
    {"paperplane", {"mail-send", "document-send"}},
    {"textformat.123", {"preferences-desktop-font", "format-text-bold"}},
    {"text.alignleft", {"format-justify-left", nullptr}},
    {"bolt.horizontal", {nullptr, nullptr}},
    {"rectangle.stack", {"tab-new", "window-new"}},
    {"arrow.triangle.2.circlepath", {"view-refresh", nullptr}},
    {"keyboard", {"input-keyboard", nullptr}},
    {"wrench.and.screwdriver", {"applications-engineering", "preferences-system"}},
    {"lock.shield", {"security-high", "system-lock-screen"}},
    {"lightbulb.fill", {"help-hint", "dialog-information"}},
}};

constexpr auto symbols = [] {
    std::array<std::string_view, mappings.size()> list{};
    for (std::size_t i = 0; i < mappings.size(); ++i)
        list[i] = mappings[i].symbol;
    return list;
}();

} // namespace

std::span<const std::string_view> knownSymbols()
{
    return symbols;
}

QString bundledIconPath(std::string_view symbol)
{
    ensureBundledIcons();
    return QStringLiteral(":/icons/%1.svg")
        .arg(QString::fromUtf8(symbol.data(), static_cast<qsizetype>(symbol.size())));
}

QIcon symbolIcon(std::string_view symbol)
{
    for (const Mapping& mapping : mappings) {
        if (mapping.symbol != symbol)
            continue;
        for (const char* name : mapping.themeNames) {
            if (name && QIcon::hasThemeIcon(QString::fromLatin1(name)))
                return QIcon::fromTheme(QString::fromLatin1(name));
        }
    }
    const QString bundled = bundledIconPath(symbol);
    return QFile::exists(bundled) ? QIcon(bundled) : QIcon();
}

QIcon tintedSymbolIcon(std::string_view symbol, const QColor& color)
{
    const QString bundled = bundledIconPath(symbol);
    return QFile::exists(bundled) ? QIcon(new TintedIconEngine(bundled, color)) : QIcon();
}

} // namespace velmora

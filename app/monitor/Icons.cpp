#include "app/monitor/Icons.h"

#include <QFile>

#include <array>
#include <utility>

namespace velmora {
namespace {

// Symbol → freedesktop icon names, tried in order.
struct Mapping {
    std::string_view symbol;
    std::array<const char*, 2> themeNames;
};

constexpr std::array<Mapping, 12> mappings{{
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
    return QStringLiteral(":/icons/%1.svg").arg(QString::fromUtf8(symbol.data(), static_cast<qsizetype>(symbol.size())));
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

} // namespace velmora

#pragma once

#include <QColor>
#include <QIcon>

#include <span>
#include <string_view>

namespace velmora {

// The window's icons, named by the symbols the design uses ("play.fill", "xmark", …). Each comes
// from the desktop's icon theme under its freedesktop name when the theme has it, and otherwise
// from the SVG the program carries, so that a machine without an icon theme still shows them.
QIcon symbolIcon(std::string_view symbol);

// The symbols the program uses; each has a bundled SVG.
std::span<const std::string_view> knownSymbols();

// The bundled SVG's resource path for a symbol (":/icons/play.fill.svg").
QString bundledIconPath(std::string_view symbol);

// The bundled SVG's shape filled with one colour, at any size: for icons that must match their
// surroundings (white on the teal header, orange on a warning). Theme icons are multi-coloured
// and cannot be tinted, so these always come from the bundle. Null for an unknown symbol.
QIcon tintedSymbolIcon(std::string_view symbol, const QColor& color);

} // namespace velmora

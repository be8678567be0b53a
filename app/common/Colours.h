#pragma once

#include <QColor>
#include <QPalette>

namespace velmora {

// The application's accent: the teal of the header bar and of the help's titles.
inline const QColor accentTeal{0x00, 0x81, 0x84};

// Whether a palette is a dark theme's, for colours that need a lighter variant there.
inline bool isDark(const QPalette& palette)
{
    return palette.color(QPalette::Window).lightness() < 128;
}

// The system orange and blue, each a little lighter on a dark background so they stay readable.
inline QColor warningOrange(const QPalette& palette)
{
    return isDark(palette) ? QColor(0xFF, 0x9F, 0x0A) : QColor(0xF0, 0x8A, 0x00);
}

inline QColor noticeBlue(const QPalette& palette)
{
    return isDark(palette) ? QColor(0x0A, 0x84, 0xFF) : QColor(0x00, 0x7A, 0xFF);
}

} // namespace velmora

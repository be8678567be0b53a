#pragma once

#include <QColor>
#include <QPalette>

namespace velmora {

// Every colour the windows choose themselves, apart from the plot series' palette, and the one
// test of whether the theme is dark. Colours that text or a symbol is drawn in have a variant
// for dark themes, a little lighter, so that they stay readable there.

// Whether a palette is a dark theme's.
inline bool isDark(const QPalette& palette)
{
    return palette.color(QPalette::Window).lightness() < 128;
}

// The application's accent: the teal of the header bar, of the help's titles and of the
// empty output's Connect button.
inline const QColor accentTeal{0x00, 0x81, 0x84};

// The accent as a text colour: the output's connection lines.
inline QColor accentTealText(const QPalette& palette)
{
    return isDark(palette) ? QColor(0x3F, 0xC1, 0xC4) : accentTeal;
}

// The system orange: Disconnect on the teal bar (which is teal in every theme), warnings.
inline const QColor systemOrange{0xF0, 0x8A, 0x00};

inline QColor warningOrange(const QPalette& palette)
{
    return isDark(palette) ? QColor(0xFF, 0x9F, 0x0A) : systemOrange;
}

// The system blue of notices.
inline QColor noticeBlue(const QPalette& palette)
{
    return isDark(palette) ? QColor(0x0A, 0x84, 0xFF) : QColor(0x00, 0x7A, 0xFF);
}

// Echoed sent text in the output: a blue deep enough to read as body text.
inline QColor echoBlue(const QPalette& palette)
{
    return isDark(palette) ? QColor(0x6C, 0xA8, 0xF5) : QColor(0x1E, 0x6F, 0xD9);
}

// Refused input: the message under a field and its symbol.
inline const QColor errorRed{0xD0, 0x30, 0x30};

// The header's status dot.
inline const QColor connectedGreen{0x34, 0xC7, 0x59};
inline const QColor waitingYellow{0xFF, 0xCC, 0x00};
inline const QColor disconnectedGray{0x8E, 0x8E, 0x93};

} // namespace velmora

#include "app/common/Caption.h"

#include "app/common/Colours.h"

#include <QFont>
#include <QLabel>
#include <QPalette>

#include <algorithm>

namespace velmora {

QFont captionFont(const QWidget* widget)
{
    QFont font = widget->font();
    // A caption is about five sixths of the body size, and never unreadably small.
    const qreal size = font.pointSizeF() > 0 ? font.pointSizeF() : 10.0;
    font.setPointSizeF(std::max(7.0, size * 5.0 / 6.0));
    return font;
}

QLabel* makeNote(const QString& text, QWidget* parent)
{
    auto* note = new QLabel(text, parent);
    note->setWordWrap(true);
    note->setFont(captionFont(note));
    QPalette palette = note->palette();
    palette.setColor(QPalette::WindowText, palette.color(QPalette::PlaceholderText));
    note->setPalette(palette);
    return note;
}

QLabel* makeErrorNote(QWidget* parent)
{
    auto* note = new QLabel(parent);
    note->setWordWrap(true);
    note->setFont(captionFont(note));
    QPalette palette = note->palette();
    palette.setColor(QPalette::WindowText, errorRed);
    note->setPalette(palette);
    return note;
}

} // namespace velmora

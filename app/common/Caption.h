#pragma once

class QFont;
class QLabel;
class QString;
class QWidget;

namespace velmora {

// The small type for notes and messages under a control.
QFont captionFont(const QWidget* widget);

// A word-wrapped caption-size note in the secondary text colour.
QLabel* makeNote(const QString& text, QWidget* parent);

// A caption-size message in red, for input that was refused.
QLabel* makeErrorNote(QWidget* parent);

} // namespace velmora

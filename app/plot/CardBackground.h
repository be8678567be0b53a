#pragma once

#include <QMargins>
#include <QWidget>

class QPainter;

namespace velmora {

// The rounded panel a plot card sits on: a light fill with a faint border in the overview, or,
// elevated, the window colour with a stronger border and a soft shadow below it. The shadow
// falls outside the card, so an elevated background reserves shadowMargins() around it; the
// card itself is cardRect().
//
// Thread: main thread.
class CardBackground : public QWidget {
    Q_OBJECT
public:
    static constexpr double cornerRadius = 12;
    static constexpr double shadowRadius = 18;
    static constexpr double shadowOffset = 6;
    static constexpr double shadowOpacity = 0.25;

    explicit CardBackground(bool elevated, QWidget* parent = nullptr);

    bool elevated() const { return elevated_; }
    void setElevated(bool elevated);

    // Room around the card for its shadow; none when it is not elevated.
    QMargins shadowMargins() const;
    QRect cardRect() const;

    // Draws the background of a card occupying card, its shadow (when elevated) around it.
    static void paint(QPainter& painter, const QRectF& card, bool elevated, const QPalette& palette);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool elevated_;
};

} // namespace velmora

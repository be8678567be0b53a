#pragma once

#include <QColor>
#include <QWidget>

namespace velmora {

// One line of text that, when it does not fit, first shrinks its font down to a given share of
// its size and only then is cut with an ellipsis.
//
// Thread: main thread.
class ShrinkingLabel final : public QWidget {
    Q_OBJECT
public:
    ShrinkingLabel(double minimumScale, QWidget* parent = nullptr);

    QString text() const { return text_; }
    void setText(const QString& text);
    // Invalid: the palette's text colour.
    void setColor(const QColor& color);
    QColor color() const { return color_; }

    // The font size the text is drawn at, as a share of the label's font: 1 when it fits.
    double shownScale() const;
    // Whether even at the smallest size the text is too wide and gets cut.
    bool isCut() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    double naturalWidth() const;

    double minimumScale_;
    QString text_;
    QColor color_;
};

} // namespace velmora

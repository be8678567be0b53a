#pragma once

#include <QColor>
#include <QWidget>

namespace velmora {

// The small square in a series' colour that stands for it next to its name.
//
// Thread: main thread.
class SeriesSwatch final : public QWidget {
    Q_OBJECT
public:
    SeriesSwatch(int size, QWidget* parent = nullptr);

    void setColor(const QColor& color);
    QColor color() const { return color_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor color_;
};

} // namespace velmora

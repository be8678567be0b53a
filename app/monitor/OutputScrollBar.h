#pragma once

#include <QRect>
#include <QScrollBar>

#include <optional>

namespace velmora {

// The output's vertical scroll bar. A stream of lines changes the range with every drawing, and a
// scroll bar repaints (gradients and all) on every change of its range or position; this one
// repaints only when its handle lands somewhere else. Past a few thousand rows the handle sits at
// its smallest at the bottom, so a stream that is followed costs the scroll bar nothing.
//
// Thread: main thread.
class OutputScrollBar final : public QScrollBar {
    Q_OBJECT
public:
    explicit OutputScrollBar(QWidget* parent = nullptr);

    // Sets range 0...maximum, page step and (when given) value at once, and repaints once if
    // the handle ends up elsewhere than where it was drawn.
    void setRangeAndValue(int maximum, int pageStep, std::optional<int> value);

    // Where the handle was drawn last.
    QRect paintedHandle() const { return paintedHandle_; }

protected:
    void sliderChange(SliderChange change) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QRect handle() const;
    bool looksAsPainted() const;

    QRect paintedHandle_;
    bool paintedEnabled_ = false;
    bool settling_ = false;
};

} // namespace velmora

#pragma once

#include "core/pipeline/DisplayMode.h"

#include <QAbstractButton>

#include <functional>

class QLabel;

namespace velmora {

// The capsule at the output's top right that says received bytes are not shown as text
// ("HEX · back to text") and switches back to text when clicked.
//
// Thread: main thread.
class DisplayModeBadge final : public QAbstractButton {
    Q_OBJECT
public:
    explicit DisplayModeBadge(QWidget* parent = nullptr);

    DisplayMode mode() const { return mode_; }
    void setMode(DisplayMode mode);

    std::function<void()> switchToText;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void refreshColours();

    DisplayMode mode_ = DisplayMode::hex;
    QLabel* icon_ = nullptr;
    QLabel* name_ = nullptr;
    QLabel* separator_ = nullptr;
    QLabel* backToText_ = nullptr;
};

// The name a display mode has in the display picker ("HEX", "Decimal", …).
QString displayModeName(DisplayMode mode);

} // namespace velmora

#pragma once

#include <QColor>
#include <QWidget>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

class QHBoxLayout;
class QLabel;
class QToolButton;

namespace velmora {

// A notice over the output: a tinted symbol, a wrapping text, an optional row of action buttons
// and a dismiss button, on a rounded panel outlined in the tint. It decides nothing itself; the
// owner sets its text and actions and says what dismissing means.
//
// Thread: main thread.
class NoticeBanner final : public QWidget {
    Q_OBJECT
public:
    struct Action {
        QString title;
        std::function<void()> onTrigger;
    };

    static constexpr int widest = 640;

    NoticeBanner(std::string symbol, QColor tint, QWidget* parent = nullptr);

    const std::string& symbol() const { return symbol_; }
    QColor tint() const { return tint_; }
    void setTint(QColor tint);
    QString text() const;
    void setText(const QString& text);
    // Replaces the action buttons; safe to call from one of their own clicks.
    void setActions(std::vector<Action> actions);

    std::function<void()> onDismiss;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::string symbol_;
    QColor tint_;
    QLabel* icon_ = nullptr;
    QLabel* text_ = nullptr;
    QHBoxLayout* actions_ = nullptr;
    QToolButton* dismiss_ = nullptr;
};

} // namespace velmora

#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;
class QToolButton;

namespace velmora {

class OutputTextView;

// The find bar over the output: incremental search as the user types, Enter (or the arrows)
// for the next and Shift+Enter for the previous match, Esc to close.
class FindBar final : public QWidget {
    Q_OBJECT
public:
    explicit FindBar(OutputTextView& view, QWidget* parent = nullptr);

    // Shows the bar and puts the keyboard in its field, the current text selected.
    void open();
    void close();
    QString text() const;
    void setText(const QString& text);
    // "No matches" while the text is not found; empty otherwise.
    QString status() const;

    void findNext();
    void findPrevious();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void searched(bool found);

    OutputTextView& view_;
    QLineEdit* field_ = nullptr;
    QLabel* status_ = nullptr;
    QToolButton* previous_ = nullptr;
    QToolButton* next_ = nullptr;
};

} // namespace velmora

#pragma once

#include "core/session/Session.h"
#include "core/support/Published.h"

#include <QString>
#include <QWidget>

#include <cstdint>
#include <optional>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace velmora {

// The rate typed in the custom baud field: blanks around it are ignored, a sign is allowed,
// anything else but decimal digits is not. Nothing when it is no number or outside 50…12,000,000.
std::optional<std::int64_t> parseCustomBaud(const QString& typed);

// What the field shows when parseCustomBaud refused the text: the range, its maximum in the
// user's locale.
QString customBaudErrorText();

// The frame settings popup's content: data bits, parity, stop bits and flow control, a field
// for a baud rate outside the standard list, and the way back to 8N1.
//
// Thread: main thread.
class PortSettingsView final : public QWidget {
    Q_OBJECT
public:
    explicit PortSettingsView(Session& model, QWidget* parent = nullptr);

    // Applies the custom baud text if there is any; for the popup closing.
    void applyPendingCustomBaud();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void applyCustomBaud();
    void refreshFrame();

    Session& model_;
    std::vector<Subscription> subscriptions_;

    QComboBox* dataBits_ = nullptr;
    QComboBox* parity_ = nullptr;
    QComboBox* stopBits_ = nullptr;
    QComboBox* flowControl_ = nullptr;
    QLineEdit* customBaud_ = nullptr;
    QPushButton* apply_ = nullptr;
    QLabel* customBaudError_ = nullptr;
    QLabel* reopenNote_ = nullptr;
};

} // namespace velmora

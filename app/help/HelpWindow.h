#pragma once

#include <QMainWindow>

namespace velmora {

// The application's single help window. It has the menu bar of a monitor window, built by the
// shell, with the session commands disabled since it shows no session.
//
// Thread: main thread only.
class HelpWindow final : public QMainWindow {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent = nullptr);
};

} // namespace velmora

#pragma once

#include "localization/HelpTopic.h"

#include <QMainWindow>

#include <vector>

namespace velmora {

class HelpView;

// The application's single help window. It has the menu bar of a monitor window, built by the
// shell, with the session commands disabled since it shows no session. Closing it only hides it,
// so that it comes back with the topic and the search the user left.
//
// Thread: main thread only.
class HelpWindow final : public QMainWindow {
    Q_OBJECT
public:
    explicit HelpWindow(std::vector<HelpTopic> topics, QWidget* parent = nullptr);

    HelpView* view() const { return view_; }

private:
    HelpView* view_;
};

} // namespace velmora

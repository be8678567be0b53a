#include "app/help/HelpWindow.h"

#include "app/help/HelpView.h"
#include "localization/L10n.h"

namespace velmora {

HelpWindow::HelpWindow(std::vector<HelpTopic> topics, QWidget* parent)
    : QMainWindow(parent), view_(new HelpView(std::move(topics), this))
{
    setWindowTitle(QString::fromStdString(L10n::Help::windowTitle()));
    setCentralWidget(view_);
    setMinimumSize(720, 460);
    resize(900, 640);
}

} // namespace velmora

#include "app/help/HelpWindow.h"

#include "localization/L10n.h"

namespace velmora {

HelpWindow::HelpWindow(QWidget* parent) : QMainWindow(parent)
{
    setWindowTitle(QString::fromStdString(L10n::Help::windowTitle()));
    // The help viewer with its topics takes this place.
    setCentralWidget(new QWidget(this));
    resize(900, 640);
}

} // namespace velmora

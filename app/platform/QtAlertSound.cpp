#include "app/platform/QtAlertSound.h"

#include <QApplication>

namespace velmora {

void QtAlertSound::play()
{
    QApplication::beep();
}

} // namespace velmora

#pragma once

#include "core/serial/SerialPortInfo.h"

#include <QComboBox>
#include <QStringList>

#include <string>

namespace velmora::testing {

// A USB board as the scanner would list it: an Arduino Uno at path.
inline SerialPortInfo usbBoard(std::string path)
{
    return {std::move(path), std::string("Uno"), 0x2341, 0x0043};
}

// The texts of a picker's entries, in order.
inline QStringList entries(const QComboBox* picker)
{
    QStringList texts;
    for (int i = 0; i < picker->count(); ++i)
        texts << picker->itemText(i);
    return texts;
}

} // namespace velmora::testing

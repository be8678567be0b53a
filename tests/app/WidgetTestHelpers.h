#pragma once

#include "core/exec/ManualMainQueue.h"
#include "core/platform/InMemorySettingsStore.h"
#include "core/plot/PlotStore.h"
#include "core/serial/SerialPortInfo.h"
#include "core/session/PortRegistry.h"
#include "core/session/VelmoraModel.h"
#include "core/text/Utf8.h"
#include "localization/L10n.h"
#include "tests/helpers/CountingAlert.h"
#include "tests/helpers/DeliveryPump.h"

#include <QComboBox>
#include <QLocale>
#include <QStringList>

#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace velmora::testing {

// A USB board as the scanner would list it: an Arduino Uno at path.
inline SerialPortInfo usbBoard(std::string path)
{
    return {std::move(path), std::string("Uno"), 0x2341, 0x0043};
}

// A port without USB identity: a built-in UART, a Bluetooth serial link.
inline SerialPortInfo builtInPort(std::string path)
{
    return {std::move(path), std::nullopt, std::nullopt, std::nullopt};
}

// The texts of a picker's entries, in order.
inline QStringList entries(const QComboBox* picker)
{
    QStringList texts;
    for (int i = 0; i < picker->count(); ++i)
        texts << picker->itemText(i);
    return texts;
}

// Feeds lines to a plot store as a board would, and lets it publish as the main queue would.
inline void feedPlot(ManualMainQueue& queue, PlotStore& store, std::string_view lines)
{
    store.ingest(std::span(reinterpret_cast<const std::uint8_t*>(lines.data()), lines.size()));
    queue.advance(PlotStore::publishDelay);
}

// The output a session shows, as UTF-8.
inline std::string shown(const Session& model)
{
    return utf16ToUtf8(model.output().storage().text());
}

// What a tab's session needs around it, for widget tests: English texts and number formats, the
// virtual clock, a settings store, the alert and a registry of its own.
struct SessionFixture {
    SessionFixture() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    std::shared_ptr<VelmoraModel> makeModel(
        std::function<std::shared_ptr<SerialPort>(const std::string&)> makePort = nullptr)
    {
        return VelmoraModel::create({queue, settings, alert, registry, std::move(makePort)});
    }

    // Runs the virtual clock until bytes a real port received have reached the session.
    bool pump(const std::function<bool()>& condition) { return pumpDeliveries(queue, condition); }

    L10n::ScopedLanguage english{Language::en};
    ManualMainQueue queue;
    InMemorySettingsStore settings;
    CountingAlert alert;
    PortRegistry registry{queue, nullptr};
};

} // namespace velmora::testing

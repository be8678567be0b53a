#include "app/platform/PortMonitor.h"

#include "core/session/PortRegistry.h"

#include <QSocketNotifier>

namespace velmora {

PortMonitor::PortMonitor(PortRegistry& registry, QObject* parent) : QObject(parent)
{
    PortScanner* scanner = registry.scanner();
    if (!scanner)
        return;
    const int descriptor = scanner->monitorDescriptor();
    if (descriptor < 0)
        return;
    notifier_ = new QSocketNotifier(descriptor, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [scanner] { scanner->handleMonitorEvents(); });
}

} // namespace velmora

#pragma once

#include "core/serial/PortScanner.h"

#include <poll.h>

#include <cstdlib>
#include <string_view>

namespace velmora::testing {

// True when umockdev's preload library is loaded, so that /sys, /dev and the uevent socket are
// a testbed's and not the machine's.
inline bool underUmockdevPreload()
{
    const char* preload = std::getenv("LD_PRELOAD");
    return preload && std::string_view(preload).find("libumockdev-preload") != std::string_view::npos;
}

// What the app's socket notifier does: waits until the scanner's monitor is readable, then hands
// the events over. False when nothing came within two seconds.
inline bool deliverMonitorEvents(PortScanner& scanner)
{
    pollfd descriptor{scanner.monitorDescriptor(), POLLIN, 0};
    if (::poll(&descriptor, 1, 2000) != 1)
        return false;
    scanner.handleMonitorEvents();
    return true;
}

} // namespace velmora::testing

#pragma once

// Clock, CPU time and event-loop helpers shared by the benchmarks that run the real window.

#include "localization/L10n.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <sys/resource.h>

#include <chrono>
#include <functional>
#include <string>

namespace velmora::bench {

using Clock = std::chrono::steady_clock;

inline double seconds(Clock::duration d)
{
    return std::chrono::duration<double>(d).count();
}

// User and system CPU time of RUSAGE_SELF or RUSAGE_THREAD, in seconds.
inline double cpuSeconds(int who)
{
    rusage usage{};
    ::getrusage(who, &usage);
    const auto toSeconds = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
    };
    return toSeconds(usage.ru_utime) + toSeconds(usage.ru_stime);
}

// Runs the event loop for duration.
inline void spin(Clock::duration duration)
{
    QEventLoop loop;
    QTimer::singleShot(std::chrono::duration_cast<std::chrono::milliseconds>(duration), &loop, &QEventLoop::quit);
    loop.exec();
}

// Runs the event loop until condition holds or timeout passes; true when it held.
inline bool spinUntil(const std::function<bool()>& condition, Clock::duration timeout)
{
    const auto deadline = Clock::now() + timeout;
    while (!condition()) {
        if (Clock::now() >= deadline)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QEventLoop loop;
        QTimer::singleShot(2, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

// What every "bytes skipped" notice contains: the catalogue's text without its count.
inline std::string skipNoticeMarker()
{
    const std::string sample = velmora::L10n::Status::droppedBytes(7);
    return sample.substr(sample.find('7') + 1);
}

} // namespace velmora::bench

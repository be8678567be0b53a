#include "app/platform/QtMainQueue.h"

#include <QThread>
#include <QTimer>

namespace velmora {

QtMainQueue::QtMainQueue(QObject* parent) : QObject(parent) {}

void QtMainQueue::post(Task task)
{
    QMetaObject::invokeMethod(this, [task = std::move(task)] { task(); }, Qt::QueuedConnection);
}

TaskHandle QtMainQueue::postAfter(std::chrono::milliseconds delay, Task task)
{
    auto token = std::make_shared<TaskToken>();
    auto start = [this, delay, token, task = std::move(task)]() mutable {
        // Precise timers: the 30 ms batching and the 0.1 s plot rhythm are meant as stated.
        QTimer::singleShot(delay, Qt::PreciseTimer, this, [token, task = std::move(task)] {
            if (token->begin())
                task();
        });
    };
    // Timers belong to the thread that starts them, so start them on ours.
    if (QThread::currentThread() == thread())
        start();
    else
        QMetaObject::invokeMethod(this, std::move(start), Qt::QueuedConnection);
    return TaskHandle(token);
}

MainQueue::Clock::time_point QtMainQueue::now() const
{
    return Clock::now();
}

} // namespace velmora

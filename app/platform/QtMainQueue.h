#pragma once

#include "core/exec/MainQueue.h"

#include <QObject>

#include <map>
#include <memory>
#include <mutex>
#include <utility>

class QSocketNotifier;

namespace velmora {

// The main queue on Qt's event loop. Lives on the GUI thread; post and postAfter may be called
// from any thread and always run their task on the GUI thread.
//
// Delayed tasks wait in a list by deadline under one timer descriptor that the event loop
// watches. Arming it needs no help from the GUI thread, so a delayed task from another thread
// (the serial I/O queue's 30 ms batching, many times a second) wakes the GUI thread once, when
// it is due, instead of once to start a timer and once more when it fires.
class QtMainQueue final : public QObject, public MainQueue {
    Q_OBJECT
public:
    explicit QtMainQueue(QObject* parent = nullptr);
    ~QtMainQueue() override;

    void post(Task task) override;
    TaskHandle postAfter(std::chrono::milliseconds delay, Task task) override;
    Clock::time_point now() const override;

private:
    void runDueTasks();
    // Sets the descriptor to fire at deadline; called with mutex_ held.
    void arm(Clock::time_point deadline);

    int timerFd_ = -1;
    QSocketNotifier* notifier_ = nullptr;
    std::mutex mutex_;
    // Delayed tasks by deadline; equal deadlines keep their posting order.
    std::multimap<Clock::time_point, std::pair<std::shared_ptr<TaskToken>, Task>> timed_;
    Clock::time_point armed_ = Clock::time_point::max();
};

} // namespace velmora

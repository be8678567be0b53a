#pragma once

#include "core/exec/MainQueue.h"

#include <QObject>

namespace velmora {

// The main queue on Qt's event loop. Lives on the GUI thread; post and postAfter may be called
// from any thread and always run their task on the GUI thread.
class QtMainQueue final : public QObject, public MainQueue {
    Q_OBJECT
public:
    explicit QtMainQueue(QObject* parent = nullptr);

    void post(Task task) override;
    TaskHandle postAfter(std::chrono::milliseconds delay, Task task) override;
    Clock::time_point now() const override;
};

} // namespace velmora

#include "app/platform/QtMainQueue.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <QtTest>

#include <atomic>
#include <thread>

using namespace std::chrono_literals;
using velmora::QtMainQueue;

class QtMainQueueTests : public QObject {
    Q_OBJECT

private slots:
    void postedTasksRunOnTheGuiThreadInPostingOrderWhoeverPostsThem()
    {
        QtMainQueue queue;
        QStringList trace;
        std::atomic<int> wrongThread{0};
        std::thread worker([&] {
            for (int i = 0; i < 50; ++i)
                queue.post([&, i] {
                    if (QThread::currentThread() != QCoreApplication::instance()->thread())
                        ++wrongThread;
                    trace << QString::number(i);
                });
        });
        worker.join();
        QCOMPARE(trace.size(), 0); // nothing runs before the event loop does
        QTRY_COMPARE(trace.size(), 50);
        for (int i = 0; i < 50; ++i)
            QCOMPARE(trace[i], QString::number(i));
        QCOMPARE(wrongThread.load(), 0);
    }

    void delayedTasksWaitTheirTimeAndCancelledOnesNeverRun()
    {
        QtMainQueue queue;
        QStringList trace;
        QElapsedTimer clock;
        clock.start();
        qint64 ranAfter = -1;
        queue.postAfter(60ms, [&] {
            trace << "late";
            ranAfter = clock.elapsed();
        });
        queue.postAfter(10ms, [&] { trace << "early"; });
        auto cancelled = queue.postAfter(20ms, [&] { trace << "cancelled"; });
        QVERIFY(cancelled.isPending());
        cancelled.cancel();
        QVERIFY(!cancelled.isPending());
        QTRY_COMPARE(trace, (QStringList{"early", "late"}));
        QVERIFY(ranAfter >= 60);
        QTest::qWait(40);
        QCOMPARE(trace, (QStringList{"early", "late"}));
    }

    void delayedTasksPostedFromAnotherThreadRunOnTheGuiThreadAndCanBeCancelledFromThere()
    {
        QtMainQueue queue;
        std::atomic<bool> ranOnGui{false};
        std::atomic<bool> cancelledRan{false};
        QStringList trace;
        QElapsedTimer clock;
        clock.start();
        qint64 lateRanAfter = -1;
        std::thread worker([&] {
            queue.postAfter(45ms, [&] {
                trace << "late";
                lateRanAfter = clock.elapsed();
            });
            queue.postAfter(
                5ms, [&] { ranOnGui = QThread::currentThread() == QCoreApplication::instance()->thread(); });
            queue.postAfter(30ms, [&] { cancelledRan = true; }).cancel();
            queue.postAfter(20ms, [&] { trace << "early"; });
        });
        worker.join();
        QTRY_VERIFY(ranOnGui.load());
        // Tasks from another thread run by their deadlines, not in the order they came.
        QTRY_COMPARE(trace, (QStringList{"early", "late"}));
        QVERIFY(lateRanAfter >= 45);
        QTest::qWait(60);
        QVERIFY(!cancelledRan.load());
        QCOMPARE(trace, (QStringList{"early", "late"}));
    }
};

QTEST_GUILESS_MAIN(QtMainQueueTests)
#include "QtMainQueueTests.moc"

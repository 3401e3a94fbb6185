#include "eventqueue.h"

#include <QtTest>

#include <deque>
#include <string>

using gentlprod::EventQueue;

// The queue behind a registered event: bounded by records and by bytes, oldest dropped and counted, and
// nothing kept once it is closed.
class TestEventQueue : public QObject
{
    Q_OBJECT

private slots:
    void bounds_data()
    {
        QTest::addColumn<int>("capacity");
        QTest::addColumn<int>("maxBytes");
        QTest::addColumn<int>("records");
        QTest::addColumn<int>("recordSize");
        QTest::addColumn<bool>("closed");
        QTest::addColumn<int>("queued");
        QTest::addColumn<int>("overflow");
        QTest::newRow("within both") << 10 << 1000 << 5 << 16 << false << 5 << 0;
        QTest::newRow("bounded by records") << 4 << (1 << 20) << 10 << 16 << false << 4 << 6;
        QTest::newRow("bounded by bytes") << 1000 << 1000 << 10 << 200 << false << 5 << 5;
        QTest::newRow("one record larger than the bound") << 10 << 100 << 1 << 500 << false << 1 << 0;
        QTest::newRow("closed: nothing piles up") << 10 << 1000 << 5 << 16 << true << 0 << 0;
    }
    void bounds()
    {
        QFETCH(int, capacity);
        QFETCH(int, maxBytes);
        QFETCH(int, records);
        QFETCH(int, recordSize);
        QFETCH(bool, closed);
        EventQueue queue{size_t(capacity), size_t(maxBytes)};
        if (closed)
            queue.Close(GC_ERR_IO);
        std::deque<std::string> batch(size_t(records), std::string(size_t(recordSize), 'x'));
        queue.PushMany(batch);
        QVERIFY(batch.empty()); // taken, or dropped by a closed queue
        QTEST(int(queue.Queued()), "queued");
        QTEST(int(queue.Overflow()), "overflow");
        QCOMPARE(queue.QueuedBytes(), size_t(queue.Queued()) * size_t(recordSize));
        if (!closed)
            QCOMPARE(queue.Fired(), uint64_t(records));
        char buffer[1024];
        for (size_t size = sizeof buffer; queue.Pop(buffer, &size, 0) == GC_ERR_SUCCESS; size = sizeof buffer) {
        }
        QCOMPARE(queue.QueuedBytes(), size_t(0));
    }
};

QTEST_GUILESS_MAIN(TestEventQueue)
#include "tst_eventqueue.moc"

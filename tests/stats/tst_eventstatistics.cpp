#include "eventstatistics.h"
#include "eventstattext.h"

#include <QtTest>

#include <limits>

namespace {

constexpr quint64 kMax = std::numeric_limits<quint64>::max();

constexpr quint64 kPause = kMax; // in a list of time stamps: collecting stops and starts again there

// One kind of event with the given time stamps in milliseconds (a 1 kHz tick), arriving 10 ms apart.
EventStatRow Feed(const QList<quint64>& ticks)
{
    EventStatistics stats;
    stats.Start(0);
    qint64 nNow = 0;
    for (quint64 t : ticks) {
        if (t == kPause) {
            stats.Stop(nNow);
            stats.Start(nNow += 5000);
            continue;
        }
        stats.Add(0x9000, "ExposureStart", t, 1000, nNow += 10);
    }
    const EventStatisticsSnapshot snapshot = stats.Snapshot(nNow, false);
    return snapshot.rows.value(0);
}

} // namespace

class TestEventStatistics : public QObject
{
    Q_OBJECT

private slots:
    void intervals_data()
    {
        QTest::addColumn<QList<quint64>>("ticks");
        QTest::addColumn<quint64>("intervals");
        QTest::addColumn<double>("minMs");
        QTest::addColumn<double>("meanMs");
        QTest::addColumn<double>("maxMs");
        QTest::addColumn<quint64>("missed");
        QTest::addColumn<quint64>("backwards");
        QTest::newRow("single event") << QList<quint64>{5} << quint64(0) << 0.0 << 0.0 << 0.0 << quint64(0) << quint64(0);
        // Gaps of two and three periods: one and two events missing.
        QTest::newRow("gaps") << QList<quint64>{0, 10, 20, 30, 50, 60, 70, 100} << quint64(7) << 10.0 << 14.286
                              << 30.0 << quint64(3) << quint64(0);
        QTest::newRow("gap before the period is known") << QList<quint64>{0, 40, 50, 60, 70} << quint64(4) << 10.0
                                                        << 17.5 << 40.0 << quint64(3) << quint64(0);
        // Repeated time stamps are intervals of 0 but not the period.
        QTest::newRow("equal time stamps") << QList<quint64>{0, 0, 10, 10, 20, 20} << quint64(5) << 0.0 << 4.0 << 10.0
                                           << quint64(0) << quint64(0);
        QTest::newRow("nothing but equal") << QList<quint64>{7, 7, 7} << quint64(2) << 0.0 << 0.0 << 0.0 << quint64(0)
                                           << quint64(0);
        // A reset device: no interval across the step back, the next ones count from it.
        QTest::newRow("backwards") << QList<quint64>{100, 110, 50, 60, 70} << quint64(3) << 10.0 << 10.0 << 10.0
                                   << quint64(0) << quint64(1);
        QTest::newRow("64-bit wrap") << QList<quint64>{kMax - 14, kMax - 4, 5, 15} << quint64(3) << 10.0 << 10.0
                                     << 10.0 << quint64(0) << quint64(0);
        // Logging paused: what the device sent meanwhile was not collected, and is no gap.
        QTest::newRow("paused") << QList<quint64>{0, 10, 20, kPause, 6300, 6310} << quint64(3) << 10.0 << 10.0 << 10.0
                                << quint64(0) << quint64(0);
        QTest::newRow("wrap with a gap") << QList<quint64>{kMax - 9, 0, 10, 30, 40} << quint64(4) << 10.0 << 12.5
                                         << 20.0 << quint64(1) << quint64(0);
    }
    void intervals()
    {
        QFETCH(QList<quint64>, ticks);
        const EventStatRow row = Feed(ticks);
        QCOMPARE(row.strName, QString("ExposureStart"));
        QCOMPARE(row.nCount, quint64(ticks.size() - ticks.count(kPause)));
        QTEST(row.nIntervals, "intervals");
        QTEST(qRound64(row.dMinInterval * 1e6) / 1e3, "minMs"); // to the microsecond
        QTEST(qRound64(row.dMeanInterval * 1e6) / 1e3, "meanMs");
        QTEST(row.dMaxInterval * 1e3, "maxMs");
        QTEST(row.nSuspectedMissed, "missed");
        QTEST(row.nBackwards, "backwards");
        QCOMPARE(row.nLastTicks, ticks.last());
        QCOMPARE(EventStatText::Cell(row, EventStatText::ColSuspectedMissed).isEmpty(), ticks.size() == 1);
    }

    void missed_data()
    {
        QTest::addColumn<double>("interval");
        QTest::addColumn<double>("median");
        QTest::addColumn<quint64>("missed");
        QTest::newRow("1.5 periods") << 1.5 << 1.0 << quint64(0);
        QTest::newRow("just over 1.5") << 1.51 << 1.0 << quint64(1);
        QTest::newRow("2.49 periods") << 2.49 << 1.0 << quint64(1);
        QTest::newRow("2.51 periods") << 2.51 << 1.0 << quint64(2);
        QTest::newRow("no period") << 5.0 << 0.0 << quint64(0);
        QTest::newRow("absurd gap") << 1e300 << 1e-9 << quint64(1e15) - 1;
    }
    void missed()
    {
        QFETCH(double, interval);
        QFETCH(double, median);
        QTEST(EventStatistics::Missed(interval, median), "missed");
    }

    // Far more intervals than the window keeps: those that left it still count.
    void longRun()
    {
        QList<quint64> ticks;
        for (quint64 k = 0; k <= 5000; ++k)
            if (k % 700 != 350) // 7 events never came
                ticks << k * 10;
        const EventStatRow row = Feed(ticks);
        QCOMPARE(row.nSuspectedMissed, quint64(7));
        QCOMPARE(row.dMedianInterval, 0.01);
        QCOMPARE(row.dMaxInterval, 0.02);

        // The line runs at twice, then ten times the rate: longer periods before are no misses.
        ticks.clear();
        quint64 t = 0;
        for (quint64 period : {20, 10, 1})
            for (int k = 0; k < 3000; ++k)
                ticks << (t += period);
        QCOMPARE(Feed(ticks).nSuspectedMissed, quint64(0));
    }

    // With the last medians a snapshot shows the suspected misses as the last fresh one worked them out; the
    // counts are fresh.
    void lastMedians()
    {
        EventStatistics stats;
        stats.Start(0);
        quint64 t = 0;
        auto feed = [&] { // 100 events 10 ms apart, one missing among them
            for (int k = 0; k < 100; ++k) {
                t += k == 50 ? 20 : 10;
                stats.Add(0x9000, "ExposureStart", t, 1000, qint64(t));
            }
        };
        auto row = [&](EventStatistics::Medians medians) {
            return stats.Snapshot(qint64(t), false, medians).rows.value(0);
        };
        feed();
        QCOMPARE(row(EventStatistics::Medians::Last).nSuspectedMissed, quint64(1)); // none worked out before
        feed();
        QCOMPARE(row(EventStatistics::Medians::Last).nSuspectedMissed, quint64(1));
        QCOMPARE(row(EventStatistics::Medians::Last).nCount, quint64(200));
        QCOMPARE(row(EventStatistics::Medians::Fresh).nSuspectedMissed, quint64(2));
        QCOMPARE(row(EventStatistics::Medians::Last).nSuspectedMissed, quint64(2));
    }

    void rates()
    {
        EventStatistics stats;
        stats.Start(1000);
        for (qint64 ms = 1000; ms < 2000; ms += 10) // 100 events in the first second
            stats.Add(1, "FrameTrigger", quint64(ms), 1000, ms);
        for (qint64 ms = 2000; ms < 3000; ms += 40) // 25 in the second
            stats.Add(1, "FrameTrigger", quint64(ms), 1000, ms);
        EventStatRow row = stats.Snapshot(3000, true).rows.value(0);
        QCOMPARE(row.dRateLastSecond, 25.0);
        QCOMPARE(row.dMeanRate, 62.5);
        QCOMPARE(row.rateHistory, (QVector<double>{25, 100})); // nothing before the start
        // A quiet second later the last second is empty; the mean keeps falling.
        row = stats.Snapshot(4050, true).rows.value(0);
        QCOMPARE(row.dRateLastSecond, 0.0);
        QCOMPARE(row.rateHistory.size(), 3);
        QCOMPARE(row.rateHistory.value(2), 100.0);
        // After a minute and more the history keeps the latest 60 seconds.
        QCOMPARE(stats.Snapshot(100000, true).rows.value(0).rateHistory.size(), EventStatistics::kHistorySeconds);
        QVERIFY(stats.Snapshot(100000, false).rows.value(0).rateHistory.isEmpty());

        // The mean rate counts the time the statistics ran, not a pause.
        stats.Stop(5000);
        stats.Start(9000);
        QCOMPARE(stats.Snapshot(10000, false).nElapsedMs, qint64(5000));
        QCOMPARE(stats.Snapshot(10000, false).rows.value(0).dMeanRate, 25.0);

        stats.Clear(11000);
        QVERIFY(stats.Snapshot(11000, true).rows.isEmpty());
        stats.Add(1, "FrameTrigger", 7, 1000, 11500);
        const EventStatisticsSnapshot again = stats.Snapshot(12000, true);
        QCOMPARE(again.nElapsedMs, qint64(1000)); // the time started again with the clearing
        QCOMPARE(again.rows.value(0).nCount, quint64(1));
        QCOMPARE(again.rows.value(0).dMeanRate, 1.0);
        QCOMPARE(again.rows.value(0).rateHistory, QVector<double>{1});
    }

    // A kind is a name and an ID; beyond the tracked maximum events are only counted.
    void kinds()
    {
        EventStatistics stats;
        stats.Add(1, "A", 1, 0, 0);
        stats.Add(2, "A", 1, 0, 0);
        stats.Add(1, "B", 1, 0, 0);
        stats.Add(1, "A", 2, 0, 0);
        EventStatisticsSnapshot snapshot = stats.Snapshot(0, false);
        QCOMPARE(snapshot.rows.size(), 3);
        QCOMPARE(snapshot.rows.at(0).nCount, quint64(2));
        QCOMPARE(snapshot.rows.at(0).dMinInterval, 1e-9); // frequency 0 stands for 1 GHz
        for (int i = 0; i < EventStatistics::kMaxKinds; ++i)
            stats.Add(quint16(100 + i), "X", 1, 0, 0);
        snapshot = stats.Snapshot(0, false);
        QCOMPARE(snapshot.rows.size(), EventStatistics::kMaxKinds);
        QCOMPARE(snapshot.nUntracked, quint64(3));
    }

    void csv()
    {
        EventStatistics stats;
        stats.Start(0);
        for (quint64 t : {1500, 1510, 1520, 1540})
            stats.Add(0x9000, "Line,\"1\"", t, 1000, qint64(t - 1400));
        stats.Add(0x0012, "Overheat", quint64(-2000000000), 1000000000, 500);
        const QByteArray expected =
            "Event,Count,Last Second (/s),Mean Rate (/s),Min Interval (ms),Mean Interval (ms),Max Interval (ms),"
            "Last Timestamp (s),Suspected Missed\r\n"
            "\"Line,\"\"1\"\"[ID:0x9000]\",4,4,4.00,10.000000,13.333333,20.000000,1.54000000,1\r\n"
            "Overheat[ID:0x0012],1,1,1.00,,,,-2.00000000,\r\n";
        QCOMPARE(EventStatText::Csv(stats.Snapshot(1000, false)), expected);
    }
};

QTEST_GUILESS_MAIN(TestEventStatistics)
#include "tst_eventstatistics.moc"

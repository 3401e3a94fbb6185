#pragma once

#include <QByteArray>
#include <QString>
#include <QVector>

// The statistics of one kind of event (one name and ID) at one moment. Intervals are in seconds, between
// consecutive device time stamps; they exist only from the second event on (nIntervals > 0).
struct EventStatRow
{
    QString strName;
    quint16 nId = 0;
    quint64 nCount = 0;
    double dRateLastSecond = 0; // events that arrived in the last full second
    double dMeanRate = 0;       // events per second of the time the statistics ran
    quint64 nIntervals = 0;
    double dMinInterval = 0;
    double dMeanInterval = 0;
    double dMaxInterval = 0;
    double dMedianInterval = 0; // of the most recent intervals: the period misses are judged against
    quint64 nSuspectedMissed = 0;
    quint64 nBackwards = 0; // time stamps earlier than the one before: no interval, a new reference
    quint64 nLastTicks = 0;
    int nLastFrequency = 0;
    // Events per second over the second that ended k seconds ago, at index k; only seconds since the
    // statistics started, and only when asked for.
    QVector<double> rateHistory;
};

struct EventStatisticsSnapshot
{
    qint64 nElapsedMs = 0; // the time the statistics ran
    QVector<EventStatRow> rows; // in the order the kinds first arrived
    quint64 nUntracked = 0;     // events of kinds beyond the tracked maximum
};

#pragma once

#include "eventstatrow.h"

#include <QElapsedTimer>
#include <QHash>
#include <QMutex>

#include <memory>
#include <vector>

struct EventRecord;

// Collects events as they arrive (any thread) and computes their statistics on request. Memory stays flat:
// per kind of event it keeps the last kWindow intervals and per-100-ms arrival counts for the last minute.
//
// An interval is the difference of two consecutive device time stamps of one kind, taken modulo 2^64 so
// that a counter wrapping round still gives a short step forward; a difference of 2^63 ticks or more is a
// time stamp going backwards (a reset device): it starts a new reference and gives no interval. Neither
// does the step over a pause (Stop to Start): what the device sent meanwhile was not collected.
// Suspected missed: an interval longer than 1.5 times the median interval spans n periods (n rounded), so
// n - 1 events are suspected missing. The median is taken over the positive intervals of the window; an
// interval is judged for good against the median of the intervals around it.
class EventStatistics
{
public:
    static constexpr int kWindow = 1024;
    static constexpr int kMaxKinds = 256;
    static constexpr int kHistorySeconds = 60;

    EventStatistics();
    ~EventStatistics();

    // Arrival times are milliseconds on one monotonic clock; NowMs() is the clock used without one.
    qint64 NowMs() const;

    // The mean rate is over the time between Start and Stop (logging switched on and off), summed.
    void Start(qint64 nNowMs);
    void Start() { Start(NowMs()); }
    void Stop(qint64 nNowMs);
    void Stop() { Stop(NowMs()); }
    // Forgets every event and the time so far; if running, the time starts again now.
    void Clear(qint64 nNowMs);
    void Clear() { Clear(NowMs()); }

    // Any thread. A frequency of 0 or less counts as 1,000,000,000 ticks per second.
    void Add(quint16 nId, const QByteArray& name, quint64 nTicks, int nFrequency, qint64 nNowMs);
    void Add(const EventRecord& record, int nFrequency);

    // With Medians::Last, the median and the suspected misses of each kind are those the last snapshot with
    // fresh ones worked out (both as of then; worked out now for a kind that has none yet): the costly part
    // with hundreds of kinds, for a caller that may show them a little late.
    enum class Medians { Fresh, Last };
    EventStatisticsSnapshot Snapshot(qint64 nNowMs, bool bHistory, Medians medians = Medians::Fresh) const;
    EventStatisticsSnapshot Snapshot(bool bHistory, Medians medians = Medians::Fresh) const
    {
        return Snapshot(NowMs(), bHistory, medians);
    }

    // Suspected missed events in one interval, judged against a median interval.
    static quint64 Missed(double dInterval, double dMedian);

private:
    struct Kind;
    void Add(quint16 nId, const char* szName, int nLength, quint64 nTicks, int nFrequency, qint64 nNowMs);
    Kind* Find(quint16 nId, const char* szName, int nLength);
    void AddTo(Kind& kind, quint64 nTicks, int nFrequency, qint64 nNowMs);

    QElapsedTimer m_clock;
    mutable QMutex m_mutex;
    mutable std::vector<double> m_medianValues; // a buffer for the medians, under the mutex
    std::vector<std::unique_ptr<Kind>> m_kinds;
    QHash<quint16, std::vector<Kind*>> m_byId;
    quint64 m_nUntracked = 0;
    qint64 m_nFirstStartMs = -1; // the chart's seconds begin here
    qint64 m_nRunningSinceMs = -1;
    qint64 m_nRunMs = 0; // summed over the runs that ended
    quint64 m_nRun = 0;  // counts the Starts
};

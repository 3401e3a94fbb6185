#include "eventstatistics.h"

#include "nxainterface.h"
#include "nxinterface.h"

#include <QMutexLocker>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

constexpr qint64 kBucketMs = 100;
constexpr qint64 kBucketsPerSecond = 1000 / kBucketMs;
// A minute of 100 ms buckets and the second before it, with room to spare.
constexpr int kBuckets = 640;
constexpr quint64 kSettleRefresh = 64;

struct Bucket {
    qint64 nIndex = -1;
    quint32 nCount = 0;
};

// Of the positive intervals: repeated time stamps (a resent event, a coarse clock) say nothing of the period.
// Worked out in values, a buffer kept from call to call.
double Median(const std::vector<double>& intervals, std::vector<double>& values)
{
    values.resize(intervals.size());
    values.erase(std::copy_if(intervals.begin(), intervals.end(), values.begin(), [](double d) { return d > 0; }),
                 values.end());
    if (values.empty())
        return 0;
    const size_t nMid = values.size() / 2;
    std::nth_element(values.begin(), values.begin() + nMid, values.end());
    const double dUpper = values[nMid];
    if (values.size() % 2)
        return dUpper;
    return (*std::max_element(values.begin(), values.begin() + nMid) + dUpper) / 2;
}

} // namespace

struct EventStatistics::Kind {
    QByteArray name;
    QString strName; // as the statistics show it
    quint16 nId = 0;
    quint64 nCount = 0;
    bool bHaveLast = false;
    quint64 nLastRun = 0; // the run (Start to Stop) of the last event: intervals never span a pause
    quint64 nLastTicks = 0;
    int nLastFrequency = 0;
    quint64 nIntervals = 0;
    double dMin = 0, dMax = 0, dSum = 0;
    quint64 nBackwards = 0;
    std::vector<double> window; // the latest intervals; interval i at i % kWindow
    double dSettleMedian = -1;
    quint64 nSettledMissed = 0; // of the intervals judged for good
    std::vector<Bucket> buckets;
    // The median and the suspected misses a snapshot last worked out, for the intervals there were then: a
    // cache of the snapshots, under the mutex.
    mutable quint64 nMedianIntervals = 0;
    mutable double dMedian = 0;
    mutable quint64 nMissed = 0;

    quint64 Arrived(qint64 nFirst, qint64 nLast) const
    {
        quint64 n = 0;
        nFirst = std::max<qint64>(nFirst, 0);
        size_t nAt = size_t(nFirst % kBuckets); // one division, not one per bucket
        for (qint64 i = nFirst; i <= nLast; ++i) {
            const Bucket& b = buckets[nAt];
            if (b.nIndex == i)
                n += b.nCount;
            if (++nAt == size_t(kBuckets))
                nAt = 0;
        }
        return n;
    }
};

EventStatistics::EventStatistics()
{
    m_clock.start();
}

EventStatistics::~EventStatistics() = default;

qint64 EventStatistics::NowMs() const
{
    return m_clock.elapsed();
}

void EventStatistics::Start(qint64 nNowMs)
{
    QMutexLocker lock(&m_mutex);
    if (m_nRunningSinceMs >= 0)
        return;
    m_nRunningSinceMs = nNowMs;
    ++m_nRun;
    if (m_nFirstStartMs < 0)
        m_nFirstStartMs = nNowMs;
}

void EventStatistics::Stop(qint64 nNowMs)
{
    QMutexLocker lock(&m_mutex);
    if (m_nRunningSinceMs < 0)
        return;
    m_nRunMs += std::max<qint64>(nNowMs - m_nRunningSinceMs, 0);
    m_nRunningSinceMs = -1;
}

void EventStatistics::Clear(qint64 nNowMs)
{
    QMutexLocker lock(&m_mutex);
    m_kinds.clear();
    m_byId.clear();
    m_nUntracked = 0;
    m_nRunMs = 0;
    m_nRunningSinceMs = m_nRunningSinceMs >= 0 ? nNowMs : -1;
    m_nFirstStartMs = m_nRunningSinceMs;
}

EventStatistics::Kind* EventStatistics::Find(quint16 nId, const char* szName, int nLength)
{
    auto it = m_byId.find(nId);
    if (it != m_byId.end())
        for (Kind* pKind : *it)
            if (pKind->name.size() == nLength && std::memcmp(pKind->name.constData(), szName, size_t(nLength)) == 0)
                return pKind;
    if (int(m_kinds.size()) >= kMaxKinds)
        return nullptr; // and nothing grows for kinds beyond the maximum
    if (it == m_byId.end())
        it = m_byId.insert(nId, {});
    auto kind = std::make_unique<Kind>();
    kind->name = QByteArray(szName, nLength);
    kind->strName = NXInterface::char2QStringLocale(szName, nLength);
    kind->nId = nId;
    kind->buckets.resize(kBuckets);
    it->push_back(kind.get());
    m_kinds.push_back(std::move(kind));
    return m_kinds.back().get();
}

void EventStatistics::Add(quint16 nId, const QByteArray& name, quint64 nTicks, int nFrequency, qint64 nNowMs)
{
    Add(nId, name.constData(), name.size(), nTicks, nFrequency, nNowMs);
}

void EventStatistics::Add(const EventRecord& record, int nFrequency)
{
    Add(record.nEventId, record.szEventName, int(qstrnlen(record.szEventName, sizeof record.szEventName)),
        (quint64(record.nTimestampHigh) << 32) | quint64(record.nTimestampLow), nFrequency, NowMs());
}

void EventStatistics::Add(quint16 nId, const char* szName, int nLength, quint64 nTicks, int nFrequency, qint64 nNowMs)
{
    QMutexLocker lock(&m_mutex);
    if (Kind* pKind = Find(nId, szName, nLength))
        AddTo(*pKind, nTicks, nFrequency, nNowMs);
    else
        ++m_nUntracked;
}

void EventStatistics::AddTo(Kind& kind, quint64 nTicks, int nFrequency, qint64 nNowMs)
{
    ++kind.nCount;
    if (nFrequency <= 0)
        nFrequency = 1000000000;
    nNowMs = std::max<qint64>(nNowMs, 0);
    // After a pause the device went on sending what nobody collected: the first event starts anew.
    if (kind.bHaveLast && kind.nLastRun == m_nRun) {
        const quint64 nStep = nTicks - kind.nLastTicks; // modulo 2^64: a wrap is a short step forward
        if (nStep > quint64(std::numeric_limits<qint64>::max())) {
            ++kind.nBackwards;
        } else {
            const double dInterval = double(nStep) / double(nFrequency);
            if (kind.nIntervals == 0) {
                kind.dMin = kind.dMax = dInterval;
            } else {
                kind.dMin = std::min(kind.dMin, dInterval);
                kind.dMax = std::max(kind.dMax, dInterval);
            }
            const quint64 nIndex = kind.nIntervals++;
            kind.dSum += dInterval;
            if (kind.window.size() < size_t(kWindow))
                kind.window.push_back(dInterval);
            else
                kind.window[size_t(nIndex % kWindow)] = dInterval;
            // An interval is judged for good once it stands in the middle of the window, as many intervals
            // before it as after: a change of the trigger rate then settles no false misses. The median
            // moves slowly, so it is refreshed every kSettleRefresh intervals only.
            if (nIndex >= quint64(kWindow / 2)) {
                if (kind.dSettleMedian < 0 || nIndex % kSettleRefresh == 0)
                    kind.dSettleMedian = Median(kind.window, m_medianValues);
                const quint64 nMiddle = nIndex - quint64(kWindow / 2);
                kind.nSettledMissed += Missed(kind.window[size_t(nMiddle % kWindow)], kind.dSettleMedian);
            }
        }
    }
    kind.bHaveLast = true;
    kind.nLastRun = m_nRun;
    kind.nLastTicks = nTicks;
    kind.nLastFrequency = nFrequency;
    const qint64 nBucket = nNowMs / kBucketMs;
    Bucket& bucket = kind.buckets[size_t(nBucket % kBuckets)];
    if (bucket.nIndex != nBucket) {
        bucket.nIndex = nBucket;
        bucket.nCount = 0;
    }
    ++bucket.nCount;
}

quint64 EventStatistics::Missed(double dInterval, double dMedian)
{
    if (!(dMedian > 0) || !(dInterval > 1.5 * dMedian))
        return 0;
    const double dPeriods = std::min(dInterval / dMedian, 1e15); // an absurd gap must not overflow the count
    return quint64(std::llround(dPeriods)) - 1;
}

EventStatisticsSnapshot EventStatistics::Snapshot(qint64 nNowMs, bool bHistory, Medians medians) const
{
    QMutexLocker lock(&m_mutex);
    EventStatisticsSnapshot snapshot;
    snapshot.nElapsedMs = m_nRunMs + (m_nRunningSinceMs < 0 ? 0 : std::max<qint64>(nNowMs - m_nRunningSinceMs, 0));
    snapshot.nUntracked = m_nUntracked;
    const qint64 nNowBucket = nNowMs / kBucketMs;
    const qint64 nStartBucket = m_nFirstStartMs < 0 ? nNowBucket : m_nFirstStartMs / kBucketMs;
    snapshot.rows.reserve(int(m_kinds.size()));
    for (const std::unique_ptr<Kind>& pKind : m_kinds) {
        const Kind& kind = *pKind;
        EventStatRow row;
        row.strName = kind.strName;
        row.nId = kind.nId;
        row.nCount = kind.nCount;
        row.nIntervals = kind.nIntervals;
        row.nBackwards = kind.nBackwards;
        row.nLastTicks = kind.nLastTicks;
        row.nLastFrequency = kind.nLastFrequency;
        if (kind.nIntervals) {
            row.dMinInterval = kind.dMin;
            row.dMaxInterval = kind.dMax;
            row.dMeanInterval = kind.dSum / double(kind.nIntervals);
            // With hundreds of kinds the medians are most of a snapshot's time: worked out again only for a
            // kind with new intervals, and with Medians::Last only for a kind that has none yet.
            if (kind.nMedianIntervals != kind.nIntervals && (medians == Medians::Fresh || kind.nMedianIntervals == 0)) {
                kind.nMedianIntervals = kind.nIntervals;
                kind.dMedian = Median(kind.window, m_medianValues);
                kind.nMissed = kind.nSettledMissed;
                // The newer half is not judged for good yet.
                const quint64 nOpen = std::min<quint64>(kind.nIntervals, quint64(kWindow / 2));
                for (quint64 i = kind.nIntervals - nOpen; i < kind.nIntervals; ++i)
                    kind.nMissed += Missed(kind.window[size_t(i % kWindow)], kind.dMedian);
            }
            row.dMedianInterval = kind.dMedian;
            row.nSuspectedMissed = kind.nMissed;
        }
        if (snapshot.nElapsedMs > 0)
            row.dMeanRate = double(kind.nCount) * 1000.0 / double(snapshot.nElapsedMs);
        // Whole 100 ms buckets only: the one filling now would make the rate flicker.
        row.dRateLastSecond = double(kind.Arrived(nNowBucket - kBucketsPerSecond, nNowBucket - 1));
        if (bHistory) {
            for (int k = 0; k < kHistorySeconds; ++k) {
                const qint64 nFirst = nNowBucket - kBucketsPerSecond * (k + 1);
                if (nFirst < nStartBucket)
                    break;
                row.rateHistory << double(kind.Arrived(nFirst, nFirst + kBucketsPerSecond - 1));
            }
        }
        snapshot.rows << row;
    }
    return snapshot;
}

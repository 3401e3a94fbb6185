#include "eventrecordtext.h"

#include "nxinterface.h"

#include <QDateTime>

#include <cstring>

namespace EventRecordText {

int TimestampFrequency(CCamInterface* pInterface)
{
    if (!pInterface)
        return 1000000000;
    IntValue value;
    std::memset(&value, 0, sizeof value);
    for (const char* szName : {"GevTimestampTickFrequency", "DeviceTimestampTickFrequency", "DeviceTimestampIncrement"})
        if (pInterface->GetIntValue(szName, &value, true))
            return value.nCurValue;
    return 1000000000;
}

QString Seconds(const EventRecord& record, int nFrequency)
{
    return Seconds((quint64(record.nTimestampHigh) << 32) | quint64(record.nTimestampLow), nFrequency);
}

QString Seconds(quint64 nTicks, int nFrequency)
{
    if (nFrequency == 0)
        nFrequency = 1000000000;
    return QString::number(double(qint64(nTicks)) / double(nFrequency), 'f', 8);
}

namespace {

// The date and time up to the second are formatted once per second, format and thread: the local time
// conversion costs a time-zone look-up, too much for every event.
template <bool bIso>
QString Arrival()
{
    thread_local qint64 tSecond = -1;
    thread_local QString tPrefix, tSuffix;
    const qint64 nNow = QDateTime::currentMSecsSinceEpoch();
    const qint64 nSecond = nNow / 1000;
    if (nSecond != tSecond) {
        tSecond = nSecond;
        const QDateTime time = QDateTime::fromMSecsSinceEpoch(nSecond * 1000);
        if (bIso) {
            tPrefix = time.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss."));
            const int nOffset = time.offsetFromUtc() / 60;
            tSuffix = QStringLiteral("%1%2:%3").arg(nOffset < 0 ? QLatin1Char('-') : QLatin1Char('+'))
                          .arg(qAbs(nOffset) / 60, 2, 10, QLatin1Char('0')).arg(qAbs(nOffset) % 60, 2, 10, QLatin1Char('0'));
        } else {
            tPrefix = time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss:"));
        }
    }
    const int nMs = int(nNow % 1000);
    QString strText = tPrefix;
    strText += QLatin1Char(char('0' + nMs / 100));
    strText += QLatin1Char(char('0' + nMs / 10 % 10));
    strText += QLatin1Char(char('0' + nMs % 10));
    strText += tSuffix;
    return strText;
}

} // namespace

QString ArrivalTime()
{
    return Arrival<false>();
}

QString ArrivalTimeIso()
{
    return Arrival<true>();
}

QString Name(const EventRecord& record)
{
    return NXInterface::char2QStringLocale(record.szEventName, -1);
}

QString IdText(const EventRecord& record)
{
    return NXInterface::toHexadecimalString(record.nEventId, 0, 4);
}

QString Content(const EventRecord& record)
{
    return QStringLiteral("%1[ID:%2] ").arg(Name(record), IdText(record));
}

} // namespace EventRecordText

#include "eventprinter.h"

#include "eventrecordtext.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QMutexLocker>

#include <cstdio>

namespace {

void Write(const QString& strText)
{
    const QByteArray bytes = strText.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
}

} // namespace

EventPrinter::EventPrinter(CCamInterface* pInterface, const QString& strFormat)
    : m_pInterface(pInterface)
    , m_strFormat(strFormat)
{
    if (m_strFormat == QLatin1String("csv"))
        Write(QStringLiteral("seconds,name,id,arrival\n"));
}

void EventPrinter::OnEvent(EventRecord* pRecord)
{
    const QString strSeconds = EventRecordText::Seconds(*pRecord, EventRecordText::TimestampFrequency(m_pInterface));
    const QString strName = EventRecordText::Name(*pRecord);
    const QString strId = EventRecordText::IdText(*pRecord);
    const QString strArrival = EventRecordText::ArrivalTime();
    QString strLine;
    if (m_strFormat == QLatin1String("csv")) {
        strLine = QStringLiteral("%1,%2,%3,%4\n").arg(strSeconds, strName, strId, strArrival);
    } else if (m_strFormat == QLatin1String("jsonl")) {
        const QJsonObject o{{"seconds", strSeconds}, {"name", strName}, {"id", strId}, {"arrival", strArrival}};
        strLine = QString::fromUtf8(QJsonDocument(o).toJson(QJsonDocument::Compact)) + QLatin1Char('\n');
    } else {
        strLine = strSeconds + QLatin1Char(' ') + EventRecordText::Content(*pRecord) + QLatin1Char(' ') + strArrival
                  + QLatin1Char('\n');
    }
    QMutexLocker lock(&m_mutex);
    Write(strLine);
    ++m_nCount;
    Tally& tally = m_tallies[strName + QLatin1Char(' ') + strId];
    if (tally.nCount++ == 0)
        tally.strFirst = strSeconds;
    tally.strLast = strSeconds;
}

long EventPrinter::Count()
{
    QMutexLocker lock(&m_mutex);
    return m_nCount;
}

void EventPrinter::Summary(double dSeconds)
{
    QMutexLocker lock(&m_mutex);
    std::fflush(stdout);
    std::fprintf(stderr, "# %-36s %10s %12s %18s %18s\n", "event", "count", "per second", "first", "last");
    for (auto it = m_tallies.cbegin(); it != m_tallies.cend(); ++it)
        std::fprintf(stderr, "# %-36s %10ld %12.2f %18s %18s\n", qPrintable(it.key()), it->nCount,
                     dSeconds > 0 ? it->nCount / dSeconds : 0.0, qPrintable(it->strFirst), qPrintable(it->strLast));
}

#include "eventprinter.h"

#include "eventrecordtext.h"
#include "eventstattext.h"

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
    m_statistics.Start();
}

void EventPrinter::OnEvent(EventRecord* pRecord)
{
    const int nFrequency = EventRecordText::TimestampFrequency(m_pInterface);
    const QString strSeconds = EventRecordText::Seconds(*pRecord, nFrequency);
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
    m_statistics.Add(*pRecord, nFrequency);
    QMutexLocker lock(&m_mutex);
    Write(strLine);
    ++m_nCount;
}

long EventPrinter::Count()
{
    QMutexLocker lock(&m_mutex);
    return m_nCount;
}

void EventPrinter::Summary()
{
    using namespace EventStatText;
    const EventStatisticsSnapshot snapshot = m_statistics.Snapshot(false);
    QMutexLocker lock(&m_mutex);
    std::fflush(stdout);
    // Right-aligned columns as wide as their widest text; the last second's rate means little at the end.
    const QList<int> columns{ColName,        ColCount,       ColMeanRate,        ColMinInterval,
                             ColMeanInterval, ColMaxInterval, ColSuspectedMissed, ColLastTimestamp};
    QVector<QStringList> lines(snapshot.rows.size() + 1);
    for (int c : columns) {
        QStringList cells{Header(c)};
        for (const EventStatRow& row : snapshot.rows)
            cells << Cell(row, c);
        int nWidth = 0;
        for (const QString& strCell : qAsConst(cells))
            nWidth = qMax(nWidth, strCell.size());
        for (int i = 0; i < cells.size(); ++i)
            lines[i] << (c == ColName ? cells[i].leftJustified(nWidth) : cells[i].rightJustified(nWidth));
    }
    for (const QStringList& line : qAsConst(lines))
        std::fprintf(stderr, "# %s\n", qUtf8Printable(line.join(QStringLiteral("  "))));
    if (snapshot.nUntracked)
        std::fprintf(stderr, "# events of further kinds, not in the table: %llu\n",
                     (unsigned long long)snapshot.nUntracked);
}

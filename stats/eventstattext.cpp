#include "eventstattext.h"

#include "eventrecordtext.h"
#include "nxinterface.h"

#include <QCoreApplication>

namespace EventStatText {

namespace {

const char* const kHeaders[ColumnCount] = {
    QT_TRANSLATE_NOOP("EventStatistics", "Event"),
    QT_TRANSLATE_NOOP("EventStatistics", "Count"),
    QT_TRANSLATE_NOOP("EventStatistics", "Last Second (/s)"),
    QT_TRANSLATE_NOOP("EventStatistics", "Mean Rate (/s)"),
    QT_TRANSLATE_NOOP("EventStatistics", "Min Interval (ms)"),
    QT_TRANSLATE_NOOP("EventStatistics", "Mean Interval (ms)"),
    QT_TRANSLATE_NOOP("EventStatistics", "Max Interval (ms)"),
    QT_TRANSLATE_NOOP("EventStatistics", "Last Timestamp (s)"),
    QT_TRANSLATE_NOOP("EventStatistics", "Suspected Missed"),
};

QString Milliseconds(double dSeconds, bool bFull)
{
    return QString::number(dSeconds * 1000.0, 'f', bFull ? 6 : 3);
}

QByteArray CsvField(const QString& strText)
{
    QByteArray field = strText.toUtf8();
    const bool bQuote = field.contains(',') || field.contains('"') || field.contains('\n') || field.contains('\r')
                        || field.startsWith(' ') || field.endsWith(' ');
    if (!bQuote)
        return field;
    field.replace('"', "\"\"");
    return '"' + field + '"';
}

} // namespace

QString Header(int nColumn)
{
    if (nColumn < 0 || nColumn >= ColumnCount)
        return QString();
    return QCoreApplication::translate("EventStatistics", kHeaders[nColumn]);
}

bool IsNumeric(int nColumn)
{
    return nColumn != ColName;
}

QString Title(const EventStatRow& row)
{
    return QStringLiteral("%1[ID:%2]").arg(row.strName, NXInterface::toHexadecimalString(row.nId, 0, 4));
}

QString Cell(const EventStatRow& row, int nColumn, bool bFull)
{
    const bool bIntervals = row.nIntervals > 0;
    switch (nColumn) {
    case ColName: return Title(row);
    case ColCount: return QString::number(row.nCount);
    case ColRateLastSecond: return QString::number(row.dRateLastSecond, 'f', 0);
    case ColMeanRate: return QString::number(row.dMeanRate, 'f', 2);
    case ColMinInterval: return bIntervals ? Milliseconds(row.dMinInterval, bFull) : QString();
    case ColMeanInterval: return bIntervals ? Milliseconds(row.dMeanInterval, bFull) : QString();
    case ColMaxInterval: return bIntervals ? Milliseconds(row.dMaxInterval, bFull) : QString();
    case ColLastTimestamp: return EventRecordText::Seconds(row.nLastTicks, row.nLastFrequency);
    case ColSuspectedMissed: return bIntervals ? QString::number(row.nSuspectedMissed) : QString();
    default: return QString();
    }
}

QVariant SortKey(const EventStatRow& row, int nColumn)
{
    const double dNone = -1; // no interval yet sorts below every measured one
    switch (nColumn) {
    case ColName: return Title(row);
    case ColCount: return row.nCount;
    case ColRateLastSecond: return row.dRateLastSecond;
    case ColMeanRate: return row.dMeanRate;
    case ColMinInterval: return row.nIntervals ? row.dMinInterval : dNone;
    case ColMeanInterval: return row.nIntervals ? row.dMeanInterval : dNone;
    case ColMaxInterval: return row.nIntervals ? row.dMaxInterval : dNone;
    case ColLastTimestamp: return EventRecordText::Seconds(row.nLastTicks, row.nLastFrequency).toDouble();
    case ColSuspectedMissed: return row.nIntervals ? double(row.nSuspectedMissed) : dNone;
    default: return QVariant();
    }
}

QByteArray Csv(const EventStatisticsSnapshot& snapshot)
{
    QByteArray csv;
    for (int c = 0; c < ColumnCount; ++c)
        csv += (c ? "," : "") + CsvField(Header(c));
    csv += "\r\n";
    for (const EventStatRow& row : snapshot.rows) {
        for (int c = 0; c < ColumnCount; ++c)
            csv += (c ? "," : "") + CsvField(Cell(row, c, true));
        csv += "\r\n";
    }
    return csv;
}

} // namespace EventStatText

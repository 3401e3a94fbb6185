#pragma once

#include "eventstatrow.h"

#include <QByteArray>
#include <QString>
#include <QVariant>

// How the statistics read: the columns of the Event Monitor's statistics table, the CSV export and the
// command line's summary all come from here.
namespace EventStatText {

enum Column {
    ColName, // "name[ID:0x....]", as the log shows an event
    ColCount,
    ColRateLastSecond,
    ColMeanRate,
    ColMinInterval,
    ColMeanInterval,
    ColMaxInterval,
    ColLastTimestamp,
    ColSuspectedMissed,
    ColumnCount
};

// The column title in the current language (context "EventStatistics").
QString Header(int nColumn);
// The cell as shown; bFull gives intervals to the nanosecond, as exported. Intervals and suspected misses
// are empty while an event has no interval yet.
QString Cell(const EventStatRow& row, int nColumn, bool bFull = false);
// The value the column sorts by: a number, or the name.
QVariant SortKey(const EventStatRow& row, int nColumn);
bool IsNumeric(int nColumn);
// An event as the log and the chart name it: "name[ID:0x....]".
QString Title(const EventStatRow& row);

// The table as CSV: UTF-8, the column titles as the first line, one line per event, CR LF line ends
// (RFC 4180), fields quoted only where they must be.
QByteArray Csv(const EventStatisticsSnapshot& snapshot);

} // namespace EventStatText

#pragma once

#include "deviceeventsink.h"

#include <QMap>
#include <QMutex>
#include <QString>

// Prints each event of one device to stdout as it arrives (text, csv or jsonl) and counts them per event
// for a summary. Called on the device-access library's event thread.
class EventPrinter : public DeviceEventSink
{
public:
    EventPrinter(CCamInterface* pInterface, const QString& strFormat);
    void OnEvent(EventRecord* pRecord) override;
    // Per event: count, rate, first and last time stamp; on stderr.
    void Summary(double dSeconds);
    long Count();

private:
    struct Tally {
        long nCount = 0;
        QString strFirst, strLast;
    };
    CCamInterface* m_pInterface;
    QString m_strFormat;
    QMutex m_mutex;
    QMap<QString, Tally> m_tallies;
    long m_nCount = 0;
};

#pragma once

#include "deviceeventsink.h"
#include "eventstatistics.h"

#include <QMutex>
#include <QString>

// Prints each event of one device to stdout as it arrives (text, csv or jsonl) and keeps the statistics
// per event for a summary. Called on the device-access library's event thread.
class EventPrinter : public DeviceEventSink
{
public:
    EventPrinter(CCamInterface* pInterface, const QString& strFormat);
    void OnEvent(EventRecord* pRecord) override;
    // Per event: the statistics the Event Monitor shows, on stderr.
    void Summary();
    long Count();

private:
    CCamInterface* m_pInterface;
    QString m_strFormat;
    QMutex m_mutex;
    EventStatistics m_statistics;
    long m_nCount = 0;
};

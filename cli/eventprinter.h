#pragma once

#include "deviceeventsink.h"
#include "eventnamemap.h"
#include "eventstatistics.h"

#include <QHash>
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
    // The event's data fields as a JSON object's members (",\"data\":{...}"), exact integers; empty when
    // the description declares none that the record covers.
    static QByteArray DataJson(const EventRecord& record, const EventPortInfo& port);

private:
    CCamInterface* m_pInterface;
    QString m_strFormat;
    QMutex m_mutex;
    EventStatistics m_statistics;
    long m_nCount = 0;
    QHash<quint16, EventPortInfo> m_ports; // the data each event carries, as the description declares it
};

#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>

// One value of an event's data, where the description puts it in the event's record (the GigE Vision
// layout: 16 header bytes, the id at 2, the block id at 6, the time stamp at 8, EVENTDATA from 16 on).
struct EventDataField {
    QByteArray name;      // the feature's name without its "Event<X>" prefix, for example "FrameID"
    quint64 nOffset = 0;
    int nLength = 0;      // 1 to 8 bytes
    bool bBigEndian = false;
    bool bSigned = false;
};

struct EventPortInfo {
    QByteArray name;                 // the event's name X
    QList<EventDataField> fields;    // every value on its port but the time stamp, in document order
};

// The events of a GenICam description by id. An event X is named by its port (a <Port> with <EventID>,
// hexadecimal, carrying the feature "Event<X>Timestamp") or by an Integer "Event<X>" whose constant value
// is the id (X an entry of "EventSelector" when the description has one). Ports win.
QHash<quint16, EventPortInfo> readEventPorts(const QByteArray& description);

// The names alone.
QHash<quint16, QByteArray> readEventNames(const QByteArray& description);

#pragma once

#include <QByteArray>
#include <QHash>

// Event names by event id, from a GenICam description: an event X has a port node with <EventID> (hex)
// and features such as "EventXTimestamp" on that port.
QHash<quint16, QByteArray> readEventNames(const QByteArray& description);

#pragma once
// Where the worker's device event callback hands events: a process-wide registry from the identity of a
// device-access instance to the receiver of its events (the event monitor of that device). Filled on the
// GUI thread, read on the library's event thread.

#include "nxainterface.h"

#include <QtGlobal>

class DeviceEventSink
{
public:
    virtual ~DeviceEventSink() = default;
    // Called on the library's event thread.
    virtual void OnEvent(EventRecord* pRecord) = 0;
};

namespace DeviceEventRegistry {

void Register(quint64 nKey, DeviceEventSink* pSink);
void Unregister(DeviceEventSink* pSink);
DeviceEventSink* Find(quint64 nKey);
// Every registered sink but the given one, for placing windows.
QList<DeviceEventSink*> Others(const DeviceEventSink* pSink);
// Hands a record to the sink of the key, if any; the sink cannot go away meanwhile. False when none.
bool Dispatch(quint64 nKey, EventRecord* pRecord);

} // namespace DeviceEventRegistry

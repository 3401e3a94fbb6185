#include "deviceeventsink.h"

#include <QHash>
#include <QReadWriteLock>

namespace DeviceEventRegistry {

namespace {

QReadWriteLock& Lock()
{
    static QReadWriteLock lock;
    return lock;
}

QHash<quint64, DeviceEventSink*>& Sinks()
{
    static QHash<quint64, DeviceEventSink*> sinks;
    return sinks;
}

} // namespace

void Register(quint64 nKey, DeviceEventSink* pSink)
{
    QWriteLocker lock(&Lock());
    Sinks().insert(nKey, pSink);
}

void Unregister(DeviceEventSink* pSink)
{
    QWriteLocker lock(&Lock()); // waits for an event being handed to it
    for (auto it = Sinks().begin(); it != Sinks().end();) {
        if (it.value() == pSink)
            it = Sinks().erase(it);
        else
            ++it;
    }
}

DeviceEventSink* Find(quint64 nKey)
{
    QReadLocker lock(&Lock());
    return Sinks().value(nKey, nullptr);
}

QList<DeviceEventSink*> Others(const DeviceEventSink* pSink)
{
    QReadLocker lock(&Lock());
    QList<DeviceEventSink*> others;
    for (DeviceEventSink* p : qAsConst(Sinks()))
        if (p != pSink)
            others.append(p);
    return others;
}

bool Dispatch(quint64 nKey, EventRecord* pRecord)
{
    QReadLocker lock(&Lock());
    DeviceEventSink* pSink = Sinks().value(nKey, nullptr);
    if (!pSink)
        return false;
    pSink->OnEvent(pRecord);
    return true;
}

} // namespace DeviceEventRegistry

#pragma once

#include "featuredesc.h"
#include "nxainterface.h"
#include "standardeventmodel.h"

#include <QList>
#include <QMap>
#include <QThread>

#include <atomic>

namespace Saltire {
struct ChannelItem;
struct EventTypeItem;
}

// Reads and writes the event features of devices off the GUI thread, one job at a time. It keeps every
// device it opened (instance, handle, event tree) until it is destroyed. No lock guards the trees: the
// callers leave them alone from StartRW until SigFinishRW has been handled.
class RWEventFeatureThread : public QThread
{
    Q_OBJECT
public:
    explicit RWEventFeatureThread(QObject* parent);
    ~RWEventFeatureThread() override;

    // Starts a read (open and build the tree) or a write (apply the tree) for the record's device number.
    // Dropped, with no signal, while a job runs.
    void StartRW(const DeviceInfo* pDevInfo, bool bRead);
    // The instance of the last job's device, or null when that device is not open.
    CCamInterface* GetInterface();
    // The event tree of a device number; an unknown number gives a shared empty list.
    QList<Saltire::EventTypeItem*>* GetEventTypeList(int nID);

signals:
    void SigFinishRW(int nID, bool bRead, bool bCreatInterfaceSuc);

protected:
    void run() override;

private:
    static void OnDeviceEvent(EventRecord* pRecord, void* pUser);
    bool ReadDevice(int nID);
    void NoteReadProblem(int nID);
    void ReadXml(Saltire::FeatureDescMap& out);
    int ReadChannels(QList<Saltire::ChannelItem*>& target, const QStringList& prefixWords,
                     const Saltire::FeatureDescMap& descs);
    void WriteDevice(int nID);
    void WriteChannels(const QList<Saltire::ChannelItem*>& channels, CCamInterface* pInterface);

    bool m_bRead = true;
    QMap<int, QList<Saltire::EventTypeItem*>> m_mapEventTypes;
    QMap<int, void*> m_mapHandles;
    QMap<int, CCamInterface*> m_mapInterfaces;
    DeviceInfo m_devInfo;
    std::atomic<bool> m_bJobEnded{true};
    QMap<int, Saltire::StandardEventLayout> m_mapStandard; // devices whose events are described the standard way
};

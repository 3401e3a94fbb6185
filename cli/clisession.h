#pragma once
// The command line's way to the devices: the window's discovery and numbering, and its worker for reading
// and writing event models. One session per run.

#include "nxainterface.h"

#include <QList>
#include <QString>

#include <memory>

class RWEventFeatureThread;

namespace Saltire {
struct EventTypeItem;
}

class CliSession
{
public:
    CliSession();
    ~CliSession();

    // Every device of every producer, numbered as the window numbers them.
    const QList<DeviceInfo>& Devices();
    // A device by number, selector label, key or serial number (in that order of precedence); the first
    // when the text is empty. -1 when none matches, Ambiguous when a serial number is not unique.
    static constexpr int Ambiguous = -2;
    int FindDevice(const QString& strWhich);
    static QString Label(const DeviceInfo& record);
    static QString Key(const DeviceInfo& record);

    // Opens and reads device i of Devices(); false when it could not be opened.
    bool Read(int nIndex);
    // Writes the shown items of the device's model; false when the worker did not run.
    bool Write(int nIndex);
    QList<Saltire::EventTypeItem*>& Model(int nIndex);
    // The device-access instance the worker opened for device i.
    CCamInterface* Interface(int nIndex);
    RWEventFeatureThread* Worker() const { return m_pWorker.get(); }

private:
    bool RunJob(int nIndex, bool bRead, bool* pOpened);

    CCamInterface* m_pEnumerator = nullptr;
    bool m_bEnumerated = false;
    QList<DeviceInfo> m_devices;
    std::unique_ptr<RWEventFeatureThread> m_pWorker;
};

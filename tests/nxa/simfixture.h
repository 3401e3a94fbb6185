#pragma once
// A private producers' folder holding the simulated camera and a definitions folder for it, set up through
// the environment overrides so that nothing outside the temporary folder is touched.

#include "nxainterface.h"

#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

// A simulated device, listed and opened on an instance of its own; none is opened for an empty id.
struct SimDevice
{
    CCamInterface* cam = nullptr;
    void* handle = nullptr;
    DeviceInfo record{};
    int rc = -1; // of the open; -1 when the id was not listed

    explicit SimDevice(const QByteArray& id = QByteArray())
    {
        CInterface* p = nullptr;
        NXACreateInstance(NXA_CAMERA_INTERFACE, &p);
        cam = dynamic_cast<CCamInterface*>(p);
        DeviceInfoList list{};
        if (id.isEmpty() || !cam || cam->EnumDevices(&list, "DoVISimulator.cti") != 0)
            return;
        for (quint32 i = 0; i < list.nCount && rc == -1; ++i) {
            if (id == reinterpret_cast<const char*>(list.pItems[i]->szKey)) {
                record = *list.pItems[i];
                rc = cam->OpenDevice(&handle, &record, NXA_ACCESS_EXCLUSIVE);
            }
        }
    }
    ~SimDevice()
    {
        if (handle)
            cam->CloseDevice(handle); // refused harmlessly when the test closed it already
        if (cam)
            NXAReleaseInstance(cam);
    }
    SimDevice(const SimDevice&) = delete;
    SimDevice& operator=(const SimDevice&) = delete;
    quint64 key() const { return quint64(quintptr(cam)); }
};

class SimFixture
{
public:
    // The record of a simulated device (the first when id is empty), numbered as the main window would.
    static bool FindRecord(const QByteArray& id, int nNumber, DeviceInfo& out)
    {
        CInterface* p = nullptr;
        if (NXACreateInstance(NXA_CAMERA_INTERFACE, &p) != 0)
            return false;
        DeviceInfoList list{};
        bool bFound = false;
        if (dynamic_cast<CCamInterface*>(p)->EnumDevices(&list, "DoVISimulator.cti") == 0) {
            for (quint32 i = 0; i < list.nCount && !bFound; ++i) {
                if (id.isEmpty() || id == reinterpret_cast<const char*>(list.pItems[i]->szKey)) {
                    out = *list.pItems[i];
                    out.nDeviceNumber = quint32(nNumber);
                    bFound = true;
                }
            }
        }
        NXAReleaseInstance(p);
        return bFound;
    }

    SimFixture()
    {
        m_common = m_dir.path() + "/common";
        QDir().mkpath(producerFolder());
        QDir().mkpath(devicesFolder());
        qputenv("KESTREL_COMMON_FILES_DIR", m_common.toLocal8Bit());
        qputenv("DOVI_SIM_DEVICES", devicesFolder().toLocal8Bit());
        qputenv("DOVI_SIM_STATE_DIR", stateFolder().toLocal8Bit()); // each fixture's devices start afresh
    }

    bool isValid() const { return m_dir.isValid(); }
    QString root() const { return m_dir.path(); }
    QString producerFolder() const { return m_common + "/Kestrel/Runtime/Linux64_x64"; }
    QString devicesFolder() const { return m_dir.path() + "/devices"; }
    QString stateFolder() const { return m_dir.path() + "/state"; }

    // Installs the simulator under another file name (a second copy is a second producer).
    bool installProducer(const QString& name = "DoVISimulator.cti") const
    {
        const QString target = producerFolder() + "/" + name;
        QFile::remove(target);
        return QFile::copy(SALTIRE_DOVISIM_CTI, target);
    }

    // Copies a shipped device (its .ini and the files it names). Uncached: its description marks every
    // register NoCache, so that every feature operation reaches the device (and its injected faults).
    enum Caching { AsShipped, Uncached };
    bool addShippedDevice(const QString& key, const QByteArray& extraIni = QByteArray(),
                          Caching caching = AsShipped) const
    {
        const QDir src(SALTIRE_DOVISIM_DEVICES);
        for (const QString& f : src.entryList({key + "*.xml"}, QDir::Files)) {
            QFile in(src.filePath(f));
            QFile out(devicesFolder() + "/" + f);
            if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly))
                return false;
            QByteArray xml = in.readAll();
            if (caching == Uncached)
                xml.replace("<Cachable>WriteThrough</Cachable>", "<Cachable>NoCache</Cachable>");
            if (out.write(xml) != xml.size())
                return false;
        }
        QFile ini(src.filePath(key + ".ini"));
        if (!ini.open(QIODevice::ReadOnly))
            return false;
        return writeDevice(key + ".ini", ini.readAll() + "\n" + extraIni);
    }

    // The simulator and one shipped device in it.
    bool install(const QString& key, const QByteArray& extraIni = QByteArray(), Caching caching = AsShipped) const
    {
        return installProducer() && addShippedDevice(key, extraIni, caching);
    }

    // Rewrites a shipped device's file with extra lines, for a device that is already installed.
    bool rewriteShippedDevice(const QString& key, const QByteArray& extraIni) const
    {
        QFile ini(QDir(SALTIRE_DOVISIM_DEVICES).filePath(key + ".ini"));
        return ini.open(QIODevice::ReadOnly) && writeDevice(key + ".ini", ini.readAll() + "\n" + extraIni);
    }

    bool writeDevice(const QString& fileName, const QByteArray& content) const
    {
        QFile f(devicesFolder() + "/" + fileName);
        return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(content) == content.size();
    }

private:
    QTemporaryDir m_dir;
    QString m_common;
};

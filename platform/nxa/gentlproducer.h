#pragma once

#include "gentl.h"

#include <QByteArray>
#include <QLibrary>
#include <QList>
#include <QMap>
#include <QMutex>
#include <QString>

#include <atomic>
#include <memory>

// One loaded producer library. Shared by every instance that uses it: GCInitLib and TLOpen run once when
// it is first acquired, and it is closed and unloaded when the last user lets it go.
class GenTLProducer : public std::enable_shared_from_this<GenTLProducer>
{
public:
    struct Functions {
        PGCInitLib GCInitLib = nullptr;
        PGCCloseLib GCCloseLib = nullptr;
        PTLOpen TLOpen = nullptr;
        PTLClose TLClose = nullptr;
        PTLUpdateInterfaceList TLUpdateInterfaceList = nullptr;
        PTLGetNumInterfaces TLGetNumInterfaces = nullptr;
        PTLGetInterfaceID TLGetInterfaceID = nullptr;
        PTLOpenInterface TLOpenInterface = nullptr;
        PIFClose IFClose = nullptr;
        PIFUpdateDeviceList IFUpdateDeviceList = nullptr;
        PIFGetNumDevices IFGetNumDevices = nullptr;
        PIFGetDeviceID IFGetDeviceID = nullptr;
        PIFGetDeviceInfo IFGetDeviceInfo = nullptr;
        PIFOpenDevice IFOpenDevice = nullptr;
        PDevClose DevClose = nullptr;
        PDevGetPort DevGetPort = nullptr;
        PGCReadPort GCReadPort = nullptr;
        PGCWritePort GCWritePort = nullptr;
        PGCGetNumPortURLs GCGetNumPortURLs = nullptr;
        PGCGetPortURLInfo GCGetPortURLInfo = nullptr;
        PGCRegisterEvent GCRegisterEvent = nullptr;
        PGCUnregisterEvent GCUnregisterEvent = nullptr;
        PEventGetData EventGetData = nullptr;
        PEventGetDataInfo EventGetDataInfo = nullptr;
        PEventKill EventKill = nullptr;
        PEventGetInfo EventGetInfo = nullptr; // optional
        PGCGetInfo GCGetInfo = nullptr;       // optional
        PTLGetInfo TLGetInfo = nullptr;       // optional
    };

    struct Device {
        QByteArray ifId, id, vendor, model, serial, userName, displayName;
    };

    // The producers' folder: common files + "/<suite>/Runtime/<platform>".
    static QString producerFolder();

    // Loads (or shares) the producer file of that bare name (in the producers' folder), absolute path, or
    // token (tokenOf); rc tells why it failed.
    static std::shared_ptr<GenTLProducer> acquire(const QString& strName, int32_t& rc);
    // A short stand-in ("@<n>") for an absolute path, for records with little room; acquire takes it.
    static QByteArray tokenOf(const QString& strPath);

    ~GenTLProducer();

    QString fileName() const { return m_strFileName; }
    // One of our own producers, whose custom info commands this library knows.
    bool isOwnProducer() const { return m_bOwnProducer; }
    const Functions& fn() const { return m_fn; }

    int32_t listDevices(QList<Device>& devices);
    // A text of TLGetInfo (empty when the producer does not answer it).
    // A text the transport layer gives of itself; pRc (when given) tells why there is none.
    QByteArray tlInfo(TL_INFO_CMD cmd, int32_t* pRc = nullptr);
    // listDevices on a thread of its own: a producer that hangs is reported, skipped and never used again.
    int32_t listDevicesWithin(QList<Device>& devices, int nTimeoutMs);
    int32_t openDevice(const QByteArray& ifId, const QByteArray& devId, int32_t accessFlags, DEV_HANDLE& hDevice);
    void closeDevice(DEV_HANDLE hDevice);

private:
    GenTLProducer() = default;
    int32_t openInterface(const QByteArray& ifId, IF_HANDLE& hIface);

    QString m_strFileName;
    QLibrary m_library;
    Functions m_fn;
    bool m_bInit = false;
    bool m_bOwnProducer = false;
    QByteArray m_lastProblems; // what the producer last said it could not use
    std::atomic<bool> m_bHung{false};
    TL_HANDLE m_hSystem = nullptr;
    QMap<QByteArray, IF_HANDLE> m_interfaces;
    QMutex m_mutex; // producer calls of enumeration, open and close
};

#pragma once
// A bare GenTL consumer for producer tests: loads one producer file and walks TL, interface and device
// with the producer's own functions, so that a test sees exactly what any consumer would.

#include "gentl.h"

#include <QByteArray>
#include <QLibrary>
#include <QString>

class GenTLClient
{
public:
    typedef GC_ERROR (*PTLGetInfo)(TL_HANDLE, TL_INFO_CMD, INFO_DATATYPE*, void*, size_t*);
    typedef GC_ERROR (*PTLGetInterfaceInfo)(TL_HANDLE, const char*, INTERFACE_INFO_CMD, INFO_DATATYPE*, void*, size_t*);
    typedef GC_ERROR (*PDevGetInfo)(DEV_HANDLE, DEVICE_INFO_CMD, INFO_DATATYPE*, void*, size_t*);
    typedef GC_ERROR (*PDevGetNumDataStreams)(DEV_HANDLE, uint32_t*);
    typedef GC_ERROR (*PDSClose)(void*);
    typedef GC_ERROR (*PGCGetPortInfo)(PORT_HANDLE, PORT_INFO_CMD, INFO_DATATYPE*, void*, size_t*);
    typedef GC_ERROR (*PEventGetInfoFn)(EVENT_HANDLE, EVENT_INFO_CMD, INFO_DATATYPE*, void*, size_t*);

    explicit GenTLClient(const QString& strFile) : m_library(strFile) {}
    ~GenTLClient() { Close(); }

    bool Load()
    {
        if (!m_library.load())
            return false;
        bool bOk = true;
        auto get = [&](auto& f, const char* name) {
            f = reinterpret_cast<std::remove_reference_t<decltype(f)>>(m_library.resolve(name));
            bOk = bOk && f;
        };
        get(GCInitLib, "GCInitLib"); get(GCCloseLib, "GCCloseLib"); get(TLOpen, "TLOpen"); get(TLClose, "TLClose");
        get(TLGetInfo, "TLGetInfo"); get(TLUpdateInterfaceList, "TLUpdateInterfaceList");
        get(TLGetNumInterfaces, "TLGetNumInterfaces"); get(TLGetInterfaceID, "TLGetInterfaceID");
        get(TLGetInterfaceInfo, "TLGetInterfaceInfo"); get(TLOpenInterface, "TLOpenInterface");
        get(IFClose, "IFClose"); get(IFUpdateDeviceList, "IFUpdateDeviceList"); get(IFGetNumDevices, "IFGetNumDevices");
        get(IFGetDeviceID, "IFGetDeviceID"); get(IFGetDeviceInfo, "IFGetDeviceInfo"); get(IFOpenDevice, "IFOpenDevice");
        get(DevClose, "DevClose"); get(DevGetInfo, "DevGetInfo"); get(DevGetPort, "DevGetPort");
        get(DevGetNumDataStreams, "DevGetNumDataStreams"); get(DSClose, "DSClose");
        get(GCReadPort, "GCReadPort"); get(GCWritePort, "GCWritePort"); get(GCGetNumPortURLs, "GCGetNumPortURLs");
        get(GCGetPortURLInfo, "GCGetPortURLInfo"); get(GCGetPortInfo, "GCGetPortInfo");
        get(GCRegisterEvent, "GCRegisterEvent"); get(GCUnregisterEvent, "GCUnregisterEvent");
        get(EventGetData, "EventGetData"); get(EventGetDataInfo, "EventGetDataInfo");
        get(EventGetInfo, "EventGetInfo"); get(EventKill, "EventKill");
        return bOk && GCInitLib() == GC_ERR_SUCCESS && TLOpen(&hSystem) == GC_ERR_SUCCESS;
    }

    void Close()
    {
        if (hSystem)
            TLClose(hSystem);
        if (GCCloseLib && m_library.isLoaded())
            GCCloseLib();
        hSystem = nullptr;
        GCCloseLib = nullptr;
    }

    // Lists the interfaces and opens the one named; its devices are listed too.
    IF_HANDLE OpenInterface(const QByteArray& id)
    {
        bool8_t changed = 0;
        if (TLUpdateInterfaceList(hSystem, &changed, 1000) != GC_ERR_SUCCESS)
            return nullptr;
        IF_HANDLE h = nullptr;
        if (TLOpenInterface(hSystem, id.constData(), &h) != GC_ERR_SUCCESS)
            return nullptr;
        IFUpdateDeviceList(h, &changed, 1000);
        return h;
    }

    // An information call's answer: f(args..., type, buffer, size), as every GenTL *GetInfo has it.
    template<typename F, typename... A>
    static QByteArray Text(F f, A... args)
    {
        char buffer[1024] = {};
        size_t size = sizeof buffer;
        INFO_DATATYPE type = INFO_DATATYPE_UNKNOWN;
        if (f(args..., &type, buffer, &size) != GC_ERR_SUCCESS || type != INFO_DATATYPE_STRING)
            return QByteArray("<error>");
        return QByteArray(buffer);
    }

    template<typename T, typename F, typename... A>
    static T Value(F f, A... args)
    {
        T value{};
        size_t size = sizeof value;
        INFO_DATATYPE type = INFO_DATATYPE_UNKNOWN;
        return f(args..., &type, &value, &size) == GC_ERR_SUCCESS ? value : T(-1);
    }

    TL_HANDLE hSystem = nullptr;
    PGCInitLib GCInitLib = nullptr;
    PGCCloseLib GCCloseLib = nullptr;
    PTLOpen TLOpen = nullptr;
    PTLClose TLClose = nullptr;
    PTLGetInfo TLGetInfo = nullptr;
    PTLUpdateInterfaceList TLUpdateInterfaceList = nullptr;
    PTLGetNumInterfaces TLGetNumInterfaces = nullptr;
    PTLGetInterfaceID TLGetInterfaceID = nullptr;
    PTLGetInterfaceInfo TLGetInterfaceInfo = nullptr;
    PTLOpenInterface TLOpenInterface = nullptr;
    PIFClose IFClose = nullptr;
    PIFUpdateDeviceList IFUpdateDeviceList = nullptr;
    PIFGetNumDevices IFGetNumDevices = nullptr;
    PIFGetDeviceID IFGetDeviceID = nullptr;
    PIFGetDeviceInfo IFGetDeviceInfo = nullptr;
    PIFOpenDevice IFOpenDevice = nullptr;
    PDevClose DevClose = nullptr;
    PDevGetInfo DevGetInfo = nullptr;
    PDevGetPort DevGetPort = nullptr;
    PDevGetNumDataStreams DevGetNumDataStreams = nullptr;
    PDSClose DSClose = nullptr;
    PGCReadPort GCReadPort = nullptr;
    PGCWritePort GCWritePort = nullptr;
    PGCGetNumPortURLs GCGetNumPortURLs = nullptr;
    PGCGetPortURLInfo GCGetPortURLInfo = nullptr;
    PGCGetPortInfo GCGetPortInfo = nullptr;
    PGCRegisterEvent GCRegisterEvent = nullptr;
    PGCUnregisterEvent GCUnregisterEvent = nullptr;
    PEventGetData EventGetData = nullptr;
    PEventGetDataInfo EventGetDataInfo = nullptr;
    PEventGetInfoFn EventGetInfo = nullptr;
    PEventKill EventKill = nullptr;

private:
    QLibrary m_library;
};

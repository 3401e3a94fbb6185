// The GenTL front of our producers: every function of the standard's producer interface, with handle
// checks, the module tree, port URLs and event queues. What a producer knows of its own transport
// (discovery, register access, how events arrive) comes from its ProducerBackend.
//
// Handles are pointers to objects of this file; one that was never given out or is already closed is
// refused, not followed. The lock guards the handle tables only: backend calls (network round trips,
// discovery waits) run without it, and an open device stays alive while a port call is using it.

#include "eventqueue.h"
#include "infoanswer.h"
#include "producerbackend.h"
#include "producerdevice.h"

#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#define GC_API extern "C" __attribute__((visibility("default"))) GC_ERROR

using namespace gentlprod;

namespace {

constexpr size_t kEventRecordHeader = 16; // GigE Vision event layout, big-endian
constexpr size_t kEventQueueCapacity = 1 << 18;
constexpr size_t kEventSizeMax = 65536; // no event record outgrows one UDP datagram

enum class Kind : uint32_t { System = 0x53595354, Interface, Device, Port, Event };

struct Handle {
    explicit Handle(Kind k) : kind(k) {}
    virtual ~Handle() = default;
    Kind kind;
};

struct SystemH;
struct InterfaceH;
struct DeviceH;

struct InterfaceH : Handle {
    InterfaceH() : Handle(Kind::Interface) {}
    std::string strId;
    SystemH* pSystem = nullptr;
    bool bOpen = false;
    std::vector<std::string> devices;
};

struct SystemH : Handle {
    SystemH() : Handle(Kind::System) {}
    std::vector<std::unique_ptr<InterfaceH>> known; // every interface ever listed, so handles stay valid
    std::vector<InterfaceH*> listed;                // the current list
};

struct PortH : Handle {
    PortH() : Handle(Kind::Port) {}
    DeviceH* pDevice = nullptr;
};

struct EventH : Handle {
    EventH() : Handle(Kind::Event) {}
    std::shared_ptr<EventQueue> queue;
    std::weak_ptr<DeviceH> device;
};

std::atomic<uint64_t> g_nPortReads{0}, g_nPortWrites{0};
std::mutex g_mutex;
std::condition_variable g_devicesGone;
int g_nDevicesAlive = 0; // open devices not yet released, including those a port call still holds
std::set<std::pair<std::string, std::string>> g_busy; // (interface, device) open or being opened

struct DeviceH : Handle {
    DeviceH() : Handle(Kind::Device) {}
    // The device stays busy until it is really closed, which may be after DevClose when a port call on
    // another thread still holds it.
    ~DeviceH() override
    {
        device.reset();
        std::lock_guard<std::mutex> lock(g_mutex);
        g_busy.erase({strIfId, strId});
        --g_nDevicesAlive;
        g_devicesGone.notify_all();
    }
    std::string strId, strIfId;
    InterfaceH* pInterface = nullptr;
    std::unique_ptr<ProducerDevice> device;
    PortH port;
    std::mutex eventMutex; // one registration change at a time, held across the device's own calls
    std::shared_ptr<EventH> event;
    std::atomic<uint64_t> nPortReads{0}, nPortWrites{0};
};

std::shared_ptr<ProducerBackend> g_backend;
SystemH* g_pSystem = nullptr;
std::set<const Handle*> g_live;
std::map<const Handle*, std::shared_ptr<DeviceH>> g_devices; // device and port handles -> open device
std::map<const Handle*, std::shared_ptr<EventH>> g_events;

template<typename T>
T* live(void* h, Kind kind)
{
    auto* p = static_cast<const Handle*>(h);
    if (!p || !g_live.count(p) || p->kind != kind)
        return nullptr;
    return static_cast<T*>(const_cast<Handle*>(p));
}

std::shared_ptr<DeviceH> deviceOf(void* h, Kind kind)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    auto* p = static_cast<const Handle*>(h);
    if (!p || !g_live.count(p) || p->kind != kind)
        return nullptr;
    auto it = g_devices.find(p);
    return it == g_devices.end() ? nullptr : it->second;
}

std::shared_ptr<EventH> eventOf(void* h)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    auto it = g_events.find(static_cast<const Handle*>(h));
    return it == g_events.end() ? nullptr : it->second;
}

// Takes the event registration off the tables; the caller stops the device's events outside the lock.
std::shared_ptr<EventH> detachEvent(DeviceH* dev)
{
    std::shared_ptr<EventH> ev = std::move(dev->event);
    if (ev) {
        g_live.erase(ev.get());
        g_events.erase(ev.get());
    }
    return ev;
}

// A waiting consumer thread wakes first; the device's own stop may take a network round trip.
void endEvents(DeviceH* dev, const std::shared_ptr<EventH>& ev)
{
    if (!ev)
        return;
    ev->queue->Close(GC_ERR_ABORT);
    dev->device->StopEvents();
}

// Closes one open device: off the tables under the lock, stopped outside it. The device itself is
// released with the last reference (a port call on another thread may still hold one).
void closeDevice(const std::shared_ptr<DeviceH>& dev)
{
    std::lock_guard<std::mutex> events(dev->eventMutex);
    std::shared_ptr<EventH> ev;
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        if (!g_devices.erase(dev.get()))
            return; // closed by another thread meanwhile
        ev = detachEvent(dev.get());
        g_live.erase(dev.get());
        g_live.erase(&dev->port);
        g_devices.erase(&dev->port);
    }
    endEvents(dev.get(), ev);
}

bool isModule(const Handle* p)
{
    return p && g_live.count(p)
           && (p->kind == Kind::System || p->kind == Kind::Interface || p->kind == Kind::Device);
}

GC_ERROR notImplemented(const char* what)
{
    return Fail(GC_ERR_NOT_IMPLEMENTED, std::string(what) + ": these producers have no image stream");
}

} // namespace

// ---- Library ------------------------------------------------------------------------------------------

GC_API GCInitLib()
{
    std::lock_guard<std::mutex> lock(g_mutex);
    if (g_backend)
        return Fail(GC_ERR_RESOURCE_IN_USE, "already initialised");
    g_backend = CreateBackend();
    if (!g_backend)
        return Fail(GC_ERR_ERROR, "the transport layer cannot start");
    return GC_ERR_SUCCESS;
}

GC_API TLClose(TL_HANDLE hSystem);

GC_API GCCloseLib()
{
    TL_HANDLE hSystem = nullptr;
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        if (!g_backend)
            return Fail(GC_ERR_NOT_INITIALIZED, "not initialised");
        hSystem = g_pSystem;
    }
    if (hSystem)
        TLClose(hSystem);
    std::shared_ptr<ProducerBackend> last;
    {
        // The library may be unloaded after this returns: no device of ours may outlive it.
        std::unique_lock<std::mutex> lock(g_mutex);
        g_devicesGone.wait(lock, [] { return g_nDevicesAlive == 0; });
        last = std::move(g_backend);
    }
    return GC_ERR_SUCCESS;
}

GC_API GCGetInfo(TL_INFO_CMD cmd, INFO_DATATYPE* pType, void* pBuffer, size_t* pSize)
{
    if (cmd == TL_INFO_DOVI_PORT_READS)
        return PutUInt64(g_nPortReads, pType, pBuffer, pSize);
    if (cmd == TL_INFO_DOVI_PORT_WRITES)
        return PutUInt64(g_nPortWrites, pType, pBuffer, pSize);
    std::shared_ptr<ProducerBackend> b;
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        b = g_backend;
    }
    if (b)
        return b->TLInfo(cmd, pType, pBuffer, pSize);
    // Before GCInitLib a consumer may still ask who we are.
    std::unique_ptr<ProducerBackend> probe = CreateBackend();
    return probe ? probe->TLInfo(cmd, pType, pBuffer, pSize) : Fail(GC_ERR_NOT_INITIALIZED, "not initialised");
}

GC_API GCGetLastError(GC_ERROR* pErrorCode, char* sErrText, size_t* piSize)
{
    return LastError(pErrorCode, sErrText, piSize);
}

// ---- System -------------------------------------------------------------------------------------------

GC_API TLOpen(TL_HANDLE* phSystem)
{
    if (!phSystem)
        return Fail(GC_ERR_INVALID_PARAMETER, "null handle pointer");
    std::lock_guard<std::mutex> lock(g_mutex);
    if (!g_backend)
        return Fail(GC_ERR_NOT_INITIALIZED, "GCInitLib was not called");
    if (g_pSystem)
        return Fail(GC_ERR_RESOURCE_IN_USE, "the system module is already open");
    g_pSystem = new SystemH;
    g_live.insert(g_pSystem);
    *phSystem = g_pSystem;
    return GC_ERR_SUCCESS;
}

GC_API TLClose(TL_HANDLE hSystem)
{
    std::vector<std::shared_ptr<DeviceH>> open;
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        if (!live<SystemH>(hSystem, Kind::System))
            return Fail(GC_ERR_INVALID_HANDLE, "not a system handle");
        for (auto& kv : g_devices)
            if (kv.first->kind == Kind::Device)
                open.push_back(kv.second);
    }
    for (const auto& dev : open)
        closeDevice(dev);
    std::lock_guard<std::mutex> lock(g_mutex);
    if (!live<SystemH>(hSystem, Kind::System))
        return GC_ERR_SUCCESS;
    for (auto& itf : g_pSystem->known)
        g_live.erase(itf.get());
    g_live.erase(g_pSystem);
    delete g_pSystem;
    g_pSystem = nullptr;
    return GC_ERR_SUCCESS;
}

GC_API TLGetInfo(TL_HANDLE hSystem, TL_INFO_CMD cmd, INFO_DATATYPE* pType, void* pBuffer, size_t* pSize)
{
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        if (!live<SystemH>(hSystem, Kind::System))
            return Fail(GC_ERR_INVALID_HANDLE, "not a system handle");
    }
    return GCGetInfo(cmd, pType, pBuffer, pSize);
}

// The system's handle of an interface id; a new one when bAdd (the caller holds g_mutex).
static InterfaceH* knownInterface(SystemH* sys, const std::string& strId, bool bAdd)
{
    for (auto& itf : sys->known)
        if (itf->strId == strId)
            return itf.get();
    if (!bAdd)
        return nullptr;
    auto itf = std::make_unique<InterfaceH>();
    itf->strId = strId;
    itf->pSystem = sys;
    InterfaceH* p = itf.get();
    g_live.insert(p);
    sys->known.push_back(std::move(itf));
    return p;
}

GC_API TLUpdateInterfaceList(TL_HANDLE hSystem, bool8_t* pbChanged, uint64_t iTimeout)
{
    std::shared_ptr<ProducerBackend> b;
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        if (!live<SystemH>(hSystem, Kind::System))
            return Fail(GC_ERR_INVALID_HANDLE, "not a system handle");
        b = g_backend;
    }
    const std::vector<std::string> ids = b->UpdateInterfaces(iTimeout);
    std::lock_guard<std::mutex> lock(g_mutex);
    SystemH* sys = live<SystemH>(hSystem, Kind::System);
    if (!sys)
        return Fail(GC_ERR_INVALID_HANDLE, "the system was closed meanwhile");
    std::vector<InterfaceH*> listed;
    for (const std::string& id : ids)
        listed.push_back(knownInterface(sys, id, true));
    if (pbChanged)
        *pbChanged = listed != sys->listed;
    sys->listed = listed;
    return GC_ERR_SUCCESS;
}

GC_API TLGetNumInterfaces(TL_HANDLE hSystem, uint32_t* piNumIfaces)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    SystemH* sys = live<SystemH>(hSystem, Kind::System);
    if (!sys)
        return Fail(GC_ERR_INVALID_HANDLE, "not a system handle");
    if (!piNumIfaces)
        return Fail(GC_ERR_INVALID_PARAMETER, "null count pointer");
    *piNumIfaces = uint32_t(sys->listed.size());
    return GC_ERR_SUCCESS;
}

GC_API TLGetInterfaceID(TL_HANDLE hSystem, uint32_t iIndex, char* sIfaceID, size_t* piSize)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    SystemH* sys = live<SystemH>(hSystem, Kind::System);
    if (!sys)
        return Fail(GC_ERR_INVALID_HANDLE, "not a system handle");
    if (iIndex >= sys->listed.size())
        return Fail(GC_ERR_INVALID_INDEX, "no such interface");
    return PutString(sys->listed[iIndex]->strId, nullptr, sIfaceID, piSize);
}

GC_API TLGetInterfaceInfo(TL_HANDLE hSystem, const char* sIfaceID, INTERFACE_INFO_CMD cmd, INFO_DATATYPE* pType,
                          void* pBuffer, size_t* piSize)
{
    std::shared_ptr<ProducerBackend> b;
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        SystemH* sys = live<SystemH>(hSystem, Kind::System);
        if (!sys)
            return Fail(GC_ERR_INVALID_HANDLE, "not a system handle");
        bool bKnown = false;
        for (auto& itf : sys->known)
            bKnown = bKnown || (sIfaceID && itf->strId == sIfaceID);
        if (!bKnown)
            return Fail(GC_ERR_INVALID_ID, "no such interface");
        b = g_backend;
    }
    return b->InterfaceInfo(sIfaceID, cmd, pType, pBuffer, piSize);
}

GC_API TLOpenInterface(TL_HANDLE hSystem, const char* sIfaceID, IF_HANDLE* phIface)
{
    std::shared_ptr<ProducerBackend> b;
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        SystemH* sys = live<SystemH>(hSystem, Kind::System);
        if (!sys)
            return Fail(GC_ERR_INVALID_HANDLE, "not a system handle");
        if (!phIface || !sIfaceID)
            return Fail(GC_ERR_INVALID_PARAMETER, "null interface id or handle pointer");
        b = g_backend;
    }
    // An id listed through an earlier system handle opens without a new list on this one.
    const bool bKnown = b->KnowsInterface(sIfaceID);
    std::lock_guard<std::mutex> lock(g_mutex);
    SystemH* sys = live<SystemH>(hSystem, Kind::System);
    if (!sys)
        return Fail(GC_ERR_INVALID_HANDLE, "the system was closed meanwhile");
    InterfaceH* found = knownInterface(sys, sIfaceID, bKnown);
    if (!found)
        return Fail(GC_ERR_INVALID_ID, "no such interface");
    if (found->bOpen)
        return Fail(GC_ERR_RESOURCE_IN_USE, "interface already open");
    found->bOpen = true;
    *phIface = found;
    return GC_ERR_SUCCESS;
}

// ---- Interface ----------------------------------------------------------------------------------------

GC_API IFClose(IF_HANDLE hIface)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    InterfaceH* itf = live<InterfaceH>(hIface, Kind::Interface);
    if (!itf || !itf->bOpen)
        return Fail(GC_ERR_INVALID_HANDLE, "not an open interface");
    itf->bOpen = false;
    return GC_ERR_SUCCESS;
}

GC_API IFGetInfo(IF_HANDLE hIface, INTERFACE_INFO_CMD cmd, INFO_DATATYPE* pType, void* pBuffer, size_t* piSize)
{
    std::shared_ptr<ProducerBackend> b;
    std::string id;
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        InterfaceH* itf = live<InterfaceH>(hIface, Kind::Interface);
        if (!itf || !itf->bOpen)
            return Fail(GC_ERR_INVALID_HANDLE, "not an open interface");
        id = itf->strId;
        b = g_backend;
    }
    return b->InterfaceInfo(id, cmd, pType, pBuffer, piSize);
}

GC_API IFGetParentTL(IF_HANDLE hIface, TL_HANDLE* phSystem)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    InterfaceH* itf = live<InterfaceH>(hIface, Kind::Interface);
    if (!itf || !itf->bOpen)
        return Fail(GC_ERR_INVALID_HANDLE, "not an open interface");
    if (!phSystem)
        return Fail(GC_ERR_INVALID_PARAMETER, "null handle pointer");
    *phSystem = itf->pSystem;
    return GC_ERR_SUCCESS;
}

GC_API IFUpdateDeviceList(IF_HANDLE hIface, bool8_t* pbChanged, uint64_t iTimeout)
{
    std::shared_ptr<ProducerBackend> b;
    std::string id;
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        InterfaceH* itf = live<InterfaceH>(hIface, Kind::Interface);
        if (!itf || !itf->bOpen)
            return Fail(GC_ERR_INVALID_HANDLE, "not an open interface");
        id = itf->strId;
        b = g_backend;
    }
    std::vector<std::string> devices = b->UpdateDevices(id, iTimeout);
    std::lock_guard<std::mutex> lock(g_mutex);
    InterfaceH* itf = live<InterfaceH>(hIface, Kind::Interface);
    if (!itf)
        return Fail(GC_ERR_INVALID_HANDLE, "the interface was closed meanwhile");
    if (pbChanged)
        *pbChanged = devices != itf->devices;
    itf->devices = std::move(devices);
    return GC_ERR_SUCCESS;
}

GC_API IFGetNumDevices(IF_HANDLE hIface, uint32_t* piNumDevices)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    InterfaceH* itf = live<InterfaceH>(hIface, Kind::Interface);
    if (!itf || !itf->bOpen)
        return Fail(GC_ERR_INVALID_HANDLE, "not an open interface");
    if (!piNumDevices)
        return Fail(GC_ERR_INVALID_PARAMETER, "null count pointer");
    *piNumDevices = uint32_t(itf->devices.size());
    return GC_ERR_SUCCESS;
}

GC_API IFGetDeviceID(IF_HANDLE hIface, uint32_t iIndex, char* sIDeviceID, size_t* piSize)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    InterfaceH* itf = live<InterfaceH>(hIface, Kind::Interface);
    if (!itf || !itf->bOpen)
        return Fail(GC_ERR_INVALID_HANDLE, "not an open interface");
    if (iIndex >= itf->devices.size())
        return Fail(GC_ERR_INVALID_INDEX, "no such device");
    return PutString(itf->devices[iIndex], nullptr, sIDeviceID, piSize);
}

GC_API IFGetDeviceInfo(IF_HANDLE hIface, const char* sDeviceID, DEVICE_INFO_CMD cmd, INFO_DATATYPE* pType,
                       void* pBuffer, size_t* piSize)
{
    std::shared_ptr<ProducerBackend> b;
    std::string ifId;
    bool bOpen = false;
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        InterfaceH* itf = live<InterfaceH>(hIface, Kind::Interface);
        if (!itf || !itf->bOpen)
            return Fail(GC_ERR_INVALID_HANDLE, "not an open interface");
        if (!sDeviceID)
            return Fail(GC_ERR_INVALID_PARAMETER, "null device id");
        ifId = itf->strId;
        bOpen = g_busy.count({ifId, sDeviceID}) != 0;
        b = g_backend;
    }
    return b->DeviceInfo(ifId, sDeviceID, bOpen, cmd, pType, pBuffer, piSize);
}

GC_API IFOpenDevice(IF_HANDLE hIface, const char* sDeviceID, DEVICE_ACCESS_FLAGS iOpenFlags, DEV_HANDLE* phDevice)
{
    std::shared_ptr<ProducerBackend> b;
    std::string ifId;
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        InterfaceH* itf = live<InterfaceH>(hIface, Kind::Interface);
        if (!itf || !itf->bOpen)
            return Fail(GC_ERR_INVALID_HANDLE, "not an open interface");
        if (!phDevice || !sDeviceID || iOpenFlags < DEVICE_ACCESS_READONLY || iOpenFlags > DEVICE_ACCESS_EXCLUSIVE)
            return Fail(GC_ERR_INVALID_PARAMETER, "bad device id, handle pointer or access flags");
        ifId = itf->strId;
        if (!g_busy.insert({ifId, sDeviceID}).second)
            return Fail(GC_ERR_RESOURCE_IN_USE, "device already open");
        b = g_backend;
    }
    std::unique_ptr<ProducerDevice> opened;
    const GC_ERROR rc = b->OpenDevice(ifId, sDeviceID, iOpenFlags, opened);
    std::unique_lock<std::mutex> lock(g_mutex);
    InterfaceH* itf = live<InterfaceH>(hIface, Kind::Interface);
    if (rc != GC_ERR_SUCCESS || !opened || !itf) {
        g_busy.erase({ifId, sDeviceID});
        lock.unlock();
        opened.reset(); // the interface was closed meanwhile: so is the device
        return rc != GC_ERR_SUCCESS ? rc
               : itf          ? Fail(GC_ERR_ERROR, "the device did not open")
                              : Fail(GC_ERR_INVALID_HANDLE, "the interface was closed meanwhile");
    }
    ++g_nDevicesAlive;
    auto dev = std::make_shared<DeviceH>();
    dev->strId = sDeviceID;
    dev->strIfId = ifId;
    dev->pInterface = itf;
    dev->device = std::move(opened);
    dev->port.pDevice = dev.get();
    g_live.insert(dev.get());
    g_live.insert(&dev->port);
    g_devices[dev.get()] = dev;
    g_devices[&dev->port] = dev;
    *phDevice = dev.get();
    return GC_ERR_SUCCESS;
}

// ---- Device -------------------------------------------------------------------------------------------

GC_API DevClose(DEV_HANDLE hDevice)
{
    std::shared_ptr<DeviceH> dev = deviceOf(hDevice, Kind::Device);
    if (!dev)
        return Fail(GC_ERR_INVALID_HANDLE, "not an open device");
    closeDevice(dev);
    return GC_ERR_SUCCESS;
}

GC_API DevGetInfo(DEV_HANDLE hDevice, DEVICE_INFO_CMD cmd, INFO_DATATYPE* pType, void* pBuffer, size_t* piSize)
{
    std::shared_ptr<DeviceH> dev = deviceOf(hDevice, Kind::Device);
    if (!dev)
        return Fail(GC_ERR_INVALID_HANDLE, "not an open device");
    if (cmd == DEVICE_INFO_DOVI_PORT_READS)
        return PutUInt64(dev->nPortReads, pType, pBuffer, piSize);
    if (cmd == DEVICE_INFO_DOVI_PORT_WRITES)
        return PutUInt64(dev->nPortWrites, pType, pBuffer, piSize);
    return dev->device->Info(cmd, pType, pBuffer, piSize);
}

GC_API DevGetPort(DEV_HANDLE hDevice, PORT_HANDLE* phRemoteDevice)
{
    std::shared_ptr<DeviceH> dev = deviceOf(hDevice, Kind::Device);
    if (!dev)
        return Fail(GC_ERR_INVALID_HANDLE, "not an open device");
    if (!phRemoteDevice)
        return Fail(GC_ERR_INVALID_PARAMETER, "null handle pointer");
    *phRemoteDevice = &dev->port;
    return GC_ERR_SUCCESS;
}

GC_API DevGetParentIF(DEV_HANDLE hDevice, IF_HANDLE* phIface)
{
    std::shared_ptr<DeviceH> dev = deviceOf(hDevice, Kind::Device);
    if (!dev)
        return Fail(GC_ERR_INVALID_HANDLE, "not an open device");
    if (!phIface)
        return Fail(GC_ERR_INVALID_PARAMETER, "null handle pointer");
    *phIface = dev->pInterface;
    return GC_ERR_SUCCESS;
}

GC_API DevGetNumDataStreams(DEV_HANDLE hDevice, uint32_t* piNumDataStreams)
{
    if (!deviceOf(hDevice, Kind::Device))
        return Fail(GC_ERR_INVALID_HANDLE, "not an open device");
    if (!piNumDataStreams)
        return Fail(GC_ERR_INVALID_PARAMETER, "null count pointer");
    *piNumDataStreams = 0;
    return GC_ERR_SUCCESS;
}

GC_API DevGetDataStreamID(DEV_HANDLE hDevice, uint32_t, char*, size_t*)
{
    if (!deviceOf(hDevice, Kind::Device))
        return Fail(GC_ERR_INVALID_HANDLE, "not an open device");
    return Fail(GC_ERR_INVALID_INDEX, "the device has no data stream");
}

GC_API DevOpenDataStream(DEV_HANDLE hDevice, const char*, DS_HANDLE*)
{
    if (!deviceOf(hDevice, Kind::Device))
        return Fail(GC_ERR_INVALID_HANDLE, "not an open device");
    return notImplemented("DevOpenDataStream");
}

// ---- Port ---------------------------------------------------------------------------------------------

GC_API GCReadPort(PORT_HANDLE hPort, uint64_t iAddress, void* pBuffer, size_t* piSize)
{
    std::shared_ptr<DeviceH> dev = deviceOf(hPort, Kind::Port);
    if (!dev)
        return Fail(GC_ERR_INVALID_HANDLE, "not a remote-device port");
    if (!pBuffer || !piSize)
        return Fail(GC_ERR_INVALID_PARAMETER, "null buffer");
    if (*piSize == 0)
        return GC_ERR_SUCCESS; // nothing to read: no round trip
    ++g_nPortReads;
    ++dev->nPortReads;
    return dev->device->Read(iAddress, pBuffer, *piSize);
}

GC_API GCWritePort(PORT_HANDLE hPort, uint64_t iAddress, const void* pBuffer, size_t* piSize)
{
    std::shared_ptr<DeviceH> dev = deviceOf(hPort, Kind::Port);
    if (!dev)
        return Fail(GC_ERR_INVALID_HANDLE, "not a remote-device port");
    if (!pBuffer || !piSize)
        return Fail(GC_ERR_INVALID_PARAMETER, "null buffer");
    if (*piSize == 0)
        return GC_ERR_SUCCESS; // nothing to write
    ++g_nPortWrites;
    ++dev->nPortWrites;
    return dev->device->Write(iAddress, pBuffer, *piSize);
}

// Stacked calls stop at the first failure; the count says how many entries were done.
static GC_ERROR stackedAccess(PORT_HANDLE hPort, PORT_REGISTER_STACK_ENTRY* pEntries, size_t* piNumEntries, bool bWrite)
{
    std::shared_ptr<DeviceH> dev = deviceOf(hPort, Kind::Port);
    if (!dev)
        return Fail(GC_ERR_INVALID_HANDLE, "not a remote-device port");
    if (!pEntries || !piNumEntries)
        return Fail(GC_ERR_INVALID_PARAMETER, "null entries");
    const size_t n = *piNumEntries;
    for (size_t i = 0; i < n; ++i) {
        const PORT_REGISTER_STACK_ENTRY& entry = pEntries[i];
        GC_ERROR rc = GC_ERR_SUCCESS;
        if (!entry.pBuffer) {
            rc = Fail(GC_ERR_INVALID_PARAMETER, "null buffer in an entry");
        } else if (bWrite) {
            ++g_nPortWrites;
            ++dev->nPortWrites;
            rc = dev->device->Write(entry.Address, entry.pBuffer, entry.Size);
        } else {
            ++g_nPortReads;
            ++dev->nPortReads;
            rc = dev->device->Read(entry.Address, entry.pBuffer, entry.Size);
        }
        if (rc != GC_ERR_SUCCESS) {
            *piNumEntries = i;
            return rc;
        }
    }
    return GC_ERR_SUCCESS;
}

GC_API GCReadPortStacked(PORT_HANDLE hPort, PORT_REGISTER_STACK_ENTRY* pEntries, size_t* piNumEntries)
{
    return stackedAccess(hPort, pEntries, piNumEntries, false);
}

GC_API GCWritePortStacked(PORT_HANDLE hPort, PORT_REGISTER_STACK_ENTRY* pEntries, size_t* piNumEntries)
{
    return stackedAccess(hPort, pEntries, piNumEntries, true);
}

GC_API GCGetNumPortURLs(PORT_HANDLE hPort, uint32_t* piNumURLs)
{
    if (!piNumURLs)
        return Fail(GC_ERR_INVALID_PARAMETER, "null count pointer");
    if (std::shared_ptr<DeviceH> dev = deviceOf(hPort, Kind::Port)) {
        *piNumURLs = uint32_t(dev->device->Urls().size());
        return GC_ERR_SUCCESS;
    }
    std::lock_guard<std::mutex> lock(g_mutex);
    if (!isModule(static_cast<const Handle*>(hPort)))
        return Fail(GC_ERR_INVALID_HANDLE, "not a port handle");
    *piNumURLs = 0; // our modules have no description of their own
    return GC_ERR_SUCCESS;
}

GC_API GCGetPortURL(PORT_HANDLE hPort, char* sURL, size_t* piSize)
{
    std::shared_ptr<DeviceH> dev = deviceOf(hPort, Kind::Port);
    if (!dev)
        return Fail(GC_ERR_INVALID_HANDLE, "not a remote-device port");
    const std::vector<PortUrl> urls = dev->device->Urls();
    if (urls.empty())
        return Fail(GC_ERR_NOT_AVAILABLE, "the device names no description");
    return PutString(urls.front().strUrl, nullptr, sURL, piSize);
}

GC_API GCGetPortURLInfo(PORT_HANDLE hPort, uint32_t iURLIndex, URL_INFO_CMD cmd, INFO_DATATYPE* pType,
                        void* pBuffer, size_t* piSize)
{
    std::shared_ptr<DeviceH> dev = deviceOf(hPort, Kind::Port);
    if (!dev)
        return Fail(GC_ERR_INVALID_HANDLE, "not a remote-device port");
    const std::vector<PortUrl> urls = dev->device->Urls();
    if (iURLIndex >= urls.size())
        return Fail(GC_ERR_INVALID_INDEX, "no such URL");
    const PortUrl& url = urls[iURLIndex];
    switch (cmd) {
    case URL_INFO_URL: return PutString(url.strUrl, pType, pBuffer, piSize);
    case URL_INFO_SCHEMA_VER_MAJOR: return PutInt32(1, pType, pBuffer, piSize);
    case URL_INFO_SCHEMA_VER_MINOR: return PutInt32(1, pType, pBuffer, piSize);
    case URL_INFO_FILE_REGISTER_ADDRESS:
        if (url.nScheme != 0)
            break;
        return PutUInt64(url.nRegisterAddress, pType, pBuffer, piSize);
    case URL_INFO_FILE_SIZE:
        if (url.nScheme != 0)
            break;
        return PutUInt64(url.nFileSize, pType, pBuffer, piSize);
    case URL_INFO_SCHEME: return PutInt32(url.nScheme, pType, pBuffer, piSize);
    case URL_INFO_FILENAME: return PutString(url.strFileName, pType, pBuffer, piSize);
    default: break;
    }
    return Fail(GC_ERR_NOT_AVAILABLE, "not provided for this URL");
}

GC_API GCGetPortInfo(PORT_HANDLE hPort, PORT_INFO_CMD cmd, INFO_DATATYPE* pType, void* pBuffer, size_t* piSize)
{
    if (std::shared_ptr<DeviceH> dev = deviceOf(hPort, Kind::Port))
        return dev->device->PortInfo(cmd, pType, pBuffer, piSize);
    std::lock_guard<std::mutex> lock(g_mutex);
    const auto* p = static_cast<const Handle*>(hPort);
    if (!isModule(p))
        return Fail(GC_ERR_INVALID_HANDLE, "not a port handle");
    const char* module = p->kind == Kind::System ? "TLSystem" : p->kind == Kind::Interface ? "TLInterface" : "TLDevice";
    switch (cmd) {
    case PORT_INFO_MODULE:
    case PORT_INFO_PORTNAME: return PutString(module, pType, pBuffer, piSize);
    case PORT_INFO_ACCESS_NA: return PutBool8(true, pType, pBuffer, piSize);
    case PORT_INFO_ACCESS_READ:
    case PORT_INFO_ACCESS_WRITE:
    case PORT_INFO_ACCESS_NI: return PutBool8(false, pType, pBuffer, piSize);
    default: return Fail(GC_ERR_NOT_AVAILABLE, "our modules have no port of their own");
    }
}

// ---- Events -------------------------------------------------------------------------------------------

GC_API GCRegisterEvent(EVENTSRC_HANDLE hEventSrc, EVENT_TYPE iEventID, EVENT_HANDLE* phEvent)
{
    std::shared_ptr<DeviceH> dev;
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        const auto* p = static_cast<const Handle*>(hEventSrc);
        auto it = g_devices.find(p);
        if (!p || !g_live.count(p) || p->kind != Kind::Device || it == g_devices.end())
            return Fail(isModule(p) ? GC_ERR_NOT_IMPLEMENTED : GC_ERR_INVALID_HANDLE,
                        "events come from open devices only");
        if (iEventID != EVENT_REMOTE_DEVICE)
            return Fail(GC_ERR_NOT_IMPLEMENTED, "only remote-device events are delivered");
        if (!phEvent)
            return Fail(GC_ERR_INVALID_PARAMETER, "null handle pointer");
        dev = it->second;
    }
    std::lock_guard<std::mutex> events(dev->eventMutex);
    std::shared_ptr<EventH> ev;
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        if (!g_devices.count(dev.get()))
            return Fail(GC_ERR_INVALID_HANDLE, "the device was closed meanwhile");
        if (dev->event)
            return Fail(GC_ERR_RESOURCE_IN_USE, "already registered");
        ev = std::make_shared<EventH>();
        ev->queue = std::make_shared<EventQueue>(kEventQueueCapacity);
        ev->device = dev;
        dev->event = ev;
        g_live.insert(ev.get());
        g_events[ev.get()] = ev;
    }
    const GC_ERROR rc = dev->device->StartEvents(ev->queue);
    if (rc != GC_ERR_SUCCESS) {
        std::lock_guard<std::mutex> lock(g_mutex);
        if (dev->event == ev)
            detachEvent(dev.get());
        return rc;
    }
    *phEvent = ev.get();
    return GC_ERR_SUCCESS;
}

GC_API GCUnregisterEvent(EVENTSRC_HANDLE hEventSrc, EVENT_TYPE iEventID)
{
    std::shared_ptr<DeviceH> dev = deviceOf(hEventSrc, Kind::Device);
    if (!dev)
        return Fail(GC_ERR_INVALID_HANDLE, "not an open device");
    std::lock_guard<std::mutex> events(dev->eventMutex);
    std::shared_ptr<EventH> ev;
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        if (iEventID != EVENT_REMOTE_DEVICE || !dev->event)
            return Fail(GC_ERR_NOT_AVAILABLE, "not registered");
        ev = detachEvent(dev.get());
    }
    endEvents(dev.get(), ev);
    return GC_ERR_SUCCESS;
}

GC_API EventGetData(EVENT_HANDLE hEvent, void* pBuffer, size_t* piSize, uint64_t iTimeout)
{
    std::shared_ptr<EventH> ev = eventOf(hEvent);
    if (!ev)
        return Fail(GC_ERR_INVALID_HANDLE, "not an event handle");
    return ev->queue->Pop(pBuffer, piSize, iTimeout);
}

// EVENT_DATA_VALUE is the whole record, header first, so that an event port's address 8 is the time stamp.
GC_API EventGetDataInfo(EVENT_HANDLE hEvent, const void* pInBuffer, size_t iInSize, EVENT_DATA_INFO_CMD iInfoCmd,
                        INFO_DATATYPE* pType, void* pOutBuffer, size_t* piOutSize)
{
    std::shared_ptr<EventH> ev = eventOf(hEvent);
    if (!ev)
        return Fail(GC_ERR_INVALID_HANDLE, "not an event handle");
    if (!pInBuffer || iInSize < kEventRecordHeader)
        return Fail(GC_ERR_INVALID_BUFFER, "not an event record");
    if (std::shared_ptr<DeviceH> dev = ev->device.lock()) {
        const GC_ERROR rc = dev->device->EventDataInfo(pInBuffer, iInSize, iInfoCmd, pType, pOutBuffer, piOutSize);
        if (rc != GC_ERR_NOT_IMPLEMENTED)
            return rc;
    }
    const auto* p = static_cast<const uint8_t*>(pInBuffer);
    const uint16_t id = uint16_t((p[2] << 8) | p[3]);
    switch (iInfoCmd) {
    case EVENT_DATA_NUMID: return PutUInt64(id, pType, pOutBuffer, piOutSize);
    case EVENT_DATA_ID: {
        char text[8];
        std::snprintf(text, sizeof text, "%X", id);
        return PutString(text, pType, pOutBuffer, piOutSize);
    }
    case EVENT_DATA_VALUE: return PutBuffer(p, iInSize, pType, pOutBuffer, piOutSize);
    default: return Fail(GC_ERR_INVALID_PARAMETER, "unknown info command");
    }
}

GC_API EventGetInfo(EVENT_HANDLE hEvent, EVENT_INFO_CMD iInfoCmd, INFO_DATATYPE* pType, void* pBuffer,
                    size_t* piSize)
{
    std::shared_ptr<EventH> ev = eventOf(hEvent);
    if (!ev)
        return Fail(GC_ERR_INVALID_HANDLE, "not an event handle");
    const EventQueue& q = *ev->queue;
    switch (iInfoCmd) {
    case EVENT_EVENT_TYPE: return PutInt32(EVENT_REMOTE_DEVICE, pType, pBuffer, piSize);
    case EVENT_NUM_IN_QUEUE: return PutUInt64(q.Queued(), pType, pBuffer, piSize);
    case EVENT_NUM_FIRED: return PutUInt64(q.Fired(), pType, pBuffer, piSize);
    case EVENT_SIZE_MAX:
    case EVENT_INFO_DATA_SIZE_MAX: return PutSizeT(kEventSizeMax, pType, pBuffer, piSize);
    case EVENT_DOVI_NUM_LOST: return PutUInt64(q.Lost(), pType, pBuffer, piSize);
    case EVENT_DOVI_NUM_MALFORMED: return PutUInt64(q.Malformed(), pType, pBuffer, piSize);
    case EVENT_DOVI_NUM_RESTARTS: return PutUInt64(q.Restarts(), pType, pBuffer, piSize);
    case EVENT_DOVI_RECEIVE_BUFFER: return PutUInt64(q.ReceiveBuffer(), pType, pBuffer, piSize);
    case EVENT_DOVI_NUM_OVERFLOW: return PutUInt64(q.Overflow(), pType, pBuffer, piSize);
    default: return Fail(GC_ERR_INVALID_PARAMETER, "unknown info command");
    }
}

GC_API EventFlush(EVENT_HANDLE hEvent)
{
    std::shared_ptr<EventH> ev = eventOf(hEvent);
    if (!ev)
        return Fail(GC_ERR_INVALID_HANDLE, "not an event handle");
    ev->queue->Flush();
    return GC_ERR_SUCCESS;
}

GC_API EventKill(EVENT_HANDLE hEvent)
{
    std::shared_ptr<EventH> ev = eventOf(hEvent);
    if (!ev)
        return Fail(GC_ERR_INVALID_HANDLE, "not an event handle");
    ev->queue->Kill();
    return GC_ERR_SUCCESS;
}

// ---- Data streams: none ---------------------------------------------------------------------------------

GC_API DSAnnounceBuffer(DS_HANDLE, void*, size_t, void*, BUFFER_HANDLE*) { return notImplemented("DSAnnounceBuffer"); }
GC_API DSAllocAndAnnounceBuffer(DS_HANDLE, size_t, void*, BUFFER_HANDLE*) { return notImplemented("DSAllocAndAnnounceBuffer"); }
GC_API DSFlushQueue(DS_HANDLE, ACQ_QUEUE_TYPE) { return notImplemented("DSFlushQueue"); }
GC_API DSStartAcquisition(DS_HANDLE, ACQ_START_FLAGS, uint64_t) { return notImplemented("DSStartAcquisition"); }
GC_API DSStopAcquisition(DS_HANDLE, ACQ_STOP_FLAGS) { return notImplemented("DSStopAcquisition"); }
GC_API DSGetInfo(DS_HANDLE, STREAM_INFO_CMD, INFO_DATATYPE*, void*, size_t*) { return notImplemented("DSGetInfo"); }
GC_API DSGetBufferID(DS_HANDLE, uint32_t, BUFFER_HANDLE*) { return notImplemented("DSGetBufferID"); }
GC_API DSRevokeBuffer(DS_HANDLE, BUFFER_HANDLE, void**, void**) { return notImplemented("DSRevokeBuffer"); }
GC_API DSQueueBuffer(DS_HANDLE, BUFFER_HANDLE) { return notImplemented("DSQueueBuffer"); }
GC_API DSGetBufferInfo(DS_HANDLE, BUFFER_HANDLE, BUFFER_INFO_CMD, INFO_DATATYPE*, void*, size_t*) { return notImplemented("DSGetBufferInfo"); }
GC_API DSGetBufferChunkData(DS_HANDLE, BUFFER_HANDLE, SINGLE_CHUNK_DATA*, size_t*) { return notImplemented("DSGetBufferChunkData"); }
GC_API DSGetParentDev(DS_HANDLE, DEV_HANDLE*) { return notImplemented("DSGetParentDev"); }
GC_API DSGetNumBufferParts(DS_HANDLE, BUFFER_HANDLE, uint32_t*) { return notImplemented("DSGetNumBufferParts"); }
GC_API DSGetBufferPartInfo(DS_HANDLE, BUFFER_HANDLE, uint32_t, BUFFER_PART_INFO_CMD, INFO_DATATYPE*, void*, size_t*) { return notImplemented("DSGetBufferPartInfo"); }

// A consumer may close the stream it never got.
GC_API DSClose(DS_HANDLE hDataStream)
{
    if (!hDataStream)
        return GC_ERR_SUCCESS;
    return Fail(GC_ERR_INVALID_HANDLE, "not a data stream handle");
}

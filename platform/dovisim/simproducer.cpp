// DoVISimulator.cti: a GenTL producer whose devices are described by files in a definitions folder
// ($DOVI_SIM_DEVICES, else "DoVISimulator.d" beside this library). Each opened device keeps its own
// register memory, serves its GenICam description through the remote-device port and sends remote-device
// events while their notification registers are set. See simdevicedef.h for the device file.

#include "gentl.h"
#include "simdevicedef.h"
#include "simzip.h"

#include <dlfcn.h>
#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#define GC_API extern "C" __attribute__((visibility("default"))) GC_ERROR

namespace {

using namespace dovisim;
using Clock = std::chrono::steady_clock;

constexpr uint64_t kMemorySize = 0x100000;       // plain registers
constexpr uint64_t kDescriptionBase = 0x10000000; // where the description file sits in device memory
constexpr uint64_t kTranslationBase = 0x20000000;
constexpr size_t kEventRecordSize = 16;           // GigE Vision event layout, big-endian
constexpr size_t kMaxQueuedEvents = 4096;

enum class Kind : uint32_t { System = 0x53595354, Interface, Device, Port, Event };

struct Handle {
    explicit Handle(Kind k) : kind(k) {}
    virtual ~Handle() = default;
    Kind kind;
};

struct EventQueue : Handle {
    EventQueue() : Handle(Kind::Event) {}
    std::mutex mutex;
    std::condition_variable cv;
    std::deque<std::string> records;
    bool bKill = false;
    bool bClosed = false;
    uint64_t nFired = 0;
};

struct SimDevice;

struct PortHandle : Handle {
    PortHandle() : Handle(Kind::Port) {}
    SimDevice* pDevice = nullptr;
};

struct SimDevice : Handle {
    SimDevice() : Handle(Kind::Device) {}
    SimDeviceDef def;
    std::string strDescription, strDescriptionName, strTranslation, strTranslationName;
    PortHandle port;
    std::mutex memMutex;
    std::vector<uint8_t> memory;
    std::shared_ptr<EventQueue> events;
    std::thread generator;
    std::mutex stopMutex;
    std::condition_variable stopCv;
    bool bStop = false;
    Clock::time_point start;
    Clock::time_point lastFaultCheck;
    struct timespec fileTime {};
    off_t nFileSize = 0;
};

struct SimInterface : Handle {
    SimInterface() : Handle(Kind::Interface) {}
    std::string strId;
    std::vector<SimDeviceDef> devices;
    bool bOpen = false;
};

struct SimSystem : Handle {
    SimSystem() : Handle(Kind::System) {}
    std::vector<std::unique_ptr<SimInterface>> interfaces;
};

// All handles ever given out and still alive, so that a stale or foreign one is refused, not followed.
std::mutex g_mutex;
bool g_bInit = false;
SimSystem* g_pSystem = nullptr;
std::set<const Handle*> g_live;
std::map<std::string, SimDevice*> g_openDevices; // device id -> open device
thread_local GC_ERROR t_lastError = GC_ERR_SUCCESS;
thread_local std::string t_lastErrorText;

GC_ERROR fail(GC_ERROR code, const std::string& text)
{
    t_lastError = code;
    t_lastErrorText = text;
    return code;
}

template<typename T>
T* live(void* h, Kind kind)
{
    auto* p = static_cast<const Handle*>(h);
    if (!p || !g_live.count(p) || p->kind != kind)
        return nullptr;
    return static_cast<T*>(const_cast<Handle*>(p));
}

GC_ERROR putString(const std::string& s, INFO_DATATYPE* type, void* buf, size_t* size)
{
    if (!size)
        return fail(GC_ERR_INVALID_PARAMETER, "size pointer is null");
    if (type)
        *type = INFO_DATATYPE_STRING;
    const size_t needed = s.size() + 1;
    if (!buf) {
        *size = needed;
        return GC_ERR_SUCCESS;
    }
    if (*size < needed) {
        *size = needed;
        return fail(GC_ERR_BUFFER_TOO_SMALL, "buffer too small");
    }
    std::memcpy(buf, s.c_str(), needed);
    *size = needed;
    return GC_ERR_SUCCESS;
}

template<typename T>
GC_ERROR putValue(T v, INFO_DATATYPE dataType, INFO_DATATYPE* type, void* buf, size_t* size)
{
    if (!size)
        return fail(GC_ERR_INVALID_PARAMETER, "size pointer is null");
    if (type)
        *type = dataType;
    if (!buf) {
        *size = sizeof(T);
        return GC_ERR_SUCCESS;
    }
    if (*size < sizeof(T)) {
        *size = sizeof(T);
        return fail(GC_ERR_BUFFER_TOO_SMALL, "buffer too small");
    }
    std::memcpy(buf, &v, sizeof(T));
    *size = sizeof(T);
    return GC_ERR_SUCCESS;
}

std::string libraryFolder()
{
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&libraryFolder), &info) && info.dli_fname) {
        std::string path = info.dli_fname;
        const size_t slash = path.rfind('/');
        return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
    }
    return ".";
}

std::string definitionsFolder()
{
    if (const char* env = std::getenv("DOVI_SIM_DEVICES"); env && *env)
        return env;
    return libraryFolder() + "/DoVISimulator.d";
}

std::string folderOf(const std::string& file)
{
    const size_t slash = file.rfind('/');
    return slash == std::string::npos ? std::string(".") : file.substr(0, slash);
}

std::string baseName(const std::string& file)
{
    const size_t slash = file.rfind('/');
    return slash == std::string::npos ? file : file.substr(slash + 1);
}

// Re-reads the definitions folder; interfaces keep their order of first appearance.
void scanDevices(SimSystem* sys)
{
    std::vector<SimDeviceDef> defs;
    for (const std::string& file : listDeviceFiles(definitionsFolder())) {
        SimDeviceDef def;
        std::string error;
        if (loadDeviceDef(file, def, error))
            defs.push_back(def);
    }
    for (auto& itf : sys->interfaces)
        itf->devices.clear();
    for (const SimDeviceDef& def : defs) {
        auto it = std::find_if(sys->interfaces.begin(), sys->interfaces.end(),
                               [&](const auto& i) { return i->strId == def.strInterface; });
        if (it == sys->interfaces.end()) {
            auto itf = std::make_unique<SimInterface>();
            itf->strId = def.strInterface;
            g_live.insert(itf.get());
            sys->interfaces.push_back(std::move(itf));
            it = sys->interfaces.end() - 1;
        }
        (*it)->devices.push_back(def);
    }
}

uint32_t readU32(const SimDevice* dev, uint64_t addr)
{
    if (addr + 4 > dev->memory.size())
        return 0;
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | dev->memory[addr + uint64_t(i)];
    return v;
}

bool contextMatches(const SimDevice* dev, const std::vector<ContextCondition>& context)
{
    for (const ContextCondition& c : context) {
        auto it = dev->def.registers.find(c.strFeature);
        if (it == dev->def.registers.end() || readU32(dev, it->second.nAddress) != c.nValue)
            return false;
    }
    return true;
}

bool fileStamp(const std::string& file, struct timespec& time, off_t& size)
{
    struct stat st {};
    if (stat(file.c_str(), &st) != 0)
        return false;
    time = st.st_mtim;
    size = st.st_size;
    return true;
}

// Faults follow the device file while the device is open, so that a test can arm one at any moment.
// Called with the device's memory lock held; looks at the file at most every 20 ms.
void refreshFaults(SimDevice* dev)
{
    const Clock::time_point now = Clock::now();
    if (now - dev->lastFaultCheck < std::chrono::milliseconds(20))
        return;
    dev->lastFaultCheck = now;
    struct timespec time {};
    off_t size = 0;
    if (!fileStamp(dev->def.strFile, time, size))
        return;
    if (time.tv_sec == dev->fileTime.tv_sec && time.tv_nsec == dev->fileTime.tv_nsec && size == dev->nFileSize)
        return;
    dev->fileTime = time;
    dev->nFileSize = size;
    SimDeviceDef def;
    std::string error;
    if (!loadDeviceDef(dev->def.strFile, def, error))
        return;
    dev->def.setFaults = def.setFaults;
    dev->def.getFaults = def.getFaults;
}

bool touches(const SimDevice* dev, const std::string& feature, uint64_t addr, size_t size)
{
    auto it = dev->def.registers.find(feature);
    if (it == dev->def.registers.end())
        return false;
    return addr < it->second.nAddress + it->second.nSize && it->second.nAddress < addr + size;
}

void pushEvent(SimDevice* dev, uint16_t id, uint64_t ticks)
{
    std::shared_ptr<EventQueue> q = std::atomic_load(&dev->events);
    if (!q)
        return;
    std::string rec(kEventRecordSize, '\0');
    auto put = [&](size_t at, uint64_t v, int bytes) {
        for (int i = 0; i < bytes; ++i)
            rec[at + size_t(i)] = char((v >> (8 * (bytes - 1 - i))) & 0xff);
    };
    put(2, id, 2);
    put(4, 0xffff, 2); // not tied to a stream channel
    put(8, ticks >> 32, 4);
    put(12, ticks & 0xffffffffULL, 4);
    {
        std::lock_guard<std::mutex> lock(q->mutex);
        if (q->records.size() >= kMaxQueuedEvents)
            q->records.pop_front();
        q->records.push_back(rec);
        ++q->nFired;
    }
    q->cv.notify_one();
}

// Sends each event whose notification is on, at its rate, stamped with the device's tick counter.
void runGenerator(SimDevice* dev)
{
    const RegisterRange notif = dev->def.registers.count("EventNotification")
                                    ? dev->def.registers.at("EventNotification") : RegisterRange{0, 0};
    std::vector<Clock::time_point> due(dev->def.events.size());
    std::vector<bool> wasOn(dev->def.events.size(), false);
    std::unique_lock<std::mutex> stopLock(dev->stopMutex);
    while (!dev->stopCv.wait_for(stopLock, std::chrono::milliseconds(5), [dev] { return dev->bStop; })) {
        const Clock::time_point now = Clock::now();
        for (size_t i = 0; i < dev->def.events.size(); ++i) {
            const SimEvent& ev = dev->def.events[i];
            const uint64_t addr = notif.nAddress + 4ULL * ev.nSlot;
            bool on = false;
            {
                std::lock_guard<std::mutex> lock(dev->memMutex);
                on = notif.nSize && addr + 4 <= notif.nAddress + notif.nSize && readU32(dev, addr) != 0;
            }
            if (!on || ev.dRateHz <= 0) {
                wasOn[i] = false;
                continue;
            }
            const auto period = std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(1.0 / ev.dRateHz));
            if (!wasOn[i]) {
                wasOn[i] = true;
                due[i] = now;
            }
            if (now < due[i])
                continue;
            const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(now - dev->start).count();
            const uint64_t ticks = uint64_t((unsigned __int128)ns * dev->def.nTickFrequency / 1000000000ULL);
            pushEvent(dev, ev.nEventId, ticks);
            due[i] += period;
            if (due[i] < now)
                due[i] = now + period; // never burst to catch up
        }
    }
}

void closeEventQueue(const std::shared_ptr<EventQueue>& q)
{
    {
        std::lock_guard<std::mutex> lock(q->mutex);
        q->bClosed = true;
    }
    q->cv.notify_all();
}

// A camera keeps its registers while powered: the simulated one keeps them in a file beside its device
// file between opens, even across processes.
std::string stateFile(const SimDevice* dev)
{
    return dev->def.strFile + ".state";
}

void saveState(SimDevice* dev)
{
    std::lock_guard<std::mutex> lock(dev->memMutex);
    const std::string path = stateFile(dev);
    const std::string temp = path + ".tmp";
    if (FILE* f = std::fopen(temp.c_str(), "wb")) {
        const bool bOk = std::fwrite(dev->memory.data(), 1, dev->memory.size(), f) == dev->memory.size();
        std::fclose(f);
        if (bOk)
            std::rename(temp.c_str(), path.c_str());
        else
            std::remove(temp.c_str());
    }
}

bool loadState(SimDevice* dev)
{
    std::string bytes;
    if (!readWholeFile(stateFile(dev), bytes) || bytes.size() != dev->memory.size())
        return false;
    std::memcpy(dev->memory.data(), bytes.data(), bytes.size());
    return true;
}

void destroyDevice(SimDevice* dev)
{
    {
        std::lock_guard<std::mutex> lock(dev->stopMutex);
        dev->bStop = true;
    }
    dev->stopCv.notify_all();
    if (dev->generator.joinable())
        dev->generator.join();
    saveState(dev);
    if (dev->events) {
        closeEventQueue(dev->events);
        g_live.erase(dev->events.get());
        dev->events.reset();
    }
    g_live.erase(&dev->port);
    g_live.erase(dev);
    g_openDevices.erase(dev->def.strId);
    delete dev;
}

const SimDeviceDef* findDef(SimInterface* itf, const char* id)
{
    if (!id)
        return nullptr;
    for (const SimDeviceDef& d : itf->devices)
        if (d.strId == id)
            return &d;
    return nullptr;
}

std::string descriptionUrl(const SimDevice* dev)
{
    char loc[64];
    std::snprintf(loc, sizeof loc, ";%llx;%llx", (unsigned long long)kDescriptionBase,
                  (unsigned long long)dev->strDescription.size());
    switch (dev->def.urlForm) {
    case UrlForm::File:
        return "file:///" + (folderOf(dev->def.strFile) + "/" + dev->def.strDescriptionFile).substr(1);
    case UrlForm::Zip:
    case UrlForm::Local:
        break;
    }
    return "Local:" + dev->strDescriptionName + loc;
}

std::string translationUrl(const SimDevice* dev)
{
    char loc[64];
    std::snprintf(loc, sizeof loc, ";%llx;%llx", (unsigned long long)kTranslationBase,
                  (unsigned long long)dev->strTranslation.size());
    return "Local:" + dev->strTranslationName + loc;
}

bool hasTranslation(const SimDevice* dev)
{
    return !dev->def.bTranslationAbsent && !dev->strTranslation.empty();
}

} // namespace

GC_API GCInitLib()
{
    std::lock_guard<std::mutex> lock(g_mutex);
    if (g_bInit)
        return fail(GC_ERR_RESOURCE_IN_USE, "already initialised");
    g_bInit = true;
    return GC_ERR_SUCCESS;
}

GC_API TLClose(TL_HANDLE hSystem);

GC_API GCCloseLib()
{
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        if (!g_bInit)
            return fail(GC_ERR_NOT_INITIALIZED, "not initialised");
    }
    if (g_pSystem)
        TLClose(g_pSystem);
    std::lock_guard<std::mutex> lock(g_mutex);
    g_bInit = false;
    return GC_ERR_SUCCESS;
}

GC_API GCGetInfo(TL_INFO_CMD cmd, INFO_DATATYPE* type, void* buf, size_t* size)
{
    switch (cmd) {
    case TL_INFO_ID: return putString("DoVISimulator", type, buf, size);
    case TL_INFO_VENDOR: return putString("DoVI", type, buf, size);
    case TL_INFO_MODEL: return putString("DoVI Simulator", type, buf, size);
    case TL_INFO_VERSION: return putString("1.0", type, buf, size);
    case TL_INFO_TLTYPE: return putString("Custom", type, buf, size);
    case TL_INFO_NAME: return putString("DoVISimulator.cti", type, buf, size);
    case TL_INFO_PATHNAME: return putString(libraryFolder() + "/DoVISimulator.cti", type, buf, size);
    case TL_INFO_DISPLAYNAME: return putString("DoVI Simulator", type, buf, size);
    case TL_INFO_CHAR_ENCODING: return putValue<int32_t>(1, INFO_DATATYPE_INT32, type, buf, size); // UTF-8
    case TL_INFO_GENTL_VER_MAJOR: return putValue<uint32_t>(1, INFO_DATATYPE_UINT32, type, buf, size);
    case TL_INFO_GENTL_VER_MINOR: return putValue<uint32_t>(5, INFO_DATATYPE_UINT32, type, buf, size);
    default: return fail(GC_ERR_INVALID_PARAMETER, "unknown info command");
    }
}

GC_API GCGetLastError(GC_ERROR* code, char* text, size_t* size)
{
    if (code)
        *code = t_lastError;
    return putString(t_lastErrorText, nullptr, text, size);
}

GC_API TLOpen(TL_HANDLE* phSystem)
{
    if (!phSystem)
        return fail(GC_ERR_INVALID_PARAMETER, "null handle pointer");
    std::lock_guard<std::mutex> lock(g_mutex);
    if (!g_bInit)
        return fail(GC_ERR_NOT_INITIALIZED, "GCInitLib was not called");
    if (g_pSystem)
        return fail(GC_ERR_RESOURCE_IN_USE, "the system module is already open");
    g_pSystem = new SimSystem;
    g_live.insert(g_pSystem);
    scanDevices(g_pSystem);
    *phSystem = g_pSystem;
    return GC_ERR_SUCCESS;
}

GC_API TLClose(TL_HANDLE hSystem)
{
    std::vector<SimDevice*> open;
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        SimSystem* sys = live<SimSystem>(hSystem, Kind::System);
        if (!sys)
            return fail(GC_ERR_INVALID_HANDLE, "not a system handle");
        for (auto& kv : g_openDevices)
            open.push_back(kv.second);
        for (SimDevice* dev : open)
            destroyDevice(dev);
        for (auto& itf : sys->interfaces)
            g_live.erase(itf.get());
        g_live.erase(sys);
        delete sys;
        g_pSystem = nullptr;
    }
    return GC_ERR_SUCCESS;
}

GC_API TLGetInfo(TL_HANDLE hSystem, TL_INFO_CMD cmd, INFO_DATATYPE* type, void* buf, size_t* size)
{
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        if (!live<SimSystem>(hSystem, Kind::System))
            return fail(GC_ERR_INVALID_HANDLE, "not a system handle");
    }
    return GCGetInfo(cmd, type, buf, size);
}

GC_API TLUpdateInterfaceList(TL_HANDLE hSystem, bool8_t* changed, uint64_t)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    SimSystem* sys = live<SimSystem>(hSystem, Kind::System);
    if (!sys)
        return fail(GC_ERR_INVALID_HANDLE, "not a system handle");
    const size_t before = sys->interfaces.size();
    scanDevices(sys);
    if (changed)
        *changed = sys->interfaces.size() != before;
    return GC_ERR_SUCCESS;
}

GC_API TLGetNumInterfaces(TL_HANDLE hSystem, uint32_t* num)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    SimSystem* sys = live<SimSystem>(hSystem, Kind::System);
    if (!sys)
        return fail(GC_ERR_INVALID_HANDLE, "not a system handle");
    if (!num)
        return fail(GC_ERR_INVALID_PARAMETER, "null count pointer");
    *num = uint32_t(sys->interfaces.size());
    return GC_ERR_SUCCESS;
}

GC_API TLGetInterfaceID(TL_HANDLE hSystem, uint32_t index, char* id, size_t* size)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    SimSystem* sys = live<SimSystem>(hSystem, Kind::System);
    if (!sys)
        return fail(GC_ERR_INVALID_HANDLE, "not a system handle");
    if (index >= sys->interfaces.size())
        return fail(GC_ERR_INVALID_INDEX, "no such interface");
    return putString(sys->interfaces[index]->strId, nullptr, id, size);
}

GC_API TLGetInterfaceInfo(TL_HANDLE hSystem, const char* ifId, INTERFACE_INFO_CMD cmd, INFO_DATATYPE* type,
                          void* buf, size_t* size)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    SimSystem* sys = live<SimSystem>(hSystem, Kind::System);
    if (!sys)
        return fail(GC_ERR_INVALID_HANDLE, "not a system handle");
    for (auto& itf : sys->interfaces) {
        if (ifId && itf->strId == ifId) {
            switch (cmd) {
            case INTERFACE_INFO_ID: return putString(itf->strId, type, buf, size);
            case INTERFACE_INFO_DISPLAYNAME: return putString("Simulated " + itf->strId, type, buf, size);
            case INTERFACE_INFO_TLTYPE: return putString("Custom", type, buf, size);
            default: return fail(GC_ERR_INVALID_PARAMETER, "unknown info command");
            }
        }
    }
    return fail(GC_ERR_INVALID_ID, "no such interface");
}

GC_API TLOpenInterface(TL_HANDLE hSystem, const char* ifId, IF_HANDLE* phIface)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    SimSystem* sys = live<SimSystem>(hSystem, Kind::System);
    if (!sys)
        return fail(GC_ERR_INVALID_HANDLE, "not a system handle");
    if (!phIface)
        return fail(GC_ERR_INVALID_PARAMETER, "null handle pointer");
    for (auto& itf : sys->interfaces) {
        if (ifId && itf->strId == ifId) {
            if (itf->bOpen)
                return fail(GC_ERR_RESOURCE_IN_USE, "interface already open");
            itf->bOpen = true;
            *phIface = itf.get();
            return GC_ERR_SUCCESS;
        }
    }
    return fail(GC_ERR_INVALID_ID, "no such interface");
}

GC_API IFClose(IF_HANDLE hIface)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    SimInterface* itf = live<SimInterface>(hIface, Kind::Interface);
    if (!itf || !itf->bOpen)
        return fail(GC_ERR_INVALID_HANDLE, "not an open interface");
    itf->bOpen = false;
    return GC_ERR_SUCCESS;
}

GC_API IFUpdateDeviceList(IF_HANDLE hIface, bool8_t* changed, uint64_t)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    SimInterface* itf = live<SimInterface>(hIface, Kind::Interface);
    if (!itf || !itf->bOpen)
        return fail(GC_ERR_INVALID_HANDLE, "not an open interface");
    if (changed)
        *changed = false;
    return GC_ERR_SUCCESS;
}

GC_API IFGetNumDevices(IF_HANDLE hIface, uint32_t* num)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    SimInterface* itf = live<SimInterface>(hIface, Kind::Interface);
    if (!itf || !itf->bOpen)
        return fail(GC_ERR_INVALID_HANDLE, "not an open interface");
    if (!num)
        return fail(GC_ERR_INVALID_PARAMETER, "null count pointer");
    *num = uint32_t(itf->devices.size());
    return GC_ERR_SUCCESS;
}

GC_API IFGetDeviceID(IF_HANDLE hIface, uint32_t index, char* id, size_t* size)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    SimInterface* itf = live<SimInterface>(hIface, Kind::Interface);
    if (!itf || !itf->bOpen)
        return fail(GC_ERR_INVALID_HANDLE, "not an open interface");
    if (index >= itf->devices.size())
        return fail(GC_ERR_INVALID_INDEX, "no such device");
    return putString(itf->devices[index].strId, nullptr, id, size);
}

static GC_ERROR deviceInfo(const SimDeviceDef& def, bool bOpen, DEVICE_INFO_CMD cmd, INFO_DATATYPE* type,
                           void* buf, size_t* size)
{
    switch (cmd) {
    case DEVICE_INFO_ID: return putString(def.strId, type, buf, size);
    case DEVICE_INFO_VENDOR: return putString(def.strVendor, type, buf, size);
    case DEVICE_INFO_MODEL: return putString(def.strModel, type, buf, size);
    case DEVICE_INFO_TLTYPE: return putString("Custom", type, buf, size);
    case DEVICE_INFO_DISPLAYNAME:
        return putString(def.strUserName.empty() ? def.strModel : def.strUserName, type, buf, size);
    case DEVICE_INFO_ACCESS_STATUS:
        return putValue<int32_t>(bOpen ? DEVICE_ACCESS_STATUS_OPEN_READWRITE : DEVICE_ACCESS_STATUS_READWRITE,
                                 INFO_DATATYPE_INT32, type, buf, size);
    case DEVICE_INFO_USER_DEFINED_NAME: return putString(def.strUserName, type, buf, size);
    case DEVICE_INFO_SERIAL_NUMBER: return putString(def.strSerial, type, buf, size);
    case DEVICE_INFO_VERSION: return putString(def.strVersion, type, buf, size);
    case DEVICE_INFO_TIMESTAMP_FREQUENCY:
        return putValue<uint64_t>(def.nTickFrequency, INFO_DATATYPE_UINT64, type, buf, size);
    default: return fail(GC_ERR_INVALID_PARAMETER, "unknown info command");
    }
}

GC_API IFGetDeviceInfo(IF_HANDLE hIface, const char* devId, DEVICE_INFO_CMD cmd, INFO_DATATYPE* type, void* buf,
                       size_t* size)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    SimInterface* itf = live<SimInterface>(hIface, Kind::Interface);
    if (!itf || !itf->bOpen)
        return fail(GC_ERR_INVALID_HANDLE, "not an open interface");
    const SimDeviceDef* def = findDef(itf, devId);
    if (!def)
        return fail(GC_ERR_INVALID_ID, "no such device");
    return deviceInfo(*def, g_openDevices.count(def->strId) != 0, cmd, type, buf, size);
}

GC_API IFOpenDevice(IF_HANDLE hIface, const char* devId, DEVICE_ACCESS_FLAGS flags, DEV_HANDLE* phDevice)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    SimInterface* itf = live<SimInterface>(hIface, Kind::Interface);
    if (!itf || !itf->bOpen)
        return fail(GC_ERR_INVALID_HANDLE, "not an open interface");
    if (!phDevice || flags < DEVICE_ACCESS_READONLY || flags > DEVICE_ACCESS_EXCLUSIVE)
        return fail(GC_ERR_INVALID_PARAMETER, "bad handle pointer or access flags");
    const SimDeviceDef* def = findDef(itf, devId);
    if (!def)
        return fail(GC_ERR_INVALID_ID, "no such device");
    if (def->nOpenFault)
        return fail(def->nOpenFault, "open refused by the device file");
    if (g_openDevices.count(def->strId))
        return fail(GC_ERR_RESOURCE_IN_USE, "device already open");

    auto dev = std::make_unique<SimDevice>();
    dev->def = *def;
    const std::string folder = folderOf(def->strFile);
    if (!readWholeFile(folder + "/" + def->strDescriptionFile, dev->strDescription))
        return fail(GC_ERR_IO, "cannot read the description " + def->strDescriptionFile);
    if (def->bDescriptionUnloadable)
        dev->strDescription.resize(dev->strDescription.size() / 2);
    dev->strDescriptionName = baseName(def->strDescriptionFile);
    if (def->urlForm == UrlForm::Zip) {
        std::string name = dev->strDescriptionName;
        dev->strDescription = makeZip(name, dev->strDescription);
        const size_t dot = name.rfind('.');
        dev->strDescriptionName = (dot == std::string::npos ? name : name.substr(0, dot)) + ".zip";
    }
    if (!def->strTranslationFile.empty())
        readWholeFile(folder + "/" + def->strTranslationFile, dev->strTranslation);
    dev->strTranslationName = baseName(def->strTranslationFile);
    dev->memory.assign(kMemorySize, 0);
    if (!loadState(dev.get())) {
        for (const auto& m : def->memory) {
            const uint64_t addr = m.first, value = m.second.first;
            for (uint32_t i = 0; i < m.second.second && addr + i < kMemorySize; ++i)
                dev->memory[addr + i] = uint8_t((value >> (8 * i)) & 0xff);
        }
    }
    if (auto it = def->registers.find("TickFrequency"); it != def->registers.end())
        for (uint64_t i = 0; i < 8 && it->second.nAddress + i < kMemorySize; ++i)
            dev->memory[it->second.nAddress + i] = uint8_t((def->nTickFrequency >> (8 * i)) & 0xff);
    dev->port.pDevice = dev.get();
    dev->start = Clock::now();
    dev->lastFaultCheck = dev->start;
    fileStamp(def->strFile, dev->fileTime, dev->nFileSize);
    SimDevice* p = dev.release();
    g_live.insert(p);
    g_live.insert(&p->port);
    g_openDevices[p->def.strId] = p;
    p->generator = std::thread(runGenerator, p);
    *phDevice = p;
    return GC_ERR_SUCCESS;
}

GC_API DevClose(DEV_HANDLE hDevice)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    SimDevice* dev = live<SimDevice>(hDevice, Kind::Device);
    if (!dev)
        return fail(GC_ERR_INVALID_HANDLE, "not an open device");
    destroyDevice(dev);
    return GC_ERR_SUCCESS;
}

GC_API DevGetInfo(DEV_HANDLE hDevice, DEVICE_INFO_CMD cmd, INFO_DATATYPE* type, void* buf, size_t* size)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    SimDevice* dev = live<SimDevice>(hDevice, Kind::Device);
    if (!dev)
        return fail(GC_ERR_INVALID_HANDLE, "not an open device");
    return deviceInfo(dev->def, true, cmd, type, buf, size);
}

GC_API DevGetPort(DEV_HANDLE hDevice, PORT_HANDLE* phPort)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    SimDevice* dev = live<SimDevice>(hDevice, Kind::Device);
    if (!dev)
        return fail(GC_ERR_INVALID_HANDLE, "not an open device");
    if (!phPort)
        return fail(GC_ERR_INVALID_PARAMETER, "null handle pointer");
    *phPort = &dev->port;
    return GC_ERR_SUCCESS;
}

// Port access does not take the global lock: the consumer must not close a device while using its port.
GC_API GCReadPort(PORT_HANDLE hPort, uint64_t address, void* buf, size_t* size)
{
    SimDevice* dev = nullptr;
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        PortHandle* port = live<PortHandle>(hPort, Kind::Port);
        if (!port)
            return fail(GC_ERR_INVALID_HANDLE, "not a port handle");
        dev = port->pDevice;
    }
    if (!buf || !size)
        return fail(GC_ERR_INVALID_PARAMETER, "null buffer");
    const size_t n = *size;
    auto serve = [&](const std::string& blob, uint64_t base) -> GC_ERROR {
        if (address - base + n > blob.size())
            return fail(GC_ERR_INVALID_ADDRESS, "read beyond the file");
        std::memcpy(buf, blob.data() + (address - base), n);
        return GC_ERR_SUCCESS;
    };
    if (address >= kDescriptionBase && address < kTranslationBase)
        return serve(dev->strDescription, kDescriptionBase);
    if (address >= kTranslationBase) {
        if (!hasTranslation(dev))
            return fail(GC_ERR_INVALID_ADDRESS, "no translation");
        return serve(dev->strTranslation, kTranslationBase);
    }
    std::lock_guard<std::mutex> lock(dev->memMutex);
    if (address + n > dev->memory.size())
        return fail(GC_ERR_INVALID_ADDRESS, "read beyond the register memory");
    refreshFaults(dev);
    for (const GetFault& f : dev->def.getFaults)
        if (touches(dev, f.strFeature, address, n) && contextMatches(dev, f.context))
            return fail(f.nCode, "read of " + f.strFeature + " refused by the device file");
    std::memcpy(buf, dev->memory.data() + address, n);
    return GC_ERR_SUCCESS;
}

GC_API GCWritePort(PORT_HANDLE hPort, uint64_t address, const void* buf, size_t* size)
{
    SimDevice* dev = nullptr;
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        PortHandle* port = live<PortHandle>(hPort, Kind::Port);
        if (!port)
            return fail(GC_ERR_INVALID_HANDLE, "not a port handle");
        dev = port->pDevice;
    }
    if (!buf || !size)
        return fail(GC_ERR_INVALID_PARAMETER, "null buffer");
    const size_t n = *size;
    if (address >= kDescriptionBase)
        return fail(GC_ERR_ACCESS_DENIED, "the description is read-only");
    std::lock_guard<std::mutex> lock(dev->memMutex);
    if (address + n > dev->memory.size())
        return fail(GC_ERR_INVALID_ADDRESS, "write beyond the register memory");
    refreshFaults(dev);
    uint32_t value = 0;
    std::memcpy(&value, buf, std::min<size_t>(n, 4));
    for (const SetFault& f : dev->def.setFaults)
        if (touches(dev, f.strFeature, address, n) && value == f.nValue && contextMatches(dev, f.context))
            return fail(f.nCode, "write of " + f.strFeature + " refused by the device file");
    std::memcpy(dev->memory.data() + address, buf, n);
    return GC_ERR_SUCCESS;
}

GC_API GCGetNumPortURLs(PORT_HANDLE hPort, uint32_t* num)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    PortHandle* port = live<PortHandle>(hPort, Kind::Port);
    if (!port)
        return fail(GC_ERR_INVALID_HANDLE, "not a port handle");
    if (!num)
        return fail(GC_ERR_INVALID_PARAMETER, "null count pointer");
    *num = hasTranslation(port->pDevice) ? 2 : 1;
    return GC_ERR_SUCCESS;
}

GC_API GCGetPortURLInfo(PORT_HANDLE hPort, uint32_t index, URL_INFO_CMD cmd, INFO_DATATYPE* type, void* buf,
                        size_t* size)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    PortHandle* port = live<PortHandle>(hPort, Kind::Port);
    if (!port)
        return fail(GC_ERR_INVALID_HANDLE, "not a port handle");
    SimDevice* dev = port->pDevice;
    if (index > 1 || (index == 1 && !hasTranslation(dev)))
        return fail(GC_ERR_INVALID_INDEX, "no such URL");
    const std::string url = index == 0 ? descriptionUrl(dev) : translationUrl(dev);
    switch (cmd) {
    case URL_INFO_URL: return putString(url, type, buf, size);
    case URL_INFO_SCHEMA_VER_MAJOR: return putValue<int32_t>(1, INFO_DATATYPE_INT32, type, buf, size);
    case URL_INFO_SCHEMA_VER_MINOR: return putValue<int32_t>(1, INFO_DATATYPE_INT32, type, buf, size);
    case URL_INFO_FILE_REGISTER_ADDRESS:
        return putValue<uint64_t>(index == 0 ? kDescriptionBase : kTranslationBase, INFO_DATATYPE_UINT64, type,
                                  buf, size);
    case URL_INFO_FILE_SIZE:
        return putValue<uint64_t>(index == 0 ? dev->strDescription.size() : dev->strTranslation.size(),
                                  INFO_DATATYPE_UINT64, type, buf, size);
    case URL_INFO_SCHEME:
        return putValue<int32_t>(index == 0 && dev->def.urlForm == UrlForm::File ? 2 : 0, INFO_DATATYPE_INT32,
                                 type, buf, size);
    case URL_INFO_FILENAME:
        return putString(index == 0 ? dev->strDescriptionName : dev->strTranslationName, type, buf, size);
    default: return fail(GC_ERR_NOT_AVAILABLE, "not provided");
    }
}

GC_API GCGetPortInfo(PORT_HANDLE hPort, PORT_INFO_CMD cmd, INFO_DATATYPE* type, void* buf, size_t* size)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    PortHandle* port = live<PortHandle>(hPort, Kind::Port);
    if (!port)
        return fail(GC_ERR_INVALID_HANDLE, "not a port handle");
    switch (cmd) {
    case PORT_INFO_ID: return putString(port->pDevice->def.strId, type, buf, size);
    case PORT_INFO_VENDOR: return putString(port->pDevice->def.strVendor, type, buf, size);
    case PORT_INFO_MODEL: return putString(port->pDevice->def.strModel, type, buf, size);
    case PORT_INFO_TLTYPE: return putString("Custom", type, buf, size);
    case PORT_INFO_MODULE: return putString("Device", type, buf, size);
    case PORT_INFO_LITTLE_ENDIAN: return putValue<bool8_t>(1, INFO_DATATYPE_BOOL8, type, buf, size);
    case PORT_INFO_BIG_ENDIAN: return putValue<bool8_t>(0, INFO_DATATYPE_BOOL8, type, buf, size);
    case PORT_INFO_ACCESS_READ: return putValue<bool8_t>(1, INFO_DATATYPE_BOOL8, type, buf, size);
    case PORT_INFO_ACCESS_WRITE: return putValue<bool8_t>(1, INFO_DATATYPE_BOOL8, type, buf, size);
    case PORT_INFO_ACCESS_NA: return putValue<bool8_t>(0, INFO_DATATYPE_BOOL8, type, buf, size);
    case PORT_INFO_ACCESS_NI: return putValue<bool8_t>(0, INFO_DATATYPE_BOOL8, type, buf, size);
    case PORT_INFO_VERSION: return putString(port->pDevice->def.strVersion, type, buf, size);
    case PORT_INFO_PORTNAME: return putString("Device", type, buf, size);
    default: return fail(GC_ERR_INVALID_PARAMETER, "unknown info command");
    }
}

GC_API GCRegisterEvent(EVENTSRC_HANDLE hModule, EVENT_TYPE type, EVENT_HANDLE* phEvent)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    SimDevice* dev = live<SimDevice>(hModule, Kind::Device);
    if (!dev)
        return fail(GC_ERR_INVALID_HANDLE, "events come from open devices only");
    if (type != EVENT_REMOTE_DEVICE)
        return fail(GC_ERR_NOT_IMPLEMENTED, "only remote-device events are sent");
    if (!phEvent)
        return fail(GC_ERR_INVALID_PARAMETER, "null handle pointer");
    if (dev->events)
        return fail(GC_ERR_RESOURCE_IN_USE, "already registered");
    auto q = std::make_shared<EventQueue>();
    g_live.insert(q.get());
    std::atomic_store(&dev->events, q);
    *phEvent = q.get();
    return GC_ERR_SUCCESS;
}

GC_API GCUnregisterEvent(EVENTSRC_HANDLE hModule, EVENT_TYPE type)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    SimDevice* dev = live<SimDevice>(hModule, Kind::Device);
    if (!dev)
        return fail(GC_ERR_INVALID_HANDLE, "not an open device");
    if (type != EVENT_REMOTE_DEVICE || !dev->events)
        return fail(GC_ERR_NOT_AVAILABLE, "not registered");
    closeEventQueue(dev->events);
    g_live.erase(dev->events.get());
    std::atomic_store(&dev->events, std::shared_ptr<EventQueue>());
    return GC_ERR_SUCCESS;
}

static std::shared_ptr<EventQueue> liveQueue(EVENT_HANDLE hEvent)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    if (!live<EventQueue>(hEvent, Kind::Event))
        return nullptr;
    for (const auto& kv : g_openDevices)
        if (kv.second->events.get() == hEvent)
            return kv.second->events;
    return nullptr;
}

GC_API EventGetData(EVENT_HANDLE hEvent, void* buf, size_t* size, uint64_t timeoutMs)
{
    std::shared_ptr<EventQueue> q = liveQueue(hEvent);
    if (!q)
        return fail(GC_ERR_INVALID_HANDLE, "not an event handle");
    if (!size)
        return fail(GC_ERR_INVALID_PARAMETER, "null size");
    std::unique_lock<std::mutex> lock(q->mutex);
    auto ready = [&] { return q->bKill || q->bClosed || !q->records.empty(); };
    if (timeoutMs == GENTL_INFINITE)
        q->cv.wait(lock, ready);
    else if (!q->cv.wait_for(lock, std::chrono::milliseconds(timeoutMs), ready))
        return fail(GC_ERR_TIMEOUT, "no event within the timeout");
    if (q->bKill) {
        q->bKill = false;
        return fail(GC_ERR_ABORT, "wait aborted");
    }
    if (q->records.empty())
        return fail(GC_ERR_ABORT, "event unregistered");
    const std::string& rec = q->records.front();
    if (!buf || *size < rec.size()) {
        *size = rec.size();
        return fail(GC_ERR_BUFFER_TOO_SMALL, "buffer too small");
    }
    std::memcpy(buf, rec.data(), rec.size());
    *size = rec.size();
    q->records.pop_front();
    return GC_ERR_SUCCESS;
}

GC_API EventGetDataInfo(EVENT_HANDLE hEvent, const void* inBuf, size_t inSize, EVENT_DATA_INFO_CMD cmd,
                        INFO_DATATYPE* type, void* out, size_t* size)
{
    if (!liveQueue(hEvent))
        return fail(GC_ERR_INVALID_HANDLE, "not an event handle");
    if (!inBuf || inSize < kEventRecordSize)
        return fail(GC_ERR_INVALID_BUFFER, "not an event record");
    const auto* p = static_cast<const uint8_t*>(inBuf);
    const uint16_t id = uint16_t((p[2] << 8) | p[3]);
    switch (cmd) {
    case EVENT_DATA_NUMID: return putValue<uint64_t>(id, INFO_DATATYPE_UINT64, type, out, size);
    case EVENT_DATA_ID: {
        char text[8];
        std::snprintf(text, sizeof text, "%X", id);
        return putString(text, type, out, size);
    }
    case EVENT_DATA_VALUE: {
        if (!size)
            return fail(GC_ERR_INVALID_PARAMETER, "null size");
        if (type)
            *type = INFO_DATATYPE_BUFFER;
        const size_t n = inSize - kEventRecordSize;
        if (out && *size >= n)
            std::memcpy(out, p + kEventRecordSize, n);
        const bool bSmall = out && *size < n;
        *size = n;
        return bSmall ? fail(GC_ERR_BUFFER_TOO_SMALL, "buffer too small") : GC_ERR_SUCCESS;
    }
    default: return fail(GC_ERR_INVALID_PARAMETER, "unknown info command");
    }
}

GC_API EventGetInfo(EVENT_HANDLE hEvent, EVENT_INFO_CMD cmd, INFO_DATATYPE* type, void* buf, size_t* size)
{
    std::shared_ptr<EventQueue> q = liveQueue(hEvent);
    if (!q)
        return fail(GC_ERR_INVALID_HANDLE, "not an event handle");
    std::lock_guard<std::mutex> lock(q->mutex);
    switch (cmd) {
    case EVENT_EVENT_TYPE: return putValue<int32_t>(EVENT_REMOTE_DEVICE, INFO_DATATYPE_INT32, type, buf, size);
    case EVENT_NUM_IN_QUEUE: return putValue<uint64_t>(q->records.size(), INFO_DATATYPE_UINT64, type, buf, size);
    case EVENT_NUM_FIRED: return putValue<uint64_t>(q->nFired, INFO_DATATYPE_UINT64, type, buf, size);
    case EVENT_SIZE_MAX: return putValue<size_t>(kEventRecordSize, INFO_DATATYPE_SIZET, type, buf, size);
    case EVENT_INFO_DATA_SIZE_MAX: return putValue<size_t>(0, INFO_DATATYPE_SIZET, type, buf, size);
    default: return fail(GC_ERR_INVALID_PARAMETER, "unknown info command");
    }
}

GC_API EventFlush(EVENT_HANDLE hEvent)
{
    std::shared_ptr<EventQueue> q = liveQueue(hEvent);
    if (!q)
        return fail(GC_ERR_INVALID_HANDLE, "not an event handle");
    std::lock_guard<std::mutex> lock(q->mutex);
    q->records.clear();
    return GC_ERR_SUCCESS;
}

GC_API EventKill(EVENT_HANDLE hEvent)
{
    std::shared_ptr<EventQueue> q = liveQueue(hEvent);
    if (!q)
        return fail(GC_ERR_INVALID_HANDLE, "not an event handle");
    {
        std::lock_guard<std::mutex> lock(q->mutex);
        q->bKill = true;
    }
    q->cv.notify_all();
    return GC_ERR_SUCCESS;
}

#include "simopendevice.h"

#include "eventqueue.h"
#include "infoanswer.h"
#include "simzip.h"

#include <sys/stat.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace dovisim {

using namespace gentlprod;

namespace {

constexpr uint64_t kMemorySize = 0x100000;       // plain registers
constexpr uint64_t kDescriptionBase = 0x10000000; // where the description file sits in device memory
constexpr uint64_t kTranslationBase = 0x20000000;
constexpr size_t kEventRecordSize = 16;           // GigE Vision event layout, big-endian

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

bool fileStamp(const std::string& file, struct timespec& time, off_t& size)
{
    struct stat st {};
    if (stat(file.c_str(), &st) != 0)
        return false;
    time = st.st_mtim;
    size = st.st_size;
    return true;
}

} // namespace

SimOpenDevice::SimOpenDevice(const SimDeviceDef& def)
    : m_def(def)
{
}

GC_ERROR SimOpenDevice::Open(const SimDeviceDef& def, std::unique_ptr<ProducerDevice>& out)
{
    if (def.nOpenFault)
        return Fail(def.nOpenFault, "open refused by the device file");
    std::unique_ptr<SimOpenDevice> dev(new SimOpenDevice(def));
    const std::string folder = folderOf(def.strFile);
    if (!readWholeFile(folder + "/" + def.strDescriptionFile, dev->m_strDescription))
        return Fail(GC_ERR_IO, "cannot read the description " + def.strDescriptionFile);
    if (def.bDescriptionUnloadable)
        dev->m_strDescription.resize(dev->m_strDescription.size() / 2);
    dev->m_strDescriptionName = baseName(def.strDescriptionFile);
    if (def.urlForm == UrlForm::Zip) {
        const std::string name = dev->m_strDescriptionName;
        dev->m_strDescription = makeZip(name, dev->m_strDescription);
        const size_t dot = name.rfind('.');
        dev->m_strDescriptionName = (dot == std::string::npos ? name : name.substr(0, dot)) + ".zip";
    }
    if (!def.strTranslationFile.empty())
        readWholeFile(folder + "/" + def.strTranslationFile, dev->m_strTranslation);
    dev->m_strTranslationName = baseName(def.strTranslationFile);
    dev->m_memory.assign(kMemorySize, 0);
    if (!dev->LoadState()) {
        for (const auto& m : def.memory) {
            const uint64_t addr = m.first, value = m.second.first;
            for (uint32_t i = 0; i < m.second.second && addr + i < kMemorySize; ++i)
                dev->m_memory[addr + i] = uint8_t((value >> (8 * i)) & 0xff);
        }
    }
    if (auto it = def.registers.find("TickFrequency"); it != def.registers.end())
        for (uint64_t i = 0; i < 8 && it->second.nAddress + i < kMemorySize; ++i)
            dev->m_memory[it->second.nAddress + i] = uint8_t((def.nTickFrequency >> (8 * i)) & 0xff);
    dev->m_start = Clock::now();
    dev->m_lastFaultCheck = dev->m_start;
    fileStamp(def.strFile, dev->m_fileTime, dev->m_nFileSize);
    dev->m_generator = std::thread(&SimOpenDevice::RunGenerator, dev.get());
    out = std::move(dev);
    return GC_ERR_SUCCESS;
}

SimOpenDevice::~SimOpenDevice()
{
    {
        std::lock_guard<std::mutex> lock(m_stopMutex);
        m_bStop = true;
    }
    m_stopCv.notify_all();
    if (m_generator.joinable())
        m_generator.join();
    SaveState();
}

GC_ERROR SimOpenDevice::DefInfo(const SimDeviceDef& def, bool bOpen, DEVICE_INFO_CMD cmd, INFO_DATATYPE* pType,
                                void* pBuffer, size_t* pSize)
{
    switch (cmd) {
    case DEVICE_INFO_ID: return PutString(def.strId, pType, pBuffer, pSize);
    case DEVICE_INFO_VENDOR: return PutString(def.strVendor, pType, pBuffer, pSize);
    case DEVICE_INFO_MODEL: return PutString(def.strModel, pType, pBuffer, pSize);
    case DEVICE_INFO_TLTYPE: return PutString("Custom", pType, pBuffer, pSize);
    case DEVICE_INFO_DISPLAYNAME:
        return PutString(def.strUserName.empty() ? def.strModel : def.strUserName, pType, pBuffer, pSize);
    case DEVICE_INFO_ACCESS_STATUS:
        return PutInt32(bOpen ? DEVICE_ACCESS_STATUS_OPEN_READWRITE : DEVICE_ACCESS_STATUS_READWRITE, pType,
                        pBuffer, pSize);
    case DEVICE_INFO_USER_DEFINED_NAME: return PutString(def.strUserName, pType, pBuffer, pSize);
    case DEVICE_INFO_SERIAL_NUMBER: return PutString(def.strSerial, pType, pBuffer, pSize);
    case DEVICE_INFO_VERSION: return PutString(def.strVersion, pType, pBuffer, pSize);
    case DEVICE_INFO_TIMESTAMP_FREQUENCY: return PutUInt64(def.nTickFrequency, pType, pBuffer, pSize);
    default: return Fail(GC_ERR_INVALID_PARAMETER, "unknown info command");
    }
}

GC_ERROR SimOpenDevice::Info(DEVICE_INFO_CMD cmd, INFO_DATATYPE* pType, void* pBuffer, size_t* pSize)
{
    return DefInfo(m_def, true, cmd, pType, pBuffer, pSize);
}

GC_ERROR SimOpenDevice::PortInfo(PORT_INFO_CMD cmd, INFO_DATATYPE* pType, void* pBuffer, size_t* pSize)
{
    switch (cmd) {
    case PORT_INFO_ID: return PutString(m_def.strId, pType, pBuffer, pSize);
    case PORT_INFO_VENDOR: return PutString(m_def.strVendor, pType, pBuffer, pSize);
    case PORT_INFO_MODEL: return PutString(m_def.strModel, pType, pBuffer, pSize);
    case PORT_INFO_TLTYPE: return PutString("Custom", pType, pBuffer, pSize);
    case PORT_INFO_MODULE: return PutString("Device", pType, pBuffer, pSize);
    case PORT_INFO_LITTLE_ENDIAN: return PutBool8(true, pType, pBuffer, pSize);
    case PORT_INFO_BIG_ENDIAN: return PutBool8(false, pType, pBuffer, pSize);
    case PORT_INFO_ACCESS_READ: return PutBool8(true, pType, pBuffer, pSize);
    case PORT_INFO_ACCESS_WRITE: return PutBool8(true, pType, pBuffer, pSize);
    case PORT_INFO_ACCESS_NA: return PutBool8(false, pType, pBuffer, pSize);
    case PORT_INFO_ACCESS_NI: return PutBool8(false, pType, pBuffer, pSize);
    case PORT_INFO_VERSION: return PutString(m_def.strVersion, pType, pBuffer, pSize);
    case PORT_INFO_PORTNAME: return PutString("Device", pType, pBuffer, pSize);
    default: return Fail(GC_ERR_INVALID_PARAMETER, "unknown info command");
    }
}

uint32_t SimOpenDevice::ReadU32(uint64_t nAddress) const
{
    if (nAddress > m_memory.size() || m_memory.size() - nAddress < 4) // never wraps round
        return 0;
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | m_memory[nAddress + uint64_t(i)];
    return v;
}

bool SimOpenDevice::ContextMatches(const std::vector<ContextCondition>& context) const
{
    for (const ContextCondition& c : context) {
        auto it = m_def.registers.find(c.strFeature);
        if (it == m_def.registers.end() || ReadU32(it->second.nAddress) != c.nValue)
            return false;
    }
    return true;
}

bool SimOpenDevice::Touches(const std::string& strFeature, uint64_t nAddress, size_t nSize) const
{
    auto it = m_def.registers.find(strFeature);
    if (it == m_def.registers.end())
        return false;
    return nAddress < it->second.nAddress + it->second.nSize && it->second.nAddress < nAddress + nSize;
}

// Faults follow the device file while the device is open, so that a test can arm one at any moment.
// Called with the memory lock held; looks at the file at most every 20 ms.
void SimOpenDevice::RefreshFaults()
{
    const Clock::time_point now = Clock::now();
    if (now - m_lastFaultCheck < std::chrono::milliseconds(20))
        return;
    m_lastFaultCheck = now;
    struct timespec time {};
    off_t size = 0;
    if (!fileStamp(m_def.strFile, time, size))
        return;
    if (time.tv_sec == m_fileTime.tv_sec && time.tv_nsec == m_fileTime.tv_nsec && size == m_nFileSize)
        return;
    m_fileTime = time;
    m_nFileSize = size;
    SimDeviceDef def;
    std::string error;
    if (!loadDeviceDef(m_def.strFile, def, error))
        return;
    m_def.setFaults = def.setFaults;
    m_def.getFaults = def.getFaults;
    m_def.nPortLatencyUs = def.nPortLatencyUs;
    for (const auto& m : def.pokes)
        for (uint32_t i = 0; i < m.second.second && m.first + i < m_memory.size(); ++i)
            m_memory[m.first + i] = uint8_t((m.second.first >> (8 * i)) & 0xff);
}

// A network round trip: sleep most of it, spin the rest, so that short latencies are not overshot.
void SimOpenDevice::Wait() const
{
    const uint32_t us = m_def.nPortLatencyUs;
    if (!us)
        return;
    const Clock::time_point until = Clock::now() + std::chrono::microseconds(us);
    if (us > 100)
        std::this_thread::sleep_for(std::chrono::microseconds(us - 80));
    while (Clock::now() < until) {
    }
}

bool SimOpenDevice::HasTranslation() const
{
    return !m_def.bTranslationAbsent && !m_strTranslation.empty();
}

GC_ERROR SimOpenDevice::Read(uint64_t nAddress, void* pBuffer, size_t nSize)
{
    Wait();
    auto serve = [&](const std::string& blob, uint64_t base) -> GC_ERROR {
        if (nAddress - base + nSize > blob.size())
            return Fail(GC_ERR_INVALID_ADDRESS, "read beyond the file");
        std::memcpy(pBuffer, blob.data() + (nAddress - base), nSize);
        return GC_ERR_SUCCESS;
    };
    if (nAddress >= kDescriptionBase && nAddress < kTranslationBase)
        return serve(m_strDescription, kDescriptionBase);
    if (nAddress >= kTranslationBase) {
        if (!HasTranslation())
            return Fail(GC_ERR_INVALID_ADDRESS, "no translation");
        return serve(m_strTranslation, kTranslationBase);
    }
    std::lock_guard<std::mutex> lock(m_memMutex);
    if (nSize > m_memory.size() || nAddress > m_memory.size() - nSize)
        return Fail(GC_ERR_INVALID_ADDRESS, "read beyond the register memory");
    RefreshFaults();
    for (const GetFault& f : m_def.getFaults)
        if (Touches(f.strFeature, nAddress, nSize) && ContextMatches(f.context))
            return Fail(f.nCode, "read of " + f.strFeature + " refused by the device file");
    std::memcpy(pBuffer, m_memory.data() + nAddress, nSize);
    return GC_ERR_SUCCESS;
}

GC_ERROR SimOpenDevice::Write(uint64_t nAddress, const void* pBuffer, size_t nSize)
{
    Wait();
    if (nAddress >= kDescriptionBase)
        return Fail(GC_ERR_ACCESS_DENIED, "the description is read-only");
    std::lock_guard<std::mutex> lock(m_memMutex);
    if (nSize > m_memory.size() || nAddress > m_memory.size() - nSize)
        return Fail(GC_ERR_INVALID_ADDRESS, "write beyond the register memory");
    RefreshFaults();
    uint32_t value = 0;
    std::memcpy(&value, pBuffer, std::min<size_t>(nSize, 4));
    for (const SetFault& f : m_def.setFaults)
        if (Touches(f.strFeature, nAddress, nSize) && value == f.nValue && ContextMatches(f.context))
            return Fail(f.nCode, "write of " + f.strFeature + " refused by the device file");
    std::memcpy(m_memory.data() + nAddress, pBuffer, nSize);
    return GC_ERR_SUCCESS;
}

std::vector<PortUrl> SimOpenDevice::Urls()
{
    std::vector<PortUrl> urls;
    char loc[64];
    PortUrl description;
    description.strFileName = m_strDescriptionName;
    description.nRegisterAddress = kDescriptionBase;
    description.nFileSize = m_strDescription.size();
    if (m_def.urlForm == UrlForm::File) {
        description.strUrl = "file:///" + (folderOf(m_def.strFile) + "/" + m_def.strDescriptionFile).substr(1);
        description.nScheme = 2;
    } else {
        std::snprintf(loc, sizeof loc, ";%llx;%llx", (unsigned long long)kDescriptionBase,
                      (unsigned long long)m_strDescription.size());
        description.strUrl = "Local:" + m_strDescriptionName + loc;
    }
    urls.push_back(description);
    if (HasTranslation()) {
        PortUrl translation;
        std::snprintf(loc, sizeof loc, ";%llx;%llx", (unsigned long long)kTranslationBase,
                      (unsigned long long)m_strTranslation.size());
        translation.strUrl = "Local:" + m_strTranslationName + loc;
        translation.strFileName = m_strTranslationName;
        translation.nRegisterAddress = kTranslationBase;
        translation.nFileSize = m_strTranslation.size();
        urls.push_back(translation);
    }
    return urls;
}

GC_ERROR SimOpenDevice::StartEvents(const std::shared_ptr<EventQueue>& queue)
{
    std::lock_guard<std::mutex> lock(m_eventMutex);
    m_events = queue;
    return GC_ERR_SUCCESS;
}

void SimOpenDevice::StopEvents()
{
    std::lock_guard<std::mutex> lock(m_eventMutex);
    m_events.reset();
}

// The device file may make the event data commands tell another id and time stamp than the record's
// bytes, so that a test sees which of the two a consumer takes.
GC_ERROR SimOpenDevice::EventDataInfo(const void* pIn, size_t nIn, EVENT_DATA_INFO_CMD cmd, INFO_DATATYPE* pType,
                                      void* pOut, size_t* pSize)
{
    if (!m_def.bEventInfoOverride)
        return GC_ERR_NOT_IMPLEMENTED;
    switch (cmd) {
    case EVENT_DATA_NUMID: return PutUInt64(m_def.nEventInfoId, pType, pOut, pSize);
    case EVENT_DATA_ID: {
        char text[8];
        std::snprintf(text, sizeof text, "%X", m_def.nEventInfoId);
        return PutString(text, pType, pOut, pSize);
    }
    case EVENT_DATA_VALUE: {
        std::string record(static_cast<const char*>(pIn), nIn);
        for (int i = 0; i < 2; ++i)
            record[2 + size_t(i)] = char((m_def.nEventInfoId >> (8 * (1 - i))) & 0xff);
        for (int i = 0; i < 8; ++i)
            record[8 + size_t(i)] = char((m_def.nEventInfoTimestamp >> (8 * (7 - i))) & 0xff);
        if (m_def.nEventInfoValueSize >= 0 && size_t(m_def.nEventInfoValueSize) < record.size())
            record.resize(size_t(m_def.nEventInfoValueSize));
        return PutBuffer(record.data(), record.size(), pType, pOut, pSize);
    }
    default: return GC_ERR_NOT_IMPLEMENTED;
    }
}

void SimOpenDevice::PushEvent(uint16_t nId, uint16_t nBlockId, uint64_t nTicks)
{
    uint8_t rec[kEventRecordSize] = {};
    auto put = [&](size_t at, uint64_t v, int bytes) {
        for (int i = 0; i < bytes; ++i)
            rec[at + size_t(i)] = uint8_t((v >> (8 * (bytes - 1 - i))) & 0xff);
    };
    put(2, nId, 2);
    put(4, 0xffff, 2); // not tied to a stream channel
    put(6, nBlockId, 2);
    put(8, nTicks >> 32, 4);
    put(12, nTicks & 0xffffffffULL, 4);
    std::lock_guard<std::mutex> lock(m_eventMutex);
    if (m_events)
        m_events->Push(rec, sizeof rec);
}

// Sends each event whose notification is on, at its rate, stamped with the device's tick counter.
void SimOpenDevice::RunGenerator()
{
    const RegisterRange notif = m_def.registers.count("EventNotification") ? m_def.registers.at("EventNotification")
                                                                           : RegisterRange{0, 0};
    std::vector<Clock::time_point> due(m_def.events.size());
    std::vector<bool> wasOn(m_def.events.size(), false);
    // Each event counts its own frames (the block id, GigE Vision's 16-bit frame id, never 0).
    std::vector<uint16_t> frames(m_def.events.size(), 0);
    std::unique_lock<std::mutex> stopLock(m_stopMutex);
    while (!m_stopCv.wait_for(stopLock, std::chrono::milliseconds(5), [this] { return m_bStop; })) {
        const Clock::time_point now = Clock::now();
        for (size_t i = 0; i < m_def.events.size(); ++i) {
            const SimEvent& ev = m_def.events[i];
            const uint64_t addr = notif.nAddress + 4ULL * ev.nSlot;
            bool on = false;
            {
                std::lock_guard<std::mutex> lock(m_memMutex);
                on = notif.nSize && addr + 4 <= notif.nAddress + notif.nSize && ReadU32(addr) != 0;
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
            const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(now - m_start).count();
            const uint64_t ticks = uint64_t((unsigned __int128)ns * m_def.nTickFrequency / 1000000000ULL);
            frames[i] = uint16_t(frames[i] == 0xffff ? 1 : frames[i] + 1);
            PushEvent(ev.nEventId, frames[i], ticks);
            due[i] += period;
            if (due[i] < now)
                due[i] = now + period; // never burst to catch up
        }
    }
}

// A camera keeps its registers while powered: the simulated one keeps them between opens, even across
// processes, in the user's data folder (one file per device id), so that it works from a read-only
// installation. $DOVI_SIM_STATE_DIR names another folder (tests use their own).
std::string SimOpenDevice::StateFile() const
{
    std::string folder;
    if (const char* env = std::getenv("DOVI_SIM_STATE_DIR"); env && *env) {
        folder = env;
    } else if (const char* data = std::getenv("KESTREL_USER_DATA_DIR"); data && *data) {
        folder = std::string(data) + "/DoVISimulator";
    } else if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg) {
        folder = std::string(xdg) + "/Kestrel/DoVISimulator";
    } else {
        const char* home = std::getenv("HOME");
        folder = std::string(home ? home : ".") + "/.local/share/Kestrel/DoVISimulator";
    }
    std::string name = m_def.strId;
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-' && c != '_' && c != '.')
            c = '_';
    return folder + "/" + name + ".state";
}

namespace {

bool makeFolders(const std::string& path)
{
    for (size_t at = 1; at != std::string::npos; at = path.find('/', at + 1)) {
        const std::string part = path.substr(0, at);
        if (!part.empty() && ::mkdir(part.c_str(), 0755) != 0 && errno != EEXIST)
            return false;
    }
    return ::mkdir(path.c_str(), 0755) == 0 || errno == EEXIST;
}

} // namespace

void SimOpenDevice::SaveState()
{
    std::lock_guard<std::mutex> lock(m_memMutex);
    const std::string path = StateFile();
    const std::string temp = path + ".tmp";
    bool bOk = makeFolders(path.substr(0, path.rfind('/')));
    if (bOk) {
        FILE* f = std::fopen(temp.c_str(), "wb");
        bOk = f != nullptr;
        if (f) {
            bOk = std::fwrite(m_memory.data(), 1, m_memory.size(), f) == m_memory.size();
            bOk = std::fclose(f) == 0 && bOk;
        }
        bOk = bOk && std::rename(temp.c_str(), path.c_str()) == 0;
        if (!bOk)
            std::remove(temp.c_str());
    }
    if (!bOk)
        std::fprintf(stderr, "DoVISimulator: the registers of %s cannot be kept in %s: %s\n", m_def.strId.c_str(),
                     path.c_str(), std::strerror(errno));
}

// A state file that is not the device's memory (cut short, foreign) is said once and replaced at close.
bool SimOpenDevice::LoadState()
{
    std::string bytes;
    const std::string path = StateFile();
    if (!readWholeFile(path, bytes))
        return false;
    if (bytes.size() != m_memory.size()) {
        std::fprintf(stderr, "DoVISimulator: the state file %s is unusable (%zu bytes): %s starts afresh\n",
                     path.c_str(), bytes.size(), m_def.strId.c_str());
        return false;
    }
    std::memcpy(m_memory.data(), bytes.data(), bytes.size());
    return true;
}

} // namespace dovisim

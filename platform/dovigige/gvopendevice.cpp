#include <arv.h>

#include "gvopendevice.h"

#include "eventqueue.h"
#include "gvcp.h"
#include "gvcpreader.h"
#include "gvmessagechannel.h"
#include "infoanswer.h"

#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <functional>
#include <strings.h>
#include <thread>

namespace dovigige {

using namespace gentlprod;

namespace {

constexpr uint32_t kGvcpBlock = 512;     // Aravis's largest memory transfer per transaction
constexpr int kProbeTimeoutMs = 250;
constexpr int kProbeTries = 2;
constexpr int kReadTimeoutMs = 500; // a read-only open's reads: as Aravis's device tries them
constexpr int kReadTries = 5;
constexpr uint32_t kMessageTimeoutMs = 200; // how long the camera waits for our acknowledgement
constexpr uint32_t kMessageRetries = 3;
constexpr uint32_t kCapabilityWriteMemory = 1u << 1;
// The liveness watch: a read every 500 ms, given up after 4 tries of 250 ms. From the first request the
// camera leaves unanswered (ours or Aravis's) to the report: at most 1.5 s.
constexpr int kWatchPeriodMs = 500;
constexpr int kWatchTimeoutMs = 250;
constexpr int kWatchTries = 4;

std::atomic<uint64_t> g_nTransactions{0};

GC_ERROR mapError(GError* error, const std::string& strWhat)
{
    GC_ERROR code = GC_ERR_IO;
    if (error && error->domain == ARV_DEVICE_ERROR) {
        switch (error->code) {
        case ARV_DEVICE_ERROR_TIMEOUT: code = GC_ERR_TIMEOUT; break;
        case ARV_DEVICE_ERROR_PROTOCOL_ERROR_ACCESS_DENIED:
        case ARV_DEVICE_ERROR_PROTOCOL_ERROR_WRITE_PROTECT:
        case ARV_DEVICE_ERROR_NOT_CONTROLLER: code = GC_ERR_ACCESS_DENIED; break;
        case ARV_DEVICE_ERROR_PROTOCOL_ERROR_INVALID_ADDRESS:
        case ARV_DEVICE_ERROR_PROTOCOL_ERROR_BAD_ALIGNMENT: code = GC_ERR_INVALID_ADDRESS; break;
        case ARV_DEVICE_ERROR_PROTOCOL_ERROR_NOT_IMPLEMENTED: code = GC_ERR_NOT_IMPLEMENTED; break;
        case ARV_DEVICE_ERROR_PROTOCOL_ERROR_INVALID_PARAMETER: code = GC_ERR_INVALID_PARAMETER; break;
        case ARV_DEVICE_ERROR_PROTOCOL_ERROR_BUSY: code = GC_ERR_BUSY; break;
        default: break;
        }
    }
    const std::string text = strWhat + (error ? std::string(": ") + error->message : std::string());
    if (error)
        g_error_free(error);
    return Fail(code, text);
}

// Reads the control privilege register from a socket of our own, before Aravis tries to take control:
// a camera that another host controls answers at once, where Aravis's own attempt takes seconds.
GC_ERROR probeControl(const CameraRecord& camera, uint32_t& nPrivilege)
{
    GvcpReader reader(kProbeTries, kProbeTimeoutMs, g_nTransactions);
    std::string strError;
    GC_ERROR rc = reader.Open(camera.itf.nAddress, camera.nAddress, strError);
    if (rc == GC_ERR_SUCCESS)
        rc = reader.ReadRegister(kRegControlPrivilege, nPrivilege, strError);
    return rc == GC_ERR_SUCCESS ? rc : Fail(rc, strError);
}

// What the camera's control privilege says of our access: another host's control leaves reading, its
// exclusive access (the camera refuses even reads) leaves nothing.
int32_t accessStatus(const CameraRecord& camera, bool bOpen)
{
    uint32_t privilege = 0;
    const GC_ERROR rc = probeControl(camera, privilege);
    const bool bControlled = rc == GC_ERR_SUCCESS && (privilege & (kPrivilegeControl | kPrivilegeExclusive));
    if (bOpen) // by this process: control held (or exclusive, which refuses our own probe) is ours
        return bControlled || rc == GC_ERR_ACCESS_DENIED ? DEVICE_ACCESS_STATUS_OPEN_READWRITE
                                                          : DEVICE_ACCESS_STATUS_OPEN_READONLY;
    if (rc == GC_ERR_ACCESS_DENIED)
        return DEVICE_ACCESS_STATUS_NOACCESS;
    if (rc != GC_ERR_SUCCESS)
        return DEVICE_ACCESS_STATUS_UNKNOWN;
    return bControlled ? DEVICE_ACCESS_STATUS_READONLY : DEVICE_ACCESS_STATUS_READWRITE;
}

void onControlLost(ArvDevice*, gpointer data)
{
    (*static_cast<std::shared_ptr<GvOpenDevice::ControlWatch>*>(data))->OnControlLost();
}

void forgetWatch(gpointer data, GClosure*)
{
    delete static_cast<std::shared_ptr<GvOpenDevice::ControlWatch>*>(data);
}

PortUrl parseUrl(const std::string& strUrl)
{
    PortUrl url;
    url.strUrl = strUrl;
    std::string lower = strUrl;
    for (char& c : lower)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    if (lower.rfind("local:", 0) == 0) {
        std::string rest = strUrl.substr(6);
        const size_t query = rest.find('?');
        if (query != std::string::npos)
            rest.resize(query);
        const size_t a = rest.find(';');
        const size_t b = a == std::string::npos ? a : rest.find(';', a + 1);
        if (b != std::string::npos) {
            url.strFileName = rest.substr(0, a);
            while (!url.strFileName.empty() && url.strFileName.front() == '/')
                url.strFileName.erase(0, 1);
            url.nRegisterAddress = std::strtoull(rest.substr(a + 1, b - a - 1).c_str(), nullptr, 16);
            url.nFileSize = std::strtoull(rest.substr(b + 1).c_str(), nullptr, 16);
        }
        url.nScheme = 0;
    } else if (lower.rfind("http:", 0) == 0 || lower.rfind("https:", 0) == 0) {
        url.nScheme = 1;
    } else if (lower.rfind("file:", 0) == 0) {
        url.nScheme = 2;
        const size_t slash = strUrl.rfind('/');
        url.strFileName = slash == std::string::npos ? strUrl.substr(5) : strUrl.substr(slash + 1);
    }
    return url;
}

} // namespace

// Reads the control privilege from a socket of our own every period, while a camera is being opened or
// sends events: the time the camera has to answer is ours, not the seconds Aravis's heartbeat and retries
// take. Any answer, a refusal included, is a camera still there.
class GvOpenDevice::LivenessWatch
{
public:
    // bControl: the privilege must also still show a controller (ours: nobody else can hold it).
    LivenessWatch(const CameraRecord& camera, bool bControl, std::function<void()> onLost)
        : m_thread([this, camera, bControl, onLost = std::move(onLost)] { Run(camera, bControl, onLost); })
    {
    }
    ~LivenessWatch()
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_bStop = true;
        }
        m_cv.notify_all();
        m_thread.join(); // at most one try's timeout
    }

private:
    void Run(const CameraRecord& camera, bool bControl, const std::function<void()>& onLost)
    {
        GvcpReader reader(kWatchTries, kWatchTimeoutMs, g_nTransactions);
        std::string strError;
        if (reader.Open(camera.itf.nAddress, camera.nAddress, strError) != GC_ERR_SUCCESS)
            return;
        std::unique_lock<std::mutex> lock(m_mutex);
        while (!m_cv.wait_for(lock, std::chrono::milliseconds(kWatchPeriodMs), [this] { return m_bStop; })) {
            lock.unlock();
            uint32_t privilege = 0;
            const GC_ERROR rc = reader.ReadRegister(kRegControlPrivilege, privilege, strError);
            const bool bLost = rc == GC_ERR_TIMEOUT
                               || (rc == GC_ERR_SUCCESS && bControl
                                   && !(privilege & (kPrivilegeControl | kPrivilegeExclusive)));
            lock.lock();
            if (bLost && !m_bStop) {
                lock.unlock();
                onLost();
                return;
            }
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_cv;
    bool m_bStop = false;
    std::thread m_thread; // last: started once the rest is there
};

GvOpenDevice::GvOpenDevice(const CameraRecord& camera, ArvDevice* pDevice)
    : m_camera(camera)
    , m_pDevice(pDevice)
{
}

GC_ERROR GvOpenDevice::Open(const CameraRecord& camera, DEVICE_ACCESS_FLAGS flags, std::unique_ptr<ProducerDevice>& out)
{
    uint32_t privilege = 0;
    GC_ERROR rc = probeControl(camera, privilege);
    if (rc != GC_ERR_SUCCESS)
        return rc;
    if (flags != DEVICE_ACCESS_READONLY && (privilege & (kPrivilegeControl | kPrivilegeExclusive)))
        return Fail(GC_ERR_ACCESS_DENIED, "another application controls the camera at " + Ipv4Text(camera.nAddress));

    if (flags == DEVICE_ACCESS_READONLY) {
        // Read-only: reads of our own, without Aravis's device, which would first try to take control.
        auto reader = std::make_unique<GvcpReader>(kReadTries, kReadTimeoutMs, g_nTransactions);
        std::string strError;
        rc = reader->Open(camera.itf.nAddress, camera.nAddress, strError);
        if (rc != GC_ERR_SUCCESS)
            return Fail(rc, strError);
        std::unique_ptr<GvOpenDevice> dev(new GvOpenDevice(camera, nullptr));
        dev->m_reader = std::move(reader);
        dev->m_bReadOnly = true;
        if ((rc = dev->FinishOpen()) == GC_ERR_SUCCESS)
            out = std::move(dev);
        return rc;
    }
    GInetAddress* local = g_inet_address_new_from_string(Ipv4Text(camera.itf.nAddress).c_str());
    GInetAddress* remote = g_inet_address_new_from_string(Ipv4Text(camera.nAddress).c_str());
    // Aravis's open (taking control, downloading the description) on a thread of its own, watched: a camera
    // that goes away meanwhile is reported when it stops answering, not after Aravis's retries and farewell.
    struct Opening {
        std::mutex mutex;
        std::condition_variable cv;
        bool bDone = false, bLost = false, bAbandoned = false;
        ArvDevice* device = nullptr;
        GError* error = nullptr;
    };
    auto opening = std::make_shared<Opening>();
    std::thread opener([opening, local, remote] {
        GError* error = nullptr;
        ArvDevice* device = arv_gv_device_new(local, remote, &error);
        g_object_unref(local);
        g_object_unref(remote);
        std::lock_guard<std::mutex> lock(opening->mutex);
        if (opening->bAbandoned) {
            if (device)
                g_object_unref(device);
            g_clear_error(&error);
            return;
        }
        opening->device = device;
        opening->error = error;
        opening->bDone = true;
        opening->cv.notify_all();
    });
    {
        LivenessWatch watch(camera, false, [opening] {
            std::lock_guard<std::mutex> lock(opening->mutex);
            opening->bLost = true;
            opening->cv.notify_all();
        });
        std::unique_lock<std::mutex> lock(opening->mutex);
        opening->cv.wait(lock, [&] { return opening->bDone || opening->bLost; });
        if (!opening->bDone) {
            opening->bAbandoned = true; // the opener releases what it gets
            lock.unlock();
            opener.detach();
            return Fail(GC_ERR_TIMEOUT, "the camera at " + Ipv4Text(camera.nAddress) + " stopped answering while it was opened");
        }
    }
    opener.join();
    ArvDevice* device = opening->device;
    GError* error = opening->error;
    if (!device)
        return mapError(error, "the camera at " + Ipv4Text(camera.nAddress) + " cannot be opened");
    g_clear_error(&error);
    std::unique_ptr<GvOpenDevice> dev(new GvOpenDevice(camera, device));
    g_nTransactions += 8; // Aravis's own open: privilege, URL, device mode, capabilities (its description below)
    if (!arv_gv_device_is_controller(ARV_GV_DEVICE(device))) {
        return Fail(GC_ERR_ACCESS_DENIED, "the camera at " + Ipv4Text(camera.nAddress) + " gives no control");
    } else if (flags == DEVICE_ACCESS_EXCLUSIVE) {
        // Cameras without exclusive access keep plain control.
        dev->WriteRegister(kRegControlPrivilege, kPrivilegeExclusive);
    }
    // Connected for the device's life: the watch it holds goes when the device is finalized.
    g_signal_connect_data(device, "control-lost", G_CALLBACK(onControlLost),
                          new std::shared_ptr<ControlWatch>(dev->m_watch), forgetWatch, GConnectFlags(0));
    if ((rc = dev->FinishOpen()) == GC_ERR_SUCCESS)
        out = std::move(dev);
    return rc;
}

// What every open reads: the description's URLs, the write capability and the tick frequency.
GC_ERROR GvOpenDevice::FinishOpen()
{
    const GC_ERROR rc = ReadUrls();
    if (rc != GC_ERR_SUCCESS)
        return rc;
    KeepDescription();
    uint32_t capability = 0;
    if (ReadRegister(kRegGvcpCapability, capability) == GC_ERR_SUCCESS)
        m_bWriteMemory = (capability & kCapabilityWriteMemory) != 0;
    uint32_t high = 0, low = 0;
    if (ReadRegister(kRegTickFrequencyHigh, high) == GC_ERR_SUCCESS
        && ReadRegister(kRegTickFrequencyLow, low) == GC_ERR_SUCCESS)
        m_nTickFrequency = (uint64_t(high) << 32) | low;
    return GC_ERR_SUCCESS;
}

GvOpenDevice::~GvOpenDevice()
{
    StopEvents();
    if (!m_pDevice)
        return; // read-only: our own socket, closed with the reader
    if (m_watch->bLost || m_bUnreachable) {
        // A camera known lost: Aravis's farewell (releasing control, with all its retries) runs on a thread
        // of its own, so that the close, and the report of the loss, do not wait for a camera that is gone.
        ArvDevice* device = m_pDevice;
        std::thread([device] { g_object_unref(device); }).detach();
        return;
    }
    // Finalizing joins Aravis's heartbeat thread, so the lost-control handler may still run until then.
    g_object_unref(m_pDevice);
}

uint64_t GvOpenDevice::Transactions()
{
    return g_nTransactions;
}

void GvOpenDevice::ControlWatch::OnControlLost()
{
    bLost = true;
    std::lock_guard<std::mutex> lock(mutex);
    if (events)
        events->Close(GC_ERR_IO);
}

GC_ERROR GvOpenDevice::Noted(GC_ERROR rc)
{
    if (rc == GC_ERR_TIMEOUT)
        m_bUnreachable = true;
    else if (rc == GC_ERR_SUCCESS)
        m_bUnreachable = false;
    return rc;
}

GC_ERROR GvOpenDevice::ReadRegister(uint32_t nAddress, uint32_t& nValue)
{
    if (!m_pDevice) {
        std::string strError;
        const GC_ERROR rc = m_reader->ReadRegister(nAddress, nValue, strError);
        return Noted(rc == GC_ERR_SUCCESS ? rc : Fail(rc, strError));
    }
    GError* error = nullptr;
    ++g_nTransactions;
    if (!arv_device_read_register(m_pDevice, nAddress, &nValue, &error))
        return Noted(mapError(error, "register read failed"));
    return Noted(GC_ERR_SUCCESS);
}

GC_ERROR GvOpenDevice::WriteRegister(uint32_t nAddress, uint32_t nValue)
{
    if (!m_pDevice)
        return Fail(GC_ERR_ACCESS_DENIED, "the camera at " + Ipv4Text(m_camera.nAddress) + " was opened read-only");
    GError* error = nullptr;
    ++g_nTransactions;
    if (!arv_device_write_register(m_pDevice, nAddress, nValue, &error))
        return Noted(mapError(error, "register write failed"));
    return Noted(GC_ERR_SUCCESS);
}

GC_ERROR GvOpenDevice::ReadUrls()
{
    for (uint32_t address : {kRegXmlUrl0, kRegXmlUrl1}) {
        uint8_t text[kXmlUrlSize + 1] = {};
        const GC_ERROR rc = Read(address, text, kXmlUrlSize);
        if (rc != GC_ERR_SUCCESS)
            return rc;
        const std::string url = FieldText(text, kXmlUrlSize);
        if (url.empty())
            break; // the second URL is optional
        m_urls.push_back(parseUrl(url));
    }
    if (m_urls.empty())
        return Fail(GC_ERR_NOT_AVAILABLE, "the camera names no description");
    return GC_ERR_SUCCESS;
}

GC_ERROR GvOpenDevice::CameraInfo(const CameraRecord& camera, bool bOpen, DEVICE_INFO_CMD cmd, INFO_DATATYPE* pType,
                                  void* pBuffer, size_t* pSize)
{
    switch (cmd) {
    case DEVICE_INFO_ID: return PutString(camera.Id(), pType, pBuffer, pSize);
    case DEVICE_INFO_VENDOR: return PutString(camera.strVendor, pType, pBuffer, pSize);
    case DEVICE_INFO_MODEL: return PutString(camera.strModel, pType, pBuffer, pSize);
    case DEVICE_INFO_TLTYPE: return PutString("GEV", pType, pBuffer, pSize);
    case DEVICE_INFO_DISPLAYNAME:
        return PutString(camera.strUserName.empty() ? camera.strModel : camera.strUserName, pType, pBuffer, pSize);
    case DEVICE_INFO_ACCESS_STATUS: return PutInt32(accessStatus(camera, bOpen), pType, pBuffer, pSize);
    case DEVICE_INFO_USER_DEFINED_NAME: return PutString(camera.strUserName, pType, pBuffer, pSize);
    case DEVICE_INFO_SERIAL_NUMBER: return PutString(camera.strSerial, pType, pBuffer, pSize);
    case DEVICE_INFO_VERSION: return PutString(camera.strVersion, pType, pBuffer, pSize);
    case DEVICE_INFO_DOVI_IP_ADDRESS: return PutUInt32(camera.nAddress, pType, pBuffer, pSize);
    case DEVICE_INFO_DOVI_MAC: return PutUInt64(camera.nMac, pType, pBuffer, pSize);
    default: return Fail(GC_ERR_NOT_AVAILABLE, "not known before the camera is open");
    }
}

GC_ERROR GvOpenDevice::Info(DEVICE_INFO_CMD cmd, INFO_DATATYPE* pType, void* pBuffer, size_t* pSize)
{
    if (cmd == DEVICE_INFO_ACCESS_STATUS)
        return PutInt32(m_bReadOnly ? DEVICE_ACCESS_STATUS_OPEN_READONLY : DEVICE_ACCESS_STATUS_OPEN_READWRITE, pType,
                        pBuffer, pSize);
    if (cmd == DEVICE_INFO_TIMESTAMP_FREQUENCY) {
        if (!m_nTickFrequency)
            return Fail(GC_ERR_NOT_AVAILABLE, "the camera gives no tick frequency");
        return PutUInt64(m_nTickFrequency, pType, pBuffer, pSize);
    }
    return CameraInfo(m_camera, true, cmd, pType, pBuffer, pSize);
}

GC_ERROR GvOpenDevice::PortInfo(PORT_INFO_CMD cmd, INFO_DATATYPE* pType, void* pBuffer, size_t* pSize)
{
    switch (cmd) {
    case PORT_INFO_ID: return PutString(m_camera.Id(), pType, pBuffer, pSize);
    case PORT_INFO_VENDOR: return PutString(m_camera.strVendor, pType, pBuffer, pSize);
    case PORT_INFO_MODEL: return PutString(m_camera.strModel, pType, pBuffer, pSize);
    case PORT_INFO_TLTYPE: return PutString("GEV", pType, pBuffer, pSize);
    case PORT_INFO_MODULE: return PutString("Device", pType, pBuffer, pSize);
    case PORT_INFO_LITTLE_ENDIAN: return PutBool8(false, pType, pBuffer, pSize);
    case PORT_INFO_BIG_ENDIAN: return PutBool8(true, pType, pBuffer, pSize);
    case PORT_INFO_ACCESS_READ: return PutBool8(true, pType, pBuffer, pSize);
    case PORT_INFO_ACCESS_WRITE: return PutBool8(true, pType, pBuffer, pSize);
    case PORT_INFO_ACCESS_NA: return PutBool8(false, pType, pBuffer, pSize);
    case PORT_INFO_ACCESS_NI: return PutBool8(false, pType, pBuffer, pSize);
    case PORT_INFO_VERSION: return PutString(m_camera.strVersion, pType, pBuffer, pSize);
    case PORT_INFO_PORTNAME: return PutString("Device", pType, pBuffer, pSize);
    default: return Fail(GC_ERR_INVALID_PARAMETER, "unknown info command");
    }
}

// One aligned 32-bit register goes as a register command; anything else as memory commands over the
// aligned words that cover it (GigE Vision memory access is in whole words).
// Aravis downloads the description while it opens the camera; a consumer reading it again through URL 0
// gets that copy (unzipped, with the URL saying so), so that one open costs one download on the wire.
void GvOpenDevice::KeepDescription()
{
    if (!m_pDevice)
        return; // nothing was downloaded yet: the reader's first read of URL 0 is the only one
    size_t nSize = 0;
    const char* xml = arv_device_get_genicam_xml(m_pDevice, &nSize);
    if (!xml || nSize == 0 || m_urls.empty() || m_urls[0].nScheme != 0)
        return;
    g_nTransactions += (nSize + kGvcpBlock - 1) / kGvcpBlock;
    m_description.assign(xml, nSize);
    PortUrl& url = m_urls[0];
    std::string name = url.strFileName;
    if (name.size() > 4 && strcasecmp(name.c_str() + name.size() - 4, ".zip") == 0)
        name.resize(name.size() - 4);
    if (name.find('.') == std::string::npos)
        name += ".xml";
    url.strFileName = name;
    url.nFileSize = nSize;
    char location[64];
    std::snprintf(location, sizeof location, ";%llx;%llx", (unsigned long long)url.nRegisterAddress,
                  (unsigned long long)nSize);
    url.strUrl = "Local:" + name + location;
}

GC_ERROR GvOpenDevice::Read(uint64_t nAddress, void* pBuffer, size_t nSize)
{
    // A camera that let a command go unanswered through all its retries, or whose heartbeat failed, is not
    // asked again: every further call would cost the retries once more before saying the same.
    if (m_watch->bLost || m_bUnreachable)
        return Fail(GC_ERR_IO, "the camera at " + Ipv4Text(m_camera.nAddress) + " is gone");
    if (!m_description.empty() && nAddress >= m_urls[0].nRegisterAddress
        && nAddress - m_urls[0].nRegisterAddress <= m_description.size()
        && nSize <= m_description.size() - (nAddress - m_urls[0].nRegisterAddress)) {
        std::memcpy(pBuffer, m_description.data() + (nAddress - m_urls[0].nRegisterAddress), nSize);
        return GC_ERR_SUCCESS;
    }
    if (nAddress + nSize > 0xFFFFFFFFULL)
        return Fail(GC_ERR_INVALID_ADDRESS, "beyond the camera's 32-bit address space");
    if (nSize == 4 && nAddress % 4 == 0) {
        uint32_t value = 0;
        const GC_ERROR rc = ReadRegister(uint32_t(nAddress), value);
        if (rc == GC_ERR_SUCCESS)
            Put32(static_cast<uint8_t*>(pBuffer), value);
        return rc;
    }
    const uint64_t first = nAddress & ~uint64_t(3);
    const uint64_t end = (nAddress + nSize + 3) & ~uint64_t(3);
    std::vector<uint8_t> words(size_t(end - first));
    if (!m_pDevice) {
        std::string strError;
        const GC_ERROR rc = m_reader->ReadMemory(uint32_t(first), words.data(), words.size(), strError);
        if (rc != GC_ERR_SUCCESS)
            return Noted(Fail(rc, strError));
    } else {
        GError* error = nullptr;
        g_nTransactions += (words.size() + kGvcpBlock - 1) / kGvcpBlock;
        if (!arv_device_read_memory(m_pDevice, first, guint32(words.size()), words.data(), &error))
            return Noted(mapError(error, "memory read failed"));
    }
    std::memcpy(pBuffer, words.data() + (nAddress - first), nSize);
    return Noted(GC_ERR_SUCCESS);
}

GC_ERROR GvOpenDevice::Write(uint64_t nAddress, const void* pBuffer, size_t nSize)
{
    // A camera that let a command go unanswered through all its retries, or whose heartbeat failed, is not
    // asked again: every further call would cost the retries once more before saying the same.
    if (m_watch->bLost || m_bUnreachable)
        return Fail(GC_ERR_IO, "the camera at " + Ipv4Text(m_camera.nAddress) + " is gone");
    if (nAddress + nSize > 0xFFFFFFFFULL)
        return Fail(GC_ERR_INVALID_ADDRESS, "beyond the camera's 32-bit address space");
    if (!m_pDevice)
        return Fail(GC_ERR_ACCESS_DENIED, "the camera at " + Ipv4Text(m_camera.nAddress) + " was opened read-only");
    if (nSize == 4 && nAddress % 4 == 0)
        return WriteRegister(uint32_t(nAddress), Get32(static_cast<const uint8_t*>(pBuffer)));
    const uint64_t first = nAddress & ~uint64_t(3);
    const uint64_t end = (nAddress + nSize + 3) & ~uint64_t(3);
    std::vector<uint8_t> words(size_t(end - first));
    if (first != nAddress || end != nAddress + nSize) {
        const GC_ERROR rc = Read(first, words.data(), words.size());
        if (rc != GC_ERR_SUCCESS)
            return rc;
    }
    std::memcpy(words.data() + (nAddress - first), pBuffer, nSize);
    if (!m_bWriteMemory) {
        // Without WRITEMEM a camera takes its memory one register at a time.
        for (size_t at = 0; at < words.size(); at += 4) {
            const GC_ERROR rc = WriteRegister(uint32_t(first + at), Get32(words.data() + at));
            if (rc != GC_ERR_SUCCESS)
                return rc;
        }
        return GC_ERR_SUCCESS;
    }
    GError* error = nullptr;
    g_nTransactions += (words.size() + kGvcpBlock - 1) / kGvcpBlock;
    if (!arv_device_write_memory(m_pDevice, first, guint32(words.size()), words.data(), &error))
        return Noted(mapError(error, "memory write failed"));
    return Noted(GC_ERR_SUCCESS);
}

std::vector<PortUrl> GvOpenDevice::Urls()
{
    return m_urls;
}

// Enable order: destination, timeout and retries first, the host port last (a non-zero port opens it).
GC_ERROR GvOpenDevice::StartEvents(const std::shared_ptr<EventQueue>& queue)
{
    // The message channel registers take writes from the controlling host only: without control the
    // camera would leave every write unanswered through all its retries.
    if (!m_pDevice || !arv_gv_device_is_controller(ARV_GV_DEVICE(m_pDevice)))
        return Fail(GC_ERR_ACCESS_DENIED, "events need control of the camera at " + Ipv4Text(m_camera.nAddress)
                                              + (m_bReadOnly ? " (it was opened read-only)" : " (another host has it)"));
    uint32_t channels = 0, capability = 0;
    GC_ERROR rc = ReadRegister(kRegMessageChannels, channels);
    if (rc == GC_ERR_SUCCESS)
        rc = ReadRegister(kRegGvcpCapability, capability);
    if (rc != GC_ERR_SUCCESS)
        return rc;
    if (channels == 0 || !(capability & (kCapabilityEvent | kCapabilityEventData)))
        return Fail(GC_ERR_NOT_AVAILABLE, "the camera at " + Ipv4Text(m_camera.nAddress) + " sends no events "
                                              "(no message channel or no event capability)");
    auto channel = std::make_unique<GvMessageChannel>(m_camera.itf.nAddress, m_camera.nAddress, queue);
    uint16_t port = 0;
    std::string error;
    rc = channel->Start(port, error);
    if (rc != GC_ERR_SUCCESS)
        return Fail(rc, error);
    queue->SetReceiveBuffer(uint64_t(channel->ReceiveBufferSize()));
    {
        std::lock_guard<std::mutex> lock(m_watch->mutex);
        m_watch->events = queue;
    }
    rc = WriteRegister(kRegMessageDestination, m_camera.itf.nAddress);
    if (rc == GC_ERR_SUCCESS)
        rc = WriteRegister(kRegMessageTimeout, kMessageTimeoutMs);
    if (rc == GC_ERR_SUCCESS)
        rc = WriteRegister(kRegMessageRetries, kMessageRetries);
    if (rc == GC_ERR_SUCCESS)
        rc = WriteRegister(kRegMessagePort, port);
    if (rc != GC_ERR_SUCCESS) {
        channel->Stop();
        std::lock_guard<std::mutex> lock(m_watch->mutex);
        m_watch->events.reset();
        return rc;
    }
    m_channel = std::move(channel);
    if (m_watch->bLost)
        queue->Close(GC_ERR_IO);
    // While events are watched nothing else asks the camera: the loss is reported from our own reads.
    m_liveness = std::make_unique<LivenessWatch>(m_camera, true, [watch = m_watch] { watch->OnControlLost(); });
    return GC_ERR_SUCCESS;
}

void GvOpenDevice::StopEvents()
{
    m_liveness.reset();
    if (!m_channel)
        return;
    // A camera that no longer answers would cost the whole retry time here for nothing.
    if (!m_watch->bLost && !m_bUnreachable)
        WriteRegister(kRegMessagePort, 0);
    m_channel->Stop();
    m_channel.reset();
    std::lock_guard<std::mutex> lock(m_watch->mutex);
    m_watch->events.reset();
}

} // namespace dovigige

#include "gentlproducer.h"

#include "nxinterface.h"
#include "producerfilecheck.h"

#include <QDebug>
#include <QFileInfo>
#include <QMutexLocker>
#include <QRecursiveMutex>

#include <QDir>

#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

namespace {

// Recursive: a producer that fails half-way is destroyed while acquire() still holds the lock.
QRecursiveMutex g_registryMutex;
std::map<QString, std::weak_ptr<GenTLProducer>> g_registry;
QStringList g_tokenPaths;              // "@<n>" stands for the n-th absolute producer path
// Kept loaded for good (never destroyed, not even at exit): a thread of ours may still be inside.
auto* g_hung = new std::vector<std::shared_ptr<GenTLProducer>>;

// No info text is this long: a producer that says so is not believed.
constexpr size_t kMaxInfoText = 64 * 1024;
constexpr int kStartTimeoutMs = 5000; // GCInitLib, TLOpen

// An info text; pRc (when given) tells why there is none: the producer's code, or GC_ERR_INVALID_BUFFER
// for a size no text has.
QByteArray stringInfo(const std::function<GC_ERROR(void*, size_t*)>& get, int32_t* pRc = nullptr)
{
    size_t size = 0;
    const GC_ERROR rc = get(nullptr, &size);
    if (pRc)
        *pRc = rc;
    if (rc != GC_ERR_SUCCESS || size == 0)
        return QByteArray();
    if (size > kMaxInfoText) {
        if (pRc)
            *pRc = GC_ERR_INVALID_BUFFER;
        return QByteArray();
    }
    QByteArray text(int(size), '\0');
    if (get(text.data(), &size) != GC_ERR_SUCCESS)
        return QByteArray();
    return QByteArray(text.constData()); // up to the NUL
}

// Runs a call into a producer on a thread of its own and waits at most nTimeoutMs for it. False when it
// did not return in time: its thread is left inside the producer, which must then never be unloaded.
bool callWithin(int nTimeoutMs, std::function<int32_t()> call, int32_t& rc)
{
    struct State {
        std::mutex mutex;
        std::condition_variable cv;
        bool bDone = false;
        int32_t rc = GC_ERR_TIMEOUT;
    };
    auto state = std::make_shared<State>();
    std::thread worker([state, call = std::move(call)]() {
        const int32_t result = call();
        std::lock_guard<std::mutex> lock(state->mutex);
        state->rc = result;
        state->bDone = true;
        state->cv.notify_all();
    });
    std::unique_lock<std::mutex> lock(state->mutex);
    if (!state->cv.wait_for(lock, std::chrono::milliseconds(nTimeoutMs), [&] { return state->bDone; })) {
        lock.unlock();
        worker.detach(); // it may never come back
        rc = GC_ERR_TIMEOUT;
        return false;
    }
    lock.unlock();
    worker.join();
    rc = state->rc;
    return true;
}

} // namespace

QString GenTLProducer::producerFolder()
{
    return NXInterface::commonFilesPath() + QStringLiteral("/%1/Runtime/%2")
                                                .arg(NXInterface::appName(), NXInterface::runtimePlatformName());
}

QByteArray GenTLProducer::tokenOf(const QString& strPath)
{
    QMutexLocker lock(&g_registryMutex);
    int n = g_tokenPaths.indexOf(strPath);
    if (n < 0) {
        g_tokenPaths.append(strPath);
        n = g_tokenPaths.size() - 1;
    }
    return "@" + QByteArray::number(n);
}

std::shared_ptr<GenTLProducer> GenTLProducer::acquire(const QString& strName, int32_t& rc)
{
    rc = GC_ERR_SUCCESS;
    QString strFileName = strName;
    if (strName.startsWith(QLatin1Char('@'))) {
        QMutexLocker lock(&g_registryMutex);
        bool bNumber = false;
        const int n = strName.mid(1).toInt(&bNumber);
        if (!bNumber || n < 0 || n >= g_tokenPaths.size()) {
            rc = GC_ERR_INVALID_PARAMETER;
            return nullptr;
        }
        strFileName = g_tokenPaths.at(n);
    }
    // A bare name lies in the producers' folder; an absolute path (from the GenTL search path) anywhere.
    const bool bAbsolute = QDir::isAbsolutePath(strFileName);
    if (strFileName.isEmpty() || (!bAbsolute && (strFileName.contains(QLatin1Char('/')) || strFileName.contains(QLatin1Char('\\'))))
        || !strFileName.endsWith(QLatin1String(".cti"), Qt::CaseInsensitive)) {
        qWarning("Refused producer file name \"%s\": a bare *.cti file name or an absolute path is expected",
                 qUtf8Printable(strFileName));
        rc = GC_ERR_INVALID_PARAMETER;
        return nullptr;
    }
    const QString path = bAbsolute ? strFileName : producerFolder() + QLatin1Char('/') + strFileName;
    const QFileInfo info(path);
    if (!info.isFile()) {
        qWarning("Producer file %s not found", qUtf8Printable(path));
        rc = GC_ERR_NOT_AVAILABLE;
        return nullptr;
    }
    const QString key = info.canonicalFilePath();

    QMutexLocker lock(&g_registryMutex);
    if (auto it = g_registry.find(key); it != g_registry.end()) {
        if (auto shared = it->second.lock()) {
            if (shared->m_bHung) {
                qWarning("Producer %s is skipped: it did not answer before", qUtf8Printable(path));
                rc = GC_ERR_BUSY;
                return nullptr;
            }
            return shared;
        }
    }

    // Closing happens under the registry lock, so that a new acquire never meets a half-closed producer.
    std::shared_ptr<GenTLProducer> p(new GenTLProducer, [](GenTLProducer* q) {
        QMutexLocker closing(&g_registryMutex);
        delete q;
    });
    p->m_strFileName = path;
    QString strWhy;
    if (!IsLoadableLibraryFile(key, strWhy)) {
        qWarning("Producer file %s is not a loadable library: %s", qUtf8Printable(path), qUtf8Printable(strWhy));
        rc = GC_ERR_NOT_IMPLEMENTED;
        return nullptr;
    }
    p->m_library.setFileName(key);
    // Closed with its last user but never unmapped: a producer's threads and thread-local data (and the
    // libraries it pulls in) must not vanish under the process.
    p->m_library.setLoadHints(QLibrary::PreventUnloadHint);
    if (!p->m_library.load()) {
        qWarning("Producer file %s is not a loadable library: %s", qUtf8Printable(path),
                 qUtf8Printable(p->m_library.errorString()));
        rc = GC_ERR_NOT_IMPLEMENTED;
        return nullptr;
    }
    bool bComplete = true;
    auto resolve = [&](auto& f, const char* name) {
        f = reinterpret_cast<std::remove_reference_t<decltype(f)>>(p->m_library.resolve(name));
        bComplete = bComplete && f;
    };
    Functions& f = p->m_fn;
    resolve(f.GCInitLib, "GCInitLib");
    resolve(f.GCCloseLib, "GCCloseLib");
    resolve(f.TLOpen, "TLOpen");
    resolve(f.TLClose, "TLClose");
    resolve(f.TLUpdateInterfaceList, "TLUpdateInterfaceList");
    resolve(f.TLGetNumInterfaces, "TLGetNumInterfaces");
    resolve(f.TLGetInterfaceID, "TLGetInterfaceID");
    resolve(f.TLOpenInterface, "TLOpenInterface");
    resolve(f.IFClose, "IFClose");
    resolve(f.IFUpdateDeviceList, "IFUpdateDeviceList");
    resolve(f.IFGetNumDevices, "IFGetNumDevices");
    resolve(f.IFGetDeviceID, "IFGetDeviceID");
    resolve(f.IFGetDeviceInfo, "IFGetDeviceInfo");
    resolve(f.IFOpenDevice, "IFOpenDevice");
    resolve(f.DevClose, "DevClose");
    resolve(f.DevGetPort, "DevGetPort");
    resolve(f.GCReadPort, "GCReadPort");
    resolve(f.GCWritePort, "GCWritePort");
    resolve(f.GCGetNumPortURLs, "GCGetNumPortURLs");
    resolve(f.GCGetPortURLInfo, "GCGetPortURLInfo");
    resolve(f.GCRegisterEvent, "GCRegisterEvent");
    resolve(f.GCUnregisterEvent, "GCUnregisterEvent");
    resolve(f.EventGetData, "EventGetData");
    resolve(f.EventGetDataInfo, "EventGetDataInfo");
    resolve(f.EventKill, "EventKill");
    f.EventGetInfo = reinterpret_cast<PEventGetInfo>(p->m_library.resolve("EventGetInfo"));
    f.GCGetInfo = reinterpret_cast<PGCGetInfo>(p->m_library.resolve("GCGetInfo"));
    f.TLGetInfo = reinterpret_cast<PTLGetInfo>(p->m_library.resolve("TLGetInfo"));
    if (!bComplete) {
        qWarning("Producer file %s lacks the GenTL functions; it is not a GenTL producer", qUtf8Printable(path));
        p->m_library.unload();
        rc = GC_ERR_NOT_IMPLEMENTED;
        return nullptr;
    }
    // A producer whose start never returns must not hang the scan: it is named, skipped, and kept (never
    // unloaded under its thread) so that later scans skip it at once.
    GenTLProducer* pRaw = p.get();
    auto hung = [&](const char* szCall) {
        qWarning("%s of %s did not return within %d ms: the producer is skipped", szCall, qUtf8Printable(path),
                 kStartTimeoutMs);
        p->m_bHung = true;
        g_hung->push_back(p);
        g_registry[key] = p;
        rc = GC_ERR_TIMEOUT;
        return nullptr;
    };
    if (!callWithin(kStartTimeoutMs, [pRaw] { return pRaw->m_fn.GCInitLib(); }, rc))
        return hung("GCInitLib");
    if (rc != GC_ERR_SUCCESS) {
        qWarning("GCInitLib of %s failed: %d", qUtf8Printable(path), rc);
        p->m_library.unload();
        return nullptr;
    }
    p->m_bInit = true;
    if (!callWithin(kStartTimeoutMs, [pRaw] {
            pRaw->m_bOwnProducer = stringInfo([&](void* b, size_t* s) {
                                       INFO_DATATYPE type = INFO_DATATYPE_UNKNOWN;
                                       return pRaw->m_fn.GCGetInfo ? pRaw->m_fn.GCGetInfo(TL_INFO_VENDOR, &type, b, s)
                                                                   : GC_ERR_NOT_IMPLEMENTED;
                                   }) == "DoVI";
            return pRaw->m_fn.TLOpen(&pRaw->m_hSystem);
        }, rc))
        return hung("TLOpen");
    if (rc != GC_ERR_SUCCESS) {
        qWarning("TLOpen of %s failed: %d", qUtf8Printable(path), rc);
        return nullptr; // the destructor closes the library
    }
    g_registry[key] = p;
    return p;
}

GenTLProducer::~GenTLProducer()
{
    for (IF_HANDLE h : qAsConst(m_interfaces))
        m_fn.IFClose(h);
    if (m_hSystem)
        m_fn.TLClose(m_hSystem);
    if (m_bInit)
        m_fn.GCCloseLib();
    if (m_library.isLoaded())
        m_library.unload();
}

int32_t GenTLProducer::openInterface(const QByteArray& ifId, IF_HANDLE& hIface)
{
    if (auto it = m_interfaces.constFind(ifId); it != m_interfaces.constEnd()) {
        hIface = it.value();
        return GC_ERR_SUCCESS;
    }
    const int32_t rc = m_fn.TLOpenInterface(m_hSystem, ifId.constData(), &hIface);
    if (rc == GC_ERR_SUCCESS)
        m_interfaces.insert(ifId, hIface);
    return rc;
}

// A producer that does not list its devices within this time is left alone for the rest of the run.
int32_t GenTLProducer::listDevicesWithin(QList<Device>& devices, int nTimeoutMs)
{
    auto found = std::make_shared<QList<Device>>();
    std::shared_ptr<GenTLProducer> self = shared_from_this();
    int32_t rc = GC_ERR_SUCCESS;
    // The call holds the producer only while it runs: never released (and unloaded) on its thread.
    GenTLProducer* pSelf = self.get();
    if (!callWithin(nTimeoutMs, [pSelf, found] { return pSelf->listDevices(*found); }, rc)) {
        qWarning("Producer %s did not list its devices within %d ms: skipped", qUtf8Printable(m_strFileName),
                 nTimeoutMs);
        m_bHung = true;
        QMutexLocker registry(&g_registryMutex);
        g_hung->push_back(self); // never unloaded under the thread that is still inside it
        return GC_ERR_TIMEOUT;
    }
    devices = *found;
    // What our producer could not use is said in the log, once for each new text.
    if (m_bOwnProducer) {
        const QByteArray problems = tlInfo(TL_INFO_DOVI_PROBLEMS);
        QMutexLocker lock(&m_mutex);
        if (!problems.isEmpty() && problems != m_lastProblems)
            qWarning("Producer %s could not use: %s", qUtf8Printable(m_strFileName),
                     QByteArray(problems).replace('\n', "; ").constData());
        m_lastProblems = problems;
    }
    return rc;
}

QByteArray GenTLProducer::tlInfo(TL_INFO_CMD cmd, int32_t* pRc)
{
    if (!m_fn.TLGetInfo || !m_hSystem) {
        if (pRc)
            *pRc = GC_ERR_NOT_INITIALIZED;
        return QByteArray();
    }
    return stringInfo([&](void* b, size_t* s) {
        INFO_DATATYPE type = INFO_DATATYPE_UNKNOWN;
        return m_fn.TLGetInfo(m_hSystem, cmd, &type, b, s);
    }, pRc);
}

int32_t GenTLProducer::listDevices(QList<Device>& devices)
{
    QMutexLocker lock(&m_mutex);
    devices.clear();
    bool8_t changed = 0;
    int32_t rc = m_fn.TLUpdateInterfaceList(m_hSystem, &changed, 1000);
    if (rc != GC_ERR_SUCCESS)
        return rc;
    uint32_t nInterfaces = 0;
    rc = m_fn.TLGetNumInterfaces(m_hSystem, &nInterfaces);
    if (rc != GC_ERR_SUCCESS)
        return rc;
    // Why a part could not be listed: a producer that lists nothing usable says so instead of "no device".
    int32_t rcFirstFailure = GC_ERR_SUCCESS;
    auto failed = [&](int32_t rcPart) {
        if (rcFirstFailure == GC_ERR_SUCCESS)
            rcFirstFailure = rcPart != GC_ERR_SUCCESS ? rcPart : GC_ERR_ERROR;
    };
    for (uint32_t i = 0; i < nInterfaces; ++i) {
        int32_t rcId = GC_ERR_SUCCESS;
        const QByteArray ifId = stringInfo([&](void* b, size_t* s) {
            return m_fn.TLGetInterfaceID(m_hSystem, i, static_cast<char*>(b), s);
        }, &rcId);
        IF_HANDLE hIface = nullptr;
        const int32_t rcOpen = ifId.isEmpty() ? rcId : openInterface(ifId, hIface);
        if (ifId.isEmpty() || rcOpen != GC_ERR_SUCCESS) {
            qWarning("Interface %u of %s cannot be opened (%d)", i, qUtf8Printable(m_strFileName), rcOpen);
            failed(rcOpen);
            continue;
        }
        m_fn.IFUpdateDeviceList(hIface, &changed, 1000);
        uint32_t nDevices = 0;
        if (const int32_t rcCount = m_fn.IFGetNumDevices(hIface, &nDevices)) {
            failed(rcCount);
            continue;
        }
        for (uint32_t j = 0; j < nDevices; ++j) {
            Device d;
            d.ifId = ifId;
            int32_t rcDevId = GC_ERR_SUCCESS;
            d.id = stringInfo([&](void* b, size_t* s) {
                return m_fn.IFGetDeviceID(hIface, j, static_cast<char*>(b), s);
            }, &rcDevId);
            if (d.id.isEmpty()) {
                failed(rcDevId);
                continue;
            }
            // A producer may lack an info command (not implemented, not available); one that fails them or
            // reports sizes no text has is not to be trusted with its devices.
            int32_t nBroken = GC_ERR_SUCCESS;
            auto info = [&](DEVICE_INFO_CMD cmd) {
                int32_t infoRc = GC_ERR_SUCCESS;
                const QByteArray text = stringInfo([&](void* b, size_t* s) {
                    INFO_DATATYPE type = INFO_DATATYPE_UNKNOWN;
                    return m_fn.IFGetDeviceInfo(hIface, d.id.constData(), cmd, &type, b, s);
                }, &infoRc);
                if (infoRc != GC_ERR_SUCCESS && infoRc != GC_ERR_NOT_IMPLEMENTED && infoRc != GC_ERR_NOT_AVAILABLE
                    && nBroken == GC_ERR_SUCCESS)
                    nBroken = infoRc;
                return text;
            };
            d.vendor = info(DEVICE_INFO_VENDOR);
            d.model = info(DEVICE_INFO_MODEL);
            d.serial = info(DEVICE_INFO_SERIAL_NUMBER);
            d.userName = info(DEVICE_INFO_USER_DEFINED_NAME);
            d.displayName = info(DEVICE_INFO_DISPLAYNAME);
            if (nBroken != GC_ERR_SUCCESS) {
                qWarning("Producer %s answers the device info of %s with %d: skipped", qUtf8Printable(m_strFileName),
                         d.id.constData(), nBroken);
                devices.clear();
                return nBroken;
            }
            devices.append(d);
        }
    }
    return devices.isEmpty() ? rcFirstFailure : GC_ERR_SUCCESS;
}

int32_t GenTLProducer::openDevice(const QByteArray& ifId, const QByteArray& devId, int32_t accessFlags,
                                  DEV_HANDLE& hDevice)
{
    QMutexLocker lock(&m_mutex);
    IF_HANDLE hIface = nullptr;
    const int32_t rc = openInterface(ifId, hIface);
    if (rc != GC_ERR_SUCCESS)
        return rc;
    return m_fn.IFOpenDevice(hIface, devId.constData(), accessFlags, &hDevice);
}

// Not under the enumeration lock: closing a camera that went away can take its retry time, and the
// other devices' enumeration must not wait for it.
void GenTLProducer::closeDevice(DEV_HANDLE hDevice)
{
    m_fn.DevClose(hDevice);
}

#include "gentlproducer.h"

#include "nxinterface.h"
#include "producerfilecheck.h"

#include <QDebug>
#include <QFileInfo>
#include <QMutexLocker>
#include <QRecursiveMutex>

#include <map>

namespace {

// Recursive: a producer that fails half-way is destroyed while acquire() still holds the lock.
QRecursiveMutex g_registryMutex;
std::map<QString, std::weak_ptr<GenTLProducer>> g_registry;

QByteArray stringInfo(const std::function<GC_ERROR(void*, size_t*)>& get)
{
    size_t size = 0;
    if (get(nullptr, &size) != GC_ERR_SUCCESS || size == 0)
        return QByteArray();
    QByteArray text(int(size), '\0');
    if (get(text.data(), &size) != GC_ERR_SUCCESS)
        return QByteArray();
    return QByteArray(text.constData()); // up to the NUL
}

} // namespace

QString GenTLProducer::producerFolder()
{
    return NXInterface::commonFilesPath() + QStringLiteral("/%1/Runtime/%2")
                                                .arg(NXInterface::appName(), NXInterface::runtimePlatformName());
}

std::shared_ptr<GenTLProducer> GenTLProducer::acquire(const QString& strFileName, int32_t& rc)
{
    rc = GC_ERR_SUCCESS;
    if (strFileName.isEmpty() || strFileName.contains(QLatin1Char('/')) || strFileName.contains(QLatin1Char('\\'))
        || !strFileName.endsWith(QLatin1String(".cti"), Qt::CaseInsensitive)) {
        qWarning("Refused producer file name \"%s\": a bare *.cti file name is expected", qUtf8Printable(strFileName));
        rc = GC_ERR_INVALID_PARAMETER;
        return nullptr;
    }
    const QString path = producerFolder() + QLatin1Char('/') + strFileName;
    const QFileInfo info(path);
    if (!info.isFile()) {
        qWarning("Producer file %s not found", qUtf8Printable(path));
        rc = GC_ERR_NOT_AVAILABLE;
        return nullptr;
    }
    const QString key = info.canonicalFilePath();

    QMutexLocker lock(&g_registryMutex);
    if (auto it = g_registry.find(key); it != g_registry.end())
        if (auto shared = it->second.lock())
            return shared;

    // Closing happens under the registry lock, so that a new acquire never meets a half-closed producer.
    std::shared_ptr<GenTLProducer> p(new GenTLProducer, [](GenTLProducer* q) {
        QMutexLocker closing(&g_registryMutex);
        delete q;
    });
    p->m_strFileName = strFileName;
    QString strWhy;
    if (!IsLoadableLibraryFile(key, strWhy)) {
        qWarning("Producer file %s is not a loadable library: %s", qUtf8Printable(path), qUtf8Printable(strWhy));
        rc = GC_ERR_NOT_IMPLEMENTED;
        return nullptr;
    }
    p->m_library.setFileName(key);
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
    if (!bComplete) {
        qWarning("Producer file %s lacks the GenTL functions; it is not a GenTL producer", qUtf8Printable(path));
        p->m_library.unload();
        rc = GC_ERR_NOT_IMPLEMENTED;
        return nullptr;
    }
    rc = f.GCInitLib();
    if (rc != GC_ERR_SUCCESS) {
        qWarning("GCInitLib of %s failed: %d", qUtf8Printable(path), rc);
        p->m_library.unload();
        return nullptr;
    }
    p->m_bInit = true;
    p->m_bOwnProducer = stringInfo([&](void* b, size_t* s) {
                            INFO_DATATYPE type = INFO_DATATYPE_UNKNOWN;
                            return f.GCGetInfo ? f.GCGetInfo(TL_INFO_VENDOR, &type, b, s) : GC_ERR_NOT_IMPLEMENTED;
                        }) == "DoVI";
    rc = f.TLOpen(&p->m_hSystem);
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
    for (uint32_t i = 0; i < nInterfaces; ++i) {
        const QByteArray ifId = stringInfo([&](void* b, size_t* s) {
            return m_fn.TLGetInterfaceID(m_hSystem, i, static_cast<char*>(b), s);
        });
        IF_HANDLE hIface = nullptr;
        if (ifId.isEmpty() || openInterface(ifId, hIface) != GC_ERR_SUCCESS) {
            qWarning("Interface %u of %s cannot be opened", i, qUtf8Printable(m_strFileName));
            continue;
        }
        m_fn.IFUpdateDeviceList(hIface, &changed, 1000);
        uint32_t nDevices = 0;
        if (m_fn.IFGetNumDevices(hIface, &nDevices) != GC_ERR_SUCCESS)
            continue;
        for (uint32_t j = 0; j < nDevices; ++j) {
            Device d;
            d.ifId = ifId;
            d.id = stringInfo([&](void* b, size_t* s) {
                return m_fn.IFGetDeviceID(hIface, j, static_cast<char*>(b), s);
            });
            if (d.id.isEmpty())
                continue;
            auto info = [&](DEVICE_INFO_CMD cmd) {
                return stringInfo([&](void* b, size_t* s) {
                    INFO_DATATYPE type = INFO_DATATYPE_UNKNOWN;
                    return m_fn.IFGetDeviceInfo(hIface, d.id.constData(), cmd, &type, b, s);
                });
            };
            d.vendor = info(DEVICE_INFO_VENDOR);
            d.model = info(DEVICE_INFO_MODEL);
            d.serial = info(DEVICE_INFO_SERIAL_NUMBER);
            d.userName = info(DEVICE_INFO_USER_DEFINED_NAME);
            d.displayName = info(DEVICE_INFO_DISPLAYNAME);
            devices.append(d);
        }
    }
    return GC_ERR_SUCCESS;
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

#include "caminterfaceimpl.h"

#include "camdevice.h"
#include "gentlproducer.h"

#include <QDebug>
#include <QDir>

#include <cstring>

namespace {

constexpr int kListTimeoutMs = 5000; // a producer that takes longer to list its devices is skipped

// Copies at most size-1 bytes, never cutting a UTF-8 sequence, and NUL-terminates.
template<typename Ch, size_t N>
void copyText(Ch (&dst)[N], const QByteArray& src)
{
    int n = qMin(src.size(), int(N) - 1);
    while (n > 0 && n < src.size() && (uchar(src.at(n)) & 0xC0) == 0x80)
        --n;
    std::memset(dst, 0, N);
    std::memcpy(dst, src.constData(), size_t(n));
}

int32_t copyDocument(const QByteArray& text, char* pBuffer, unsigned nCapacity, unsigned* pLength)
{
    if (!pLength)
        return GC_ERR_INVALID_PARAMETER;
    const unsigned size = unsigned(text.size());
    if (!pBuffer || nCapacity < size + 1) {
        *pLength = size + 1;
        return GC_ERR_BUFFER_TOO_SMALL;
    }
    std::memcpy(pBuffer, text.constData(), size);
    pBuffer[size] = '\0';
    *pLength = size;
    return GC_ERR_SUCCESS;
}

} // namespace

CInterface::~CInterface() = default;

CamInterfaceImpl::CamInterfaceImpl() = default;

CamInterfaceImpl::~CamInterfaceImpl()
{
    std::shared_ptr<CamDevice> dev;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        dev.swap(m_device);
    }
    dev.reset(); // stops the event thread and closes the device before the producers go
}

int CamInterfaceImpl::InterfaceType() const
{
    return NXA_CAMERA_INTERFACE;
}

uint32_t CamInterfaceImpl::keyNumber(const std::string& strId, const std::string& strSerial)
{
    uint32_t h = 2166136261u;
    auto mix = [&h](const std::string& s) {
        for (unsigned char c : s) {
            h ^= c;
            h *= 16777619u;
        }
    };
    mix(strId);
    mix("\n");
    mix(strSerial);
    return h;
}

int CamInterfaceImpl::EnumDevices(DeviceInfoList* pList, const char* szProducerFile)
{
    if (!pList || !szProducerFile)
        return GC_ERR_INVALID_PARAMETER;
    pList->nCount = 0;
    const QString fileName = QString::fromLocal8Bit(szProducerFile);
    int32_t rc = GC_ERR_SUCCESS;
    std::shared_ptr<GenTLProducer> producer = GenTLProducer::acquire(fileName, rc);
    if (!producer)
        return rc;
    // An absolute path may not fit the record: a token stands for it.
    const QByteArray producerName = QDir::isAbsolutePath(fileName) ? GenTLProducer::tokenOf(fileName)
                                                                   : fileName.toLocal8Bit();
    if (producerName.size() >= int(sizeof(DeviceInfo::szProducer))) {
        qWarning("Producer file name %s is too long", szProducerFile);
        return GC_ERR_INVALID_PARAMETER;
    }
    QList<GenTLProducer::Device> devices;
    rc = producer->listDevicesWithin(devices, kListTimeoutMs);
    if (rc != GC_ERR_SUCCESS)
        return rc;

    std::lock_guard<std::mutex> lock(m_mutex);
    m_producers[producerName.toStdString()] = producer;
    m_records.assign(size_t(qMin(devices.size(), NXA_MAX_DEVICES)), DeviceInfo());
    for (size_t i = 0; i < m_records.size(); ++i) {
        const GenTLProducer::Device& d = devices.at(int(i));
        DeviceInfo& info = m_records[i];
        std::memset(&info, 0, sizeof info);
        copyText(info.szKey, d.id);
        copyText(info.szProducer, producerName);
        info.nKeyNumber = keyNumber(d.id.toStdString(), d.serial.toStdString());
        info.bUseAltName = d.userName.isEmpty() ? 0 : 1;
        copyText(info.szDeviceName, !d.model.isEmpty() ? d.model : !d.displayName.isEmpty() ? d.displayName : d.id);
        copyText(info.szLabelDetail, d.serial);
        copyText(info.szAltName, d.userName);
        pList->pItems[i] = &info;
    }
    pList->nCount = uint32_t(m_records.size());
    return GC_ERR_SUCCESS;
}

int CamInterfaceImpl::OpenDevice(void** ppHandle, const DeviceInfo* pInfo, int nAccessMode)
{
    if (!ppHandle || !pInfo)
        return GC_ERR_INVALID_PARAMETER;
    int32_t flags = DEVICE_ACCESS_EXCLUSIVE;
    switch (nAccessMode) {
    case NXA_ACCESS_READONLY: flags = DEVICE_ACCESS_READONLY; break;
    case NXA_ACCESS_CONTROL: flags = DEVICE_ACCESS_CONTROL; break;
    case NXA_ACCESS_EXCLUSIVE: flags = DEVICE_ACCESS_EXCLUSIVE; break;
    default: return GC_ERR_INVALID_PARAMETER;
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_device)
            return GC_ERR_RESOURCE_IN_USE;
    }
    const QByteArray producerName(pInfo->szProducer, int(qstrnlen(pInfo->szProducer, sizeof pInfo->szProducer)));
    int32_t rc = GC_ERR_SUCCESS;
    std::shared_ptr<GenTLProducer> producer = GenTLProducer::acquire(QString::fromLocal8Bit(producerName), rc);
    if (!producer)
        return rc;
    QList<GenTLProducer::Device> devices;
    rc = producer->listDevicesWithin(devices, kListTimeoutMs);
    if (rc != GC_ERR_SUCCESS)
        return rc;
    const QByteArray key(reinterpret_cast<const char*>(pInfo->szKey),
                         int(qstrnlen(reinterpret_cast<const char*>(pInfo->szKey), sizeof pInfo->szKey)));
    for (const GenTLProducer::Device& d : qAsConst(devices)) {
        DeviceInfo probe;
        copyText(probe.szKey, d.id);
        if (std::memcmp(probe.szKey, pInfo->szKey, sizeof probe.szKey) != 0
            || keyNumber(d.id.toStdString(), d.serial.toStdString()) != pInfo->nKeyNumber)
            continue;
        std::unique_ptr<CamDevice> dev;
        rc = CamDevice::open(producer, d, flags, dev);
        if (rc != GC_ERR_SUCCESS) {
            qWarning("Opening %s failed: %d", d.id.constData(), rc);
            return rc;
        }
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_device)
            return GC_ERR_RESOURCE_IN_USE; // lost a race with another open; dev closes again
        m_device = std::move(dev);
        m_producers[producerName.toStdString()] = producer;
        if (m_pCallback)
            m_device->setEventCallback(m_pCallback, m_pUser);
        *ppHandle = m_device.get();
        return GC_ERR_SUCCESS;
    }
    qWarning("Device %s is not reachable through %s", key.constData(), producerName.constData());
    return GC_ERR_INVALID_ID;
}

int CamInterfaceImpl::CloseDevice(void* pHandle)
{
    std::shared_ptr<CamDevice> dev;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_device || m_device.get() != pHandle)
            return GC_ERR_INVALID_HANDLE;
        if (m_device->isEventThread())
            return GC_ERR_BUSY;
        dev.swap(m_device);
    }
    dev.reset(); // waits for a running callback; other threads' calls hold their own reference
    return GC_ERR_SUCCESS;
}

std::shared_ptr<CamDevice> CamInterfaceImpl::device()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_device;
}

int CamInterfaceImpl::GetXmlDescription(char* pBuffer, unsigned nCapacity, unsigned* pLength)
{
    std::shared_ptr<CamDevice> dev = device();
    if (!dev) {
        if (pLength)
            *pLength = 0;
        return GC_ERR_NOT_INITIALIZED;
    }
    return copyDocument(dev->description(), pBuffer, nCapacity, pLength);
}

int CamInterfaceImpl::GetXmlTranslation(char* pBuffer, unsigned nCapacity, unsigned* pLength)
{
    std::shared_ptr<CamDevice> dev = device();
    if (!dev || dev->translation().isEmpty()) {
        if (pLength)
            *pLength = 0;
        if (pBuffer && nCapacity > 0)
            pBuffer[0] = '\0';
        return dev ? GC_ERR_NOT_AVAILABLE : GC_ERR_NOT_INITIALIZED;
    }
    return copyDocument(dev->translation(), pBuffer, nCapacity, pLength);
}

int CamInterfaceImpl::RegisterEventCallback(NXAEventCallback pCallback, void* pUser)
{
    std::shared_ptr<CamDevice> dev;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_pCallback = pCallback;
        m_pUser = pUser;
        dev = m_device;
    }
    return dev ? dev->setEventCallback(pCallback, pUser) : GC_ERR_SUCCESS;
}

int CamInterfaceImpl::deviceStatus(NXADeviceStatus& status)
{
    std::shared_ptr<CamDevice> dev = device();
    if (!dev)
        return GC_ERR_NOT_INITIALIZED;
    status = dev->status();
    return GC_ERR_SUCCESS;
}

namespace {

void copyNode(const GenApiNodeMap::NodeInfo& from, NXANodeInfo& to)
{
    copyText(to.szName, QByteArray::fromStdString(from.strName));
    copyText(to.szDisplayName, QByteArray::fromStdString(from.strDisplayName));
    copyText(to.szToolTip, QByteArray::fromStdString(from.strToolTip));
    to.nVisibility = from.nVisibility;
}

} // namespace

int CamInterfaceImpl::enumEntries(const char* szFeature, NXAEnumEntryInfo* pEntries, uint32_t nCapacity,
                                  uint32_t* pCount)
{
    if (!pCount || (nCapacity && !pEntries))
        return GC_ERR_INVALID_PARAMETER;
    std::shared_ptr<CamDevice> dev = device();
    if (!dev)
        return GC_ERR_NOT_INITIALIZED;
    std::vector<GenApiNodeMap::EntryInfo> entries;
    const int32_t rc = dev->enumEntries(szFeature, entries);
    if (rc != GC_ERR_SUCCESS)
        return rc;
    *pCount = uint32_t(entries.size());
    if (nCapacity < entries.size())
        return GC_ERR_BUFFER_TOO_SMALL;
    for (size_t i = 0; i < entries.size(); ++i) {
        NXAEnumEntryInfo& out = pEntries[i];
        std::memset(&out, 0, sizeof out);
        copyNode(entries[i], out.node);
        out.nValue = entries[i].nValue;
        out.bImplemented = entries[i].bImplemented;
        out.bAvailable = entries[i].bAvailable;
    }
    return GC_ERR_SUCCESS;
}

int CamInterfaceImpl::featureCategory(const char* szFeature, NXANodeInfo& category)
{
    std::shared_ptr<CamDevice> dev = device();
    if (!dev)
        return GC_ERR_NOT_INITIALIZED;
    GenApiNodeMap::NodeInfo info;
    const int32_t rc = dev->categoryOf(szFeature, info);
    if (rc == GC_ERR_SUCCESS) {
        std::memset(&category, 0, sizeof category);
        copyNode(info, category);
    }
    return rc;
}

int CamInterfaceImpl::GetIntValue(const char* szName, IntValue* pValue, bool bCheckAvailable)
{
    std::shared_ptr<CamDevice> dev = device();
    if (!dev || !pValue)
        return 0;
    int64_t value = 0;
    if (dev->getInt(szName, bCheckAvailable, value) != GC_ERR_SUCCESS)
        return 0;
    pValue->nCurValue = int32_t(uint32_t(uint64_t(value) & 0xffffffffu));
    pValue->nValue64 = value;
    return 1;
}

int CamInterfaceImpl::GetEnumValue(const char* szName, EnumValue* pValue, bool bAvailableOnly)
{
    if (!pValue)
        return GC_ERR_INVALID_PARAMETER;
    std::shared_ptr<CamDevice> dev = device();
    if (!dev)
        return GC_ERR_NOT_INITIALIZED;
    int64_t current = 0;
    std::vector<int64_t> values;
    const int32_t rc = dev->getEnum(szName, bAvailableOnly, current, values);
    if (rc != GC_ERR_SUCCESS)
        return rc;
    if (values.size() > size_t(NXA_MAX_ENUM_VALUES))
        return GC_ERR_BUFFER_TOO_SMALL;
    pValue->nCurValue = uint32_t(current);
    pValue->nCount = uint32_t(values.size());
    for (size_t i = 0; i < values.size(); ++i)
        pValue->nSupportValue[i] = uint32_t(values[i]);
    return GC_ERR_SUCCESS;
}

int CamInterfaceImpl::SetEnumValue(const char* szName, unsigned int nValue)
{
    std::shared_ptr<CamDevice> dev = device();
    if (!dev)
        return GC_ERR_NOT_INITIALIZED;
    return dev->setEnum(szName, int64_t(nValue));
}

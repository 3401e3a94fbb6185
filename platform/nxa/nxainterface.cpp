#include "nxainterface.h"

#include "caminterfaceimpl.h"
#include "gentlproducer.h"
#include "gentl.h"

#include <cstring>
#include <new>

int NXACreateInstance(int nType, CInterface** ppInterface)
{
    if (!ppInterface)
        return GC_ERR_INVALID_PARAMETER;
    *ppInterface = nullptr;
    if (nType != NXA_CAMERA_INTERFACE)
        return GC_ERR_INVALID_PARAMETER;
    CamInterfaceImpl* p = new (std::nothrow) CamInterfaceImpl;
    if (!p)
        return GC_ERR_OUT_OF_MEMORY;
    *ppInterface = p;
    return GC_ERR_SUCCESS;
}

int NXAReleaseInstance(CInterface* pInterface)
{
    if (!pInterface)
        return GC_ERR_INVALID_HANDLE;
    delete pInterface;
    return GC_ERR_SUCCESS;
}

int NXAGetDeviceStatus(CInterface* pInterface, NXADeviceStatus* pStatus)
{
    auto* p = dynamic_cast<CamInterfaceImpl*>(pInterface);
    if (!p || !pStatus)
        return GC_ERR_INVALID_PARAMETER;
    return p->deviceStatus(*pStatus);
}

int NXAGetEnumEntries(CInterface* pInterface, const char* szFeature, NXAEnumEntryInfo* pEntries, uint32_t nCapacity,
                      uint32_t* pCount)
{
    auto* p = dynamic_cast<CamInterfaceImpl*>(pInterface);
    if (!p)
        return GC_ERR_INVALID_PARAMETER;
    return p->enumEntries(szFeature, pEntries, nCapacity, pCount);
}

int NXAGetFeatureCategory(CInterface* pInterface, const char* szFeature, NXANodeInfo* pCategory)
{
    auto* p = dynamic_cast<CamInterfaceImpl*>(pInterface);
    if (!p || !pCategory)
        return GC_ERR_INVALID_PARAMETER;
    return p->featureCategory(szFeature, *pCategory);
}

int NXAGetProducerInfo(const char* szProducerFile, NXAProducerInfo* pInfo)
{
    if (!szProducerFile || !pInfo)
        return GC_ERR_INVALID_PARAMETER;
    std::memset(pInfo, 0, sizeof *pInfo);
    int32_t rc = GC_ERR_SUCCESS;
    std::shared_ptr<GenTLProducer> producer = GenTLProducer::acquire(QString::fromLocal8Bit(szProducerFile), rc);
    if (producer) {
        auto copy = [&](char* pOut, size_t nOut, TL_INFO_CMD cmd) {
            const QByteArray text = producer->tlInfo(cmd).left(int(nOut) - 1);
            std::memcpy(pOut, text.constData(), size_t(text.size()));
        };
        copy(pInfo->szTlType, sizeof pInfo->szTlType, TL_INFO_TLTYPE);
        copy(pInfo->szVendor, sizeof pInfo->szVendor, TL_INFO_VENDOR);
        copy(pInfo->szModel, sizeof pInfo->szModel, TL_INFO_MODEL);
        copy(pInfo->szVersion, sizeof pInfo->szVersion, TL_INFO_VERSION);
        QList<GenTLProducer::Device> devices;
        rc = producer->listDevicesWithin(devices, 5000);
        pInfo->nDevices = uint32_t(devices.size());
    }
    pInfo->nError = rc;
    return rc;
}

#include "nxainterface.h"

#include "caminterfaceimpl.h"
#include "gentlproducer.h"
#include "gentl.h"

#include <cstring>
#include <mutex>
#include <new>
#include <set>

namespace {

// The instances handed out and not yet released: the extra exports take any pointer, and a caller's stale
// or made-up one is refused rather than followed.
std::mutex g_instancesMutex;
std::set<CInterface*> g_instances;

CamInterfaceImpl* liveInstance(CInterface* pInterface)
{
    std::lock_guard<std::mutex> lock(g_instancesMutex);
    return g_instances.count(pInterface) ? dynamic_cast<CamInterfaceImpl*>(pInterface) : nullptr;
}

} // namespace

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
    std::lock_guard<std::mutex> lock(g_instancesMutex);
    g_instances.insert(p);
    return GC_ERR_SUCCESS;
}

int NXAReleaseInstance(CInterface* pInterface)
{
    if (!pInterface)
        return GC_ERR_INVALID_HANDLE;
    {
        std::lock_guard<std::mutex> lock(g_instancesMutex);
        if (!g_instances.erase(pInterface))
            return GC_ERR_INVALID_HANDLE; // released before, or never ours
    }
    delete pInterface;
    return GC_ERR_SUCCESS;
}

int NXAGetDeviceStatus(CInterface* pInterface, NXADeviceStatus* pStatus)
{
    CamInterfaceImpl* p = liveInstance(pInterface);
    if (!p || !pStatus)
        return GC_ERR_INVALID_PARAMETER;
    return p->deviceStatus(*pStatus);
}

int NXAGetEnumEntries(CInterface* pInterface, const char* szFeature, NXAEnumEntryInfo* pEntries, uint32_t nCapacity,
                      uint32_t* pCount)
{
    CamInterfaceImpl* p = liveInstance(pInterface);
    if (!p)
        return GC_ERR_INVALID_PARAMETER;
    return p->enumEntries(szFeature, pEntries, nCapacity, pCount);
}

int NXAGetFeatureCategory(CInterface* pInterface, const char* szFeature, NXANodeInfo* pCategory)
{
    CamInterfaceImpl* p = liveInstance(pInterface);
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
        // A producer that answers who it is with sizes no text has is not to be trusted either.
        int32_t rcInfo = GC_ERR_SUCCESS;
        auto copy = [&](char* pOut, size_t nOut, TL_INFO_CMD cmd) {
            int32_t rcText = GC_ERR_SUCCESS;
            const QByteArray text = producer->tlInfo(cmd, &rcText).left(int(nOut) - 1);
            std::memcpy(pOut, text.constData(), size_t(text.size()));
            if (rcText == GC_ERR_INVALID_BUFFER && rcInfo == GC_ERR_SUCCESS)
                rcInfo = rcText;
        };
        copy(pInfo->szTlType, sizeof pInfo->szTlType, TL_INFO_TLTYPE);
        copy(pInfo->szVendor, sizeof pInfo->szVendor, TL_INFO_VENDOR);
        copy(pInfo->szModel, sizeof pInfo->szModel, TL_INFO_MODEL);
        copy(pInfo->szVersion, sizeof pInfo->szVersion, TL_INFO_VERSION);
        QList<GenTLProducer::Device> devices;
        rc = producer->listDevicesWithin(devices, 5000);
        pInfo->nDevices = uint32_t(devices.size());
        if (rc != GC_ERR_TIMEOUT)
            copy(pInfo->szProblems, sizeof pInfo->szProblems, TL_INFO_DOVI_PROBLEMS);
        if (rc == GC_ERR_SUCCESS)
            rc = rcInfo;
    }
    pInfo->nError = rc;
    return rc;
}

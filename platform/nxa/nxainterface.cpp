#include "nxainterface.h"

#include "caminterfaceimpl.h"
#include "gentl.h"

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

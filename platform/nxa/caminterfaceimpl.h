#pragma once

#include "nxainterface.h"

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class CamDevice;
class GenTLProducer;

// The GenTL consumer behind CCamInterface.
class CamInterfaceImpl : public CCamInterface
{
public:
    CamInterfaceImpl();
    ~CamInterfaceImpl() override;

    int InterfaceType() const override;
    int EnumDevices(DeviceInfoList* pList, const char* szProducerFile) override;
    int OpenDevice(void** ppHandle, const DeviceInfo* pInfo, int nAccessMode) override;
    int CloseDevice(void* pHandle) override;
    int GetXmlDescription(char* pBuffer, unsigned nCapacity, unsigned* pLength) override;
    int GetXmlTranslation(char* pBuffer, unsigned nCapacity, unsigned* pLength) override;
    int RegisterEventCallback(NXAEventCallback pCallback, void* pUser) override;
    int GetIntValue(const char* szName, IntValue* pValue, bool bCheckAvailable) override;
    int GetEnumValue(const char* szName, EnumValue* pValue, bool bAvailableOnly) override;
    int SetEnumValue(const char* szName, unsigned int nValue) override;

    // Key number of a device: FNV-1a over its full ID, a newline and its serial number.
    int deviceStatus(NXADeviceStatus& status);
    int enumEntries(const char* szFeature, NXAEnumEntryInfo* pEntries, uint32_t nCapacity, uint32_t* pCount);
    int featureCategory(const char* szFeature, NXANodeInfo& category);

    static uint32_t keyNumber(const std::string& strId, const std::string& strSerial);

private:
    std::shared_ptr<CamDevice> device();

    std::mutex m_mutex; // guards the members below, never held across device calls
    std::map<std::string, std::shared_ptr<GenTLProducer>> m_producers; // kept loaded for the records
    std::vector<DeviceInfo> m_records;
    std::shared_ptr<CamDevice> m_device;
    NXAEventCallback m_pCallback = nullptr;
    void* m_pUser = nullptr;
};

#pragma once

#include "gentl.h"

#include <memory>
#include <string>
#include <vector>

namespace gentlprod {

class EventQueue;

// Where a port URL's file lies, for URL_INFO queries; zero or empty where the producer does not know.
struct PortUrl {
    std::string strUrl;
    std::string strFileName;
    uint64_t nRegisterAddress = 0;
    uint64_t nFileSize = 0;
    int32_t nScheme = 0; // 0 Local, 1 http, 2 File
};

// One open device of a producer. Port calls and event calls may come from several threads at once;
// the destructor closes the device (events are stopped before it runs).
class ProducerDevice
{
public:
    virtual ~ProducerDevice() = default;

    virtual GC_ERROR Info(DEVICE_INFO_CMD cmd, INFO_DATATYPE* pType, void* pBuffer, size_t* pSize) = 0;
    virtual GC_ERROR PortInfo(PORT_INFO_CMD cmd, INFO_DATATYPE* pType, void* pBuffer, size_t* pSize) = 0;
    virtual GC_ERROR Read(uint64_t nAddress, void* pBuffer, size_t nSize) = 0;
    virtual GC_ERROR Write(uint64_t nAddress, const void* pBuffer, size_t nSize) = 0;
    virtual std::vector<PortUrl> Urls() = 0;

    // Remote-device events go into the queue from StartEvents until StopEvents returns.
    virtual GC_ERROR StartEvents(const std::shared_ptr<EventQueue>& queue) = 0;
    virtual void StopEvents() = 0;

    // EventGetDataInfo of one of this device's event records; GC_ERR_NOT_IMPLEMENTED leaves the answer to
    // the shared front (id from the record's header, the whole record as the value).
    virtual GC_ERROR EventDataInfo(const void*, size_t, EVENT_DATA_INFO_CMD, INFO_DATATYPE*, void*, size_t*)
    {
        return GC_ERR_NOT_IMPLEMENTED;
    }
};

} // namespace gentlprod

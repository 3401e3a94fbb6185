#pragma once

#include "gentl.h"

#include <memory>
#include <string>
#include <vector>

namespace gentlprod {

class ProducerDevice;

// What one producer library knows of its transport layer. The shared GenTL front (handles, argument
// checks, events, every exported function) calls it; CreateBackend() is defined once per producer.
// Calls come without the front's lock held, possibly from several threads.
class ProducerBackend
{
public:
    virtual ~ProducerBackend() = default;

    virtual GC_ERROR TLInfo(TL_INFO_CMD cmd, INFO_DATATYPE* pType, void* pBuffer, size_t* pSize) = 0;
    // Interface ids, in a stable order.
    virtual std::vector<std::string> UpdateInterfaces(uint64_t nTimeoutMs) = 0;
    // Whether an interface id is one the producer knows, without a new scan: a consumer may open one it
    // listed through an earlier system handle.
    virtual bool KnowsInterface(const std::string& strIfId) = 0;
    virtual GC_ERROR InterfaceInfo(const std::string& strIfId, INTERFACE_INFO_CMD cmd, INFO_DATATYPE* pType,
                                   void* pBuffer, size_t* pSize) = 0;
    // Device ids of an interface, in a stable order.
    virtual std::vector<std::string> UpdateDevices(const std::string& strIfId, uint64_t nTimeoutMs) = 0;
    virtual GC_ERROR DeviceInfo(const std::string& strIfId, const std::string& strDevId, bool bOpen,
                                DEVICE_INFO_CMD cmd, INFO_DATATYPE* pType, void* pBuffer, size_t* pSize) = 0;
    virtual GC_ERROR OpenDevice(const std::string& strIfId, const std::string& strDevId, DEVICE_ACCESS_FLAGS flags,
                                std::unique_ptr<ProducerDevice>& out) = 0;
};

std::unique_ptr<ProducerBackend> CreateBackend();

} // namespace gentlprod

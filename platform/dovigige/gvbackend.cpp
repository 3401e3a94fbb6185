// DoVIGigE.cti: a GenTL producer for GigE Vision cameras. One interface per IPv4 network interface (or
// only those named in DOVI_GIGE_INTERFACES), discovery with GVCP DISCOVERY on each, control through
// Aravis's ArvGvDevice, events through our own message channel. There is no image stream.
//
// Discovery is ours, not Aravis's interface object: that one asks every interface at once, cannot be
// limited to some, and does not say which interface a camera answered on.

#include "gvdiscovery.h"
#include "gvnetwork.h"
#include "gvopendevice.h"
#include "infoanswer.h"
#include "producerbackend.h"

#include <dlfcn.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <mutex>

namespace {

using namespace gentlprod;
using namespace dovigige;
using Clock = std::chrono::steady_clock;

constexpr uint64_t kDiscoveryMs = 1000; // the usual GigE Vision discovery time
constexpr auto kFreshDiscovery = std::chrono::milliseconds(500);

std::string libraryPath()
{
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&libraryPath), &info) && info.dli_fname)
        return info.dli_fname;
    return "DoVIGigE.cti";
}

class GigEBackend : public ProducerBackend
{
public:
    GC_ERROR TLInfo(TL_INFO_CMD cmd, INFO_DATATYPE* pType, void* pBuffer, size_t* pSize) override
    {
        switch (cmd) {
        case TL_INFO_ID: return PutString("DoVIGigE", pType, pBuffer, pSize);
        case TL_INFO_VENDOR: return PutString("DoVI", pType, pBuffer, pSize);
        case TL_INFO_MODEL: return PutString("DoVI GigE Vision", pType, pBuffer, pSize);
        case TL_INFO_VERSION: return PutString("1.0", pType, pBuffer, pSize);
        case TL_INFO_TLTYPE: return PutString("GEV", pType, pBuffer, pSize);
        case TL_INFO_NAME: return PutString("DoVIGigE.cti", pType, pBuffer, pSize);
        case TL_INFO_PATHNAME: return PutString(libraryPath(), pType, pBuffer, pSize);
        case TL_INFO_DISPLAYNAME: return PutString("DoVI GigE Vision", pType, pBuffer, pSize);
        case TL_INFO_CHAR_ENCODING: return PutInt32(1, pType, pBuffer, pSize); // UTF-8
        case TL_INFO_GENTL_VER_MAJOR: return PutUInt32(1, pType, pBuffer, pSize);
        case TL_INFO_GENTL_VER_MINOR: return PutUInt32(5, pType, pBuffer, pSize);
        case TL_INFO_DOVI_TRANSACTIONS: return PutUInt64(GvOpenDevice::Transactions(), pType, pBuffer, pSize);
        default: return Fail(GC_ERR_INVALID_PARAMETER, "unknown info command");
        }
    }

    // The interface list, and one discovery over all of them at once.
    std::vector<std::string> UpdateInterfaces(uint64_t nTimeoutMs) override
    {
        const std::vector<NetInterface> interfaces = ListInterfaces();
        const std::vector<CameraRecord> cameras = Discover(interfaces, int(std::min(nTimeoutMs, kDiscoveryMs)));
        std::lock_guard<std::mutex> lock(m_mutex);
        std::vector<std::string> ids;
        for (const NetInterface& itf : interfaces) {
            // A card with a second address (a fixed one beside a link-local one) is one interface.
            if (std::find(ids.begin(), ids.end(), itf.strName) != ids.end())
                continue;
            ids.push_back(itf.strName);
            Known& known = m_known[itf.strName];
            known.itf = itf;
            known.cameras.clear();
            for (const CameraRecord& c : cameras)
                if (c.itf.strName == itf.strName)
                    known.cameras.push_back(c);
            known.when = Clock::now();
        }
        return ids;
    }

    bool KnowsInterface(const std::string& strIfId) override
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_known.count(strIfId) != 0;
    }

    GC_ERROR InterfaceInfo(const std::string& strIfId, INTERFACE_INFO_CMD cmd, INFO_DATATYPE* pType, void* pBuffer,
                           size_t* pSize) override
    {
        NetInterface itf;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            auto it = m_known.find(strIfId);
            if (it == m_known.end())
                return Fail(GC_ERR_INVALID_ID, "no such interface");
            itf = it->second.itf;
        }
        switch (cmd) {
        case INTERFACE_INFO_ID: return PutString(itf.strName, pType, pBuffer, pSize);
        case INTERFACE_INFO_DISPLAYNAME:
            return PutString("GigE Vision on " + itf.strName + " (" + Ipv4Text(itf.nAddress) + ")", pType, pBuffer, pSize);
        case INTERFACE_INFO_TLTYPE: return PutString("GEV", pType, pBuffer, pSize);
        case INTERFACE_INFO_DOVI_IP_ADDRESS: return PutUInt32(itf.nAddress, pType, pBuffer, pSize);
        case INTERFACE_INFO_DOVI_SUBNET_MASK: return PutUInt32(itf.nMask, pType, pBuffer, pSize);
        case INTERFACE_INFO_DOVI_MAC: return PutUInt64(itf.nMac, pType, pBuffer, pSize);
        default: return Fail(GC_ERR_INVALID_PARAMETER, "unknown info command");
        }
    }

    std::vector<std::string> UpdateDevices(const std::string& strIfId, uint64_t nTimeoutMs) override
    {
        NetInterface itf;
        bool bFresh = false;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            auto it = m_known.find(strIfId);
            if (it == m_known.end())
                return {};
            itf = it->second.itf;
            bFresh = Clock::now() - it->second.when < kFreshDiscovery;
        }
        std::vector<CameraRecord> cameras;
        if (!bFresh)
            cameras = Discover({itf}, int(std::min(nTimeoutMs, kDiscoveryMs)));
        std::lock_guard<std::mutex> lock(m_mutex);
        Known& known = m_known[strIfId];
        if (!bFresh) {
            known.cameras = cameras;
            known.when = Clock::now();
        }
        std::vector<std::string> ids;
        for (const CameraRecord& c : known.cameras)
            ids.push_back(c.Id());
        return ids;
    }

    GC_ERROR DeviceInfo(const std::string& strIfId, const std::string& strDevId, bool bOpen, DEVICE_INFO_CMD cmd,
                        INFO_DATATYPE* pType, void* pBuffer, size_t* pSize) override
    {
        CameraRecord camera;
        if (!Find(strIfId, strDevId, camera))
            return Fail(GC_ERR_INVALID_ID, "no such device");
        return GvOpenDevice::CameraInfo(camera, bOpen, cmd, pType, pBuffer, pSize);
    }

    GC_ERROR OpenDevice(const std::string& strIfId, const std::string& strDevId, DEVICE_ACCESS_FLAGS flags,
                        std::unique_ptr<ProducerDevice>& out) override
    {
        CameraRecord camera;
        if (!Find(strIfId, strDevId, camera))
            return Fail(GC_ERR_INVALID_ID, "no such device");
        return GvOpenDevice::Open(camera, flags, out);
    }

private:
    struct Known {
        NetInterface itf;
        std::vector<CameraRecord> cameras;
        Clock::time_point when;
    };

    bool Find(const std::string& strIfId, const std::string& strDevId, CameraRecord& out)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        auto it = m_known.find(strIfId);
        if (it == m_known.end())
            return false;
        for (const CameraRecord& c : it->second.cameras) {
            if (c.Id() == strDevId) {
                out = c;
                return true;
            }
        }
        return false;
    }

    std::mutex m_mutex;
    std::map<std::string, Known> m_known;
};

} // namespace

std::unique_ptr<ProducerBackend> gentlprod::CreateBackend()
{
    return std::make_unique<GigEBackend>();
}

// DoVISimulator.cti: a GenTL producer whose devices are described by files in a definitions folder
// ($DOVI_SIM_DEVICES, else "DoVISimulator.d" beside this library). Each opened device keeps its own
// register memory, serves its GenICam description through the remote-device port and sends remote-device
// events while their notification registers are set. See simdevicedef.h for the device file.

#include "infoanswer.h"
#include "producerbackend.h"
#include "simdevicedef.h"
#include "simopendevice.h"

#include <dlfcn.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <sstream>
#include <thread>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace {

using namespace gentlprod;
using namespace dovisim;

std::string libraryFolder()
{
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&libraryFolder), &info) && info.dli_fname) {
        std::string path = info.dli_fname;
        const size_t slash = path.rfind('/');
        return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
    }
    return ".";
}

std::string definitionsFolder()
{
    if (const char* env = std::getenv("DOVI_SIM_DEVICES"); env && *env)
        return env;
    return libraryFolder() + "/DoVISimulator.d";
}

// Faults of the producer itself, from "<this library's file>.faults" beside it (INI-like lines):
//   InitLib = fail        GCInitLib fails
//   InitLib = hang        GCInitLib never returns
//   Info = fail           the TL and device info queries answer errors
//   HugeSizes = 1         text info queries ask for a buffer of a terabyte
//   SlowList = <ms>       listing the interfaces takes that long
struct ProducerFaults {
    bool bInitFails = false;
    bool bInitHangs = false;
    bool bInfoFails = false;
    bool bHugeSizes = false;
    int nSlowListMs = 0;
};

std::string libraryPath()
{
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&libraryPath), &info) && info.dli_fname)
        return info.dli_fname;
    return std::string();
}

ProducerFaults readProducerFaults()
{
    ProducerFaults faults;
    std::string text;
    if (!readWholeFile(libraryPath() + ".faults", text))
        return faults;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        const size_t eq = line.find('=');
        if (eq == std::string::npos)
            continue;
        auto trim = [](std::string v) {
            v.erase(0, v.find_first_not_of(" \t\r"));
            v.erase(v.find_last_not_of(" \t\r") + 1);
            return v;
        };
        const std::string key = trim(line.substr(0, eq)), value = trim(line.substr(eq + 1));
        if (key == "InitLib") {
            faults.bInitFails = value == "fail";
            faults.bInitHangs = value == "hang";
        }
        else if (key == "Info")
            faults.bInfoFails = value == "fail";
        else if (key == "HugeSizes")
            faults.bHugeSizes = value == "1";
        else if (key == "SlowList")
            faults.nSlowListMs = std::atoi(value.c_str());
    }
    return faults;
}

class SimBackend : public ProducerBackend
{
public:
    explicit SimBackend(const ProducerFaults& faults) : m_faults(faults) {}

    GC_ERROR TLInfo(TL_INFO_CMD cmd, INFO_DATATYPE* pType, void* pBuffer, size_t* pSize) override
    {
        if (m_faults.bInfoFails)
            return Fail(GC_ERR_ERROR, "info refused by the producer's fault file");
        switch (cmd) {
        case TL_INFO_ID: return PutString("DoVISimulator", pType, pBuffer, pSize);
        case TL_INFO_VENDOR: return PutString("DoVI", pType, pBuffer, pSize);
        case TL_INFO_MODEL: return PutString("DoVI Simulator", pType, pBuffer, pSize);
        case TL_INFO_VERSION: return PutString("1.0", pType, pBuffer, pSize);
        case TL_INFO_TLTYPE: return PutString("Custom", pType, pBuffer, pSize);
        case TL_INFO_NAME: {
            const std::string path = libraryPath();
            return PutString(path.substr(path.rfind('/') + 1), pType, pBuffer, pSize);
        }
        case TL_INFO_PATHNAME: return PutString(libraryPath(), pType, pBuffer, pSize);
        case TL_INFO_DISPLAYNAME: return PutString("DoVI Simulator", pType, pBuffer, pSize);
        case TL_INFO_CHAR_ENCODING: return PutInt32(1, pType, pBuffer, pSize); // UTF-8
        case TL_INFO_GENTL_VER_MAJOR: return PutUInt32(1, pType, pBuffer, pSize);
        case TL_INFO_GENTL_VER_MINOR: return PutUInt32(5, pType, pBuffer, pSize);
        case TL_INFO_DOVI_PROBLEMS: {
            std::lock_guard<std::mutex> lock(m_mutex);
            return PutString(m_problems, pType, pBuffer, pSize);
        }
        default: return Fail(GC_ERR_INVALID_PARAMETER, "unknown info command");
        }
    }

    // Re-reads the definitions folder; interfaces keep their order of first appearance.
    std::vector<std::string> UpdateInterfaces(uint64_t) override
    {
        if (m_faults.nSlowListMs > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(m_faults.nSlowListMs));
        std::vector<SimDeviceDef> defs;
        std::string problems; // a refused file is not a device, and the consumer is told why
        for (const std::string& file : listDeviceFiles(definitionsFolder())) {
            SimDeviceDef def;
            std::string error;
            if (loadDeviceDef(file, def, error))
                defs.push_back(def);
            else
                problems += (problems.empty() ? "" : "\n") + error; // "<file>:<line>: <why>"
        }
        std::lock_guard<std::mutex> lock(m_mutex);
        m_problems = problems;
        for (auto& kv : m_devices)
            kv.second.clear();
        for (const SimDeviceDef& def : defs) {
            if (std::find(m_order.begin(), m_order.end(), def.strInterface) == m_order.end())
                m_order.push_back(def.strInterface);
            m_devices[def.strInterface].push_back(def);
        }
        std::vector<std::string> ids;
        for (const std::string& id : m_order)
            if (!m_devices[id].empty())
                ids.push_back(id);
        return ids;
    }

    bool KnowsInterface(const std::string& strIfId) override
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        auto it = m_devices.find(strIfId);
        return it != m_devices.end() && !it->second.empty();
    }

    GC_ERROR InterfaceInfo(const std::string& strIfId, INTERFACE_INFO_CMD cmd, INFO_DATATYPE* pType, void* pBuffer,
                           size_t* pSize) override
    {
        switch (cmd) {
        case INTERFACE_INFO_ID: return PutString(strIfId, pType, pBuffer, pSize);
        case INTERFACE_INFO_DISPLAYNAME: return PutString("Simulated " + strIfId, pType, pBuffer, pSize);
        case INTERFACE_INFO_TLTYPE: return PutString("Custom", pType, pBuffer, pSize);
        default: return Fail(GC_ERR_INVALID_PARAMETER, "unknown info command");
        }
    }

    std::vector<std::string> UpdateDevices(const std::string& strIfId, uint64_t) override
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        std::vector<std::string> ids;
        for (const SimDeviceDef& def : m_devices[strIfId])
            ids.push_back(def.strId);
        return ids;
    }

    GC_ERROR DeviceInfo(const std::string& strIfId, const std::string& strDevId, bool bOpen, DEVICE_INFO_CMD cmd,
                        INFO_DATATYPE* pType, void* pBuffer, size_t* pSize) override
    {
        SimDeviceDef def;
        if (!Find(strIfId, strDevId, def))
            return Fail(GC_ERR_INVALID_ID, "no such device");
        if (m_faults.bInfoFails)
            return Fail(GC_ERR_ERROR, "info refused by the producer's fault file");
        if (m_faults.bHugeSizes && !pBuffer && pSize) {
            if (pType)
                *pType = INFO_DATATYPE_STRING;
            *pSize = size_t(1) << 40;
            return GC_ERR_SUCCESS;
        }
        return SimOpenDevice::DefInfo(def, bOpen, cmd, pType, pBuffer, pSize);
    }

    GC_ERROR OpenDevice(const std::string& strIfId, const std::string& strDevId, DEVICE_ACCESS_FLAGS,
                        std::unique_ptr<ProducerDevice>& out) override
    {
        SimDeviceDef def;
        if (!Find(strIfId, strDevId, def))
            return Fail(GC_ERR_INVALID_ID, "no such device");
        return SimOpenDevice::Open(def, out);
    }

private:
    bool Find(const std::string& strIfId, const std::string& strDevId, SimDeviceDef& out)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (const SimDeviceDef& def : m_devices[strIfId]) {
            if (def.strId == strDevId) {
                out = def;
                return true;
            }
        }
        return false;
    }

    const ProducerFaults m_faults;
    std::mutex m_mutex;
    std::string m_problems; // the device files refused at the last list
    std::vector<std::string> m_order;
    std::map<std::string, std::vector<SimDeviceDef>> m_devices;
};

} // namespace

std::unique_ptr<ProducerBackend> gentlprod::CreateBackend()
{
    const ProducerFaults faults = readProducerFaults();
    if (faults.bInitFails)
        return nullptr;
    while (faults.bInitHangs) // a vendor's producer that never comes back
        std::this_thread::sleep_for(std::chrono::hours(1));
    return std::make_unique<SimBackend>(faults);
}

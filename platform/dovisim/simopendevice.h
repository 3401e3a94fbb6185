#pragma once

#include "producerdevice.h"
#include "simdevicedef.h"

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <sys/types.h>
#include <thread>
#include <vector>

namespace dovisim {

// One open simulated device: its register memory, the description and translation it serves through
// the remote-device port, and the generator that sends its events while their notification is on.
class SimOpenDevice : public gentlprod::ProducerDevice
{
public:
    // Reads the device's files; false with a GenTL code when it cannot serve its description.
    static GC_ERROR Open(const SimDeviceDef& def, std::unique_ptr<gentlprod::ProducerDevice>& out);
    ~SimOpenDevice() override;

    GC_ERROR Info(DEVICE_INFO_CMD cmd, INFO_DATATYPE* pType, void* pBuffer, size_t* pSize) override;
    GC_ERROR PortInfo(PORT_INFO_CMD cmd, INFO_DATATYPE* pType, void* pBuffer, size_t* pSize) override;
    GC_ERROR Read(uint64_t nAddress, void* pBuffer, size_t nSize) override;
    GC_ERROR Write(uint64_t nAddress, const void* pBuffer, size_t nSize) override;
    std::vector<gentlprod::PortUrl> Urls() override;
    GC_ERROR StartEvents(const std::shared_ptr<gentlprod::EventQueue>& queue) override;
    void StopEvents() override;
    GC_ERROR EventDataInfo(const void* pIn, size_t nIn, EVENT_DATA_INFO_CMD cmd, INFO_DATATYPE* pType, void* pOut,
                           size_t* pSize) override;

    // The device-info answers of a device file, open or not.
    static GC_ERROR DefInfo(const SimDeviceDef& def, bool bOpen, DEVICE_INFO_CMD cmd, INFO_DATATYPE* pType,
                            void* pBuffer, size_t* pSize);

private:
    using Clock = std::chrono::steady_clock;
    explicit SimOpenDevice(const SimDeviceDef& def);
    uint32_t ReadU32(uint64_t nAddress) const;
    bool ContextMatches(const std::vector<ContextCondition>& context) const;
    bool Touches(const std::string& strFeature, uint64_t nAddress, size_t nSize) const;
    void RefreshFaults();
    void Wait() const;
    void PushEvent(uint16_t nId, uint16_t nBlockId, uint64_t nTicks);
    void RunGenerator();
    std::string StateFile() const;
    void SaveState();
    bool LoadState();
    bool HasTranslation() const;

    SimDeviceDef m_def;
    std::string m_strDescription, m_strDescriptionName, m_strTranslation, m_strTranslationName;
    mutable std::mutex m_memMutex;
    std::vector<uint8_t> m_memory;
    std::mutex m_eventMutex;
    std::shared_ptr<gentlprod::EventQueue> m_events;
    std::thread m_generator;
    std::mutex m_stopMutex;
    std::condition_variable m_stopCv;
    bool m_bStop = false;
    Clock::time_point m_start;
    Clock::time_point m_lastFaultCheck;
    struct timespec m_fileTime {};
    off_t m_nFileSize = 0;
};

} // namespace dovisim

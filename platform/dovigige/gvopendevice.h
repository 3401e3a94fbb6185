#pragma once

#include "gvdiscovery.h"
#include "producerdevice.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

typedef struct _ArvDevice ArvDevice;

namespace dovigige {

class GvcpReader;

class GvMessageChannel;

// One open GigE Vision camera. Register and memory access go through Aravis's ArvGvDevice (its retries,
// its heartbeat that keeps the control privilege); events come through our own message channel.
class GvOpenDevice : public gentlprod::ProducerDevice
{
public:
    static GC_ERROR Open(const CameraRecord& camera, DEVICE_ACCESS_FLAGS flags,
                         std::unique_ptr<gentlprod::ProducerDevice>& out);
    ~GvOpenDevice() override;

    GC_ERROR Info(DEVICE_INFO_CMD cmd, INFO_DATATYPE* pType, void* pBuffer, size_t* pSize) override;
    GC_ERROR PortInfo(PORT_INFO_CMD cmd, INFO_DATATYPE* pType, void* pBuffer, size_t* pSize) override;
    GC_ERROR Read(uint64_t nAddress, void* pBuffer, size_t nSize) override;
    GC_ERROR Write(uint64_t nAddress, const void* pBuffer, size_t nSize) override;
    std::vector<gentlprod::PortUrl> Urls() override;
    GC_ERROR StartEvents(const std::shared_ptr<gentlprod::EventQueue>& queue) override;
    void StopEvents() override;

    // The device-info answers of a discovered camera, open or not.
    static GC_ERROR CameraInfo(const CameraRecord& camera, bool bOpen, DEVICE_INFO_CMD cmd, INFO_DATATYPE* pType,
                               void* pBuffer, size_t* pSize);
    // GVCP transactions of every open camera since the library was loaded.
    static uint64_t Transactions();

    // What the control-lost handler touches, shared with it: a device released on another thread never
    // leaves the handler pointing at freed memory.
    struct ControlWatch {
        std::atomic<bool> bLost{false}; // control lost (heartbeat): the camera is gone or taken
        std::mutex mutex;
        std::shared_ptr<gentlprod::EventQueue> events;
        void OnControlLost();
    };

private:
    class LivenessWatch;
    GvOpenDevice(const CameraRecord& camera, ArvDevice* pDevice);
    GC_ERROR ReadRegister(uint32_t nAddress, uint32_t& nValue);
    GC_ERROR WriteRegister(uint32_t nAddress, uint32_t nValue);
    GC_ERROR Noted(GC_ERROR rc);
    GC_ERROR ReadUrls();
    void KeepDescription();
    GC_ERROR FinishOpen();

    CameraRecord m_camera;
    ArvDevice* m_pDevice = nullptr;          // null for a read-only open: m_reader reads
    std::unique_ptr<GvcpReader> m_reader;
    std::shared_ptr<ControlWatch> m_watch = std::make_shared<ControlWatch>();
    std::atomic<bool> m_bUnreachable{false}; // a command timed out after all its retries
    bool m_bWriteMemory = false;             // the camera takes WRITEMEM, not only WRITEREG
    bool m_bReadOnly = false;                // opened without taking control
    std::string m_description;               // what Aravis downloaded at the open, served as URL 0
    std::vector<gentlprod::PortUrl> m_urls;
    uint64_t m_nTickFrequency = 0;
    std::unique_ptr<GvMessageChannel> m_channel;
    std::unique_ptr<LivenessWatch> m_liveness; // while events are on
};

} // namespace dovigige

#pragma once

#include "gentl.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <vector>

struct sockaddr_in;

namespace gentlprod {
class EventQueue;
}

namespace dovigige {

// The host end of a camera's GigE Vision message channel: a UDP socket on the interface that reaches the
// camera and a thread that takes EVENT_CMD / EVENTDATA_CMD packets, acknowledges those that ask for it,
// delivers each request id once and queues every event record in the 16-byte layout (then any data).
// Skipped request ids are counted as lost, refused packets as malformed (both on the queue).
class GvMessageChannel
{
public:
    GvMessageChannel(uint32_t nLocalAddress, uint32_t nCameraAddress, std::shared_ptr<gentlprod::EventQueue> queue);
    ~GvMessageChannel();

    // Binds the socket (receive buffer of at least 4 MiB where the system allows it) and starts the thread.
    GC_ERROR Start(uint16_t& nPort, std::string& strError);
    // Ends the thread promptly; idempotent.
    void Stop();
    int ReceiveBufferSize() const { return m_nReceiveBuffer; }

private:
    friend struct GvMessageChannelFuzz; // feeds packets to Handle without a socket

    void Run();
    void Handle(const uint8_t* p, size_t n, const sockaddr_in& from);
    // True when the id has not been delivered yet (counts gaps as lost, late arrivals back).
    bool Accept(uint16_t nId);

    uint32_t m_nLocalAddress, m_nCameraAddress;
    std::shared_ptr<gentlprod::EventQueue> m_queue;
    int m_fd = -1;
    int m_wakeFd = -1;
    int m_nReceiveBuffer = 0;
    std::thread m_thread;
    bool m_bFirst = true;
    uint16_t m_nLast = 0;
    std::set<uint16_t> m_missing;     // skipped ids that may still arrive late
    bool m_bCandidate = false;        // a far jump not yet confirmed by the packet after it
    uint16_t m_nCandidate = 0;
    std::vector<int64_t> m_acceptedAt = std::vector<int64_t>(65536, INT64_MIN / 2); // ms, per request id
    std::deque<std::string> m_batch;
};

} // namespace dovigige

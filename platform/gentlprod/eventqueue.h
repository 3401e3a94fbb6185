#pragma once

#include "gentl.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>

namespace gentlprod {

// The queue behind one registered remote-device event: the device side pushes records (the 16-byte
// GigE Vision event header, big-endian, then any data), the consumer's thread takes them with EventGetData.
// A full queue drops its oldest record and counts it as lost.
class EventQueue
{
public:
    explicit EventQueue(size_t nCapacity);

    void Push(const void* pRecord, size_t nSize);
    // Several records under one lock: a network packet carries many.
    void PushMany(std::deque<std::string>& records);
    // EventGetData: waits for a record, the timeout, a kill (GC_ERR_ABORT) or the end of the queue.
    GC_ERROR Pop(void* pBuffer, size_t* pSize, uint64_t nTimeoutMs);
    void Kill();
    // No more records; waiting and later calls return code once the queue is empty.
    void Close(GC_ERROR code);
    void Flush();

    size_t Queued() const;
    uint64_t Fired() const { return m_nFired; }
    void AddLost(uint64_t n) { m_nLost += n; }
    void AddMalformed(uint64_t n) { m_nMalformed += n; }
    // The sender's packet count started anew (a far jump of its request ids).
    void AddRestart() { ++m_nRestarts; }
    uint64_t Lost() const { return m_nLost; }
    uint64_t Malformed() const { return m_nMalformed; }
    uint64_t Restarts() const { return m_nRestarts; }
    // The bytes the system granted the socket the events come through, where there is one.
    void SetReceiveBuffer(uint64_t n) { m_nReceiveBuffer = n; }
    uint64_t ReceiveBuffer() const { return m_nReceiveBuffer; }

private:
    const size_t m_nCapacity;
    mutable std::mutex m_mutex;
    std::condition_variable m_cv;
    std::deque<std::string> m_records;
    bool m_bKill = false;
    GC_ERROR m_closeCode = GC_ERR_SUCCESS;
    std::atomic<uint64_t> m_nFired{0}, m_nLost{0}, m_nMalformed{0}, m_nRestarts{0}, m_nReceiveBuffer{0};
};

} // namespace gentlprod

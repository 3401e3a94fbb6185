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
// It is bounded by records and by bytes (a record may carry up to 64 KB of data): a full queue drops its
// oldest records and counts them (Overflow). A closed queue takes nothing more.
class EventQueue
{
public:
    static constexpr size_t kDefaultMaxBytes = 64u << 20;
    explicit EventQueue(size_t nCapacity, size_t nMaxBytes = kDefaultMaxBytes);

    void Push(const void* pRecord, size_t nSize);
    // Several records under one lock: a network packet carries many. The records are taken (the deque is
    // left empty), also when the queue is closed.
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
    uint64_t Overflow() const { return m_nOverflow; }
    size_t QueuedBytes() const;
    // The bytes the system granted the socket the events come through, where there is one.
    void SetReceiveBuffer(uint64_t n) { m_nReceiveBuffer = n; }
    uint64_t ReceiveBuffer() const { return m_nReceiveBuffer; }

private:
    // With the lock held: room for a record of nSize, the oldest ones dropped.
    void MakeRoom(size_t nSize);

    const size_t m_nCapacity;
    const size_t m_nMaxBytes;
    size_t m_nBytes = 0;
    mutable std::mutex m_mutex;
    std::condition_variable m_cv;
    std::deque<std::string> m_records;
    bool m_bKill = false;
    GC_ERROR m_closeCode = GC_ERR_SUCCESS;
    std::atomic<uint64_t> m_nFired{0}, m_nLost{0}, m_nMalformed{0}, m_nRestarts{0}, m_nReceiveBuffer{0}, m_nOverflow{0};
};

} // namespace gentlprod

#include "eventqueue.h"

#include "infoanswer.h"

#include <chrono>
#include <cstring>

namespace gentlprod {

EventQueue::EventQueue(size_t nCapacity, size_t nMaxBytes)
    : m_nCapacity(nCapacity ? nCapacity : 1)
    , m_nMaxBytes(nMaxBytes ? nMaxBytes : 1)
{
}

void EventQueue::MakeRoom(size_t nSize)
{
    while (!m_records.empty() && (m_records.size() >= m_nCapacity || m_nBytes + nSize > m_nMaxBytes)) {
        m_nBytes -= m_records.front().size();
        m_records.pop_front();
        ++m_nOverflow;
    }
}

void EventQueue::Push(const void* pRecord, size_t nSize)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_closeCode != GC_ERR_SUCCESS)
            return;
        MakeRoom(nSize);
        m_records.emplace_back(static_cast<const char*>(pRecord), nSize);
        m_nBytes += nSize;
        ++m_nFired;
    }
    m_cv.notify_one();
}

void EventQueue::PushMany(std::deque<std::string>& records)
{
    if (records.empty())
        return;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_closeCode != GC_ERR_SUCCESS) {
            records.clear(); // nobody will take them: never kept piling up at the sender
            return;
        }
        for (std::string& rec : records) {
            MakeRoom(rec.size());
            m_nBytes += rec.size();
            m_records.push_back(std::move(rec));
            ++m_nFired;
        }
    }
    records.clear();
    m_cv.notify_one();
}

GC_ERROR EventQueue::Pop(void* pBuffer, size_t* pSize, uint64_t nTimeoutMs)
{
    if (!pSize)
        return Fail(GC_ERR_INVALID_PARAMETER, "null size");
    std::unique_lock<std::mutex> lock(m_mutex);
    auto ready = [&] { return m_bKill || m_closeCode != GC_ERR_SUCCESS || !m_records.empty(); };
    if (nTimeoutMs == GENTL_INFINITE)
        m_cv.wait(lock, ready);
    else if (!m_cv.wait_for(lock, std::chrono::milliseconds(nTimeoutMs), ready))
        return Fail(GC_ERR_TIMEOUT, "no event within the timeout");
    if (m_bKill) {
        m_bKill = false;
        return Fail(GC_ERR_ABORT, "wait aborted");
    }
    if (m_records.empty())
        return Fail(m_closeCode, m_closeCode == GC_ERR_ABORT ? "event unregistered" : "the device is gone");
    const std::string& rec = m_records.front();
    if (!pBuffer || *pSize < rec.size()) {
        *pSize = rec.size();
        return Fail(GC_ERR_BUFFER_TOO_SMALL, "buffer too small");
    }
    std::memcpy(pBuffer, rec.data(), rec.size());
    *pSize = rec.size();
    m_nBytes -= rec.size();
    m_records.pop_front();
    return GC_ERR_SUCCESS;
}

void EventQueue::Kill()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_bKill = true;
    }
    m_cv.notify_all();
}

void EventQueue::Close(GC_ERROR code)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_closeCode == GC_ERR_SUCCESS)
            m_closeCode = code == GC_ERR_SUCCESS ? GC_ERR_ABORT : code;
    }
    m_cv.notify_all();
}

void EventQueue::Flush()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_records.clear();
    m_nBytes = 0;
}

size_t EventQueue::Queued() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_records.size();
}

size_t EventQueue::QueuedBytes() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_nBytes;
}

} // namespace gentlprod

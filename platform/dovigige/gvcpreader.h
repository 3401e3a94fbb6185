#pragma once

#include "gentl.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>

namespace dovigige {

// Register and memory reads over GVCP from a socket of our own, without taking control of the camera:
// for reading the control privilege before an open, and for read-only opens (Aravis's device takes
// control whenever it opens a camera, which costs seconds when another host holds it).
class GvcpReader
{
public:
    // Every command sent (retries included) is counted in transactions.
    GvcpReader(int nTries, int nTimeoutMs, std::atomic<uint64_t>& transactions)
        : m_nTries(nTries), m_nTimeoutMs(nTimeoutMs), m_transactions(transactions) {}
    ~GvcpReader();
    GvcpReader(const GvcpReader&) = delete;
    GvcpReader& operator=(const GvcpReader&) = delete;

    // Binds to the interface address and aims at the camera's GVCP port (host byte order addresses).
    GC_ERROR Open(uint32_t nLocalAddress, uint32_t nCameraAddress, std::string& strError);
    GC_ERROR ReadRegister(uint32_t nAddress, uint32_t& nValue, std::string& strError);
    // Whole words; any size, in transfers of at most 512 bytes.
    GC_ERROR ReadMemory(uint32_t nAddress, void* pBuffer, size_t nSize, std::string& strError);

private:
    // One command and its acknowledgement (tries and timeout as given); the acknowledgement's payload.
    GC_ERROR Transact(uint16_t nCommand, const uint8_t* pPayload, uint16_t nPayload, uint8_t* pAnswer,
                      size_t nAnswerMax, size_t& nAnswer, std::string& strError);

    int m_nTries, m_nTimeoutMs;
    int m_fd = -1;
    uint32_t m_nCameraAddress = 0;
    uint16_t m_nId = 0;
    std::atomic<uint64_t>& m_transactions;
};

} // namespace dovigige

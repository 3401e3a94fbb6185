#include "gvcpreader.h"

#include "gvcp.h"
#include "gvnetwork.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>

namespace dovigige {

namespace {

constexpr size_t kMaxRead = 512;

} // namespace

GvcpReader::~GvcpReader()
{
    if (m_fd >= 0)
        close(m_fd);
}

GC_ERROR GvcpReader::Open(uint32_t nLocalAddress, uint32_t nCameraAddress, std::string& strError)
{
    m_nCameraAddress = nCameraAddress;
    m_fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (m_fd < 0) {
        strError = "no socket for the camera";
        return GC_ERR_RESOURCE_EXHAUSTED;
    }
    sockaddr_in local{}, remote{};
    local.sin_family = remote.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(nLocalAddress);
    remote.sin_addr.s_addr = htonl(nCameraAddress);
    remote.sin_port = htons(kGvcpPort);
    if (bind(m_fd, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0
        || connect(m_fd, reinterpret_cast<sockaddr*>(&remote), sizeof remote) != 0) {
        strError = "the camera's address cannot be reached from " + Ipv4Text(nLocalAddress);
        return GC_ERR_IO;
    }
    return GC_ERR_SUCCESS;
}

GC_ERROR GvcpReader::Transact(uint16_t nCommand, const uint8_t* pPayload, uint16_t nPayload, uint8_t* pAnswer,
                              size_t nAnswerMax, size_t& nAnswer, std::string& strError)
{
    uint8_t cmd[kHeaderSize + 16];
    if (m_fd < 0 || nPayload > sizeof cmd - kHeaderSize) {
        strError = "no GVCP socket";
        return GC_ERR_NOT_INITIALIZED;
    }
    m_nId = uint16_t(m_nId == 0xFFFF ? 1 : m_nId + 1);
    PutCommandHeader(cmd, kFlagAckRequired, nCommand, nPayload, m_nId);
    std::memcpy(cmd + kHeaderSize, pPayload, nPayload);
    for (int attempt = 0; attempt < m_nTries; ++attempt) {
        ++m_transactions;
        if (send(m_fd, cmd, kHeaderSize + nPayload, 0) != ssize_t(kHeaderSize + nPayload))
            break;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(m_nTimeoutMs);
        for (;;) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
            pollfd pfd{m_fd, POLLIN, 0};
            if (left.count() <= 0 || poll(&pfd, 1, int(left.count())) <= 0)
                break;
            uint8_t ack[kHeaderSize + kMaxRead + 8];
            const ssize_t n = recv(m_fd, ack, sizeof ack, 0);
            if (n < 0) { // port or host unreachable: nothing there to answer
                strError = "the camera at " + Ipv4Text(m_nCameraAddress) + " cannot be reached (" + std::strerror(errno) + ")";
                return GC_ERR_TIMEOUT;
            }
            if (size_t(n) < kHeaderSize || Get16(ack + 2) != uint16_t(nCommand + 1) || Get16(ack + 6) != m_nId)
                continue; // a late answer to an earlier try
            if (Get16(ack) == kStatusAccessDenied) {
                strError = "another application holds the camera exclusively";
                return GC_ERR_ACCESS_DENIED;
            }
            if (Get16(ack) != kStatusSuccess) {
                strError = "the camera refuses the read";
                return GC_ERR_IO;
            }
            nAnswer = std::min(size_t(n) - kHeaderSize, nAnswerMax);
            std::memcpy(pAnswer, ack + kHeaderSize, nAnswer);
            return GC_ERR_SUCCESS;
        }
    }
    strError = "the camera at " + Ipv4Text(m_nCameraAddress) + " does not answer";
    return GC_ERR_TIMEOUT;
}

GC_ERROR GvcpReader::ReadRegister(uint32_t nAddress, uint32_t& nValue, std::string& strError)
{
    uint8_t address[4], answer[4];
    Put32(address, nAddress);
    size_t n = 0;
    const GC_ERROR rc = Transact(kReadRegCmd, address, 4, answer, sizeof answer, n, strError);
    if (rc != GC_ERR_SUCCESS)
        return rc;
    if (n < 4) {
        strError = "the camera answers a register read without its value";
        return GC_ERR_IO;
    }
    nValue = Get32(answer);
    return GC_ERR_SUCCESS;
}

GC_ERROR GvcpReader::ReadMemory(uint32_t nAddress, void* pBuffer, size_t nSize, std::string& strError)
{
    auto* out = static_cast<uint8_t*>(pBuffer);
    for (size_t done = 0; done < nSize;) {
        const uint16_t count = uint16_t(std::min(kMaxRead, nSize - done));
        uint8_t request[8] = {}, answer[4 + kMaxRead];
        Put32(request, uint32_t(nAddress + done));
        Put16(request + 6, count);
        size_t n = 0;
        const GC_ERROR rc = Transact(kReadMemCmd, request, sizeof request, answer, sizeof answer, n, strError);
        if (rc != GC_ERR_SUCCESS)
            return rc;
        if (n < 4 + size_t(count)) {
            strError = "the camera answers a memory read short";
            return GC_ERR_IO;
        }
        std::memcpy(out + done, answer + 4, count);
        done += count;
    }
    return GC_ERR_SUCCESS;
}

} // namespace dovigige

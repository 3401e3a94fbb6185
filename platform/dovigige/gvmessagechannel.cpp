#include "gvmessagechannel.h"

#include "eventqueue.h"
#include "gvcp.h"
#include "infoanswer.h"

#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstring>

namespace dovigige {

namespace {

constexpr int kReceiveBuffer = 4 * 1024 * 1024;
constexpr size_t kMaxMissing = 4096;
constexpr uint32_t kFarJump = 1024;    // more ids ahead than this (or any behind) must be confirmed
constexpr int kPacketsPerRound = 256;  // then what they carried is delivered and a stop looked for
constexpr int64_t kRetransmissionMs = 2000; // a camera retries a packet within this time
constexpr size_t kRecord = 16;
constexpr size_t kExtendedRecord = 24;

// An extended-id record (64-bit block id and time stamp) in the 16-byte layout the queue carries.
void appendRecord(std::string& out, const uint8_t* p, bool bExtended)
{
    uint8_t rec[kRecord] = {};
    if (!bExtended) {
        std::memcpy(rec, p, kRecord);
    } else {
        std::memcpy(rec + 2, p + 2, 4);      // event id, stream channel
        std::memcpy(rec + 6, p + 14, 2);     // low 16 bits of the block id
        std::memcpy(rec + 8, p + 16, 8);     // time stamp
    }
    out.append(reinterpret_cast<const char*>(rec), kRecord);
}

} // namespace

GvMessageChannel::GvMessageChannel(uint32_t nLocalAddress, uint32_t nCameraAddress,
                                   std::shared_ptr<gentlprod::EventQueue> queue)
    : m_nLocalAddress(nLocalAddress)
    , m_nCameraAddress(nCameraAddress)
    , m_queue(std::move(queue))
{
}

GvMessageChannel::~GvMessageChannel()
{
    Stop();
}

GC_ERROR GvMessageChannel::Start(uint16_t& nPort, std::string& strError)
{
    m_fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    m_wakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (m_fd < 0 || m_wakeFd < 0) {
        strError = std::string("cannot create the message channel socket: ") + std::strerror(errno);
        Stop();
        return GC_ERR_RESOURCE_EXHAUSTED;
    }
    // The forced size passes the system's limit when we may; otherwise the limit applies.
    const int size = kReceiveBuffer;
    if (setsockopt(m_fd, SOL_SOCKET, SO_RCVBUFFORCE, &size, sizeof size) != 0)
        setsockopt(m_fd, SOL_SOCKET, SO_RCVBUF, &size, sizeof size);
    socklen_t len = sizeof m_nReceiveBuffer;
    getsockopt(m_fd, SOL_SOCKET, SO_RCVBUF, &m_nReceiveBuffer, &len);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(m_nLocalAddress);
    if (bind(m_fd, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
        strError = std::string("cannot bind the message channel socket: ") + std::strerror(errno);
        Stop();
        return GC_ERR_IO;
    }
    sockaddr_in bound{};
    len = sizeof bound;
    getsockname(m_fd, reinterpret_cast<sockaddr*>(&bound), &len);
    nPort = ntohs(bound.sin_port);
    m_thread = std::thread(&GvMessageChannel::Run, this);
    return GC_ERR_SUCCESS;
}

void GvMessageChannel::Stop()
{
    if (m_thread.joinable()) {
        const uint64_t one = 1;
        if (write(m_wakeFd, &one, sizeof one) < 0) {
            // the thread also wakes on its poll timeout
        }
        m_thread.join();
    }
    if (m_fd >= 0)
        close(m_fd);
    if (m_wakeFd >= 0)
        close(m_wakeFd);
    m_fd = m_wakeFd = -1;
}

void GvMessageChannel::Run()
{
    uint8_t buffer[65536];
    pollfd fds[2] = {{m_fd, POLLIN, 0}, {m_wakeFd, POLLIN, 0}};
    for (;;) {
        if (poll(fds, 2, 500) < 0 && errno != EINTR)
            break;
        if (fds[1].revents & POLLIN)
            break;
        // A round of packets at most (well under a millisecond), then what they carried is delivered and
        // the poll sees a stop: a flood never holds the events back, nor the end of the thread.
        for (int k = 0; k < kPacketsPerRound; ++k) {
            sockaddr_in from{};
            socklen_t fromSize = sizeof from;
            const ssize_t n = recvfrom(m_fd, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&from), &fromSize);
            if (n < 0)
                break;
            Handle(buffer, size_t(n), from);
        }
        m_queue->PushMany(m_batch);
    }
}

void GvMessageChannel::Handle(const uint8_t* p, size_t n, const sockaddr_in& from)
{
    if (ntohl(from.sin_addr.s_addr) != m_nCameraAddress || n < kHeaderSize || p[0] != kGvcpKey) {
        m_queue->AddMalformed(1);
        return;
    }
    const uint8_t flags = p[1];
    const uint16_t command = Get16(p + 2);
    const size_t length = Get16(p + 4);
    const uint16_t id = Get16(p + 6);
    const bool bExtended = (flags & kFlagExtendedIds) != 0;
    const size_t recordSize = bExtended ? kExtendedRecord : kRecord;
    const uint8_t* payload = p + kHeaderSize;
    bool bValid = length == n - kHeaderSize && id != 0;
    if (command == kEventCmd)
        bValid = bValid && length >= recordSize && length % recordSize == 0;
    else if (command == kEventDataCmd)
        bValid = bValid && length >= recordSize;
    else
        bValid = false;
    if (!bValid) {
        m_queue->AddMalformed(1);
        return;
    }
    if (flags & kFlagAckRequired) {
        uint8_t ack[kHeaderSize];
        PutAckHeader(ack, kStatusSuccess, uint16_t(command + 1), 0, id);
        sendto(m_fd, ack, sizeof ack, 0, reinterpret_cast<const sockaddr*>(&from), sizeof from);
    }
    if (!Accept(id))
        return; // a retransmission of what we already have
    if (command == kEventCmd) {
        for (size_t at = 0; at < length; at += recordSize) {
            std::string rec;
            appendRecord(rec, payload + at, bExtended);
            m_batch.push_back(std::move(rec));
        }
    } else {
        std::string rec;
        appendRecord(rec, payload, bExtended);
        rec.append(reinterpret_cast<const char*>(payload + recordSize), length - recordSize);
        m_batch.push_back(std::move(rec));
    }
    if (m_batch.size() >= 1024)
        m_queue->PushMany(m_batch);
}

// Request ids run 1..65535 and wrap to 1. Up to kFarJump ahead of the last one: new, the ids in between
// are lost until they turn up. Behind it: a late arrival of a lost id, or a retransmission of an id
// accepted moments ago (a camera retries within a second). Anything else (far ahead, or behind) may be a
// camera that restarted its count or skipped many ids in an outage, but also a stale copy or a stray
// packet: nothing authenticates GVCP. Such a packet is delivered, and believed only when the next one
// continues from it; until then the count goes on from the last id, so that a single packet can neither
// make the real events look old nor the lost count grow by what was not lost.
bool GvMessageChannel::Accept(uint16_t nId)
{
    const int64_t now = std::chrono::duration_cast<std::chrono::milliseconds>(
                            std::chrono::steady_clock::now().time_since_epoch()).count();
    auto distance = [](uint16_t from, uint16_t to) { return (uint32_t(to) + 65535 - from) % 65535; };
    if (m_bFirst) {
        m_bFirst = false;
        m_nLast = nId;
        m_acceptedAt[nId] = now;
        return true;
    }
    const uint32_t ahead = distance(m_nLast, nId);
    if (ahead == 0)
        return false;
    if (ahead <= kFarJump) {
        if (const uint32_t gap = ahead - 1) {
            m_queue->AddLost(gap);
            for (uint32_t i = 1; i <= gap && m_missing.size() < kMaxMissing; ++i)
                m_missing.insert(uint16_t((m_nLast - 1 + i) % 65535 + 1));
        }
        m_missing.erase(nId);
        m_nLast = nId;
        m_acceptedAt[nId] = now;
        m_bCandidate = false; // the count went on: a jump before was a stray
        return true;
    }
    if (m_missing.erase(nId)) {
        m_queue->AddLost(uint64_t(-1)); // it came after all
        m_acceptedAt[nId] = now;
        return true;
    }
    if (now - m_acceptedAt[nId] <= kRetransmissionMs)
        return false; // a retransmission of what was delivered
    if (m_bCandidate) {
        const uint32_t fromCandidate = distance(m_nCandidate, nId);
        if (fromCandidate >= 1 && fromCandidate <= kFarJump) {
            // The count goes on from the jump: believed. A jump ahead skipped its ids (lost); one behind
            // is a count that started anew (no loss known).
            const uint32_t jump = distance(m_nLast, m_nCandidate);
            if (jump <= 32767)
                m_queue->AddLost(jump - 1);
            else
                m_queue->AddRestart();
            if (fromCandidate > 1)
                m_queue->AddLost(fromCandidate - 1);
            m_missing.clear();
            m_nLast = nId;
            m_acceptedAt[nId] = now;
            m_bCandidate = false;
            return true;
        }
    }
    m_bCandidate = true;
    m_nCandidate = nId;
    m_acceptedAt[nId] = now;
    return true;
}

} // namespace dovigige

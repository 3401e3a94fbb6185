#include "gvcpeventsender.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <thread>
#include <cstdio>
#include <cstring>

#include <arpa/inet.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr uint32_t kLoopback = 0x7F000001; // 127.0.0.1
constexpr uint8_t kKey = 0x42;
constexpr uint8_t kFlagAckRequired = 0x01;
constexpr uint16_t kReadRegCmd = 0x0080;
constexpr uint16_t kWriteRegCmd = 0x0082;
constexpr uint16_t kEventCmd = 0x00C0;
constexpr uint16_t kEventAck = 0x00C1;
constexpr uint16_t kEventDataCmd = 0x00C2;
constexpr uint16_t kEventDataAck = 0x00C3;
constexpr uint32_t kRegMessageChannelPort = 0x0B00;
constexpr uint32_t kRegMessageDestination = 0x0B10;
constexpr uint32_t kRegMessageTimeout = 0x0B14;
constexpr uint32_t kRegMessageRetryCount = 0x0B18;
constexpr size_t kHeaderSize = 8;
constexpr size_t kRecordSize = GvcpEventSender::kRecordSize;
constexpr size_t kMaxRecordsPerPacket = GvcpEventSender::kMaxRecordsPerPacket;
constexpr int kControlTimeoutMs = 200;
constexpr int kControlTries = 3;
constexpr size_t kBurstBatch = 64;         // packets per sendmmsg
constexpr int kStallLimitMs = 5000;        // a send that makes no progress this long is an error

using Clock = std::chrono::steady_clock;

void StoreBe16(unsigned char* p, uint16_t nValue)
{
    p[0] = static_cast<unsigned char>(nValue >> 8);
    p[1] = static_cast<unsigned char>(nValue);
}

void StoreBe32(unsigned char* p, uint32_t nValue)
{
    StoreBe16(p, static_cast<uint16_t>(nValue >> 16));
    StoreBe16(p + 2, static_cast<uint16_t>(nValue));
}

void StoreBe64(unsigned char* p, uint64_t nValue)
{
    StoreBe32(p, static_cast<uint32_t>(nValue >> 32));
    StoreBe32(p + 4, static_cast<uint32_t>(nValue));
}

uint16_t LoadBe16(const unsigned char* p)
{
    return static_cast<uint16_t>((p[0] << 8) | p[1]);
}

uint32_t LoadBe32(const unsigned char* p)
{
    return (uint32_t(LoadBe16(p)) << 16) | LoadBe16(p + 2);
}

void AppendBe16(std::string& bytes, uint16_t nValue)
{
    unsigned char buffer[2];
    StoreBe16(buffer, nValue);
    bytes.append(reinterpret_cast<const char*>(buffer), sizeof buffer);
}

void AppendBe32(std::string& bytes, uint32_t nValue)
{
    unsigned char buffer[4];
    StoreBe32(buffer, nValue);
    bytes.append(reinterpret_cast<const char*>(buffer), sizeof buffer);
}

void AppendHeader(std::string& bytes, uint8_t nKey, bool bAckRequested, uint16_t nCommand, size_t nLength,
                  uint16_t nRequestId)
{
    bytes.push_back(static_cast<char>(nKey));
    bytes.push_back(static_cast<char>(bAckRequested ? kFlagAckRequired : 0));
    AppendBe16(bytes, nCommand);
    AppendBe16(bytes, static_cast<uint16_t>(nLength)); // builders may be asked for nonsense; no clamping
    AppendBe16(bytes, nRequestId);
}

void AppendRecord(std::string& bytes, const GvcpEventSender::Event& event)
{
    unsigned char record[kRecordSize] = {};
    StoreBe16(record + 2, event.nId);
    StoreBe16(record + 4, event.nStreamChannel);
    StoreBe16(record + 6, event.nBlockId);
    StoreBe64(record + 8, event.nTimestamp);
    bytes.append(reinterpret_cast<const char*>(record), sizeof record);
}

int RemainingMs(Clock::time_point deadline)
{
    const auto remaining = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return remaining > 0 ? static_cast<int>(remaining) : 0;
}

std::string ErrnoText(const char* pszWhat)
{
    return std::string(pszWhat) + ": " + std::strerror(errno);
}

std::string Hex(uint32_t nValue)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "0x%04X", nValue);
    return buffer;
}

int OpenLoopbackSocket(std::string& strError)
{
    const int nSocket = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (nSocket < 0) {
        strError = ErrnoText("socket");
        return -1;
    }
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(kLoopback);
    local.sin_port = 0;
    if (::bind(nSocket, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
        strError = ErrnoText("bind 127.0.0.1");
        ::close(nSocket);
        return -1;
    }
    return nSocket;
}

std::string BuildEventPacket(const std::vector<GvcpEventSender::Event>& events, uint16_t nRequestId, bool bAckRequested)
{
    std::string packet;
    packet.reserve(kHeaderSize + events.size() * kRecordSize);
    AppendHeader(packet, kKey, bAckRequested, kEventCmd, events.size() * kRecordSize, nRequestId);
    for (const GvcpEventSender::Event& event : events)
        AppendRecord(packet, event);
    return packet;
}

std::string BuildEventDataPacket(const GvcpEventSender::Event& event, uint16_t nRequestId, bool bAckRequested)
{
    std::string packet;
    packet.reserve(kHeaderSize + kRecordSize + event.data.size());
    AppendHeader(packet, kKey, bAckRequested, kEventDataCmd, kRecordSize + event.data.size(), nRequestId);
    AppendRecord(packet, event);
    packet += event.data;
    return packet;
}

std::string BuildMalformed(GvcpEventSender::Malformation eKind, uint16_t nRequestId)
{
    GvcpEventSender::Event event;
    event.nId = 0x9000;
    event.nTimestamp = 1;
    switch (eKind) {
    case GvcpEventSender::Malformation::TooShort: {
        // A header cut off before the request id.
        std::string packet = BuildEventPacket({event}, 0, true);
        packet.resize(6);
        return packet;
    }
    case GvcpEventSender::Malformation::WrongKey: {
        std::string packet = BuildEventPacket({event}, nRequestId, true);
        packet[0] = static_cast<char>(0x43);
        return packet;
    }
    case GvcpEventSender::Malformation::LengthMismatch: {
        // The header claims one record more than the payload has.
        std::string packet = BuildEventPacket({event}, nRequestId, true);
        StoreBe16(reinterpret_cast<unsigned char*>(&packet[4]), static_cast<uint16_t>(2 * kRecordSize));
        return packet;
    }
    case GvcpEventSender::Malformation::UnalignedPayload: {
        std::string packet = BuildEventPacket({event}, nRequestId, true);
        packet.append(8, '\0');
        StoreBe16(reinterpret_cast<unsigned char*>(&packet[4]), static_cast<uint16_t>(kRecordSize + 8));
        return packet;
    }
    }
    return std::string();
}

bool WaitWritable(int nSocket, int nTimeoutMs, bool bNoBuffers)
{
    if (bNoBuffers) {
        // The socket looks writable while the device queue is full; just back off a little.
        ::poll(nullptr, 0, 1);
        return true;
    }
    pollfd fd{nSocket, POLLOUT, 0};
    return ::poll(&fd, 1, nTimeoutMs) >= 0 || errno == EINTR;
}

} // namespace

GvcpEventSender::GvcpEventSender()
    : m_ackCounts(0x10000, 0)
{
    m_cameraAddress.sin_family = AF_INET;
    m_cameraAddress.sin_addr.s_addr = htonl(kLoopback);
    m_cameraAddress.sin_port = htons(3956);
    m_channelAddress.sin_family = AF_INET;
}

GvcpEventSender::~GvcpEventSender()
{
    if (m_nControlSocket >= 0)
        ::close(m_nControlSocket);
    if (m_nEventSocket >= 0)
        ::close(m_nEventSocket);
}

bool GvcpEventSender::Fail(const std::string& strError)
{
    m_strLastError = strError;
    return false;
}

bool GvcpEventSender::EnsureControlSocket()
{
    if (m_nControlSocket >= 0)
        return true;
    m_nControlSocket = OpenLoopbackSocket(m_strLastError);
    return m_nControlSocket >= 0;
}

bool GvcpEventSender::EnsureEventSocket()
{
    if (m_nEventSocket >= 0)
        return true;
    m_nEventSocket = OpenLoopbackSocket(m_strLastError);
    if (m_nEventSocket < 0)
        return false;
    // Bursts and ack storms: larger buffers mean fewer stalls; the kernel caps them, failure is harmless.
    const int nBufferBytes = 4 * 1024 * 1024;
    ::setsockopt(m_nEventSocket, SOL_SOCKET, SO_SNDBUF, &nBufferBytes, sizeof nBufferBytes);
    ::setsockopt(m_nEventSocket, SOL_SOCKET, SO_RCVBUF, &nBufferBytes, sizeof nBufferBytes);
    return true;
}

uint16_t GvcpEventSender::TakeRequestId()
{
    const uint16_t nId = m_nNextRequestId;
    m_nNextRequestId = nId == 0xFFFF ? 1 : static_cast<uint16_t>(nId + 1);
    return nId;
}

void GvcpEventSender::SetNextRequestId(uint16_t nId)
{
    m_nNextRequestId = nId == 0 ? 1 : nId;
}

// ---- camera registers ----

bool GvcpEventSender::ControlTransaction(uint16_t nCommand, const std::string& payload, std::string& ackPayload)
{
    if (!EnsureControlSocket())
        return false;
    const uint16_t nId = m_nNextControlId;
    m_nNextControlId = nId == 0xFFFF ? 1 : static_cast<uint16_t>(nId + 1);
    std::string packet;
    packet.reserve(kHeaderSize + payload.size());
    AppendHeader(packet, kKey, true, nCommand, payload.size(), nId);
    packet += payload;

    std::array<unsigned char, 1500> buffer;
    for (int nTry = 0; nTry < kControlTries; ++nTry) {
        const ssize_t nSent = ::sendto(m_nControlSocket, packet.data(), packet.size(), 0,
                                       reinterpret_cast<const sockaddr*>(&m_cameraAddress), sizeof m_cameraAddress);
        if (nSent < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != ENOBUFS && errno != EINTR)
            return Fail(ErrnoText("sendto camera"));

        const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(kControlTimeoutMs);
        for (;;) {
            pollfd fd{m_nControlSocket, POLLIN, 0};
            const int nReady = ::poll(&fd, 1, RemainingMs(deadline));
            if (nReady < 0 && errno == EINTR)
                continue;
            if (nReady <= 0)
                break; // this try timed out
            sockaddr_in from{};
            socklen_t nFromSize = sizeof from;
            const ssize_t nSize = ::recvfrom(m_nControlSocket, buffer.data(), buffer.size(), 0,
                                             reinterpret_cast<sockaddr*>(&from), &nFromSize);
            if (nSize < 0)
                continue;
            if (from.sin_addr.s_addr != m_cameraAddress.sin_addr.s_addr || from.sin_port != m_cameraAddress.sin_port)
                continue;
            // Late answers to an earlier try or command carry another id.
            if (size_t(nSize) < kHeaderSize || LoadBe16(buffer.data() + 2) != nCommand + 1
                || LoadBe16(buffer.data() + 6) != nId)
                continue;
            const uint16_t nStatus = LoadBe16(buffer.data());
            if (nStatus != 0)
                return Fail("camera answered " + Hex(nCommand) + " with status " + Hex(nStatus));
            const size_t nLength = std::min<size_t>(LoadBe16(buffer.data() + 4), size_t(nSize) - kHeaderSize);
            ackPayload.assign(reinterpret_cast<const char*>(buffer.data()) + kHeaderSize, nLength);
            return true;
        }
    }
    std::string strError = "no answer from the camera to command " + Hex(nCommand);
    if (nCommand == kWriteRegCmd)
        strError += " (the fake camera ignores writes from a client that does not hold control)";
    return Fail(strError);
}

bool GvcpEventSender::ReadRegister(uint32_t nAddress, uint32_t& nValue)
{
    std::string payload;
    AppendBe32(payload, nAddress);
    std::string answer;
    if (!ControlTransaction(kReadRegCmd, payload, answer))
        return false;
    if (answer.size() < 4)
        return Fail("short answer reading register " + Hex(nAddress));
    nValue = LoadBe32(reinterpret_cast<const unsigned char*>(answer.data()));
    return true;
}

bool GvcpEventSender::WriteRegister(uint32_t nAddress, uint32_t nValue)
{
    std::string payload;
    AppendBe32(payload, nAddress);
    AppendBe32(payload, nValue);
    std::string answer;
    return ControlTransaction(kWriteRegCmd, payload, answer);
}

bool GvcpEventSender::ReadChannel()
{
    uint32_t nPort = 0, nDestination = 0;
    if (!ReadRegister(kRegMessageChannelPort, nPort) || !ReadRegister(kRegMessageDestination, nDestination)
        || !ReadRegister(kRegMessageTimeout, m_nTimeoutMs) || !ReadRegister(kRegMessageRetryCount, m_nRetryCount))
        return false;
    SetChannel(nDestination, static_cast<uint16_t>(nPort & 0xFFFF));
    return true;
}

void GvcpEventSender::SetChannel(uint32_t nDestination, uint16_t nHostPort)
{
    m_nDestination = nDestination;
    m_nHostPort = nHostPort;
    m_channelAddress.sin_family = AF_INET;
    m_channelAddress.sin_addr.s_addr = htonl(nDestination);
    m_channelAddress.sin_port = htons(nHostPort);
}

uint16_t GvcpEventSender::LocalPort()
{
    if (!EnsureEventSocket())
        return 0;
    sockaddr_in local{};
    socklen_t nSize = sizeof local;
    if (::getsockname(m_nEventSocket, reinterpret_cast<sockaddr*>(&local), &nSize) != 0) {
        Fail(ErrnoText("getsockname"));
        return 0;
    }
    return ntohs(local.sin_port);
}

// ---- sending ----

bool GvcpEventSender::CheckChannel()
{
    if (m_nHostPort == 0 || m_nDestination == 0)
        return Fail("message channel closed (host port " + std::to_string(m_nHostPort) + ")");
    if (m_nDestination != kLoopback) { // test traffic never leaves the machine
        in_addr address{};
        address.s_addr = htonl(m_nDestination);
        char szAddress[INET_ADDRSTRLEN] = {};
        ::inet_ntop(AF_INET, &address, szAddress, sizeof szAddress);
        return Fail(std::string("refusing to send to ") + szAddress + ", only 127.0.0.1 is allowed");
    }
    return EnsureEventSocket();
}

bool GvcpEventSender::SendPacket(const std::string& packet, uint16_t nRequestId)
{
    if (!CheckChannel())
        return false;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(kStallLimitMs);
    for (;;) {
        const ssize_t nSent = ::sendto(m_nEventSocket, packet.data(), packet.size(), 0,
                                       reinterpret_cast<const sockaddr*>(&m_channelAddress), sizeof m_channelAddress);
        if (nSent >= 0)
            break;
        if (errno == EINTR)
            continue;
        if ((errno != EAGAIN && errno != EWOULDBLOCK && errno != ENOBUFS) || RemainingMs(deadline) <= 0)
            return Fail(ErrnoText("sendto message channel"));
        const bool bNoBuffers = errno == ENOBUFS;
        WaitWritable(m_nEventSocket, std::min(RemainingMs(deadline), 100), bNoBuffers);
    }
    m_lastPacket = packet;
    m_nLastRequestId = nRequestId;
    return true;
}

uint16_t GvcpEventSender::SendEvents(const std::vector<Event>& events, bool bAckRequested)
{
    if (events.empty() || events.size() > kMaxRecordsPerPacket) {
        Fail("an EVENT_CMD carries 1.." + std::to_string(kMaxRecordsPerPacket) + " events, not "
             + std::to_string(events.size()));
        return 0;
    }
    if (!CheckChannel())
        return 0;
    const uint16_t nId = TakeRequestId();
    return SendPacket(BuildEventPacket(events, nId, bAckRequested), nId) ? nId : 0;
}

uint16_t GvcpEventSender::SendEventData(const Event& event, bool bAckRequested)
{
    if (event.data.size() > kMaxEventData) {
        Fail("event data of " + std::to_string(event.data.size()) + " bytes, at most "
             + std::to_string(kMaxEventData) + " fit");
        return 0;
    }
    if (!CheckChannel())
        return 0;
    const uint16_t nId = TakeRequestId();
    return SendPacket(BuildEventDataPacket(event, nId, bAckRequested), nId) ? nId : 0;
}

uint16_t GvcpEventSender::Resend()
{
    if (m_lastPacket.empty()) {
        Fail("nothing to resend");
        return 0;
    }
    const std::string packet = m_lastPacket;
    if (!SendPacket(packet, m_nLastRequestId))
        return 0;
    return m_nLastRequestId;
}

bool GvcpEventSender::SendMalformed(Malformation eKind)
{
    if (!CheckChannel())
        return false;
    const uint16_t nId = eKind == Malformation::TooShort ? 0 : TakeRequestId();
    return SendPacket(BuildMalformed(eKind, nId), nId);
}

// ---- acknowledgements ----

void GvcpEventSender::PollAcks(int nTimeoutMs)
{
    if (!EnsureEventSocket())
        return;
    std::array<unsigned char, 2048> buffer;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(std::max(nTimeoutMs, 0));
    for (bool bRead = false;;) {
        const ssize_t nSize = ::recv(m_nEventSocket, buffer.data(), buffer.size(), 0);
        if (nSize >= 0) {
            const uint16_t nAnswer = nSize >= ssize_t(kHeaderSize) ? LoadBe16(buffer.data() + 2) : 0;
            if (nAnswer == kEventAck || nAnswer == kEventDataAck)
                ++m_ackCounts[LoadBe16(buffer.data() + 6)];
            bRead = true;
            continue;
        }
        if (errno == EINTR)
            continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK) {
            Fail(ErrnoText("recv message channel"));
            return;
        }
        // Drained. Wait only while nothing has come yet.
        const int nRemaining = RemainingMs(deadline);
        pollfd fd{m_nEventSocket, POLLIN, 0};
        if (bRead || nRemaining <= 0 || ::poll(&fd, 1, nRemaining) == 0)
            return;
    }
}

bool GvcpEventSender::WaitAckCount(uint16_t nId, int nCount, int nTimeoutMs)
{
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(std::max(nTimeoutMs, 0));
    for (;;) {
        PollAcks(0);
        if (m_ackCounts[nId] >= nCount)
            return true;
        const int nRemaining = RemainingMs(deadline);
        if (nRemaining <= 0)
            break;
        PollAcks(nRemaining);
    }
    return Fail("request " + std::to_string(nId) + ": " + std::to_string(m_ackCounts[nId]) + " of "
                + std::to_string(nCount) + " acks within " + std::to_string(nTimeoutMs) + " ms");
}

// ---- benchmark ----

size_t GvcpEventSender::SendBurst(uint16_t nEventId, size_t nEvents, size_t nPerPacket, uint64_t nFirstTimestamp,
                                  bool bAckRequested, double dEventsPerSecond)
{
    if (nPerPacket == 0 || nPerPacket > kMaxRecordsPerPacket) {
        Fail("1.." + std::to_string(kMaxRecordsPerPacket) + " events per packet, not " + std::to_string(nPerPacket));
        return 0;
    }
    if (nEvents == 0 || !CheckChannel())
        return 0;

    // Fixed slots: header and the constant record fields are written once, then only lengths, ids and
    // time stamps change.
    constexpr size_t nStride = kHeaderSize + kMaxRecordsPerPacket * kRecordSize;
    std::vector<unsigned char> buffer(kBurstBatch * nStride, 0);
    std::array<mmsghdr, kBurstBatch> messages{};
    std::array<iovec, kBurstBatch> vectors{};
    std::array<uint16_t, kBurstBatch> ids{};
    for (size_t nSlot = 0; nSlot < kBurstBatch; ++nSlot) {
        unsigned char* pPacket = buffer.data() + nSlot * nStride;
        pPacket[0] = kKey;
        pPacket[1] = bAckRequested ? kFlagAckRequired : 0; // acks are left unread: the producer is measured
        StoreBe16(pPacket + 2, kEventCmd);
        for (size_t nRecord = 0; nRecord < kMaxRecordsPerPacket; ++nRecord) {
            unsigned char* pRecord = pPacket + kHeaderSize + nRecord * kRecordSize;
            StoreBe16(pRecord + 2, nEventId);
            StoreBe16(pRecord + 4, 0xFFFF);
        }
        vectors[nSlot].iov_base = pPacket;
        messages[nSlot].msg_hdr.msg_name = &m_channelAddress;
        messages[nSlot].msg_hdr.msg_namelen = sizeof m_channelAddress;
        messages[nSlot].msg_hdr.msg_iov = &vectors[nSlot];
        messages[nSlot].msg_hdr.msg_iovlen = 1;
    }

    const size_t nPackets = (nEvents + nPerPacket - 1) / nPerPacket;
    size_t nEventsLeft = nEvents;
    uint64_t nTimestamp = nFirstTimestamp;
    size_t nDone = 0;
    size_t nLastSlot = 0;
    const Clock::time_point start = Clock::now();
    while (nDone < nPackets) {
        if (dEventsPerSecond > 0) // a camera's pace: the events so far are due by now
            std::this_thread::sleep_until(start + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(
                                                      double(nEvents - nEventsLeft) / dEventsPerSecond)));
        const size_t nBatch = std::min(kBurstBatch, nPackets - nDone);
        for (size_t nSlot = 0; nSlot < nBatch; ++nSlot) {
            unsigned char* pPacket = buffer.data() + nSlot * nStride;
            const size_t nRecords = std::min(nPerPacket, nEventsLeft);
            nEventsLeft -= nRecords;
            ids[nSlot] = TakeRequestId();
            StoreBe16(pPacket + 4, static_cast<uint16_t>(nRecords * kRecordSize));
            StoreBe16(pPacket + 6, ids[nSlot]);
            for (size_t nRecord = 0; nRecord < nRecords; ++nRecord)
                StoreBe64(pPacket + kHeaderSize + nRecord * kRecordSize + 8, nTimestamp++);
            vectors[nSlot].iov_len = kHeaderSize + nRecords * kRecordSize;
        }

        size_t nSentInBatch = 0;
        Clock::time_point stallDeadline = Clock::now() + std::chrono::milliseconds(kStallLimitMs);
        while (nSentInBatch < nBatch) {
            const int nSent = ::sendmmsg(m_nEventSocket, messages.data() + nSentInBatch,
                                         static_cast<unsigned int>(nBatch - nSentInBatch), 0);
            if (nSent > 0) {
                nSentInBatch += size_t(nSent);
                stallDeadline = Clock::now() + std::chrono::milliseconds(kStallLimitMs);
                continue;
            }
            if (nSent < 0 && errno == EINTR)
                continue;
            if (nSent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == ENOBUFS)
                && RemainingMs(stallDeadline) > 0) {
                const bool bNoBuffers = errno == ENOBUFS;
                WaitWritable(m_nEventSocket, std::min(RemainingMs(stallDeadline), 100), bNoBuffers);
                continue;
            }
            Fail(nSent < 0 ? ErrnoText("sendmmsg message channel") : std::string("sendmmsg sent nothing"));
            // Unsent packets give their ids back, so the producer sees no gap that was not there.
            SetNextRequestId(ids[nSentInBatch]);
            nDone += nSentInBatch;
            if (nSentInBatch > 0) {
                const unsigned char* pLast = buffer.data() + (nSentInBatch - 1) * nStride;
                m_lastPacket.assign(reinterpret_cast<const char*>(pLast), vectors[nSentInBatch - 1].iov_len);
                m_nLastRequestId = ids[nSentInBatch - 1];
            }
            return nDone;
        }
        nDone += nBatch;
        nLastSlot = nBatch - 1;
    }
    const unsigned char* pLast = buffer.data() + nLastSlot * nStride;
    m_lastPacket.assign(reinterpret_cast<const char*>(pLast), vectors[nLastSlot].iov_len);
    m_nLastRequestId = ids[nLastSlot];
    return nDone;
}

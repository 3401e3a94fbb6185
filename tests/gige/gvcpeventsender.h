#pragma once
// The camera end of a GigE Vision message channel, for tests and the benchmark. Aravis's fake GigE
// camera keeps the channel registers our producer writes but never sends an event, so this class reads
// where the producer listens (over GVCP, from the fake camera) and sends EVENT / EVENTDATA commands
// there itself, from its own UDP socket on 127.0.0.1, counting the producer's acknowledgements.
// No threads: the caller polls. Errors return false / 0 and leave a message in LastError().

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include <netinet/in.h>

class GvcpEventSender
{
public:
    struct Event {
        uint16_t nId = 0;
        uint16_t nStreamChannel = 0xFFFF; // 0xFFFF: not tied to a stream channel
        uint16_t nBlockId = 0;
        uint64_t nTimestamp = 0;
        std::string data; // EVENTDATA only
    };

    enum class Malformation {
        TooShort,         // fewer bytes than a command header
        WrongKey,         // first byte not 0x42
        LengthMismatch,   // header length claims one record more than the payload has
        UnalignedPayload, // EVENT_CMD payload not a multiple of 16 (length field consistent)
    };

    static constexpr uint32_t kRegMessageChannelCount = 0x0900;
    static constexpr uint32_t kRegGvcpCapability = 0x0934;
    // A GVCP datagram stays within 576 bytes on the wire: minus IP (20), UDP (8) and GVCP (8) headers.
    static constexpr size_t kMaxPayload = 540;
    static constexpr size_t kRecordSize = 16;
    static constexpr size_t kMaxRecordsPerPacket = kMaxPayload / kRecordSize; // 33
    static constexpr size_t kMaxEventData = kMaxPayload - kRecordSize;        // 524

    GvcpEventSender();
    ~GvcpEventSender();
    GvcpEventSender(const GvcpEventSender&) = delete;
    GvcpEventSender& operator=(const GvcpEventSender&) = delete;

    // Camera register access at 127.0.0.1:3956 (READREG / WRITEREG, 200 ms per try, 3 tries). The fake
    // camera silently drops writes from anyone but its controlling client, so a write while our producer
    // holds control fails here with a timeout.
    bool ReadRegister(uint32_t nAddress, uint32_t& nValue);
    bool WriteRegister(uint32_t nAddress, uint32_t nValue);

    // Reads where the producer listens (MCP, MCDA) and its timeout and retries (MCTT, MCRC). True when the
    // registers were read, even if the channel is closed (host port 0).
    bool ReadChannel();
    // Points the sender at a receiver directly, without asking a camera (nDestination in host order).
    void SetChannel(uint32_t nDestination, uint16_t nHostPort);

    uint16_t HostPort() const { return m_nHostPort; }
    uint32_t Destination() const { return m_nDestination; }
    uint32_t TimeoutMs() const { return m_nTimeoutMs; }
    uint32_t RetryCount() const { return m_nRetryCount; }
    // Port of the socket events come from (creates it if needed); 0 on failure.
    uint16_t LocalPort();

    // Each returns the request id it used, 0 on failure. At most kMaxRecordsPerPacket events per
    // packet, at most kMaxEventData data bytes.
    uint16_t SendEvents(const std::vector<Event>& events, bool bAckRequested = true);
    uint16_t SendEventData(const Event& event, bool bAckRequested = true);
    // Retransmits the last packet byte for byte (same request id), as a camera does when no ack came.
    // Returns its request id; 0 if nothing was sent yet or sending failed.
    uint16_t Resend();
    // Takes a request id, except TooShort, which has no room for one.
    bool SendMalformed(Malformation eKind);

    // Ids go 1..0xFFFF and wrap to 1; 0 is taken as 1. Skipping ids looks like lost packets.
    void SetNextRequestId(uint16_t nId);
    uint16_t NextRequestId() const { return m_nNextRequestId; }

    // True once nCount EVENT_ACKs / EVENTDATA_ACKs with this id have come (any status).
    bool WaitAckCount(uint16_t nId, int nCount, int nTimeoutMs);
    bool WaitAck(uint16_t nId, int nTimeoutMs) { return WaitAckCount(nId, 1, nTimeoutMs); }

    // Benchmark: nEvents events of one id, nPerPacket records per EVENT_CMD, each packet asking for an ack
    // or not (acks are not read), time stamps counting up from nFirstTimestamp, at full speed or at a
    // camera's pace (events per second). Returns the packets sent; fewer than needed only on error.
    size_t SendBurst(uint16_t nEventId, size_t nEvents, size_t nPerPacket, uint64_t nFirstTimestamp,
                     bool bAckRequested = false, double dEventsPerSecond = 0);

    const std::string& LastError() const { return m_strLastError; }

private:
    bool EnsureControlSocket();
    bool EnsureEventSocket();
    bool ControlTransaction(uint16_t nCommand, const std::string& payload, std::string& ackPayload);
    bool CheckChannel();
    bool SendPacket(const std::string& packet, uint16_t nRequestId);
    void PollAcks(int nTimeoutMs);
    uint16_t TakeRequestId();
    bool Fail(const std::string& strError);

    int m_nControlSocket = -1;
    int m_nEventSocket = -1;
    sockaddr_in m_cameraAddress{};
    sockaddr_in m_channelAddress{};

    uint16_t m_nHostPort = 0;
    uint32_t m_nDestination = 0;
    uint32_t m_nTimeoutMs = 0;
    uint32_t m_nRetryCount = 0;

    uint16_t m_nNextRequestId = 1;
    uint16_t m_nLastRequestId = 0;
    uint16_t m_nNextControlId = 1;
    std::string m_lastPacket;

    std::vector<int> m_ackCounts;

    std::string m_strLastError;
};

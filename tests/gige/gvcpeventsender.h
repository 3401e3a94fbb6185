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

    // One datagram that came back on the event socket.
    struct Ack {
        uint16_t nStatus = 0;
        uint16_t nAnswer = 0;
        uint16_t nLength = 0;
        uint16_t nId = 0;
        uint16_t nFromPort = 0;
        size_t nSize = 0; // datagram bytes
    };

    enum class Malformation {
        TooShort,         // fewer bytes than a command header
        WrongKey,         // first byte not 0x42
        LengthMismatch,   // header length claims one record more than the payload has
        UnalignedPayload, // EVENT_CMD payload not a multiple of 16 (length field consistent)
    };

    static constexpr uint8_t kKey = 0x42;
    static constexpr uint8_t kFlagAckRequired = 0x01;

    static constexpr uint16_t kReadRegCmd = 0x0080;
    static constexpr uint16_t kReadRegAck = 0x0081;
    static constexpr uint16_t kWriteRegCmd = 0x0082;
    static constexpr uint16_t kWriteRegAck = 0x0083;
    static constexpr uint16_t kEventCmd = 0x00C0;
    static constexpr uint16_t kEventAck = 0x00C1;
    static constexpr uint16_t kEventDataCmd = 0x00C2;
    static constexpr uint16_t kEventDataAck = 0x00C3;

    static constexpr uint32_t kRegMessageChannelCount = 0x0900;
    static constexpr uint32_t kRegGvcpCapability = 0x0934;
    static constexpr uint32_t kRegMessageChannelPort = 0x0B00;
    static constexpr uint32_t kRegMessageDestination = 0x0B10;
    static constexpr uint32_t kRegMessageTimeout = 0x0B14;
    static constexpr uint32_t kRegMessageRetryCount = 0x0B18;
    static constexpr uint32_t kCapabilityEvent = 0x08;
    static constexpr uint32_t kCapabilityEventData = 0x10;

    static constexpr size_t kHeaderSize = 8;
    static constexpr size_t kRecordSize = 16;
    // A GVCP datagram stays within 576 bytes on the wire: minus IP (20), UDP (8) and GVCP (8) headers.
    static constexpr size_t kMaxPayload = 540;
    static constexpr size_t kMaxRecordsPerPacket = kMaxPayload / kRecordSize; // 33
    static constexpr size_t kMaxEventData = kMaxPayload - kRecordSize;        // 524

    static constexpr int kControlTimeoutMs = 200;
    static constexpr int kControlTries = 3;

    GvcpEventSender();
    ~GvcpEventSender();
    GvcpEventSender(const GvcpEventSender&) = delete;
    GvcpEventSender& operator=(const GvcpEventSender&) = delete;

    // Camera register access (READREG / WRITEREG, ~200 ms per try, 3 tries). The camera defaults to
    // 127.0.0.1:3956. The fake camera silently drops writes from anyone but its controlling client,
    // so a write while our producer holds control fails here with a timeout.
    bool SetCamera(const std::string& strCameraIp, uint16_t nGvcpPort);
    bool ReadRegister(uint32_t nAddress, uint32_t& nValue);
    bool WriteRegister(uint32_t nAddress, uint32_t nValue);
    // One READREG for all addresses; the ones the answer leaves out are read one by one.
    bool ReadRegisters(const std::vector<uint32_t>& addresses, std::vector<uint32_t>& values);

    // Reads MCP, MCDA, MCTT and MCRC. True when the registers were read, even if the channel is closed
    // (host port 0); IsChannelOpen() tells.
    bool ReadChannel(const std::string& strCameraIp = "127.0.0.1", uint16_t nGvcpPort = 3956);
    // Repeats ReadChannel until the channel is open or the time is up.
    bool WaitChannelOpen(int nTimeoutMs, const std::string& strCameraIp = "127.0.0.1", uint16_t nGvcpPort = 3956);
    // Points the sender at a receiver directly, without asking a camera (nDestination in host order).
    void SetChannel(uint32_t nDestination, uint16_t nHostPort);

    uint16_t HostPort() const { return m_nHostPort; }
    uint32_t Destination() const { return m_nDestination; }
    uint32_t TimeoutMs() const { return m_nTimeoutMs; }
    uint32_t RetryCount() const { return m_nRetryCount; }
    bool IsChannelOpen() const { return m_nHostPort != 0 && m_nDestination != 0; }
    // Port of the socket events come from (creates it if needed); 0 on failure.
    uint16_t LocalPort();

    // Each returns the request id it used, 0 on failure. At most kMaxRecordsPerPacket events per
    // packet, at most kMaxEventData data bytes; use the Build* helpers with SendRaw to break the limits.
    uint16_t SendEvents(const std::vector<Event>& events, bool bAckRequested = true);
    uint16_t SendEventData(const Event& event, bool bAckRequested = true);
    // Retransmits the last packet byte for byte (same request id), as a camera does when no ack came.
    // Returns its request id; 0 if nothing was sent yet, sending failed or the packet has no id.
    uint16_t Resend();
    // Sends bytes as they are; they become the packet Resend() repeats.
    bool SendRaw(const std::string& bytes);
    // Takes a request id, except TooShort, which has no room for one (LastRequestId() is then 0).
    bool SendMalformed(Malformation eKind);

    // Ids go 1..0xFFFF and wrap to 1; 0 is taken as 1. Skipping ids looks like lost packets.
    void SetNextRequestId(uint16_t nId);
    uint16_t NextRequestId() const { return m_nNextRequestId; }
    uint16_t LastRequestId() const { return m_nLastRequestId; }
    const std::string& LastPacket() const { return m_lastPacket; }

    // Reads whatever arrived on the event socket, waiting up to nTimeoutMs for the first datagram.
    // Returns the number of datagrams read.
    int PollAcks(int nTimeoutMs = 0);
    // True once an EVENT_ACK or EVENTDATA_ACK with this id has been seen (any status; see Acks()).
    bool WaitAck(uint16_t nId, int nTimeoutMs);
    bool WaitAckCount(uint16_t nId, int nCount, int nTimeoutMs);
    int AckCount(uint16_t nId) const { return m_ackCounts[nId]; }
    int TotalAckCount() const { return m_nTotalAcks; }
    // Datagrams that were not an EVENT_ACK / EVENTDATA_ACK, too short ones included.
    int StrayCount() const { return m_nStrays; }
    const std::vector<Ack>& Acks() const { return m_acks; }
    void ClearAcks();

    // Benchmark: nEvents events of one id, nPerPacket records per EVENT_CMD, each packet asking for an ack
    // or not (acks are not read), time stamps counting up from nFirstTimestamp, at full speed or at a
    // camera's pace (events per second). Returns the packets sent; fewer than needed only on error.
    size_t SendBurst(uint16_t nEventId, size_t nEvents, size_t nPerPacket, uint64_t nFirstTimestamp,
                     bool bAckRequested = false, double dEventsPerSecond = 0);

    const std::string& LastError() const { return m_strLastError; }

    // Packet builders without limits or checks.
    static std::string BuildEventPacket(const std::vector<Event>& events, uint16_t nRequestId, bool bAckRequested);
    static std::string BuildEventDataPacket(const Event& event, uint16_t nRequestId, bool bAckRequested);
    static std::string BuildMalformed(Malformation eKind, uint16_t nRequestId);
    // An EVENT_CMD with one record whose header length is the real one plus nLengthDelta.
    static std::string BuildLengthMismatch(uint16_t nRequestId, int nLengthDelta);
    static bool IsAllowedDestination(uint32_t nAddress);

private:
    bool EnsureControlSocket();
    bool EnsureEventSocket();
    bool ControlTransaction(uint16_t nCommand, const std::string& payload, std::string& ackPayload);
    bool CheckChannel();
    bool SendPacket(const std::string& packet, uint16_t nRequestId);
    bool WaitWritable(int nTimeoutMs, bool bNoBuffers);
    void ReadAck(const unsigned char* pData, size_t nSize, uint16_t nFromPort);
    uint16_t TakeRequestId();
    uint16_t TakeControlId();
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
    std::vector<Ack> m_acks;
    int m_nTotalAcks = 0;
    int m_nStrays = 0;

    std::string m_strLastError;
};

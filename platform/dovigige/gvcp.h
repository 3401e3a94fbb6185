#pragma once
// GigE Vision control protocol (GVCP) facts this producer needs: packet header, commands, status codes
// and the bootstrap registers it reads or writes. Everything on the wire is big-endian.

#include <cstddef>
#include <cstdint>
#include <string>

namespace dovigige {

constexpr uint16_t kGvcpPort = 3956;
constexpr uint8_t kGvcpKey = 0x42;
constexpr uint8_t kFlagAckRequired = 0x01;
constexpr uint8_t kFlagExtendedIds = 0x10;
constexpr size_t kHeaderSize = 8;

enum GvcpCommand : uint16_t {
    kDiscoveryCmd = 0x0002, kDiscoveryAck = 0x0003,
    kReadRegCmd = 0x0080, kReadRegAck = 0x0081,
    kReadMemCmd = 0x0084, kReadMemAck = 0x0085,
    kEventCmd = 0x00C0, kEventAck = 0x00C1,
    kEventDataCmd = 0x00C2, kEventDataAck = 0x00C3,
};

constexpr uint16_t kStatusSuccess = 0x0000;
constexpr uint16_t kStatusAccessDenied = 0x8006;

// Bootstrap registers.
constexpr uint32_t kRegXmlUrl0 = 0x0200;
constexpr uint32_t kRegXmlUrl1 = 0x0400;
constexpr uint32_t kXmlUrlSize = 512;
constexpr uint32_t kRegMessageChannels = 0x0900;
constexpr uint32_t kRegGvcpCapability = 0x0934;
constexpr uint32_t kRegTickFrequencyHigh = 0x093C;
constexpr uint32_t kRegTickFrequencyLow = 0x0940;
constexpr uint32_t kRegControlPrivilege = 0x0A00;
constexpr uint32_t kRegMessagePort = 0x0B00;
constexpr uint32_t kRegMessageDestination = 0x0B10;
constexpr uint32_t kRegMessageTimeout = 0x0B14;
constexpr uint32_t kRegMessageRetries = 0x0B18;

constexpr uint32_t kCapabilityEvent = 1u << 3;
constexpr uint32_t kCapabilityEventData = 1u << 4;
constexpr uint32_t kPrivilegeExclusive = 1u << 0;
constexpr uint32_t kPrivilegeControl = 1u << 1;

// Discovery answer layout (the first bootstrap registers).
constexpr size_t kDiscoveryDataSize = 0xF8;
constexpr size_t kOffMacHigh = 0x08, kOffMacLow = 0x0C, kOffIp = 0x24, kOffMask = 0x34;
constexpr size_t kOffVendor = 0x48, kOffModel = 0x68, kOffVersion = 0x88, kOffInfo = 0xA8;
constexpr size_t kOffSerial = 0xD8, kOffUserName = 0xE8;

inline uint16_t Get16(const uint8_t* p) { return uint16_t((p[0] << 8) | p[1]); }
inline uint32_t Get32(const uint8_t* p) { return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3]; }
inline void Put16(uint8_t* p, uint16_t v) { p[0] = uint8_t(v >> 8); p[1] = uint8_t(v); }
inline void Put32(uint8_t* p, uint32_t v) { p[0] = uint8_t(v >> 24); p[1] = uint8_t(v >> 16); p[2] = uint8_t(v >> 8); p[3] = uint8_t(v); }

// A fixed-size text field of the bootstrap registers, up to its first NUL.
inline std::string FieldText(const uint8_t* p, size_t nMax)
{
    size_t n = 0;
    while (n < nMax && p[n])
        ++n;
    return std::string(reinterpret_cast<const char*>(p), n);
}

inline void PutCommandHeader(uint8_t* p, uint8_t nFlags, uint16_t nCommand, uint16_t nLength, uint16_t nId)
{
    p[0] = kGvcpKey;
    p[1] = nFlags;
    Put16(p + 2, nCommand);
    Put16(p + 4, nLength);
    Put16(p + 6, nId);
}

inline void PutAckHeader(uint8_t* p, uint16_t nStatus, uint16_t nAnswer, uint16_t nLength, uint16_t nId)
{
    Put16(p, nStatus);
    Put16(p + 2, nAnswer);
    Put16(p + 4, nLength);
    Put16(p + 6, nId);
}

} // namespace dovigige

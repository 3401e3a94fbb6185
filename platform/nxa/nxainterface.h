#pragma once
// Device access: one instance per use (enumeration, or one connected device), created with
// NXACreateInstance(NXA_CAMERA_INTERFACE, &p) and freed with NXAReleaseInstance(p).
//
// Results are 0 for success, otherwise a GenTL error code (gentl.h), for example:
//   -1002 GC_ERR_NOT_INITIALIZED  no device open on this instance, or its description was rejected
//   -1003 GC_ERR_NOT_IMPLEMENTED  the producer file is not a GenTL producer
//   -1004 GC_ERR_RESOURCE_IN_USE  this instance already has a device open
//   -1007 GC_ERR_INVALID_ID       unknown device or feature name
//   -1009 GC_ERR_INVALID_PARAMETER bad argument, a feature of another type, a file name that is not "*.cti"
//   -1014 GC_ERR_NOT_AVAILABLE    producer file missing; feature or enumeration entry not available now
//   -1016 GC_ERR_BUFFER_TOO_SMALL caller's buffer too small (the needed length is reported)
//   -1019 GC_ERR_INVALID_VALUE    no enumeration entry has that value
// and any code the producer itself returns (a refused open, a failed register access).
// The exception is GetIntValue: it returns 1 when the value was read and 0 otherwise.

#include "nxa_global.h"

#include <cstddef>
#include <cstdint>

// Device record, 560 bytes, copied by value by callers.
//   szKey          device ID (first 63 bytes)
//   nKeyNumber     FNV-1a hash of the full device ID and serial number: with szKey, the device's key; the
//                  same device reached through two producers has the same key
//   bUseAltName    set when the device has a user-defined name
//   szDeviceName   model name
//   szLabelDetail  serial number
//   szAltName      user-defined name (UTF-8)
//   szProducer     library-private: the producer file that reported the device
struct DeviceInfo {
    unsigned char szKey[64];
    uint32_t nDeviceNumber;
    char szProducer[64];
    uint32_t nReserved0;
    uint32_t nKeyNumber;
    uint32_t nReserved1[2];
    uint8_t bUseAltName;
    unsigned char szDeviceName[64];
    char szLabelDetail[256];
    char szAltName[91];
};

constexpr int NXA_MAX_DEVICES = 256;

struct DeviceInfoList {
    uint32_t nCount;
    DeviceInfo* pItems[NXA_MAX_DEVICES];
};

constexpr int NXA_MAX_ENUM_VALUES = 134;

// Enumeration value: current value, then the supported values in device order.
struct EnumValue {
    uint32_t nCurValue;
    uint32_t nCount;
    uint32_t nSupportValue[NXA_MAX_ENUM_VALUES];
};

// Integer value: the caller zero-fills it; nCurValue is the low 32 bits of nValue64.
struct IntValue {
    int32_t nCurValue;
    uint32_t nReserved0;
    int64_t nValue64;
    uint8_t reserved[80];
};

// One device event. The time stamp is in device ticks.
struct EventRecord {
    char szEventName[128];
    uint16_t nEventId;
    uint16_t nStreamChannel;
    uint16_t nBlockId;
    uint16_t nReserved0;
    uint32_t nDataSize;
    uint32_t nTimestampHigh;
    uint32_t nTimestampLow;
    uint8_t data[108];
};

static_assert(sizeof(DeviceInfo) == 560, "DeviceInfo is 560 bytes");
static_assert(offsetof(DeviceInfo, nDeviceNumber) == 64, "DeviceInfo layout");
static_assert(offsetof(DeviceInfo, nKeyNumber) == 136, "DeviceInfo layout");
static_assert(offsetof(DeviceInfo, bUseAltName) == 148, "DeviceInfo layout");
static_assert(offsetof(DeviceInfo, szDeviceName) == 149, "DeviceInfo layout");
static_assert(offsetof(DeviceInfo, szLabelDetail) == 213, "DeviceInfo layout");
static_assert(offsetof(DeviceInfo, szAltName) == 469, "DeviceInfo layout");
static_assert(offsetof(DeviceInfoList, nCount) == 0, "DeviceInfoList layout");
static_assert(sizeof(DeviceInfoList::pItems) == NXA_MAX_DEVICES * sizeof(void*), "DeviceInfoList layout");
static_assert(sizeof(EnumValue) == 544, "EnumValue is 544 bytes");
static_assert(offsetof(EnumValue, nCount) == 4 && offsetof(EnumValue, nSupportValue) == 8, "EnumValue layout");
static_assert(sizeof(IntValue) == 96 && offsetof(IntValue, nCurValue) == 0, "IntValue layout");
static_assert(offsetof(EventRecord, nEventId) == 128, "EventRecord layout");
static_assert(offsetof(EventRecord, nTimestampHigh) == 140, "EventRecord layout");
static_assert(offsetof(EventRecord, nTimestampLow) == 144, "EventRecord layout");
static_assert(sizeof(EventRecord) == 256, "EventRecord layout");

// Creation argument for a camera (GenTL device) instance.
constexpr int NXA_CAMERA_INTERFACE = 1;

// OpenDevice access modes.
enum NXAAccessMode { NXA_ACCESS_READONLY = 0, NXA_ACCESS_CONTROL = 1, NXA_ACCESS_EXCLUSIVE = 2 };

typedef void (*NXAEventCallback)(EventRecord* pRecord, void* pUser);

class NXA_EXPORT CInterface
{
public:
    virtual ~CInterface();
    virtual int InterfaceType() const = 0;
};

class NXA_EXPORT CCamInterface : public CInterface
{
public:
    // Devices the producer file (bare name, local 8-bit, in the producers' folder) reaches. The records
    // stay valid until the next call on this instance.
    virtual int EnumDevices(DeviceInfoList* pList, const char* szProducerFile) = 0;
    // Opens the device of a record from EnumDevices (of any instance); one device per instance.
    virtual int OpenDevice(void** ppHandle, const DeviceInfo* pInfo, int nAccessMode) = 0;
    // Stops event delivery (no callback runs after it returns) and closes the device.
    virtual int CloseDevice(void* pHandle) = 0;
    // The description as text. On success *pLength is its size without the NUL; when the buffer is too
    // small, *pLength is the capacity needed (so at least nCapacity) and nothing is copied.
    virtual int GetXmlDescription(char* pBuffer, unsigned nCapacity, unsigned* pLength) = 0;
    virtual int GetXmlTranslation(char* pBuffer, unsigned nCapacity, unsigned* pLength) = 0;
    // The callback runs on the instance's event thread, once per device event; null stops delivery.
    virtual int RegisterEventCallback(NXAEventCallback pCallback, void* pUser) = 0;
    // bCheckAvailable: refuse a feature that is not available now. Returns 1 when read, 0 otherwise.
    virtual int GetIntValue(const char* szName, IntValue* pValue, bool bCheckAvailable) = 0;
    // bAvailableOnly: list the entries available now (else every entry) and refuse an unavailable feature.
    virtual int GetEnumValue(const char* szName, EnumValue* pValue, bool bAvailableOnly) = 0;
    virtual int SetEnumValue(const char* szName, unsigned int nValue) = 0;
};

// The health of an instance's open device. nPortError is the first transport failure of the device's
// port since it was opened (GC_ERR_TIMEOUT or GC_ERR_IO: the device stopped answering), 0 when none.
// nEventEndCode is 0 while events can arrive, else the GenTL code with which the producer ended them (for
// example GC_ERR_IO when the camera went away). nLost counts event packets the device sent that never
// arrived (a packet may carry several events), nMalformed the packets refused as malformed, where the
// producer reports them (a GigE Vision message channel does); nDropped the events this library could not
// read (shorter than an event header, or of an absurd size). nEventsRefused is the producer's answer when
// the events were last asked for: 0, or why this device cannot send any (GC_ERR_NOT_AVAILABLE for a camera
// without a message channel). nReceiveBuffer is the size the system granted the socket the events arrive
// on, where the producer reports it (0 otherwise).
struct NXADeviceStatus {
    int32_t nPortError;
    int32_t nEventEndCode;
    uint64_t nLost;
    uint64_t nMalformed;
    uint64_t nDropped;
    int32_t nEventsRefused;
    uint64_t nReceiveBuffer;
    uint64_t nOverflow; // events the producer dropped because nobody took them in time (our producers)
};

struct NXAProducerInfo {
    char szTlType[32];
    char szVendor[128];
    char szModel[128];
    char szVersion[64];
    uint32_t nDevices;
    int32_t nError;
    char szProblems[1024]; // what the producer could not use (our producers: refused device files), one per line
};

// Visibility of a feature or an entry (a node without one counts as Beginner).
enum NXAVisibility { NXA_VISIBILITY_BEGINNER = 0, NXA_VISIBILITY_EXPERT = 1, NXA_VISIBILITY_GURU = 2,
                     NXA_VISIBILITY_INVISIBLE = 3 };

// A feature node as the description presents it (UTF-8; the display name falls back to the name; texts
// that do not fit are cut at a character boundary).
struct NXANodeInfo {
    char szName[128];
    char szDisplayName[128];
    char szToolTip[512];
    int32_t nVisibility;
};

// One entry of an enumeration: its node, its value, and what the device says of it now.
struct NXAEnumEntryInfo {
    NXANodeInfo node;
    int64_t nValue;
    uint8_t bImplemented;
    uint8_t bAvailable;
    uint8_t reserved[6];
};

static_assert(sizeof(NXANodeInfo) == 772, "NXANodeInfo layout");
static_assert(offsetof(NXAEnumEntryInfo, nValue) == 776 && sizeof(NXAEnumEntryInfo) == 792, "NXAEnumEntryInfo layout");

extern "C" {
NXA_EXPORT int NXACreateInstance(int nType, CInterface** ppInterface);
NXA_EXPORT int NXAReleaseInstance(CInterface* pInterface);
// 0 and the status of the instance's open device; GC_ERR_NOT_INITIALIZED when none is open.
NXA_EXPORT int NXAGetDeviceStatus(CInterface* pInterface, NXADeviceStatus* pStatus);
// What a producer file (bare name in the producers' folder, or absolute path) says of itself: 0 and its
// TL type, vendor, model and version (TLGetInfo) with its number of devices, else the error that stopped
// it (nError, also returned).
NXA_EXPORT int NXAGetProducerInfo(const char* szProducerFile, NXAProducerInfo* pInfo);
// Every entry of an enumeration of the instance's open device, in document order, whether implemented and
// available or not (entries are named, so that callers never rely on values). *pCount is the number of
// entries; GC_ERR_BUFFER_TOO_SMALL (nothing copied) when nCapacity is below it.
NXA_EXPORT int NXAGetEnumEntries(CInterface* pInterface, const char* szFeature, NXAEnumEntryInfo* pEntries,
                                 uint32_t nCapacity, uint32_t* pCount);
// The first category in document order that lists the feature. GC_ERR_INVALID_ID for an unknown feature,
// GC_ERR_NOT_AVAILABLE when no category lists it.
NXA_EXPORT int NXAGetFeatureCategory(CInterface* pInterface, const char* szFeature, NXANodeInfo* pCategory);
}

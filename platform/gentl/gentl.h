#pragma once
// The GenTL C interface (EMVA GenICam GenTL 1.5) as our consumer calls it and our producers export it:
// types, the values of the enumerations, the function signatures and the list of every producer function.

#include <cstddef>
#include <cstdint>

extern "C" {

typedef int32_t GC_ERROR;
typedef void* TL_HANDLE;
typedef void* IF_HANDLE;
typedef void* DEV_HANDLE;
typedef void* PORT_HANDLE;
typedef void* EVENTSRC_HANDLE;
typedef void* EVENT_HANDLE;
typedef void* DS_HANDLE;
typedef void* BUFFER_HANDLE;
typedef int8_t bool8_t;

enum GC_ERROR_LIST : int32_t {
    GC_ERR_SUCCESS = 0,
    GC_ERR_ERROR = -1001,
    GC_ERR_NOT_INITIALIZED = -1002,
    GC_ERR_NOT_IMPLEMENTED = -1003,
    GC_ERR_RESOURCE_IN_USE = -1004,
    GC_ERR_ACCESS_DENIED = -1005,
    GC_ERR_INVALID_HANDLE = -1006,
    GC_ERR_INVALID_ID = -1007,
    GC_ERR_NO_DATA = -1008,
    GC_ERR_INVALID_PARAMETER = -1009,
    GC_ERR_IO = -1010,
    GC_ERR_TIMEOUT = -1011,
    GC_ERR_ABORT = -1012,
    GC_ERR_INVALID_BUFFER = -1013,
    GC_ERR_NOT_AVAILABLE = -1014,
    GC_ERR_INVALID_ADDRESS = -1015,
    GC_ERR_BUFFER_TOO_SMALL = -1016,
    GC_ERR_INVALID_INDEX = -1017,
    GC_ERR_PARSING_CHUNK_DATA = -1018,
    GC_ERR_INVALID_VALUE = -1019,
    GC_ERR_RESOURCE_EXHAUSTED = -1020,
    GC_ERR_OUT_OF_MEMORY = -1021,
    GC_ERR_BUSY = -1022,
    GC_ERR_AMBIGUOUS = -1023,
    GC_ERR_CUSTOM_ID = -10000
};

typedef int32_t INFO_DATATYPE;
enum INFO_DATATYPE_LIST : int32_t {
    INFO_DATATYPE_UNKNOWN = 0, INFO_DATATYPE_STRING = 1, INFO_DATATYPE_STRINGLIST = 2, INFO_DATATYPE_INT16 = 3,
    INFO_DATATYPE_UINT16 = 4, INFO_DATATYPE_INT32 = 5, INFO_DATATYPE_UINT32 = 6, INFO_DATATYPE_INT64 = 7,
    INFO_DATATYPE_UINT64 = 8, INFO_DATATYPE_FLOAT64 = 9, INFO_DATATYPE_PTR = 10, INFO_DATATYPE_BOOL8 = 11,
    INFO_DATATYPE_SIZET = 12, INFO_DATATYPE_BUFFER = 13, INFO_DATATYPE_PTRDIFF = 14
};

typedef int32_t TL_INFO_CMD;
enum TL_INFO_CMD_LIST : int32_t {
    TL_INFO_ID = 0, TL_INFO_VENDOR = 1, TL_INFO_MODEL = 2, TL_INFO_VERSION = 3, TL_INFO_TLTYPE = 4,
    TL_INFO_NAME = 5, TL_INFO_PATHNAME = 6, TL_INFO_DISPLAYNAME = 7, TL_INFO_CHAR_ENCODING = 8,
    TL_INFO_GENTL_VER_MAJOR = 9, TL_INFO_GENTL_VER_MINOR = 10,
    TL_INFO_CUSTOM_ID = 1000,
    // Our producers count their remote-device port calls since they were loaded, and the network
    // transactions behind them where there is a network (UINT64 each).
    TL_INFO_DOVI_PORT_READS = 1000, TL_INFO_DOVI_PORT_WRITES = 1001, TL_INFO_DOVI_TRANSACTIONS = 1002,
    // What the producer could not use at its last list (a device file it refused, with why), one per line;
    // empty when nothing (STRING).
    TL_INFO_DOVI_PROBLEMS = 1003
};

typedef int32_t INTERFACE_INFO_CMD;
enum INTERFACE_INFO_CMD_LIST : int32_t {
    INTERFACE_INFO_ID = 0, INTERFACE_INFO_DISPLAYNAME = 1, INTERFACE_INFO_TLTYPE = 2,
    INTERFACE_INFO_CUSTOM_ID = 1000,
    // Our GigE Vision producer's network interface data (UINT32 in host order, MAC as UINT64).
    INTERFACE_INFO_DOVI_IP_ADDRESS = 1000, INTERFACE_INFO_DOVI_SUBNET_MASK = 1001, INTERFACE_INFO_DOVI_MAC = 1002
};

typedef int32_t DEVICE_INFO_CMD;
enum DEVICE_INFO_CMD_LIST : int32_t {
    DEVICE_INFO_ID = 0, DEVICE_INFO_VENDOR = 1, DEVICE_INFO_MODEL = 2, DEVICE_INFO_TLTYPE = 3,
    DEVICE_INFO_DISPLAYNAME = 4, DEVICE_INFO_ACCESS_STATUS = 5, DEVICE_INFO_USER_DEFINED_NAME = 6,
    DEVICE_INFO_SERIAL_NUMBER = 7, DEVICE_INFO_VERSION = 8, DEVICE_INFO_TIMESTAMP_FREQUENCY = 9,
    DEVICE_INFO_CUSTOM_ID = 1000,
    // Our GigE Vision producer's camera address (UINT32 in host order) and MAC (UINT64); our producers'
    // remote-device port calls of an open device since it was opened (UINT64).
    DEVICE_INFO_DOVI_IP_ADDRESS = 1000, DEVICE_INFO_DOVI_MAC = 1001,
    DEVICE_INFO_DOVI_PORT_READS = 1002, DEVICE_INFO_DOVI_PORT_WRITES = 1003
};

typedef int32_t DEVICE_ACCESS_FLAGS;
enum DEVICE_ACCESS_FLAGS_LIST : int32_t {
    DEVICE_ACCESS_UNKNOWN = 0, DEVICE_ACCESS_NONE = 1, DEVICE_ACCESS_READONLY = 2, DEVICE_ACCESS_CONTROL = 3,
    DEVICE_ACCESS_EXCLUSIVE = 4
};

typedef int32_t DEVICE_ACCESS_STATUS;
enum DEVICE_ACCESS_STATUS_LIST : int32_t {
    DEVICE_ACCESS_STATUS_UNKNOWN = 0, DEVICE_ACCESS_STATUS_READWRITE = 1, DEVICE_ACCESS_STATUS_READONLY = 2,
    DEVICE_ACCESS_STATUS_NOACCESS = 3, DEVICE_ACCESS_STATUS_BUSY = 4, DEVICE_ACCESS_STATUS_OPEN_READWRITE = 5,
    DEVICE_ACCESS_STATUS_OPEN_READONLY = 6
};

typedef int32_t PORT_INFO_CMD;
enum PORT_INFO_CMD_LIST : int32_t {
    PORT_INFO_ID = 0, PORT_INFO_VENDOR = 1, PORT_INFO_MODEL = 2, PORT_INFO_TLTYPE = 3, PORT_INFO_MODULE = 4,
    PORT_INFO_LITTLE_ENDIAN = 5, PORT_INFO_BIG_ENDIAN = 6, PORT_INFO_ACCESS_READ = 7, PORT_INFO_ACCESS_WRITE = 8,
    PORT_INFO_ACCESS_NA = 9, PORT_INFO_ACCESS_NI = 10, PORT_INFO_VERSION = 11, PORT_INFO_PORTNAME = 12
};

typedef int32_t URL_INFO_CMD;
enum URL_INFO_CMD_LIST : int32_t {
    URL_INFO_URL = 0, URL_INFO_SCHEMA_VER_MAJOR = 1, URL_INFO_SCHEMA_VER_MINOR = 2, URL_INFO_FILE_VER_MAJOR = 3,
    URL_INFO_FILE_VER_MINOR = 4, URL_INFO_FILE_VER_SUBMINOR = 5, URL_INFO_FILE_SHA1_HASH = 6,
    URL_INFO_FILE_REGISTER_ADDRESS = 7, URL_INFO_FILE_SIZE = 8, URL_INFO_SCHEME = 9, URL_INFO_FILENAME = 10
};

typedef int32_t EVENT_TYPE;
enum EVENT_TYPE_LIST : int32_t {
    EVENT_ERROR = 0, EVENT_NEW_BUFFER = 1, EVENT_FEATURE_INVALIDATE = 2, EVENT_FEATURE_CHANGE = 3,
    EVENT_REMOTE_DEVICE = 4, EVENT_MODULE = 5
};

typedef int32_t EVENT_INFO_CMD;
enum EVENT_INFO_CMD_LIST : int32_t {
    EVENT_EVENT_TYPE = 0, EVENT_NUM_IN_QUEUE = 1, EVENT_NUM_FIRED = 2, EVENT_SIZE_MAX = 3,
    EVENT_INFO_DATA_SIZE_MAX = 4,
    EVENT_INFO_CUSTOM_ID = 1000,
    // Events announced by the device that never arrived (request ids skipped on a GigE Vision message
    // channel), and packets refused as malformed; both UINT64.
    EVENT_DOVI_NUM_LOST = 1000, EVENT_DOVI_NUM_MALFORMED = 1001, EVENT_DOVI_NUM_RESTARTS = 1002,
    EVENT_DOVI_RECEIVE_BUFFER = 1003,
    // Events the producer dropped because nobody took them and its queue was full (UINT64).
    EVENT_DOVI_NUM_OVERFLOW = 1004
};

typedef int32_t EVENT_DATA_INFO_CMD;
enum EVENT_DATA_INFO_CMD_LIST : int32_t {
    EVENT_DATA_ID = 0, EVENT_DATA_VALUE = 1, EVENT_DATA_NUMID = 2
};

typedef int32_t STREAM_INFO_CMD;
typedef int32_t BUFFER_INFO_CMD;
typedef int32_t BUFFER_PART_INFO_CMD;
typedef int32_t ACQ_START_FLAGS;
typedef int32_t ACQ_STOP_FLAGS;
typedef int32_t ACQ_QUEUE_TYPE;

struct PORT_REGISTER_STACK_ENTRY {
    uint64_t Address;
    void* pBuffer;
    size_t Size;
};

struct SINGLE_CHUNK_DATA {
    uint64_t ChunkID;
    ptrdiff_t ChunkOffset;
    size_t ChunkLength;
};

constexpr uint64_t GENTL_INFINITE = 0xFFFFFFFFFFFFFFFFULL;

// Every function of a GenTL 1.5 producer, as X(name): a producer exports all of them.
#define GENTL_PRODUCER_FUNCTIONS(X) \
    X(GCGetInfo) X(GCGetLastError) X(GCInitLib) X(GCCloseLib) X(GCReadPort) X(GCWritePort) X(GCGetPortURL) \
    X(GCGetPortInfo) X(GCRegisterEvent) X(GCUnregisterEvent) X(EventGetData) X(EventGetDataInfo) \
    X(EventGetInfo) X(EventFlush) X(EventKill) X(TLOpen) X(TLClose) X(TLGetInfo) X(TLGetNumInterfaces) \
    X(TLGetInterfaceID) X(TLGetInterfaceInfo) X(TLOpenInterface) X(TLUpdateInterfaceList) X(IFClose) \
    X(IFGetInfo) X(IFGetNumDevices) X(IFGetDeviceID) X(IFUpdateDeviceList) X(IFGetDeviceInfo) \
    X(IFOpenDevice) X(DevGetPort) X(DevGetNumDataStreams) X(DevGetDataStreamID) X(DevOpenDataStream) \
    X(DevGetInfo) X(DevClose) X(DSAnnounceBuffer) X(DSAllocAndAnnounceBuffer) X(DSFlushQueue) \
    X(DSStartAcquisition) X(DSStopAcquisition) X(DSGetInfo) X(DSGetBufferID) X(DSClose) X(DSRevokeBuffer) \
    X(DSQueueBuffer) X(DSGetBufferInfo) X(GCGetNumPortURLs) X(GCGetPortURLInfo) X(GCReadPortStacked) \
    X(GCWritePortStacked) X(DSGetBufferChunkData) X(IFGetParentTL) X(DevGetParentIF) X(DSGetParentDev) \
    X(DSGetNumBufferParts) X(DSGetBufferPartInfo)

// Function types, named as the consumer looks them up in a producer library.
typedef GC_ERROR (*PGCInitLib)();
typedef GC_ERROR (*PGCCloseLib)();
typedef GC_ERROR (*PGCGetInfo)(TL_INFO_CMD, INFO_DATATYPE*, void*, size_t*);
typedef GC_ERROR (*PGCGetLastError)(GC_ERROR*, char*, size_t*);
typedef GC_ERROR (*PTLOpen)(TL_HANDLE*);
typedef GC_ERROR (*PTLClose)(TL_HANDLE);
typedef GC_ERROR (*PTLGetInfo)(TL_HANDLE, TL_INFO_CMD, INFO_DATATYPE*, void*, size_t*);
typedef GC_ERROR (*PTLUpdateInterfaceList)(TL_HANDLE, bool8_t*, uint64_t);
typedef GC_ERROR (*PTLGetNumInterfaces)(TL_HANDLE, uint32_t*);
typedef GC_ERROR (*PTLGetInterfaceID)(TL_HANDLE, uint32_t, char*, size_t*);
typedef GC_ERROR (*PTLOpenInterface)(TL_HANDLE, const char*, IF_HANDLE*);
typedef GC_ERROR (*PIFClose)(IF_HANDLE);
typedef GC_ERROR (*PIFUpdateDeviceList)(IF_HANDLE, bool8_t*, uint64_t);
typedef GC_ERROR (*PIFGetNumDevices)(IF_HANDLE, uint32_t*);
typedef GC_ERROR (*PIFGetDeviceID)(IF_HANDLE, uint32_t, char*, size_t*);
typedef GC_ERROR (*PIFGetDeviceInfo)(IF_HANDLE, const char*, DEVICE_INFO_CMD, INFO_DATATYPE*, void*, size_t*);
typedef GC_ERROR (*PIFOpenDevice)(IF_HANDLE, const char*, DEVICE_ACCESS_FLAGS, DEV_HANDLE*);
typedef GC_ERROR (*PDevClose)(DEV_HANDLE);
typedef GC_ERROR (*PDevGetInfo)(DEV_HANDLE, DEVICE_INFO_CMD, INFO_DATATYPE*, void*, size_t*);
typedef GC_ERROR (*PDevGetPort)(DEV_HANDLE, PORT_HANDLE*);
typedef GC_ERROR (*PGCReadPort)(PORT_HANDLE, uint64_t, void*, size_t*);
typedef GC_ERROR (*PGCWritePort)(PORT_HANDLE, uint64_t, const void*, size_t*);
typedef GC_ERROR (*PGCGetNumPortURLs)(PORT_HANDLE, uint32_t*);
typedef GC_ERROR (*PGCGetPortURLInfo)(PORT_HANDLE, uint32_t, URL_INFO_CMD, INFO_DATATYPE*, void*, size_t*);
typedef GC_ERROR (*PGCRegisterEvent)(EVENTSRC_HANDLE, EVENT_TYPE, EVENT_HANDLE*);
typedef GC_ERROR (*PGCUnregisterEvent)(EVENTSRC_HANDLE, EVENT_TYPE);
typedef GC_ERROR (*PEventGetData)(EVENT_HANDLE, void*, size_t*, uint64_t);
typedef GC_ERROR (*PEventGetDataInfo)(EVENT_HANDLE, const void*, size_t, EVENT_DATA_INFO_CMD, INFO_DATATYPE*,
                                      void*, size_t*);
typedef GC_ERROR (*PEventFlush)(EVENT_HANDLE);
typedef GC_ERROR (*PEventKill)(EVENT_HANDLE);
typedef GC_ERROR (*PEventGetInfo)(EVENT_HANDLE, EVENT_INFO_CMD, INFO_DATATYPE*, void*, size_t*);

} // extern "C"

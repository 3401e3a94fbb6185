#pragma once
// One simulated device as its device file describes it. A device file is INI text:
//
//   [Device]       Id, Vendor, Model, Serial, UserName, Version, Interface (default "DoVISim0"),
//                  Description (XML file beside the device file), Translation (optional),
//                  DescriptionUrl = local | zip | file, TickFrequency (ticks per second),
//                  PortLatency (microseconds each port read or write takes, to stand for a network),
//                  EventDataInfo = <id>, <time stamp>[, <value size>]: the event data commands answer these
//                  instead of what the record's bytes say (the value is the record with them put in, cut to
//                  the value size when one is given, as a producer with short event values answers)
//   [Registers]    <feature> = <address>[:<size>]; EventNotification covers its whole table,
//                  TickFrequency names the 8-byte register the simulator fills from [Device] TickFrequency
//   [Memory]       <address> = <value>[:<size>]  initial register values (little-endian, default size 4)
//   [Poke]         <address> = <value>[:<size>]  written into an open device's memory each time the device
//                  file changes: another client writing the device behind the tool's back
//   [Events]       <any key> = <notification slot>, <event id>, <rate in Hz>
//                  the event is sent while the 32-bit notification register of its slot is not 0
//   [Faults]       Open = <code>
//                  SetEnum<n> = <feature>, <value>, <context>, <code>
//                  GetEnum<n> = <feature>, <context>, <code>
//                  Description = unloadable     (the description is served cut in half)
//                  Translation = absent         (no second port URL)
//                  <context> is "*" or "Feature=value;Feature=value" over registers named in [Registers].
//                  The faults of an open device follow later changes of its device file.
// The register memory is kept in the user's data folder ("DoVISimulator/<device id>.state" under
// $KESTREL_USER_DATA_DIR, else $XDG_DATA_HOME/Kestrel, else ~/.local/share/Kestrel; $DOVI_SIM_STATE_DIR
// names another folder) when the device is closed, and taken from there at the next open (the [Memory]
// values only count while there is no usable state file).

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace dovisim {

struct RegisterRange {
    uint64_t nAddress = 0;
    uint64_t nSize = 4;
};

struct SimEvent {
    uint32_t nSlot = 0;
    uint16_t nEventId = 0;
    double dRateHz = 0;
};

struct ContextCondition {
    std::string strFeature;
    uint32_t nValue = 0;
};

struct SetFault {
    std::string strFeature;
    uint32_t nValue = 0;
    std::vector<ContextCondition> context;
    int32_t nCode = 0;
};

struct GetFault {
    std::string strFeature;
    std::vector<ContextCondition> context;
    int32_t nCode = 0;
};

enum class UrlForm { Local, Zip, File };

struct SimDeviceDef {
    std::string strFile;            // the device file itself
    std::string strId, strVendor, strModel, strSerial, strUserName, strVersion, strInterface;
    std::string strDescriptionFile, strTranslationFile;
    UrlForm urlForm = UrlForm::Local;
    uint64_t nTickFrequency = 1000000000ULL;
    std::map<std::string, RegisterRange> registers;
    std::vector<std::pair<uint64_t, std::pair<uint64_t, uint32_t>>> memory; // address -> (value, size)
    std::vector<std::pair<uint64_t, std::pair<uint64_t, uint32_t>>> pokes;
    uint32_t nPortLatencyUs = 0;
    bool bEventInfoOverride = false;
    uint16_t nEventInfoId = 0;
    uint64_t nEventInfoTimestamp = 0;
    long long nEventInfoValueSize = -1; // whole record
    std::vector<SimEvent> events;
    int32_t nOpenFault = 0;
    std::vector<SetFault> setFaults;
    std::vector<GetFault> getFaults;
    bool bDescriptionUnloadable = false;
    bool bTranslationAbsent = false;
};

// Reads a device file; false with a reason for text that is not a usable device file.
bool loadDeviceDef(const std::string& strFile, SimDeviceDef& def, std::string& strError);
// The same for the text of a device file (strFile names it in the reason and in the definition).
bool parseDeviceDef(const std::string& text, const std::string& strFile, SimDeviceDef& def, std::string& strError);

// Device files (*.ini) of a folder, sorted by name.
std::vector<std::string> listDeviceFiles(const std::string& strFolder);

bool readWholeFile(const std::string& strFile, std::string& strContent);

} // namespace dovisim

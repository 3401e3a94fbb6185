#pragma once

#include "gvnetwork.h"

#include <cstdint>
#include <string>
#include <vector>

namespace dovigige {

// A camera as it answered the discovery on one network interface. Addresses in host byte order.
struct CameraRecord {
    NetInterface itf;
    uint32_t nAddress = 0;
    uint32_t nMask = 0;
    uint64_t nMac = 0;
    std::string strVendor, strModel, strVersion, strInfo, strSerial, strUserName;

    // Stable while the camera keeps its serial number: "<vendor>-<serial>", or its MAC without one.
    std::string Id() const;
};

// Asks every interface at once and collects answers until the timeout. A loopback interface is asked by
// unicast and finishes as soon as it is answered or refused, so a loopback-only run does not wait.
std::vector<CameraRecord> Discover(const std::vector<NetInterface>& interfaces, int nTimeoutMs);

} // namespace dovigige

#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace dovigige {

// One IPv4 network interface that is up. Addresses in host byte order.
struct NetInterface {
    std::string strName;
    uint32_t nAddress = 0;
    uint32_t nMask = 0;
    uint32_t nBroadcast = 0; // 0 when the interface has none
    uint64_t nMac = 0;
    bool bLoopback = false;
};

// The interfaces the producer may use: every IPv4 interface that is up, or only those named in
// DOVI_GIGE_INTERFACES (comma-separated names, for example "lo").
std::vector<NetInterface> ListInterfaces();

std::string Ipv4Text(uint32_t nAddress);
std::string MacText(uint64_t nMac);

} // namespace dovigige

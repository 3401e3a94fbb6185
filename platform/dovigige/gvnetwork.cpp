#include "gvnetwork.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <linux/if_packet.h>
#include <net/if.h>
#include <netinet/in.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>
#include <sstream>

namespace dovigige {

namespace {

std::set<std::string> allowedNames()
{
    std::set<std::string> names;
    const char* env = std::getenv("DOVI_GIGE_INTERFACES");
    if (!env || !*env)
        return names;
    std::stringstream list(env);
    std::string name;
    while (std::getline(list, name, ','))
        if (!name.empty())
            names.insert(name);
    return names;
}

} // namespace

std::vector<NetInterface> ListInterfaces()
{
    std::vector<NetInterface> result;
    struct ifaddrs* all = nullptr;
    if (getifaddrs(&all) != 0)
        return result;
    const std::set<std::string> allowed = allowedNames();
    const bool bLimited = std::getenv("DOVI_GIGE_INTERFACES") && *std::getenv("DOVI_GIGE_INTERFACES");
    std::map<std::string, uint64_t> macs;
    for (struct ifaddrs* a = all; a; a = a->ifa_next) {
        if (a->ifa_addr && a->ifa_addr->sa_family == AF_PACKET) {
            const auto* ll = reinterpret_cast<const struct sockaddr_ll*>(a->ifa_addr);
            uint64_t mac = 0;
            for (int i = 0; i < ll->sll_halen && i < 6; ++i)
                mac = (mac << 8) | ll->sll_addr[i];
            macs[a->ifa_name] = mac;
        }
    }
    for (struct ifaddrs* a = all; a; a = a->ifa_next) {
        if (!a->ifa_addr || a->ifa_addr->sa_family != AF_INET || !(a->ifa_flags & IFF_UP))
            continue;
        if (bLimited && !allowed.count(a->ifa_name))
            continue;
        NetInterface itf;
        itf.strName = a->ifa_name;
        itf.nAddress = ntohl(reinterpret_cast<const struct sockaddr_in*>(a->ifa_addr)->sin_addr.s_addr);
        if (a->ifa_netmask)
            itf.nMask = ntohl(reinterpret_cast<const struct sockaddr_in*>(a->ifa_netmask)->sin_addr.s_addr);
        if ((a->ifa_flags & IFF_BROADCAST) && a->ifa_broadaddr)
            itf.nBroadcast = ntohl(reinterpret_cast<const struct sockaddr_in*>(a->ifa_broadaddr)->sin_addr.s_addr);
        itf.bLoopback = (a->ifa_flags & IFF_LOOPBACK) != 0;
        itf.nMac = macs.count(itf.strName) ? macs[itf.strName] : 0;
        result.push_back(itf);
    }
    freeifaddrs(all);
    return result;
}

std::string Ipv4Text(uint32_t nAddress)
{
    char text[20];
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", nAddress >> 24, (nAddress >> 16) & 0xff, (nAddress >> 8) & 0xff,
                  nAddress & 0xff);
    return text;
}

std::string MacText(uint64_t nMac)
{
    char text[24];
    std::snprintf(text, sizeof text, "%02x:%02x:%02x:%02x:%02x:%02x", unsigned(nMac >> 40) & 0xff,
                  unsigned(nMac >> 32) & 0xff, unsigned(nMac >> 24) & 0xff, unsigned(nMac >> 16) & 0xff,
                  unsigned(nMac >> 8) & 0xff, unsigned(nMac) & 0xff);
    return text;
}

} // namespace dovigige

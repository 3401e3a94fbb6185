#include "gvdiscovery.h"

#include "gvcp.h"

#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstring>

namespace dovigige {

namespace {

struct Probe {
    NetInterface itf;
    int fd = -1;
    bool bDone = false;
};

sockaddr_in socketAddress(uint32_t nAddress, uint16_t nPort)
{
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(nAddress);
    a.sin_port = htons(nPort);
    return a;
}

bool parseAnswer(const uint8_t* p, size_t n, uint32_t nFrom, const NetInterface& itf, CameraRecord& out)
{
    if (n < kHeaderSize + kDiscoveryDataSize || Get16(p) != kStatusSuccess || Get16(p + 2) != kDiscoveryAck)
        return false;
    const uint8_t* d = p + kHeaderSize;
    out.itf = itf;
    out.nAddress = nFrom;
    out.nMask = Get32(d + kOffMask);
    out.nMac = (uint64_t(Get16(d + kOffMacHigh + 2)) << 32) | Get32(d + kOffMacLow);
    out.strVendor = FieldText(d + kOffVendor, 32);
    out.strModel = FieldText(d + kOffModel, 32);
    out.strVersion = FieldText(d + kOffVersion, 32);
    out.strInfo = FieldText(d + kOffInfo, 48);
    out.strSerial = FieldText(d + kOffSerial, 16);
    out.strUserName = FieldText(d + kOffUserName, 16);
    return true;
}

} // namespace

std::string CameraRecord::Id() const
{
    if (!strSerial.empty())
        return (strVendor.empty() ? std::string("GEV") : strVendor) + "-" + strSerial;
    return "GEV-" + MacText(nMac) + "-" + Ipv4Text(nAddress);
}

std::vector<CameraRecord> Discover(const std::vector<NetInterface>& interfaces, int nTimeoutMs)
{
    std::vector<CameraRecord> found;
    std::vector<Probe> probes;
    uint8_t cmd[kHeaderSize];
    PutCommandHeader(cmd, kFlagAckRequired, kDiscoveryCmd, 0, 1);
    for (const NetInterface& itf : interfaces) {
        Probe probe;
        probe.itf = itf;
        probe.fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        if (probe.fd < 0)
            continue;
        const sockaddr_in local = socketAddress(itf.nAddress, 0);
        if (bind(probe.fd, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
            close(probe.fd);
            continue;
        }
        bool bSent = false;
        if (itf.bLoopback) {
            // Connected, so that "nobody listens" comes back at once as ECONNREFUSED.
            const sockaddr_in camera = socketAddress(itf.nAddress, kGvcpPort);
            bSent = connect(probe.fd, reinterpret_cast<const sockaddr*>(&camera), sizeof camera) == 0
                    && send(probe.fd, cmd, sizeof cmd, 0) == ssize_t(sizeof cmd);
        } else if (itf.nBroadcast) {
            const int on = 1;
            setsockopt(probe.fd, SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
            const sockaddr_in subnet = socketAddress(itf.nBroadcast, kGvcpPort);
            bSent = sendto(probe.fd, cmd, sizeof cmd, 0, reinterpret_cast<const sockaddr*>(&subnet), sizeof subnet)
                    == ssize_t(sizeof cmd);
            // Cameras outside the interface's subnet answer only the limited broadcast, which may leave
            // only through the interface it is bound to.
            if (setsockopt(probe.fd, SOL_SOCKET, SO_BINDTODEVICE, itf.strName.c_str(),
                           socklen_t(itf.strName.size())) == 0) {
                const sockaddr_in all = socketAddress(INADDR_BROADCAST, kGvcpPort);
                sendto(probe.fd, cmd, sizeof cmd, 0, reinterpret_cast<const sockaddr*>(&all), sizeof all);
            }
        }
        if (!bSent) {
            close(probe.fd);
            continue;
        }
        probes.push_back(probe);
    }

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(nTimeoutMs);
    uint8_t buffer[1500];
    for (;;) {
        std::vector<pollfd> fds;
        std::vector<Probe*> owners;
        for (Probe& p : probes) {
            if (!p.bDone) {
                fds.push_back(pollfd{p.fd, POLLIN, 0});
                owners.push_back(&p);
            }
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (fds.empty() || left.count() <= 0)
            break;
        if (poll(fds.data(), fds.size(), int(left.count())) <= 0)
            continue;
        for (size_t i = 0; i < fds.size(); ++i) {
            if (!(fds[i].revents & (POLLIN | POLLERR)))
                continue;
            Probe& p = *owners[i];
            for (;;) {
                sockaddr_in from{};
                socklen_t fromSize = sizeof from;
                const ssize_t n = recvfrom(p.fd, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&from), &fromSize);
                if (n < 0) {
                    if (errno != EAGAIN && errno != EWOULDBLOCK && p.itf.bLoopback)
                        p.bDone = true; // refused: nobody listens there
                    break;
                }
                CameraRecord record;
                if (!parseAnswer(buffer, size_t(n), ntohl(from.sin_addr.s_addr), p.itf, record))
                    continue;
                bool bSeen = false;
                for (const CameraRecord& r : found)
                    bSeen = bSeen || (r.nAddress == record.nAddress && r.itf.strName == record.itf.strName);
                if (!bSeen)
                    found.push_back(record);
                if (p.itf.bLoopback)
                    p.bDone = true;
            }
        }
    }
    for (Probe& p : probes)
        close(p.fd);
    return found;
}

} // namespace dovigige

// libFuzzer target: packets into the message channel's packet handling (request ids, acknowledgements,
// records), as the camera's address or another. The input is a sequence of packets, each preceded by two
// bytes: its length (big-endian, low bit of the first byte clear) and whether it comes from the camera.
#include "eventqueue.h"
#include "gvmessagechannel.h"

#include <netinet/in.h>

#include <cstdint>
#include <cstdlib>
#include <deque>
#include <string>

namespace dovigige {

struct GvMessageChannelFuzz {
    static void Run(const uint8_t* data, size_t size)
    {
        auto queue = std::make_shared<gentlprod::EventQueue>(1 << 12, 1 << 20);
        GvMessageChannel channel(0x7F000001, 0x7F000002, queue); // never started: acknowledgements go nowhere
        sockaddr_in camera{}, other{};
        camera.sin_family = other.sin_family = AF_INET;
        camera.sin_addr.s_addr = htonl(0x7F000002);
        other.sin_addr.s_addr = htonl(0x7F000003);
        uint64_t malformed = 0;
        while (size >= 2) {
            const size_t n = std::min<size_t>(size - 2, (size_t(data[0] & 0x7F) << 8) | data[1]);
            const bool bCamera = (data[0] & 0x80) == 0;
            const uint64_t before = queue->Malformed();
            channel.Handle(data + 2, n, bCamera ? camera : other);
            malformed += queue->Malformed() - before;
            if (!bCamera && queue->Malformed() == before)
                std::abort(); // a packet from another address was taken
            data += 2 + n;
            size -= 2 + n;
            queue->PushMany(channel.m_batch);
            if (channel.m_missing.size() > 4096)
                std::abort(); // the late-arrival book is bounded
        }
        if (queue->Malformed() != malformed)
            std::abort();
    }
};

} // namespace dovigige

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    dovigige::GvMessageChannelFuzz::Run(data, size);
    return 0;
}

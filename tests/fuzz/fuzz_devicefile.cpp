// libFuzzer target: the simulated cameras' device file reader. A file it takes must give a definition the
// simulator can use (registers inside the address space it serves).
#include "simdevicedef.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    dovisim::SimDeviceDef def;
    std::string error;
    if (dovisim::parseDeviceDef(std::string(reinterpret_cast<const char*>(data), size), "/fuzz/device.ini", def, error)) {
        for (const auto& reg : def.registers)
            if (reg.second.nAddress > (uint64_t(1) << 62) || reg.second.nSize == 0)
                std::abort();
    } else if (error.empty()) {
        std::abort(); // a refusal always says why
    }
    return 0;
}

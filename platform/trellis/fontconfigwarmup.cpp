#include "fontconfigwarmup.h"

#include <fontconfig/fontconfig.h>

FontConfigWarmUp::FontConfigWarmUp()
    : m_thread([] { FcInit(); })
{
}

FontConfigWarmUp::~FontConfigWarmUp()
{
    wait();
}

void FontConfigWarmUp::wait()
{
    if (m_thread.joinable())
        m_thread.join();
}

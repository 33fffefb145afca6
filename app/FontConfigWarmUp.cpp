#include "app/FontConfigWarmUp.h"

#include <fontconfig/fontconfig.h>

namespace app {

// Fontconfig is thread-safe, and the configuration it reads here is the one the toolkit uses.
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

} // namespace app

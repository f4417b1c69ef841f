#include "qt/FontWarmUp.h"

#include <fontconfig/fontconfig.h>

namespace pagelet {

// FcInit keeps what it reads as the library's current configuration, the one Qt asks for.
FontWarmUp::FontWarmUp() : m_thread([] { FcInit(); }) {}

FontWarmUp::~FontWarmUp()
{
    wait();
}

void FontWarmUp::wait()
{
    if (m_thread.joinable())
        m_thread.join();
}

} // namespace pagelet

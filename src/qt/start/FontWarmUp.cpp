#include "qt/start/FontWarmUp.h"

#include <fontconfig/fontconfig.h>
#include <system_error>

namespace pagelet {

// FcInit keeps what it reads as the library's current configuration, the one Qt asks for.
FontWarmUp::FontWarmUp()
{
    try {
        m_thread = std::thread([] { FcInit(); });
    } catch (const std::system_error&) {
        // No thread to spare: Qt reads the configuration itself when it first needs a font.
    }
}

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

#pragma once
#include <thread>

namespace pagelet {

// Reads the system's font configuration on a thread of its own while the display connection
// is made; the first text laid out would otherwise wait for it.
class FontWarmUp {
public:
    FontWarmUp();
    ~FontWarmUp();
    FontWarmUp(const FontWarmUp&) = delete;
    FontWarmUp& operator=(const FontWarmUp&) = delete;

    // Returns once the configuration is read; call before the first font is asked for.
    void wait();

private:
    std::thread m_thread;
};

} // namespace pagelet

// A backup read on any bytes, as verify and restore read it: the central directory, the names
// and sizes, then every member streamed through one buffer. Whatever it reads as whole must be
// a diary's own files, and no member may give more bytes than the limits allow.
#include "state/BackupReader.h"

#include "base/Text.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

class CountingSink : public pagelet::BackupSink {
public:
    bool begin(const std::string&) override { return true; }
    bool add(const std::uint8_t*, std::size_t size) override
    {
        m_total += size;
        return true;
    }
    bool end(const std::string&, const std::string&) override { return true; }
    std::uint64_t total() const { return m_total; }

private:
    std::uint64_t m_total = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace pagelet;
    static const std::string path = "/tmp/pagelet-fuzz-backup-" + std::to_string(::getpid()) + ".zip";
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return 0;
    std::fwrite(data, 1, size, file);
    std::fclose(file);
    // A small limit, so a bomb is met at once.
    constexpr std::uint64_t kTotal = 1u << 20;
    CountingSink sink;
    const BackupCheck check = readBackup(fromUtf8(path), BackupLimits {kTotal}, &sink);
    if (sink.total() > kTotal)
        std::abort(); // unpacked past the limit
    if (check.whole())
        for (const auto& name : check.names)
            if (name.empty() || name.find('/') != std::string::npos || name.front() == '.')
                std::abort(); // a name no diary file has came through
    return 0;
}

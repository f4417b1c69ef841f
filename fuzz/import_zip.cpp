// A journal's zip on any bytes, with a small unpacking limit so bombs are met quickly.
#include "FuzzImport.h"
#include "import/ZipJournal.h"

#include <cstdio>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace pagelet;
    static const std::string path = "/tmp/pagelet-fuzz-zip-" + std::to_string(::getpid()) + ".zip";
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return 0;
    std::fwrite(data, 1, size, file);
    std::fclose(file);
    readOrRefuse([&] { return readZipJournal(path, 1u << 20); });
    return 0;
}

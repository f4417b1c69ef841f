// The YAML month file's reader on any bytes, in a month with 29 days. The parser runs in a child
// process: what is fuzzed here is that no input hangs or crashes the diary, within a short limit.
#include "FuzzImport.h"
#include "import/MonthFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace pagelet;
    readOrRefuse([&] {
        return readMonthFile({reinterpret_cast<const char*>(data), size}, 2024, 2, "fuzz", std::chrono::seconds(2));
    });
    return 0;
}

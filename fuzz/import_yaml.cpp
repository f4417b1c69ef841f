// The YAML month file's reader on any bytes, in a month with 29 days.
#include "FuzzImport.h"
#include "import/MonthFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace pagelet;
    readOrRefuse([&] { return readMonthFile({reinterpret_cast<const char*>(data), size}, 2024, 2, "fuzz"); });
    return 0;
}

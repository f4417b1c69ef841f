// Both JSON journals' reader on any bytes.
#include "FuzzImport.h"
#include "import/JsonJournal.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace pagelet;
    readOrRefuse([&] { return readJsonJournal({reinterpret_cast<const char*>(data), size}, "fuzz"); });
    return 0;
}

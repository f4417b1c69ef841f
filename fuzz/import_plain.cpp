// The plain journal's reader on any bytes.
#include "FuzzImport.h"
#include "import/PlainJournal.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace pagelet;
    readOrRefuse([&] { return readPlainJournal({reinterpret_cast<const char*>(data), size}, "fuzz"); });
    return 0;
}

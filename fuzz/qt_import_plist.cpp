// An entry's property list through Qt's XML reader on any bytes.
#include "FuzzImport.h"
#include "import/EntryPlist.h"
#include "qt/ports/QtPropertyLists.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace pagelet;
    const QtPropertyLists lists;
    readOrRefuse([&] {
        return std::vector<ImportEntry> {readEntryPlist({reinterpret_cast<const char*>(data), size}, lists, "fuzz")};
    });
    return 0;
}

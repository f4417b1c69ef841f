// A daily note, its front matter taken off: any bytes, valid UTF-8 or not, must become page text
// that a page file holds and reads back unchanged.
#include "FuzzImport.h"
#include "import/DailyNote.h"
#include "store/PageFormat.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace pagelet;
    const ImportEntry note = readDailyNote({reinterpret_cast<const char*>(data), size}, {2024, 2, 29}, "fuzz");
    const Page page {0, entryText(note)};
    const auto back = decodePage(encodePage(page));
    if (!back || back->text != page.text)
        std::abort();
    return 0;
}

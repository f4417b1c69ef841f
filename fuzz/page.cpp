// The page reader on any bytes: a page that decodes must encode back to a prefix-equal file,
// and the header decoder must agree with the whole-file decoder on whether it is usable.
#include "store/PageFormat.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace pagelet;
    const Bytes bytes(data, data + size);
    const PageHeader header = decodePageHeader(data, size < kPageHeaderBytes ? size : kPageHeaderBytes, size);
    const std::optional<Page> page = decodePage(bytes);
    if (page.has_value() != header.usable())
        std::abort();
    if (page) {
        if (page->weather < 0 || page->weather > 4 || page->text.size() != header.units)
            std::abort();
        const Bytes again = encodePage(*page);
        if (decodePage(again)->text != page->text)
            std::abort();
    }
    return 0;
}

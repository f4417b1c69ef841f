#include "base/ArchiveCalls.h"

#include "base/LateLibrary.h"

namespace pagelet {

const ArchiveCalls& libarchive()
{
    static const ArchiveCalls calls = [] {
        static const LateLibrary library(PAGELET_LIBARCHIVE);
        ArchiveCalls found {};
#define PAGELET_ARCHIVE_FIND(name) library.find(found.name, "archive_" #name);
        PAGELET_ARCHIVE_CALLS(PAGELET_ARCHIVE_FIND)
#undef PAGELET_ARCHIVE_FIND
        library.find(found.error_number, "archive_errno");
        return found;
    }();
    return calls;
}

} // namespace pagelet

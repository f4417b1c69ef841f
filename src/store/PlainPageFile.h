#pragma once
// The plain page file: the bytes of the page format, one file per day, written atomically.
#include "store/DayFileName.h"
#include "store/PageFormat.h"
#include "store/PageStamp.h"

#include <functional>
#include <string>

namespace pagelet {

// Where an unreadable page is kept when a new page is written over its day.
inline const std::u16string kBadPageExtension = u".dry.bad";

enum class PageFileState {
    Missing,    // nothing there, or a folder
    Unreadable, // something there that can't be opened or is no page: kept, never deleted
    Readable,
};

// What a read found, and why when it was not a whole page.
struct PageCheck {
    PageFileState state = PageFileState::Missing;
    PageFault fault = PageFault::None;
};

struct LoadedPage : PageCheck {
    Page page;
    PageStamp stamp; // of the file the page was read from
};

// What is at path, reading no more than the two numbers.
PageCheck probePageFile(const std::u16string& path);
// Into a page whose text's storage is kept: a search reads a month or a whole folder through
// one buffer. The page holds what was read only when the state is Readable. stamp, when
// given, receives the file's stamp with the hash of the bytes read.
PageCheck readPageInto(const std::u16string& path, Page& page, PageStamp* stamp = nullptr);
PageCheck readPageInto(const std::string& utf8Path, Page& page, PageStamp* stamp = nullptr);
// The file's stamp by one stat, without its hash.
PageStamp statPageFile(const std::u16string& path);

enum class StoreResult {
    Written, // the page file now holds the page
    Removed, // the text was empty: no page file is left, or an unreadable one stays untouched
    Failed,  // nothing could be written; every file is as it was
};

// Writes the page atomically over path, or removes the page file when the text is empty.
// An unreadable file at path is never removed or overwritten: before a new page is written it
// is moved aside to the same name with kBadPageExtension instead of kPageExtension, and when
// that name is taken the store fails. stamp, when given, receives the written file's stamp.
StoreResult storePageFile(const std::u16string& path, const Page& page, PageStamp* stamp = nullptr);
// The same for a store that keeps a page's bytes in another form: before is what that store's
// own reader makes of the file, and seal turns the page's bytes into the file's. The stamp's
// hash is of the page's bytes, as that store's reader gives it.
StoreResult storePageFileAs(const std::u16string& path, const Page& page, PageFileState before,
                            const std::function<Bytes(const Bytes&)>& seal, PageStamp* stamp = nullptr);

} // namespace pagelet

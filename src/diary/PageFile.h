#pragma once
#include "base/ByteIo.h"

#include <cstdint>
#include <optional>
#include <string>

namespace pagelet {

// One day's page as its file holds it: weather mark (4 bytes), N (4 bytes), N UTF-16LE units.
struct Page {
    std::int32_t weather = 0;
    std::u16string text;
};

inline const std::u16string kPageExtension = u".dry";
// Where an unreadable page is kept when a new page is written over its day.
inline const std::u16string kBadPageExtension = u".dry.bad";

// Larger files are not taken for pages: the editor could not hold them anyway.
inline constexpr std::int64_t kPageFileLimit = 64ll << 20;

Bytes encodePage(const Page& page);
// Nothing when the bytes are too short to hold the two numbers, or when the length is 0 or
// less while text follows. A length past the end takes the units that are there; a weather
// mark outside 0..4 becomes 0.
std::optional<Page> decodePage(const Bytes& bytes);

enum class PageFileState {
    Missing,    // nothing there, or a folder
    Unreadable, // something there that can't be opened or is no page: kept, never deleted
    Readable,
};

// What is at path, reading no more than the two numbers.
PageFileState probePageFile(const std::u16string& path);

struct LoadedPage {
    PageFileState state = PageFileState::Missing;
    Page page;
};
LoadedPage readPageFile(const std::u16string& path);
// The same into a page whose text's storage is kept: a search reads a month or a whole folder
// through one buffer. The page holds what was read only when the state is Readable.
PageFileState readPageInto(const std::u16string& path, Page& page);

enum class StoreResult {
    Written, // the page file now holds the page
    Removed, // the text was empty: no page file is left, or an unreadable one stays untouched
    Failed,  // nothing could be written; every file is as it was
};

// Writes the page atomically over path, or removes the page file when the text is empty.
// An unreadable file at path is never removed or overwritten: before a new page is written it
// is moved aside to the same name with kBadPageExtension instead of kPageExtension, and when
// that name is taken the store fails.
StoreResult storePageFile(const std::u16string& path, const Page& page);

} // namespace pagelet

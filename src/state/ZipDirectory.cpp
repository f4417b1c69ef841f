#include "state/ZipDirectory.h"

#include <algorithm>
#include <cstring>
#include <unistd.h>

namespace pagelet {

namespace {

constexpr std::uint32_t kEndMark = 0x06054b50, kEnd64Mark = 0x06064b50, kLocator64Mark = 0x07064b50;
constexpr std::uint32_t kEntryMark = 0x02014b50, kLocalMark = 0x04034b50;
constexpr std::size_t kEndBytes = 22, kEntryBytes = 46, kLocalBytes = 30;
constexpr std::uint32_t kWide = 0xffffffffu; // "in the zip64 extra field instead"

std::uint16_t u16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }
std::uint32_t u32(const std::uint8_t* p) { return u16(p) | static_cast<std::uint32_t>(u16(p + 2)) << 16; }
std::uint64_t u64(const std::uint8_t* p) { return u32(p) | static_cast<std::uint64_t>(u32(p + 4)) << 32; }

bool readAt(int fd, std::uint64_t at, std::uint8_t* to, std::size_t count)
{
    while (count > 0) {
        const ssize_t n = ::pread(fd, to, count, static_cast<off_t>(at));
        if (n <= 0)
            return false;
        to += n, at += static_cast<std::uint64_t>(n), count -= static_cast<std::size_t>(n);
    }
    return true;
}

// Where the directory is, from the end record (and its zip64 form when the plain one overflows).
struct Place {
    std::uint64_t count = 0, offset = 0, size = 0, end = 0;
};

std::optional<Place> findDirectory(int fd, std::uint64_t size)
{
    if (size < kEndBytes)
        return std::nullopt;
    const std::uint64_t tailSize = std::min<std::uint64_t>(size, kEndBytes + 0xffff);
    std::vector<std::uint8_t> tail(tailSize);
    if (!readAt(fd, size - tailSize, tail.data(), tail.size()))
        return std::nullopt;
    for (std::size_t at = tailSize - kEndBytes + 1; at-- > 0;) {
        const std::uint8_t* e = tail.data() + at;
        if (u32(e) != kEndMark || at + kEndBytes + u16(e + 20) != tailSize)
            continue;
        if (u16(e + 4) != 0 || u16(e + 6) != 0 || u16(e + 8) != u16(e + 10))
            return std::nullopt; // a zip in parts
        Place place {u16(e + 10), u32(e + 16), u32(e + 12), size - tailSize + at};
        if (place.count != 0xffff && place.size != kWide && place.offset != kWide)
            return place;
        std::uint8_t locator[20], end[56];
        if (place.end < sizeof locator || !readAt(fd, place.end - sizeof locator, locator, sizeof locator) ||
            u32(locator) != kLocator64Mark)
            return std::nullopt;
        const std::uint64_t end64 = u64(locator + 8);
        if (end64 > place.end - sizeof locator - sizeof end || !readAt(fd, end64, end, sizeof end) || u32(end) != kEnd64Mark)
            return std::nullopt;
        return Place {u64(end + 32), u64(end + 48), u64(end + 40), end64};
    }
    return std::nullopt;
}

// The zip64 extra field's values, in their fixed order, for the fields that overflowed.
bool readWide(const std::uint8_t* extra, std::size_t length, ZipDirectoryEntry& entry, bool wideSize, bool widePacked,
              bool wideOffset)
{
    for (std::size_t at = 0; at + 4 <= length;) {
        const std::uint16_t id = u16(extra + at), size = u16(extra + at + 2);
        if (at + 4 + size > length)
            return false;
        if (id == 1) {
            const std::uint8_t* p = extra + at + 4;
            const std::uint8_t* end = p + size;
            for (auto [wide, field] : {std::pair {wideSize, &entry.size}, {widePacked, &entry.packedSize}, {wideOffset, &entry.localOffset}}) {
                if (!wide)
                    continue;
                if (p + 8 > end)
                    return false;
                *field = u64(p);
                p += 8;
            }
            return true;
        }
        at += 4 + size;
    }
    return !wideSize && !widePacked && !wideOffset;
}

// The directory's extra fields each as the local header has them (its timestamp field may be
// cut short), the zip64 field aside: it holds sizes, checked on their own.
bool sameExtras(const std::uint8_t* central, std::size_t centralLength, const std::uint8_t* local, std::size_t localLength)
{
    for (std::size_t at = 0; at + 4 <= centralLength;) {
        const std::uint16_t id = u16(central + at), size = u16(central + at + 2);
        bool found = id == 1;
        for (std::size_t l = 0; !found && l + 4 <= localLength; l += 4 + u16(local + l + 2))
            found = u16(local + l) == id && u16(local + l + 2) >= size && l + 4 + size <= localLength &&
                    std::memcmp(local + l + 4, central + at + 4, size) == 0;
        if (!found)
            return false;
        at += 4 + size;
    }
    return true;
}

// Where the member's data and its data descriptor end, when its local header and descriptor
// say what the directory entry e says.
std::optional<std::uint64_t> memberEnd(int fd, const std::uint8_t* e, const ZipDirectoryEntry& entry, std::uint64_t limit)
{
    const std::size_t nameLength = u16(e + 28), extraLength = u16(e + 30);
    std::uint8_t local[kLocalBytes];
    if (entry.localOffset + kLocalBytes > limit || !readAt(fd, entry.localOffset, local, sizeof local) || u32(local) != kLocalMark)
        return std::nullopt;
    const std::size_t localExtra = u16(local + 28);
    std::vector<std::uint8_t> rest(nameLength + localExtra);
    if (entry.localOffset + kLocalBytes + rest.size() > limit ||
        !readAt(fd, entry.localOffset + kLocalBytes, rest.data(), rest.size()))
        return std::nullopt;
    const bool same = u16(local + 4) == u16(e + 6) && u16(local + 6) == u16(e + 8) && u16(local + 8) == entry.method &&
                      u32(local + 10) == u32(e + 12) && u16(local + 26) == nameLength &&
                      std::memcmp(rest.data(), entry.name.data(), nameLength) == 0 &&
                      sameExtras(e + kEntryBytes + nameLength, extraLength, rest.data() + nameLength, localExtra);
    const bool wideLocal = u32(local + 18) == kWide && u32(local + 22) == kWide;
    if (!same || !(entry.describedAfter || wideLocal ||
                   (u32(local + 14) == entry.crc && u32(local + 18) == entry.packedSize && u32(local + 22) == entry.size)))
        return std::nullopt;
    std::uint64_t end = entry.localOffset + kLocalBytes + rest.size() + entry.packedSize;
    if (end > limit || !entry.describedAfter)
        return end;
    // The descriptor: an optional mark, the CRC, then both sizes in four bytes or (zip64) eight.
    std::uint8_t d[24] = {};
    const std::size_t have = static_cast<std::size_t>(std::min<std::uint64_t>(sizeof d, limit - end));
    if (!readAt(fd, end, d, have))
        return std::nullopt;
    const std::size_t mark = have >= 4 && u32(d) == 0x08074b50 ? 4 : 0;
    const std::uint8_t* p = d + mark;
    if (mark + 12 <= have && u32(p) == entry.crc && u32(p + 4) == entry.packedSize && u32(p + 8) == entry.size)
        return end + mark + 12;
    if (mark + 20 <= have && u32(p) == entry.crc && u64(p + 4) == entry.packedSize && u64(p + 12) == entry.size)
        return end + mark + 20;
    return std::nullopt;
}

} // namespace

ZipDirectory readZipDirectory(int fd, std::uint64_t size, std::uint64_t maxBytes)
{
    ZipDirectory directory;
    const auto fail = [&](std::string why, std::string name = {}) {
        directory.entries.clear();
        directory.damage = std::move(why);
        directory.damagedName = std::move(name);
        return directory;
    };
    const auto place = findDirectory(fd, size);
    if (!place)
        return fail("no central directory");
    if (place->size > maxBytes || place->offset > place->end || place->end - place->offset != place->size ||
        place->count > place->size / kEntryBytes)
        return fail("central directory out of bounds");
    std::vector<std::uint8_t> bytes(place->size);
    if (!readAt(fd, place->offset, bytes.data(), bytes.size()))
        return fail("central directory unreadable");
    std::uint64_t dataEnd = 0; // where the previous member ended
    std::size_t at = 0;
    for (std::uint64_t i = 0; i < place->count; ++i) {
        const std::uint8_t* e = bytes.data() + at;
        if (at + kEntryBytes > bytes.size() || u32(e) != kEntryMark)
            return fail("central directory damaged");
        const std::size_t nameLength = u16(e + 28), extraLength = u16(e + 30), next = at + kEntryBytes + nameLength + extraLength + u16(e + 32);
        if (next > bytes.size())
            return fail("central directory damaged");
        ZipDirectoryEntry entry;
        entry.name.assign(reinterpret_cast<const char*>(e + kEntryBytes), nameLength);
        entry.crc = u32(e + 16);
        entry.packedSize = u32(e + 20);
        entry.size = u32(e + 24);
        entry.localOffset = u32(e + 42);
        entry.method = u16(e + 10);
        const std::uint16_t flags = u16(e + 8);
        entry.describedAfter = flags & 8;
        if (!readWide(e + kEntryBytes + nameLength, extraLength, entry, entry.size == kWide, entry.packedSize == kWide,
                      entry.localOffset == kWide) || u16(e + 34) != 0)
            return fail("central directory damaged", entry.name);
        // A backup's members are made on Unix as plain files private to their owner, with no
        // other attribute: anything else would be unpacked otherwise by other tools (as a link,
        // a folder, a file others may read).
        if (u16(e + 4) >> 8 != 3 || (u16(e + 4) & 0xff) > 63 || u16(e + 36) != 0 || u32(e + 38) != 0100600u << 16)
            return fail("not a plain private file", entry.name);
        // The members lie one after the other from the start, the directory right after them:
        // no byte of the zip is outside a member or unaccounted for.
        if (entry.localOffset != dataEnd)
            return fail("central directory differs from the member", entry.name);
        const auto end = memberEnd(fd, e, entry, place->offset);
        if (!end)
            return fail("central directory differs from the member", entry.name);
        dataEnd = *end;
        directory.entries.push_back(std::move(entry));
        at = next;
    }
    if (at != bytes.size() || dataEnd != place->offset)
        return fail("central directory damaged");
    return directory;
}

} // namespace pagelet

#include "state/BackupReader.h"

#include "base/ArchiveCalls.h"
#include "base/ReadableFile.h"
#include "base/Text.h"
#include "crypto/KeyFile.h"
#include "crypto/SealedFile.h"
#include "state/Crc32.h"
#include "state/Sha256.h"
#include "state/ZipDirectory.h"
#include "store/DayFileName.h"
#include "store/PageFormat.h"

#include <algorithm>
#include <limits>
#include <memory>
#include <set>
#include <unistd.h>

namespace pagelet {

namespace {

constexpr std::uint64_t kSealing = kSealedHeaderBytes + kSealedTagBytes;
// The recorder's memos are played up to a gigabyte; a page file is held to the page limit.
constexpr std::uint64_t kMemoLimit = (1ull << 30) + kSealing;
constexpr std::uint64_t kPageLimit = static_cast<std::uint64_t>(kPageFileLimit) + kSealing;
constexpr std::uint64_t kKeyLimit = 64u << 10, kSettingsLimit = 1u << 20, kManifestLimit = 16u << 20;
constexpr std::uint64_t kDirectoryLimit = 32u << 20;
constexpr std::size_t kBuffer = 1 << 16;

} // namespace

std::uint64_t backupLimitOf(const std::string& name)
{
    if (name == kManifestName)
        return kManifestLimit;
    if (name == kSettingsMemberName)
        return kSettingsLimit;
    const std::u16string name16 = fromUtf8(name);
    if (name16 == kKeyFileName)
        return kKeyLimit;
    const auto file = parseDayFileName(name16);
    if (!file)
        return 0;
    return file->kind == DayFileKind::Memo ? kMemoLimit : kPageLimit;
}

namespace {

bool isPlainName(const std::string& name)
{
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
           name.find('\\') == std::string::npos && name.find('\0') == std::string::npos;
}

// Every name and size the directory gives, before a byte is unpacked.
void checkNames(const ZipDirectory& directory, const BackupLimits& limits, std::vector<BackupProblem>& problems)
{
    std::set<std::string> seen;
    std::uint64_t total = 0;
    for (const auto& entry : directory.entries) {
        const char* what = nullptr;
        if (!isPlainName(entry.name))
            what = "unsafe name";
        else if (!seen.insert(entry.name).second)
            what = "in the zip twice";
        else if (backupLimitOf(entry.name) == 0)
            what = "not a diary file";
        else if (entry.size > backupLimitOf(entry.name))
            what = "larger than any file of a diary";
        else if ((total += entry.size) > limits.total)
            what = "unpacks past the limit of a backup";
        if (what) {
            problems.push_back({entry.name, what});
            if (total > limits.total)
                return;
        }
    }
}

std::map<std::string, std::string> parseManifest(const std::string& text, std::vector<BackupProblem>& problems)
{
    std::map<std::string, std::string> sums;
    for (std::size_t at = 0; at < text.size();) {
        std::size_t end = text.find('\n', at);
        end = end == std::string::npos ? text.size() : end;
        const std::string line = text.substr(at, end - at);
        at = end + 1;
        if (line.size() < 67 || line.compare(64, 2, "  ") != 0) {
            problems.push_back({kManifestName, "unreadable"});
            continue;
        }
        sums[line.substr(66)] = line.substr(0, 64);
    }
    return sums;
}

struct ReadArchive {
    archive* a = libarchive().read_new();
    ~ReadArchive() { libarchive().read_free(a); }
};

struct Descriptor {
    int fd;
    ~Descriptor() { ::close(fd); }
};

// The members as the streaming reader meets them, each paired with its directory entry.
// Stops at the first thing wrong: past it, nothing read can be trusted.
void streamMembers(int fd, const ZipDirectory& directory, BackupSink* sink, BackupCheck& check,
                   std::map<std::string, std::string>& actual, std::string& manifest)
{
    ReadArchive in;
    libarchive().read_support_format_zip_streamable(in.a);
    if (::lseek(fd, 0, SEEK_SET) != 0 || libarchive().read_open_fd(in.a, fd, kBuffer) != ARCHIVE_OK) {
        check.problems.push_back({"", "unreadable"});
        return;
    }
    std::unique_ptr<std::uint8_t[]> buffer(new std::uint8_t[kBuffer]);
    std::size_t index = 0;
    for (;; ++index) {
        archive_entry* header = nullptr;
        const int r = libarchive().read_next_header(in.a, &header);
        if (r == ARCHIVE_EOF)
            break;
        const ZipDirectoryEntry* entry = index < directory.entries.size() ? &directory.entries[index] : nullptr;
        if (r < ARCHIVE_WARN || !entry) {
            check.problems.push_back({entry ? entry->name : "", entry ? "unreadable" : "damaged"});
            return;
        }
        const char* raw = libarchive().entry_pathname(header);
        const auto position = libarchive().read_header_position(in.a);
        if (!raw || entry->name != raw || position < 0 || static_cast<std::uint64_t>(position) != entry->localOffset) {
            check.problems.push_back({entry->name, "differs from the central directory"});
            return;
        }
        const std::string& name = entry->name;
        if (sink && !sink->begin(name))
            return;
        Crc32 crc;
        Sha256 sha;
        std::uint64_t size = 0;
        for (;;) {
            const la_ssize_t n = libarchive().read_data(in.a, buffer.get(), kBuffer);
            if (n == 0)
                break;
            if (n < 0) {
                check.problems.push_back({name, "unreadable"});
                return;
            }
            size += static_cast<std::uint64_t>(n);
            if (size > entry->size) // the directory was checked against the limits; the data never passes it
                break;
            crc.add(buffer.get(), static_cast<std::size_t>(n));
            sha.add(buffer.get(), static_cast<std::size_t>(n));
            if (name == kManifestName)
                manifest.append(reinterpret_cast<const char*>(buffer.get()), static_cast<std::size_t>(n));
            if (sink && !sink->add(buffer.get(), static_cast<std::size_t>(n)))
                return;
        }
        if (size != entry->size || crc.value() != entry->crc) {
            check.problems.push_back({name, "differs from the central directory"});
            return;
        }
        const std::string sum = sha.hex();
        if (name != kManifestName) {
            check.names.push_back(name);
            actual[name] = sum;
        }
        if (sink && !sink->end(name, sum))
            return;
    }
    if (index != directory.entries.size())
        check.problems.push_back({directory.entries[index].name, "missing"});
}

} // namespace

BackupCheck readBackup(const std::u16string& zip, const BackupLimits& limits, BackupSink* sink)
{
    BackupCheck check;
    ReadableFile file(zip, std::numeric_limits<std::uint64_t>::max());
    const std::uint64_t size = file.size();
    if (file.state() != ReadableFile::State::Open) {
        check.problems.push_back({"", "unreadable"});
        return check;
    }
    const Descriptor fd {file.release()};
    const ZipDirectory directory = readZipDirectory(fd.fd, size, kDirectoryLimit);
    if (!directory.damage.empty()) {
        check.problems.push_back({directory.damagedName, directory.damage});
        return check;
    }
    checkNames(directory, limits, check.problems);
    if (!check.whole())
        return check;
    std::map<std::string, std::string> actual;
    std::string manifest;
    streamMembers(fd.fd, directory, sink, check, actual, manifest);
    if (!check.whole())
        return check;
    if (std::none_of(directory.entries.begin(), directory.entries.end(), [](const auto& e) { return e.name == kManifestName; })) {
        check.problems.push_back({kManifestName, "missing"});
        return check;
    }
    check.sums = parseManifest(manifest, check.problems);
    for (const auto& [name, sum] : check.sums) {
        const auto it = actual.find(name);
        if (it == actual.end())
            check.problems.push_back({name, "missing"});
        else if (it->second != sum)
            check.problems.push_back({name, "differs"});
    }
    for (const auto& [name, sum] : actual)
        if (!check.sums.count(name))
            check.problems.push_back({name, "not listed"});
    return check;
}

} // namespace pagelet

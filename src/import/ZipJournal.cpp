#include "import/ZipJournal.h"

#include "import/JsonJournal.h"
#include "base/ArchiveCalls.h"

#include <memory>

namespace pagelet {

namespace {

struct ArchiveCloser {
    void operator()(archive* a) const { libarchive().read_free(a); }
};

std::string why(archive* a)
{
    const char* text = libarchive().error_string(a);
    return text ? text : "unreadable";
}

} // namespace

std::vector<ImportEntry> readZipJournal(const std::string& path, std::uint64_t maxBytes)
{
    std::unique_ptr<archive, ArchiveCloser> zip(libarchive().read_new());
    if (!zip)
        throw ImportRefused(path + ": cannot be read");
    libarchive().read_support_format_zip(zip.get());
    if (libarchive().read_open_filename(zip.get(), path.c_str(), 64 * 1024) != ARCHIVE_OK)
        throw ImportRefused(path + ": damaged zip (" + why(zip.get()) + ")");
    std::vector<ImportEntry> entries;
    std::uint64_t unpacked = 0;
    int journals = 0;
    archive_entry* entry = nullptr;
    for (;;) {
        const int status = libarchive().read_next_header(zip.get(), &entry);
        if (status == ARCHIVE_EOF)
            break;
        if (status != ARCHIVE_OK)
            throw ImportRefused(path + ": damaged zip (" + why(zip.get()) + ")");
        const char* rawName = libarchive().entry_pathname(entry);
        const std::string name = rawName ? rawName : "";
        if (name.find('/') != std::string::npos || name.size() < 6 || name.substr(name.size() - 5) != ".json"
            || libarchive().entry_filetype(entry) != AE_IFREG)
            continue; // photos and other attachments
        // Counted as it unpacks: the sizes the archive states can lie.
        std::string text;
        char buffer[64 * 1024];
        for (;;) {
            const la_ssize_t n = libarchive().read_data(zip.get(), buffer, sizeof buffer);
            if (n < 0)
                throw ImportRefused(path + ": damaged zip at " + name + " (" + why(zip.get()) + ")");
            if (n == 0)
                break;
            unpacked += static_cast<std::uint64_t>(n);
            if (unpacked > maxBytes)
                throw ImportRefused(path + ": unpacks to more than " + std::to_string(maxBytes >> 20)
                                    + " MB of journal; refused as a possible zip bomb");
            text.append(buffer, static_cast<std::size_t>(n));
        }
        auto read = readJsonJournal(text, path + ": " + name);
        std::move(read.begin(), read.end(), std::back_inserter(entries));
        ++journals;
    }
    if (journals == 0)
        throw ImportRefused(path + ": holds no Journal.json");
    return entries;
}

} // namespace pagelet

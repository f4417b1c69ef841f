#include "import/ZipJournal.h"

#include "base/ArchiveCalls.h"
#include "base/Text.h"
#include "import/JsonJournal.h"
#include "import/MonthFile.h"
#include "import/SourceText.h"

#include <algorithm>
#include <iterator>
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

// An attachment as the journal names it ("audios/HASH" or "photos/HASH.TYPE") by the member
// that holds it: the one in its folder named by the hash, with the extension the zip gives it.
std::u16string inZip(const std::u16string& attachment, const std::vector<std::u16string>& members)
{
    if (std::find(members.begin(), members.end(), attachment) != members.end())
        return attachment;
    const std::size_t slash = attachment.rfind(u'/');
    const std::u16string stem = attachment.substr(0, attachment.find(u'.', slash == std::u16string::npos ? 0 : slash));
    for (const std::u16string& member : members)
        if (member.starts_with(stem) && (member.size() == stem.size() || member[stem.size()] == u'.'))
            return member;
    return attachment;
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
    std::vector<ImportEntry> exported; // a journal's entries, whose attachments are in the zip
    std::vector<ImportEntry> months;
    std::vector<std::u16string> members;
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
        if (libarchive().entry_filetype(entry) != AE_IFREG)
            continue;
        members.push_back(fromUtf8(name));
        const bool journal = name.find('/') == std::string::npos && name.size() >= 6 && name.ends_with(".json");
        const auto month = monthOfFileName(name.substr(name.rfind('/') + 1));
        if (!journal && !month)
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
        const std::string where = path + ": " + name;
        auto read = journal ? readJsonJournal(text, where)
                            : readMonthFile(withoutByteOrderMark(text), month->first, month->second, where);
        std::vector<ImportEntry>& into = journal ? exported : months;
        std::move(read.begin(), read.end(), std::back_inserter(into));
        ++journals;
    }
    if (journals == 0)
        throw ImportRefused(path + ": holds no Journal.json or month files (YYYY-MM.txt)");
    // Named once every member is known: a journal may come before its attachments.
    for (ImportEntry& read : exported)
        for (std::u16string& attachment : read.attachments)
            attachment = inZip(attachment, members);
    std::move(months.begin(), months.end(), std::back_inserter(exported));
    return exported;
}

} // namespace pagelet

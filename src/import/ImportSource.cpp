#include "import/ImportSource.h"

#include "base/FileIo.h"
#include "base/Text.h"
#include "import/CivilTime.h"
#include "import/DailyNote.h"
#include "import/EntryPlist.h"
#include "import/JsonJournal.h"
#include "import/MonthFile.h"
#include "import/PlainJournal.h"
#include "import/SourceText.h"
#include "import/ZipJournal.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace pagelet {

namespace {

namespace fs = std::filesystem;

enum class Kind { None, Json, Plain, Month, Note, DayFile, EntryPlist, Zip };

bool allDigits(std::string_view text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// What a file's name says it is; a folder's files count only by such names.
Kind kindOf(const fs::path& path, bool inFolder)
{
    const std::string name = path.filename().string();
    if (name.size() == 13 && name.ends_with(".md") && parseIsoDate(name.substr(0, 10)))
        return Kind::Note;
    if (monthOfFileName(name))
        return Kind::Month;
    if (name.size() == 6 && name.ends_with(".txt") && allDigits(name.substr(0, 2))) {
        const std::string month = path.parent_path().filename().string();
        const std::string year = path.parent_path().parent_path().filename().string();
        if (month.size() == 2 && allDigits(month) && year.size() == 4 && allDigits(year))
            return Kind::DayFile;
    }
    std::string extension = path.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(), [](char c) { return c | 0x20; });
    if (extension == ".doentry")
        return Kind::EntryPlist;
    if (inFolder)
        return Kind::None;
    if (extension == ".zip")
        return Kind::Zip;
    return extension == ".json" ? Kind::Json : Kind::Plain;
}

std::string readText(const fs::path& path, const SourceLimits& limits, std::uint64_t& total)
{
    std::error_code error;
    const auto size = fs::file_size(path, error);
    if (error)
        throw ImportRefused(path.string() + ": cannot be read");
    if (size > limits.fileBytes)
        throw ImportRefused(path.string() + ": too large to be a journal (" + std::to_string(size >> 20)
                            + " MB; at most " + std::to_string(limits.fileBytes >> 20) + " MB)");
    total += size;
    if (total > limits.totalBytes)
        throw ImportRefused(path.parent_path().string() + ": more than "
                            + std::to_string(limits.totalBytes >> 20) + " MB of journals at once");
    const auto bytes = readFile(fromUtf8(path.string()), limits.fileBytes);
    if (!bytes)
        throw ImportRefused(path.string() + ": cannot be read");
    return std::string(bytes->begin(), bytes->end());
}

void readOne(const fs::path& path, Kind kind, const SourceLimits& limits, std::uint64_t& total,
             std::vector<ImportEntry>& out, const PropertyLists* lists)
{
    if (kind == Kind::Zip) {
        // The archive may carry photos of any size; only the journal it unpacks is counted.
        auto read = readZipJournal(path.string(), limits.fileBytes);
        std::move(read.begin(), read.end(), std::back_inserter(out));
        return;
    }
    const std::string bytes = readText(path, limits, total);
    const std::string_view text = withoutByteOrderMark(bytes);
    const std::string origin = path.string();
    const std::string name = path.filename().string();
    std::vector<ImportEntry> read;
    switch (kind) {
    case Kind::Json:
        read = readJsonJournal(text, origin);
        break;
    case Kind::Plain:
    case Kind::DayFile:
        read = readPlainJournal(text, origin);
        break;
    case Kind::Month: {
        const auto [year, month] = *monthOfFileName(name);
        read = readMonthFile(text, year, month, origin);
        break;
    }
    case Kind::Note:
        read.push_back(readDailyNote(text, *parseIsoDate(name.substr(0, 10)), origin));
        break;
    case Kind::EntryPlist:
        if (!lists)
            throw ImportRefused(origin + ": property lists cannot be read here");
        read.push_back(readEntryPlist(text, *lists, origin));
        break;
    case Kind::Zip:
    case Kind::None:
        break;
    }
    std::move(read.begin(), read.end(), std::back_inserter(out));
}

void readFolder(const fs::path& folder, const SourceLimits& limits, std::vector<ImportEntry>& out,
                const PropertyLists* lists)
{
    std::vector<std::pair<fs::path, Kind>> files;
    std::error_code error;
    for (fs::recursive_directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        if (!it->is_regular_file(error))
            continue;
        if (const Kind kind = kindOf(it->path(), true); kind != Kind::None)
            files.emplace_back(it->path(), kind);
        if (files.size() > limits.files)
            throw ImportRefused(folder.string() + ": more than " + std::to_string(limits.files) + " journal files");
    }
    if (error)
        throw ImportRefused(folder.string() + ": cannot be read");
    if (files.empty())
        throw ImportRefused(folder.string() + ": holds no month files (YYYY-MM.txt), daily notes (YYYY-MM-DD.md), "
                                              "journal days (YYYY/MM/DD.txt) or entries (*.doentry)");
    std::sort(files.begin(), files.end());
    std::uint64_t total = 0;
    for (const auto& [path, kind] : files)
        readOne(path, kind, limits, total, out, lists);
}

} // namespace

Outcome<std::vector<ImportEntry>> readImportSource(const std::u16string& path, const SourceLimits& limits,
                                                   const PropertyLists* lists)
{
    std::vector<ImportEntry> entries;
    const fs::path source(toUtf8(path));
    try {
        std::error_code error;
        if (fs::is_directory(source, error)) {
            readFolder(source, limits, entries, lists);
        } else if (fs::is_regular_file(source, error)) {
            std::uint64_t total = 0;
            readOne(source, kindOf(source, false), limits, total, entries, lists);
        } else {
            throw ImportRefused(source.string() + ": no such file or folder");
        }
    } catch (const ImportRefused& refused) {
        return Failure {refused.what()};
    } catch (const std::exception& failure) {
        return Failure {source.string() + ": cannot be read (" + failure.what() + ")"};
    }
    return entries;
}

} // namespace pagelet

#include "qt/start/DiaryCommands.h"

#include "base/Day.h"
#include "base/FileIo.h"
#include "base/Text.h"
#include "diary/DiaryExport.h"
#include "diary/DiarySearch.h"
#include "import/DayImport.h"
#include "import/ImportSource.h"
#include "qt/start/CommandLine.h"
#include "qt/start/DiaryUnlock.h"
#include "qt/ports/QtCaseFolding.h"
#include "qt/ports/QtPlatform.h"
#include "qt/ports/QtPropertyLists.h"
#include "qt/ports/QtZoneOffsets.h"
#include "state/PageHistory.h"
#include "store/PlainPageStore.h"
#include "settings/RegistryKey.h"

#include <algorithm>
#include <cstdio>

namespace pagelet {

namespace {

// Read only: the start-up stores a missing "Data Path", these commands never do.
std::u16string folderFor(const CommandLine& line)
{
    std::u16string folder = line.dataDir.empty() ? registeredDataFolder() : fromUtf8(line.dataDir);
    if (!folder.empty() && folder.back() != u'/')
        folder += u'/';
    return folder;
}


// 2 after the message, or 0 when the folder can be searched.
int checkFolder(const std::u16string& folder)
{
    if (folder.empty()) {
        fail("no install is registered; give the pages' folder with --data DIR");
        return 2;
    }
    if (!isDirectory(folder)) {
        fail("cannot read the data folder " + toUtf8(folder));
        return 2;
    }
    return 0;
}

// One hit is one line of output: control characters (a page may hold any) would break it or
// drive the terminal, so they show as the replacement character; a tab stays.
std::u16string printable(std::u16string line)
{
    for (char16_t& c : line)
        if ((c < 0x20 && c != u'\t') || (c >= 0x7F && c < 0xA0))
            c = u'\uFFFD';
    return line;
}

void listUnreadable(const PageStore& pages, const std::vector<std::u16string>& paths)
{
    for (const auto& path : paths) {
        if (pages.untrusted(path.substr(path.rfind(u'/') + 1)))
            fail(toUtf8(path) + " is a plain file in an encrypted diary; left out");
        else
            fail("cannot read " + toUtf8(path) + ", skipped");
    }
}

} // namespace

void fail(const std::string& message)
{
    std::fprintf(stderr, "pagelet: %s\n", message.c_str());
}

std::u16string dataFolderOf(const CommandLine& line)
{
    return folderFor(line);
}

int checkDataFolder(const std::u16string& folder)
{
    return checkFolder(folder);
}

std::u16string registeredDataFolder()
{
    QtRegistry registry;
    registry.open(kRegistryKeyPath);
    const std::u16string data = registry.read(kDataPathValue).value_or(u"");
    if (!data.empty())
        return data;
    const std::u16string program = registry.read(kProgramPathValue).value_or(u"");
    return program.empty() ? std::u16string() : program + u"/diary/";
}

int runSearchCommand(const CommandLine& line)
{
    const std::u16string folder = folderFor(line);
    if (const int status = checkFolder(folder))
        return status;
    const QtCaseFolding folding;
    DiarySearch search(folding);
    std::string out;
    int status = 0;
    const auto pages = openDiaryFor(line, folder, status);
    if (!pages)
        return status;
    const auto summary = search.searchFolder(*pages, {fromUtf8(line.word), line.matchCase, SearchOrder::OldestFirst},
                                             [&out](const SearchHit& hit) {
                                                 out += toUtf8(isoDate(hit.date) + u": " + printable(hit.line));
                                                 out += '\n';
                                                 if (out.size() > 1 << 16) {
                                                     std::fwrite(out.data(), 1, out.size(), stdout);
                                                     out.clear();
                                                 }
                                             });
    if (!summary.folderRead) {
        fail("cannot read the data folder " + toUtf8(folder));
        return 2;
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    listUnreadable(*pages, summary.unreadable);
    return summary.matchedDays > 0 ? 0 : 1;
}

int runExportCommand(const CommandLine& line)
{
    const std::u16string file = fromUtf8(line.file);
    const auto format = exportFormatOf(file);
    if (!format) {
        fail("the export file's name must end in .md (Markdown) or .html (a web page): " + line.file);
        return 2;
    }
    const std::u16string folder = folderFor(line);
    if (const int status = checkFolder(folder))
        return status;
    int status = 0;
    const auto pages = openDiaryFor(line, folder, status);
    if (!pages)
        return status;
    const auto summary = exportDiary(*pages, file, *format);
    listUnreadable(*pages, summary.unreadable);
    listUnreadable(*pages, summary.memosNotCopied);
    using Outcome = ExportSummary::Outcome;
    switch (summary.outcome) {
    case Outcome::FolderUnreadable:
        fail("cannot read the data folder " + toUtf8(folder));
        return 2;
    case Outcome::InsideDataFolder:
        fail("will not write into the data folder " + toUtf8(folder) + "; choose a file elsewhere");
        return 2;
    case Outcome::WriteFailed:
        fail("cannot write " + line.file + "; nothing was written");
        return 2;
    case Outcome::Written:
        break;
    }
    std::printf("wrote %d %s to %s\n", summary.days, summary.days == 1 ? "day" : "days", line.file.c_str());
    return 0;
}

int runImportCommand(const CommandLine& line)
{
    const std::u16string folder = folderFor(line);
    if (const int status = checkFolder(folder))
        return status;
    const QtPropertyLists lists;
    const auto source = readImportSource(fromUtf8(line.source), {}, &lists);
    if (!source) {
        fail(source.error() + "; nothing was imported");
        return 2;
    }
    int status = 0;
    const auto store = openDiaryFor(line, folder, status);
    if (!store)
        return status;
    PlainPageStore& pages = *store;
    PageHistory history(StateFolder(StateFolder::defaultRoot(), folder));
    if (!line.dryRun)
        pages.setKeeper(&history);
    const auto planned = planImport(*source, pages, QtZoneOffsets());
    if (!planned) {
        fail(planned.error() + "; nothing was imported");
        return 2;
    }
    const ImportPlan& plan = *planned;
    const char* verb = "imported";
    if (line.dryRun) {
        std::string out;
        for (const auto& day : plan.days) {
            out += toUtf8(isoDate(day.date)) + (day.newPage ? " (new page):\n" : " (added to its page):\n");
            // A line of output per line of the page; what else a page may hold stays harmless.
            for (std::size_t at = 0; at <= day.added.size();) {
                const std::size_t end = std::min(day.added.find(u"\r\n", at), day.added.size());
                out += toUtf8(printable(day.added.substr(at, end - at))) + "\n";
                at = end + 2;
            }
            out += "\n";
        }
        std::fwrite(out.data(), 1, out.size(), stdout);
        verb = "would import";
    } else if (const auto applied = applyImport(plan, pages); !applied) {
        fail(applied.error());
        return 2;
    }
    std::printf("%s %d %s into %d %s (%d new %s)", verb, plan.entries, plan.entries == 1 ? "entry" : "entries",
                int(plan.days.size()), plan.days.size() == 1 ? "day" : "days", plan.newPages,
                plan.newPages == 1 ? "page" : "pages");
    if (plan.skipped > 0)
        std::printf(", skipped %d already there", plan.skipped);
    std::printf("\n");
    return 0;
}

} // namespace pagelet

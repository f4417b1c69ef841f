#include "qt/start/HistoryCommands.h"

#include "base/Text.h"
#include "import/CivilTime.h"
#include "qt/start/CommandLine.h"
#include "qt/start/DiaryCommands.h"
#include "qt/start/DiaryUnlock.h"
#include "settings/ConfigFile.h"
#include "settings/RegistryKey.h"
#include "state/DiaryBackup.h"
#include "state/HistoryRestore.h"
#include "qt/ports/QtPlatform.h"
#include "store/FolderEncryption.h"
#include "store/PlainPageStore.h"

#include <cstdio>
#include <cstdlib>
#include <optional>

namespace pagelet {

namespace {


std::optional<LocalDate> dayOf(const CommandLine& line)
{
    const auto date = parseIsoDate(line.day);
    if (!date)
        fail("not a date as YYYY-MM-DD: " + line.day);
    return date;
}

void tellProblems(const BackupCheck& check, const std::string& zip)
{
    for (const auto& problem : check.problems)
        fail((problem.name.empty() ? zip : problem.name) + ": " + problem.what);
}

} // namespace

// The settings file lives in the install folder, beside the program, not among the pages.
std::u16string registeredConfigFile()
{
    QtRegistry registry;
    registry.open(kRegistryKeyPath);
    const std::u16string program = registry.read(kProgramPathValue).value_or(u"");
    return program.empty() ? std::u16string() : program + u"/" + kConfigFileName;
}

int runBackupCommand(const CommandLine& line)
{
    const std::u16string folder = dataFolderOf(line);
    if (const int status = checkDataFolder(folder))
        return status;
    std::vector<std::u16string> leftOut;
    if (const auto written = writeBackup(*openStoreForCopies(folder), registeredConfigFile(), fromUtf8(line.zip), &leftOut); !written) {
        fail(written.error());
        return 2;
    }
    for (const auto& name : leftOut)
        fail(toUtf8(folder + name) + " is a plain file in an encrypted diary; left out");
    std::printf("wrote %s\n", line.zip.c_str());
    return 0;
}

int runVerifyBackupCommand(const CommandLine& line)
{
    const BackupCheck check = verifyBackup(fromUtf8(line.zip));
    if (!check.whole()) {
        tellProblems(check, line.zip);
        return 2;
    }
    std::printf("%s: all %zu files match\n", line.zip.c_str(), check.names.size());
    return 0;
}

int runRestoreBackupCommand(const CommandLine& line)
{
    BackupCheck check;
    if (const auto restored = restoreBackup(fromUtf8(line.zip), fromUtf8(line.dataDir), check); !restored) {
        tellProblems(check, line.zip);
        fail(restored.error());
        return 2;
    }
    for (const auto& name : check.leftOut)
        std::printf("left out %s: the settings stay with the program, and may hold the start-up password\n", name.c_str());
    std::printf("restored %zu files into %s\n", check.names.size() - check.leftOut.size(), line.dataDir.c_str());
    return 0;
}

namespace {

struct HistoryTarget {
    LocalDate date;
    std::u16string folder;
};

// The day and data folder a history command names; nothing, with status set and the error
// said, when either is wrong.
std::optional<HistoryTarget> historyTarget(const CommandLine& line, int& status)
{
    status = 2;
    const auto date = dayOf(line);
    if (!date)
        return std::nullopt;
    std::u16string folder = dataFolderOf(line);
    if ((status = checkDataFolder(folder)) != 0)
        return std::nullopt;
    return HistoryTarget {*date, std::move(folder)};
}

} // namespace

int runHistoryCommand(const CommandLine& line)
{
    int status = 0;
    const auto target = historyTarget(line, status);
    if (!target)
        return status;
    const auto pages = openDiaryFor(line, target->folder, status);
    if (!pages)
        return status;
    const PageHistory history(StateFolder(StateFolder::defaultRoot(), target->folder));
    const auto lines = historyLines(history, target->date, pages.get());
    std::string out;
    for (const auto& text : lines)
        out += toUtf8(text) + "\n";
    std::fwrite(out.data(), 1, out.size(), stdout);
    return lines.empty() ? 1 : 0;
}

int runRestoreCommand(const CommandLine& line)
{
    int status = 0;
    const auto target = historyTarget(line, status);
    if (!target)
        return status;
    const LocalDate& date = target->date;
    const std::u16string& folder = target->folder;
    char* end = nullptr;
    const long number = std::strtol(line.versionNumber.c_str(), &end, 10);
    PageHistory history(StateFolder(StateFolder::defaultRoot(), folder));
    const auto count = static_cast<long>(history.versions(date).size());
    if (*end || number < 1 || number > count) {
        fail("no version " + line.versionNumber + " of " + line.day + " (see pagelet --history " + line.day + ")");
        return 2;
    }
    const auto pages = openDiaryFor(line, folder, status);
    if (!pages)
        return status;
    pages->setKeeper(&history);
    if (restoreVersion(*pages, history, date, static_cast<int>(number)) == StoreResult::Failed) {
        fail("cannot restore version " + line.versionNumber + " of " + line.day + "; the page is as it was");
        return 2;
    }
    if (history.takeFailure())
        fail("the page it replaced could not be kept in the history");
    std::printf("restored version %ld of %s\n", number, line.day.c_str());
    return 0;
}

} // namespace pagelet

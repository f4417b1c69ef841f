#include "state/AutoBackup.h"

#include "base/FileIo.h"
#include "base/Text.h"
#include "state/DiaryBackup.h"
#include "store/FolderEncryption.h"
#include "store/PlainPageStore.h"

#include <algorithm>
#include <cstdio>
#include <dirent.h>
#include <set>

namespace pagelet {

namespace {

constexpr std::size_t kDays = 7, kWeeks = 4, kMonths = 12;

std::string nameOf(const LocalDate& date)
{
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year, date.month, date.day);
    return text;
}

bool parseName(const std::string& name, LocalDate& date)
{
    int y = 0, m = 0, d = 0;
    char tail[8] = {};
    if (name.size() != 14 || std::sscanf(name.c_str(), "%4d-%2d-%2d%4s", &y, &m, &d, tail) != 4 || std::string(tail) != ".zip")
        return false;
    if (m < 1 || m > 12 || d < 1 || d > daysInMonth(y, m))
        return false;
    date = {y, m, d};
    return true;
}

// Monday-based weeks, counted from the epoch: the same number for the seven days of a week.
long long weekOf(const LocalDate& date)
{
    const long long days = fromLocal(date, 12) / 86400;
    return (days + 3) / 7; // 1970-01-01 was a Thursday
}

} // namespace

std::vector<std::string> backupsToRemove(std::vector<std::string> names)
{
    std::vector<std::pair<std::string, LocalDate>> dated;
    for (const auto& name : names) {
        LocalDate date;
        if (parseName(name, date))
            dated.emplace_back(name, date);
    }
    std::sort(dated.begin(), dated.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    std::set<std::string> keep;
    std::set<long long> weeks, months;
    for (std::size_t i = 0; i < dated.size(); ++i) {
        const auto& [name, date] = dated[i];
        if (i < kDays)
            keep.insert(name);
        if (weeks.size() < kWeeks && weeks.insert(weekOf(date)).second)
            keep.insert(name);
        if (months.size() < kMonths && months.insert(date.year * 12ll + date.month).second)
            keep.insert(name);
    }
    std::vector<std::string> doomed;
    for (const auto& [name, date] : dated)
        if (!keep.count(name))
            doomed.push_back(name);
    return doomed;
}

AutoBackup::AutoBackup(std::u16string folder, std::u16string dataFolder, std::u16string configFile, bool chosen)
    : m_folder(std::move(folder)), m_dataFolder(std::move(dataFolder)), m_configFile(std::move(configFile)), m_chosen(chosen)
{
    if (!m_folder.empty() && m_folder.back() != u'/')
        m_folder += u'/';
}

bool AutoBackup::due(const LocalDate& today) const
{
    return !isFile(m_folder + fromUtf8(nameOf(today) + ".zip"));
}

Outcome<void> AutoBackup::run(const LocalDate& today)
{
    if (!due(today))
        return {};
    if (m_chosen && !isDirectory(m_folder))
        return Failure {"the backup folder " + toUtf8(m_folder) + " is not there"};
    if (!makePrivateFolder(m_folder))
        return Failure {"cannot make the backup folder " + toUtf8(m_folder)};
    // As --backup does: after an encrypted diary's conversion, a plain page nobody sealed stays out.
    if (auto written = writeBackup(*openStoreForCopies(m_dataFolder), m_configFile, m_folder + fromUtf8(nameOf(today) + ".zip")); !written)
        return written;
    std::vector<std::string> names;
    if (DIR* dir = ::opendir(toUtf8(m_folder).c_str())) {
        while (dirent* e = ::readdir(dir))
            names.push_back(e->d_name);
        ::closedir(dir);
    }
    for (const auto& name : backupsToRemove(names))
        removeFile(m_folder + fromUtf8(name));
    return {};
}

bool AutoBackup::shouldTell(const LocalDate& today)
{
    // A note of the last day a failure was said, so a second start that day stays quiet.
    const std::u16string note = m_folder + u".failure-told";
    const std::string day = nameOf(today);
    const auto told = readFile(note, 64);
    if (told && std::string(told->begin(), told->end()) == day)
        return false;
    makePrivateFolder(m_folder);
    writeFileAtomic(note, Bytes(day.begin(), day.end()));
    return true;
}

} // namespace pagelet

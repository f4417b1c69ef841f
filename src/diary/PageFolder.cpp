#include "diary/PageFolder.h"

#include "base/Text.h"
#include "diary/PageFile.h"
#include "text/Catalogue.h"

#include <algorithm>
#include <cstdio>
#include <tuple>
#include <dirent.h>
#include <sys/stat.h>

namespace pagelet {

std::optional<LocalDate> pageDateOf(const std::u16string& name)
{
    if (name.size() != 8 + kPageExtension.size() || !name.ends_with(kPageExtension))
        return std::nullopt;
    int digits[8];
    for (int i = 0; i < 8; ++i) {
        if (name[i] < u'0' || name[i] > u'9')
            return std::nullopt;
        digits[i] = name[i] - u'0';
    }
    const LocalDate date {digits[0] * 1000 + digits[1] * 100 + digits[2] * 10 + digits[3], digits[4] * 10 + digits[5],
                          digits[6] * 10 + digits[7]};
    if (date.year < 1 || date.month < 1 || date.month > 12 || date.day < 1 ||
        date.day > daysInMonth(date.year, date.month))
        return std::nullopt;
    return date;
}

std::optional<std::vector<DatedPage>> listPages(const std::u16string& folder)
{
    std::string base = toUtf8(folder);
    DIR* dir = ::opendir(base.empty() ? "." : base.c_str());
    if (!dir)
        return std::nullopt;
    if (!base.empty() && base.back() != '/')
        base += '/';
    std::vector<DatedPage> pages;
    while (dirent* e = ::readdir(dir)) {
        const auto date = pageDateOf(fromUtf8(e->d_name));
        if (!date)
            continue;
        const std::string path = base + e->d_name;
        // The entry's type saves a stat per page where the file system gives it. A name that
        // can't be looked at is kept, so the reader reports it as unreadable.
        struct stat st {};
        if (e->d_type == DT_DIR || ((e->d_type == DT_UNKNOWN || e->d_type == DT_LNK) && ::stat(path.c_str(), &st) == 0 &&
                                    S_ISDIR(st.st_mode)))
            continue;
        pages.push_back({*date, fromUtf8(path)});
    }
    ::closedir(dir);
    std::sort(pages.begin(), pages.end(), [](const DatedPage& a, const DatedPage& b) {
        return std::tie(a.date.year, a.date.month, a.date.day) < std::tie(b.date.year, b.date.month, b.date.day);
    });
    return pages;
}

int weekdayOf(const LocalDate& date)
{
    static const int offsets[] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
    const int y = date.month < 3 ? date.year - 1 : date.year;
    return (y + y / 4 - y / 100 + y / 400 + offsets[date.month - 1] + date.day) % 7;
}

std::u16string weekdayName(const LocalDate& date)
{
    return textOf(TextId::Sunday, weekdayOf(date));
}

std::u16string isoDate(const LocalDate& date)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", date.year, date.month, date.day);
    return fromAscii(buf);
}

} // namespace pagelet

#include "store/DayFileName.h"

#include "store/DayKey.h"

namespace pagelet {

namespace {

// The date of a name's first eight digits.
std::optional<LocalDate> dateOfKey(const std::u16string& name)
{
    if (name.size() < 8)
        return std::nullopt;
    int digits[8];
    for (int i = 0; i < 8; ++i) {
        if (name[i] < u'0' || name[i] > u'9')
            return std::nullopt;
        digits[i] = name[i] - u'0';
    }
    const LocalDate date {digits[0] * 1000 + digits[1] * 100 + digits[2] * 10 + digits[3], digits[4] * 10 + digits[5],
                          digits[6] * 10 + digits[7]};
    // Years below 1000 have no eight-digit key: the diary can neither reach nor name them.
    if (!hasFourDigitYear(date) || date.month < 1 || date.month > 12 || date.day < 1 ||
        date.day > daysInMonth(date.year, date.month))
        return std::nullopt;
    return date;
}

} // namespace

const std::u16string& dayFileExtension(DayFileKind kind)
{
    return kind == DayFileKind::Memo ? kMemoExtension : kPageExtension;
}

std::u16string dayFileName(const LocalDate& date, DayFileKind kind)
{
    return makeDateKey(date) + dayFileExtension(kind);
}

std::optional<DayFileName> parseDayFileName(const std::u16string& name)
{
    if (name.size() < 12)
        return std::nullopt;
    const auto date = dateOfKey(name);
    if (!date)
        return std::nullopt;
    const std::u16string key = name.substr(0, 8);
    for (DayFileKind kind : {DayFileKind::Page, DayFileKind::Memo}) {
        const std::u16string file = key + dayFileExtension(kind);
        if (name == file || isConflictCopyOf(name, file))
            return DayFileName {*date, kind, name != file};
    }
    return std::nullopt;
}

std::optional<LocalDate> pageDateOf(const std::u16string& name)
{
    if (name.size() != 8 + kPageExtension.size() || !name.ends_with(kPageExtension))
        return std::nullopt;
    return dateOfKey(name);
}

// Syncthing "NAME.sync-conflict-…", Nextcloud "NAME (conflicted copy …)" and Dropbox
// "NAME (HOST's conflicted copy …)", each keeping the file's extension.
bool isConflictCopyOf(const std::u16string& name, const std::u16string& fileName)
{
    const auto dot = fileName.rfind(u'.');
    const std::u16string extension = dot == std::u16string::npos ? std::u16string() : fileName.substr(dot);
    const std::u16string stem = fileName.substr(0, fileName.size() - extension.size());
    if (name.size() <= fileName.size() || !name.starts_with(stem) || !name.ends_with(extension))
        return false;
    const std::u16string middle = name.substr(stem.size(), name.size() - stem.size() - extension.size());
    return middle.starts_with(u".sync-conflict-") ||
           (middle.starts_with(u" (") && middle.ends_with(u")") && middle.find(u"conflicted copy") != std::u16string::npos);
}

} // namespace pagelet

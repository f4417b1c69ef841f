#pragma once
#include "base/Day.h"

#include <optional>
#include <string>

namespace pagelet {

// A day's files in a data folder: its page "YYYYMMDD.dry", its memo "YYYYMMDD.wav", and the
// copies a sync tool makes of either when two machines change it at once.
inline const std::u16string kPageExtension = u".dry";
inline const std::u16string kMemoExtension = u".wav";

enum class DayFileKind { Page, Memo };

struct DayFileName {
    LocalDate date;
    DayFileKind kind = DayFileKind::Page;
    bool conflictCopy = false;
    friend bool operator==(const DayFileName&, const DayFileName&) = default;
};

const std::u16string& dayFileExtension(DayFileKind kind);
std::u16string dayFileName(const LocalDate& date, DayFileKind kind);
// What name is, when it is a page, a memo or a conflict copy of either, of a day the diary
// can hold.
std::optional<DayFileName> parseDayFileName(const std::u16string& name);
// The date a page file's name gives, when it names a day the diary can hold.
std::optional<LocalDate> pageDateOf(const std::u16string& name);
// True when name is a sync tool's conflict copy of the page or memo file fileName.
bool isConflictCopyOf(const std::u16string& name, const std::u16string& fileName);

} // namespace pagelet

#pragma once
// The catalogue: every text the core shows to people, once, by name, with its Korean source.
// The sources are marked for Qt's lupdate (see TextMarker.h); the Qt layer installs a lookup that
// translates them, and without one each name gives its Korean source.
#include "base/Day.h"

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace pagelet {

enum class TextId {
    // Start-up and close-down.
    NotInstalled,
    NoConfigFile,
    Quitting,
    SaveBeforeQuit,
    RecoverJournal,
    LongDate,
    // Settings and passwords.
    SettingsNotSaved,
    BadDataPath,
    BadNewPassword,
    WrongPassword,
    // The shown day; the problems end with the data folder advice.
    PageNotSaved,
    PageNotDeleted,
    PageUnreadable,
    CheckDataFolder,
    DeletePageQuestion,
    DeleteMemoQuestion,
    // Another writer of the same page: a sync tool or a second machine.
    MergedOutsideChange,
    OutsideChangeMarker,
    NotDeletedChangedOutside,
    ConflictCopyQuestion,
    MemoCopyQuestion,
    // Entries taken in from another diary.
    ImportedMarker,
    Attachment,
    // The month search; %1 is the word looked for.
    NothingThisMonth,
    NoMoreMatches,
    NotOnThisDay,
    // Encrypting the diary.
    KeyFileUnreadable,
    KeyFileMissing,
    PassphraseTooShort,
    KeyFileNotWritten,
    Converting,
    Encrypted,
    ChangeOrDecrypt,
    PassphraseChanged,
    Decrypted,
    ConversionIncomplete,
    PassphraseKeepsDiary,
    // Words of the time stamp, the export and the dates.
    Morning,
    Afternoon,
    WeatherLine,
    VoiceMemo,
    Language,
    Clear,
    FewClouds,
    Cloudy,
    Rain,
    Snow,
    Sunday,
    Monday,
    Tuesday,
    Wednesday,
    Thursday,
    Friday,
    Saturday,
    January,
    February,
    March,
    April,
    May,
    June,
    July,
    August,
    September,
    October,
    November,
    December,
    Count
};

// One entry: its name, and the context and UTF-8 source lupdate collects.
struct CatalogueEntry {
    TextId id;
    const char* name;
    const char* context;
    const char* source;
};

// Given an entry's context and UTF-8 source, the text to show.
using TextLookup = std::u16string (*)(const char* context, const char* source);

std::span<const CatalogueEntry> catalogue();
// Installed once at start-up, before any other thread asks for a text; nullptr restores the sources.
void setTextLookup(TextLookup lookup);

std::u16string textOf(TextId id);
// The n-th of a run of names: the weekdays from Sunday, the months from January, the weather
// words from Clear.
std::u16string textOf(TextId first, int n);
// A problem's line, then the advice to check the data folder.
std::u16string dataFolderProblem(TextId problem);
// pattern with each "%1" replaced by argument; the argument itself is not searched again.
std::u16string withArgument(std::u16string_view pattern, std::u16string_view argument);
// The weekday's short name.
std::u16string weekdayName(const LocalDate& date);

} // namespace pagelet

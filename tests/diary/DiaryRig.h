#pragma once
// A MainDialog over the fakes with a real, temporary data folder and the page buttons of a skin.
#include "platform/Commands.h"
#include "base/FileIo.h"
#include "base/Text.h"
#include "diary/DiaryRange.h"
#include "store/DayKey.h"
#include "store/PlainPageStore.h"
#include "fakes/Fakes.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <unistd.h>

namespace pagelet::testing {

namespace fs = std::filesystem;

inline const LocalDate kDay {2001, 6, 7};

struct TempFolder {
    explicit TempFolder(const std::string& tag)
    {
        static int counter = 0;
        root = fs::temp_directory_path() / ("pagelet-" + tag + "-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
        fs::remove_all(root);
        fs::create_directories(root);
    }
    ~TempFolder() { fs::remove_all(root); }
    std::u16string folder() const { return fromUtf8(root.string()) + u"/"; }
    fs::path root;
};

inline Bytes bytesOf(const fs::path& path)
{
    return readFile(fromUtf8(path.string())).value_or(Bytes {});
}

inline void writeBytes(const fs::path& path, const Bytes& bytes)
{
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// Every file in a folder with its bytes (none read from anything but a regular file).
using Files = std::map<std::string, Bytes>;
inline Files files(const fs::path& folder)
{
    Files all;
    for (const auto& e : fs::directory_iterator(folder))
        all[e.path().filename().string()] = e.is_regular_file() ? bytesOf(e.path()) : Bytes {};
    return all;
}

struct DiaryRig {
    explicit DiaryRig(const std::string& tag = "diary") : data(tag), dialog(p.ports())
    {
        dialog.setDataFolder(data.folder());
        for (int command : {CMD_WEATHER, CMD_EDIT, CMD_DELETE, CMD_TIMESTAMP, CMD_NEXT_DAY})
            dialog.skin().AddSkinElement({0, 0, 20, 20}, nullptr, command == CMD_EDIT, command);
        dialog.skin().calendarArea = {10, 30, 134, 167};
        dialog.editor().create({3, 40, 237, 268});
    }

    // What the start-up does with a day: show its page or an empty one.
    void startOn(const LocalDate& date)
    {
        p.calendar.todayValue = fromLocal(date);
        dialog.navigation().startOn(p.calendar.todayValue);
    }
    // The user typing: the text changes and is no longer saved.
    void type(const std::u16string& text)
    {
        dialog.editor().setText(text);
        dialog.editor().saved = false;
    }
    void command(int cmd) { dialog.onCommand(cmd, 0, 0); }

    fs::path pageFile(const LocalDate& date) const { return data.root / (toUtf8(makeDateKey(date)) + ".dry"); }
    void putPage(const LocalDate& date, const std::u16string& text, std::int32_t weather = 0) const
    {
        writeBytes(pageFile(date), encodePage({weather, text}));
    }
    LocalDate shown() const { return localDate(dialog.day().selectedDay()); }
    SkinElement& weatherButton() { return *dialog.skin().elements[0]; }
    SkinElement& editButton() { return *dialog.skin().elements[1]; }
    SkinElement& deleteButton() { return *dialog.skin().elements[2]; }
    SkinElement& stampButton() { return *dialog.skin().elements[3]; }
    // The page's display state: edit button command and cell, weather cell, weather, stamp and
    // delete buttons enabled, editor editable.
    std::vector<int> state()
    {
        return {editButton().command, editButton().cell, weatherButton().cell, weatherButton().enabled,
                stampButton().enabled, deleteButton().enabled, dialog.editor().editable};
    }

    TempFolder data;
    fakes::FakePlatform p;
    MainDialog dialog;
};

} // namespace pagelet::testing

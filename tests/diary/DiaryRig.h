#pragma once
// A MainDialog over the fakes with a real, temporary data folder and the page buttons of a skin.
#include "app/Commands.h"
#include "app/MainDialog.h"
#include "base/FileIo.h"
#include "base/Text.h"
#include "diary/DateKey.h"
#include "diary/PageFile.h"
#include "fakes/Fakes.h"

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

namespace pagelet::testing {

namespace fs = std::filesystem;

inline const std::u16string kSaveFailed = u"일기를 저장할 수 없습니다.\n데이터 폴더를 확인하시기 바랍니다.";

class TempFolder {
public:
    explicit TempFolder(const std::string& tag)
    {
        static int counter = 0;
        root = fs::temp_directory_path() /
               ("pagelet-" + tag + "-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
        fs::remove_all(root);
        fs::create_directories(root);
    }
    ~TempFolder()
    {
        std::error_code ec;
        fs::remove_all(root, ec);
    }
    std::u16string folder() const { return fromUtf8(root.string()) + u"/"; }
    fs::path root;
};

inline Bytes bytesOf(const fs::path& path)
{
    auto bytes = readFile(fromUtf8(path.string()));
    return bytes ? *bytes : Bytes {};
}

inline void writeBytes(const fs::path& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline std::vector<std::string> folderEntries(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

struct DiaryRig {
    explicit DiaryRig(const std::string& tag = "diary")
        : data(tag),
          dialog(MainDialogPorts {p.window, p.messages, p.registry, p.exit, p.calendar, p.edit, p.graphics, p.clock,
                                  p.dialogs, p.softInput})
    {
        dialog.settings.dataPath = data.folder();
        auto& skin = dialog.skin;
        skin.AddSkinElement({0, 0, 20, 20}, nullptr, 0, CMD_WEATHER);
        skin.AddSkinElement({20, 0, 40, 20}, nullptr, 1, CMD_EDIT);
        skin.AddSkinElement({40, 0, 60, 20}, nullptr, 0, CMD_DELETE);
        skin.AddSkinElement({60, 0, 80, 20}, nullptr, 0, CMD_TIMESTAMP);
        skin.AddSkinElement({80, 0, 100, 20}, nullptr, 0, CMD_NEXT_DAY);
        skin.calendarArea = {10, 30, 134, 167};
        dialog.editor.create({3, 40, 237, 268});
    }

    // What the start-up does with a day: show its page or an empty one.
    void startOn(const LocalDate& date)
    {
        p.calendar.todayValue = fromLocal(date);
        dialog.selectedDay = p.calendar.todayValue;
        dialog.previousDay = dialog.selectedDay;
        if (!dialog.loadPage(dialog.selectedDay))
            dialog.showEmptyPage();
    }

    // The user typing: the text changes and is no longer saved.
    void type(const std::u16string& text)
    {
        dialog.editor.setText(text);
        dialog.editor.saved = false;
    }

    void command(int cmd) { dialog.onCommand(cmd, 0, 0); }

    fs::path pageFile(const LocalDate& date) const { return data.root / (toUtf8(makeDateKey(date)) + ".dry"); }
    void putPage(const LocalDate& date, const std::u16string& text, std::int32_t weather = 0) const
    {
        writeBytes(pageFile(date), encodePage({weather, text}));
    }
    LocalDate shown() const { return localDate(dialog.selectedDay); }
    SkinElement& button(int index) { return *dialog.skin.elements[static_cast<std::size_t>(index)]; }
    SkinElement& weatherButton() { return button(0); }
    SkinElement& editButton() { return button(1); }
    SkinElement& deleteButton() { return button(2); }
    SkinElement& stampButton() { return button(3); }

    TempFolder data;
    fakes::FakePlatform p;
    MainDialog dialog;
};

// Sets TZ for one scope and puts the previous zone back.
class ZoneScope {
public:
    explicit ZoneScope(const char* zone)
    {
        if (const char* old = std::getenv("TZ"))
            m_old = old;
        ::setenv("TZ", zone, 1);
        ::tzset();
    }
    ~ZoneScope()
    {
        if (m_old.empty())
            ::unsetenv("TZ");
        else
            ::setenv("TZ", m_old.c_str(), 1);
        ::tzset();
    }

private:
    std::string m_old;
};

} // namespace pagelet::testing

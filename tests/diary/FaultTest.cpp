#include "DiaryRig.h"

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>

using namespace pagelet;
using namespace pagelet::testing;

namespace {

const LocalDate kDay {2001, 6, 7};

// Every way the shown page gets stored, each expected to stay put when the store fails.
enum class Leave { Next, Prev, Today, Pick, Save, Close };

const std::vector<std::pair<Leave, const char*>> kLeaves = {
    {Leave::Next, "next day"},   {Leave::Prev, "previous day"}, {Leave::Today, "today"},
    {Leave::Pick, "calendar pick"}, {Leave::Save, "save command"}, {Leave::Close, "close"},
};

// Runs one way of leaving; true when the window would close.
bool leave(DiaryRig& rig, Leave how)
{
    switch (how) {
    case Leave::Next: rig.command(CMD_NEXT_DAY); break;
    case Leave::Prev: rig.command(CMD_PREV_DAY); break;
    case Leave::Today: rig.command(CMD_TODAY); break;
    case Leave::Pick:
        rig.command(CMD_CALENDAR);
        rig.dialog.onDayPicked({2001, 8, 15});
        break;
    case Leave::Save: rig.command(CMD_SAVE); break;
    case Leave::Close: rig.p.messages.answers.push_back(MessageAnswer::Yes); return rig.dialog.OnClose();
    }
    return false;
}

// What staying means: the message once, the same day, the text unsaved in edit mode.
std::string stayProblems(DiaryRig& rig, const std::u16string& text, bool closed)
{
    std::string problems;
    auto check = [&problems](bool ok, const char* what) {
        if (!ok)
            problems += std::string(what) + "; ";
    };
    const auto& shown = rig.p.messages.shown;
    const bool messaged = !shown.empty() && shown.back().text == kSaveFailed && shown.back().buttons == MessageButtons::Ok &&
                          shown.back().caption == u"Pagelet";
    check(messaged, "no save-failure message");
    check(!closed, "closed");
    check(rig.shown() == kDay, "day changed");
    check(localDate(rig.p.calendar.selection) == kDay, "calendar left on another day");
    check(rig.dialog.editor.text == text, "text lost");
    check(rig.dialog.editor.editable, "not in edit mode");
    check(!rig.dialog.editor.saved, "marked saved");
    check(rig.editButton().command == CMD_SAVE && rig.editButton().cell == 0, "save not offered");
    check(rig.weatherButton().enabled && rig.stampButton().enabled, "editing buttons off");
    check(!rig.dialog.calendarVisible && !rig.p.calendar.visible, "calendar left open");
    return problems;
}

} // namespace

TEST(SaveFaults, AFileWhereTheDataFolderShouldBeKeepsThePageOnScreen)
{
    for (const auto& [how, what] : kLeaves) {
        DiaryRig rig;
        rig.p.calendar.todayValue = fromLocal({2001, 9, 1});
        const fs::path blocker = rig.data.root / "diary";
        writeBytes(blocker, {'n', 'o', 't', ' ', 'a', ' ', 'f', 'o', 'l', 'd', 'e', 'r'});
        rig.dialog.settings.dataPath = fromUtf8(blocker.string()) + u"/";
        rig.startOn(kDay);
        rig.p.calendar.setSelection(rig.dialog.selectedDay);
        rig.type(u"지켜야 할 글");
        rig.command(CMD_WEATHER);
        const DayValue previous = rig.dialog.previousDay;

        const bool closed = leave(rig, how);
        EXPECT_EQ(stayProblems(rig, u"지켜야 할 글", closed), "") << what;
        EXPECT_EQ(rig.p.messages.shown.size(), how == Leave::Close ? 2u : 1u) << what;
        EXPECT_EQ(rig.dialog.previousDay, previous) << what;
        EXPECT_EQ(rig.dialog.weather, 1) << what;
        EXPECT_EQ(bytesOf(blocker).size(), 12u) << what;

        // Once the folder is there, saving works again and counts.
        fs::remove(blocker);
        fs::create_directory(blocker);
        rig.command(CMD_SAVE);
        EXPECT_TRUE(rig.dialog.editor.saved) << what;
        EXPECT_EQ(bytesOf(blocker / "20010607.dry"), encodePage({1, u"지켜야 할 글"})) << what;
        EXPECT_EQ(rig.p.messages.shown.size(), how == Leave::Close ? 2u : 1u) << what;
    }
}

TEST(SaveFaults, AFileSizeLimitFailsTheSaveAndKeepsTheOldPage)
{
    TempFolder data("fsize");
    const Bytes oldPage = encodePage({3, u"어제까지의 글"});
    const Bytes otherPage = encodePage({1, std::u16string(3000, u'x')});
    writeBytes(data.root / "20010607.dry", oldPage);
    writeBytes(data.root / "20010606.dry", otherPage);

    for (const auto& [how, what] : kLeaves) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit {16 * 1024, 16 * 1024};
            ::setrlimit(RLIMIT_FSIZE, &limit);
            std::string problems;
            {
                DiaryRig rig("fsize-child");
                rig.dialog.settings.dataPath = data.folder();
                rig.startOn(kDay);
                rig.p.calendar.setSelection(rig.dialog.selectedDay);
                rig.command(CMD_EDIT);
                const std::u16string longer(20000, u'y'); // 40 KB, past the limit
                rig.type(longer);
                const bool closed = leave(rig, how);
                problems = stayProblems(rig, longer, closed);
            }
            if (!problems.empty())
                std::fprintf(stderr, "%s: %s\n", what, problems.c_str());
            std::fflush(stderr);
            ::_exit(problems.empty() ? 0 : 1);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << what;
        EXPECT_EQ(bytesOf(data.root / "20010607.dry"), oldPage) << what;
        EXPECT_EQ(bytesOf(data.root / "20010606.dry"), otherPage) << what;
        EXPECT_EQ(folderEntries(data.root), (std::vector<std::string> {"20010606.dry", "20010607.dry"})) << what;
    }
}

TEST(SaveFaults, AnUnreadablePageIsNeverDeletedOrOverwritten)
{
    struct Case {
        const char* what;
        std::function<void(const fs::path&)> make;
        std::function<bool(const fs::path&)> unchanged;
    };
    const Bytes shortBytes {7, 0, 0};
    const std::vector<Case> cases = {
        {"shorter than 8 bytes", [&](const fs::path& p) { writeBytes(p, shortBytes); },
         [&](const fs::path& p) { return bytesOf(p) == shortBytes; }},
        {"not a regular file", [](const fs::path& p) { ::mkfifo(p.c_str(), 0600); },
         [](const fs::path& p) { return fs::is_fifo(p); }},
        {"too large for a page",
         [](const fs::path& p) {
             writeBytes(p, {1, 0, 0, 0, 1, 0, 0, 0, 'z', 0});
             fs::resize_file(p, static_cast<std::uintmax_t>(kPageFileLimit) + 2);
         },
         [](const fs::path& p) {
             return fs::file_size(p) == static_cast<std::uintmax_t>(kPageFileLimit) + 2 && bytesOf(p).empty();
         }},
    };
    for (const auto& c : cases) {
        DiaryRig rig;
        const fs::path page = rig.pageFile(kDay);
        const fs::path aside = page.string() + ".bad";
        c.make(page);
        rig.deleteButton().enabled = true;
        rig.startOn(kDay);
        EXPECT_EQ(rig.dialog.editor.text, u"") << c.what;
        EXPECT_TRUE(rig.dialog.editor.editable) << c.what;
        EXPECT_TRUE(rig.deleteButton().enabled) << c.what; // it is there, after all

        // Passing through with an empty editor leaves it alone.
        rig.command(CMD_NEXT_DAY);
        rig.command(CMD_PREV_DAY);
        EXPECT_TRUE(c.unchanged(page)) << c.what;

        // A new page moves it aside first.
        rig.type(u"새 글");
        rig.command(CMD_NEXT_DAY);
        EXPECT_TRUE(rig.p.messages.shown.empty()) << c.what;
        EXPECT_TRUE(c.unchanged(aside)) << c.what;
        EXPECT_EQ(bytesOf(page), encodePage({0, u"새 글"})) << c.what;

        // Damaged again while the aside name is taken: nothing is replaced, the text stays.
        fs::remove(page);
        c.make(page);
        rig.command(CMD_PREV_DAY);
        rig.type(u"다시 쓴 글");
        rig.command(CMD_NEXT_DAY);
        EXPECT_EQ(stayProblems(rig, u"다시 쓴 글", false), "") << c.what;
        EXPECT_TRUE(c.unchanged(page)) << c.what;
        EXPECT_TRUE(c.unchanged(aside)) << c.what;
    }
}

#include "DiaryRig.h"

#include "diary/FindDialog.h"

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>

using namespace pagelet;
using namespace pagelet::testing;

namespace {

// Every way the shown page gets stored, each expected to stay put when the store fails; 0 is
// the close.
const std::vector<std::pair<int, const char*>> kLeaves = {
    {CMD_NEXT_DAY, "next day"},      {CMD_PREV_DAY, "previous day"}, {CMD_TODAY, "today"},
    {CMD_CALENDAR, "calendar pick"}, {CMD_SAVE, "save command"},     {0, "close"},
    {CMD_FIND, "jump to a found day"},
};

// Writes text on the shown day, then leaves it one way (0: the close) while every store fails.
// Gives what went wrong: staying means the message once, the same day, the text and its weather
// mark unsaved in edit mode.
std::string writeAndFailToLeave(DiaryRig& rig, int how, const std::u16string& text)
{
    rig.startOn(kDay);
    rig.p.messages.shown.clear(); // what showing the day said is for the callers to check
    rig.p.calendar.todayValue = fromLocal({2001, 9, 1});
    rig.p.calendar.setSelection(rig.dialog.day().selectedDay());
    rig.dialog.calendar().onSelectionChanged({2001, 5, 1}); // the calendar was browsed to May
    rig.command(CMD_EDIT);
    rig.type(text);
    rig.command(CMD_WEATHER);
    const std::int32_t weather = rig.dialog.day().weather();
    rig.p.messages.answers.push_back(MessageAnswer::Yes);
    rig.p.dialogs.script<FindDialog>([](FindDialog& found) {
        found.foundDay = fromLocal({2001, 8, 15});
        return true;
    });
    const bool closed = how == 0 && rig.dialog.OnClose();
    if (how)
        rig.command(how);
    if (how == CMD_CALENDAR) { // the calendar moves its selection on the tap
        rig.p.calendar.selection = fromLocal({2001, 8, 15});
        rig.dialog.navigation().onDayPicked({2001, 8, 15});
    }

    const auto& shown = rig.p.messages.shown;
    const fakes::ShownMessage failed {u"일기를 저장할 수 없습니다.\n데이터 폴더를 확인하시기 바랍니다.", u"Pagelet",
                                      MessageButtons::Ok, MessageIcon::Exclamation};
    const std::pair<bool, const char*> checks[] = {
        {shown.size() == (how ? 1u : 2u) && shown.back() == failed, "no save-failure message, or more"}, // the close asks first
        {!closed, "closed"},
        {rig.shown() == kDay && localDate(rig.p.calendar.selection) == kDay, "day changed"},
        {localDate(rig.dialog.day().previousDay()) == LocalDate {2001, 5, 1}, "previous day changed"},
        {rig.dialog.editor().text == text && rig.dialog.day().weather() == weather && !rig.dialog.editor().saved, "page lost or marked saved"},
        {rig.editButton().command == CMD_SAVE && rig.editButton().cell == 0 && rig.weatherButton().enabled &&
             rig.stampButton().enabled && rig.dialog.editor().editable,
         "not editing"},
        {!rig.dialog.calendar().visible() && !rig.p.calendar.visible, "calendar left open"},
    };
    std::string problems;
    for (const auto& [ok, what] : checks)
        problems += ok ? "" : std::string(what) + "; ";
    return problems;
}

} // namespace

TEST(SaveFaults, AStoreThatFailsKeepsThePageOnScreenAndEveryFileAsItWas)
{
    for (const bool sizeLimit : {false, true}) {
        SCOPED_TRACE(sizeLimit ? "a file-size limit" : "a file where the data folder should be");
        TempFolder data("fault");
        writeBytes(data.root / "20010607.dry", encodePage({3, u"어제까지의 글"}));
        writeBytes(data.root / "20010606.dry", encodePage({1, std::u16string(3000, u'x')}));
        writeBytes(data.root / "diary", {'n', 'o', 't', ' ', 'a', ' ', 'f', 'o', 'l', 'd', 'e', 'r'});
        const Files before = files(data.root);
        // In a child, as a file-size limit can't be lifted again.
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit {sizeLimit ? 16 * 1024 : RLIM_INFINITY, RLIM_INFINITY};
            ::setrlimit(RLIMIT_FSIZE, &limit);
            std::string problems;
            for (const auto& [how, what] : kLeaves) {
                DiaryRig rig("fault-child");
                rig.dialog.setDataFolder(data.folder() + (sizeLimit ? u"" : u"diary/"));
                const std::string found = writeAndFailToLeave(rig, how, std::u16string(20000, u'y')); // 40 KB, past the limit
                problems += found.empty() ? "" : std::string(what) + ": " + found + "\n";
            }
            std::fputs(problems.c_str(), stderr);
            ::_exit(problems.empty() ? 0 : 1);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        EXPECT_EQ(files(data.root), before); // every byte as it was, and no temporary file left
    }
}

TEST(SaveFaults, AnUnreadablePageIsNeverDeletedOrOverwritten)
{
    // What is at a path: its kind, its size and the bytes a page read takes from it.
    const auto snapshot = [](const fs::path& p) {
        if (fs::is_symlink(p))
            return "link to " + fs::read_symlink(p).string();
        if (!fs::is_regular_file(p))
            return std::string(fs::is_fifo(p) ? "fifo" : "nothing");
        const Bytes bytes = bytesOf(p);
        return std::to_string(fs::file_size(p)) + ":" + std::string(bytes.begin(), bytes.end());
    };
    const std::vector<std::pair<const char*, std::function<void(const fs::path&)>>> cases = {
        {"shorter than 8 bytes", [](const fs::path& p) { writeBytes(p, {7, 0, 0}); }},
        {"no length while text follows", [](const fs::path& p) { writeBytes(p, {1, 0, 0, 0, 0, 0, 0, 0, 'a', 0}); }},
        {"not a regular file", [](const fs::path& p) { ::mkfifo(p.c_str(), 0600); }},
        {"a link to a good page", [](const fs::path& p) {
             writeBytes(p.parent_path() / "elsewhere.txt", encodePage({1, u"남의 글"}));
             fs::create_symlink(p.parent_path() / "elsewhere.txt", p);
         }},
        {"too large for a page", [](const fs::path& p) {
             writeBytes(p, {1, 0, 0, 0, 1, 0, 0, 0, 'z', 0});
             fs::resize_file(p, static_cast<std::uintmax_t>(kPageFileLimit) + 2);
         }},
    };
    for (const auto& [what, make] : cases) {
        SCOPED_TRACE(what);
        DiaryRig rig;
        const fs::path page = rig.pageFile(kDay), aside = page.string() + ".bad";
        make(page);
        const std::string damaged = snapshot(page);
        rig.deleteButton().enabled = true;
        rig.startOn(kDay);
        EXPECT_EQ(rig.dialog.editor().text, u"");
        EXPECT_TRUE(rig.dialog.editor().editable);
        EXPECT_TRUE(rig.deleteButton().enabled); // it is there, after all

        // Passing through with an empty editor leaves it alone; each showing says it once.
        rig.command(CMD_NEXT_DAY);
        rig.command(CMD_PREV_DAY);
        EXPECT_EQ(snapshot(page), damaged);
        const fakes::ShownMessage unreadable {u"일기를 읽을 수 없습니다.\n데이터 폴더를 확인하시기 바랍니다.", u"Pagelet",
                                              MessageButtons::Ok, MessageIcon::Exclamation};
        EXPECT_EQ(rig.p.messages.shown, std::vector<fakes::ShownMessage>(2, unreadable));

        // A new page moves it aside first.
        rig.type(u"새 글");
        rig.command(CMD_NEXT_DAY);
        EXPECT_EQ(rig.p.messages.shown.size(), 2u);
        EXPECT_EQ(snapshot(aside), damaged);
        EXPECT_TRUE(fs::is_regular_file(page) && bytesOf(page) == encodePage({0, u"새 글"})); // never a blocking read of a FIFO

        // Damaged again while the aside name is taken: nothing is replaced, the text stays.
        fs::remove(page);
        make(page);
        EXPECT_EQ(writeAndFailToLeave(rig, CMD_NEXT_DAY, u"다시 쓴 글"), "");
        EXPECT_EQ(snapshot(page), damaged);
        EXPECT_EQ(snapshot(aside), damaged);

        // Once the name is free, the next save works and counts.
        fs::remove(aside);
        rig.command(CMD_SAVE);
        EXPECT_TRUE(rig.dialog.editor().saved);
        EXPECT_TRUE(fs::is_regular_file(page) && bytesOf(page) == encodePage({1, u"다시 쓴 글"}));
        EXPECT_EQ(snapshot(aside), damaged);
        EXPECT_EQ(rig.p.messages.shown.size(), 1u);
    }
}

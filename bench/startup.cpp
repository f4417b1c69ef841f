// Start to the first painted window, as whole processes: Pagelet as built (or the path given
// with --pagelet) beside the floors, interleaved. Both sides get the same preloaded hook that
// ends a process after its first window's first paint, so the shipped program is timed as is.
// Run it under a display: xvfb-run -a -s "-screen 0 800x600x24" build/bin/bench_startup
//   --rounds N --blocks B   rounds per block, blocks (15 and 3 unless told)
//   --cases a,b             of: empty, 10k, 1m, 10m, years
//   --until text            to the page's text painted rather than the window's first paint:
//                           every floor is then the bare window holding a stock editor that
//                           opens the same page (none for the empty day)
//   --before PATH           another build's program in the floor's place, on the same install,
//                           so a change is timed against the build before it
#include "ProcessRace.h"
#include "base/Day.h"
#include "base/Text.h"
#include "store/DayKey.h"
#include "store/PageFormat.h"

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>

using namespace pagelet;
namespace fs = std::filesystem;

namespace {

fs::path binDir()
{
    return fs::read_symlink("/proc/self/exe").parent_path();
}

// Short and long paragraphs, Hangul and Latin, as a diary holds them; units of UTF-16.
std::u16string textOf(std::size_t units)
{
    const std::u16string pieces[] = {u"오늘은 비가 왔다.", u"Walked to the river and back before lunch, then read.",
                                     u"", u"점심: 김치찌개, 저녁은 친구와 함께 먹었다. It was a long and quiet day."};
    std::u16string text;
    for (int i = 0; text.size() < units; ++i)
        text += pieces[i % 4] + u"\r\n";
    text.resize(units);
    return text;
}

LocalDate today()
{
    return localDate(static_cast<DayValue>(std::time(nullptr)));
}

// An install of its own (program folder, registry under its own XDG_CONFIG_HOME), with pages.
struct Install {
    Install(const fs::path& root, const std::string& name) : dir(root / name)
    {
        fs::create_directories(dir / "config");
        env = {"XDG_CONFIG_HOME=" + (dir / "config").string(), "XDG_DATA_HOME=" + (dir / "data").string(),
               "XDG_STATE_HOME=" + (dir / "state").string()};
        Side setup {"setup", {(binDir() / "pagelet-setup").string(), "--program-path", (dir / "program").string()}, env};
        Run run;
        ok = runOnce(setup, run);
    }
    fs::path page(const LocalDate& d) const { return dir / "program" / "diary" / (toUtf8(makeDateKey(d)) + ".dry"); }
    // Written plainly: a durable write of each of 18,000 pages would take minutes here.
    void put(const LocalDate& d, std::size_t units)
    {
        const Bytes bytes = encodePage({1, textOf(units)});
        std::ofstream(page(d), std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    // A page of about 1 KB for every day of the last `years` years, today's included.
    void putYears(int years)
    {
        const LocalDate end = today();
        LocalDate d {end.year - years, end.month, end.day};
        for (; !(d == end); d = nextDate(d))
            put(d, 512);
        put(end, 512);
    }
    Side side(const std::string& name, const std::string& program) const
    {
        return {name, {program}, env};
    }
    fs::path dir;
    std::vector<std::string> env;
    bool ok = false;
};

bool wanted(const std::string& cases, const char* name)
{
    return cases.empty() || ("," + cases + ",").find(std::string(",") + name + ",") != std::string::npos;
}

} // namespace

int main(int argc, char** argv)
{
    int rounds = 15, blocks = 3;
    std::string cases, pagelet = PAGELET_BIN, before;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--rounds"))
            rounds = std::atoi(argv[i + 1]);
        else if (!std::strcmp(argv[i], "--blocks"))
            blocks = std::atoi(argv[i + 1]);
        else if (!std::strcmp(argv[i], "--cases"))
            cases = argv[i + 1];
        else if (!std::strcmp(argv[i], "--pagelet"))
            pagelet = argv[i + 1];
        else if (!std::strcmp(argv[i], "--before"))
            before = argv[i + 1];
        else if (!std::strcmp(argv[i], "--until") && !std::strcmp(argv[i + 1], "text"))
            setenv("FIRST_PAINT_OF", "text", 1);
    }
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY") && !std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    const fs::path hook = binDir() / "bench_first_paint_exit.so";
    if (!fs::exists(hook)) {
        std::fprintf(stderr, "%s is missing: nothing would end the programs\n", hook.c_str());
        return 1;
    }
    setenv("LD_PRELOAD", hook.c_str(), 1);
    const fs::path root = fs::temp_directory_path() / ("pagelet-bench-start-" + std::to_string(::getpid()));
    fs::remove_all(root);
    std::printf("# pagelet: %s\n", pagelet.c_str());
    if (!before.empty())
        std::printf("# before: %s\n", before.c_str());
    const bool untilText = std::getenv("FIRST_PAINT_OF") != nullptr;
    std::printf("# until: %s\n", untilText ? "the page's text painted" : "the window's first paint");
    const Side bare {"bare window", {(binDir() / "bench_bare_window").string()}, {}};
    const auto stockWith = [&](const std::vector<std::string>& page) {
        std::vector<std::string> command {(binDir() / "bench_stock_editor").string()};
        command.insert(command.end(), page.begin(), page.end());
        return Side {"bare window + QPlainTextEdit", command, {}};
    };
    const auto pair = [&](const char* title, const Side& floor, const Side& ours) {
        // The build before opens the same install, in the floor's place.
        const std::vector<Side> sides {before.empty() ? floor : Side {"before: " + ours.name, {before}, ours.env}, ours};
        report(title, sides, race(sides, blocks, rounds), rounds);
    };
    int status = 0;
    if (wanted(cases, "empty")) {
        Install empty(root, "empty");
        status |= !empty.ok;
        pair("empty day", untilText ? stockWith({}) : bare, empty.side("pagelet, empty day", pagelet));
    }
    if (wanted(cases, "10k")) {
        Install small(root, "10k");
        small.put(today(), 5 * 1024);
        status |= !small.ok;
        pair("10 KB page today", untilText ? stockWith({small.page(today()).string()}) : bare,
             small.side("pagelet, 10 KB today", pagelet));
    }
    if (wanted(cases, "1m")) {
        Install large(root, "1m");
        large.put(today(), 512 * 1024);
        status |= !large.ok;
        const Side stock {"bare window + QPlainTextEdit", {(binDir() / "bench_stock_editor").string(), large.page(today()).string()}, {}};
        pair("1 MB page today", stock, large.side("pagelet, 1 MB today", pagelet));
    }
    // Mostly for its memory: the page held by the whole program against the stock editor's.
    if (wanted(cases, "10m")) {
        Install huge(root, "10m");
        huge.put(today(), 5 * 1024 * 1024);
        status |= !huge.ok;
        const Side stock {"bare window + QPlainTextEdit", {(binDir() / "bench_stock_editor").string(), huge.page(today()).string()}, {}};
        pair("10 MB page today", stock, huge.side("pagelet, 10 MB today", pagelet));
    }
    if (wanted(cases, "years")) {
        std::vector<Side> sides;
        std::vector<Install> installs;
        installs.reserve(3);
        for (int years : {1, 10, 50}) {
            installs.emplace_back(root, std::to_string(years) + "y");
            installs.back().putYears(years);
            status |= !installs.back().ok;
            sides.push_back(installs.back().side("pagelet, " + std::to_string(years) + " years", pagelet));
        }
        report("years of pages (against 1 year)", sides, race(sides, blocks, rounds), rounds);
    }
    fs::remove_all(root);
    return status;
}

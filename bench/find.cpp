// The month search over 31 pages of 100 KB of Hangul and Latin text, with the letter case
// folded and exact, beside reading the same files' bytes (the floor) and grep -F -i -l over
// the same files (what one would reach for without the program).
#include "base/FileIo.h"
#include "base/Text.h"
#include "diary/DiaryRange.h"
#include "store/DayKey.h"
#include "diary/FindDialog.h"
#include "store/PlainPageStore.h"
#include "app/PanelKeyboard.h"
#include "ChildProcess.h"
#include "fakes/FakeDialogView.h"
#include "fakes/Fakes.h"
#include "qt/ports/QtCaseFolding.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <memory>
#include <unistd.h>

using namespace pagelet;
namespace fs = std::filesystem;

namespace {

constexpr int kYear = 2001, kMonth = 7; // 31 days
constexpr std::size_t kPageUnits = 50 * 1024; // 100 KB of text
const std::u16string kWord = u"Lantern";

// Words of both scripts in mixed case, 60-odd units to a line; the word looked for is on two
// days only, near the end of their pages, once as typed and once in capitals.
std::u16string pageText(int day)
{
    static const std::u16string words[] = {u"오늘은", u"비가", u"왔다", u"Morning", u"coffee", u"친구와", u"함께",
                                           u"PARK", u"walk", u"저녁에는", u"Seoul", u"책을", u"읽었다", u"quiet"};
    std::u16string text;
    unsigned seed = static_cast<unsigned>(day) * 2654435761u;
    int inLine = 0;
    while (text.size() < kPageUnits) {
        seed = seed * 1103515245u + 12345u;
        text += words[(seed >> 16) % std::size(words)];
        inLine += 1;
        text += inLine % 9 == 0 ? u"\r\n" : u" ";
    }
    text.resize(kPageUnits - 40);
    text += day == 18 ? u" a paper Lantern " : day == 27 ? u" LANTERN festival" : u" an evening walk ";
    text.resize(kPageUnits, u'.');
    return text;
}

struct Month {
    Month() : root(fs::temp_directory_path() / ("pagelet-bench-find-" + std::to_string(::getpid())))
    {
        fs::remove_all(root);
        fs::create_directories(root);
        for (int d = 1; d <= 31; ++d) {
            const std::u16string path = folder() + makeDateKey(LocalDate {kYear, kMonth, d}) + kPageExtension;
            writeFileAtomic(path, encodePage({0, pageText(d)}));
            paths.push_back(toUtf8(path));
        }
    }
    ~Month() { fs::remove_all(root); }
    std::u16string folder() const { return fromUtf8(root.string()) + u"/"; }

    fs::path root;
    std::vector<std::string> paths;
};

// fresh: the first Find of a session, in a new dialog that asks the platform for the lower case
// of every unit.
void scanMonth(benchmark::State& state, bool fresh)
{
    Month month;
    fakes::FakeMessageBox messages;
    fakes::FakeSoftInput panel;
    PanelKeyboard keyboard(panel);
    auto folding = std::make_unique<QtCaseFolding>();
    fakes::FakeCalendar calendar;
    calendar.range = {{2001, 6, 24}, {2001, 8, 4}, 3};
    fakes::FakeDialogView view;
    view.calendars[FindDialog::kCalendar] = &calendar;
    const PlainPageStore store(month.folder());
    auto dialog = std::make_unique<FindDialog>(store, messages, *folding, keyboard);
    auto setUp = [&] {
        dialog->searchWord = kWord;
        dialog->matchCase = static_cast<std::int32_t>(state.range(0));
    };
    setUp();
    for (auto _ : state) {
        if (fresh) {
            dialog.reset();
            folding = std::make_unique<QtCaseFolding>();
            dialog = std::make_unique<FindDialog>(store, messages, *folding, keyboard);
            setUp();
        }
        benchmark::DoNotOptimize(dialog->scanMonth(view));
    }
    // Folded: the 18th and the 27th; exact: the 18th.
    const std::uint32_t want = dialog->matchCase ? 1u << 17 : (1u << 17 | 1u << 26);
    if (calendar.masks.size() != 3 || calendar.masks[1] != want)
        state.SkipWithError("wrong days marked");
    state.SetLabel(dialog->matchCase ? "match case on" : "match case off");
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * 31 * static_cast<std::int64_t>(8 + 2 * kPageUnits));
}
void BM_ScanMonth(benchmark::State& state)
{
    scanMonth(state, false);
}
BENCHMARK(BM_ScanMonth)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_FirstScanMonth(benchmark::State& state)
{
    scanMonth(state, true);
}
BENCHMARK(BM_FirstScanMonth)->Arg(0)->Unit(benchmark::kMillisecond);

// The floor: the 31 files' bytes, read and nothing else.
void BM_ReadMonthBytes(benchmark::State& state)
{
    Month month;
    for (auto _ : state)
        for (const auto& path : month.paths)
            benchmark::DoNotOptimize(readFile(fromUtf8(path)));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * 31 * static_cast<std::int64_t>(8 + 2 * kPageUnits));
}
BENCHMARK(BM_ReadMonthBytes)->Unit(benchmark::kMillisecond);

// grep over the same files, started afresh each time as a user would. It reads the pages as
// bytes, so it finds nothing in their UTF-16 text and reads every file to its end.
void BM_GrepMonth(benchmark::State& state)
{
    Month month;
    std::vector<std::string> args = {"grep", "-F", "-i", "-l", toUtf8(kWord)};
    args.insert(args.end(), month.paths.begin(), month.paths.end());
    ChildProcess grep(std::move(args), true);
    for (auto _ : state) {
        if (grep.run() < 0) {
            state.SkipWithError("grep did not run");
            break;
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * 31 * static_cast<std::int64_t>(8 + 2 * kPageUnits));
}
BENCHMARK(BM_GrepMonth)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();

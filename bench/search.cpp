// Searching ten years of pages: the program's own --search, the same search in the process,
// and grep -F -r -l over the same folder for the same bytes, in one run.
#include "base/FileIo.h"
#include "base/Text.h"
#include "diary/DateKey.h"
#include "store/DayKey.h"
#include "diary/DiarySearch.h"
#include "store/PlainPageStore.h"
#include "qt/ports/QtCaseFolding.h"
#include "ChildProcess.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <fstream>
#include <unistd.h>

using namespace pagelet;
namespace fs = std::filesystem;

namespace {

constexpr int kDays = 3650;
constexpr std::size_t kPageUnits = 5 * 1024; // 10 KB of text

// Every tenth page has the word on its last line, as "Zebra"; the rest never holds it.
struct Pages {
    Pages() : root(fs::temp_directory_path() / ("pagelet-bench-search-" + std::to_string(::getpid())))
    {
        fs::create_directories(root / "diary");
        const std::u16string line = u"오늘은 비가 왔다. Walked to the market, 사과 두 개 and some bread.\r\n";
        const DayValue first = fromLocal({2016, 1, 1}, 12);
        for (int i = 0; i < kDays; ++i) {
            std::u16string text;
            while (text.size() + line.size() < kPageUnits)
                text += line;
            text += i % 10 == 9 ? u"Zebra 끝" : u"끝";
            writeFileAtomic(fromUtf8((root / "diary").string()) + u"/" + makeDateKey(addDays(first, i)) + u".dry",
                            encodePage({i % 5, text}));
        }
        // grep is given the word's UTF-16LE bytes, so both find the same pages.
        std::ofstream(root / "word") << std::string("Z\0e\0b\0r\0a\0", 10);
    }
    ~Pages() { fs::remove_all(root); }
    std::string data() const { return (root / "diary").string(); }

    fs::path root;
};

const Pages& pages()
{
    static const Pages p;
    return p;
}

// Runs the program to its end; each must find what it is meant to find.
void run(ChildProcess& command, int expected = 0)
{
    if (command.run() != expected)
        std::abort();
}

// Same pages found: -a, since grep would otherwise end lines at the pages' zero bytes and never
// match a UTF-16 word.
void BM_Grep(benchmark::State& state)
{
    const auto& p = pages();
    ChildProcess grep({"grep", "-a", "-F", "-r", "-l", "-f", (p.root / "word").string(), p.data()}, true);
    for (auto _ : state)
        run(grep);
}
BENCHMARK(BM_Grep)->Unit(benchmark::kMillisecond)->UseRealTime();

// What a user would type: the word as UTF-8, which no page holds, so grep reads everything.
void BM_GrepAsTyped(benchmark::State& state)
{
    const auto& p = pages();
    ChildProcess grep({"grep", "-F", "-r", "-l", "Zebra", p.data()}, true);
    for (auto _ : state)
        run(grep, 1);
}
BENCHMARK(BM_GrepAsTyped)->Unit(benchmark::kMillisecond)->UseRealTime();

// The whole program as a script meets it: start, search, print, end.
void BM_PageletSearch(benchmark::State& state)
{
    const auto& p = pages();
    const bool matchCase = state.range(0) != 0;
    ChildProcess search(matchCase ? std::vector<std::string> {PAGELET_BIN, "--search", "Zebra", "--match-case", "--data", p.data()}
                                  : std::vector<std::string> {PAGELET_BIN, "--search", "zebra", "--data", p.data()},
                        true);
    for (auto _ : state)
        run(search);
}
BENCHMARK(BM_PageletSearch)->Arg(0)->Arg(1)->ArgName("match_case")->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SearchFolder(benchmark::State& state)
{
    const auto& p = pages();
    const QtCaseFolding folding;
    DiarySearch search(folding);
    const bool matchCase = state.range(0) != 0;
    const PlainPageStore store(fromUtf8(p.data()) + u"/");
    const DiarySearch::Request request {matchCase ? u"Zebra" : u"zebra", matchCase};
    for (auto _ : state) {
        int hits = 0;
        search.searchFolder(store, request, [&hits](const SearchHit&) { ++hits; });
        if (hits != kDays / 10)
            std::abort();
    }
    state.SetBytesProcessed(state.iterations() * kDays * static_cast<std::int64_t>(8 + 2 * kPageUnits));
}
BENCHMARK(BM_SearchFolder)->Arg(0)->Arg(1)->ArgName("match_case")->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();

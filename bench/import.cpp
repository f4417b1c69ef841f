// Importing 10,000 entries (read, plan, write) beside storing the same pages straight through
// the page store, each into an empty folder, interleaved round by round with the order
// alternating. Prints each side's median and spread, and the ratio of the medians.
#include "base/Text.h"
#include "import/DayImport.h"
#include "import/ImportSource.h"
#include "qt/ports/QtZoneOffsets.h"
#include "store/PlainPageStore.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using namespace pagelet;

namespace {

constexpr int kEntries = 10000;

// A plain journal of kEntries entries, one a day, each a few lines of Hangul and Latin.
void writeJournal(const fs::path& file)
{
    std::ofstream out(file, std::ios::binary);
    std::int64_t day = 10957; // 2000-01-01
    for (int i = 0; i < kEntries; ++i, ++day) {
        const std::time_t t = day * 86400;
        std::tm tm {};
        gmtime_r(&t, &tm);
        char head[64];
        std::snprintf(head, sizeof head, "[%04d-%02d-%02d 08:%02d] 제목 %d\n", tm.tm_year + 1900, tm.tm_mon + 1,
                      tm.tm_mday, i % 60, i);
        out << head << "오늘은 맑았다. The walk by the river took an hour.\n둘째 줄 " << i << "\n\n";
    }
}

double seconds(std::chrono::steady_clock::duration d)
{
    return std::chrono::duration<double>(d).count();
}

std::u16string freshFolder(const fs::path& root, const std::string& name)
{
    fs::remove_all(root / name);
    fs::create_directories(root / name);
    return fromUtf8((root / name).string()) + u"/";
}

struct Summary {
    double median, low, high;
};

Summary summarise(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return {v[v.size() / 2], v.front(), v.back()};
}

} // namespace

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const fs::path root = fs::temp_directory_path() / ("pagelet-bench-import-" + std::to_string(::getpid()));
    fs::create_directories(root);
    const fs::path journal = root / "journal.txt";
    writeJournal(journal);
    const QtZoneOffsets zones;

    // The pages the direct side stores: exactly what the import writes into an empty folder.
    std::vector<ImportedDay> pages;
    {
        PlainPageStore empty(freshFolder(root, "plan"));
        const auto source = readImportSource(fromUtf8(journal.string()));
        auto plan = source ? planImport(*source, empty, zones) : Outcome<ImportPlan>(Failure {});
        if (!source || !plan || plan->entries != kEntries) {
            std::fprintf(stderr, "the journal did not read: %s%s\n", source.error().c_str(), plan.error().c_str());
            return 1;
        }
        pages = std::move(plan->days);
    }

    const auto importSide = [&] {
        PlainPageStore store(freshFolder(root, "import"));
        const auto start = std::chrono::steady_clock::now();
        const auto source = readImportSource(fromUtf8(journal.string()));
        const auto plan = source ? planImport(*source, store, zones) : Outcome<ImportPlan>(Failure {});
        if (!plan || !applyImport(*plan, store))
            std::abort();
        return seconds(std::chrono::steady_clock::now() - start);
    };
    const auto directSide = [&] {
        PlainPageStore store(freshFolder(root, "direct"));
        const auto start = std::chrono::steady_clock::now();
        for (const ImportedDay& day : pages)
            if (store.write(day.date, day.page) != StoreResult::Written)
                std::abort();
        return seconds(std::chrono::steady_clock::now() - start);
    };

    std::vector<double> imported, direct;
    for (int r = 0; r < rounds; ++r) {
        if (r % 2 == 0) {
            imported.push_back(importSide());
            direct.push_back(directSide());
        } else {
            direct.push_back(directSide());
            imported.push_back(importSide());
        }
        std::printf("round %d: import %.3f s, direct %.3f s\n", r + 1, imported.back(), direct.back());
    }
    const Summary a = summarise(imported), b = summarise(direct);
    std::printf("import of %d entries: median %.3f s (%.3f to %.3f)\n", kEntries, a.median, a.low, a.high);
    std::printf("storing the same %zu pages: median %.3f s (%.3f to %.3f)\n", pages.size(), b.median, b.low, b.high);
    std::printf("ratio of medians: %.2fx (target: at most 2x)\n", a.median / b.median);
    fs::remove_all(root);
    return 0;
}

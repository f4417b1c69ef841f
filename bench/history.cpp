// A save with page history beside one without, and a backup beside `zip -q -r` of the same
// folder: both sides of each comparison set up alike and run interleaved, round by round.
#include "base/FileIo.h"
#include "base/Text.h"
#include "state/DiaryBackup.h"
#include "state/PageHistory.h"
#include "store/PlainPageStore.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <random>
#include <unistd.h>
#include <vector>

using namespace pagelet;
namespace fs = std::filesystem;

namespace {

double millisOf(const std::function<void()>& work)
{
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

void report(const char* name, std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    std::printf("%-28s median %9.3f ms   min %9.3f   max %9.3f   (%zu runs)\n", name, times[times.size() / 2], times.front(),
                times.back(), times.size());
}

// About 10 KB of a diary's mixed Hangul and Latin words.
std::u16string pageText(std::mt19937& random)
{
    static const std::u16string words[] = {u"오늘은", u"비가", u"왔다", u"diary", u"morning", u"산책을", u"했다", u"coffee", u"친구와"};
    std::u16string text;
    while (text.size() * 2 < 10000)
        text += words[random() % std::size(words)] + (random() % 12 ? u" " : u"\r\n");
    return text;
}

std::u16string slash(const fs::path& p)
{
    return fromUtf8(p.string() + "/");
}

} // namespace

int main()
{
    const fs::path root = fs::temp_directory_path() / ("pagelet-bench-history-" + std::to_string(::getpid()));
    fs::remove_all(root);
    for (const char* sub : {"plain", "kept", "state", "diary"})
        fs::create_directories(root / sub);
    std::mt19937 random(7);

    // Saves: a history that already holds a year of other days' versions.
    PlainPageStore plain(slash(root / "plain")), kept(slash(root / "kept"));
    PageHistory history(StateFolder(slash(root / "state"), slash(root / "kept")));
    kept.setKeeper(&history);
    for (int day = 1; day <= 365; ++day) {
        const LocalDate date = localDate(fromLocal({2025, 1, 1}, 12) + (day - 1) * 86400ll);
        for (PlainPageStore* store : {&plain, &kept})
            store->write(date, {0, pageText(random)});
        kept.write(date, {0, pageText(random)});
    }
    std::vector<double> plainTimes, keptTimes, writtenTimes;
    const LocalDate today {2026, 12, 8};
    history.flush();
    for (int round = 0; round < 60; ++round) {
        const Page page {1, pageText(random)};
        plainTimes.push_back(millisOf([&] { plain.write(today, page); }));
        // What the saver waits for; the version is written on the history's thread, which is
        // let finish before the next save so it never overlaps the other side.
        keptTimes.push_back(millisOf([&] { kept.write(today, page); }));
        history.flush();
        // And the whole cost: the save and its version written.
        const Page again {1, pageText(random)};
        writtenTimes.push_back(millisOf([&] { kept.write(today, again); history.flush(); }));
    }
    // Every save kept the page it replaced (the same bytes only once).
    if (history.versions(today).size() < 100) {
        std::fprintf(stderr, "the history kept %zu versions of 120 saves\n", history.versions(today).size());
        return 1;
    }
    report("save without history", plainTimes);
    report("save with history", keptTimes);
    report("  and its version written", writtenTimes);

    // Backups: ten years of 10 KB pages.
    for (int i = 0; i < 3650; ++i) {
        const LocalDate date = localDate(fromLocal({2016, 1, 1}, 12) + i * 86400ll);
        PlainPageStore(slash(root / "diary")).write(date, {0, pageText(random)});
    }
    const std::u16string ours = fromUtf8((root / "ours.zip").string());
    const std::string zipCommand = "cd '" + root.string() + "' && zip -q -r theirs.zip diary";
    std::vector<double> backupTimes, zipTimes;
    for (int round = 0; round < 7; ++round) {
        fs::remove(root / "ours.zip");
        fs::remove(root / "theirs.zip");
        backupTimes.push_back(millisOf([&] {
            if (!writeBackup(PlainPageStore(slash(root / "diary")), u"", ours))
                std::abort();
        }));
        zipTimes.push_back(millisOf([&] {
            if (std::system(zipCommand.c_str()) != 0)
                std::abort();
        }));
    }
    report("backup of 3650 pages", backupTimes);
    report("zip -q -r of the same", zipTimes);
    std::printf("sizes: ours %llu bytes, zip %llu bytes\n", static_cast<unsigned long long>(fs::file_size(root / "ours.zip")),
                static_cast<unsigned long long>(fs::file_size(root / "theirs.zip")));
    fs::remove_all(root);
}

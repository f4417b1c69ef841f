// What encryption costs, each comparison's sides set up alike and run interleaved, the order
// turning round by round:
//   unlock   the diary key out of a key file made with the shipped parameters (Argon2id, 3
//            passes over 256 MiB), the passphrase given: the wait at every start
//   change   a change of day with 100 KB pages on the real editor widget, edited (the page left
//            is stored) and unedited, an encrypted diary against a plain one
//   search   3,650 pages of 10 KB: the same DiarySearch over the sealed pages (unlocked) and
//            over the plain ones, in this process; and the whole `pagelet --search` process on
//            each, the encrypted one with --passphrase-fd, so with its unlock inside
// Neither side keeps history or a crash journal (no state folder), as in bench_days.
//   --rounds N   rounds of each (15 unless told; the change of day runs 3 N)
#include "ProcessRace.h"
#include "RealEditor.h"
#include "base/FileIo.h"
#include "base/Text.h"
#include "crypto/KeyFile.h"
#include "crypto/SealedFile.h"
#include "diary/DiarySearch.h"
#include "platform/Commands.h"
#include "qt/ports/QtCaseFolding.h"
#include "store/DayKey.h"
#include "store/EncryptedPageStore.h"
#include "store/FolderEncryption.h"

#include <QApplication>
#include <QTextCursor>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>

using namespace pagelet;
namespace fs = std::filesystem;

namespace {

const std::string kPassphrase = "correct horse 배터리 staple";

std::span<const std::uint8_t> passphrase()
{
    return {reinterpret_cast<const std::uint8_t*>(kPassphrase.data()), kPassphrase.size()};
}

// Every thread's: the search reads pages on two.
double processCpuMs()
{
    timespec t {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return 1e3 * static_cast<double>(t.tv_sec) + 1e-6 * static_cast<double>(t.tv_nsec);
}

struct Timings {
    std::vector<double> wall, cpu;
};

void timed(Timings& into, const std::function<void()>& work)
{
    const auto begin = std::chrono::steady_clock::now();
    const double cpuBegin = processCpuMs();
    work();
    into.cpu.push_back(processCpuMs() - cpuBegin);
    into.wall.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - begin).count());
}

// Each side's wall and CPU, then the encrypted side against the plain one round by round.
void reportPair(const char* title, const Timings& plain, const Timings& sealed, const char* format = "%.3f")
{
    std::printf("\n## %s\n%zu rounds; median [p25-p75] (min-max), ms\n", title, plain.wall.size());
    std::printf("%-10s wall %-40s cpu %s\n", "plain", spread(plain.wall, format).c_str(), spread(plain.cpu, format).c_str());
    std::printf("%-10s wall %-40s cpu %s\n", "encrypted", spread(sealed.wall, format).c_str(), spread(sealed.cpu, format).c_str());
    std::vector<double> w, c;
    for (std::size_t i = 0; i < plain.wall.size(); ++i) {
        w.push_back(sealed.wall[i] / plain.wall[i]);
        c.push_back(sealed.cpu[i] / std::max(plain.cpu[i], 1e-6));
    }
    std::printf("encrypted / plain: wall %s; cpu %s\n", spread(w, "%.3f").c_str(), spread(c, "%.3f").c_str());
    std::fflush(stdout);
}

// A key file with the shipped parameters in folder; the diary key it wraps.
DiaryKey makeKeyFile(const fs::path& folder)
{
    auto made = createKeyFile(passphrase());
    if (!made || !writeFolderKeyFile(fromUtf8(folder.string() + "/"), made->file))
        std::abort();
    return std::move(made->key);
}

void unlock(int rounds, const fs::path& root)
{
    makeKeyFile(root);
    const KeyFileRead read = readFolderKeyFile(fromUtf8(root.string() + "/"));
    if (!read)
        std::abort();
    std::vector<double> wall;
    for (int r = 0; r < rounds; ++r) {
        const auto begin = std::chrono::steady_clock::now();
        if (!unlockWithPassphrase(*read, passphrase()))
            std::abort();
        wall.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - begin).count());
    }
    std::printf("\n## unlock, shipped parameters (%llu passes over %llu MiB)\n%d rounds; median [p25-p75] (min-max), ms\n%s\n",
                static_cast<unsigned long long>(read->passphrase.params.opslimit),
                static_cast<unsigned long long>(read->passphrase.params.memlimit >> 20), rounds, spread(wall).c_str());
    std::fflush(stdout);
}

std::u16string pageText(char16_t fill, std::size_t units)
{
    std::u16string text;
    while (text.size() + 40 < units)
        text += std::u16string(38, fill) + u"\r\n";
    text.resize(units, fill);
    return text;
}

void changeOfDay(int rounds, const fs::path& root)
{
    const LocalDate day {2001, 6, 7}, next {2001, 6, 8};
    constexpr std::size_t kUnits = 50 * 1024; // 100 KB of text
    std::vector<std::unique_ptr<RealEditor>> sides;
    sides.push_back(std::make_unique<RealEditor>(root / "plain"));
    sides.push_back(std::make_unique<RealEditor>(root / "sealed"));
    // The key file beside the pages, as an encrypted folder has it, and the store sealing with its key.
    sides[1]->dialog.setDataFolder(fromUtf8((root / "sealed").string()) + u"/", makeKeyFile(root / "sealed"));
    for (auto& s : sides) {
        // Through each side's own store: sealed pages on the encrypted side.
        s->dialog.pages().write(day, {1, pageText(u'가', kUnits)});
        s->dialog.pages().write(next, {1, pageText(u'나', kUnits)});
        s->dialog.navigation().startOn(fromLocal(day));
    }
    bool forward[2] = {true, true};
    const auto change = [&](int side, bool edited) {
        RealEditor& s = *sides[static_cast<std::size_t>(side)];
        if (edited)
            QTextCursor(s.control->document()).insertText(QStringLiteral("A"));
        s.dialog.onCommand(forward[side] ? CMD_NEXT_DAY : CMD_PREV_DAY, 0, 0);
        forward[side] = !forward[side];
    };
    for (const bool edited : {false, true}) {
        Timings t[2];
        for (int r = -2; r < 3 * rounds; ++r) {
            Timings warm[2];
            for (int k = 0; k < 2; ++k) {
                const int side = (r + k + 2) % 2;
                timed(r < 0 ? warm[side] : t[side], [&] { change(side, edited); });
            }
        }
        reportPair(edited ? "change of day, edited (the page left is stored), 100 KB pages"
                          : "change of day, unedited, 100 KB pages",
                   t[0], t[1]);
    }
    // Each edited change stored the page it left, the encrypted side's sealed.
    for (int side = 0; side < 2; ++side)
        for (const LocalDate& d : {day, next}) {
            const Bytes bytes = readFile(fromUtf8((sides[side]->root / (toUtf8(makeDateKey(d)) + ".dry")).string())).value_or(Bytes {});
            const LoadedPage page = sides[side]->dialog.pages().read(d);
            if (looksSealed(bytes) != (side == 1) || page.page.text.rfind(u"A", 0) != 0) {
                std::fprintf(stderr, "the change of day did not store its page\n");
                std::exit(1);
            }
        }
}

// Every tenth page has the word on its last line, as "Zebra"; the rest never holds it.
void makePages(const fs::path& folder)
{
    fs::create_directories(folder);
    const std::u16string line = u"오늘은 비가 왔다. Walked to the market, 사과 두 개 and some bread.\r\n";
    const DayValue first = fromLocal({2016, 1, 1}, 12);
    for (int i = 0; i < 3650; ++i) {
        std::u16string text;
        while (text.size() + line.size() < 5 * 1024)
            text += line;
        text += i % 10 == 9 ? u"Zebra 끝" : u"끝";
        const Bytes bytes = encodePage({i % 5, text});
        std::ofstream(folder / (toUtf8(makeDateKey(addDays(first, i))) + ".dry"), std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
}

void search(int rounds, const fs::path& root)
{
    const fs::path plainFolder = root / "plain", sealedFolder = root / "sealed";
    makePages(plainFolder);
    fs::copy(plainFolder, sealedFolder);
    DiaryKey key = makeKeyFile(sealedFolder);
    const std::u16string sealedPath = fromUtf8(sealedFolder.string() + "/");
    if (sealFolder(sealedPath, key).converted != 3650)
        std::abort();

    QtCaseFolding folding;
    DiarySearch searcher(folding);
    const PlainPageStore plain(fromUtf8(plainFolder.string() + "/"));
    const EncryptedPageStore sealed(sealedPath, std::move(key));
    const PageStore* stores[2] = {&plain, &sealed};
    Timings t[2];
    for (int r = -1; r < rounds; ++r) {
        Timings warm[2];
        for (int k = 0; k < 2; ++k) {
            const int side = (r + k + 1) % 2;
            int hits = 0;
            timed(r < 0 ? warm[side] : t[side], [&] {
                searcher.searchFolder(*stores[side], {u"zebra"}, [&](const SearchHit&) { ++hits; });
            });
            if (hits != 365) {
                std::fprintf(stderr, "the search found %d pages, not 365\n", hits);
                std::exit(1);
            }
        }
    }
    reportPair("search of 3,650 pages of 10 KB after the unlock, in process (the same DiarySearch)", t[0], t[1], "%.1f");

    // The cipher alone, the sealed files already in memory: how much of the difference no
    // search can save.
    std::vector<std::pair<LocalDate, Bytes>> files;
    const auto days = sealed.listDays().value_or(std::vector<LocalDate> {});
    for (const LocalDate& d : days)
        files.emplace_back(d, readFile(sealed.pagePath(d)).value_or(Bytes {}));
    Timings cipher;
    for (int r = 0; r < rounds; ++r)
        timed(cipher, [&] {
            for (const auto& [d, bytes] : files)
                if (!openSealed(sealed.key(), d, SealedKind::Page, bytes))
                    std::abort();
        });
    std::printf("the cipher alone, opening the 3,650 sealed pages held in memory: wall %s; cpu %s\n",
                spread(cipher.wall, "%.1f").c_str(), spread(cipher.cpu, "%.1f").c_str());

    // The passphrase on a descriptor each run opens afresh; both sides start through the same shell.
    std::ofstream(root / "passphrase") << kPassphrase << "\n";
    const std::string bin = PAGELET_BIN;
    const std::vector<Side> sides {
        {"pagelet --search, plain", {"sh", "-c", "exec '" + bin + "' --search zebra --data '" + plainFolder.string() + "'"}, {}},
        {"pagelet --search, encrypted",
         {"sh", "-c", "exec '" + bin + "' --search zebra --data '" + sealedFolder.string() + "' --passphrase-fd 3 3<'" +
                          (root / "passphrase").string() + "'"},
         {}}};
    // Peak RSS is left out: a child spawned from this process inherits its high-water mark.
    report("whole process, pagelet --search zebra (the encrypted side's time includes its unlock)", sides,
           race(sides, 1, rounds), rounds);
}

} // namespace

int main(int argc, char** argv)
{
    int rounds = 15;
    for (int i = 1; i + 1 < argc; i += 2)
        if (!std::strcmp(argv[i], "--rounds"))
            rounds = std::atoi(argv[i + 1]);
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    const fs::path root = fs::temp_directory_path() / ("pagelet-bench-crypto-" + std::to_string(::getpid()));
    fs::remove_all(root);
    for (const char* part : {"unlock", "days", "search"})
        fs::create_directories(root / part);
    const auto load = [] {
        std::ifstream in("/proc/loadavg");
        std::string line;
        std::getline(in, line);
        return line;
    };
    std::printf("# load average at the start: %s\n", load().c_str());
    unlock(rounds, root / "unlock");
    changeOfDay(rounds, root / "days");
    search(rounds, root / "search");
    std::printf("# load average at the end: %s\n", load().c_str());
    fs::remove_all(root);
    return 0;
}

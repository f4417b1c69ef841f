// Ten years of 10 KB pages, searched and exported by the program as built, each beside the
// tool a user would reach for, as whole processes, interleaved (ProcessRace.h):
//   case folded: pagelet --search zebra    against rg -a -i -F -l -E utf-16le zebra (-a: the
//                pages' two numbers decode to control characters, which rg takes for binary)
//   match case:  pagelet --search Zebra --match-case  against grep -a -F -r -l with the word's
//                UTF-16LE bytes (-a: grep would otherwise end lines at the pages' zero bytes)
//   export:      pagelet --export FILE.md  against a plain loop that reads and decodes the
//                same pages and durably writes as many bytes as it goes (this program,
//                --export-floor), and against the same loop building the whole output in
//                memory first (--export-floor-in-memory, the floor as first written)
//   --rounds N --blocks B   rounds per block, blocks (15 and 3 unless told)
//   --before PATH           another build of pagelet, its export in the same race
#include "ProcessRace.h"
#include "base/Day.h"
#include "store/DayKey.h"
#include "store/PageFormat.h"
#include "base/Text.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/stat.h>

using namespace pagelet;
namespace fs = std::filesystem;

namespace {

constexpr int kDays = 3650;
constexpr std::size_t kPageUnits = 5 * 1024; // 10 KB of text

fs::path binDir()
{
    return fs::read_symlink("/proc/self/exe").parent_path();
}

// Every tenth page has the word on its last line, as "Zebra"; the rest never holds it.
void makePages(const fs::path& folder)
{
    fs::create_directories(folder);
    const std::u16string line = u"오늘은 비가 왔다. Walked to the market, 사과 두 개 and some bread.\r\n";
    const DayValue first = fromLocal({2016, 1, 1}, 12);
    for (int i = 0; i < kDays; ++i) {
        std::u16string text;
        while (text.size() + line.size() < kPageUnits)
            text += line;
        text += i % 10 == 9 ? u"Zebra 끝" : u"끝";
        const Bytes bytes = encodePage({i % 5, text});
        std::ofstream(folder / (toUtf8(makeDateKey(addDays(first, i))) + ".dry"), std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
}

void appendUtf8(std::string& out, const char16_t* units, std::size_t n)
{
    for (std::size_t i = 0; i < n; ++i) {
        char32_t c = units[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < n && units[i + 1] >= 0xDC00 && units[i + 1] < 0xE000)
            c = 0x10000 + ((c - 0xD800) << 10) + (units[++i] - 0xDC00);
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
}

std::vector<fs::path> pageNames(const fs::path& folder)
{
    std::vector<fs::path> names;
    for (const auto& e : fs::directory_iterator(folder))
        names.push_back(e.path());
    std::sort(names.begin(), names.end());
    return names;
}

// Temporary file, sync, rename, sync of the folder.
int commitDurably(int fd, const std::string& temp, const fs::path& file)
{
    if (::fsync(fd) != 0 || ::close(fd) != 0 || ::rename(temp.c_str(), file.c_str()) != 0)
        return 1;
    const int dir = ::open(file.parent_path().c_str(), O_RDONLY | O_DIRECTORY);
    ::fsync(dir);
    ::close(dir);
    return 0;
}

// The export's floor: every page of the folder read, in name order, its text decoded to
// UTF-8 under a heading, written as it goes through a 64 KB buffer and made durable, padded
// to the size of the export it stands beside. No escaping, no lines, no checks of a page.
int exportFloor(const fs::path& file, const fs::path& folder, std::size_t size)
{
    const std::string temp = file.string() + ".tmp";
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (fd < 0)
        return 1;
    constexpr std::size_t kBuffer = 1 << 16, kSlice = 1024;
    std::vector<char> out(kBuffer);
    std::size_t used = 0, written = 0;
    bool ok = true;
    const auto drain = [&] {
        ok = ok && ::write(fd, out.data(), used) == static_cast<ssize_t>(used);
        written += used;
        used = 0;
    };
    const auto room = [&](std::size_t n) {
        if (kBuffer - used < n)
            drain();
        return out.data() + used;
    };
    const auto put = [&](const std::string& bytes) {
        std::memcpy(room(bytes.size()), bytes.data(), bytes.size());
        used += bytes.size();
    };
    std::vector<char> bytes;
    std::u16string text;
    for (const auto& name : pageNames(folder)) {
        const int in = ::open(name.c_str(), O_RDONLY);
        struct stat st {};
        if (in < 0 || ::fstat(in, &st) != 0)
            return 1;
        bytes.resize(static_cast<std::size_t>(st.st_size));
        const bool read = ::read(in, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
        ::close(in);
        if (!read)
            return 1;
        if (bytes.size() < kPageHeaderBytes)
            continue;
        put("## " + name.stem().string() + "\n\n");
        text.resize((bytes.size() - kPageHeaderBytes) / 2);
        std::memcpy(text.data(), bytes.data() + kPageHeaderBytes, text.size() * 2);
        for (std::size_t i = 0; i < text.size();) {
            const std::size_t end = std::min(text.size(), i + kSlice);
            char* o = room(3 * (end - i) + 1);
            for (; i < end; ++i)
                o = putUtf8(codeAt(text, i), o);
            used = static_cast<std::size_t>(o - out.data());
        }
        put("\n\n");
    }
    while (written + used < size)
        put(std::string(std::min<std::size_t>(kBuffer, size - written - used), '\n'));
    drain();
    return ok ? commitDurably(fd, temp, file) : 1;
}

// The floor as it was first written: pages read through a stream iterator and the whole
// export built in memory before one write; kept as a second reference.
int exportFloorInMemory(const fs::path& file, const fs::path& folder, std::size_t size)
{
    std::string out;
    std::vector<char> bytes;
    for (const auto& name : pageNames(folder)) {
        std::ifstream in(name, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), {});
        if (bytes.size() < kPageHeaderBytes)
            continue;
        out += "## " + name.stem().string() + "\n\n";
        std::u16string text((bytes.size() - kPageHeaderBytes) / 2, u'\0');
        std::memcpy(text.data(), bytes.data() + kPageHeaderBytes, text.size() * 2);
        appendUtf8(out, text.data(), text.size());
        out += "\n\n";
    }
    out.resize(std::max(out.size(), size), '\n');
    const std::string temp = file.string() + ".tmp";
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (fd < 0 || ::write(fd, out.data(), out.size()) != static_cast<ssize_t>(out.size()))
        return 1;
    return commitDurably(fd, temp, file);
}

// The lines a command prints: each side must find the same pages before it is timed.
std::size_t linesPrinted(const std::string& command)
{
    std::size_t lines = 0;
    if (FILE* p = ::popen(command.c_str(), "r")) {
        for (int c; (c = std::fgetc(p)) != EOF;)
            lines += c == '\n';
        ::pclose(p);
    }
    return lines;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 5 && !std::strcmp(argv[1], "--export-floor"))
        return exportFloor(argv[2], argv[3], std::stoul(argv[4]));
    if (argc == 5 && !std::strcmp(argv[1], "--export-floor-in-memory"))
        return exportFloorInMemory(argv[2], argv[3], std::stoul(argv[4]));
    int rounds = 15, blocks = 3;
    std::string before;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--rounds"))
            rounds = std::atoi(argv[i + 1]);
        else if (!std::strcmp(argv[i], "--blocks"))
            blocks = std::atoi(argv[i + 1]);
        else if (!std::strcmp(argv[i], "--before"))
            before = argv[i + 1];
    }
    const fs::path root = fs::temp_directory_path() / ("pagelet-bench-search-" + std::to_string(::getpid()));
    fs::remove_all(root);
    const fs::path diary = root / "diary";
    makePages(diary);
    std::ofstream(root / "word") << std::string("Z\0e\0b\0r\0a\0", 10);
    const std::string data = diary.string();

    const Side folded {"pagelet --search zebra", {PAGELET_BIN, "--search", "zebra", "--data", data}, {}};
    const Side rg {"rg -a -i -F -l -E utf-16le", {"rg", "-a", "-i", "-F", "-l", "-E", "utf-16le", "zebra", data}, {}};
    const Side matched {"pagelet --search --match-case", {PAGELET_BIN, "--search", "Zebra", "--match-case", "--data", data}, {}};
    const Side grep {"grep -a -F -r -l (UTF-16LE)", {"grep", "-a", "-F", "-r", "-l", "-f", (root / "word").string(), data}, {}};
    int status = 0;
    for (const auto& [ours, theirs] : {std::pair {folded, rg}, std::pair {matched, grep}}) {
        std::string line;
        for (const auto& a : ours.args)
            line += "'" + a + "' ";
        std::string other;
        for (const auto& a : theirs.args)
            other += "'" + a + "' ";
        const std::size_t found = linesPrinted(line), foundToo = linesPrinted(other);
        std::printf("# %s: %zu pages; %s: %zu\n", ours.name.c_str(), found, theirs.name.c_str(), foundToo);
        status |= found != kDays / 10 || foundToo != kDays / 10;
        const std::vector<Side> sides {theirs, ours};
        report((ours.name + " against " + theirs.name).c_str(), sides, race(sides, blocks, rounds), rounds);
    }

    const fs::path exported = root / "diary.md";
    Run once;
    status |= !runOnce({"export", {PAGELET_BIN, "--export", exported.string(), "--data", data}, {}}, once);
    const std::size_t size = fs::file_size(exported);
    std::printf("# the export: %zu bytes\n", size);
    const auto floor = [&](const char* name, const char* how, const char* file) {
        return Side {name, {(binDir() / "bench_search").string(), how, (root / file).string(), data, std::to_string(size)}, {}};
    };
    std::vector<Side> sides {floor("read, decode, write (floor)", "--export-floor", "floor.md"),
                             floor("the same, all in memory", "--export-floor-in-memory", "memory.md"),
                             {"pagelet --export FILE.md", {PAGELET_BIN, "--export", exported.string(), "--data", data}, {}}};
    if (!before.empty())
        sides.push_back({"the same, as before", {before, "--export", (root / "before.md").string(), "--data", data}, {}});
    const RaceResult result = race(sides, blocks, rounds);
    report("export against its floor", sides, result, rounds);
    report("export against the floor built in memory", {sides[1], sides[2]}, {{result.runs[1], result.runs[2]}, 0}, rounds);
    if (!before.empty())
        report("export against the program as before", {sides[3], sides[2]}, {{result.runs[3], result.runs[2]}, 0}, rounds);
    status |= fs::file_size(root / "floor.md") != size || fs::file_size(root / "memory.md") != size;
    fs::remove_all(root);
    return status;
}

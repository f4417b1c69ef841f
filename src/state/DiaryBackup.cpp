#include "state/DiaryBackup.h"

#include "base/FileIo.h"
#include "base/Text.h"
#include "state/Sha256.h"
#include "base/ArchiveCalls.h"

#include <algorithm>
#include <ctime>
#include <dirent.h>
#include <filesystem>
#include <memory>

namespace pagelet {

namespace {

constexpr std::size_t kMemberLimit = 256u << 20;

// A page ("YYYYMMDD.dry") or memo ("YYYYMMDD.wav"): the only files of a data folder we own,
// with an encrypted diary's key file, without which its backup would open to nothing.
bool isDiaryFile(const std::string& name)
{
    if (name == "pagelet.key")
        return true;
    if (name.size() != 12 || !std::all_of(name.begin(), name.begin() + 8, [](char c) { return c >= '0' && c <= '9'; }))
        return false;
    const std::string extension = name.substr(8);
    return extension == ".dry" || extension == ".wav";
}

// A member is restored only under a plain name inside the folder.
bool isPlainName(const std::string& name)
{
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos
        && name.find('\\') == std::string::npos && name.find('\0') == std::string::npos;
}

struct WriteArchive {
    archive* a = libarchive().write_new();
    ~WriteArchive() { libarchive().write_free(a); }
};

struct ReadArchive {
    archive* a = libarchive().read_new();
    ~ReadArchive() { libarchive().read_free(a); }
};

bool addMember(archive* a, const std::string& name, const Bytes& bytes)
{
    std::unique_ptr<archive_entry, void (*)(archive_entry*)> entry(libarchive().entry_new(), libarchive().entry_free);
    libarchive().entry_set_pathname(entry.get(), name.c_str());
    libarchive().entry_set_size(entry.get(), static_cast<la_int64_t>(bytes.size()));
    libarchive().entry_set_filetype(entry.get(), AE_IFREG);
    libarchive().entry_set_perm(entry.get(), 0600);
    libarchive().entry_set_mtime(entry.get(), std::time(nullptr), 0);
    if (libarchive().write_header(a, entry.get()) != ARCHIVE_OK)
        return false;
    return bytes.empty() || libarchive().write_data(a, bytes.data(), bytes.size()) == static_cast<la_ssize_t>(bytes.size());
}

std::map<std::string, std::string> parseManifest(const Bytes& bytes, std::vector<BackupProblem>& problems)
{
    std::map<std::string, std::string> sums;
    const std::string text(bytes.begin(), bytes.end());
    for (std::size_t at = 0; at < text.size();) {
        std::size_t end = text.find('\n', at);
        end = end == std::string::npos ? text.size() : end;
        const std::string line = text.substr(at, end - at);
        at = end + 1;
        if (line.size() < 67 || line.compare(64, 2, "  ") != 0) {
            problems.push_back({kManifestName, "unreadable"});
            continue;
        }
        sums[line.substr(66)] = line.substr(0, 64);
    }
    return sums;
}

} // namespace

std::string writeBackup(const std::u16string& dataFolder, const std::u16string& configFile, const std::u16string& zip)
{
    std::vector<std::string> names;
    const std::string folder = toUtf8(dataFolder);
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!dir)
        return "cannot read the data folder " + folder;
    while (dirent* e = ::readdir(dir))
        if (isDiaryFile(e->d_name))
            names.push_back(e->d_name);
    ::closedir(dir);
    std::sort(names.begin(), names.end());

    std::string temp;
    const int fd = createTemporaryBeside(zip, temp);
    if (fd < 0)
        return "cannot write " + toUtf8(zip);
    WriteArchive out;
    libarchive().write_set_format_zip(out.a);
    std::string manifest, error;
    if (libarchive().write_open_fd(out.a, fd) != ARCHIVE_OK)
        error = "cannot write " + toUtf8(zip);
    auto add = [&](const std::string& name, const std::u16string& path, bool required) {
        if (!error.empty())
            return;
        const auto bytes = readFile(path, kMemberLimit);
        if (!bytes) {
            if (required)
                error = "cannot read " + toUtf8(path);
            return;
        }
        manifest += Sha256::of(bytes->data(), bytes->size()) + "  " + name + "\n";
        if (!addMember(out.a, name, *bytes))
            error = "cannot write " + toUtf8(zip);
    };
    for (const auto& name : names)
        add(name, dataFolder + fromUtf8(name), true);
    if (!configFile.empty() && isFile(configFile))
        add("config.dat", configFile, true);
    if (error.empty() && !addMember(out.a, kManifestName, Bytes(manifest.begin(), manifest.end())))
        error = "cannot write " + toUtf8(zip);
    if (error.empty() && libarchive().write_close(out.a) != ARCHIVE_OK)
        error = "cannot write " + toUtf8(zip);
    if (!error.empty()) {
        abandonTemporary(fd, temp);
        return error;
    }
    return commitTemporary(fd, temp, zip) ? std::string() : "cannot write " + toUtf8(zip);
}

BackupCheck verifyBackup(const std::u16string& zip)
{
    BackupCheck check;
    ReadArchive in;
    libarchive().read_support_format_zip(in.a);
    if (libarchive().read_open_filename(in.a, toUtf8(zip).c_str(), 1 << 16) != ARCHIVE_OK) {
        check.problems.push_back({"", "unreadable"});
        return check;
    }
    std::map<std::string, std::string> actual;
    std::optional<Bytes> manifest;
    bool damaged = false;
    for (;;) {
        archive_entry* entry = nullptr;
        const int r = libarchive().read_next_header(in.a, &entry);
        if (r == ARCHIVE_EOF)
            break;
        if (r < ARCHIVE_WARN) {
            damaged = true;
            break;
        }
        const char* raw = libarchive().entry_pathname(entry);
        const std::string name = raw ? raw : "";
        Bytes bytes;
        bool ok = true;
        char buffer[1 << 16];
        for (;;) {
            const la_ssize_t n = libarchive().read_data(in.a, buffer, sizeof buffer);
            if (n == 0)
                break;
            if (n < 0 || bytes.size() + static_cast<std::size_t>(n) > kMemberLimit) {
                ok = false;
                break;
            }
            bytes.insert(bytes.end(), buffer, buffer + n);
        }
        if (!ok) {
            check.problems.push_back({name, "unreadable"});
            if (libarchive().error_number(in.a) != 0 && r == ARCHIVE_FATAL)
                break;
            continue;
        }
        if (name == kManifestName) {
            manifest = std::move(bytes);
            continue;
        }
        if (!isPlainName(name)) {
            check.problems.push_back({name, "unsafe name"});
            continue;
        }
        actual[name] = Sha256::of(bytes.data(), bytes.size());
        check.files[name] = std::move(bytes);
    }
    if (damaged)
        check.problems.push_back({"", "damaged"});
    if (!manifest) {
        check.problems.push_back({kManifestName, "missing"});
        return check;
    }
    const auto sums = parseManifest(*manifest, check.problems);
    auto unreadable = [&](const std::string& name) {
        return std::any_of(check.problems.begin(), check.problems.end(), [&](const BackupProblem& p) { return p.name == name; });
    };
    for (const auto& [name, sum] : sums) {
        const auto it = actual.find(name);
        if (it == actual.end()) {
            if (!unreadable(name))
                check.problems.push_back({name, "missing"});
        } else if (it->second != sum) {
            check.problems.push_back({name, "differs"});
        }
    }
    for (const auto& [name, sum] : actual)
        if (!sums.count(name))
            check.problems.push_back({name, "not listed"});
    return check;
}

std::string restoreBackup(const std::u16string& zip, const std::u16string& folder, BackupCheck& check)
{
    std::error_code ec;
    const std::filesystem::path target(toUtf8(folder));
    if (std::filesystem::exists(target, ec) && (!std::filesystem::is_directory(target, ec) || !std::filesystem::is_empty(target, ec)))
        return "will restore only into a new or empty folder, and " + target.string() + " is not; nothing was written";
    check = verifyBackup(zip);
    if (!check.whole())
        return "the backup is damaged; nothing was written";
    const bool made = !std::filesystem::exists(target, ec);
    if (!std::filesystem::create_directories(target, ec) && ec)
        return "cannot make " + target.string();
    std::vector<std::u16string> written;
    for (const auto& [name, bytes] : check.files) {
        const std::u16string path = fromUtf8((target / name).string());
        if (!writeFileAtomic(path, bytes)) {
            // All or nothing: a half-restored diary looks whole and isn't.
            for (const auto& done : written)
                removeFile(done);
            if (made)
                std::filesystem::remove(target, ec);
            return "cannot write " + toUtf8(path) + "; nothing was restored";
        }
        written.push_back(path);
    }
    return {};
}

} // namespace pagelet

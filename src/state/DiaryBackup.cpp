#include "state/DiaryBackup.h"

#include "base/ArchiveCalls.h"
#include "base/FileIo.h"
#include "base/ReadableFile.h"
#include "base/Text.h"
#include "state/Sha256.h"
#include "store/PageStore.h"

#include <ctime>
#include <filesystem>
#include <memory>
#include <sys/stat.h>

namespace pagelet {

namespace {

constexpr std::size_t kBuffer = 1 << 16;

struct WriteArchive {
    archive* a = libarchive().write_new();
    ~WriteArchive() { libarchive().write_free(a); }
};

bool addHeader(archive* a, const std::string& name, std::uint64_t size)
{
    std::unique_ptr<archive_entry, void (*)(archive_entry*)> entry(libarchive().entry_new(), libarchive().entry_free);
    libarchive().entry_set_pathname(entry.get(), name.c_str());
    libarchive().entry_set_size(entry.get(), static_cast<la_int64_t>(size));
    libarchive().entry_set_filetype(entry.get(), AE_IFREG);
    libarchive().entry_set_perm(entry.get(), 0600);
    libarchive().entry_set_mtime(entry.get(), std::time(nullptr), 0);
    return libarchive().write_header(a, entry.get()) == ARCHIVE_OK;
}

bool addBytes(archive* a, const void* data, std::size_t size)
{
    return size == 0 || libarchive().write_data(a, data, size) == static_cast<la_ssize_t>(size);
}

// The file's bytes into the zip a buffer at a time; its manifest line when all went in.
std::optional<std::string> addFile(archive* a, const std::string& name, ReadableFile& file, std::uint8_t* buffer)
{
    if (file.state() != ReadableFile::State::Open || !addHeader(a, name, file.size()))
        return std::nullopt;
    Sha256 sha;
    for (std::uint64_t left = file.size(); left > 0;) {
        const auto n = file.readInto(buffer, static_cast<std::size_t>(std::min<std::uint64_t>(left, kBuffer)));
        if (!n || *n == 0 || !addBytes(a, buffer, *n))
            return std::nullopt; // the file shrank or failed as it was read
        sha.add(buffer, *n);
        left -= *n;
    }
    return sha.hex() + "  " + name + "\n";
}

// Writes the members of a whole backup into the folder, each committed only when its bytes
// match the manifest read before; the settings file is passed over.
class FolderWriter : public BackupSink {
public:
    FolderWriter(std::u16string folder, const std::map<std::string, std::string>& sums) : m_folder(std::move(folder)), m_sums(sums) {}
    ~FolderWriter() override
    {
        if (m_fd >= 0)
            abandonTemporary(m_fd, m_temp);
    }

    bool begin(const std::string& name) override
    {
        m_skip = name == kManifestName || name == kSettingsMemberName;
        if (m_skip)
            return true;
        m_fd = createTemporaryBeside(m_folder + fromUtf8(name), m_temp);
        return m_fd >= 0 || fail(name);
    }
    bool add(const std::uint8_t* data, std::size_t size) override { return m_skip || writeBytes(m_fd, data, size) || fail({}); }
    bool end(const std::string& name, const std::string& sum) override
    {
        if (m_skip)
            return true;
        const auto it = m_sums.find(name);
        const int fd = std::exchange(m_fd, -1);
        if (it == m_sums.end() || it->second != sum) {
            abandonTemporary(fd, m_temp);
            return fail(name);
        }
        const std::u16string path = m_folder + fromUtf8(name);
        if (!commitTemporary(fd, m_temp, path))
            return fail(name);
        m_written.push_back(path);
        return true;
    }

    // All or nothing: a half-restored diary looks whole and isn't.
    void undo()
    {
        for (const auto& path : m_written)
            removeFile(path);
    }
    bool failed() const { return m_failed; }

private:
    bool fail(const std::string&)
    {
        m_failed = true;
        return false;
    }

    std::u16string m_folder;
    const std::map<std::string, std::string>& m_sums;
    std::vector<std::u16string> m_written;
    std::string m_temp;
    int m_fd = -1;
    bool m_skip = false, m_failed = false;
};

} // namespace

Outcome<void> writeBackup(const PageStore& store, const std::u16string& configFile, const std::u16string& zip,
                          std::vector<std::u16string>* leftOut)
{
    const auto names = store.keptFiles();
    if (!names)
        return Failure {"cannot read the data folder"};
    std::string temp;
    const int fd = createTemporaryBeside(zip, temp);
    if (fd < 0)
        return Failure {"cannot write " + toUtf8(zip)};
    WriteArchive out;
    libarchive().write_set_format_zip(out.a);
    std::string manifest, error;
    if (libarchive().write_open_fd(out.a, fd) != ARCHIVE_OK)
        error = "cannot write " + toUtf8(zip);
    std::unique_ptr<std::uint8_t[]> buffer(new std::uint8_t[kBuffer]);
    for (const auto& name : *names) {
        if (!error.empty())
            break;
        if (store.untrusted(name)) {
            if (leftOut)
                leftOut->push_back(name);
            continue;
        }
        // No larger than a restore takes: a backup that can't be restored fails now, not then.
        const auto file = store.openKept(name, backupLimitOf(toUtf8(name)));
        const auto line = addFile(out.a, toUtf8(name), *file, buffer.get());
        if (!line)
            error = "cannot back up " + toUtf8(name);
        manifest += line.value_or("");
    }
    if (error.empty() && !configFile.empty() && isFile(configFile)) {
        ReadableFile file(configFile, backupLimitOf(kSettingsMemberName));
        const auto line = addFile(out.a, kSettingsMemberName, file, buffer.get());
        if (!line)
            error = "cannot back up " + toUtf8(configFile);
        manifest += line.value_or("");
    }
    if (error.empty() && !(addHeader(out.a, kManifestName, manifest.size()) && addBytes(out.a, manifest.data(), manifest.size())))
        error = "cannot write " + toUtf8(zip);
    if (error.empty() && libarchive().write_close(out.a) != ARCHIVE_OK)
        error = "cannot write " + toUtf8(zip);
    if (!error.empty()) {
        abandonTemporary(fd, temp);
        return Failure {error};
    }
    if (!commitTemporary(fd, temp, zip))
        return Failure {"cannot write " + toUtf8(zip)};
    return {};
}

BackupCheck verifyBackup(const std::u16string& zip, const BackupLimits& limits)
{
    return readBackup(zip, limits);
}

Outcome<void> restoreBackup(const std::u16string& zip, const std::u16string& folder, BackupCheck& check, const BackupLimits& limits)
{
    std::error_code ec;
    const std::filesystem::path target(toUtf8(folder));
    if (std::filesystem::exists(target, ec) && (!std::filesystem::is_directory(target, ec) || !std::filesystem::is_empty(target, ec)))
        return Failure {"will restore only into a new or empty folder, and " + target.string() + " is not; nothing was written"};
    check = readBackup(zip, limits);
    if (!check.whole())
        return Failure {"the backup is damaged or holds more than a diary; nothing was written"};
    const bool made = !std::filesystem::exists(target, ec);
    // A diary is its owner's alone, wherever it is unpacked.
    if (!makePrivateFolder(folder) || ::chmod(target.c_str(), 0700) != 0)
        return Failure {"cannot make " + target.string()};
    std::u16string base = folder;
    if (!base.empty() && base.back() != u'/')
        base += u'/';
    // Read a second time as it is written: only bytes that match the manifest read above land.
    FolderWriter writer(base, check.sums);
    const BackupCheck again = readBackup(zip, limits, &writer);
    if (writer.failed() || !again.whole() || again.sums != check.sums) {
        writer.undo();
        if (made)
            std::filesystem::remove_all(target, ec);
        check.problems = again.problems;
        return Failure {"cannot write into " + target.string() + "; nothing was restored"};
    }
    for (const auto& name : check.names)
        if (name == kSettingsMemberName)
            check.leftOut.push_back(name);
    return {};
}

} // namespace pagelet

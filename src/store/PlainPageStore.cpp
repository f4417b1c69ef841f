#include "store/PlainPageStore.h"

#include "base/FileIo.h"
#include "base/ReadableFile.h"
#include "base/Text.h"
#include "crypto/KeyFile.h"
#include "store/DayFileName.h"
#include "store/DayKey.h"
#include "store/PlainPageFile.h"

#include <algorithm>
#include <cstring>
#include <climits>
#include <cstdio>
#include <limits>
#include <cstdlib>
#include <tuple>
#include <dirent.h>
#include <sys/stat.h>

namespace pagelet {

namespace {

// Something other than a folder is there: links are looked at, never through, since the
// reader refuses them as unreadable pages.
bool isKept(const std::string& path)
{
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool isFolderEntry(const dirent& e, const std::string& path)
{
    // The entry's type saves a stat per page where the file system gives it. A name that
    // can't be looked at is kept, so the reader reports it as unreadable.
    struct stat st {};
    return e.d_type == DT_DIR || (e.d_type == DT_UNKNOWN && ::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode));
}

// A plain memo is recorded into a temporary file beside it, renamed over it when finished.
class FileBesideDraft : public MemoDraft {
public:
    explicit FileBesideDraft(std::u16string memo) : m_memo(std::move(memo)) { m_fd = createTemporaryBeside(m_memo, m_temp); }
    ~FileBesideDraft() override
    {
        if (m_fd >= 0)
            abandonTemporary(m_fd, m_temp);
    }
    int fd() const override { return m_fd; }
    bool commit() override
    {
        if (m_fd < 0)
            return false;
        const int fd = m_fd;
        m_fd = -1;
        return commitTemporary(fd, m_temp, m_memo);
    }

private:
    std::u16string m_memo;
    std::string m_temp;
    int m_fd = -1;
};

} // namespace

std::optional<LocalDate> memoDateOf(const PageStore& store, const std::u16string& path)
{
    const std::size_t name = 8 + kMemoExtension.size();
    if (path.size() < name)
        return std::nullopt;
    const auto file = parseDayFileName(path.substr(path.size() - name));
    if (!file || file->kind != DayFileKind::Memo || file->conflictCopy || store.memoPath(file->date) != path)
        return std::nullopt;
    return file->date;
}

bool isDiaryFileName(const std::u16string& name)
{
    return name == kKeyFileName || parseDayFileName(name);
}

PlainPageStore::PlainPageStore(std::u16string folder)
{
    setFolder(std::move(folder));
}

void PlainPageStore::setFolder(std::u16string folder)
{
    m_folder = std::move(folder);
    m_folderUtf8 = toUtf8(m_folder);
}

std::u16string PlainPageStore::pagePath(const LocalDate& date) const
{
    return m_folder + dayFileName(date, DayFileKind::Page);
}

std::u16string PlainPageStore::memoPath(const LocalDate& date) const
{
    return m_folder + dayFileName(date, DayFileKind::Memo);
}

std::u16string PlainPageStore::pageLocation(const LocalDate& date) const
{
    return pagePath(date);
}

std::string PlainPageStore::pathBytes(const LocalDate& date, DayFileKind kind) const
{
    std::string path = m_folderUtf8;
    for (char16_t c : dayFileName(date, kind))
        path += static_cast<char>(c);
    return path;
}

bool PlainPageStore::exists(const LocalDate& date, DayFileKind kind) const
{
    return isKept(pathBytes(date, kind));
}

bool PlainPageStore::hasPage(const LocalDate& date) const
{
    return exists(date, DayFileKind::Page);
}

std::optional<Bytes> PlainPageStore::readMemo(const LocalDate& date, std::size_t maxBytes) const
{
    // Like a page, never through a link: it would play any file as the diary's own.
    return ReadableFile(memoPath(date), maxBytes, ReadableFile::Links::Refuse).readAll();
}

std::unique_ptr<MemoDraft> PlainPageStore::draftMemo(const LocalDate& date)
{
    return std::make_unique<FileBesideDraft>(memoPath(date));
}

bool PlainPageStore::hasMemo(const LocalDate& date) const
{
    return exists(date, DayFileKind::Memo);
}

std::optional<std::vector<LocalDate>> PlainPageStore::listDays() const
{
    std::string base = m_folderUtf8;
    DIR* dir = ::opendir(base.empty() ? "." : base.c_str());
    if (!dir)
        return std::nullopt;
    if (!base.empty() && base.back() != '/')
        base += '/';
    std::vector<LocalDate> days;
    while (dirent* e = ::readdir(dir)) {
        const auto date = pageDateOf(fromUtf8(e->d_name));
        if (date && !isFolderEntry(*e, base + e->d_name))
            days.push_back(*date);
    }
    ::closedir(dir);
    std::sort(days.begin(), days.end(), [](const LocalDate& a, const LocalDate& b) {
        return std::tie(a.year, a.month, a.day) < std::tie(b.year, b.month, b.day);
    });
    return days;
}

std::vector<LocalDate> PlainPageStore::listMemoDays() const
{
    std::vector<LocalDate> days;
    DIR* dir = ::opendir(m_folderUtf8.empty() ? "." : m_folderUtf8.c_str());
    if (!dir)
        return days;
    while (dirent* e = ::readdir(dir)) {
        const auto file = parseDayFileName(fromUtf8(e->d_name));
        if (file && file->kind == DayFileKind::Memo && !file->conflictCopy)
            days.push_back(file->date);
    }
    ::closedir(dir);
    std::sort(days.begin(), days.end(), [](const LocalDate& a, const LocalDate& b) {
        return std::tie(a.year, a.month, a.day) < std::tie(b.year, b.month, b.day);
    });
    return days;
}

PageCheck PlainPageStore::probe(const LocalDate& date) const
{
    return probePageFile(pagePath(date));
}

PageCheck PlainPageStore::readInto(const LocalDate& date, Page& page, PageStamp* stamp) const
{
    return readPageInto(pathBytes(date, DayFileKind::Page), page, stamp); // a search or export reads every page
}

PageStamp PlainPageStore::stampOf(const LocalDate& date) const
{
    return statPageFile(pagePath(date));
}

StoreResult PlainPageStore::write(const LocalDate& date, const Page& page, PageStamp* stamp)
{
    keepOld(date, false);
    const StoreResult result = storePageFile(pagePath(date), page, stamp);
    if (result != StoreResult::Failed)
        notifyChanged(date);
    return result;
}

void PlainPageStore::keepVersion(const LocalDate& date, bool memo, const Bytes& onDisk) const
{
    keeper()->keep(date, memo, onDisk);
}

void PlainPageStore::keepOld(const LocalDate& date, bool memo) const
{
    if (!keeper())
        return;
    if (auto old = readFile(memo ? memoPath(date) : pagePath(date)))
        keepVersion(date, memo, *old);
}

bool PlainPageStore::remove(const LocalDate& date)
{
    std::vector<std::u16string> doomed;
    for (const auto& path : {pagePath(date), memoPath(date)})
        if (isKept(toUtf8(path)))
            doomed.push_back(path);
    for (bool memo : {false, true})
        keepOld(date, memo);
    if (!removeFilesTogether(doomed))
        return false;
    if (!doomed.empty())
        notifyChanged(date);
    return true;
}

bool PlainPageStore::removeMemo(const LocalDate& date)
{
    keepOld(date, true);
    if (!removeFile(memoPath(date)))
        return false;
    notifyChanged(date);
    return true;
}

std::vector<std::u16string> PlainPageStore::conflictCopies(const LocalDate& date) const
{
    return copiesOf(date, kPageExtension);
}

std::vector<std::u16string> PlainPageStore::memoConflictCopies(const LocalDate& date) const
{
    return copiesOf(date, kMemoExtension);
}

std::vector<std::u16string> PlainPageStore::copiesOf(const LocalDate& date, const std::u16string& extension) const
{
    std::vector<std::u16string> names;
    DIR* dir = ::opendir(m_folderUtf8.empty() ? "." : m_folderUtf8.c_str());
    if (!dir)
        return names;
    const std::u16string key = makeDateKey(date);
    const std::u16string fileName = key + extension;
    const std::string keyBytes = toUtf8(key);
    // Every change of day asks: only the names that start with the day are decoded.
    while (dirent* e = ::readdir(dir)) {
        if (std::strncmp(e->d_name, keyBytes.c_str(), keyBytes.size()) != 0)
            continue;
        std::u16string name = fromUtf8(e->d_name);
        if (isConflictCopyOf(name, fileName))
            names.push_back(std::move(name));
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

bool PlainPageStore::isMemoCopy(const LocalDate& date, const std::u16string& name) const
{
    // Only a name the folder listing gave: never a path reaching out of the folder.
    return name.find(u'/') == std::u16string::npos && isConflictCopyOf(name, dayFileName(date, DayFileKind::Memo));
}

PageStamp PlainPageStore::memoStamp(const LocalDate& date) const
{
    return statPageFile(memoPath(date));
}

MemoSnapshot PlainPageStore::snapshotMemo(const LocalDate& date, std::size_t heldBytes) const
{
    ReadableFile file(pathBytes(date, DayFileKind::Memo), std::numeric_limits<std::uint64_t>::max(), ReadableFile::Links::Refuse);
    if (file.state() != ReadableFile::State::Open)
        return {};
    const PageStamp stamp {true, file.size(), file.mtimeNs(), file.inode(), 0};
    if (file.size() <= heldBytes) {
        if (auto bytes = file.readAll(); bytes && bytes->size() == file.size())
            return {stamp, std::move(*bytes)};
        return {};
    }
    const int fd = file.release();
    return fd < 0 ? MemoSnapshot {} : MemoSnapshot {stamp, fd};
}

bool PlainPageStore::keepReplacedMemo(const LocalDate& date, const MemoSnapshot& was) const
{
    const auto bytes = was.bytes();
    if (!bytes)
        return false;
    if (keeper())
        keepVersion(date, true, *bytes);
    return true;
}

bool PlainPageStore::takeMemoCopy(const LocalDate& date, const std::u16string& name)
{
    if (!isMemoCopy(date, name))
        return false;
    keepOld(date, true);
    if (::rename(toUtf8(m_folder + name).c_str(), pathBytes(date, DayFileKind::Memo).c_str()) != 0)
        return false;
    notifyChanged(date);
    return true;
}

bool PlainPageStore::dropMemoCopy(const LocalDate& date, const std::u16string& name)
{
    if (!isMemoCopy(date, name))
        return false;
    // Kept before it goes: a copy whose bytes can't be had stays where it is.
    const auto bytes = ReadableFile(m_folder + name, std::numeric_limits<std::uint64_t>::max(), ReadableFile::Links::Refuse).readAll();
    if (!bytes)
        return false;
    if (keeper())
        keepVersion(date, true, *bytes);
    if (!removeFile(m_folder + name))
        return false;
    notifyChanged(date);
    return true;
}

LoadedPage PlainPageStore::readCopy(const std::u16string& name) const
{
    LoadedPage loaded;
    static_cast<PageCheck&>(loaded) = readPageInto(m_folder + name, loaded.page);
    if (loaded.state != PageFileState::Readable)
        loaded.page = Page {};
    return loaded;
}

bool PlainPageStore::removeCopy(const std::u16string& name)
{
    return removeFile(m_folder + name);
}

std::optional<std::vector<std::u16string>> PlainPageStore::keptFiles() const
{
    std::string base = m_folderUtf8;
    DIR* dir = ::opendir(base.empty() ? "." : base.c_str());
    if (!dir)
        return std::nullopt;
    if (!base.empty() && base.back() != '/')
        base += '/';
    std::vector<std::u16string> names;
    while (dirent* e = ::readdir(dir)) {
        struct stat st {};
        const bool regular = e->d_type == DT_REG ||
                             (e->d_type == DT_UNKNOWN && ::lstat((base + e->d_name).c_str(), &st) == 0 && S_ISREG(st.st_mode));
        std::u16string name = fromUtf8(e->d_name);
        if (regular && isDiaryFileName(name))
            names.push_back(std::move(name));
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

std::unique_ptr<ReadableFile> PlainPageStore::openKept(const std::u16string& name, std::uint64_t maxBytes) const
{
    return std::make_unique<ReadableFile>(m_folder + name, maxBytes, ReadableFile::Links::Refuse);
}

bool PlainPageStore::holds(const std::u16string& path) const
{
    std::string parent = toUtf8(path);
    const auto slash = parent.rfind('/');
    parent = slash == std::string::npos ? "." : parent.substr(0, slash + 1);
    char a[PATH_MAX], b[PATH_MAX];
    if (!::realpath(parent.c_str(), a) || !::realpath(m_folderUtf8.empty() ? "." : m_folderUtf8.c_str(), b))
        return false;
    return std::string(a) == std::string(b);
}

} // namespace pagelet

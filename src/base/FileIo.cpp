#include "base/FileIo.h"

#include "base/IoFault.h"
#include "base/ReadableFile.h"
#include "base/Text.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pagelet {

namespace {

const std::u16string kTempMark = u".pagelet-tmp-";

bool writeAll(int fd, const std::uint8_t* data, std::size_t size)
{
    while (size > 0) {
        if (!IoFault::pass(IoStep::Write))
            return false;
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

std::string parentOf(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

// A folder that can't be opened can't be synced either; only a failed sync counts. Some file
// systems don't sync folders at all (EINVAL): the rename is as durable as they make it.
bool syncFolder(const std::string& folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return true;
    const bool synced = IoFault::pass(IoStep::FolderSync) && (::fsync(fd) == 0 || errno == EINVAL);
    ::close(fd);
    return synced;
}

// The folder and its missing parents; the parents as the umask has them.
bool makeFolders(const std::string& folder, mode_t mode)
{
    struct stat st {};
    if (::stat(folder.c_str(), &st) == 0)
        return S_ISDIR(st.st_mode);
    const std::string parent = parentOf(folder);
    if (parent != folder && !makeFolders(parent, 0777))
        return false;
    return ::mkdir(folder.c_str(), mode) == 0 || (errno == EEXIST && ::stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode));
}

// A temporary name in path's folder, which the next start's clean-up recognises.
std::string besideName(const std::string& path, const char* tail)
{
    return parentOf(path) + "/" + toUtf8(kTempMark) + path.substr(path.find_last_of('/') + 1) + tail;
}

bool unlinkStep(const std::string& path)
{
    return IoFault::pass(IoStep::Remove) && ::unlink(path.c_str()) == 0;
}

// A second try covers a passing hiccup; a leftover is cleared at the next start.
void dropTemporary(const std::string& temp)
{
    if (!unlinkStep(temp))
        unlinkStep(temp);
}

} // namespace

std::optional<Bytes> readFile(const std::u16string& path, std::size_t maxBytes)
{
    return ReadableFile(path, maxBytes).readAll();
}

std::optional<Bytes> readWholeAt(int fd, std::size_t size)
{
    Bytes bytes(size);
    for (std::size_t done = 0; done < size;) {
        const ssize_t got = ::pread(fd, bytes.data() + done, size - done, static_cast<off_t>(done));
        if (got <= 0)
            return std::nullopt;
        done += static_cast<std::size_t>(got);
    }
    return bytes;
}

bool writeBytes(int fd, const void* data, std::size_t size)
{
    return writeAll(fd, static_cast<const std::uint8_t*>(data), size);
}

bool writeFileAtomic(const std::u16string& path, const Bytes& bytes)
{
    std::string temp;
    const int fd = createTemporaryBeside(path, temp);
    if (fd < 0)
        return false;
    if (!writeAll(fd, bytes.data(), bytes.size())) {
        abandonTemporary(fd, temp);
        return false;
    }
    return commitTemporary(fd, temp, path);
}

int createTemporaryBeside(const std::u16string& path, std::string& temp)
{
    const std::string target = toUtf8(path);
    struct stat old {};
    const bool replacing = ::stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode);
    temp = besideName(target, ".XXXXXX");
    // mkstemp creates 0600 under the umask: a new page or settings file is its owner's alone.
    const int fd = IoFault::pass(IoStep::Open) ? ::mkstemp(temp.data()) : -1;
    if (fd >= 0 && replacing)
        ::fchmod(fd, old.st_mode & 0777); // when refused, the copy is narrower, never wider
    return fd;
}

bool commitTemporary(int fd, const std::string& temp, const std::u16string& path)
{
    bool ok = IoFault::pass(IoStep::Sync) && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    if (!ok || !IoFault::pass(IoStep::Rename) || ::rename(temp.c_str(), toUtf8(path).c_str()) != 0) {
        dropTemporary(temp);
        return false;
    }
    // The new bytes are in place; without the folder's sync a crash could still bring back
    // the old ones, so the caller must not count this as stored.
    return syncFolder(parentOf(temp));
}

void abandonTemporary(int fd, const std::string& temp)
{
    ::close(fd);
    dropTemporary(temp);
}

bool isTemporaryName(const std::u16string& name)
{
    return name.rfind(kTempMark, 0) == 0;
}

int removeTemporaryFiles(const std::u16string& folder)
{
    int removed = 0;
    DIR* dir = ::opendir(toUtf8(folder).c_str());
    if (!dir)
        return 0;
    std::vector<std::string> doomed;
    // Compared as bytes: the mark is ASCII, and this runs over every page at each start.
    const std::string mark = toUtf8(kTempMark);
    while (dirent* e = ::readdir(dir)) {
        if (std::strncmp(e->d_name, mark.c_str(), mark.size()) == 0)
            doomed.emplace_back(e->d_name);
    }
    ::closedir(dir);
    std::string base = toUtf8(folder);
    if (!base.empty() && base.back() != '/')
        base += '/';
    for (const auto& n : doomed)
        if (::unlink((base + n).c_str()) == 0)
            ++removed;
    return removed;
}

bool isFile(const std::u16string& path)
{
    struct stat st {};
    return ::stat(toUtf8(path).c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool isDirectory(const std::u16string& path)
{
    struct stat st {};
    return ::stat(toUtf8(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool removeFile(const std::u16string& path)
{
    return unlinkStep(toUtf8(path));
}

bool removeFilesTogether(const std::vector<std::u16string>& paths)
{
    std::vector<std::pair<std::string, std::string>> moved; // name, aside
    for (const auto& path : paths) {
        const std::string name = toUtf8(path);
        const std::string aside = besideName(name, ".gone");
        if (!IoFault::pass(IoStep::Rename) || ::rename(name.c_str(), aside.c_str()) != 0) {
            for (auto it = moved.rbegin(); it != moved.rend(); ++it)
                ::rename(it->second.c_str(), it->first.c_str());
            return false;
        }
        moved.emplace_back(name, aside);
    }
    // An aside file that stays is only a leftover: the next start clears it.
    for (const auto& m : moved)
        unlinkStep(m.second);
    return true;
}

bool makePrivateFolder(const std::u16string& path)
{
    std::string p = toUtf8(path);
    while (p.size() > 1 && p.back() == '/')
        p.pop_back();
    if (!makeFolders(parentOf(p), 0777))
        return false;
    return makeFolders(p, 0700);
}

std::vector<std::u16string> listFolders(const std::u16string& folder)
{
    std::vector<std::u16string> names;
    std::string base = toUtf8(folder);
    DIR* dir = ::opendir(base.c_str());
    if (!dir)
        return names;
    if (!base.empty() && base.back() != '/')
        base += '/';
    while (dirent* e = ::readdir(dir)) {
        const std::string n = e->d_name;
        if (n == "." || n == "..")
            continue;
        struct stat st {};
        if (::stat((base + n).c_str(), &st) == 0 && S_ISDIR(st.st_mode))
            names.push_back(fromUtf8(n));
    }
    ::closedir(dir);
    return names;
}

std::optional<std::u16string> findIgnoringCase(const std::u16string& folder, const std::u16string& name)
{
    std::string base = toUtf8(folder);
    if (base.empty())
        base = ".";
    DIR* dir = ::opendir(base.c_str());
    if (!dir)
        return std::nullopt;
    std::optional<std::u16string> found;
    while (dirent* e = ::readdir(dir)) {
        const std::u16string n = fromUtf8(e->d_name);
        if (n == name) {
            found = n;
            break;
        }
        if (!found && equalsIgnoringCase(n, name))
            found = n;
    }
    ::closedir(dir);
    return found;
}

std::u16string resolveIgnoringCaseUnder(const std::u16string& base, const std::u16string& relative)
{
    std::u16string out = base;
    std::size_t pos = 0;
    struct stat st {};
    while (pos <= relative.size()) {
        const std::size_t slash = relative.find(u'/', pos);
        const std::size_t end = slash == std::u16string::npos ? relative.size() : slash;
        std::u16string part = relative.substr(pos, end - pos);
        if (!part.empty() && part != u"." && part != u"..") {
            const std::u16string folder = out.empty() ? u"." : out;
            if (::stat(toUtf8(out + part).c_str(), &st) != 0) {
                if (auto real = findIgnoringCase(folder, part))
                    part = *real;
            }
        }
        out += part;
        if (slash == std::u16string::npos)
            break;
        out += u'/';
        pos = slash + 1;
    }
    return out;
}

std::u16string resolveIgnoringCase(const std::u16string& path)
{
    if (!path.empty() && path[0] == u'/')
        return resolveIgnoringCaseUnder(u"/", path.substr(1));
    return resolveIgnoringCaseUnder({}, path);
}

} // namespace pagelet

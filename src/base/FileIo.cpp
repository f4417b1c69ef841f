#include "base/FileIo.h"

#include "base/ReadableFile.h"
#include "base/Text.h"

#include <cerrno>
#include <cstdio>
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

void syncFolder(const std::string& folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

std::optional<Bytes> readFile(const std::u16string& path, std::size_t maxBytes)
{
    return ReadableFile(path, maxBytes).readAll();
}

bool writeFileAtomic(const std::u16string& path, const Bytes& bytes)
{
    const std::string target = toUtf8(path);
    const std::string folder = parentOf(target);
    const std::string name = target.substr(target.find_last_of('/') + 1);
    std::string temp = folder + "/" + toUtf8(kTempMark) + name + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0)
        return false;
    bool ok = writeAll(fd, bytes.data(), bytes.size()) && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    if (ok)
        ::chmod(temp.c_str(), 0644);
    if (!ok || ::rename(temp.c_str(), target.c_str()) != 0) {
        ::unlink(temp.c_str());
        return false;
    }
    syncFolder(folder);
    return true;
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
    while (dirent* e = ::readdir(dir)) {
        if (isTemporaryName(fromUtf8(e->d_name)))
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
    return ::unlink(toUtf8(path).c_str()) == 0;
}

bool renameFile(const std::u16string& from, const std::u16string& to)
{
    return ::rename(toUtf8(from).c_str(), toUtf8(to).c_str()) == 0;
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

std::u16string resolveIgnoringCase(const std::u16string& path)
{
    std::u16string out;
    std::size_t pos = 0;
    if (!path.empty() && path[0] == u'/') {
        out.push_back(u'/');
        pos = 1;
    }
    while (pos <= path.size()) {
        const std::size_t slash = path.find(u'/', pos);
        const std::size_t end = slash == std::u16string::npos ? path.size() : slash;
        std::u16string part = path.substr(pos, end - pos);
        if (!part.empty() && part != u"." && part != u"..") {
            const std::u16string folder = out.empty() ? u"." : out;
            std::u16string candidate = out;
            candidate.append(part);
            if (!isFile(candidate) && !isDirectory(candidate)) {
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

} // namespace pagelet

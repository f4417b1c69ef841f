#include "state/StateFolder.h"

#include "base/FileIo.h"
#include "base/Text.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>

namespace pagelet {

namespace {

std::u16string withSlash(std::u16string path)
{
    if (path.empty() || path.back() != u'/')
        path += u'/';
    return path;
}

bool makeOurs(const std::u16string& folder)
{
    if (!makePrivateFolder(folder))
        return false;
    // An existing folder keeps its mode in makePrivateFolder; ours must not stay readable to others.
    return ::chmod(toUtf8(folder).c_str(), 0700) == 0;
}

} // namespace

StateFolder::StateFolder(std::u16string root, std::u16string dataFolder)
    : root_(withSlash(std::move(root))), key_(keyOf(dataFolder))
{
}

std::u16string StateFolder::defaultRoot()
{
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state && state[0] == '/')
        return withSlash(fromUtf8(state)) + u"Pagelet/";
    const char* home = std::getenv("HOME");
    return withSlash(fromUtf8(home && home[0] ? home : "/tmp")) + u".local/state/Pagelet/";
}

std::u16string StateFolder::keyOf(const std::u16string& dataFolder)
{
    std::u16string path = withSlash(dataFolder);
    // FNV-1a over the UTF-16 units: stable across runs and builds, unlike std::hash.
    std::uint64_t hash = 1469598103934665603ull;
    for (char16_t unit : path) {
        hash ^= unit;
        hash *= 1099511628211ull;
    }
    std::u16string name;
    std::size_t end = path.size() - 1;
    std::size_t start = path.find_last_of(u'/', end ? end - 1 : 0);
    start = start == std::u16string::npos ? 0 : start + 1;
    for (std::size_t i = start; i < end && name.size() < 32; ++i) {
        char16_t c = path[i];
        bool plain = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'-' || c == u'_';
        name += plain ? c : u'_';
    }
    char digits[17];
    std::snprintf(digits, sizeof digits, "%016llx", static_cast<unsigned long long>(hash));
    return (name.empty() ? u"diary" : name) + u"-" + fromUtf8(digits);
}

std::u16string StateFolder::folder(std::u16string_view kind) const
{
    return root_ + std::u16string(kind) + u"/" + key_ + u"/";
}

bool StateFolder::ensure(std::u16string_view kind) const
{
    return makeOurs(root_) && makeOurs(root_ + std::u16string(kind) + u"/") && makeOurs(folder(kind));
}

bool StateFolder::write(std::u16string_view kind, const std::u16string& name, const Bytes& bytes) const
{
    if (!ensure(kind))
        return false;
    const std::u16string path = folder(kind) + name;
    if (!writeFileAtomic(path, bytes))
        return false;
    // A replaced file keeps its mode in writeFileAtomic; a state file is private whatever it was.
    return ::chmod(toUtf8(path).c_str(), 0600) == 0;
}

} // namespace pagelet

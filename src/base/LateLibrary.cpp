#include "base/LateLibrary.h"

#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>
#include <filesystem>

namespace pagelet {

namespace {

[[noreturn]] void cannotLoad(const std::string& file)
{
    const char* why = ::dlerror();
    std::fprintf(stderr, "pagelet: %s\n", why ? why : file.c_str());
    std::exit(127);
}

} // namespace

LateLibrary::LateLibrary(const std::string& file) : m_file(file)
{
    m_handle = ::dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!m_handle)
        cannotLoad(file);
}

void* LateLibrary::address(const char* symbol) const
{
    void* found = ::dlsym(m_handle, symbol);
    if (!found)
        cannotLoad(m_file);
    return found;
}

std::string moduleFile(const char* name)
{
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    return (self.parent_path() / PAGELET_MODULES_FROM_BIN / name).lexically_normal().string();
}

} // namespace pagelet

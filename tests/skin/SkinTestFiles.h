#pragma once
// A temporary folder for skin files, removed with the object.
#include "base/Text.h"

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace pagelet::skintest {

struct TempFolder {
    TempFolder() { std::filesystem::create_directories(root); }
    ~TempFolder() { std::filesystem::remove_all(root); }

    void write(const std::string& name, const std::string& bytes) const
    {
        std::filesystem::create_directories((root / name).parent_path());
        std::ofstream(root / name, std::ios::binary) << bytes;
    }
    // The folder as the core sees it: UTF-16, ending in "/".
    std::u16string folder(const std::string& sub = "") const { return fromUtf8((root / sub / "").string()); }

    inline static int counter = 0;
    const std::filesystem::path root = std::filesystem::temp_directory_path() /
                                       ("pagelet-skin-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
};

} // namespace pagelet::skintest

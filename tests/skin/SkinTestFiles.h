#pragma once
// A temporary folder for skin files, removed with the object.
#include "base/Text.h"

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace pagelet::skintest {

class TempFolder {
public:
    TempFolder()
    {
        static int counter = 0;
        root = std::filesystem::temp_directory_path() /
               ("pagelet-skin-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
        std::filesystem::remove_all(root);
        std::filesystem::create_directories(root);
    }
    ~TempFolder() { std::filesystem::remove_all(root); }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    std::filesystem::path file(const std::string& name) const { return root / name; }
    void write(const std::string& name, const std::string& bytes) const
    {
        std::filesystem::create_directories(file(name).parent_path());
        std::ofstream(file(name), std::ios::binary) << bytes;
    }
    // The folder as the core sees it: UTF-16, ending in "/".
    std::u16string folder(const std::string& sub = "") const
    {
        return fromUtf8((sub.empty() ? root : root / sub).string()) + u"/";
    }

    std::filesystem::path root;
};

} // namespace pagelet::skintest

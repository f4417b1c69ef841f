#pragma once
#include <string>

namespace pagelet {

// A shared library opened at its first use instead of at every start: a start that never needs
// it does not pay for loading it, its own libraries and their relocations. One that can't be
// opened ends the program with the loader's message, as the loader would have at the start.
class LateLibrary {
public:
    explicit LateLibrary(const std::string& file);
    LateLibrary(const LateLibrary&) = delete;
    LateLibrary& operator=(const LateLibrary&) = delete;

    template <typename F>
    void find(F*& function, const char* symbol) const
    {
        function = reinterpret_cast<F*>(address(symbol));
    }

private:
    void* address(const char* symbol) const;

    void* m_handle = nullptr;
    std::string m_file;
};

// A module of ours beside the program: its name in the modules' folder seen from the running
// executable, as both the build and the install lay them out.
std::string moduleFile(const char* name);

} // namespace pagelet

#pragma once
#include <string>

namespace pagelet {

// What the command line asks for. Read before any window exists, so --help and --version
// work without a display.
struct CommandLine {
    enum class Action { Run, Help, Version, Bad };
    Action action = Action::Run;
    bool desktop = false;   // started from the desktop entry: make the user's install first
    std::string badOption;  // the option that was not understood

    static CommandLine parse(int argc, char** argv);
    static std::string usage();
    static std::string version();
};

} // namespace pagelet

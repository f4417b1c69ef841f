#pragma once
#include <string>

namespace pagelet {

// What the command line asks for. Read before any window exists, so --help, --version,
// --search, --export and --import work without a display.
struct CommandLine {
    enum class Action { Run, Help, Version, Search, Export, Import, History, Restore, Backup, VerifyBackup, RestoreBackup, Encrypt,
                        Decrypt, Bad };
    Action action = Action::Run;
    bool desktop = false;   // started from the desktop entry: make the user's install first
    std::string badOption;  // the option that was not understood, or why the line is wrong
    std::string word;       // --search
    bool matchCase = false; // --match-case
    std::string file;       // --export
    std::string source;     // --import
    bool dryRun = false;    // --dry-run: --import only tells what it would do
    std::string dataDir;    // --data: instead of the registered data folder
    std::string day;        // --history, --restore: YYYY-MM-DD
    std::string versionNumber; // --version N with --restore
    std::string zip;        // --backup, --verify-backup, --restore-backup
    int passphraseFd = -1;  // --passphrase-fd: the passphrase is its first line, not asked on the terminal

    static CommandLine parse(int argc, char** argv);
    static std::string usage();
    static std::string version();
};

} // namespace pagelet

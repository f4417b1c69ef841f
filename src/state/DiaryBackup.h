#pragma once
#include "base/ByteIo.h"

#include <map>
#include <string>
#include <vector>

namespace pagelet {

// A backup is one zip: every page and memo under its own name, the settings file, and
// "manifest.sha256" with a SHA-256 line ("HEX  NAME") for each of them.
inline constexpr const char* kManifestName = "manifest.sha256";

struct BackupProblem {
    std::string name; // the member, or the zip itself when empty
    std::string what; // "missing", "differs", "unreadable", "not listed", "unsafe name"
};

struct BackupCheck {
    std::vector<BackupProblem> problems;
    std::map<std::string, Bytes> files; // what was read, by name, manifest aside
    bool whole() const { return problems.empty(); }
};

// Writes the backup of dataFolder (and configFile, when it exists) to zip atomically: a failure
// leaves zip as it was. Empty on success, else why.
std::string writeBackup(const std::u16string& dataFolder, const std::u16string& configFile, const std::u16string& zip);
// Reads every member and checks it against the manifest; never trusts a name or a size.
BackupCheck verifyBackup(const std::u16string& zip);
// Into folder, which must be new or empty, and only from a whole backup; nothing is written
// otherwise. Empty on success, else why (check receives what verify found).
std::string restoreBackup(const std::u16string& zip, const std::u16string& folder, BackupCheck& check);

} // namespace pagelet

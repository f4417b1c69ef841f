#pragma once
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace pagelet {

// A backup is one zip: every file the diary is kept in under its own name, the settings file,
// and "manifest.sha256" with a SHA-256 line ("HEX  NAME") for each of them.
inline constexpr const char* kManifestName = "manifest.sha256";
inline constexpr const char* kSettingsMemberName = "config.dat";

struct BackupProblem {
    std::string name; // the member, or the zip itself when empty
    std::string what; // "missing", "differs", "unreadable", "not listed", "unsafe name", ...
};

struct BackupCheck {
    std::vector<BackupProblem> problems;
    std::vector<std::string> names;            // the members read, manifest aside, in zip order
    std::map<std::string, std::string> sums;   // the manifest's, by name
    std::vector<std::string> leftOut;          // read but not restored (the settings file)
    bool whole() const { return problems.empty(); }
};

// How large a backup's members may unpack: each no larger than the largest page, memo or key
// file the program writes, and all of them together no more than total.
struct BackupLimits {
    std::uint64_t total = 64ull << 30;
};

// The largest a member of that name may unpack to; 0 when a backup never holds it.
std::uint64_t backupLimitOf(const std::string& name);

// Given each member's bytes as they are unpacked, a piece at a time; false stops the reading.
class BackupSink {
public:
    virtual ~BackupSink() = default;
    virtual bool begin(const std::string& name) = 0;
    virtual bool add(const std::uint8_t* data, std::size_t size) = 0;
    // The member ended with these bytes, their SHA-256 as hex.
    virtual bool end(const std::string& name, const std::string& sum) = 0;
};

// Reads the zip once, every member through one fixed buffer, and checks it: the central
// directory against each local header and the bytes unpacked (names, sizes, CRCs), every name
// and size against what a backup may hold before anything is unpacked, and every member
// against the manifest. sink, when given, is handed the bytes on the way.
BackupCheck readBackup(const std::u16string& zip, const BackupLimits& limits = {}, BackupSink* sink = nullptr);

} // namespace pagelet

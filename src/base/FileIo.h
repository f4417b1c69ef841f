#pragma once
#include "base/ByteIo.h"

#include <optional>
#include <string>
#include <vector>

namespace pagelet {

// Paths are UTF-16 in the core; folders end in "/" and names are appended directly.

// The whole file, or nothing when it is no regular file (never waiting on one), can't be
// read or is larger than maxBytes.
std::optional<Bytes> readFile(const std::u16string& path, std::size_t maxBytes = 64u << 20);

// Replaces the file atomically: a temporary file beside it is written, flushed to disk and
// renamed over it, then the folder is synced. Readers see the old bytes or the new ones; false
// when any step failed, and then no temporary file is left. A replaced file keeps its mode, a
// new one is private to its owner (0600, narrower under the umask).
bool writeFileAtomic(const std::u16string& path, const Bytes& bytes);

// For files written in pieces: a new temporary file beside path, named as writeFileAtomic
// names its own and with the mode it gives; its descriptor, or -1. temp receives its name.
int createTemporaryBeside(const std::u16string& path, std::string& temp);
// Flushes and closes fd, renames temp over path and syncs the folder, as writeFileAtomic does;
// on failure temp is removed and path is as it was.
bool commitTemporary(int fd, const std::string& temp, const std::u16string& path);
// Writes all of data to fd, retrying short writes; false on any failure.
bool writeBytes(int fd, const void* data, std::size_t size);
// The first size bytes of an open file, read from its start whatever its offset; nothing when it
// holds fewer.
std::optional<Bytes> readWholeAt(int fd, std::size_t size);
// Closes fd and removes temp: the old file stays.
void abandonTemporary(int fd, const std::string& temp);

// Name of the temporary files writeFileAtomic leaves only when killed mid-write.
bool isTemporaryName(const std::u16string& name);
// Removes such leftovers from a folder; returns how many were removed.
int removeTemporaryFiles(const std::u16string& folder);

bool isFile(const std::u16string& path);      // exists and is not a folder
bool isDirectory(const std::u16string& path); // exists and is a folder
bool removeFile(const std::u16string& path);
// Removes all of paths or none: each is first moved aside under a temporary name, and when one
// can't be, those moved already go back. True when none of them is left under its name.
bool removeFilesTogether(const std::vector<std::u16string>& paths);
// Makes the folder private to its owner (0700) and any missing parent as usual; true when the
// folder exists afterwards. An existing folder is left as it is.
bool makePrivateFolder(const std::u16string& path);

// Entry names in the order the file system lists them, without "." and "..".
std::vector<std::u16string> listFolders(const std::u16string& folder);

// The real name of an entry of folder that matches name ignoring case, exact match first.
std::optional<std::u16string> findIgnoringCase(const std::u16string& folder, const std::u16string& name);

// folder + name, where folder and name are matched ignoring case level by level ("a/b/c").
// Parts that don't exist are kept as given.
std::u16string resolveIgnoringCase(const std::u16string& path);
// The same for relative under base, which ends in "/" and is taken as it stands: a folder
// already resolved is not looked at again.
std::u16string resolveIgnoringCaseUnder(const std::u16string& base, const std::u16string& relative);

} // namespace pagelet

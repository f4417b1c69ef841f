#pragma once
#include "base/ByteIo.h"
#include "state/StateFolder.h"

#include <optional>
#include <string>

namespace pagelet {

// The state folder's own copy of a data folder's pagelet.key. Its presence is the record that
// the folder is encrypted: a key file deleted or lost in a sync never turns it into a plain
// diary, and the copy can put the key file back.
class KeyFileCopy {
public:
    explicit KeyFileCopy(StateFolder state) : m_state(std::move(state)) {}

    // Where the copy lives (for a backup of the state folder).
    std::u16string keyFileCopyPath() const;
    // The copy's bytes; nothing when there is none.
    std::optional<Bytes> read() const;
    // Keeps bytes as the copy (written only when they differ from it).
    bool keep(const Bytes& keyFile) const;
    // Keeps the data folder's key file as the copy, once it has opened.
    bool keepFrom(const std::u16string& dataFolder) const;
    // Writes the copy back as the data folder's key file.
    bool putBack(const std::u16string& dataFolder) const;
    // The folder is plain again: the record goes.
    bool forget() const;

private:
    StateFolder m_state;
};

// What a data folder is, for anything about to read or write it.
enum class FolderLock {
    Plain,      // no key file, no record, no sealed file
    Encrypted,  // its key file is in place
    KeyMissing, // recorded as encrypted or holding a sealed file, but its key file is gone
};
FolderLock folderLock(const std::u16string& folder, const KeyFileCopy& copy);

} // namespace pagelet

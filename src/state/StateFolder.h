#pragma once
#include "base/ByteIo.h"

#include <string>
#include <string_view>

namespace pagelet {

// What lives beside a diary but not in it (the crash journal, page history, backups) is kept
// under ${XDG_STATE_HOME:-$HOME/.local/state}/Pagelet/KIND/KEY/, one KEY per data folder, so two
// diaries never share a journal. One set of mode rules for all of it: our folders 0700, our
// files 0600, whatever the umask or an older copy left.
class StateFolder {
public:
    // root: the Pagelet state folder itself, ending in "/"; dataFolder: the diary it serves.
    StateFolder(std::u16string root, std::u16string dataFolder);

    // ${XDG_STATE_HOME:-$HOME/.local/state}/Pagelet/ (an unset or relative XDG_STATE_HOME is
    // ignored, as the base directory rules say).
    static std::u16string defaultRoot();
    // A stable file-name-safe key for a data folder: its last name, then a hash of the whole
    // path, so a person can tell the folders apart and two "diary" folders still differ.
    static std::u16string keyOf(const std::u16string& dataFolder);

    const std::u16string& root() const { return root_; }
    // The folder for kind ("journal", "history", ...), ending in "/"; not created.
    std::u16string folder(std::u16string_view kind) const;
    // Creates the folder for kind and its parents up to the root; ours are made 0700 even when
    // they already existed wider. False when it can't be made.
    bool ensure(std::u16string_view kind) const;
    // Writes path atomically as a 0600 file inside the folder for kind (made first).
    bool write(std::u16string_view kind, const std::u16string& name, const Bytes& bytes) const;

private:
    std::u16string root_;
    std::u16string key_;
};

} // namespace pagelet

#pragma once
#include <string>

namespace pagelet {

// Where a skin name leads: always one folder directly inside the install's "skin/" folder.

// The skin's folder, ending in "/", with the name matched ignoring case but an exact match
// first, so "Wood" and "wood" each find their own. Empty when the name can't be such a folder
// (it holds "/", is "." or ".."): that reads as a missing skin.
std::u16string skinFolderOf(const std::u16string& programPath, const std::u16string& skinName);

// A file of the skin folder (as skinFolderOf gives it), its name matched ignoring case; empty for
// an empty folder, so a refused name never reaches a file relative to the working folder.
std::u16string skinFile(const std::u16string& folder, const std::u16string& name);

} // namespace pagelet

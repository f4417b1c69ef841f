#pragma once
#include <string>

namespace pagelet {

// The program's key in the system's settings store and the values under it; the setup program
// writes some of them, so both read the names from here.
inline const std::u16string kRegistryKeyPath = u"Software\\Tarnwick\\Pagelet";
inline const std::u16string kProgramPathValue = u"Program Path";
inline const std::u16string kDataPathValue = u"Data Path";
inline const std::u16string kBackupPathValue = u"Backup Path";
inline const std::u16string kZoomValue = u"Zoom";

} // namespace pagelet

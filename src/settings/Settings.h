#pragma once
// The settings: their values, the config.dat file, the registry key, and the password
// dialogs' logic.
#include <cstdint>
#include <string>

namespace pagelet {

// The persisted settings; the values are those before loading.
struct Settings {
    std::int32_t usePassword = 0;
    std::int32_t autoKeyboard = 1;
    std::u16string password;
    std::u16string skinName = u"default";
    std::int32_t timeFormat = 0;
    std::u16string dataPath;    // ends in "/" once resolved
    std::u16string programPath; // ends in "/"
};

} // namespace pagelet

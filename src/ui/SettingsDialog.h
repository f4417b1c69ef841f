#pragma once
#include <cstdint>
#include <string>

namespace pagelet {

// The settings dialog's values, exchanged with its controls.
class SettingsDialog {
public:
    std::int32_t usePassword = 0;
    std::int32_t autoKeyboard = 0;
    std::int32_t skinIndex = -1;
    std::int32_t timeFormat = -1;
    std::u16string dataPath;
    std::u16string password;
    std::u16string skinName;
    std::u16string programPath;
};

} // namespace pagelet

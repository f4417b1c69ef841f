#pragma once
#include <cstdint>
#include <string>

namespace pagelet {

// The start-up password prompt.
class PasswordDialog {
public:
    PasswordDialog(std::u16string stored, std::int32_t tries) : storedPassword(std::move(stored)), triesLeft(tries) {}

    std::u16string enteredPassword;
    std::u16string storedPassword;
    std::int32_t triesLeft;
};

} // namespace pagelet

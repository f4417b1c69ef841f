#pragma once
#include "settings/RegistryNames.h"

#include <string>

namespace pagelet {

class RegistryPort;

// One registry key held open for one sequence of operations.
class RegistryKey {
public:
    RegistryKey(RegistryPort& registry, const std::u16string& keyPath);
    virtual ~RegistryKey();
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    // A missing value is stored with the default and the default is returned.
    std::u16string readString(const std::u16string& name, const std::u16string& defaultValue);
    bool writeString(const std::u16string& name, const std::u16string& value);

private:
    RegistryPort& m_registry;
};

} // namespace pagelet

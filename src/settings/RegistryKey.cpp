#include "settings/RegistryKey.h"

#include "platform/Registry.h"

namespace pagelet {

RegistryKey::RegistryKey(RegistryPort& registry, const std::u16string& keyPath) : m_registry(registry)
{
    m_registry.open(keyPath);
}

RegistryKey::~RegistryKey()
{
    m_registry.close();
}

std::u16string RegistryKey::readString(const std::u16string& name, const std::u16string& defaultValue)
{
    if (name.empty())
        return {};
    if (auto value = m_registry.read(name)) {
        const auto nul = value->find(u'\0');
        return nul == std::u16string::npos ? *value : value->substr(0, nul);
    }
    m_registry.write(name, defaultValue);
    return defaultValue;
}

bool RegistryKey::writeString(const std::u16string& name, const std::u16string& value)
{
    if (name.empty())
        return false;
    return m_registry.write(name, value);
}

}

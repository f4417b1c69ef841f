#include "settings/ConfigFile.h"

#include "base/FileIo.h"

namespace pagelet {

bool ConfigFile::open(const std::u16string& path)
{
    auto bytes = readFile(path, 1u << 20);
    if (!bytes)
        return false;
    m_bytes = std::move(*bytes);
    m_reader = ByteReader(m_bytes);
    m_broken = false;
    return true;
}

void ConfigFile::int32(std::int32_t& field)
{
    m_broken = m_broken || !m_reader.getInt32(field);
}

// A count of 0 or less gives an empty string; a count past the end keeps the preset.
void ConfigFile::string(std::u16string& field)
{
    m_broken = m_broken || !m_reader.getString(field);
}

void ConfigFile::readFirst(Settings& settings)
{
    int32(settings.usePassword);
    int32(settings.autoKeyboard);
    string(settings.password);
}

void ConfigFile::readRest(Settings& settings)
{
    string(settings.skinName);
    int32(settings.timeFormat);
}

Bytes encodeConfig(const Settings& settings)
{
    ByteWriter w;
    w.putInt32(settings.usePassword);
    w.putInt32(settings.autoKeyboard);
    w.putInt32(static_cast<std::int32_t>(settings.password.size()));
    w.putUnits(settings.password);
    w.putInt32(static_cast<std::int32_t>(settings.skinName.size()));
    w.putUnits(settings.skinName);
    w.putInt32(settings.timeFormat);
    return w.bytes();
}

bool writeConfig(const std::u16string& path, const Settings& settings)
{
    return writeFileAtomic(path, encodeConfig(settings));
}

} // namespace pagelet

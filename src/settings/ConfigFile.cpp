#include "settings/ConfigFile.h"

#include "base/FileIo.h"

#include <type_traits>
#include <variant>

namespace pagelet {

namespace {

using ConfigMember = std::variant<std::int32_t Settings::*, std::u16string Settings::*>;

struct ConfigField {
    ConfigMember member;
    bool beforePrompt; // read before the password is asked for
};

// The record's fields in their order in the file; the reader and the writer both walk this.
// A string is its count of UTF-16 units, then the units.
constexpr ConfigField kConfigFields[] = {
    {&Settings::usePassword, true}, {&Settings::autoKeyboard, true}, {&Settings::password, true},
    {&Settings::skinName, false},   {&Settings::timeFormat, false},
};

template <typename Member>
constexpr bool isNumber = std::is_same_v<Member, std::int32_t Settings::*>;

} // namespace

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

void ConfigFile::read(Settings& settings, bool beforePrompt)
{
    for (const ConfigField& field : kConfigFields) {
        if (field.beforePrompt != beforePrompt)
            continue;
        std::visit(
            [&](auto member) {
                if constexpr (isNumber<decltype(member)>)
                    int32(settings.*member);
                else
                    string(settings.*member);
            },
            field.member);
    }
}

void ConfigFile::readFirst(Settings& settings)
{
    read(settings, true);
}

void ConfigFile::readRest(Settings& settings)
{
    read(settings, false);
}

Bytes encodeConfig(const Settings& settings)
{
    ByteWriter w;
    for (const ConfigField& field : kConfigFields) {
        std::visit(
            [&](auto member) {
                if constexpr (isNumber<decltype(member)>) {
                    w.putInt32(settings.*member);
                } else {
                    w.putInt32(static_cast<std::int32_t>((settings.*member).size()));
                    w.putUnits(settings.*member);
                }
            },
            field.member);
    }
    return w.bytes();
}

bool writeConfig(const std::u16string& path, const Settings& settings)
{
    return writeFileAtomic(path, encodeConfig(settings));
}

} // namespace pagelet

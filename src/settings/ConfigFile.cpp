#include "settings/ConfigFile.h"

#include "base/FileIo.h"

namespace pagelet {

namespace {

class Cursor {
public:
    Cursor(const Bytes& bytes, std::size_t& pos, bool& broken) : m_bytes(bytes), m_pos(pos), m_broken(broken) {}

    void int32(std::int32_t& field)
    {
        if (m_broken || m_bytes.size() - m_pos < 4) {
            m_broken = true;
            return;
        }
        std::uint32_t u = 0;
        for (int i = 0; i < 4; ++i)
            u |= static_cast<std::uint32_t>(m_bytes[m_pos + i]) << (8 * i);
        m_pos += 4;
        field = static_cast<std::int32_t>(u);
    }

    // A count of 0 or less gives an empty string; a count past the end keeps the preset.
    void string(std::u16string& field)
    {
        std::int32_t count = 0;
        int32(count);
        if (m_broken)
            return;
        if (count < 1) {
            field.clear();
            return;
        }
        const std::uint64_t need = static_cast<std::uint64_t>(count) * 2;
        if (m_bytes.size() - m_pos < need) {
            m_broken = true;
            return;
        }
        std::u16string text(static_cast<std::size_t>(count), u'\0');
        for (auto& c : text) {
            c = static_cast<char16_t>(m_bytes[m_pos] | (m_bytes[m_pos + 1] << 8));
            m_pos += 2;
        }
        field = std::move(text);
    }

private:
    const Bytes& m_bytes;
    std::size_t& m_pos;
    bool& m_broken;
};

} // namespace

bool ConfigFile::open(const std::u16string& path)
{
    auto bytes = readFile(path, 1u << 20);
    if (!bytes)
        return false;
    m_bytes = std::move(*bytes);
    m_pos = 0;
    m_broken = false;
    return true;
}

void ConfigFile::readFirst(Settings& settings)
{
    Cursor c(m_bytes, m_pos, m_broken);
    c.int32(settings.usePassword);
    c.int32(settings.autoKeyboard);
    c.string(settings.password);
}

void ConfigFile::readRest(Settings& settings)
{
    Cursor c(m_bytes, m_pos, m_broken);
    c.string(settings.skinName);
    c.int32(settings.timeFormat);
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

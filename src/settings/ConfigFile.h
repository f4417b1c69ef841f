#pragma once
#include "base/ByteIo.h"
#include "settings/Settings.h"

#include <string>

namespace pagelet {

inline const std::u16string kConfigFileName = u"config.dat";

// "config.dat", read in two stages around the password prompt. The bytes are taken in whole
// when the file is opened; a short or damaged file leaves the missing fields at their presets.
class ConfigFile {
public:
    ConfigFile() = default;
    ConfigFile(const ConfigFile&) = delete; // the reader points into the bytes
    ConfigFile& operator=(const ConfigFile&) = delete;

    bool open(const std::u16string& path);
    // usePassword, autoKeyboard, password.
    void readFirst(Settings& settings);
    // skinName, timeFormat.
    void readRest(Settings& settings);

private:
    // The fields read before the password prompt, or those after it, in the file's order.
    void read(Settings& settings, bool beforePrompt);
    void int32(std::int32_t& field);
    void string(std::u16string& field);

    Bytes m_bytes;
    ByteReader m_reader {m_bytes};
    bool m_broken = false; // a field ran past the end: nothing after it is read
};

// The record: 4, 4, 4, 2P, 4, 2S, 4 bytes, little-endian.
Bytes encodeConfig(const Settings& settings);
// Replaces the file atomically; false leaves the old file as it was.
bool writeConfig(const std::u16string& path, const Settings& settings);

} // namespace pagelet

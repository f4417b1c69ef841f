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
    bool open(const std::u16string& path);
    // usePassword, autoKeyboard, password.
    void readFirst(Settings& settings);
    // skinName, timeFormat.
    void readRest(Settings& settings);

private:
    Bytes m_bytes;
    std::size_t m_pos = 0;
    bool m_broken = false; // a field ran past the end: nothing after it is read
};

// The record: 4, 4, 4, 2P, 4, 2S, 4 bytes, little-endian.
Bytes encodeConfig(const Settings& settings);
// Replaces the file atomically; false leaves the old file as it was.
bool writeConfig(const std::u16string& path, const Settings& settings);

} // namespace pagelet

#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace pagelet {

// A memo read for playing: mono 16-bit samples at the file's own rate.
struct MemoSound {
    int sampleRate = 0;
    std::vector<std::int16_t> samples;

    // Whatever WAV the sound library reads (PCM of any width, float, ADPCM, GSM, mu-law,
    // A-law), channels mixed down; nothing when the file is missing, damaged or of a kind it
    // doesn't know.
    static std::optional<MemoSound> read(const std::u16string& path);
    // How long the memo plays, from its header.
    static std::optional<double> seconds(const std::u16string& path);
};

} // namespace pagelet

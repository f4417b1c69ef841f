#pragma once
#include "base/ByteIo.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace pagelet {

// A memo read for playing: mono 16-bit samples at the file's own rate.
struct MemoSound {
    int sampleRate = 0;
    std::vector<std::int16_t> samples;

    // A memo's bytes as the store gives them (an encrypted diary's opened in memory only), in
    // whatever WAV the sound library reads (PCM of any width, float, ADPCM, GSM, mu-law, A-law),
    // channels mixed down; nothing when they are damaged or of a kind it doesn't know.
    static std::optional<MemoSound> read(const Bytes& memo);
    // How long the memo plays, from its header.
    static std::optional<double> seconds(const Bytes& memo);
};

} // namespace pagelet

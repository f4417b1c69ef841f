#include "qt/sound/MemoSound.h"

#include <sndfile.h>

#include <algorithm>
#include <cstring>

namespace pagelet {

namespace {

// The sound library reads the memo from memory through these.
struct InMemory {
    const Bytes& bytes;
    sf_count_t at = 0;
};

sf_count_t lengthOf(void* data)
{
    return static_cast<sf_count_t>(static_cast<InMemory*>(data)->bytes.size());
}

sf_count_t seekTo(sf_count_t offset, int whence, void* data)
{
    auto& m = *static_cast<InMemory*>(data);
    const sf_count_t base = whence == SEEK_CUR ? m.at : whence == SEEK_END ? lengthOf(data) : 0;
    const sf_count_t to = base + offset;
    if (to < 0 || to > lengthOf(data))
        return -1;
    return m.at = to;
}

sf_count_t readOut(void* ptr, sf_count_t count, void* data)
{
    auto& m = *static_cast<InMemory*>(data);
    const sf_count_t n = std::clamp<sf_count_t>(lengthOf(data) - m.at, 0, std::max<sf_count_t>(count, 0));
    std::memcpy(ptr, m.bytes.data() + m.at, static_cast<std::size_t>(n));
    m.at += n;
    return n;
}

sf_count_t noWrite(const void*, sf_count_t, void*)
{
    return 0;
}

sf_count_t tellAt(void* data)
{
    return static_cast<InMemory*>(data)->at;
}

SNDFILE* openSound(InMemory& memory, SF_INFO& info)
{
    static SF_VIRTUAL_IO io {lengthOf, seekTo, readOut, noWrite, tellAt};
    return sf_open_virtual(&io, SFM_READ, &info, &memory);
}

} // namespace

std::optional<double> MemoSound::seconds(const Bytes& memo)
{
    InMemory memory {memo};
    SF_INFO info {};
    SNDFILE* sound = openSound(memory, info);
    if (!sound)
        return std::nullopt;
    sf_close(sound);
    if (info.samplerate <= 0)
        return std::nullopt;
    return static_cast<double>(info.frames) / info.samplerate;
}

std::optional<MemoSound> MemoSound::read(const Bytes& memo)
{
    InMemory memory {memo};
    SF_INFO info {};
    SNDFILE* sound = openSound(memory, info);
    if (!sound)
        return std::nullopt;
    MemoSound result;
    result.sampleRate = info.samplerate;
    const int channels = info.channels;
    bool ok = channels > 0 && info.samplerate > 0;
    std::vector<std::int16_t> block(4096 * static_cast<std::size_t>(ok ? channels : 1));
    while (ok) {
        const sf_count_t got = sf_readf_short(sound, block.data(), 4096);
        if (got <= 0)
            break;
        for (sf_count_t f = 0; f < got; ++f) {
            int sum = 0;
            for (int c = 0; c < channels; ++c)
                sum += block[static_cast<std::size_t>(f * channels + c)];
            result.samples.push_back(static_cast<std::int16_t>(sum / channels));
        }
    }
    // A file cut short reads up to its damage; one that gives nothing and says why is no memo.
    ok = ok && !(result.samples.empty() && sf_error(sound) != SF_ERR_NO_ERROR);
    sf_close(sound);
    if (!ok)
        return std::nullopt;
    return result;
}

} // namespace pagelet

#include "qt/sound/MemoSound.h"

#include "base/ReadableFile.h"

#include <sndfile.h>

namespace pagelet {

namespace {
// An hour of CD-quality stereo; a memo is never near it.
constexpr std::uint64_t kMemoLimit = 1ull << 30;

// Opened like every other file we read, so a FIFO or a huge file named like a memo can't stall us,
// and like a page, never through a link.
SNDFILE* openSound(const std::u16string& path, SF_INFO& info)
{
    ReadableFile file(path, kMemoLimit, ReadableFile::Links::Refuse);
    if (file.state() != ReadableFile::State::Open)
        return nullptr;
    return sf_open_fd(file.release(), SFM_READ, &info, SF_TRUE);
}

} // namespace

std::optional<double> MemoSound::seconds(const std::u16string& path)
{
    SF_INFO info {};
    SNDFILE* sound = openSound(path, info);
    if (!sound)
        return std::nullopt;
    sf_close(sound);
    if (info.samplerate <= 0)
        return std::nullopt;
    return static_cast<double>(info.frames) / info.samplerate;
}

std::optional<MemoSound> MemoSound::read(const std::u16string& path)
{
    SF_INFO info {};
    SNDFILE* sound = openSound(path, info);
    if (!sound)
        return std::nullopt;
    MemoSound memo;
    memo.sampleRate = info.samplerate;
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
            memo.samples.push_back(static_cast<std::int16_t>(sum / channels));
        }
    }
    // A file cut short reads up to its damage; one that gives nothing and says why is no memo.
    ok = ok && !(memo.samples.empty() && sf_error(sound) != SF_ERR_NO_ERROR);
    sf_close(sound);
    if (!ok)
        return std::nullopt;
    return memo;
}

} // namespace pagelet

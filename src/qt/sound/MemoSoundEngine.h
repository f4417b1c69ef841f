#pragma once
#include "base/Day.h"
#include "qt/sound/MemoPlayback.h"
#include "qt/sound/MemoRecording.h"

#include <memory>
#include <optional>

namespace pagelet {

class PageStore;

// The most of a memo read for playing: an hour of CD-quality stereo; a memo is never near it.
inline constexpr std::size_t kMemoReadLimit = std::size_t {1} << 30;

// The memos' sound, kept in a module of its own (SoundModule): the sound libraries are loaded
// when the recorder first opens, not at every start.
class MemoSoundEngine {
public:
    virtual ~MemoSoundEngine() = default;
    virtual std::unique_ptr<MemoPlayback> player() = 0;
    // Records into the day's memo of the store, which keeps it as it keeps its memos.
    virtual std::unique_ptr<MemoRecording> recorder(PageStore& store, const LocalDate& date) = 0;
    // How long the memo plays, from its header.
    virtual std::optional<double> seconds(const Bytes& memo) = 0;
};

// The module's one entry: its engine, alive until the process ends.
using MemoSoundEntry = MemoSoundEngine* (*)();
inline constexpr char kMemoSoundEntry[] = "pagelet_memo_sound";

} // namespace pagelet

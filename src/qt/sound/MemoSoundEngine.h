#pragma once
#include "qt/sound/MemoPlayback.h"
#include "qt/sound/MemoRecording.h"

#include <memory>
#include <optional>
#include <string>

namespace pagelet {

// The memos' sound, kept in a module of its own (SoundModule): the sound libraries are loaded
// when the recorder first opens, not at every start.
class MemoSoundEngine {
public:
    virtual ~MemoSoundEngine() = default;
    virtual std::unique_ptr<MemoPlayback> player() = 0;
    virtual std::unique_ptr<MemoRecording> recorder(const std::u16string& memoPath) = 0;
    // How long the memo plays, from its header.
    virtual std::optional<double> seconds(const std::u16string& memoPath) = 0;
};

// The module's one entry: its engine, alive until the process ends.
using MemoSoundEntry = MemoSoundEngine* (*)();
inline constexpr char kMemoSoundEntry[] = "pagelet_memo_sound";

} // namespace pagelet

#pragma once

namespace pagelet {

class MemoSoundEngine;

// The memos' sound, loaded from the sound module on first use. When the module cannot be
// loaded, an engine that finds no device, so the recorder says so instead of failing.
MemoSoundEngine& memoSound();

} // namespace pagelet

#pragma once

namespace pagelet {

// A recording on its way into a day's memo: written in pieces to a descriptor of the store's
// choosing, it takes the memo's place only at commit. Until then, and whatever happens, the
// old memo stays as it was; a draft destroyed uncommitted leaves nothing behind.
class MemoDraft {
public:
    virtual ~MemoDraft() = default;
    // Open for reading and writing and seekable, as a sound file's header is written last; -1
    // when the draft could not be made.
    virtual int fd() const = 0;
    // Replaces the memo with what was written; the descriptor is gone either way.
    virtual bool commit() = 0;
};

} // namespace pagelet

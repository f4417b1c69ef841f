#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>

struct sf_private_tag;

namespace pagelet {

class MemoDraft;

// A recording on its way into a memo: 16-bit PCM mono WAV, written into the store's draft,
// which takes the memo's place only when the recording is finished whole.
class MemoWriter {
public:
    MemoWriter(std::unique_ptr<MemoDraft> draft, int sampleRate);
    ~MemoWriter();
    MemoWriter(const MemoWriter&) = delete;
    MemoWriter& operator=(const MemoWriter&) = delete;

    bool open();
    bool write(const std::int16_t* samples, std::size_t count);
    // Replaces the memo with what was written; false when it could not.
    bool finish();
    // Drops what was written.
    void abandon();

    std::int64_t frames() const { return m_frames; }
    int sampleRate() const { return m_rate; }

private:
    std::unique_ptr<MemoDraft> m_draft;
    int m_rate;
    sf_private_tag* m_file = nullptr;
    std::int64_t m_frames = 0;
};

} // namespace pagelet

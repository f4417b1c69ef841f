#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

struct sf_private_tag;

namespace pagelet {

// A recording on its way into a memo: 16-bit PCM mono WAV, written to a temporary file beside
// the memo, which takes the memo's place only when the recording is finished whole. Until then,
// and whatever happens, the old memo stays as it was.
class MemoWriter {
public:
    MemoWriter(std::u16string memoPath, int sampleRate);
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
    std::u16string m_memo;
    int m_rate;
    int m_fd = -1;
    std::string m_temp;
    sf_private_tag* m_file = nullptr;
    std::int64_t m_frames = 0;
};

} // namespace pagelet

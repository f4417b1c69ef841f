#pragma once
#include "base/ByteIo.h"
#include "store/PageStamp.h"

#include <optional>

namespace pagelet {

// A day's memo as it was at one moment, so that the recording can still be had when another
// writer replaces it. Up to a bound its bytes are held in memory; a longer memo is held by an
// open descriptor instead, whose file a sync tool's rename or removal leaves whole.
class MemoSnapshot {
public:
    MemoSnapshot() = default; // no memo
    MemoSnapshot(const PageStamp& stamp, Bytes bytes);
    MemoSnapshot(const PageStamp& stamp, int fd);
    ~MemoSnapshot();
    MemoSnapshot(MemoSnapshot&& other) noexcept;
    MemoSnapshot& operator=(MemoSnapshot&& other) noexcept;
    MemoSnapshot(const MemoSnapshot&) = delete;
    MemoSnapshot& operator=(const MemoSnapshot&) = delete;

    const PageStamp& stamp() const { return m_stamp; }
    // The memo's bytes as they were on disk; nothing when there was none, or when the held file
    // was since written in place and no longer holds them.
    std::optional<Bytes> bytes() const;

private:
    void close();

    PageStamp m_stamp;
    std::optional<Bytes> m_bytes;
    int m_fd = -1;
};

} // namespace pagelet

#include "qt/sound/MemoWriter.h"

#include "base/IoFault.h"
#include "store/MemoDraft.h"

#include <sndfile.h>

namespace pagelet {

MemoWriter::MemoWriter(std::unique_ptr<MemoDraft> draft, int sampleRate) : m_draft(std::move(draft)), m_rate(sampleRate)
{
}

MemoWriter::~MemoWriter()
{
    abandon();
}

bool MemoWriter::open()
{
    if (!m_draft || m_draft->fd() < 0)
        return false;
    SF_INFO info {};
    info.samplerate = m_rate;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    // The draft keeps its descriptor: it closes it at its commit or when dropped.
    m_file = sf_open_fd(m_draft->fd(), SFM_WRITE, &info, SF_FALSE);
    if (!m_file) {
        abandon();
        return false;
    }
    return true;
}

bool MemoWriter::write(const std::int16_t* samples, std::size_t count)
{
    if (!m_file || !IoFault::pass(IoStep::Write))
        return false;
    const auto n = static_cast<sf_count_t>(count);
    if (sf_write_short(m_file, samples, n) != n)
        return false;
    m_frames += n;
    return true;
}

bool MemoWriter::finish()
{
    if (!m_file)
        return false;
    // The header gets its sizes at the close; a close that fails leaves a memo no one can play.
    const int closed = sf_close(m_file);
    m_file = nullptr;
    if (closed != 0) {
        abandon();
        return false;
    }
    const bool committed = m_draft->commit();
    m_draft.reset();
    return committed;
}

void MemoWriter::abandon()
{
    if (m_file) {
        sf_close(m_file);
        m_file = nullptr;
    }
    m_draft.reset();
}

} // namespace pagelet

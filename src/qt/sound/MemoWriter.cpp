#include "qt/sound/MemoWriter.h"

#include "base/FileIo.h"
#include "base/IoFault.h"

#include <sndfile.h>

namespace pagelet {

MemoWriter::MemoWriter(std::u16string memoPath, int sampleRate) : m_memo(std::move(memoPath)), m_rate(sampleRate)
{
}

MemoWriter::~MemoWriter()
{
    abandon();
}

bool MemoWriter::open()
{
    m_fd = createTemporaryBeside(m_memo, m_temp);
    if (m_fd < 0)
        return false;
    SF_INFO info {};
    info.samplerate = m_rate;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    m_file = sf_open_fd(m_fd, SFM_WRITE, &info, SF_FALSE);
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
    const int fd = m_fd;
    m_fd = -1;
    return commitTemporary(fd, m_temp, m_memo);
}

void MemoWriter::abandon()
{
    if (m_file) {
        sf_close(m_file);
        m_file = nullptr;
    }
    if (m_fd >= 0) {
        abandonTemporary(m_fd, m_temp);
        m_fd = -1;
    }
}

} // namespace pagelet

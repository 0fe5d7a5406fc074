#include "frame_assembler.h"

#include "frame.h"

namespace {

// Whether the bytes at `p` (with `avail` bytes readable) may start a frame.
// With fewer than four bytes it cannot be ruled out yet.
bool may_start_frame(const char *p, int avail)
{
    if (quint8(p[0]) != FRAME_START)
        return false;
    if (avail < 4)
        return true;
    return int(quint8(p[1])) == int(quint8(p[3])) + 4;
}

} // namespace

void FrameAssembler::append(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return;
    // Compact now and then so the buffer does not grow with the stream.
    if (m_head > 0 && m_head >= m_buffer.size() / 2) {
        m_buffer.remove(0, m_head);
        m_head = 0;
    }
    m_buffer.append(bytes);
}

void FrameAssembler::sync()
{
    const char *data = m_buffer.constData();
    const int size = m_buffer.size();
    int pos = m_head;
    while (pos < size && !may_start_frame(data + pos, size - pos))
        ++pos;
    m_dropped += pos - m_head;
    m_head = pos;
}

bool FrameAssembler::take(QByteArray *frame)
{
    sync();
    if (buffered() < FRAME_SIZE)
        return false;
    *frame = m_buffer.mid(m_head, FRAME_SIZE);
    m_head += FRAME_SIZE;
    if (m_head == m_buffer.size()) {
        m_buffer.clear();
        m_head = 0;
    }
    return true;
}

void FrameAssembler::clear()
{
    m_buffer.clear();
    m_head = 0;
}

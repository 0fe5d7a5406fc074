#include "frameassembler.h"

#include "frame.h"

namespace sim {

FrameAssembler::FrameAssembler()
{
    // A reserved capacity survives resize(0), so the buffer is allocated once.
    m_buf.reserve(8192);
}

void FrameAssembler::feed(const QByteArray &bytes)
{
    feed(bytes.constData(), bytes.size());
}

void FrameAssembler::feed(const char *data, int size)
{
    if (size <= 0)
        return;
    compact();
    m_buf.append(data, size);
}

bool FrameAssembler::next(QByteArray *frame, QString *problem)
{
    const auto *p = reinterpret_cast<const quint8 *>(m_buf.constData());
    while (m_buf.size() - m_pos >= 4) {
        const quint8 *h = p + m_pos;
        if (h[0] != kStartByte || int(h[1]) != int(h[3]) + 4) {
            ++m_pos;
            ++m_dropped;
            continue;
        }
        if (m_buf.size() - m_pos < kFrameSize)
            return false;
        *frame = m_buf.mid(m_pos, kFrameSize);
        m_pos += kFrameSize;
        ++m_frames;
        const QString why = frameProblem(*frame);
        if (!why.isEmpty())
            ++m_malformed;
        if (problem)
            *problem = why;
        return true;
    }
    return false;
}

void FrameAssembler::clear()
{
    m_buf.clear();
    m_pos = 0;
}

void FrameAssembler::compact()
{
    if (m_pos == 0)
        return;
    if (m_pos >= m_buf.size()) {
        m_buf.resize(0);
        m_pos = 0;
    } else if (m_pos >= 4096) {
        m_buf.remove(0, m_pos);
        m_pos = 0;
    }
}

} // namespace sim

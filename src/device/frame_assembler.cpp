#include "frame_assembler.h"

#include "frame.h"

namespace {

// Bytes 0 to 6: start, L + 4, 0, L, 0, unit, 0.
constexpr int HEADER_SIZE = 7;
constexpr int MIN_PAYLOAD = 1;
constexpr int MAX_PAYLOAD = FRAME_SIZE - FRAME_CODE_OFFSET;

// Whether the first `n` bytes at `p` (n <= 7) may begin a frame header: every
// field that has arrived fits.
bool header_fits(const quint8 *p, int n)
{
    if (n >= 1 && p[0] != FRAME_START)
        return false;
    if (n >= 2 && (p[1] < MIN_PAYLOAD + 4 || p[1] > MAX_PAYLOAD + 4))
        return false;
    if (n >= 3 && p[2] != 0)
        return false;
    if (n >= 4 && p[3] + 4 != p[1])
        return false;
    if (n >= 5 && p[4] != 0)
        return false;
    return n < 7 || p[6] == 0;
}

// Whether the meaningful bytes of the candidate at `p` (a consistent header,
// `avail` bytes there) have all arrived and are followed by a padding byte
// of 0: what a frame that silence ends must show.
bool complete_before_padding(const quint8 *p, int avail)
{
    const int first_padding = FRAME_ARGS_OFFSET - 1 + p[3];
    if (first_padding >= FRAME_SIZE)
        return avail >= FRAME_SIZE;
    return avail > first_padding && p[first_padding] == 0;
}

enum class Damage { Yes, No, Perhaps };

// Whether the `n` bytes at `next` (1 <= n <= 7), which follow a frame whose
// last byte is `last` and do not begin a header, are the next frame's header
// damaged in one byte rather than a sign that the frame itself is damaged.
// Perhaps: only more of them can tell.
Damage next_header_damaged(quint8 last, const quint8 *next, int n)
{
    // The start byte is in place; a later header byte was lost, added or changed.
    if (next[0] == FRAME_START)
        return Damage::Yes;
    quint8 restored[HEADER_SIZE] = {FRAME_START};
    // The start byte was lost. A frame that lost a byte itself ends with the
    // next frame's start byte and is followed by the same bytes; only its last
    // byte tells them apart.
    const int m = qMin(n, HEADER_SIZE - 1);
    for (int i = 0; i < m; ++i)
        restored[i + 1] = next[i];
    if (last != FRAME_START && header_fits(restored, m + 1))
        return Damage::Yes;
    // The start byte was changed: the rest is a header's, all 7 bytes told.
    for (int i = 1; i < n; ++i)
        restored[i] = next[i];
    if (!header_fits(restored, n))
        return Damage::No;
    return n == HEADER_SIZE ? Damage::Yes : Damage::Perhaps;
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

FrameAssembler::Verdict FrameAssembler::judge() const
{
    const auto *p = reinterpret_cast<const quint8 *>(m_buffer.constData()) + m_head;
    const int avail = buffered();
    if (!header_fits(p, qMin(avail, HEADER_SIZE)))
        return Verdict::NoHeader;
    if (avail < FRAME_SIZE)
        return Verdict::Wait;
    const quint8 *next = p + FRAME_SIZE;
    const int following = qMin(avail - FRAME_SIZE, HEADER_SIZE);
    if (following == 0 || header_fits(next, following))
        return Verdict::Frame;
    if (!m_in_step)
        return Verdict::Rejected;
    switch (next_header_damaged(p[FRAME_SIZE - 1], next, following)) {
    case Damage::Yes:
        return Verdict::Frame;
    case Damage::Perhaps:
        return Verdict::Wait;
    case Damage::No:
        break;
    }
    return Verdict::Rejected;
}

void FrameAssembler::skip_byte()
{
    // Passing over the kept last byte of a frame leads to where that frame
    // ended, as if the byte had never been looked at again.
    m_in_step = m_head_delivered;
    if (!m_head_delivered)
        ++m_dropped;
    m_head_delivered = false;
    if (m_held_ahead > 0)
        --m_held_ahead;
    ++m_head;
}

// Hands out the `length` bytes at the head as a frame, zeros where its
// padding is missing.
void FrameAssembler::hand_out(QByteArray *frame, int length)
{
    *frame = m_buffer.mid(m_head, length);
    if (length < FRAME_SIZE)
        frame->append(QByteArray(FRAME_SIZE - length, '\0'));
    frame_ends(length);
}

// A frame was handed out whose last `length` bytes are at the head.
void FrameAssembler::frame_ends(int length)
{
    m_head += length;
    m_in_step = true;
    m_synced = true;
    m_head_delivered = false;
    m_held.clear();
    m_held_ahead = 0;
    if (m_head == m_buffer.size()) {
        m_buffer.clear();
        m_head = 0;
    }
}

bool FrameAssembler::next(QByteArray *frame, bool quiet)
{
    while (buffered() > 0) {
        switch (judge()) {
        case Verdict::Wait: {
            if (!quiet)
                return false;
            // Silence: a candidate where a frame is due is a frame once its
            // meaningful bytes are in.
            const int avail = buffered();
            const auto *p = reinterpret_cast<const quint8 *>(m_buffer.constData()) + m_head;
            if (!m_in_step || avail < HEADER_SIZE || !complete_before_padding(p, qMin(avail, FRAME_SIZE)))
                return false;
            hand_out(frame, qMin(avail, FRAME_SIZE));
            return true;
        }
        case Verdict::Rejected:
            ++m_rejected;
            if (m_in_step && !m_head_delivered) {
                m_held = m_buffer.mid(m_head, FRAME_SIZE);
                m_held_ahead = FRAME_SIZE;
            }
            skip_byte();
            break;
        case Verdict::NoHeader:
            skip_byte();
            break;
        case Verdict::Frame: {
            const bool at_end = buffered() == FRAME_SIZE;
            hand_out(frame, FRAME_SIZE);
            if (at_end && quint8(frame->at(FRAME_SIZE - 1)) == FRAME_START) {
                // Perhaps the next frame's start: look at it again.
                m_buffer = frame->right(1);
                m_in_step = false;
                m_head_delivered = true;
            }
            return true;
        }
        }
    }
    return false;
}

bool FrameAssembler::take(QByteArray *frame)
{
    return next(frame, false);
}

bool FrameAssembler::take_after_silence(QByteArray *frame)
{
    const auto *held = reinterpret_cast<const quint8 *>(m_held.constData());
    if (!m_held.isEmpty() && m_synced && complete_before_padding(held, FRAME_SIZE)) {
        // Its passed-over bytes were counted as dropped and it as rejected;
        // it was neither. The rest of its bytes belong to it.
        m_dropped -= FRAME_SIZE - m_held_ahead;
        --m_rejected;
        *frame = m_held;
        frame_ends(qMin(m_held_ahead, buffered()));
        return true;
    }
    // Before the stream is in step, silence makes no frame.
    if (next(frame, m_synced))
        return true;
    // A candidate whose meaningful bytes did not all arrive before the pause
    // never will: it goes, and whatever arrives next is where a frame is due.
    while (buffered() > 0)
        skip_byte();
    m_held.clear();
    m_held_ahead = 0;
    m_in_step = true;
    m_synced = true;
    return false;
}

void FrameAssembler::clear()
{
    m_buffer.clear();
    m_head = 0;
    m_in_step = true;
    m_synced = false;
    m_head_delivered = false;
    m_held.clear();
    m_held_ahead = 0;
}

#include "frame_assembler.h"

#include "frame.h"

namespace {

// At most this many candidates wait for silence, none longer than this many
// bytes after it.
constexpr int MAX_HELD = 8;
constexpr int HELD_REACH = 8 * FRAME_SIZE;

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
// `avail` bytes there) and the byte after them (its first padding byte, if it
// has one) have all arrived.
bool meaningful_in(const quint8 *p, int avail)
{
    return avail > qMin(FRAME_ARGS_OFFSET - 1 + p[3], FRAME_SIZE - 1);
}

// Whether they have, and that padding byte is 0: what a frame that silence
// ends must show.
bool complete_before_padding(const quint8 *p, int avail)
{
    const int first_padding = FRAME_ARGS_OFFSET - 1 + p[3];
    return meaningful_in(p, avail) && (first_padding >= FRAME_SIZE || p[first_padding] == 0);
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
    // Compact now and then so the buffer does not grow with the stream; the
    // candidate that silence may still make a frame stays.
    const int keep = !m_held.isEmpty() ? qMin(m_held.first(), m_head) : m_head;
    if (keep > 0 && keep >= m_buffer.size() / 2) {
        m_buffer.remove(0, keep);
        m_head -= keep;
        if (m_due >= 0)
            m_due -= keep;
        for (int &held : m_held)
            held -= keep;
        m_resumed = m_resumed >= keep ? m_resumed - keep : -1;
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
    // Nothing after it yet: a whole frame, unless its last byte may be the
    // next frame's start it swallowed, or its first padding byte is not 0 (a
    // byte among its meaningful ones was added, or it is a false start).
    // One that a frame after a pause overtook waits for silence to tell.
    if (following == 0)
        return p[FRAME_SIZE - 1] == FRAME_START || !complete_before_padding(p, FRAME_SIZE) || overtaken(m_head)
            ? Verdict::Wait
            : Verdict::Frame;
    if (header_fits(next, following))
        return Verdict::Frame;
    if (m_head != m_due)
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

// Hands out the `length` bytes at `at` as a frame, zeros where its padding
// is missing; a frame is due where it ends.
void FrameAssembler::hand_out(int at, int length, QByteArray *frame)
{
    *frame = m_buffer.mid(at, length);
    if (length < FRAME_SIZE)
        frame->append(QByteArray(FRAME_SIZE - length, '\0'));
    m_head = qMax(m_head, at + length);
    m_due = m_head;
    m_held.clear();
    if (m_head == m_buffer.size()) {
        m_buffer.clear();
        m_head = 0;
        m_due = 0;
        m_resumed = -1;
    }
}

bool FrameAssembler::next(QByteArray *frame, bool quiet)
{
    while (buffered() > 0) {
        const Verdict verdict = judge();
        if (verdict == Verdict::Frame) {
            hand_out(m_head, FRAME_SIZE, frame);
            return true;
        }
        if (verdict == Verdict::Wait) {
            const int avail = qMin(buffered(), FRAME_SIZE);
            const auto *p = reinterpret_cast<const quint8 *>(m_buffer.constData()) + m_head;
            if (!quiet)
                return false;
            if (avail >= HEADER_SIZE && overtaken(m_head)) {
                // What came before the pause may still have been a frame of
                // its own, ending there.
                const int before = m_resumed - m_head;
                if (before >= HEADER_SIZE && complete_before_padding(p, before)) {
                    hand_out(m_head, before, frame);
                    return true;
                }
            } else {
                // It waits for its meaningful bytes, however long the pause.
                if (avail < HEADER_SIZE || !meaningful_in(p, avail))
                    return false;
                if (complete_before_padding(p, avail)) {
                    hand_out(m_head, avail, frame);
                    return true;
                }
            }
            // No frame: overtaken, or what follows its meaningful bytes is no
            // padding. The candidates after it must not wait behind it.
        }
        // Candidates since the last frame that only what followed rejected
        // stay in reach of silence (a reply, its late repeat, noise after
        // either).
        if (verdict == Verdict::Rejected) {
            ++m_rejected;
            if (m_held.size() < MAX_HELD)
                m_held.append(m_head);
        }
        if (m_head == m_due)
            m_due = -1;
        ++m_dropped;
        ++m_head;
        // Noise after a reply is short; many frames' worth of bytes after a
        // candidate means the line went on without it.
        while (!m_held.isEmpty() && m_head > m_held.first() + HELD_REACH)
            m_held.removeFirst();
    }
    return false;
}

bool FrameAssembler::take(QByteArray *frame)
{
    return next(frame, false);
}

bool FrameAssembler::overtaken(int at) const
{
    // The line resumed inside it with what a frame that silence ends shows:
    // a reply cut short, or noise, then the next one.
    return at < m_resumed && m_resumed < at + FRAME_SIZE && resumed_frame_in();
}

bool FrameAssembler::resumed_frame_in() const
{
    if (m_resumed < 0 || m_resumed + HEADER_SIZE > m_buffer.size())
        return false;
    const auto *p = reinterpret_cast<const quint8 *>(m_buffer.constData()) + m_resumed;
    const int avail = qMin(int(m_buffer.size()) - m_resumed, FRAME_SIZE);
    return header_fits(p, HEADER_SIZE) && complete_before_padding(p, avail);
}

bool FrameAssembler::take_after_silence(QByteArray *frame)
{
    // Candidates the quiet search below rejects are held too: they are
    // revived on the next round.
    for (;;) {
        if (revive_held(frame) || next(frame, true))
            return true;
        if (m_held.isEmpty())
            break;
    }
    // What begins no frame is gone; after the pause the next byte is where a
    // frame is due, unless a candidate still waits for its meaningful bytes.
    if (buffered() == 0) {
        m_buffer.clear();
        m_head = 0;
        m_due = 0;
        m_resumed = -1;
    } else {
        m_resumed = m_buffer.size();
    }
    return false;
}

bool FrameAssembler::revive_held(QByteArray *frame)
{
    while (!m_held.isEmpty()) {
        // A candidate rejected only for what followed it. Its bytes are those
        // passed over since: a candidate that waits at the head began inside
        // it (it lost bytes, and the next frame's start came early), and stays.
        const int at = m_held.takeFirst();
        const int avail = qMin(m_head - at, FRAME_SIZE);
        const auto *p = reinterpret_cast<const quint8 *>(m_buffer.constData()) + at;
        if (avail < HEADER_SIZE || !complete_before_padding(p, avail))
            continue;
        // It waited through a pause for its meaningful bytes, and a candidate
        // where the line resumed would be part of them: that one is the
        // frame (a header cut short, then the next reply).
        const int meaningful_end = at + FRAME_CODE_OFFSET + p[3];
        if (at < m_resumed && m_resumed < meaningful_end && m_held.contains(m_resumed))
            continue;
        // Its bytes were counted as dropped and it as rejected; it was neither.
        m_dropped -= avail;
        --m_rejected;
        *frame = m_buffer.mid(at, avail);
        if (avail < FRAME_SIZE)
            frame->append(QByteArray(FRAME_SIZE - avail, '\0'));
        // A candidate that began among its meaningful bytes is part of it;
        // one in what would be its padding is the next frame (a short
        // repeat's padding ran into it).
        while (!m_held.isEmpty() && m_held.first() < meaningful_end)
            m_held.removeFirst();
        return true;
    }
    return false;
}

void FrameAssembler::clear()
{
    m_buffer.clear();
    m_head = 0;
    m_due = 0;
    m_held.clear();
    m_resumed = -1;
}

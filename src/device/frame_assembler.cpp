#include "frame_assembler.h"

#include "frame.h"

#include <cstring>

namespace {

// Bytes 0 to 6: start, L + 4, 0, L, 0, unit, 0.
constexpr int HEADER_SIZE = 7;
constexpr int MIN_PAYLOAD = 1;
constexpr int MAX_PAYLOAD = FRAME_SIZE - FRAME_CODE_OFFSET;
// How far past a frame's padding the next header may begin (rule 3).
constexpr int SLACK = 3;
// Bytes other than 0 that a whole padding may hold with no header near (rule 2).
constexpr int STRAY = 2;
// How far past its end a frame waits for silence while no header shows (rule 4).
constexpr int REACH = 4 * FRAME_SIZE;

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

// Where the first consistent header begins among p[from] to p[to] (`avail`
// bytes at p): its offset, or -1 when none does (or only one whose bytes are
// not all in).
int next_header(const quint8 *p, int avail, int from, int to)
{
    to = qMin(to, avail - HEADER_SIZE);
    for (int q = from; q <= to; ++q) {
        const void *hit = std::memchr(p + q, FRAME_START, size_t(to - q + 1));
        if (!hit)
            return -1;
        q = int(static_cast<const quint8 *>(hit) - p);
        if (header_fits(p + q, HEADER_SIZE))
            return q;
    }
    return -1;
}

bool zeros(const quint8 *p, int from, int to)
{
    static const quint8 none[FRAME_SIZE] = {};
    return std::memcmp(p + from, none, size_t(to - from)) == 0;
}

int nonzero(const quint8 *p, int from, int to)
{
    int n = 0;
    for (int i = from; i < to; ++i)
        n += p[i] != 0;
    return n;
}

} // namespace

void FrameAssembler::append(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return;
    // Compact now and then so the buffer does not grow with the stream.
    if (m_head > 0 && m_head >= m_buffer.size() / 2) {
        m_buffer.remove(0, m_head);
        m_resumed = m_resumed >= m_head ? m_resumed - m_head : -1;
        m_head = 0;
    }
    m_buffer.append(bytes);
}

// The candidate at `at` by rules 2 to 4 (`evidence`: by rules 2 and 3 alone,
// strict padding only; Wait then means that more bytes may yet tell).
FrameAssembler::Verdict FrameAssembler::judge(int at, bool quiet, bool evidence) const
{
    const auto *p = reinterpret_cast<const quint8 *>(m_buffer.constData()) + at;
    const int avail = int(m_buffer.size()) - at;
    if (!header_fits(p, qMin(avail, HEADER_SIZE)))
        return {Kind::None};
    if (avail < HEADER_SIZE)
        return {Kind::Wait};
    // Its meaningful bytes: the code, the arguments and the 0 after them.
    const int m = qMin(FRAME_ARGS_OFFSET + p[3], FRAME_SIZE);
    if (avail < m)
        return {evidence && quiet ? Kind::None : Kind::Wait};
    if (m > FRAME_CODE_OFFSET + p[3] && p[m - 1] != 0)
        return {Kind::None};
    // Where a frame ends shows once its 112 bytes are in (or silence tells).
    if (avail < FRAME_SIZE && !quiet)
        return {Kind::Wait};
    // Rule 2: the padding came whole and zero; no header can begin in it.
    if (m < FRAME_SIZE && avail >= FRAME_SIZE && zeros(p, m, FRAME_SIZE))
        return {Kind::Frame, FRAME_SIZE, true};
    // Rule 3: the next header, in or just past the padding.
    const int q = next_header(p, avail, m, FRAME_SIZE + SLACK);
    if (q >= 0)
        return {Kind::Frame, qMin(q, FRAME_SIZE)};
    const bool seen = avail >= FRAME_SIZE + SLACK + HEADER_SIZE;
    if (evidence)
        return {seen || quiet ? Kind::None : Kind::Wait};
    // Rule 2: a whole padding with a stray byte or two, and no header near.
    if (seen && m < FRAME_SIZE && nonzero(p, m, FRAME_SIZE) <= STRAY)
        return {Kind::Frame, FRAME_SIZE};
    // Rule 4: silence.
    if (quiet)
        return {Kind::Frame, qMin(avail, FRAME_SIZE)};
    if (!seen)
        return {Kind::Wait};
    // A header beyond its reach shows that the line went on without it.
    if (avail > FRAME_SIZE + REACH || next_header(p, avail, FRAME_SIZE + SLACK + 1, avail) >= 0)
        return {Kind::None};
    return {Kind::Wait};
}

// Hands out the candidate at the head as a frame that takes `length` bytes of
// the stream: its meaningful bytes, then zeros (`whole`: its 112 bytes are so).
void FrameAssembler::hand_out(int length, bool whole, QByteArray *frame)
{
    const int meaningful = FRAME_CODE_OFFSET + quint8(m_buffer.at(m_head + 3));
    if (whole) {
        *frame = m_buffer.mid(m_head, FRAME_SIZE);
    } else {
        *frame = QByteArray(FRAME_SIZE, Qt::Uninitialized);
        char *out = frame->data();
        std::memcpy(out, m_buffer.constData() + m_head, size_t(meaningful));
        std::memset(out + meaningful, 0, size_t(FRAME_SIZE - meaningful));
    }
    m_head += length;
    if (m_head == m_buffer.size()) {
        m_buffer.clear();
        m_head = 0;
        m_resumed = -1;
    }
}

bool FrameAssembler::next(QByteArray *frame, bool quiet)
{
    while (buffered() > 0) {
        const auto *data = reinterpret_cast<const quint8 *>(m_buffer.constData());
        const int at = m_head;
        const int avail = buffered();
        if (m_resumed <= at)
            m_resumed = -1;
        // Rule 5: the line paused inside this candidate's meaningful bytes and
        // resumed with a header.
        if (m_resumed > at && avail >= HEADER_SIZE && header_fits(data + at, HEADER_SIZE)
            && m_resumed < at + FRAME_CODE_OFFSET + data[at + 3]) {
            const int after = int(m_buffer.size()) - m_resumed;
            if (header_fits(data + m_resumed, qMin(after, HEADER_SIZE))) {
                if (after < HEADER_SIZE && !quiet)
                    return false;
                if (after >= HEADER_SIZE) {
                    // Padding is never meaningful bytes: a candidate whose
                    // meaningful bytes would reach past the resumed header's
                    // is no frame, whatever zeros follow.
                    const int reach = qMin(FRAME_ARGS_OFFSET + data[at + 3], FRAME_SIZE);
                    const bool past = at + reach > m_resumed + FRAME_ARGS_OFFSET + data[m_resumed + 3];
                    const Verdict mine = past ? Verdict{Kind::None} : judge(at, quiet, true);
                    if (mine.kind == Kind::Wait)
                        return false;
                    if (mine.kind == Kind::None) {
                        const Verdict theirs = judge(m_resumed, quiet, false);
                        if (theirs.kind == Kind::Wait)
                            return false;
                        if (theirs.kind == Kind::Frame) {
                            // Cut short: what came before the pause is no frame.
                            ++m_rejected;
                            m_dropped += m_resumed - at;
                            m_head = m_resumed;
                            m_resumed = -1;
                            continue;
                        }
                    }
                }
            }
        }
        const Verdict verdict = judge(at, quiet, false);
        if (verdict.kind == Kind::Frame) {
            hand_out(verdict.length, verdict.whole, frame);
            return true;
        }
        if (verdict.kind == Kind::Wait)
            return false;
        if (avail >= HEADER_SIZE && header_fits(data + at, HEADER_SIZE))
            ++m_rejected;
        ++m_dropped;
        ++m_head;
    }
    return false;
}

bool FrameAssembler::take(QByteArray *frame)
{
    return next(frame, false);
}

bool FrameAssembler::take_after_silence(QByteArray *frame)
{
    if (next(frame, true))
        return true;
    // What begins no frame is gone; a candidate still waiting for its
    // meaningful bytes waited through a pause that ends where the line resumes.
    if (buffered() == 0) {
        m_buffer.clear();
        m_head = 0;
        m_resumed = -1;
    } else {
        m_resumed = int(m_buffer.size());
    }
    return false;
}

void FrameAssembler::clear()
{
    m_buffer.clear();
    m_head = 0;
    m_resumed = -1;
}

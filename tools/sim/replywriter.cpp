#include "replywriter.h"

#include "frame.h"
#include "options.h"
#include "ptylink.h"

namespace sim {

ReplyWriter::ReplyWriter(PtyLink *link, const DeviceOptions &options, QObject *parent)
    : QObject(parent)
    , m_link(link)
    , m_opt(options)
    , m_random(faultRandom(options.faultSeed, 1))
{
    for (QTimer *t : {&m_delayTimer, &m_mergeTimer, &m_pieceTimer}) {
        t->setSingleShot(true);
        t->setTimerType(Qt::PreciseTimer);
    }
    connect(&m_delayTimer, &QTimer::timeout, this, &ReplyWriter::releaseDue);
    connect(&m_mergeTimer, &QTimer::timeout, this, &ReplyWriter::flushMerge);
    connect(&m_pieceTimer, &QTimer::timeout, this, &ReplyWriter::writePiece);
}

void ReplyWriter::submit(const QByteArray &frame, int delayMs, qint64 baseNs, int pauseCut, int pauseMs)
{
    const Outgoing out{frame, {pauseCut > 0 && pauseCut < frame.size() ? pauseCut : 0, qMax(pauseMs, 0)}};
    if (delayMs <= 0 && !m_opt.wirePacing && m_delayed.isEmpty()) {
        toMerge(out);
        return;
    }
    const qint64 base = baseNs >= 0 ? baseNs : steadyNowNs();
    qint64 due = base + qint64(qMax(delayMs, 0)) * 1000000;
    if (m_opt.wirePacing) {
        due = qMax(due, m_wireFreeNs) + kFrameWireNs;
        m_wireFreeNs = due;
    }
    // Replies leave in the order they were made.
    if (!m_delayed.isEmpty())
        due = qMax(due, m_delayed.last().dueNs);
    m_delayed.append({due, out});
    armDelayTimer();
}

void ReplyWriter::armDelayTimer()
{
    if (m_delayed.isEmpty()) {
        m_delayTimer.stop();
        return;
    }
    const qint64 wait = m_delayed.first().dueNs - steadyNowNs();
    m_delayTimer.start(wait <= 0 ? 0 : int((wait + 999999) / 1000000));
}

void ReplyWriter::releaseDue()
{
    // Timers have millisecond resolution: a frame may leave a little early,
    // and mostly leaves a little late. Either is made good on the next request
    // (takeLateness()), so that the schedule is exact on average.
    const qint64 now = steadyNowNs();
    while (!m_delayed.isEmpty() && m_delayed.first().dueNs <= now + kEarlyReleaseNs) {
        const Delayed next = m_delayed.takeFirst();
        toMerge(next.out);
        m_latenessNs = steadyNowNs() - next.dueNs;
    }
    armDelayTimer();
}

qint64 ReplyWriter::takeLateness()
{
    const qint64 late = m_latenessNs;
    m_latenessNs = 0;
    return late;
}

void ReplyWriter::toMerge(const Outgoing &out)
{
    const QByteArray &frame = out.frame;
    if (m_opt.mergeCount <= 1) {
        if (m_opt.splitSize <= 0 && out.pause.at == 0 && m_pieces.isEmpty() && m_mergeFrames.isEmpty()) {
            // The common case: one frame, one write.
            m_link->write(frame);
            emit chunkWritten(frame);
            emit frameWritten(frame, steadyNowNs());
            return;
        }
        if (m_mergeFrames.isEmpty()) {
            toSplit(frame, {frame}, out.pause.at > 0 ? QList<Pause>{out.pause} : QList<Pause>());
            return;
        }
    }
    if (out.pause.at > 0)
        m_mergePauses.append({int(m_mergeBytes.size()) + out.pause.at, out.pause.ms});
    m_mergeBytes.append(frame);
    m_mergeFrames.append(frame);
    if (m_mergeFrames.size() >= qMax(m_opt.mergeCount, 1))
        flushMerge();
    else if (!m_mergeTimer.isActive())
        m_mergeTimer.start(qMax(m_opt.mergeHoldMs, 0));
}

void ReplyWriter::flushMerge()
{
    m_mergeTimer.stop();
    if (m_mergeFrames.isEmpty())
        return;
    const QByteArray bytes = m_mergeBytes;
    const QList<QByteArray> frames = m_mergeFrames;
    const QList<Pause> pauses = m_mergePauses;
    m_mergeBytes.clear();
    m_mergeFrames.clear();
    m_mergePauses.clear();
    toSplit(bytes, frames, pauses);
}

int ReplyWriter::pieceSize()
{
    if (m_opt.splitSize <= 0)
        return -1;
    if (m_opt.splitSizeMax <= m_opt.splitSize)
        return m_opt.splitSize;
    return std::uniform_int_distribution<int>(m_opt.splitSize, m_opt.splitSizeMax)(m_random);
}

// Cuts `bytes` (the `frames` in a row) into the pieces the options ask for,
// and also where `pauses` (in order) stop them.
void ReplyWriter::toSplit(const QByteArray &bytes, const QList<QByteArray> &frames, const QList<Pause> &pauses)
{
    // Byte offset in `bytes` just past each frame.
    int frameIndex = 0;
    int frameEnd = frames.isEmpty() ? -1 : frames.first().size();
    int pauseIndex = 0;
    for (int off = 0; off < bytes.size();) {
        const int size = pieceSize();
        int end = size > 0 ? qMin(off + size, int(bytes.size())) : int(bytes.size());
        Piece piece;
        piece.pauseAfterMs = qMax(m_opt.splitPauseMs, 0);
        while (pauseIndex < pauses.size() && pauses.at(pauseIndex).at <= off)
            ++pauseIndex;
        if (pauseIndex < pauses.size() && pauses.at(pauseIndex).at <= end) {
            end = pauses.at(pauseIndex).at;
            piece.pauseAfterMs = pauses.at(pauseIndex).ms;
            ++pauseIndex;
        }
        piece.bytes = bytes.mid(off, end - off);
        off = end;
        const int pieceEnd = end;
        while (frameIndex < frames.size() && frameEnd <= pieceEnd) {
            piece.completes.append(frames.at(frameIndex));
            ++frameIndex;
            if (frameIndex < frames.size())
                frameEnd += frames.at(frameIndex).size();
        }
        m_pieces.append(piece);
    }
    if (!m_pieceTimer.isActive())
        writePiece();
}

void ReplyWriter::writePiece()
{
    if (m_pieces.isEmpty())
        return;
    const Piece piece = m_pieces.takeFirst();
    writeOut(piece.bytes, piece.completes);
    if (!m_pieces.isEmpty())
        m_pieceTimer.start(piece.pauseAfterMs);
}

void ReplyWriter::writeOut(const QByteArray &bytes, const QList<QByteArray> &frames)
{
    m_link->write(bytes);
    emit chunkWritten(bytes);
    const qint64 now = steadyNowNs();
    for (const QByteArray &f : frames)
        emit frameWritten(f, now);
}

void ReplyWriter::clear()
{
    m_delayed.clear();
    m_delayTimer.stop();
    m_wireFreeNs = 0;
    m_latenessNs = 0;
    m_mergeBytes.clear();
    m_mergeFrames.clear();
    m_mergePauses.clear();
    m_mergeTimer.stop();
    m_pieces.clear();
    m_pieceTimer.stop();
}

bool ReplyWriter::isIdle() const
{
    return m_delayed.isEmpty() && m_mergeFrames.isEmpty() && m_pieces.isEmpty();
}

} // namespace sim

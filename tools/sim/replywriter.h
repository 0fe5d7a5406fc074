#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QTimer>

#include <random>

namespace sim {

class PtyLink;
struct DeviceOptions;

// Writes the device's frames to the link. Without faults each frame goes out
// at once in one write. Otherwise frames pass, in order, through a delay and
// wire-speed stage, a merging stage and a splitting stage, as the options
// say at the moment each frame is submitted. The splitting stage also makes
// the pauses inside frames that the line faults ask for.
class ReplyWriter : public QObject
{
    Q_OBJECT
public:
    ReplyWriter(PtyLink *link, const DeviceOptions &options, QObject *parent = nullptr);

    // `baseNs` is the moment the device had the request it answers (steady
    // clock); -1: now. With wire pacing the frame leaves one frame time after
    // that moment (plus the delay), or after the frame before it.
    // With `pauseCut` > 0 the frame stops after that many bytes, and the
    // rest follows `pauseMs` later.
    void submit(const QByteArray &frame, int delayMs = 0, qint64 baseNs = -1, int pauseCut = 0, int pauseMs = 0);
    // How late (ns) the last paced frame left, against its schedule; the
    // next request the program sends in answer is that much late too.
    // Returns it once, then 0.
    qint64 takeLateness();
    // Drops everything not yet written (the link went away).
    void clear();
    bool isIdle() const;

signals:
    // A frame's last byte has been handed to the link.
    void frameWritten(const QByteArray &frame, qint64 atNs);
    // Every single write to the link.
    void chunkWritten(const QByteArray &bytes);

private:
    // A pause after byte `at` - 1 of the bytes written together.
    struct Pause
    {
        int at;
        int ms;
    };
    struct Outgoing
    {
        QByteArray frame;
        Pause pause;  // at 0: none
    };
    struct Delayed
    {
        qint64 dueNs;
        Outgoing out;
    };
    struct Piece
    {
        QByteArray bytes;
        QList<QByteArray> completes;
        int pauseAfterMs;  // before the next piece
    };

    void releaseDue();
    void armDelayTimer();
    void toMerge(const Outgoing &out);
    void flushMerge();
    void toSplit(const QByteArray &bytes, const QList<QByteArray> &frames, const QList<Pause> &pauses);
    int pieceSize();
    void writePiece();
    void writeOut(const QByteArray &bytes, const QList<QByteArray> &frames);

    PtyLink *m_link;
    const DeviceOptions &m_opt;
    QList<Delayed> m_delayed;
    qint64 m_wireFreeNs = 0;
    qint64 m_latenessNs = 0;
    QTimer m_delayTimer;
    QByteArray m_mergeBytes;
    QList<QByteArray> m_mergeFrames;
    QList<Pause> m_mergePauses;
    QTimer m_mergeTimer;
    QList<Piece> m_pieces;
    QTimer m_pieceTimer;
    std::mt19937 m_random;  // piece lengths
};

} // namespace sim

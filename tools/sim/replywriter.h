#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QTimer>

namespace sim {

class PtyLink;
struct DeviceOptions;

// Writes the device's frames to the link. Without faults each frame goes out
// at once in one write. Otherwise frames pass, in order, through a delay and
// wire-speed stage, a merging stage and a splitting stage, as the options
// say at the moment each frame is submitted.
class ReplyWriter : public QObject
{
    Q_OBJECT
public:
    ReplyWriter(PtyLink *link, const DeviceOptions &options, QObject *parent = nullptr);

    // `baseNs` is the moment the device had the request it answers (steady
    // clock); -1: now. With wire pacing the frame leaves one frame time after
    // that moment (plus the delay), or after the frame before it.
    void submit(const QByteArray &frame, int delayMs = 0, qint64 baseNs = -1);
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
    struct Delayed
    {
        qint64 dueNs;
        QByteArray frame;
    };
    struct Piece
    {
        QByteArray bytes;
        QList<QByteArray> completes;
    };

    void releaseDue();
    void armDelayTimer();
    void toMerge(const QByteArray &frame);
    void flushMerge();
    void toSplit(const QByteArray &bytes, const QList<QByteArray> &frames);
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
    QTimer m_mergeTimer;
    QList<Piece> m_pieces;
    QTimer m_pieceTimer;
};

} // namespace sim

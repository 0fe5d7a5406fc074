#pragma once

#include <QByteArray>
#include <QVector>

// Cuts the byte stream from the serial port into 112-byte frames.
//
// Bytes arrive in pieces of any size and at any pace: a frame split over
// several reads, several frames in one read, a pause in the middle of a
// frame. Nothing on the link carries a checksum, so the assembler believes a
// frame only on these rules:
//
//  1. A candidate starts at a consistent header: byte 0 is 141, byte 3 (the
//     payload length L) is 1 to 105, byte 1 is L + 4, bytes 2, 4 and 6 are 0.
//     A byte that starts no candidate is dropped.
//  2. A candidate whose 112 bytes are in is a frame when the bytes after it
//     begin a consistent header, or when nothing has arrived after it yet
//     (a device pauses after its replies) and its first padding byte is 0
//     and its last byte is not 141 (it may have lost a byte and swallowed
//     the next start): otherwise it waits.
//  3. A candidate that starts where a frame is due (where the last frame
//     ended, at the start of the stream, or after a pause) is also a frame
//     when what follows is the next header damaged in one byte.
//  4. When the line has gone quiet, a candidate whose meaningful bytes
//     (0 to 7 + L) are in and whose first padding byte is 0 is a frame,
//     whatever follows it or is missing of its padding; so are the
//     candidates since the last frame that only what followed them rejected
//     (noise after a reply, a late repeat), in order. A candidate still
//     missing meaningful bytes waits for them, however long the pause; but
//     when one that begins where the line resumed would be part of it, that
//     one is the frame (after a pause a frame is due), and what came before
//     the pause is a frame only if it shows one before it.
//  5. Any other candidate is no frame: the search goes on one byte later.
//
// Rule 2 keeps report streams fast and exact: a lost or an inserted byte
// shifts the frame that holds it against the next header. Rule 3 keeps the
// intact frame before a damaged header. Rule 4 serves the firmware transfer,
// which is stop and wait: after an acknowledgement nothing follows until the
// next chunk, so a damaged padding or noise after it can only be told by
// silence (the owner measures it, see FrameReader). bench_reception and
// bench_campaign measure each rule.
//
// take() is pull-based on purpose: a caller that decodes frames in a loop and
// is reset in the middle (clear()) simply finds no further frame.
class FrameAssembler
{
public:
    void append(const QByteArray &bytes);

    // Moves the next frame into *frame and returns true, or returns false
    // while none is complete (rules 1 to 3, 5).
    bool take(QByteArray *frame);
    // As take(), for a line that has gone quiet: rule 4 as well.
    bool take_after_silence(QByteArray *frame);

    void clear();

    int buffered() const { return int(m_buffer.size()) - m_head; }
    // Bytes wait, or a candidate that silence would make a frame.
    bool pending() const { return buffered() > 0 || !m_held.isEmpty(); }
    // Bytes passed over outside frames, since construction.
    qint64 dropped() const { return m_dropped; }
    // Candidates with a consistent header that what followed showed not to be
    // frames, since construction.
    qint64 rejected() const { return m_rejected; }

private:
    enum class Verdict { Wait, Frame, NoHeader, Rejected };
    Verdict judge() const;
    bool next(QByteArray *frame, bool quiet);
    bool revive_held(QByteArray *frame);
    // Whether the candidate at `at` (its header in) waited through a pause
    // and a frame began where the line resumed, inside its 112 bytes.
    bool overtaken(int at) const;
    bool resumed_frame_in() const;
    void hand_out(int at, int length, QByteArray *frame);

    QByteArray m_buffer;
    int m_head = 0;
    // Where in m_buffer a frame is due, or -1 when that is not known (bytes
    // were dropped since): rule 3.
    int m_due = 0;
    // Where in m_buffer the candidates lie that silence may still make
    // frames although what followed them rejected them, oldest first: rule 4.
    QVector<int> m_held;
    // Where in m_buffer the line resumed after the last pause that a
    // candidate waited through for its meaningful bytes, or -1.
    int m_resumed = -1;
    qint64 m_dropped = 0;
    qint64 m_rejected = 0;
};

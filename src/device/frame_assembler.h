#pragma once

#include <QByteArray>

// Cuts the byte stream from the serial port into 112-byte frames.
//
// Bytes arrive in pieces of any size and at any pace, and the line may lose,
// add or change a byte; nothing carries a checksum. Five rules tell a frame:
//
//  1. A frame is a consistent header (byte 0 is 141, byte 3 the payload
//     length L of 1 to 105, byte 1 is L + 4, bytes 2, 4 and 6 are 0) and its
//     meaningful bytes 0 to 7 + L: the code, its arguments and the 0 after
//     them (with L = 105, bytes 0 to 111 and no 0 after them). Bytes that
//     begin no frame are dropped.
//  2. Padding, the bytes after, is evidence, never a requirement: a frame
//     comes out with zeros there whatever arrived. Padding that arrived whole
//     and zero ends the frame at its 112th byte; so does padding zero but for
//     one or two bytes when no header begins near its end.
//  3. Otherwise a frame ends where the next consistent header begins, inside
//     its padding or up to three bytes past it (bytes lost or added there).
//  4. Or the line goes quiet after its meaningful bytes (the owner measures
//     the silence, see FrameReader): silence ends it whatever follows. Before
//     silence, a frame waiting for it is dropped once a header begins past the
//     reach of rule 3 or four frames' worth of bytes follow it; one whose
//     meaningful bytes are not all in waits for them, however long.
//  5. A header inside a frame's meaningful bytes is no frame of its own,
//     unless the line paused there and resumed with it, and it is a frame by
//     rules 2 to 4 while the frame it cut short either ends by neither a
//     whole zero padding nor rule 3, or has meaningful bytes reaching past
//     the resumed header's (its padding is no one's meaningful bytes). The
//     frame cut short is then dropped.
//
// Rules 2 and 3 end a frame as soon as its end shows, so a report stream
// waits for nothing; rule 4 serves the firmware transfer, which is stop and
// wait. bench_reception measures rules 1 to 4 (a late start and damaged
// headers: rule 1; bytes lost, added or changed: rules 2 and 3; the line
// quiet after every report: rule 4), test_frames holds rule 5's cases, and
// bench_campaign all five beside a stream of reports.
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
    // Bytes wait that may yet be, or end, a frame.
    bool pending() const { return buffered() > 0; }
    // Bytes passed over outside frames, since construction.
    qint64 dropped() const { return m_dropped; }
    // Candidates with a consistent header that turned out to be no frames,
    // since construction.
    qint64 rejected() const { return m_rejected; }

private:
    enum class Kind { Wait, Frame, None };
    struct Verdict
    {
        Kind kind;
        int length = 0;      // of a frame: the bytes it takes from the stream
        bool whole = false;  // its 112 bytes arrived as they come out
    };
    Verdict judge(int at, bool quiet, bool evidence) const;
    bool next(QByteArray *frame, bool quiet);
    void hand_out(int length, bool whole, QByteArray *frame);

    QByteArray m_buffer;
    int m_head = 0;
    // Where in m_buffer the line resumed after the last pause that a
    // candidate waited through, or -1: rule 5.
    int m_resumed = -1;
    qint64 m_dropped = 0;
    qint64 m_rejected = 0;
};

#pragma once

#include <QByteArray>

// Cuts the byte stream from the serial port into 112-byte frames.
//
// Bytes arrive in pieces of any size: a frame split over several reads, several
// frames in one read, a USB bridge's 64-byte packets. append() buffers them and
// take() hands out each frame once, in order.
//
// Nothing on the link carries a checksum, so a frame is believed only when it
// fits the frame layout and what follows it fits too:
//  - its header is consistent: byte 0 is 141, byte 3 (the payload length L) is
//    1 to 105, byte 1 is L + 4, and bytes 2, 4 and 6 are 0;
//  - the bytes that follow it begin another consistent header, as far as they
//    have arrived. A lost or an inserted byte shifts the frame that holds it
//    against the next frame's start, and a false start inside a payload is
//    almost never followed by a header 112 bytes later.
// A candidate that fails is not a frame: the search goes on one byte later and
// the byte is counted as dropped. The padding is never looked at.
//
// A frame that ends exactly where the received bytes end is handed out at
// once: the device pauses after its replies, and the firmware transfer waits
// for each acknowledgement, so waiting for what follows would cost time.
//
// Two exceptions keep intact frames next to a damaged one:
//  - A frame that starts where a frame is due (where the previous frame ended,
//    or at the start of the stream) is kept when what follows is the next
//    frame's header damaged in one byte: it starts with 141; or it reads as a
//    header whose 141 was lost, unless the frame's own last byte is 141 (then
//    the frame itself lost a byte and swallowed the next start byte); or all 7
//    bytes read as a header whose 141 was changed. Until those 7 bytes have
//    arrived such a frame may wait.
//  - A frame handed out at the end of the received bytes whose last byte is
//    141 may have swallowed the next frame's start in the same way; that byte
//    is looked at again as a possible frame start.
//
// The frames handed out do not depend on how the stream is cut into reads,
// except where a read ends at the end of a candidate that the bytes after it
// reject (or would decide on, were there more), or within the 6 bytes after
// it: such a candidate is handed out when the read ends before the byte that
// shows it false.
//
// Silence ends a frame. Not every frame is followed by another: the firmware
// transfer is stop and wait, and after each acknowledgement the device says
// nothing until the next chunk. A frame whose padding lost a byte or gained
// one, or that is followed by a few bytes of noise, would wait for a next
// header that never comes. So once the line has been quiet for a while (the
// owner measures that, see FrameReader), take_after_silence() also hands out
// a candidate that starts where a frame is due, whose header is consistent,
// whose meaningful bytes (0 to 7 + L) have all arrived and whose byte 7 + L,
// the first of its padding, is 0, whatever follows it and whatever is missing
// of its padding (missing bytes read as 0). A candidate that was rejected
// only for what followed it is kept aside for this until another frame is
// handed out. Bytes after it that begin no frame are dropped, and so is a
// candidate whose meaningful bytes have not all arrived: the next byte after
// the pause is where a frame is due.
//
// Silence trusts nothing before the stream is known to be in step: from the
// start (or clear()) until a frame has been handed out or a pause found
// nothing waiting, the first bytes may be the end of a frame whose start was
// never seen (a port opened while the device was sending), so a pause then
// only drops what waits.
//
// take() is pull-based on purpose: a caller that decodes frames in a loop and is
// reset in the middle (clear()) simply finds no further frame.
class FrameAssembler
{
public:
    void append(const QByteArray &bytes);

    // Moves the next frame into *frame and returns true, or returns false
    // while none is complete. Afterwards at most a frame and the 6 bytes after
    // it stay buffered.
    bool take(QByteArray *frame);
    // As take(), for a line that has gone quiet: also hands out the frame
    // that silence ends (see above). The next byte to arrive after the
    // buffered ones is where a frame is due.
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
    void skip_byte();
    bool next(QByteArray *frame, bool quiet);
    void hand_out(QByteArray *frame, int length);
    void frame_ends(int length);

    QByteArray m_buffer;
    int m_head = 0;
    qint64 m_dropped = 0;
    qint64 m_rejected = 0;
    // The head is where a frame is due: where the last frame ended, or the
    // start of the stream; no byte skipped since.
    bool m_in_step = true;
    // The byte at the head is the last byte of the frame handed out last.
    bool m_head_delivered = false;

    // A frame has been handed out, or a pause found nothing waiting, since
    // the start or clear().
    bool m_synced = false;
    // A candidate that started where a frame was due and was rejected for
    // what followed it: silence may yet prove it a frame. m_held_ahead of its
    // bytes are at or after the head, the others have been passed over.
    QByteArray m_held;
    int m_held_ahead = 0;
};

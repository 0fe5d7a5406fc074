#pragma once

#include <QByteArray>

// Cuts the byte stream from the serial port into 112-byte frames.
//
// Bytes arrive in pieces of any size: a frame split over several reads, several
// frames in one read, a USB bridge's 64-byte packets. append() buffers them and
// take() hands out each complete frame once, in order.
//
// The assembler stays in step with the stream: a frame starts with 141 and its
// byte 1 equals its byte 3 plus 4. When the bytes at the head of the buffer do
// not start a frame (a byte lost, the port opened mid-frame), it drops bytes up
// to the next position that does. Nothing else about a frame is checked.
//
// take() is pull-based on purpose: a caller that decodes frames in a loop and is
// reset in the middle (clear()) simply finds no further frame.
class FrameAssembler
{
public:
    void append(const QByteArray &bytes);

    // Moves the next complete frame into *frame and returns true, or returns
    // false while no complete frame is buffered.
    bool take(QByteArray *frame);

    void clear();

    int buffered() const { return int(m_buffer.size()) - m_head; }
    // Bytes thrown away to find the start of a frame, since construction.
    qint64 dropped() const { return m_dropped; }

private:
    // Advances m_head to the first position that may start a frame, or to the
    // end of the buffer when there is none.
    void sync();

    QByteArray m_buffer;
    int m_head = 0;
    qint64 m_dropped = 0;
};

#pragma once

#include <QByteArray>
#include <QString>

namespace sim {

// Cuts the incoming byte stream into 112-byte frames.
//
// A frame may start only where byte 0 is the start byte and byte 1 equals
// byte 3 + 4; anything else in front of such a position is dropped as noise.
// Frames found this way are checked strictly afterwards (reserved bytes,
// payload length, zero padding) and reported as malformed if the check fails.
class FrameAssembler
{
public:
    FrameAssembler();

    void feed(const QByteArray &bytes);
    void feed(const char *data, int size);

    // Takes the next complete frame out of the buffer. Returns false when no
    // complete frame is buffered. *problem is set to an empty string for a
    // well-formed frame, otherwise to a description of what is wrong.
    bool next(QByteArray *frame, QString *problem = nullptr);

    void clear();

    int bufferedBytes() const { return m_buf.size() - m_pos; }
    qint64 droppedBytes() const { return m_dropped; }
    qint64 frameCount() const { return m_frames; }
    qint64 malformedCount() const { return m_malformed; }

private:
    void compact();

    QByteArray m_buf;
    int m_pos = 0;
    qint64 m_dropped = 0;
    qint64 m_frames = 0;
    qint64 m_malformed = 0;
};

} // namespace sim

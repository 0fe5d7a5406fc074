#include "frame_reader.h"

#include <QSerialPort>

#include <sys/ioctl.h>

namespace {

// The bytes that have reached `device` and wait to be read: those it holds,
// and for a serial port those still in the system's buffer.
qint64 bytes_waiting(QIODevice *device)
{
    qint64 waiting = device->bytesAvailable();
    auto *port = qobject_cast<QSerialPort *>(device);
    if (port && port->isOpen()) {
        int in_system = 0;
        if (::ioctl(int(port->handle()), FIONREAD, &in_system) == 0)
            waiting += in_system;
    }
    return waiting;
}

} // namespace

FrameReader::FrameReader(QObject *parent)
    : QObject(parent)
{
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &FrameReader::look_for_quiet);
}

void FrameReader::append(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return;
    m_frames.append(bytes);
    m_since_bytes.start();
    m_quiet = false;
}

void FrameReader::read_from(QIODevice *device)
{
    // Exactly what is there: readAll() would first make room for 16 kB and
    // then give it back, a copy of that much for every acknowledgement.
    m_source = device;
    const qint64 available = device->bytesAvailable();
    if (available > 0)
        append(device->read(available));
}

bool FrameReader::take(QByteArray *frame)
{
    if (m_quiet ? m_frames.take_after_silence(frame) : m_frames.take(frame))
        return true;
    // Only bytes that wait need the clock; once quiet, nothing changes until
    // more arrive.
    if (!m_quiet && m_frames.pending() && !m_timer.isActive())
        m_timer.start(SILENCE_GAP_MS);
    return false;
}

void FrameReader::clear()
{
    m_frames.clear();
    m_timer.stop();
    m_quiet = false;
}

void FrameReader::look_for_quiet()
{
    if (m_quiet || !m_frames.pending())
        return;
    // The timer runs from the first byte that waited; bytes since then move
    // the moment on.
    const qint64 quiet_for = m_since_bytes.elapsed();
    if (quiet_for < SILENCE_GAP_MS) {
        m_timer.start(int(SILENCE_GAP_MS - quiet_for));
        return;
    }
    // Bytes wait at the port: the program, not the line, was quiet. They
    // arrive with the port's next notification and move the moment on.
    if (m_source && m_source->isOpen() && bytes_waiting(m_source) > 0) {
        m_timer.start(SILENCE_GAP_MS);
        return;
    }
    m_quiet = true;
    emit quiet();
}

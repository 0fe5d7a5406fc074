#pragma once

#include "frame_assembler.h"

#include <QElapsedTimer>
#include <QIODevice>
#include <QObject>
#include <QPointer>
#include <QTimer>

// The frames of a serial link: bytes go through a FrameAssembler, and while
// some stay buffered a timer watches for the line to go quiet, so that
// silence can end a frame that nothing follows (see FrameAssembler).
//
// Silence is the line's, not the program's: a program that was stopped or
// busy for a while finds the device's bytes waiting at the port, and a gap is
// declared only once the port has none waiting and none arrived for
// SILENCE_GAP_MS. Silence never costs a frame whose meaningful bytes are
// missing (they are waited for), so a gap declared early costs nothing.
//
// The owner appends what the port delivers and takes frames in a loop; when
// quiet() comes it does the same again, and take() then also hands out what
// silence ends. A healthy link costs no timer: after a whole frame nothing
// stays buffered.
class FrameReader : public QObject
{
    Q_OBJECT

public:
    // How long the line must be quiet before silence ends a frame. A device
    // writes a frame at once, and at 115200 baud a whole frame takes under
    // 10 ms on the wire; a USB serial bridge may hold bytes back for up to
    // 16 ms (a common latency timer) before passing them on. 40 ms is well
    // past both, so a pause inside a frame is not taken for its end, and far
    // below any time the program waits for an answer (5 s before it tells
    // the user that the device is silent).
    static constexpr int SILENCE_GAP_MS = 40;

    explicit FrameReader(QObject *parent = nullptr);

    void append(const QByteArray &bytes);
    // Appends what `device` has received; `device` is then the port whose
    // waiting bytes tell that the line is not quiet.
    void read_from(QIODevice *device);
    // The next frame into *frame, or false while none is complete.
    bool take(QByteArray *frame);
    void clear();

    const FrameAssembler &assembler() const { return m_frames; }

signals:
    // The line has been quiet for SILENCE_GAP_MS with bytes waiting.
    void quiet();

private:
    void look_for_quiet();

    FrameAssembler m_frames;
    QTimer m_timer;
    QElapsedTimer m_since_bytes;
    bool m_quiet = false;
    QPointer<QIODevice> m_source;
};

#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <random>

namespace sim {

struct DeviceOptions;

// Damage on the line from the device to the program: a byte of a frame lost,
// an extra byte, a byte turned into its inverse, a stray byte or a burst of
// noise after a frame, a pause in the middle of a frame, or the stream picked
// up in the middle of a frame. The switches in DeviceOptions damage every n-th
// frame, or each frame with a chance (of one code, with faultCode); once()
// damages the next frame only. Every random choice comes from the fault seed,
// frame after frame: the same seed and the same frames give the same damage.
class LineFaults
{
public:
    enum class Kind { Drop, Insert, Flip, Stray, Burst };

    // A frame that stops after its first `cut` bytes; the rest follows `ms`
    // later. No pause: cut 0.
    struct Pause
    {
        int cut = 0;
        int ms = 0;
    };

    explicit LineFaults(const DeviceOptions &options);

    // The next frame is damaged this way at byte `at` (0..111; -1: a random
    // byte); for a burst `at` is its length (1..64; -1: a random length).
    // An inserted or stray byte has the value `value` (-1: a random one).
    void once(Kind kind, int at, int value = -1);

    // The bytes that go on the line for `frame`. *what tells what was done to
    // it, and is empty when the frame goes out as it is; *pause tells where
    // they stop for a while.
    QByteArray apply(const QByteArray &frame, QString *what, Pause *pause = nullptr);

    // The rest of a sniffer report from byte `from` on, as a program sees it
    // when it opens the port while the device is sending that report. Its
    // counters hold a false frame start at byte 8: 141, 5, 0, 1, 0, 0, 0,
    // then 42 and a role byte of 0, a master's device information.
    static QByteArray reportTail(int from);

private:
    struct Fault
    {
        Kind kind;
        int at;
        int value;
    };
    char noise_byte(int value);
    bool chance(double probability);
    int between(int low, int high);
    QByteArray damage(const QByteArray &frame, Fault fault, QString *what);

    const DeviceOptions &m_opt;
    QList<Fault> m_once;
    quint64 m_frames = 0;
    std::mt19937 m_random;
};

} // namespace sim

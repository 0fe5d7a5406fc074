#include "firmwarereceiver.h"

#include "frame.h"

namespace sim {

FirmwareReceiver::Chunk FirmwareReceiver::takeData(const QByteArray &frame)
{
    ++m_dataFrames;
    Chunk c;
    c.unit = byteAt(frame, 5);
    c.seq = u16At(frame, 8);
    c.last = c.seq == kLastChunk;
    const int n = byteAt(frame, 10);
    // Built only when something is wrong: this runs for every chunk.
    auto where = [&c]() {
        return QStringLiteral("unit %1 chunk %2: ").arg(c.unit)
            .arg(c.last ? QStringLiteral("last") : QString::number(c.seq));
    };

    if (c.unit != kUnitWlan && c.unit != kUnitDsp)
        c.problems << where() + QStringLiteral("unknown unit");
    if (n > kChunkSize)
        c.problems << where() + QStringLiteral("carries %1 bytes, more than %2").arg(n).arg(kChunkSize);
    if (!c.last && n != kChunkSize)
        c.problems << where() + QStringLiteral("ordinary chunk carries %1 bytes, not %2").arg(n).arg(kChunkSize);
    if (byteAt(frame, 11) != 0)
        c.problems << where() + QStringLiteral("byte 11 is %1, not 0").arg(byteAt(frame, 11));
    if (byteAt(frame, 1) != n + 9 || byteAt(frame, 3) != n + 5)
        c.problems << where() + QStringLiteral("bytes 1 and 3 are %1 and %2 for %3 data bytes (expected %4 and %5)")
                                  .arg(byteAt(frame, 1)).arg(byteAt(frame, 3)).arg(n).arg(n + 9).arg(n + 5);

    for (auto it = m_units.cbegin(); it != m_units.cend(); ++it) {
        if (it.key() != c.unit && it.value().active)
            c.problems << where() + QStringLiteral("sent while the image for unit %1 is incomplete").arg(it.key());
    }

    UnitState &u = m_units[c.unit];
    if (!c.last) {
        if (c.seq != u.expected)
            c.problems << where() + QStringLiteral("sequence %1, expected %2").arg(c.seq).arg(u.expected);
        u.expected = quint32(c.seq) + 1;
    }
    u.active = true;
    const int take = qMin(n, qMin(kChunkSize, frame.size() - 12));
    if (take > 0)
        u.data.append(frame.constData() + 12, take);
    if (c.last) {
        c.completesImage = true;
        c.image = u.data;
        u = UnitState();
    }
    return c;
}

QStringList FirmwareReceiver::takeFinish(quint8 unit)
{
    QStringList problems;
    for (auto it = m_units.cbegin(); it != m_units.cend(); ++it) {
        if (it.value().active)
            problems << QStringLiteral("finish for unit %1 while the image for unit %2 is incomplete")
                            .arg(unit).arg(it.key());
    }
    return problems;
}

QByteArray FirmwareReceiver::partialImage(quint8 unit) const
{
    return m_units.value(unit).data;
}

bool FirmwareReceiver::imageInProgress(quint8 unit) const
{
    return m_units.value(unit).active;
}

void FirmwareReceiver::reset()
{
    m_units.clear();
    m_dataFrames = 0;
}

} // namespace sim

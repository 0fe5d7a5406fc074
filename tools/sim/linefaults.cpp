#include "linefaults.h"

#include "frame.h"
#include "options.h"

namespace sim {

LineFaults::LineFaults(const DeviceOptions &options)
    : m_opt(options)
    , m_random(options.faultSeed)
{
}

void LineFaults::once(Kind kind, int at, int value)
{
    m_once.append({kind, at, value});
}

QByteArray LineFaults::apply(const QByteArray &frame, QString *what, Pause *pause)
{
    what->clear();
    if (pause)
        *pause = Pause();
    QByteArray out = frame;
    const bool counted = m_opt.faultCode < 0 || (frame.size() > 7 && quint8(frame.at(7)) == m_opt.faultCode);
    if (counted)
        ++m_frames;
    auto every = [this, counted](int n) { return counted && n > 0 && m_frames % quint64(n) == 0; };
    if (every(m_opt.dropEvery))
        out = damage(out, {Kind::Drop, m_opt.faultByte, -1}, what);
    if (every(m_opt.insertEvery))
        out = damage(out, {Kind::Insert, m_opt.faultByte, m_opt.faultValue}, what);
    if (every(m_opt.flipEvery))
        out = damage(out, {Kind::Flip, m_opt.faultByte, -1}, what);
    if (every(m_opt.strayEvery))
        out = damage(out, {Kind::Stray, -1, m_opt.faultValue}, what);
    if (every(m_opt.burstEvery))
        out = damage(out, {Kind::Burst, m_opt.burstSize > 0 ? m_opt.burstSize : -1, -1}, what);
    if (counted && chance(m_opt.dropChance))
        out = damage(out, {Kind::Drop, m_opt.faultByte, -1}, what);
    if (counted && chance(m_opt.insertChance))
        out = damage(out, {Kind::Insert, m_opt.faultByte, m_opt.faultValue}, what);
    if (counted && chance(m_opt.flipChance))
        out = damage(out, {Kind::Flip, m_opt.faultByte, -1}, what);
    if (counted && chance(m_opt.strayChance))
        out = damage(out, {Kind::Stray, -1, m_opt.faultValue}, what);
    if (counted && chance(m_opt.burstChance))
        out = damage(out, {Kind::Burst, m_opt.burstSize > 0 ? m_opt.burstSize : -1, -1}, what);
    if (!m_once.isEmpty())
        out = damage(out, m_once.takeFirst(), what);
    if (counted && pause && out.size() > 1 && chance(m_opt.pauseChance)) {
        pause->cut = between(1, int(out.size()) - 1);
        pause->ms = between(m_opt.pauseMinMs, m_opt.pauseMaxMs);
        const QString done = QStringLiteral("%1 ms pause after byte %2").arg(pause->ms).arg(pause->cut - 1);
        *what = what->isEmpty() ? done : *what + QStringLiteral(", ") + done;
    }
    return out;
}

bool LineFaults::chance(double probability)
{
    // No draw for a switch that is off: the others' choices stay as they were.
    if (probability <= 0)
        return false;
    return std::uniform_real_distribution<double>(0, 1)(m_random) < probability;
}

int LineFaults::between(int low, int high)
{
    return high > low ? std::uniform_int_distribution<int>(low, high)(m_random) : low;
}

QByteArray LineFaults::damage(const QByteArray &frame, Fault fault, QString *what)
{
    const int size = int(frame.size());
    if (size == 0)
        return frame;
    const int at = fault.at >= 0 && fault.at < size
        ? fault.at
        : std::uniform_int_distribution<int>(0, size - 1)(m_random);
    QByteArray out = frame;
    QString done;
    switch (fault.kind) {
    case Kind::Stray: {
        const char extra = noise_byte(fault.value);
        out.append(extra);
        done = QStringLiteral("stray byte 0x%1 after it").arg(uint(quint8(extra)), 2, 16, QLatin1Char('0'));
        break;
    }
    case Kind::Burst: {
        const int n = fault.at >= 1 && fault.at <= 64 ? fault.at : std::uniform_int_distribution<int>(1, 64)(m_random);
        for (int i = 0; i < n; ++i)
            out.append(noise_byte(-1));
        done = QStringLiteral("burst of %1 noise bytes after it").arg(n);
        break;
    }
    case Kind::Drop:
        out.remove(at, 1);
        done = QStringLiteral("byte %1 dropped").arg(at);
        break;
    case Kind::Insert: {
        const char extra = noise_byte(fault.value);
        out.insert(at, extra);
        done = QStringLiteral("byte 0x%1 inserted before byte %2").arg(uint(quint8(extra)), 2, 16, QLatin1Char('0')).arg(at);
        break;
    }
    case Kind::Flip:
        out[at] = char(~quint8(out.at(at)));
        done = QStringLiteral("byte %1 inverted").arg(at);
        break;
    }
    *what = what->isEmpty() ? done : *what + QStringLiteral(", ") + done;
    return out;
}

char LineFaults::noise_byte(int value)
{
    return char(value >= 0 ? value : std::uniform_int_distribution<int>(0, 255)(m_random));
}

QByteArray LineFaults::reportTail(int from)
{
    QByteArray a;
    appendU16(a, 0x058D);                // beacons A: 141, 5
    appendU16(a, 0x0100);                // audio A: 0, 1
    appendU16(a, 0x0000);                // beacons B: 0, 0
    appendU16(a, 0x2A00);                // audio B: 0, 42
    appendU16(a, quint16(qint16(-60)));  // RSSI A: 0xC4 (role 0), 0xFF
    appendU16(a, quint16(qint16(-70)));  // RSSI B
    return buildFrame(rpl::Sniff, kUnitWlan, a).mid(qBound(0, from, kFrameSize));
}

} // namespace sim

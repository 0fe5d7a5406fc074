// The random fault switches: each choice comes from the fault seed, and the
// log tells exactly what was done to each frame (a campaign judges its runs by
// it); pauses inside replies and pieces of random length; duplicated and late
// acknowledgements.

#include "simtest.h"

#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

using namespace simtest;

namespace {

// The log lines written since the last call.
class LogTail
{
public:
    explicit LogTail(const QString &path)
        : m_path(path)
    {
    }
    QStringList take()
    {
        QFile f(m_path);
        if (!f.open(QIODevice::ReadOnly))
            return {};
        f.seek(m_pos);
        const QByteArray text = f.readAll();
        m_pos += text.size();
        QStringList lines;
        for (const QByteArray &line : text.split('\n')) {
            if (!line.isEmpty())
                lines.append(QString::fromLocal8Bit(line).section(QLatin1Char(' '), 1));
        }
        return lines;
    }

private:
    QString m_path;
    qint64 m_pos = 0;
};

// What the line should carry for `frame` by what the log says was done to it:
// the bytes, and after them the length of a burst of noise (its values are
// not logged).
struct Expected
{
    QByteArray bytes;
    int noise = 0;
};

Expected replay(const QByteArray &frame, const QString &what)
{
    static const QRegularExpression drop(QStringLiteral("^byte (\\d+) dropped$"));
    static const QRegularExpression insert(QStringLiteral("^byte 0x([0-9a-f]{2}) inserted before byte (\\d+)$"));
    static const QRegularExpression flip(QStringLiteral("^byte (\\d+) inverted$"));
    static const QRegularExpression stray(QStringLiteral("^stray byte 0x([0-9a-f]{2}) after it$"));
    static const QRegularExpression burst(QStringLiteral("^burst of (\\d+) noise bytes after it$"));
    Expected e{frame, 0};
    for (const QString &part : what.split(QStringLiteral(", "), Qt::SkipEmptyParts)) {
        QRegularExpressionMatch m;
        if ((m = drop.match(part)).hasMatch()) {
            e.bytes.remove(m.captured(1).toInt(), 1);
        } else if ((m = insert.match(part)).hasMatch()) {
            e.bytes.insert(m.captured(2).toInt(), char(m.captured(1).toInt(nullptr, 16)));
        } else if ((m = flip.match(part)).hasMatch()) {
            const int at = m.captured(1).toInt();
            e.bytes[at] = char(~quint8(e.bytes.at(at)));
        } else if ((m = stray.match(part)).hasMatch()) {
            e.bytes.append(char(m.captured(1).toInt(nullptr, 16)));
        } else if ((m = burst.match(part)).hasMatch()) {
            e.noise = m.captured(1).toInt();
        } else {
            qWarning("fault not understood: %s", qPrintable(part));
            e.noise = -1;
        }
    }
    return e;
}

// The replies a device sends during an update, and some it sends otherwise.
QByteArray reply(int i)
{
    switch (i % 5) {
    case 0: {
        QByteArray ack = hexFrame("8d 07 00 03 00 00 00 5c");
        ack[8] = char(i);
        ack[9] = char(i >> 8);
        return ack;
    }
    case 1: return hexFrame("8d 06 00 02 00 05 00 60 04");
    case 2: return hexFrame("8d 07 00 03 00 00 00 3f 72 06");
    case 3: return hexFrame("8d 05 00 01 00 05 00 5e");
    default: return hexFrame("8d 06 00 02 00 00 00 09 02");
    }
}

struct Damaged
{
    QByteArray stream;   // every byte written to the line
    QStringList faults;  // the log's lines on them
};

// Sends 200 replies through the random line faults of `seed` and checks, frame
// by frame, that the log tells exactly what the line carries.
Damaged sendDamaged(quint32 seed)
{
    QTemporaryDir dir;
    sim::DeviceOptions o = quietOptions();
    o.logPath = dir.filePath(QStringLiteral("sim.log"));
    o.faultSeed = seed;
    o.dropChance = 0.1;
    o.insertChance = 0.1;
    o.flipChance = 0.1;
    o.strayChance = 0.05;
    o.burstChance = 0.05;
    sim::Device dev(o);
    Damaged d;
    if (!dev.start())
        return d;
    QObject::connect(&dev, &sim::Device::bytesWritten, [&d](const QByteArray &b) { d.stream += b; });
    LogTail log(o.logPath);
    log.take();
    static const QRegularExpression line(
        QStringLiteral("^line fault in RPL (\\d+) unit \\d+ .*, meaningful bytes 0-(\\d+): (.*)$"));
    int pos = 0;
    for (int i = 0; i < 200; ++i) {
        const QByteArray frame = reply(i);
        dev.sendFrame(quint8(frame.at(7)), quint8(frame.at(5)), frame.mid(8, quint8(frame.at(3)) - 1));
        const QStringList lines = log.take();
        Expected e{frame, 0};
        if (!lines.isEmpty()) {
            const QRegularExpressionMatch m = line.match(lines.first());
            if (lines.size() != 1 || !m.hasMatch() || m.captured(1).toInt() != quint8(frame.at(7))
                || m.captured(2).toInt() != 7 + quint8(frame.at(3))) {
                qWarning("frame %d: unexpected log: %s", i, qPrintable(lines.join(QLatin1Char('|'))));
                return Damaged();
            }
            d.faults.append(lines.first());
            e = replay(frame, m.captured(3));
        }
        if (e.noise < 0 || d.stream.mid(pos, e.bytes.size()) != e.bytes
            || d.stream.size() != pos + e.bytes.size() + e.noise) {
            qWarning("frame %d: the line carries %s, the log says %s", i, d.stream.mid(pos).toHex(' ').constData(),
                     e.bytes.toHex(' ').constData());
            return Damaged();
        }
        pos = int(d.stream.size());
    }
    return d;
}

} // namespace

class TestSimFaults : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        qRegisterMetaType<QSerialPort::SerialPortError>();
    }

    void randomDamageIsSeededAndLoggedExactly()
    {
        QSet<QString> kinds;
        for (quint32 seed : {1u, 2u, 3u, 77u, 4000000000u}) {
            const Damaged d = sendDamaged(seed);
            QVERIFY2(!d.stream.isEmpty(), qPrintable(QStringLiteral("seed %1").arg(seed)));
            // About a third of the frames are hit.
            QVERIFY2(d.faults.size() > 30 && d.faults.size() < 110, qPrintable(QString::number(d.faults.size())));
            for (const QString &f : d.faults) {
                for (const char *kind : {"dropped", "inserted", "inverted", "stray", "burst"}) {
                    if (f.contains(QLatin1String(kind)))
                        kinds.insert(QString::fromLatin1(kind));
                }
            }
            // The same seed, the same damage; another seed, other damage.
            const Damaged again = sendDamaged(seed);
            QCOMPARE(again.faults, d.faults);
            const Damaged other = sendDamaged(seed + 1);
            QVERIFY(other.faults != d.faults);
        }
        QCOMPARE(kinds.size(), 5);
    }

    void faultCodeChoosesTheFramesHit()
    {
        sim::DeviceOptions o = quietOptions();
        o.faultCode = 92;
        o.flipChance = 1;
        o.faultByte = 60;
        sim::Device dev(o);
        QVERIFY(dev.start());
        Client client(dev.slavePath());
        QVERIFY(client.open());
        dev.sendFrame(92, 0, QByteArray::fromHex("0300"));
        dev.sendFrame(63, 0, QByteArray::fromHex("7206"));
        QVERIFY(client.waitFrames(2));
        QCOMPARE(quint8(client.frames.at(0)[60]), quint8(0xff));
        QCOMPARE(client.frames.at(1), hexFrame("8d 07 00 03 00 00 00 3f 72 06"));
    }

    void pausesAndPiecesCutRepliesWhereTheLogSays()
    {
        QTemporaryDir dir;
        sim::DeviceOptions o = quietOptions();
        o.logPath = dir.filePath(QStringLiteral("sim.log"));
        o.faultSeed = 5;
        o.splitSize = 1;
        o.splitSizeMax = 64;
        o.splitPauseMs = 0;
        o.pauseChance = 0.3;
        o.pauseMinMs = 60;
        o.pauseMaxMs = 80;
        sim::Device dev(o);
        QVERIFY(dev.start());
        Client client(dev.slavePath());
        QVERIFY(client.open());
        struct Write
        {
            qint64 ns;
            int size;
        };
        QList<Write> writes;
        connect(&dev, &sim::Device::bytesWritten, this, [&](const QByteArray &b) {
            writes.append({steadyNs(), int(b.size())});
        });
        LogTail log(o.logPath);
        log.take();

        QByteArray sent;
        QList<int> cuts;  // stream offset of each pause, -1 for none
        QList<int> pauses;
        static const QRegularExpression pause(QStringLiteral("(\\d+) ms pause after byte (\\d+)$"));
        for (int i = 0; i < 20; ++i) {
            const QByteArray frame = reply(i);
            dev.sendFrame(quint8(frame.at(7)), quint8(frame.at(5)), frame.mid(8, quint8(frame.at(3)) - 1));
            const QStringList lines = log.take();
            for (const QString &l : lines) {
                const QRegularExpressionMatch m = pause.match(l);
                QVERIFY2(m.hasMatch(), qPrintable(l));
                QVERIFY(m.captured(1).toInt() >= 60 && m.captured(1).toInt() <= 80);
                cuts.append(int(sent.size()) + m.captured(2).toInt() + 1);
                pauses.append(m.captured(1).toInt());
            }
            sent += frame;
        }
        QVERIFY(cuts.size() >= 3 && cuts.size() <= 12);
        QVERIFY(client.waitFrames(20, 20000));
        // Nothing lost, nothing added, in order.
        QCOMPARE(client.frames.join(), sent);

        // Every piece is 1 to 64 bytes, not all of one length; a pause ends a
        // piece exactly where the log says, and the next one waits for it.
        QSet<int> sizes;
        int offset = 0;
        QList<int> boundaries;
        for (int i = 0; i < writes.size(); ++i) {
            QVERIFY(writes.at(i).size >= 1 && writes.at(i).size <= 64);
            sizes.insert(writes.at(i).size);
            offset += writes.at(i).size;
            const int c = int(cuts.indexOf(offset));
            if (c >= 0) {
                QVERIFY(i + 1 < writes.size());
                const qint64 ms = (writes.at(i + 1).ns - writes.at(i).ns) / 1000000;
                QVERIFY2(ms >= pauses.at(c) - 2, qPrintable(QStringLiteral("%1 ms, not %2").arg(ms).arg(pauses.at(c))));
                boundaries.append(offset);
            }
        }
        QCOMPARE(boundaries, cuts);
        QVERIFY(sizes.size() > 10);
    }

    void duplicatedAndLateAcknowledgements()
    {
        QTemporaryDir dir;
        sim::DeviceOptions o = quietOptions();
        o.logPath = dir.filePath(QStringLiteral("sim.log"));
        o.recordFrames = true;
        o.faultSeed = 11;
        o.duplicateAckChance = 0.3;
        o.ackDelayMs = 10;
        o.ackDelayMaxMs = 40;
        sim::Device dev(o);
        QVERIFY(dev.start());
        Client client(dev.slavePath());
        QVERIFY(client.open());

        // Stop and wait: each chunk once its acknowledgement is in.
        QList<int> acked;
        for (int s = 0; s < 30; ++s) {
            // Sequence number, 100 data bytes, byte 11 zero, the data.
            QByteArray args(4, '\0');
            args[0] = char(s);
            args[2] = char(100);
            const QByteArray chunk = request(91, 0, args + QByteArray(100, 'x'));
            QVERIFY(QTest::qWaitFor([&] { return client.withCode(92).size() >= acked.size(); }, 5000));
            const int before = int(client.withCode(92).size());
            client.send(chunk);
            QVERIFY(QTest::qWaitFor([&] { return client.withCode(92).size() > before; }, 5000));
            acked.append(s);
        }
        QTest::qWait(100);  // a second copy of the last acknowledgement
        QList<int> twice;
        for (const QString &line : QString::fromLocal8Bit([&] {
                 QFile f(o.logPath);
                 return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
             }()).split(QLatin1Char('\n'))) {
            const int at = line.indexOf(QLatin1String("acknowledging firmware chunk "));
            if (at >= 0)
                twice.append(line.mid(at + 29).section(QLatin1Char(' '), 0, 0).toInt());
        }
        QList<int> expected;
        for (int s = 0; s < 30; ++s) {
            expected.append(s);
            if (twice.contains(s))
                expected.append(s);
        }
        QList<int> seqs;
        for (const QByteArray &f : client.withCode(92))
            seqs.append(u16(f, 8));
        QCOMPARE(seqs, expected);
        QVERIFY(twice.size() >= 3 && twice.size() <= 18);

        // Each acknowledgement waits 10 to 40 ms, not always the same.
        qint64 least = 1000, most = 0;
        for (int s = 0; s < 30; ++s) {
            const qint64 ms = (dev.sent().at(expected.indexOf(s)).at_ns - dev.received().at(s).at_ns) / 1000000;
            QVERIFY2(ms >= 9, qPrintable(QString::number(ms)));
            least = qMin(least, ms);
            most = qMax(most, ms);
        }
        QVERIFY2(most - least >= 10, qPrintable(QStringLiteral("%1 to %2 ms").arg(least).arg(most)));
    }
};

QTEST_GUILESS_MAIN(TestSimFaults)
#include "test_sim_faults.moc"

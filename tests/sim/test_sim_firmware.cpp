// The device's side of a firmware update: acknowledgements, the checks on what
// arrives, the images it keeps and writes, and the fault switches.

#include "simtest.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>

using namespace simtest;

namespace {

// A data frame as a correct sender builds it.
QByteArray chunk(quint8 unit, quint16 seq, const QByteArray &data)
{
    QByteArray f(kFrame, '\0');
    f[0] = char(0x8d);
    f[1] = char(data.size() + 9);
    f[3] = char(data.size() + 5);
    f[5] = char(unit);
    f[7] = char(91);
    f[8] = char(seq & 0xff);
    f[9] = char(seq >> 8);
    f[10] = char(data.size());
    for (int i = 0; i < data.size(); ++i)
        f[12 + i] = data[i];
    return f;
}

QByteArray pattern(int size, int seed = 0)
{
    QByteArray b(size, '\0');
    for (int i = 0; i < size; ++i)
        b[i] = char((i * 31 + seed + (i >> 8)) & 0xff);
    return b;
}

// The program's side of the transfer, stop and wait: each acknowledgement
// releases the next chunk; a DSP image ends with the finish request.
class Sender : public QObject
{
public:
    explicit Sender(Client *client)
        : m_client(client)
    {
        connect(&client->port, &QSerialPort::readyRead, this, &Sender::poll, Qt::QueuedConnection);
    }

    void send(quint8 unit, const QByteArray &image)
    {
        m_unit = unit;
        m_image = image;
        m_pos = 0;
        done = false;
        sendChunk(0);
    }

    bool done = false;
    bool finished = false;   // the device answered the finish request
    int chunksSent = 0;

private:
    void sendChunk(quint16 seq)
    {
        const int rest = m_image.size() - m_pos;
        const QByteArray data = m_image.mid(m_pos, 100);
        m_pos += data.size();
        m_client->send(chunk(m_unit, rest > 100 ? seq : 0xffff, data));
        ++chunksSent;
    }

    void poll()
    {
        while (m_seen < m_client->frames.size()) {
            const QByteArray f = m_client->frames.at(m_seen++);
            if (quint8(f[7]) == 94) {
                finished = true;
            } else if (quint8(f[7]) == 92) {
                const quint16 seq = u16(f, 8);
                if (seq != 0xffff) {
                    sendChunk(quint16(seq + 1));
                } else {
                    done = true;
                    if (quint8(f[5]) != 0)
                        m_client->send(request(93, quint8(f[5])));
                }
            }
        }
    }

    Client *m_client;
    quint8 m_unit = 0;
    QByteArray m_image;
    int m_pos = 0;
    int m_seen = 0;
};

struct Rig
{
    explicit Rig(const sim::DeviceOptions &o = quietOptions())
        : dev(o)
    {
        started = dev.start();
        client.reset(new Client(dev.slavePath()));
        opened = client->open();
        sender.reset(new Sender(client.data()));
    }
    sim::Device dev;
    QScopedPointer<Client> client;
    QScopedPointer<Sender> sender;
    bool started = false;
    bool opened = false;
};

} // namespace

class TestSimFirmware : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        qRegisterMetaType<QSerialPort::SerialPortError>();
    }

    void imagesArriveWhole_data()
    {
        QTest::addColumn<int>("unit");
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("chunks");
        QTest::newRow("empty") << 0 << 0 << 1;
        QTest::newRow("one byte") << 5 << 1 << 1;
        QTest::newRow("exactly one chunk") << 0 << 100 << 1;
        QTest::newRow("one byte over") << 5 << 101 << 2;
        QTest::newRow("250 bytes") << 0 << 250 << 3;
        QTest::newRow("exactly ten chunks") << 5 << 1000 << 10;
    }

    void imagesArriveWhole()
    {
        QFETCH(int, unit);
        QFETCH(int, size);
        QFETCH(int, chunks);
        Rig r;
        QVERIFY(r.started && r.opened);
        QSignalSpy completed(&r.dev, &sim::Device::imageCompleted);
        const QByteArray image = pattern(size);
        r.sender->send(quint8(unit), image);
        QTRY_VERIFY(r.sender->done);

        QCOMPARE(r.sender->chunksSent, chunks);
        QCOMPARE(r.dev.acksSent(), chunks);
        QCOMPARE(r.dev.firmwareDataFrames(), chunks);
        QCOMPARE(r.dev.receivedImage(quint8(unit)), image);
        QCOMPARE(completed.count(), 1);
        QCOMPARE(r.dev.violations(), QStringList());
        QCOMPARE(r.dev.malformedCount(), 0);
        QVERIFY(r.dev.receivedImage(quint8(5 - unit)).isEmpty());

        // Acknowledgements carry the sequence number and the unit.
        const QList<QByteArray> acks = r.client->withCode(92);
        QCOMPARE(acks.size(), chunks);
        for (int i = 0; i < chunks - 1; ++i) {
            QByteArray expected = hexFrame("8d 07 00 03 00 00 00 5c");
            expected[5] = char(unit);
            expected[8] = char(i);
            QCOMPARE(acks.at(i), expected);
        }
        QCOMPARE(acks.last().left(10), QByteArray::fromHex("8d0700030000005cffff").replace(5, 1, QByteArray(1, char(unit))));
        if (unit == 5)
            QTRY_VERIFY(r.sender->finished);
    }

    void fullUpdateWritesImageFiles()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        sim::DeviceOptions o = quietOptions();
        o.imageDir = dir.filePath(QStringLiteral("images"));   // made on demand
        Rig r(o);
        QVERIFY(r.started && r.opened);

        // Device type, versions, then WLAN and DSP images and the finish.
        r.client->send(request(95, 5));
        QVERIFY(r.client->waitFrames(1));
        QCOMPARE(r.client->frames.at(0), hexFrame("8d 06 00 02 00 05 00 60 04"));
        const QByteArray wlan = pattern(1234, 1);
        const QByteArray dsp = pattern(567, 2);
        r.sender->send(0, wlan);
        QTRY_VERIFY(r.sender->done);
        r.sender->send(5, dsp);
        QTRY_VERIFY(r.sender->finished);
        QCOMPARE(r.client->frames.last(), hexFrame("8d 05 00 01 00 05 00 5e"));

        r.sender->send(0, wlan.left(10));
        QTRY_VERIFY(r.sender->done);
        QCOMPARE(r.dev.violations(), QStringList());

        const QList<sim::CompletedImage> &images = r.dev.completedImages();
        QCOMPARE(images.size(), 3);
        QCOMPARE(images.at(0).unit, quint8(0));
        QCOMPARE(images.at(1).unit, quint8(5));
        QCOMPARE(images.at(2).data, wlan.left(10));
        QCOMPARE(r.dev.receivedImage(0), wlan.left(10));
        QCOMPARE(r.dev.receivedImage(5), dsp);
        const QDir out(o.imageDir);
        QCOMPARE(out.entryList(QDir::Files), QStringList({"unit0-1.bin", "unit0-2.bin", "unit5-1.bin"}));
        QFile f(out.filePath(QStringLiteral("unit5-1.bin")));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), dsp);
        QCOMPARE(images.at(1).filePath, f.fileName());

        r.dev.resetFirmware();
        QVERIFY(r.dev.completedImages().isEmpty());
        QCOMPARE(r.dev.firmwareDataFrames(), 0);
    }

    void deviceType_data()
    {
        QTest::addColumn<bool>("txu");
        QTest::addColumn<int>("configured");
        QTest::addColumn<int>("expected");
        QTest::newRow("TXU") << true << -1 << 4;
        QTest::newRow("RXU") << false << -1 << 8;
        QTest::newRow("other code") << true << 7 << 7;
    }

    void deviceType()
    {
        QFETCH(bool, txu);
        QFETCH(int, configured);
        QFETCH(int, expected);
        sim::DeviceOptions o = quietOptions();
        o.txu = txu;
        o.deviceType = configured;
        Rig r(o);
        QVERIFY(r.started && r.opened);
        r.client->send(request(95, 5));
        QVERIFY(r.client->waitFrames(1));
        QCOMPARE(int(quint8(r.client->frames.at(0)[8])), expected);
    }

    void checksWhatArrives_data()
    {
        QTest::addColumn<QList<QByteArray>>("frames");
        QTest::addColumn<QStringList>("expected");
        const QByteArray full = pattern(100);
        const QByteArray part = pattern(30);

        QTest::newRow("clean") << QList<QByteArray>{chunk(0, 0, full), chunk(0, 1, full), chunk(0, 0xffff, part)}
                               << QStringList();
        QTest::newRow("gap") << QList<QByteArray>{chunk(0, 0, full), chunk(0, 2, full)}
                             << QStringList{"unit 0 chunk 2: sequence 2, expected 1"};
        QTest::newRow("not from 0") << QList<QByteArray>{chunk(5, 1, full)}
                                    << QStringList{"unit 5 chunk 1: sequence 1, expected 0"};
        QTest::newRow("repeated") << QList<QByteArray>{chunk(0, 0, full), chunk(0, 1, full), chunk(0, 1, full)}
                                  << QStringList{"unit 0 chunk 1: sequence 1, expected 2"};
        QTest::newRow("next image restarts at 0")
            << QList<QByteArray>{chunk(0, 0, full), chunk(0, 0xffff, part), chunk(0, 1, full)}
            << QStringList{"unit 0 chunk 1: sequence 1, expected 0"};
        QTest::newRow("short ordinary chunk") << QList<QByteArray>{chunk(0, 0, part)}
                                              << QStringList{"unit 0 chunk 0: ordinary chunk carries 30 bytes, not 100"};
        QByteArray b11 = chunk(0, 0, full);
        b11[11] = 1;
        QTest::newRow("byte 11") << QList<QByteArray>{b11} << QStringList{"unit 0 chunk 0: byte 11 is 1, not 0"};
        QByteArray longL = chunk(0, 0xffff, part);
        longL[1] = char(109);
        longL[3] = char(105);
        QTest::newRow("lengths not from n") << QList<QByteArray>{longL}
            << QStringList{"unit 0 chunk last: bytes 1 and 3 are 109 and 105 for 30 data bytes (expected 39 and 35)"};
        QByteArray over = chunk(0, 0xffff, full);
        over[10] = char(101);
        QTest::newRow("n over 100") << QList<QByteArray>{over}
            << QStringList{"unit 0 chunk last: carries 101 bytes, more than 100",
                           "unit 0 chunk last: bytes 1 and 3 are 109 and 105 for 101 data bytes (expected 110 and 106)"};
        QTest::newRow("unknown unit") << QList<QByteArray>{chunk(3, 0xffff, part)}
                                      << QStringList{"unit 3 chunk last: unknown unit"};
        QTest::newRow("DSP before WLAN ends") << QList<QByteArray>{chunk(0, 0, full), chunk(5, 0xffff, part)}
            << QStringList{"unit 5 chunk last: sent while the image for unit 0 is incomplete"};
        QTest::newRow("finish too early") << QList<QByteArray>{chunk(5, 0, full), request(93, 5)}
            << QStringList{"finish for unit 5 while the image for unit 5 is incomplete"};
    }

    void checksWhatArrives()
    {
        QFETCH(QList<QByteArray>, frames);
        QFETCH(QStringList, expected);
        Rig r;
        QVERIFY(r.started && r.opened);
        QSignalSpy spy(&r.dev, &sim::Device::violation);
        for (const QByteArray &f : frames)
            r.client->send(f);
        // Every frame is answered, right or wrong.
        QVERIFY(r.client->waitFrames(frames.size()));
        QCOMPARE(r.dev.violations(), expected);
        QCOMPARE(spy.count(), expected.size());
        for (int i = 0; i < frames.size(); ++i) {
            if (quint8(frames.at(i)[7]) == 91)
                QCOMPARE(u16(r.client->frames.at(i), 8), u16(frames.at(i), 8));
        }
    }

    void acknowledgementDelay()
    {
        sim::DeviceOptions o = quietOptions();
        o.ackDelayMs = 60;
        Rig r(o);
        QVERIFY(r.started && r.opened);
        // Other replies are not delayed.
        QElapsedTimer t;
        t.start();
        r.client->send(request(74, 0));
        QVERIFY(r.client->waitFrames(1));
        QVERIFY(t.elapsed() < 50);

        r.sender->send(0, pattern(250));
        QTRY_VERIFY(r.sender->done);
        QCOMPARE(r.dev.received().size(), 4);
        QCOMPARE(r.dev.sent().size(), 4);
        for (int i = 1; i < 4; ++i) {
            const qint64 ms = (r.dev.sent().at(i).at_ns - r.dev.received().at(i).at_ns) / 1000000;
            QVERIFY2(ms >= 55, qPrintable(QString::number(ms)));
        }
    }

    void wireSpeedPacing()
    {
        sim::DeviceOptions o = quietOptions();
        o.wirePacing = true;
        Rig r(o);
        QVERIFY(r.started && r.opened);
        QElapsedTimer t;
        t.start();
        r.sender->send(5, pattern(1000));   // ten chunks and the finish
        QTRY_VERIFY(r.sender->finished);
        const qint64 elapsed = t.elapsed();
        // Each round trip costs a frame in and a frame out: 2 x 9.7 ms. The
        // schedule runs on absolute time: a reply that left late is made good
        // on the next round trip, never on the whole.
        QVERIFY2(elapsed >= 180, qPrintable(QString::number(elapsed)));
        for (int i = 0; i < 10; ++i) {
            const qint64 ns = r.dev.sent().at(i).at_ns - r.dev.received().at(0).at_ns;
            QVERIFY2(ns >= (i + 1) * 2 * sim::kFrameWireNs - sim::kEarlyReleaseNs, qPrintable(QString::number(ns)));
        }
        QCOMPARE(r.dev.receivedImage(5), pattern(1000));

        // Frames that arrive together are taken one frame time apart, and so
        // are their answers: the third answer is complete four frame times
        // after the requests arrived. (Without a late reply before them to
        // make good: the link starts afresh.)
        r.dev.discardUnread();
        r.dev.clearSent();
        r.client->send(request(74, 0) + request(74, 0) + request(74, 0));
        QTRY_COMPARE(r.dev.sent().size(), 3);
        const qint64 third = r.dev.sent().at(2).at_ns - r.dev.received().last().at_ns;
        QVERIFY2(third >= 4 * sim::kFrameWireNs - sim::kEarlyReleaseNs, qPrintable(QString::number(third)));
    }

    void duplicatedAcknowledgement()
    {
        sim::DeviceOptions o = quietOptions();
        o.duplicateAckAt = 2;
        Rig r(o);
        QVERIFY(r.started && r.opened);
        const QByteArray full = pattern(100);
        for (quint16 s = 0; s < 4; ++s)
            r.client->send(chunk(0, s, full));
        QVERIFY(r.client->waitFrames(5));
        QList<int> seqs;
        for (const QByteArray &f : r.client->withCode(92))
            seqs.append(u16(f, 8));
        QCOMPARE(seqs, QList<int>({0, 1, 2, 2, 3}));
        QCOMPARE(r.dev.acksSent(), 5);
        QCOMPARE(r.dev.violations(), QStringList());

        // A sender that follows every acknowledgement repeats a sequence number;
        // the device notices.
        Rig follow(o);
        QVERIFY(follow.started && follow.opened);
        follow.sender->send(0, pattern(600));
        QTRY_VERIFY(follow.sender->done);
        QVERIFY(!follow.dev.violations().isEmpty());
        QCOMPARE(follow.dev.violations().first(), QStringLiteral("unit 0 chunk 3: sequence 3, expected 4"));
    }

    void hangUpAtChunk()
    {
        sim::DeviceOptions o = quietOptions();
        o.hangUpAt = 3;
        Rig r(o);
        QVERIFY(r.started && r.opened);
        QSignalSpy errors(&r.client->port, &QSerialPort::errorOccurred);
        QSignalSpy hung(&r.dev, &sim::Device::hungUp);
        r.sender->send(0, pattern(1000));
        QTRY_COMPARE(hung.count(), 1);
        QTRY_VERIFY(errors.count() > 0);
        QVERIFY(isHangUpError(errors));
        QCOMPARE(r.client->withCode(92).size(), 3);   // chunk 3 never acknowledged
        QCOMPARE(r.dev.partialImage(0), pattern(1000).left(300));
        QVERIFY(r.dev.completedImages().isEmpty());
        QVERIFY(!r.dev.isConnected());
    }

    void splitAndMergedAcknowledgements()
    {
        sim::DeviceOptions o = quietOptions();
        o.splitSize = 64;
        o.splitPauseMs = 1;
        Rig split(o);
        QVERIFY(split.started && split.opened);
        split.sender->send(5, pattern(2000));
        QTRY_VERIFY(split.sender->finished);
        QCOMPARE(split.dev.receivedImage(5), pattern(2000));
        QVERIFY(split.client->reads.size() >= 2 * 21);

        o = quietOptions();
        o.mergeCount = 2;
        o.mergeHoldMs = 5;
        Rig merged(o);
        QVERIFY(merged.started && merged.opened);
        merged.sender->send(0, pattern(500));
        QTRY_VERIFY(merged.sender->done);
        QCOMPARE(merged.dev.receivedImage(0), pattern(500));
        QCOMPARE(merged.dev.violations(), QStringList());
    }

    void largestImageIsFast()
    {
        // 65,535 ordinary chunks and the last one: every sequence number in use.
        sim::DeviceOptions o = quietOptions();
        Rig r(o);
        QVERIFY(r.started && r.opened);
        const QByteArray image = pattern(65535 * 100 + 1);
        QElapsedTimer t;
        t.start();
        r.sender->send(0, image);
        QTRY_VERIFY_WITH_TIMEOUT(r.sender->done, 100000);
        qInfo("65536 chunks in %lld ms", t.elapsed());
        QCOMPARE(r.dev.acksSent(), 65536);
        QCOMPARE(r.dev.violations(), QStringList());
        QCOMPARE(r.dev.receivedImage(0), image);
        QCOMPARE(r.dev.malformedCount(), 0);
    }
};

QTEST_GUILESS_MAIN(TestSimFirmware)
#include "test_sim_firmware.moc"

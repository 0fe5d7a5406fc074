// The simulated device as the program meets it: the device-information answer,
// what it records, malformed input, hang-up, and split or merged replies.

#include "simtest.h"

#include <QtTest>

using namespace simtest;

class TestSimDevice : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        qRegisterMetaType<QSerialPort::SerialPortError>();
    }

    void answersStatusWithDeviceInfo_data()
    {
        QTest::addColumn<int>("role");
        QTest::addColumn<bool>("txu");
        QTest::addColumn<bool>("repeaterMode");
        QTest::addColumn<int>("slot");
        QTest::addColumn<int>("link");
        QTest::addColumn<bool>("muted");
        QTest::addColumn<bool>("phantom");
        QTest::addColumn<bool>("hiZ");
        QTest::addColumn<int>("input");
        QTest::addColumn<QByteArray>("expected");

        QTest::newRow("TXU client slot 1, muted, +48V, MIC")
            << 1 << true << false << 1 << 2 << true << true << false << 0x85
            << hexFrame("8d 08 00 04 00 00 00 2a 15 32 85");
        QTest::newRow("TXU client, Hi-Z, link bits masked to 4")
            << 1 << true << false << 15 << 0x13 << false << true << true << 0x05
            << hexFrame("8d 08 00 04 00 00 00 2a f5 63 05");
        QTest::newRow("RXU client in repeater mode slot 3")
            << 1 << false << true << 3 << 3 << true << true << true << 0x85
            << hexFrame("8d 08 00 04 00 00 00 2a 39 03 00");
        QTest::newRow("RXU client, link byte whole")
            << 1 << false << false << 1 << 0xf1 << false << false << false << 0
            << hexFrame("8d 08 00 04 00 00 00 2a 11 f1 00");
        QTest::newRow("master TXU slot 0, no link")
            << 0 << true << false << 0 << 1 << false << false << false << 8
            << hexFrame("8d 08 00 04 00 00 00 2a 04 01 08");
        QTest::newRow("repeater")
            << 2 << false << true << 2 << 2 << false << false << false << 0
            << hexFrame("8d 08 00 04 00 00 00 2a 2a 02 00");
        QTest::newRow("unknown")
            << 3 << false << false << 0 << 2 << false << false << false << 0
            << hexFrame("8d 08 00 04 00 00 00 2a 03 02 00");
    }

    void answersStatusWithDeviceInfo()
    {
        QFETCH(int, role);
        QFETCH(bool, txu);
        QFETCH(bool, repeaterMode);
        QFETCH(int, slot);
        QFETCH(int, link);
        QFETCH(bool, muted);
        QFETCH(bool, phantom);
        QFETCH(bool, hiZ);
        QFETCH(int, input);
        QFETCH(QByteArray, expected);

        sim::DeviceOptions o = quietOptions();
        o.role = sim::Role(role);
        o.txu = txu;
        o.repeaterMode = repeaterMode;
        o.slot = slot;
        o.linkState = link;
        o.muted = muted;
        o.phantom = phantom;
        o.hiZ = hiZ;
        o.input = quint8(input);
        sim::Device dev(o);
        QVERIFY(dev.start());
        Client client(dev.slavePath());
        QVERIFY(client.open());

        client.send(request(40, 0));
        QVERIFY(client.waitFrames(1));
        QCOMPARE(client.frames.first(), expected);
        QCOMPARE(client.reads.size(), 1);   // one write, one frame
        QCOMPARE(dev.malformedCount(), 0);
    }

    void recordsWhatItReceives()
    {
        sim::Device dev(quietOptions());
        QVERIFY(dev.start());
        Client client(dev.slavePath());
        QVERIFY(client.open());
        QSignalSpy spy(&dev, &sim::Device::frameReceived);

        const qint64 before = steadyNs();
        client.send(request(40, 0));
        client.send(request(20, 5, QByteArray(1, 1)));
        QTRY_COMPARE(spy.count(), 2);
        const qint64 after = steadyNs();

        QCOMPARE(dev.received().size(), 2);
        QCOMPARE(dev.received().at(0).bytes, request(40, 0));
        QCOMPARE(spy.at(1).first().toByteArray(), request(20, 5, QByteArray(1, 1)));
        for (const sim::ReceivedFrame &r : dev.received()) {
            QVERIFY(r.at_ns >= before);
            QVERIFY(r.at_ns <= after);
        }
        QVERIFY(dev.received().at(0).at_ns <= dev.received().at(1).at_ns);
        QVERIFY(client.waitFrames(2));
        QCOMPARE(dev.sent().size(), 2);
        QVERIFY(dev.sent().at(0).at_ns >= dev.received().at(0).at_ns);

        dev.clearReceived();
        QVERIFY(dev.received().isEmpty());
        QCOMPARE(dev.malformedCount(), 0);
    }

    void countsMalformedFramesAndSkipsNoise()
    {
        sim::Device dev(quietOptions());
        QVERIFY(dev.start());
        Client client(dev.slavePath());
        QVERIFY(client.open());
        QSignalSpy bad(&dev, &sim::Device::malformedFrame);

        QByteArray stray = request(40, 0);
        stray[9] = 7;    // an argument on a short request
        client.send(QByteArray::fromHex("00ff8d") + stray);
        QVERIFY(client.waitFrames(1));
        QCOMPARE(dev.malformedCount(), 1);
        QCOMPARE(bad.count(), 1);
        QVERIFY(bad.first().at(1).toString().contains(QLatin1String("padding byte 9")));
        QCOMPARE(dev.noiseBytes(), qint64(3));
        QCOMPARE(dev.malformedReports().size(), 1);

        // A strict device does not act on it.
        dev.options().ignoreMalformed = true;
        client.send(stray + request(74, 0));
        QVERIFY(client.waitFrames(2));
        QCOMPARE(quint8(client.frames.at(1)[7]), quint8(75));
        QCOMPARE(dev.malformedCount(), 2);
        QCOMPARE(dev.received().size(), 3);
    }

    void hangUpAndPlugInAgain()
    {
        sim::Device dev(quietOptions());
        QVERIFY(dev.start());
        Client client(dev.slavePath());
        QVERIFY(client.open());
        QSignalSpy errors(&client.port, &QSerialPort::errorOccurred);
        QSignalSpy hung(&dev, &sim::Device::hungUp);

        dev.hangUp();
        QCOMPARE(hung.count(), 1);
        QVERIFY(!dev.isConnected());
        QTRY_VERIFY(errors.count() > 0);
        QVERIFY(isHangUpError(errors));
        client.port.close();
        dev.sendInfo();   // nowhere to go; must not crash
        dev.hangUp();
        QCOMPARE(hung.count(), 1);

        QVERIFY(dev.start());
        Client again(dev.slavePath());
        QVERIFY(again.open());
        again.send(request(40, 0));
        QVERIFY(again.waitFrames(1));
        QCOMPARE(quint8(again.frames.first()[7]), quint8(42));
    }

    void repliesWaitForAReopenedPortUnlessDropped()
    {
        sim::Device dev(quietOptions());
        QVERIFY(dev.start());
        {
            Client first(dev.slavePath());
            QVERIFY(first.open());
        }
        // Written while the program has its port closed: kept for it...
        dev.setMuted(true);
        Client second(dev.slavePath());
        QVERIFY(second.open());
        QVERIFY(second.waitFrames(1));
        QCOMPARE(quint8(second.frames.first()[7]), quint8(99));
        second.port.close();

        // ...unless dropped.
        dev.setChannel(40);
        dev.discardUnread();
        Client third(dev.slavePath());
        QVERIFY(third.open());
        dev.sendInfo();
        QVERIFY(third.waitFrames(1));
        QCOMPARE(third.frames.size(), 1);
        QCOMPARE(quint8(third.frames.first()[7]), quint8(42));
        QCOMPARE(dev.runCommand(QStringLiteral("flush")), QStringLiteral("unread replies dropped"));
    }

    void rawWritesAndInjectedFrames()
    {
        sim::Device dev(quietOptions());
        QVERIFY(dev.start());
        Client client(dev.slavePath());
        QVERIFY(client.open());
        dev.sendFrame(151, 0, QByteArray::fromHex("0102"));
        dev.writeRaw(hexFrame("8d 06 00 02 00 00 00 63 01"));
        QVERIFY(client.waitFrames(2));
        QCOMPARE(client.frames.at(0), hexFrame("8d 07 00 03 00 00 00 97 01 02"));
        QCOMPARE(client.frames.at(1), hexFrame("8d 06 00 02 00 00 00 63 01"));
    }

    void splitRepliesArriveInPieces()
    {
        sim::DeviceOptions o = quietOptions();
        o.splitSize = 64;
        o.splitPauseMs = 5;
        sim::Device dev(o);
        QVERIFY(dev.start());
        Client client(dev.slavePath());
        QVERIFY(client.open());
        QList<int> writes;
        connect(&dev, &sim::Device::bytesWritten, this, [&](const QByteArray &b) { writes.append(b.size()); });

        client.send(request(40, 0) + request(74, 0));
        QVERIFY(client.waitFrames(2));
        QCOMPARE(writes, QList<int>({64, 48, 64, 48}));
        QCOMPARE(quint8(client.frames.at(0)[7]), quint8(42));
        QCOMPARE(quint8(client.frames.at(1)[7]), quint8(75));
        // The pauses let the pieces arrive separately.
        QVERIFY(client.reads.size() >= 3);
        QCOMPARE(dev.sent().size(), 2);

        // Odd piece sizes cut frames anywhere.
        dev.options().splitSize = 5;
        dev.options().splitPauseMs = 0;
        writes.clear();
        dev.setMuted(true);
        QVERIFY(client.waitFrames(3));
        QCOMPARE(writes.size(), 23);
        QCOMPARE(client.frames.at(2), hexFrame("8d 06 00 02 00 05 00 63 01"));
    }

    void mergedRepliesArriveTogether()
    {
        sim::DeviceOptions o = quietOptions();
        o.mergeCount = 2;
        o.mergeHoldMs = 100;
        sim::Device dev(o);
        QVERIFY(dev.start());
        Client client(dev.slavePath());
        QVERIFY(client.open());
        QList<int> writes;
        connect(&dev, &sim::Device::bytesWritten, this, [&](const QByteArray &b) { writes.append(b.size()); });

        dev.setMuted(true);
        QVERIFY(writes.isEmpty());   // held for a partner
        dev.setPhantom(true);
        QCOMPARE(writes, QList<int>({224}));
        QVERIFY(client.waitFrames(2));
        QCOMPARE(client.frames.at(0), hexFrame("8d 06 00 02 00 05 00 63 01"));
        QCOMPARE(client.frames.at(1), hexFrame("8d 06 00 02 00 05 00 58 01"));

        // A lone reply is not held for ever.
        writes.clear();
        client.send(request(40, 0));
        QVERIFY(client.waitFrames(3));
        QCOMPARE(writes, QList<int>({112}));

        // Merged and then split.
        dev.options().splitSize = 100;
        dev.options().splitPauseMs = 1;
        writes.clear();
        dev.setChannel(40);
        dev.setChannel(44);
        QVERIFY(client.waitFrames(5));
        QCOMPARE(writes, QList<int>({100, 100, 24}));
        QCOMPARE(client.withCode(45).size(), 2);
        QCOMPARE(quint8(client.frames.at(4)[8]), quint8(44));
    }
};

QTEST_GUILESS_MAIN(TestSimDevice)
#include "test_sim_device.moc"

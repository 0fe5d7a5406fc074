// The device's stateful answers: gain, mute, channel, versions, temperature,
// LINK, periodic reports, and the operator's own changes.

#include "simtest.h"

#include <QElapsedTimer>
#include <QtTest>

using namespace simtest;

class TestSimState : public QObject
{
    Q_OBJECT

private:
    struct Rig
    {
        explicit Rig(const sim::DeviceOptions &o = quietOptions())
            : dev(o)
        {
            started = dev.start();
            client.reset(new Client(dev.slavePath()));
            opened = client->open();
        }
        // Sends a request and returns the next frame the device sends.
        QByteArray ask(const QByteArray &req)
        {
            const int n = client->frames.size();
            client->send(req);
            return client->waitFrames(n + 1) ? client->frames.at(n) : QByteArray();
        }
        // The next frame the device sends on its own.
        QByteArray next()
        {
            const int n = client->frames.size();
            return client->waitFrames(n + 1) ? client->frames.at(n) : QByteArray();
        }
        sim::Device dev;
        QScopedPointer<Client> client;
        bool started = false;
        bool opened = false;
    };

private slots:
    void gainStepsStayInTheirMode_data()
    {
        QTest::addColumn<int>("input");
        QTest::addColumn<QString>("steps");   // u = up, d = down
        QTest::addColumn<int>("expected");
        QTest::newRow("line up") << 8 << "uu" << 10;
        QTest::newRow("line down") << 8 << "d" << 7;
        QTest::newRow("line floor") << 1 << "ddd" << 0;
        QTest::newRow("line ceiling") << sim::Device::kLineMax - 1 << "uuu" << sim::Device::kLineMax;
        QTest::newRow("mic up") << 0x85 << "u" << 0x86;
        QTest::newRow("mic floor keeps bit 7") << 0x81 << "ddd" << 0x80;
        QTest::newRow("mic ceiling") << 0x80 + sim::Device::kMicMax << "u" << 0x80 + sim::Device::kMicMax;
        QTest::newRow("up and down") << 0x8a << "uddu" << 0x8a;
    }

    void gainStepsStayInTheirMode()
    {
        QFETCH(int, input);
        QFETCH(QString, steps);
        QFETCH(int, expected);
        sim::DeviceOptions o = quietOptions();
        o.input = quint8(input);
        o.hiZ = true;
        Rig r(o);
        QVERIFY(r.started && r.opened);
        QByteArray last;
        for (QChar s : steps) {
            last = r.ask(request(20, 5, QByteArray(1, s == QLatin1Char('u') ? 1 : 0)));
            QCOMPARE(quint8(last[7]), quint8(21));
        }
        QCOMPARE(last, hexFrame(QByteArray("8d 07 00 03 00 05 00 15 ")
                                    .append(QByteArray::number(expected, 16).rightJustified(2, '0'))
                                    .append(" 01").constData()));
        QCOMPARE(int(r.dev.options().input), expected);

        // A gain step with another argument changes nothing and is not answered.
        r.client->send(request(20, 5, QByteArray(1, 2)));
        QCOMPARE(r.ask(request(74, 0)).at(7), char(75));
        QCOMPARE(int(r.dev.options().input), expected);
    }

    void muteAndUnmute()
    {
        Rig r;
        QVERIFY(r.started && r.opened);
        QCOMPARE(r.ask(request(26, 5)), hexFrame("8d 06 00 02 00 05 00 63 01"));
        QVERIFY(r.dev.options().muted);
        // The device information follows (TXU: bit 4 of byte 9).
        QCOMPARE(quint8(r.ask(request(40, 0))[9]) & 0x10, 0x10);
        QCOMPARE(r.ask(request(27, 5, QByteArray(1, 0))), hexFrame("8d 06 00 02 00 05 00 63 00"));
        QCOMPARE(quint8(r.ask(request(40, 0))[9]) & 0x10, 0);
    }

    void channel()
    {
        sim::DeviceOptions o = quietOptions();
        o.role = sim::Role::Master;
        o.channel = 44;
        Rig r(o);
        QVERIFY(r.started && r.opened);
        QCOMPARE(r.ask(request(43, 0)), hexFrame("8d 06 00 02 00 00 00 2d 2c"));
        QCOMPARE(r.ask(request(56, 0, QByteArray::fromHex("950a17"))), hexFrame("8d 06 00 02 00 00 00 2d 95"));
        QCOMPARE(r.dev.options().channel, 149);
        QCOMPARE(r.ask(request(43, 0)), hexFrame("8d 06 00 02 00 00 00 2d 95"));
    }

    void versionsAndTemperature()
    {
        sim::DeviceOptions o = quietOptions();
        o.wlanVersion = 1600;
        o.dspMajor = 3;
        o.dspMinor = 12;
        o.temperature = -5;
        Rig r(o);
        QVERIFY(r.started && r.opened);
        QCOMPARE(r.ask(request(62, 0)), hexFrame("8d 07 00 03 00 00 00 3f 40 06"));
        QCOMPARE(r.ask(request(62, 5)), hexFrame("8d 07 00 03 00 05 00 3f 0c 03"));
        QCOMPARE(r.ask(request(74, 0)), hexFrame("8d 07 00 03 00 00 00 4b fb ff"));
        r.dev.options().temperature = 300;
        QCOMPARE(r.ask(request(74, 0)), hexFrame("8d 07 00 03 00 00 00 4b 2c 01"));
        QCOMPARE(r.ask(request(95, 5)), hexFrame("8d 06 00 02 00 05 00 60 04"));
    }

    void unknownCommandsGetNoAnswer()
    {
        Rig r;
        QVERIFY(r.started && r.opened);
        r.client->send(request(77, 0) + request(21, 0));
        QCOMPARE(quint8(r.ask(request(40, 0))[7]), quint8(42));
        QCOMPARE(r.client->frames.size(), 1);
        QCOMPARE(r.dev.received().size(), 3);
    }

    void linkDropsAndComesBack()
    {
        sim::DeviceOptions o = quietOptions();
        o.linkRestoreMs = 150;
        o.linkState = 3;
        Rig r(o);
        QVERIFY(r.started && r.opened);
        QElapsedTimer t;
        t.start();
        QCOMPARE(r.ask(request(86, 5)), hexFrame("8d 06 00 02 00 00 00 09 01"));
        QCOMPARE(r.dev.options().linkState, 1);
        QCOMPARE(r.next(), hexFrame("8d 06 00 02 00 00 00 09 02"));
        QVERIFY2(t.elapsed() >= 120, qPrintable(QString::number(t.elapsed())));
        QCOMPARE(r.dev.options().linkState, 2);
    }

    void signalReports()
    {
        sim::DeviceOptions o = quietOptions();
        o.reportPeriodMs = 10;
        o.role = sim::Role::Client;
        o.txu = false;
        Rig r(o);
        QVERIFY(r.started && r.opened);
        r.client->send(request(119, 0, QByteArray(1, 1)));
        QVERIFY(r.client->waitFrames(6));
        QCOMPARE(r.dev.reportMode(), 1);
        QSet<qint16> levels;
        for (const QByteArray &f : r.client->frames) {
            QCOMPARE(quint8(f[7]), quint8(120));
            QCOMPARE(f.left(8), hexFrame("8d 09 00 05 00 00 00 78").left(8));
            const qint16 a = s16(f, 8);
            QVERIFY2(a <= -25 && a >= -80, qPrintable(QString::number(a)));
            QCOMPARE(s16(f, 10), qint16(0));   // no repeater
            levels.insert(a);
        }
        QVERIFY(levels.size() > 1);   // the level moves

        // Repeater mode adds the second level.
        r.dev.options().repeaterMode = true;
        QTRY_VERIFY(s16(r.client->frames.last(), 10) != 0);
        const qint16 b = s16(r.client->frames.last(), 10);
        QVERIFY2(b <= -25 && b >= -80, qPrintable(QString::number(b)));

        // A held level stands still in both fields until it wanders again;
        // only a negative level can be held.
        QCOMPARE(r.dev.runCommand(QStringLiteral("signal -60")), QStringLiteral("signal -60 dBm"));
        QVERIFY(r.dev.runCommand(QStringLiteral("signal 5")).startsWith(QLatin1String("error")));
        r.client->frames.clear();
        QVERIFY(r.client->waitFrames(4));
        for (const QByteArray &f : r.client->frames.mid(1)) {
            QCOMPARE(s16(f, 8), qint16(-60));
            QCOMPARE(s16(f, 10), qint16(-60));
        }
        QCOMPARE(r.dev.runCommand(QStringLiteral("signal wander")), QStringLiteral("signal wanders"));
        QTRY_VERIFY(s16(r.client->frames.last(), 8) != -60);

        // Without a link there is no reading: every report after the link-state reply is empty.
        r.dev.setLinkState(1);
        QVERIFY(r.client->waitFrames(r.client->frames.size() + 3));
        int at = r.client->frames.size() - 1;
        while (at >= 0 && quint8(r.client->frames.at(at)[7]) != 9)
            --at;
        QVERIFY(at >= 0);
        QVERIFY(r.client->waitFrames(at + 3));
        for (int i = at + 1; i < r.client->frames.size(); ++i) {
            QCOMPARE(s16(r.client->frames.at(i), 8), qint16(0));
            QCOMPARE(s16(r.client->frames.at(i), 10), qint16(0));
        }
    }

    void signalWalkWandersSlowlyWithDropouts()
    {
        // Ten minutes of the walk, a step every 100 ms.
        sim::SignalWalk walk(5);
        sim::SignalWalk same(5);
        sim::SignalWalk other(6);
        int lowest = 0, highest = -100, differs = 0;
        sim::SignalWalk::Step previous{};
        QList<int> noReadingRuns, linkDownRuns;
        int noReadingRun = 0, linkDownRun = 0;
        for (int i = 0; i < 6000; ++i) {
            const sim::SignalWalk::Step s = walk.advance(0.1);
            const sim::SignalWalk::Step t = same.advance(0.1);
            const sim::SignalWalk::Step u = other.advance(0.1);
            QCOMPARE(QString("%1 %2 %3 %4").arg(t.levelA).arg(t.levelB).arg(t.noReading).arg(t.linkDown),
                     QString("%1 %2 %3 %4").arg(s.levelA).arg(s.levelB).arg(s.noReading).arg(s.linkDown));
            differs += u.levelA != s.levelA;
            for (int level : {s.levelA, s.levelB})
                QVERIFY2(level >= -79 && level <= -26, qPrintable(QString::number(level)));
            if (i > 0) {
                // Slow: a step moves a level by a few at most.
                QVERIFY2(qAbs(s.levelA - previous.levelA) <= 5 && qAbs(s.levelB - previous.levelB) <= 5,
                         qPrintable(QString("%1 -> %2").arg(previous.levelA).arg(s.levelA)));
            }
            QVERIFY(!(s.noReading && s.linkDown));
            lowest = qMin(lowest, s.levelA);
            highest = qMax(highest, s.levelA);
            if (s.noReading) {
                ++noReadingRun;
            } else if (noReadingRun > 0) {
                noReadingRuns.append(noReadingRun);
                noReadingRun = 0;
            }
            if (s.linkDown) {
                ++linkDownRun;
            } else if (linkDownRun > 0) {
                linkDownRuns.append(linkDownRun);
                linkDownRun = 0;
            }
            previous = s;
        }
        // It wanders, and another seed walks elsewhere.
        QVERIFY2(highest - lowest >= 8, qPrintable(QString("%1 .. %2").arg(lowest).arg(highest)));
        QVERIFY(differs > 3000);
        // Now and then a second or three without a reading, and a drop of
        // the link of two to five seconds.
        QVERIFY2(noReadingRuns.size() >= 10, qPrintable(QString::number(noReadingRuns.size())));
        QVERIFY2(linkDownRuns.size() >= 4, qPrintable(QString::number(linkDownRuns.size())));
        for (int steps : noReadingRuns)
            QVERIFY2(steps >= 9 && steps <= 31, qPrintable(QString::number(steps)));
        for (int steps : linkDownRuns)
            QVERIFY2(steps >= 19 && steps <= 51, qPrintable(QString::number(steps)));
    }

    void wanderingSignalReports()
    {
        sim::DeviceOptions o = quietOptions();
        o.reportPeriodMs = 10;
        o.role = sim::Role::Client;
        o.txu = false;
        o.repeaterMode = true;
        o.signalWalk = true;
        Rig r(o);
        QVERIFY(r.started && r.opened);
        r.client->send(request(119, 0, QByteArray(1, 1)));
        QVERIFY(r.client->waitFrames(60));
        QSet<qint16> levels;
        int linkState = 2;
        for (const QByteArray &f : r.client->frames) {
            if (quint8(f[7]) == 9) {
                linkState = quint8(f[8]);
                continue;
            }
            QCOMPARE(quint8(f[7]), quint8(120));
            const qint16 a = s16(f, 8);
            const qint16 b = s16(f, 10);
            // Both levels, or none (no reading, or no link).
            QCOMPARE(a == 0, b == 0);
            if (linkState == 1)
                QCOMPARE(a, qint16(0));
            if (a != 0) {
                QVERIFY2(a <= -26 && a >= -79 && b <= -26 && b >= -79, qPrintable(QString("%1 %2").arg(a).arg(b)));
                levels.insert(a);
            }
        }
        QVERIFY(levels.size() > 1);

        // The sniffer hears the same signal.
        r.client->send(request(119, 0, QByteArray(1, 2)));
        QTRY_VERIFY(r.client->withCode(151).size() >= 5);
        for (const QByteArray &f : r.client->withCode(151)) {
            const qint16 rssi = s16(f, 16);
            QVERIFY2(rssi == 0 || (rssi <= -26 && rssi >= -79), qPrintable(QString::number(rssi)));
            QVERIFY(u16(f, 8) <= 1);  // one beacon per 20 ms at most
        }
    }

    void snifferReportsAndStop()
    {
        sim::DeviceOptions o = quietOptions();
        o.reportPeriodMs = 10;
        Rig r(o);
        QVERIFY(r.started && r.opened);
        r.client->send(request(119, 0, QByteArray(1, 3)));
        QVERIFY(r.client->waitFrames(3));
        const QByteArray a = r.client->frames.at(1);
        const QByteArray b = r.client->frames.at(2);
        QCOMPARE(quint8(a[7]), quint8(151));
        QCOMPARE(quint8(a[3]), quint8(13));
        QVERIFY(u16(b, 8) > u16(a, 8));     // beacons A count up
        QVERIFY(u16(b, 10) > u16(a, 10));   // audio A
        QVERIFY(u16(b, 12) > u16(a, 12));   // beacons B
        QVERIFY(u16(b, 14) > u16(a, 14));   // audio B
        QVERIFY(s16(a, 16) < 0 && s16(a, 18) < 0);

        // Mode 1 replaces the sniffer; 0 stops every report.
        r.client->send(request(119, 0, QByteArray(1, 1)));
        QTRY_COMPARE(quint8(r.client->frames.last()[7]), quint8(120));
        r.client->send(request(119, 0, QByteArray(1, 0)) + request(74, 0));
        QTRY_COMPARE(quint8(r.client->frames.last()[7]), quint8(75));
        QCOMPARE(r.dev.reportMode(), 0);
        const int count = r.client->frames.size();
        QTest::qWait(100);   // ten report periods
        QCOMPARE(r.client->frames.size(), count);
    }

    void operatorChanges()
    {
        Rig r;
        QVERIFY(r.started && r.opened);
        r.dev.setPhantom(true);
        QCOMPARE(r.next(), hexFrame("8d 06 00 02 00 05 00 58 01"));
        r.dev.setMuted(true);
        QCOMPARE(r.next(), hexFrame("8d 06 00 02 00 05 00 63 01"));
        r.dev.setLinkState(1);
        QCOMPARE(r.next(), hexFrame("8d 06 00 02 00 00 00 09 01"));
        r.dev.setChannel(165);
        QCOMPARE(r.next(), hexFrame("8d 06 00 02 00 00 00 2d a5"));
        r.dev.setTemperature(-40);
        QCOMPARE(r.next(), hexFrame("8d 07 00 03 00 00 00 4b d8 ff"));
        r.dev.sendInfo();
        // TXU client slot 1; link 1, muted, +48V; LINE 0 dB.
        QCOMPARE(r.next(), hexFrame("8d 08 00 04 00 00 00 2a 15 31 08"));
    }

    void operatorConsole_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<QString>("answer");
        QTest::newRow("mute on") << "mute on" << hexFrame("8d 06 00 02 00 05 00 63 01") << "muted";
        QTest::newRow("mute off, spaces") << "  MUTE   off " << hexFrame("8d 06 00 02 00 05 00 63 00") << "unmuted";
        QTest::newRow("phantom") << "phantom on" << hexFrame("8d 06 00 02 00 05 00 58 01") << "+48V on";
        QTest::newRow("link") << "link 3" << hexFrame("8d 06 00 02 00 00 00 09 03") << "link state 3";
        QTest::newRow("channel hex") << "channel 0x30" << hexFrame("8d 06 00 02 00 00 00 2d 30") << "channel 48";
        QTest::newRow("temp") << "temp -1" << hexFrame("8d 07 00 03 00 00 00 4b ff ff") << "temperature -1";
        QTest::newRow("gain") << "gain up" << hexFrame("8d 07 00 03 00 05 00 15 09 00") << "input byte 0x09";
        QTest::newRow("info") << "info" << hexFrame("8d 08 00 04 00 00 00 2a 15 02 08") << "sent device information";
        QTest::newRow("bad value") << "link many" << QByteArray() << "error: cannot understand \"link many\"; type help";
        QTest::newRow("bad switch") << "mute maybe" << QByteArray() << "error: cannot understand \"mute maybe\"; type help";
        QTest::newRow("out of range") << "channel 256" << QByteArray() << "error: cannot understand \"channel 256\"; type help";
        QTest::newRow("empty") << "   " << QByteArray() << "";
    }

    void operatorConsole()
    {
        QFETCH(QString, line);
        QFETCH(QByteArray, frame);
        QFETCH(QString, answer);
        Rig r;
        QVERIFY(r.started && r.opened);
        QCOMPARE(r.dev.runCommand(line), answer);
        if (frame.isEmpty()) {
            r.dev.sendInfo();   // a marker: nothing else came before it
            QCOMPARE(quint8(r.next()[7]), quint8(42));
            QCOMPARE(r.client->frames.size(), 1);
        } else {
            QCOMPARE(r.next(), frame);
        }
    }

    void lineFaultsDamageTheFramesAsked()
    {
        sim::DeviceOptions o = quietOptions();
        o.dropEvery = 2;
        o.faultByte = 5;
        o.startMidFrame = 8;
        Rig r(o);
        QVERIFY(r.started && r.opened);
        QCOMPARE(r.dev.runCommand(QStringLiteral("flip 7")), QStringLiteral("the next frame has byte 7 inverted"));
        for (int i = 0; i < 4; ++i)
            r.dev.setLinkState(2);

        const QByteArray frame = hexFrame("8d 06 00 02 00 00 00 09 02");
        QByteArray flipped = frame;
        flipped[7] = char(0xF6);
        const QByteArray shortened = frame.left(5) + frame.mid(6);
        const QByteArray expected = sim::LineFaults::reportTail(8) + flipped + shortened + frame + shortened;
        QCOMPARE(expected.left(8).toHex(' '), QByteArray("8d 05 00 01 00 00 00 2a"));
        auto received = [&r]() { return r.client->frames.join() + r.client->pending; };
        QVERIFY(QTest::qWaitFor([&]() { return received().size() >= expected.size(); }, 5000));
        QCOMPARE(received().toHex(' '), expected.toHex(' '));
    }

    void consoleControlsTheLink()
    {
        Rig r;
        QVERIFY(r.started && r.opened);
        QVERIFY(r.dev.runCommand(QStringLiteral("help")).contains(QLatin1String("phantom on|off")));
        QCOMPARE(r.dev.runCommand(QStringLiteral("quiet off")), QStringLiteral("frame log on"));
        QVERIFY(r.dev.options().logFrames);
        QCOMPARE(r.dev.runCommand(QStringLiteral("quiet on")), QStringLiteral("frame log off"));
        QVERIFY(!r.dev.options().logFrames);
        QCOMPARE(r.dev.runCommand(QStringLiteral("hangup")), QStringLiteral("hung up"));
        QVERIFY(!r.dev.isConnected());
        const QString path = r.dev.runCommand(QStringLiteral("plug"));
        QCOMPARE(path, r.dev.slavePath());
        QVERIFY(r.dev.isConnected());
        QCOMPARE(r.dev.runCommand(QStringLiteral("replug 50")), QStringLiteral("hung up; plugging in again in 50 ms"));
        QVERIFY(!r.dev.isConnected());
        QTRY_VERIFY(r.dev.isConnected());
    }
};

QTEST_GUILESS_MAIN(TestSimState)
#include "test_sim_state.moc"

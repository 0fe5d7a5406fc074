// The judge of the random fault campaign: the mixes it draws are ones the
// simulator takes, the simulator's own log lines are read right (did a fault
// hit a meaningful byte of a reply the update acts on?), and each ending gets
// its class.

#include "campaign.h"
#include "sim/cli.h"
#include "sim/device.h"
#include "test_support.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using campaign::Outcome;

class TestCampaign : public QObject
{
    Q_OBJECT

private slots:
    void mixesAreSeededAndTakenByTheSimulator()
    {
        int pauses = 0, pieces = 0, damage = 0, noise = 0, duplicates = 0, stops = 0, slow = 0, reports = 0;
        for (quint32 seed = 1; seed <= 1000; ++seed) {
            const campaign::Mix m = campaign::draw_mix(seed);
            QCOMPARE(campaign::draw_mix(seed).simulator_arguments(), m.simulator_arguments());
            sim::DeviceOptions o;
            QString why;
            QCOMPARE(sim::parseArguments(QStringList{QStringLiteral("tvc-sim")} + m.simulator_arguments(), &o, &why),
                     sim::ParseResult::Run);
            QCOMPARE(o.faultSeed, seed);
            QVERIFY(o.pauseMaxMs <= 500 && o.splitSizeMax <= 64);
            for (const campaign::Mix::Stop &s : m.stops)
                QVERIFY(s.ms >= 30 && s.ms <= 500);
            pauses += o.pauseChance > 0;
            pieces += o.splitSize > 0;
            damage += o.dropChance + o.insertChance + o.flipChance > 0;
            noise += o.strayChance + o.burstChance > 0;
            duplicates += o.duplicateAckChance > 0;
            stops += !m.stops.isEmpty();
            slow += o.ackDelayMaxMs > 0;
            reports += o.reportModeAtStart > 0 && o.reportPeriodMs == 10;
        }
        // Every kind of fault in many runs, none in all of them.
        for (int n : {pauses, pieces, damage, noise, duplicates, stops, slow, reports})
            QVERIFY2(n > 150 && n < 850, qPrintable(QString::number(n)));
        QVERIFY(campaign::draw_mix(1).simulator_arguments() != campaign::draw_mix(2).simulator_arguments());
    }

    void faultsOnMeaningfulBytesAreTold_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QByteArray>("args");
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("hit");
        QTest::addColumn<bool>("window_hit");  // of a reply the main window acts on
        const QByteArray ack = QByteArray::fromHex("0700");
        // An acknowledgement's meaningful bytes are 0 to 10, the device type's
        // 0 to 9, the confirmation's 0 to 8.
        QTest::newRow("ack, byte 10 lost") << 92 << ack << "drop 10" << true << false;
        QTest::newRow("ack, byte 11 lost") << 92 << ack << "drop 11" << false << false;
        QTest::newRow("ack, byte inserted before 10") << 92 << ack << "insert 10 5" << true << false;
        QTest::newRow("ack, byte 5 inserted in the padding") << 92 << ack << "insert 60 5" << false << false;
        QTest::newRow("ack, byte 0 inverted") << 92 << ack << "flip 0" << true << false;
        QTest::newRow("ack, stray byte") << 92 << ack << "stray 0" << false << false;
        QTest::newRow("ack, burst") << 92 << ack << "burst 64" << false << false;
        QTest::newRow("device type, byte 9 inverted") << 96 << QByteArray(1, 4) << "flip 9" << true << false;
        QTest::newRow("device type, byte 10 inverted") << 96 << QByteArray(1, 4) << "flip 10" << false << false;
        QTest::newRow("version, byte 8 lost") << 63 << QByteArray::fromHex("7206") << "drop 8" << true << false;
        QTest::newRow("done, byte 8 lost") << 94 << QByteArray() << "drop 8" << true << false;
        QTest::newRow("done, byte 9 lost") << 94 << QByteArray() << "drop 9" << false << false;
        // The device information's meaningful bytes are 0 to 11, a signal
        // report's 0 to 12, a mute report's 0 to 9.
        QTest::newRow("device information, byte 3 lost") << 42 << QByteArray::fromHex("150200") << "drop 3" << false << true;
        QTest::newRow("device information, byte 11 lost") << 42 << QByteArray::fromHex("150200") << "drop 11" << false << true;
        QTest::newRow("device information, byte 12 lost") << 42 << QByteArray::fromHex("150200") << "drop 12" << false << false;
        QTest::newRow("signal report, byte 12 inverted") << 120 << QByteArray::fromHex("c4ffc4ff") << "flip 12" << false << true;
        QTest::newRow("signal report, byte inserted before 13") << 120 << QByteArray::fromHex("c4ffc4ff") << "insert 13" << false << false;
        QTest::newRow("mute report, byte 8 inverted") << 99 << QByteArray(1, 1) << "flip 8" << false << true;
        QTest::newRow("temperature, byte 8 inverted") << 75 << QByteArray::fromHex("2600") << "flip 8" << false << false;
    }

    void faultsOnMeaningfulBytesAreTold()
    {
        QFETCH(int, code);
        QFETCH(QByteArray, args);
        QFETCH(QString, command);
        QFETCH(bool, hit);
        QFETCH(bool, window_hit);
        QTemporaryDir dir;
        sim::DeviceOptions o = txu_device();
        o.logPath = dir.filePath(QStringLiteral("sim.log"));
        sim::Device device(o);
        QVERIFY(device.start());
        QVERIFY(!device.runCommand(command).startsWith(QLatin1String("error")));
        device.sendFrame(quint8(code), 0, args);
        QFile log(o.logPath);
        QVERIFY(log.open(QIODevice::ReadOnly));
        const QString text = QString::fromLocal8Bit(log.readAll());
        const campaign::SimLog read = campaign::read_sim_log(text);
        QCOMPARE(read.faults.size(), 1);
        QCOMPARE(read.hit_meaningful, hit);
        QCOMPARE(campaign::read_sim_log(text, campaign::window_acts_on).hit_meaningful, window_hit);
    }

    void pausesAndOtherFaultsOfARun()
    {
        // A pause in one reply, a byte lost in the padding of the next, with
        // a random seed and a log line for each: spared; the pauses summed.
        QTemporaryDir dir;
        sim::DeviceOptions o = txu_device();
        o.logPath = dir.filePath(QStringLiteral("sim.log"));
        o.faultSeed = 3;
        o.pauseChance = 1;
        o.pauseMinMs = 41;
        o.pauseMaxMs = 41;
        o.dropChance = 1;
        o.faultByte = 100;
        sim::Device device(o);
        QVERIFY(device.start());
        device.sendFrame(92, 0, QByteArray::fromHex("0000"));
        device.sendFrame(92, 0, QByteArray::fromHex("0100"));
        QFile log(o.logPath);
        QVERIFY(log.open(QIODevice::ReadOnly));
        const campaign::SimLog read = campaign::read_sim_log(QString::fromLocal8Bit(log.readAll()));
        QCOMPARE(read.faults.size(), 2);
        QVERIFY(!read.hit_meaningful);
        QCOMPARE(read.paused_ms, 82);
    }

    void endingsAreClassed_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("words");
        QTest::addColumn<bool>("identical");
        QTest::addColumn<int>("chunks");
        QTest::addColumn<int>("outcome");
        const QString done = QStringLiteral("Firmware update completed successfully.\n");
        const QString cut = QStringLiteral("tvc-update: The device has not answered for 10 seconds: the update is not complete.\n");
        const QString none = QStringLiteral("tvc-update: The device has not answered for 10 seconds: nothing was sent.\n");
        QTest::newRow("updated") << 0 << done << true << 41 << int(Outcome::Identical);
        QTest::newRow("updated, wrong image") << 0 << done << false << 41 << int(Outcome::FalseSuccess);
        QTest::newRow("not complete") << 3 << cut << false << 12 << int(Outcome::HonestFailure);
        QTest::newRow("nothing sent") << 3 << none << false << 0 << int(Outcome::HonestFailure);
        QTest::newRow("nothing sent, but chunks went") << 3 << none << false << 5 << int(Outcome::OtherFailure);
        QTest::newRow("failure that claims success") << 3 << done + cut << false << 41 << int(Outcome::FalseSuccess);
        QTest::newRow("failure without its words") << 3 << "tvc-update: error\n" << false << 3 << int(Outcome::OtherFailure);
        QTest::newRow("undocumented status") << 4 << cut << false << 3 << int(Outcome::Crash);
    }

    void endingsAreClassed()
    {
        QFETCH(int, status);
        QFETCH(QString, words);
        QFETCH(bool, identical);
        QFETCH(int, chunks);
        QFETCH(int, outcome);
        campaign::Ending ending;
        ending.status = status;
        ending.words = words;
        QString why;
        QCOMPARE(int(campaign::classify(ending, identical, chunks, &why)), outcome);

        // However it ended, a run killed for hanging hangs, and one killed by
        // another signal crashed.
        ending.killed_by_signal = true;
        ending.signal = 11;
        QCOMPARE(campaign::classify(ending, identical, chunks, &why), Outcome::Crash);
        ending.killed_for_hanging = true;
        QCOMPARE(campaign::classify(ending, identical, chunks, &why), Outcome::Hang);
    }

    void dialogEndingsAreClassed_data()
    {
        QTest::addColumn<QStringList>("boxes");  // title, text, title, text, ...
        QTest::addColumn<QString>("module_line");
        QTest::addColumn<bool>("identical");
        QTest::addColumn<int>("chunks");
        QTest::addColumn<int>("outcome");
        const QStringList done = {"Firmware Update", "Firmware update completed successfully.<br> It is now safe to "
                                                     "disconnect your device. Tavero Companion stays open and "
                                                     "links the device again when it answers."};
        const QString cut = QStringLiteral("The device has not answered for 30 seconds: the update is not complete.");
        const QString none = QStringLiteral("The device has not answered for 30 seconds: nothing was sent.");
        const QString lost = QStringLiteral("Connection to the device lost: the update is not complete.");
        QTest::newRow("updated") << done << QString() << true << 41 << int(Outcome::Identical);
        QTest::newRow("completion box, wrong image") << done << QString() << false << 41 << int(Outcome::FalseSuccess);
        QTest::newRow("given up mid-update") << QStringList{"Error!", cut} << cut << false << 12 << int(Outcome::HonestFailure);
        QTest::newRow("given up asking") << QStringList{"Error!", none} << none << false << 0 << int(Outcome::HonestFailure);
        QTest::newRow("given up asking, but chunks went")
            << QStringList{"Error!", none} << none << false << 3 << int(Outcome::OtherFailure);
        QTest::newRow("link lost: the module line alone") << QStringList() << lost << false << 7 << int(Outcome::HonestFailure);
        // A refusal: the dialog skips the update, and nothing goes out.
        QTest::newRow("version mismatch")
            << QStringList{"Version Mismatch", "Skipping firmware update for this portable"} << QString() << false << 0
            << int(Outcome::HonestFailure);
        QTest::newRow("a box without the words")
            << QStringList{"Error!", "The device did not report a type that the package has a DSP image for."}
            << QString() << false << 0 << int(Outcome::OtherFailure);
        QTest::newRow("no box at all") << QStringList() << QString() << false << 5 << int(Outcome::OtherFailure);
    }

    void dialogEndingsAreClassed()
    {
        QFETCH(QStringList, boxes);
        QFETCH(QString, module_line);
        QFETCH(bool, identical);
        QFETCH(int, chunks);
        QFETCH(int, outcome);
        campaign::DialogEnding ending;
        ending.status = 0;
        for (int i = 0; i + 1 < boxes.size(); i += 2)
            ending.boxes.append({boxes.at(i), boxes.at(i + 1)});
        ending.module_line = module_line;
        QString why;
        QCOMPARE(int(campaign::classify_dialog(ending, identical, chunks, &why)), outcome);

        // A run that did not see its dialog to the end crashed; one killed for
        // hanging hangs.
        ending.status = 1;
        QCOMPARE(campaign::classify_dialog(ending, identical, chunks, &why), Outcome::Crash);
        ending.status = 0;
        ending.killed_by_signal = true;
        ending.signal = 6;
        QCOMPARE(campaign::classify_dialog(ending, identical, chunks, &why), Outcome::Crash);
        ending.killed_for_hanging = true;
        QCOMPARE(campaign::classify_dialog(ending, identical, chunks, &why), Outcome::Hang);
    }

    void imagesAreComparedWithThePackage()
    {
        const QByteArray wlan = pattern(3050, 1), dsp = pattern(1000, 2);
        const QMap<int, QByteArray> expected = {{0, wlan}, {5, dsp}};
        QString why;
        QVERIFY(campaign::images_identical({{0, wlan}, {5, dsp}}, expected, &why));
        // Sent twice, the same both times.
        QVERIFY(campaign::images_identical({{0, wlan}, {0, wlan}, {5, dsp}}, expected, &why));
        QVERIFY(!campaign::images_identical({{0, wlan}}, expected, &why));
        QVERIFY(why.contains(QLatin1String("unit 5")));
        QByteArray doubled = wlan;
        doubled.insert(1200, wlan.mid(1100, 100));  // a chunk taken twice
        QVERIFY(!campaign::images_identical({{0, doubled}, {5, dsp}}, expected, &why));
        QVERIFY2(why.contains(QLatin1String("byte 1200")), qPrintable(why));
        QVERIFY(!campaign::images_identical({{0, wlan}, {0, wlan.left(3000)}, {5, dsp}}, expected, &why));
    }
};

QTEST_GUILESS_MAIN(TestCampaign)
#include "test_campaign.moc"

// tvc-sim's command line and the running command: first output line, symlink,
// operator commands on standard input, clean exit on SIGTERM.

#include "sim/cli.h"
#include "simtest.h"

#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

using namespace simtest;

class TestSimCli : public QObject
{
    Q_OBJECT

private:
    static sim::ParseResult parse(const QStringList &args, sim::DeviceOptions *o, QString *msg = nullptr)
    {
        QString dummy;
        return sim::parseArguments(QStringList{QStringLiteral("tvc-sim")} + args, o, msg ? msg : &dummy);
    }

private slots:
    void initTestCase()
    {
        qRegisterMetaType<QSerialPort::SerialPortError>();
    }

    void roles_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("role");
        QTest::addColumn<bool>("txu");
        QTest::newRow("default") << QStringList() << 1 << true;
        QTest::newRow("master") << QStringList{"--role", "master"} << 0 << true;
        QTest::newRow("master without TXU") << QStringList{"--no-txu", "--role", "master"} << 0 << false;
        QTest::newRow("txu client") << QStringList{"--role", "txu-client"} << 1 << true;
        QTest::newRow("rxu client") << QStringList{"--role", "rxu-client"} << 1 << false;
        QTest::newRow("rxu client forced TXU") << QStringList{"--role", "rxu-client", "--txu"} << 1 << true;
        QTest::newRow("repeater") << QStringList{"--role=repeater"} << 2 << false;
        QTest::newRow("unknown") << QStringList{"--role", "unknown"} << 3 << false;
    }

    void roles()
    {
        QFETCH(QStringList, args);
        QFETCH(int, role);
        QFETCH(bool, txu);
        sim::DeviceOptions o;
        QCOMPARE(parse(args, &o), sim::ParseResult::Run);
        QCOMPARE(int(o.role), role);
        QCOMPARE(o.txu, txu);
    }

    void valuesAndSwitches()
    {
        sim::DeviceOptions o;
        const QStringList args{"--slot", "15", "--repeater-mode", "--link", "3", "--mute", "--phantom", "--hiz",
                               "--input", "0x85", "--channel", "149", "--signal", "-62", "--temp", "-12", "--wlan-version", "1600",
                               "--dsp-version", "3.11", "--device-type", "7", "--report-period", "50", "--report-mode", "2",
                               "--link-restore", "300", "--log", "/tmp/x.log", "--quiet", "--link-path", "/tmp/dev",
                               "--image-dir", "/tmp/img", "--split", "64", "--split-pause", "2", "--merge", "3",
                               "--merge-hold", "20", "--ack-delay", "15", "--wire-speed", "--dup-ack-at", "4",
                               "--hangup-at", "9", "--ignore-malformed", "--signal-walk", "--walk-seed", "42"};
        QString msg;
        QCOMPARE(parse(args, &o, &msg), sim::ParseResult::Run);
        QCOMPARE(o.slot, 15);
        QVERIFY(o.repeaterMode && o.muted && o.phantom && o.hiZ && o.wirePacing && o.ignoreMalformed);
        QVERIFY(!o.logFrames);
        QCOMPARE(o.linkState, 3);
        QCOMPARE(o.input, quint8(0x85));
        QCOMPARE(o.channel, 149);
        QCOMPARE(o.temperature, -12);
        QCOMPARE(o.reportModeAtStart, 2);
        QCOMPARE(o.signalLevel, -62);
        QCOMPARE(o.wlanVersion, quint16(1600));
        QCOMPARE(o.dspMajor, quint8(3));
        QCOMPARE(o.dspMinor, quint8(11));
        QCOMPARE(o.effectiveDeviceType(), 7);
        QCOMPARE(o.reportPeriodMs, 50);
        QCOMPARE(o.linkRestoreMs, 300);
        QCOMPARE(o.logPath, QStringLiteral("/tmp/x.log"));
        QCOMPARE(o.symlinkPath, QStringLiteral("/tmp/dev"));
        QCOMPARE(o.imageDir, QStringLiteral("/tmp/img"));
        QCOMPARE(o.splitSize, 64);
        QCOMPARE(o.splitPauseMs, 2);
        QCOMPARE(o.mergeCount, 3);
        QCOMPARE(o.mergeHoldMs, 20);
        QCOMPARE(o.ackDelayMs, 15);
        QCOMPARE(o.duplicateAckAt, 4);
        QCOMPARE(o.hangUpAt, 9);
        QVERIFY(o.signalWalk);
        QCOMPARE(o.walkSeed, 42);

        // Ranges, chances and the seed of the random faults; a single value
        // after a range is a range of one.
        QCOMPARE(parse({"--split", "1-64", "--ack-delay", "5-15", "--finish-delay", "200-900", "--pause-chance", "5%",
                        "--pause-ms", "50-300", "--drop-chance", "0.25", "--insert-chance", "1", "--flip-chance", "0",
                        "--stray-chance", ".5", "--burst-chance", "2.5%", "--dup-ack-chance", "0.1", "--fault-seed",
                        "4000000000"}, &o, &msg),
                 sim::ParseResult::Run);
        QCOMPARE(o.splitSize, 1);
        QCOMPARE(o.splitSizeMax, 64);
        QCOMPARE(o.ackDelayMs, 5);
        QCOMPARE(o.ackDelayMaxMs, 15);
        QCOMPARE(o.finishDelayMs, 200);
        QCOMPARE(o.finishDelayMaxMs, 900);
        QCOMPARE(o.pauseChance, 0.05);
        QCOMPARE(o.pauseMinMs, 50);
        QCOMPARE(o.pauseMaxMs, 300);
        QCOMPARE(o.dropChance, 0.25);
        QCOMPARE(o.insertChance, 1.0);
        QCOMPARE(o.flipChance, 0.0);
        QCOMPARE(o.strayChance, 0.5);
        QCOMPARE(o.burstChance, 0.025);
        QCOMPARE(o.duplicateAckChance, 0.1);
        QCOMPARE(o.faultSeed, 4000000000u);
        QCOMPARE(parse({"--split", "32", "--ack-delay", "7"}, &o, &msg), sim::ParseResult::Run);
        QCOMPARE(o.splitSize, 32);
        QCOMPARE(o.splitSizeMax, 32);
        QCOMPARE(o.ackDelayMaxMs, 7);

        sim::DeviceOptions d;
        QCOMPARE(parse({}, &d), sim::ParseResult::Run);
        QCOMPARE(d.effectiveDeviceType(), 4);
        QCOMPARE(parse({"--role", "rxu-client"}, &d), sim::ParseResult::Run);
        QCOMPARE(d.effectiveDeviceType(), 8);
    }

    void rejectsBadInput_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("needle");
        QTest::newRow("role") << QStringList{"--role", "boss"} << "--role";
        QTest::newRow("slot 16") << QStringList{"--slot", "16"} << "--slot";
        QTest::newRow("input 256") << QStringList{"--input", "256"} << "--input";
        QTest::newRow("dsp without minor") << QStringList{"--dsp-version", "3"} << "--dsp-version";
        QTest::newRow("dsp 256") << QStringList{"--dsp-version", "3.256"} << "--dsp-version";
        QTest::newRow("wlan 65536") << QStringList{"--wlan-version", "65536"} << "--wlan-version";
        QTest::newRow("split 0") << QStringList{"--split", "0"} << "--split";
        QTest::newRow("signal 0") << QStringList{"--signal", "0"} << "--signal";
        QTest::newRow("letters") << QStringList{"--ack-delay", "ten"} << "--ack-delay";
        QTest::newRow("split range reversed") << QStringList{"--split", "64-1"} << "--split";
        QTest::newRow("split range open") << QStringList{"--split", "1-"} << "--split";
        QTest::newRow("pause over a minute") << QStringList{"--pause-ms", "41-60001"} << "--pause-ms";
        QTest::newRow("chance over 1") << QStringList{"--pause-chance", "1.5"} << "--pause-chance";
        QTest::newRow("chance over 100 %") << QStringList{"--drop-chance", "101%"} << "--drop-chance";
        QTest::newRow("negative chance") << QStringList{"--flip-chance", "-0.1"} << "--flip-chance";
        QTest::newRow("seed in letters") << QStringList{"--fault-seed", "abc"} << "--fault-seed";
        QTest::newRow("both txu switches") << QStringList{"--txu", "--no-txu"} << "exclude";
        QTest::newRow("unknown option") << QStringList{"--frobnicate"} << "frobnicate";
        QTest::newRow("stray argument") << QStringList{"extra"} << "extra";
    }

    void rejectsBadInput()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, needle);
        sim::DeviceOptions o;
        o.slot = 9;
        QString msg;
        QCOMPARE(parse(args, &o, &msg), sim::ParseResult::Error);
        QVERIFY2(msg.contains(needle), qPrintable(msg));
        QCOMPARE(o.slot, 9);   // untouched on error
    }

    void help()
    {
        sim::DeviceOptions o;
        QString msg;
        QCOMPARE(parse({"--help"}, &o, &msg), sim::ParseResult::Help);
        QVERIFY(msg.contains(QLatin1String("--split")));
    }

    void runsAsACommand()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString linkPath = dir.filePath(QStringLiteral("tavero"));
        const QString logPath = dir.filePath(QStringLiteral("sim.log"));
        QProcess proc;
        proc.start(QStringLiteral(TVC_SIM_BIN),
                   {"--role", "rxu-client", "--slot", "3", "--repeater-mode", "--link", "3",
                    "--link-path", linkPath, "--log", logPath});
        QVERIFY(proc.waitForStarted());
        QTRY_VERIFY(proc.canReadLine());
        const QString slave = QString::fromLocal8Bit(proc.readLine()).trimmed();
        QVERIFY(slave.startsWith(QLatin1String("/dev/pts/")));
        QCOMPARE(QFileInfo(linkPath).symLinkTarget(), slave);

        Client client(linkPath);
        QVERIFY(client.open());
        client.send(request(40, 0));
        QVERIFY(client.waitFrames(1));
        QCOMPARE(client.frames.at(0), hexFrame("8d 08 00 04 00 00 00 2a 39 03 00"));

        // Operator commands make the device speak on its own.
        proc.write("mute on\ntemp -5\n");
        QVERIFY(client.waitFrames(3));
        QCOMPARE(client.frames.at(1), hexFrame("8d 06 00 02 00 05 00 63 01"));
        QCOMPARE(client.frames.at(2), hexFrame("8d 07 00 03 00 00 00 4b fb ff"));
        proc.write("nonsense\n");
        QByteArray out;
        QTRY_VERIFY2((out += proc.readAll()).contains("cannot understand"), out.constData());
        QVERIFY(out.startsWith("muted\ntemperature -5\n"));

        // End of input does not end the device.
        proc.closeWriteChannel();
        client.send(request(74, 0));
        QVERIFY(client.waitFrames(4));
        QCOMPARE(proc.state(), QProcess::Running);

        ::kill(pid_t(proc.processId()), SIGTERM);
        QVERIFY(proc.waitForFinished(5000));
        QCOMPARE(proc.exitStatus(), QProcess::NormalExit);
        QCOMPARE(proc.exitCode(), 0);
        QVERIFY(!QFileInfo(linkPath).isSymLink());

        QFile log(logPath);
        QVERIFY(log.open(QIODevice::ReadOnly));
        const QByteArray text = log.readAll();
        QVERIFY(text.contains("RX 8d 05 00 01 00 00 00 28"));
        QVERIFY(text.contains("CMD 40 unit 0"));
        QVERIFY(text.contains("RPL 42 unit 0"));
    }

    // The simulator ends like a console program where an operator types to
    // it; where its input is someone else's (a pipe, /dev/null, none at all:
    // scripts and tests start it so), the end of that input does not end it.
    void endOfInput_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<bool>("ends");
        QTest::newRow("Ctrl+D at a terminal") << "terminal, Ctrl+D" << true;
        QTest::newRow("quit at a terminal") << "terminal, quit" << true;
        QTest::newRow("exit from a pipe") << "pipe, exit" << true;
        QTest::newRow("end of a pipe") << "pipe, end" << false;
        QTest::newRow("/dev/null") << "/dev/null" << false;
        QTest::newRow("no standard input") << "closed" << false;
    }

    void endOfInput()
    {
        QFETCH(QString, input);
        QFETCH(bool, ends);

        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString linkPath = dir.filePath(QStringLiteral("tavero"));
        const QStringList args = {"--quiet", "--link-path", linkPath};
        // A terminal whose other side the test types into.
        int master = -1;
        if (input.startsWith(QLatin1String("terminal"))) {
            master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
            QVERIFY(master >= 0 && ::grantpt(master) == 0 && ::unlockpt(master) == 0);
        }
        const auto closeMaster = qScopeGuard([master] {
            if (master >= 0)
                ::close(master);
        });
        QProcess proc;
        if (master >= 0)
            proc.setStandardInputFile(QString::fromLocal8Bit(::ptsname(master)));
        if (input == QLatin1String("/dev/null"))
            proc.setStandardInputFile(QProcess::nullDevice());
        if (input == QLatin1String("closed"))
            proc.start(QStringLiteral("/bin/sh"), QStringList{"-c", "exec \"$0\" \"$@\" <&-", TVC_SIM_BIN} + args);
        else
            proc.start(QStringLiteral(TVC_SIM_BIN), args);
        QVERIFY(proc.waitForStarted());
        QTRY_VERIFY(proc.canReadLine());
        const QString slave = QString::fromLocal8Bit(proc.readLine()).trimmed();

        // A command first, then the end, each as its input brings it.
        const QByteArray command = "mute on\n";
        if (master >= 0) {
            const QByteArray typed = command + (input.endsWith(QLatin1String("Ctrl+D")) ? "\x04" : "quit\n");
            QCOMPARE(::write(master, typed.constData(), size_t(typed.size())), ssize_t(typed.size()));
        } else if (input.startsWith(QLatin1String("pipe"))) {
            proc.write(command + (input.endsWith(QLatin1String("exit")) ? "exit\n" : ""));
            proc.closeWriteChannel();
        }
        if (ends) {
            QVERIFY(proc.waitForFinished(10000));
            QCOMPARE(proc.exitStatus(), QProcess::NormalExit);
            QCOMPARE(proc.exitCode(), 0);
            // Ended as on SIGTERM: the command was carried out first, and the
            // device's terminal and its symlink are gone.
            QVERIFY(proc.readAllStandardOutput().contains("muted\n"));
            QVERIFY(!QFileInfo(linkPath).isSymLink());
            QVERIFY(!QFileInfo::exists(slave));
            return;
        }
        QByteArray out;
        if (input.startsWith(QLatin1String("pipe")))
            QTRY_VERIFY2((out += proc.readAllStandardOutput()).contains("muted\n"), out.constData());
        // Its input was at its end before the device answered: still there.
        Client client(linkPath);
        QVERIFY(client.open());
        client.send(request(40, 0));
        QVERIFY(client.waitFrames(1));
        QVERIFY(!proc.waitForFinished(300));
        QCOMPARE(proc.state(), QProcess::Running);
        ::kill(pid_t(proc.processId()), SIGTERM);
        QVERIFY(proc.waitForFinished(5000));
        QCOMPARE(proc.exitCode(), 0);
    }

    // Started in the background at a terminal (tvc-sim & in a shell with job
    // control), the simulator leaves what is typed to the foreground job:
    // reading it would stop the simulator (SIGTTIN) and with it the device.
    void backgroundAtATerminal()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString linkPath = dir.filePath(QStringLiteral("tavero"));
        const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        QVERIFY(master >= 0 && ::grantpt(master) == 0 && ::unlockpt(master) == 0);
        const auto closeMaster = qScopeGuard([master] { ::close(master); });
        // A shell with job control on its own terminal, waiting on the
        // simulator that it started in the background.
        QProcess shell;
        shell.setStandardInputFile(QString::fromLocal8Bit(::ptsname(master)));
        shell.start(QStringLiteral("setsid"),
                    {"--ctty", "bash", "-c", "set -m; \"$0\" --quiet --link-path \"$1\" & echo $! >\"$1.pid\"; wait",
                     TVC_SIM_BIN, linkPath});
        QVERIFY(shell.waitForStarted());
        QTRY_VERIFY(QFileInfo(linkPath).isSymLink());

        // A line typed at the terminal while the shell is in the foreground.
        QCOMPARE(::write(master, "mute on\n", 8), ssize_t(8));
        Client client(linkPath);
        QVERIFY(client.open());
        // Long enough for the simulator to be woken by the line many times.
        QTest::qWait(500);
        client.send(request(40, 0));
        QVERIFY(client.waitFrames(1));
        QCOMPARE(shell.state(), QProcess::Running);
        // Not read: the device was not muted.
        QCOMPARE(client.frames.size(), 1);
        QVERIFY(!shell.readAllStandardOutput().contains("muted"));

        QFile pidFile(linkPath + QStringLiteral(".pid"));
        QVERIFY(pidFile.open(QIODevice::ReadOnly));
        const pid_t simulator = pid_t(pidFile.readAll().trimmed().toInt());
        QVERIFY(simulator > 0 && ::kill(simulator, SIGTERM) == 0);
        QVERIFY(shell.waitForFinished(5000));
        QCOMPARE(shell.exitCode(), 0);
    }

    void severalDevices()
    {
        QList<sim::DeviceOptions> all;
        QString msg;
        QCOMPARE(sim::parseDevices({"tvc-sim", "--devices", "3", "--wire-speed", "--link-path", "/tmp/d",
                                    "--device", "2:--role rxu-client --dsp-version 4.5 --hangup-at 7",
                                    "--device", "2:--slot 3", "--device", "3: --link-path \"/tmp/my dev\""},
                                   &all, &msg),
                 sim::ParseResult::Run);
        QCOMPARE(all.size(), 3);
        for (const sim::DeviceOptions &o : all)
            QVERIFY(o.wirePacing);
        QVERIFY(all[0].txu && !all[1].txu && all[2].txu);
        QCOMPARE(all[1].dspMajor, quint8(4));
        QCOMPARE(all[1].slot, 3);
        QCOMPARE(all[0].hangUpAt, -1);
        QCOMPARE(all[1].hangUpAt, 7);
        QCOMPARE(all[0].symlinkPath, QStringLiteral("/tmp/d-1"));
        QCOMPARE(all[2].symlinkPath, QStringLiteral("/tmp/my dev"));
        QCOMPARE(all[1].logTag, QStringLiteral("2"));

        // One device: the options as they always were.
        QCOMPARE(sim::parseDevices({"tvc-sim", "--link-path", "/tmp/d"}, &all, &msg), sim::ParseResult::Run);
        QCOMPARE(all.size(), 1);
        QCOMPARE(all[0].symlinkPath, QStringLiteral("/tmp/d"));
        QVERIFY(all[0].logTag.isEmpty());

        const QList<QStringList> bad = {
            {"--devices", "0"},
            {"--devices", "2", "--device", "3:--mute"},
            {"--devices", "2", "--device", "--mute"},
            {"--devices", "2", "--device", "2:--slot 16"},
            {"--devices", "2", "--device", "2:--devices 3"},
        };
        for (const QStringList &args : bad) {
            all.clear();
            QCOMPARE(sim::parseDevices(QStringList{"tvc-sim"} + args, &all, &msg), sim::ParseResult::Error);
            QVERIFY2(msg.contains("--device"), qPrintable(msg));
            QVERIFY(all.isEmpty());
        }
    }

    void severalDevicesRunAsOneCommand()
    {
        QProcess proc;
        proc.start(QStringLiteral(TVC_SIM_BIN), {"--devices", "2", "--quiet", "--device", "2:--role rxu-client"});
        QVERIFY(proc.waitForStarted());
        QStringList paths;
        while (paths.size() < 2) {
            QTRY_VERIFY(proc.canReadLine());
            paths.append(QString::fromLocal8Bit(proc.readLine()).trimmed());
        }
        QVERIFY(paths[0] != paths[1]);
        Client txu(paths[0]);
        Client rxu(paths[1]);
        QVERIFY(txu.open() && rxu.open());
        txu.send(request(40, 0));
        rxu.send(request(40, 0));
        QVERIFY(txu.waitFrames(1) && rxu.waitFrames(1));
        QCOMPARE(txu.frames.at(0), hexFrame("8d 08 00 04 00 00 00 2a 15 02 08"));
        QCOMPARE(rxu.frames.at(0), hexFrame("8d 08 00 04 00 00 00 2a 11 02 00"));

        // A numbered command reaches its device alone, any other every device.
        proc.write("2 mute on\nphantom on\n");
        QVERIFY(rxu.waitFrames(3) && txu.waitFrames(2));
        QCOMPARE(rxu.frames.at(1), hexFrame("8d 06 00 02 00 05 00 63 01"));
        QCOMPARE(txu.frames.at(1), hexFrame("8d 06 00 02 00 05 00 58 01"));
        QByteArray out;
        QTRY_VERIFY2((out += proc.readAll()).count('\n') >= 3, out.constData());
        QCOMPARE(out, QByteArray("2: muted\n1: +48V on\n2: +48V on\n"));

        ::kill(pid_t(proc.processId()), SIGTERM);
        QVERIFY(proc.waitForFinished(5000));
        QCOMPARE(proc.exitCode(), 0);
    }

    void badOptionEndsAtOnce()
    {
        QProcess proc;
        proc.start(QStringLiteral(TVC_SIM_BIN), {"--slot", "99"});
        QVERIFY(proc.waitForFinished(5000));
        QCOMPARE(proc.exitCode(), 2);
        QVERIFY(proc.readAllStandardError().contains("--slot"));
        QVERIFY(proc.readAllStandardOutput().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestSimCli)
#include "test_sim_cli.moc"

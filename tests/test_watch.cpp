// tvc-watch end to end against simulated devices on pseudo-terminals: its
// single reading and exit statuses, and its JSON lines under line noise.

#include "device_names.h"
#include "frame.h"
#include "test_support.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

namespace {

QString watch_binary()
{
    return QStringLiteral(TVC_WATCH_BINARY);
}

QStringList port_arguments(const QList<sim::Device *> &devices)
{
    QStringList arguments;
    for (const sim::Device *d : devices)
        arguments << "--port" << d->slavePath();
    return arguments;
}

// The levels a device sent in its signal reports: the transmitter's and the
// repeater's, without the zeros that mean no reading.
QPair<QSet<int>, QSet<int>> levels_sent(const sim::Device &device)
{
    QSet<int> a, b;
    for (const sim::SentFrame &frame : device.sent()) {
        if (frame_code(frame.bytes) != RPL_SIGNAL)
            continue;
        if (const int level = frame_s16(frame.bytes, 8))
            a.insert(level);
        if (const int level = frame_s16(frame.bytes, 10))
            b.insert(level);
    }
    return {a, b};
}

// The report modes the device was asked for, in order.
QList<int> report_modes(const sim::Device &device)
{
    QList<int> modes;
    for (const QByteArray &frame : received_with_code(device, CMD_REPORT_MODE))
        modes.append(frame_u8(frame, 8));
    return modes;
}

} // namespace

class TestWatch : public QObject
{
    Q_OBJECT

private slots:
    void single_reading();
    void json_lines_under_line_noise();
};

// One reading: every device in the table and status 0; a named port that is
// not there makes it 3, and no device at all 1. Reports asked for the reading
// are switched off at its end. A watch that follows ends when its reader goes.
void TestWatch::single_reading()
{
    sim::DeviceOptions rxu = txu_device();
    rxu.txu = false;
    rxu.signalLevel = -57;
    rxu.reportPeriodMs = 50;
    const std::unique_ptr<sim::Device> a = start_device(rxu);
    const std::unique_ptr<sim::Device> b = start_device(txu_device());
    const QList<sim::Device *> both{a.get(), b.get()};

    ToolRun run = run_program(watch_binary(), port_arguments(both));
    QCOMPARE(run.status, 0);
    QVERIFY2(run.out.contains(a->slavePath()) && run.out.contains(b->slavePath()), qPrintable(run.out));
    QVERIFY2(run.out.contains("-57 dBm"), qPrintable(run.out));
    QVERIFY2(run.out.contains("TXU Client (Slot 1)"), qPrintable(run.out));
    QCOMPARE(report_modes(*a), QList<int>({1, 0}));
    QCOMPARE(report_modes(*b), QList<int>());

    run = run_program(watch_binary(), port_arguments(both) + QStringList{"--json", "--port", "/dev/pts/nonesuch"});
    QCOMPARE(run.status, 3);
    QCOMPARE(run.out.count('\n'), 2);
    QVERIFY2(run.err.contains("/dev/pts/nonesuch"), qPrintable(run.err));

    // A reader that has gone ends a watch that follows, quietly.
    QProcess shell;
    shell.start("bash", {"-c", QString("set -o pipefail; '%1' --port '%2' --follow --json --interval 0.1 | head -c 1 "
                                       ">/dev/null")
                                   .arg(watch_binary(), a->slavePath())});
    QVERIFY(QTest::qWaitFor([&shell] { return shell.state() == QProcess::NotRunning; }, 10000));
    QCOMPARE(shell.exitCode(), 0);
    QCOMPARE(shell.readAllStandardError(), QByteArray());

    run = run_program(watch_binary(), {"--port", "/dev/pts/nonesuch"});
    QCOMPARE(run.status, 1);
    run = run_program(watch_binary(), {"--json", "--csv"});
    QCOMPARE(run.status, 2);
}

// Three devices whose levels wander and whose link drops, their replies hit
// by random noise between frames, split, paused and cut short on the line,
// one of them named with characters that JSON must escape: every line of
// --json parses, no level is one the device did not send, each interval's
// mean lies between its lowest and highest level, SIGTERM ends the watch
// within a second, and the signal reports it asked for are off again.
void TestWatch::json_lines_under_line_noise()
{
    const quint32 seed = qEnvironmentVariableIsSet("TVC_WATCH_SEED") ? quint32(qEnvironmentVariableIntValue("TVC_WATCH_SEED")) : 20261209u;
    QList<std::shared_ptr<sim::Device>> devices;
    for (int i = 0; i < 3; ++i) {
        sim::DeviceOptions o = txu_device();
        o.txu = false;
        o.repeaterMode = i == 1;
        o.signalWalk = true;
        o.walkSeed = int(seed) + i;
        o.walkNoReadingEvery = 10;
        o.walkLinkDropEvery = 8;
        o.reportPeriodMs = 20;
        o.faultSeed = seed * 3 + quint32(i);
        o.strayChance = 0.05;
        o.burstChance = 0.05;
        o.pauseChance = 0.05;
        o.pauseMaxMs = 120;
        o.splitSize = 1;
        o.splitSizeMax = 80;
        o.splitPauseMs = 1;
        // Cut short or lengthened after the meaningful bytes.
        o.dropChance = 0.03;
        o.insertChance = 0.03;
        o.faultByte = 60;
        devices.append(std::shared_ptr<sim::Device>(start_device(o).release()));
    }
    QList<sim::Device *> plain;
    for (const auto &d : devices)
        plain.append(d.get());

    QTemporaryDir config;
    const QString name = QString::fromUtf8("Lead \"vocal\"\\\n\t\x01 \xe2\x80\xae") + QChar(0xD800) + "end";
    QVERIFY(DeviceNames(config.filePath("Tavero/Tavero Companion.ini"))
                .set_name(device_key(QString(), QString(), plain.at(2)->slavePath()), name));

    qint64 pid = 0;
    QElapsedTimer since_term;
    QTimer::singleShot(4000, this, [&] {
        since_term.start();
        ::kill(pid_t(pid), SIGTERM);
    });
    const ToolRun run = run_program(
        watch_binary(), port_arguments(plain) + QStringList{"--follow", "--json", "--interval", "0.25"}, &pid,
        [&](QProcess &p) {
            QProcessEnvironment env = p.processEnvironment();
            env.insert("XDG_CONFIG_HOME", config.path());
            p.setProcessEnvironment(env);
        });
    QCOMPARE(run.status, 0);
    QVERIFY2(since_term.elapsed() < 1000, qPrintable(QString::number(since_term.elapsed())));

    const QRegularExpression iso("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\\.\\d{3}([+-]\\d\\d:\\d\\d|Z)$");
    QHash<QString, QPair<QSet<int>, QSet<int>>> sent;
    for (const sim::Device *d : plain)
        sent.insert(d->slavePath(), levels_sent(*d));
    int readings = 0, with_levels = 0, named = 0;
    const QStringList lines = run.out.split('\n', Qt::SkipEmptyParts);
    QVERIFY(!lines.isEmpty());
    for (const QString &line : lines) {
        QJsonParseError error;
        const QJsonDocument doc = QJsonDocument::fromJson(line.toUtf8(), &error);
        QVERIFY2(doc.isObject(), qPrintable(error.errorString() + ": " + line));
        const QJsonObject o = doc.object();
        QCOMPARE(o.value("schema").toInt(), 1);
        QVERIFY2(iso.match(o.value("time").toString()).hasMatch(), qPrintable(line));
        QVERIFY(o.value("mono_ms").isDouble());
        const QString port = o.value("port").toString();
        QVERIFY2(sent.contains(port), qPrintable(line));
        if (o.value("name").isString()) {
            QCOMPARE(o.value("name").toString(), without_lone_surrogates(name));
            ++named;
        }
        const QString type = o.value("type").toString();
        QVERIFY2(type == "reading" || type == "event" || type == "alarm", qPrintable(line));
        if (type != "reading")
            continue;
        ++readings;
        for (const char *path : {"txu", "repeater"}) {
            const QSet<int> &levels = QLatin1String(path) == QLatin1String("txu") ? sent[port].first : sent[port].second;
            for (const char *what : {"_dbm", "_min_dbm", "_max_dbm"}) {
                const QJsonValue v = o.value(QLatin1String(path) + QLatin1String(what));
                QVERIFY2(v.isNull() || levels.contains(v.toInt()), qPrintable(line));
            }
            const QJsonValue low = o.value(QLatin1String(path) + "_min_dbm");
            const QJsonValue mean = o.value(QLatin1String(path) + "_mean_dbm");
            const QJsonValue high = o.value(QLatin1String(path) + "_max_dbm");
            QCOMPARE(low.isNull(), mean.isNull());
            QCOMPARE(high.isNull(), mean.isNull());
            if (!mean.isNull()) {
                ++with_levels;
                QVERIFY2(low.toDouble() <= mean.toDouble() + 0.05 && mean.toDouble() <= high.toDouble() + 0.05,
                         qPrintable(line));
            }
        }
    }
    QVERIFY2(readings >= 3 * 8, qPrintable(QString::number(readings)));
    QVERIFY2(with_levels >= readings / 3, qPrintable(QStringLiteral("%1 of %2").arg(with_levels).arg(readings)));
    QVERIFY(named > 0);
    for (const sim::Device *d : plain) {
        const QList<int> modes = report_modes(*d);
        QVERIFY2(modes.contains(1) && modes.last() == 0, qPrintable(d->slavePath()));
    }
}

QTEST_MAIN(TestWatch)
#include "test_watch.moc"

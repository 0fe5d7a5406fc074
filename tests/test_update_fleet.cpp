// tvc-update over several devices at once, end to end against simulated
// devices on pseudo-terminals, and the texts of its summary.

#include "console.h"
#include "fleet_report.h"
#include "frame.h"
#include "language.h"
#include "test_support.h"
#include "update_run.h"
#include "update_tool.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>

namespace {

sim::DeviceOptions rxu_device()
{
    sim::DeviceOptions options = txu_device();
    options.txu = false;
    options.dspMajor = 4;
    options.dspMinor = 5;
    return options;
}

// The moments (steady clock) of the first and the last data frame a device received.
QPair<qint64, qint64> data_span(const sim::Device &device)
{
    QList<qint64> at;
    for (const sim::ReceivedFrame &frame : device.received()) {
        if (frame_code(frame.bytes) == CMD_FW_DATA)
            at.append(frame.at_ns);
    }
    return at.isEmpty() ? qMakePair(qint64(0), qint64(0)) : qMakePair(at.first(), at.last());
}

// The summary line of `port`.
QString summary_of(const ToolRun &run, const QString &port)
{
    const QStringList lines = run.out.split('\n');
    for (const QString &line : lines) {
        if (line.startsWith(port + "  "))
            return line.simplified();
    }
    return QString();
}

// What was written to `file`, from its start.
QString contents(std::FILE *file)
{
    std::fflush(file);
    std::rewind(file);
    QByteArray bytes;
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, file)) > 0)
        bytes.append(buf, int(n));
    return QString::fromLocal8Bit(bytes);
}

// A terminal multiplexer of its own (own socket, no status line), in which a
// command runs on a terminal of a given size; the test reads its screen.
struct Terminal
{
    Terminal()
    {
        write_file(dir, "tmux.conf", "set -g status off\nset -g history-limit 2000\n");
    }
    ~Terminal() { tmux({"kill-server"}); }

    bool tmux(const QStringList &arguments, QString *output = nullptr) const
    {
        QProcess process;
        process.start("tmux", QStringList({"-S", dir.filePath("socket"), "-f", dir.filePath("tmux.conf")}) + arguments);
        if (!process.waitForFinished(10000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
            return false;
        if (output)
            *output = QString::fromLocal8Bit(process.readAllStandardOutput());
        return true;
    }
    bool start(const QString &command, int columns, int rows) const
    {
        return tmux({"new-session", "-d", "-s", "tvc", "-x", QString::number(columns), "-y", QString::number(rows),
                     command});
    }
    // The lines on the screen (with the history before them), each as the
    // program wrote it: lines the terminal wrapped are joined again.
    QStringList screen(bool history = false) const
    {
        QStringList arguments = {"capture-pane", "-p", "-J", "-t", "tvc"};
        if (history)
            arguments << "-S" << "-";
        QString output;
        tmux(arguments, &output);
        QStringList lines = output.split('\n');
        for (QString &line : lines) {
            while (line.endsWith(' '))
                line.chop(1);
        }
        while (!lines.isEmpty() && lines.last().isEmpty())
            lines.removeLast();
        return lines;
    }

    QTemporaryDir dir;
};

QString quoted(const QString &text)
{
    return "'" + QString(text).replace("'", "'\\''") + "'";
}

} // namespace

class UpdateFleetTest : public QObject
{
    Q_OBJECT

private slots:
    // The program's English: its counts in the singular and the plural.
    void initTestCase() { QVERIFY(install_translations(*QCoreApplication::instance(), QString())); }
    void updates_devices_at_once();
    void one_device_fails_data();
    void one_device_fails();
    void stops_before_any_device();
    void missing_image_stops_its_type_only();
    void summary_texts();
    void live_lines_fit_the_terminal();
    void refusal_says_which_side_is_newer_data();
    void refusal_says_which_side_is_newer();
    void busy_port_is_named_and_not_updated();
    void live_block_in_a_small_terminal();
};

void UpdateFleetTest::updates_devices_at_once()
{
    QTemporaryDir dir;
    const QString zip = dir.filePath("package.zip");
    Package package;
    package.wlan = pattern(2500, 1);
    QVERIFY(package.write(dir, zip));

    // A TXU, an RXU and a TXU; each acknowledgement takes a little while, so
    // that one after another would not overlap.
    std::vector<std::unique_ptr<sim::Device>> devices;
    for (const sim::DeviceOptions &o : {txu_device(), rxu_device(), txu_device()}) {
        sim::DeviceOptions options = o;
        options.ackDelayMs = 5;
        devices.push_back(start_device(options));
    }
    const ToolRun run = run_update_tool({devices[0].get(), devices[1].get(), devices[2].get()}, {zip});
    QVERIFY2(run.status == 0, qPrintable(run.out + run.err));
    QCOMPARE(run.err, QString());
    QCOMPARE(run.left_behind, QStringList());

    qint64 last_start = 0, first_end = std::numeric_limits<qint64>::max();
    for (const auto &device : devices) {
        const bool txu = device->options().txu;
        QCOMPARE(device->receivedImage(UNIT_WLAN), package.wlan);
        QCOMPARE(device->receivedImage(UNIT_DSP), txu ? package.txu : package.rxu);
        QCOMPARE(device->violations(), QStringList());
        const QString port = device->slavePath();
        QVERIFY2(summary_of(run, port).startsWith(QString("%1 %2 WLAN 1650 -> 1660 DSP %3 updated ")
                                                      .arg(port, txu ? "TXU" : "RXU", txu ? "3.12 -> 3.12" : "4.5 -> 4.5")),
                 qPrintable(run.out));
        last_start = std::max(last_start, data_span(*device).first);
        first_end = std::min(first_end, data_span(*device).second);
    }
    // All at once: every device had its first chunk before any had its last.
    QVERIFY(last_start < first_end);
    QCOMPARE(run.out.split('\n', Qt::SkipEmptyParts).last(), QString("3 updated, 0 refused, 0 failed"));
    // Not a terminal: each device's lines are headed by its port.
    for (const QString &line : run.out.section("\n\n", 0, 0).split('\n'))
        QVERIFY2(line.startsWith(devices[0]->slavePath() + ": ") || line.startsWith(devices[1]->slavePath() + ": ")
                     || line.startsWith(devices[2]->slavePath() + ": "),
                 qPrintable(line));
}

void UpdateFleetTest::one_device_fails_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("summary");  // of the second device, after its port
    QTest::addColumn<QString>("count");

    QTest::newRow("cable pulled") << "hang up" << 3 << "TXU WLAN 1650 -> ? DSP 3.12 -> ? failed"
                                  << "2 updated, 0 refused, 1 failed";
    QTest::newRow("silent") << "silent" << 3 << "TXU WLAN 1650 -> ? DSP 3.12 -> ? failed"
                            << "2 updated, 0 refused, 1 failed";
    QTest::newRow("refused") << "refused" << 1 << "TXU WLAN 1700 -> 1700 DSP 3.12 -> 3.12 refused"
                             << "2 updated, 1 refused, 0 failed";
    QTest::newRow("--check, refused") << "check" << 1 << "TXU WLAN 1700 -> 1700 DSP 3.12 -> 3.12 refused"
                                      << "2 fit, 1 refused, 0 failed";
    QTest::newRow("SIGINT") << "SIGINT" << 130 << "TXU WLAN 1650 -> ? DSP 3.12 -> ? interrupted"
                            << "0 updated, 0 refused, 0 failed, 3 interrupted";
}

void UpdateFleetTest::one_device_fails()
{
    QFETCH(QString, kind);
    QFETCH(int, status);
    QFETCH(QString, summary);
    QFETCH(QString, count);

    QTemporaryDir dir;
    const QString zip = dir.filePath("package.zip");
    Package package;
    package.wlan = pattern(2500, 1);
    QVERIFY(package.write(dir, zip));

    std::vector<std::unique_ptr<sim::Device>> devices;
    for (int i = 0; i < 3; ++i) {
        sim::DeviceOptions options = txu_device();
        if (kind == "SIGINT")
            options.ackDelayMs = 500;
        if (i == 1) {
            if (kind == "hang up")
                options.hangUpAt = 10;
            // Never answers in the run; the others have time to spare on a
            // busy machine.
            if (kind == "silent")
                options.ackDelayMs = 60000;
            if (kind == "refused" || kind == "check")
                options.wlanVersion = 1700;
        }
        devices.push_back(start_device(options));
    }
    QStringList arguments = {zip};
    if (kind == "silent")
        arguments = QStringList({"--timeout", "4"}) + arguments;
    if (kind == "check")
        arguments.prepend("--check");

    // The signal goes out as the second device takes its third chunk. Every
    // acknowledgement is held for half a second, so that a chunk after the
    // signal would come that much later.
    qint64 pid = 0;
    qint64 signal_ns = 0;
    QObject context;
    connect(devices[1].get(), &sim::Device::frameReceived, &context, [&](const QByteArray &frame) {
        if (kind == "SIGINT" && frame_code(frame) == CMD_FW_DATA && devices[1]->firmwareDataFrames() == 2 && pid > 0) {
            signal_ns = std::chrono::duration_cast<std::chrono::nanoseconds>(
                            std::chrono::steady_clock::now().time_since_epoch()).count();
            ::kill(pid_t(pid), SIGINT);
        }
    });
    const ToolRun run = run_update_tool({devices[0].get(), devices[1].get(), devices[2].get()}, arguments, &pid);
    QVERIFY2(run.status == status, qPrintable(run.out + run.err));
    QCOMPARE(run.left_behind, QStringList());
    const QString port = devices[1]->slavePath();
    QVERIFY2(summary_of(run, port).startsWith(port + ' ' + summary), qPrintable(run.out));
    QCOMPARE(run.out.split('\n', Qt::SkipEmptyParts).last(), count);

    for (int i = 0; i < 3; ++i) {
        const sim::Device &device = *devices[size_t(i)];
        if (kind == "SIGINT") {
            // No chunk went out once the signal was taken.
            QVERIFY(signal_ns > 0 && data_span(device).second < signal_ns + 400000000);
        } else if (kind == "check" || (i == 1 && kind == "refused")) {
            QCOMPARE(device.firmwareDataFrames(), 0);
        } else if (i != 1) {
            // The others are neither stopped nor damaged.
            QCOMPARE(device.receivedImage(UNIT_WLAN), package.wlan);
            QCOMPARE(device.receivedImage(UNIT_DSP), package.txu);
        }
    }
    // Each device that did not end well has its sentence on standard error.
    const int sentences = kind == "SIGINT" ? 3 : 1;
    QCOMPARE(run.err.count('\n'), sentences);
    QVERIFY2(run.err.contains(devices[1]->slavePath() + ": "), qPrintable(run.err));
}

void UpdateFleetTest::stops_before_any_device()
{
    QTemporaryDir dir;
    const QString zip = dir.filePath("package.zip");
    Package package;
    package.with_wlan = false;
    QVERIFY(package.write(dir, zip));
    const std::unique_ptr<sim::Device> a = start_device(txu_device());
    const std::unique_ptr<sim::Device> b = start_device(txu_device());

    // A package without its WLAN image, the same port twice, --all beside --port.
    const QList<QStringList> cases = {{zip}, {"--port", a->slavePath(), zip}, {"--all", zip}};
    for (const QStringList &arguments : cases) {
        const ToolRun run = run_update_tool({a.get(), b.get()}, arguments);
        QVERIFY2(run.status == 2, qPrintable(run.err));
        QCOMPARE(run.err.count('\n'), 1);
        QCOMPARE(run.left_behind, QStringList());
    }
    QCOMPARE(codes_received(*a), QList<int>());
    QCOMPARE(codes_received(*b), QList<int>());
}

void UpdateFleetTest::missing_image_stops_its_type_only()
{
    QTemporaryDir dir;
    const QString zip = dir.filePath("package.zip");
    Package package;
    package.with_rxu = false;
    QVERIFY(package.write(dir, zip));
    const std::unique_ptr<sim::Device> txu = start_device(txu_device());
    const std::unique_ptr<sim::Device> rxu = start_device(rxu_device());

    const ToolRun run = run_update_tool({txu.get(), rxu.get()}, {zip});
    QVERIFY2(run.status == 3, qPrintable(run.out + run.err));
    QCOMPARE(txu->receivedImage(UNIT_WLAN), package.wlan);
    QCOMPARE(txu->receivedImage(UNIT_DSP), package.txu);
    // The RXU gets nothing at all, not even the WLAN image without its DSP image.
    QCOMPARE(rxu->firmwareDataFrames(), 0);
    QVERIFY2(summary_of(run, rxu->slavePath()).contains("failed"), qPrintable(run.out));
    QVERIFY2(run.err.contains(rxu->slavePath() + ": ") && run.err.contains("rxu.ldr"), qPrintable(run.err));
    QCOMPARE(run.out.split('\n', Qt::SkipEmptyParts).last(), QString("1 updated, 0 refused, 1 failed"));
}

void UpdateFleetTest::summary_texts()
{
    auto device = [](const QString &port, int status, bool data_sent) {
        DeviceRecord d;
        d.port = port;
        d.type = "RXU";
        d.versions_known = true;
        d.before = {1650, 4, 5};
        d.package_wlan = "1660";
        d.package_dsp = "4.6";
        d.status = status;
        d.data_sent = data_sent;
        d.elapsed_ms = 201500;
        return d;
    };
    DeviceRecord raw;
    raw.port = "/dev/ttyUSB10";
    raw.status = STATUS_DEVICE;
    raw.reason = "Connection to the device lost (Input/output error): the update is not complete.";
    raw.elapsed_ms = 400;
    const std::vector<DeviceRecord> devices = {device("ttyUSB0", STATUS_UPDATED, true),
                                               device("ttyUSB1", STATUS_REFUSED, false),
                                               device("ttyUSB2", STATUS_DEVICE, false), raw};
    QCOMPARE(summary_lines(devices, false),
             QStringList({"ttyUSB0        RXU  WLAN 1650 -> 1660  DSP 4.5 -> 4.6  updated  3 min 21 s",
                          "ttyUSB1        RXU  WLAN 1650 -> 1650  DSP 4.5 -> 4.5  refused  3 min 21 s",
                          "ttyUSB2        RXU  WLAN 1650 -> 1650  DSP 4.5 -> 4.5  failed   3 min 21 s",
                          "/dev/ttyUSB10  -    -                  -               failed        0.4 s  "
                          "Connection to the device lost (Input/output error): the update is not complete."}));
    // On a terminal of 60 columns the reason goes below the columns, wrapped
    // at words.
    QCOMPARE(summary_lines({raw}, false, 60),
             QStringList({"/dev/ttyUSB10  -  -  -  failed  0.4 s",
                          "    Connection to the device lost (Input/output error): the",
                          "    update is not complete."}));
    QCOMPARE(count_line(devices, false), QString("1 updated, 1 refused, 2 failed"));
    QCOMPARE(overall_status(devices), int(STATUS_DEVICE));
    QCOMPARE(overall_status({devices[0], devices[1]}), int(STATUS_REFUSED));
    QCOMPARE(overall_status({devices[0]}), int(STATUS_UPDATED));
    QCOMPARE(overall_status({devices[0], devices[2], device("ttyUSB3", STATUS_INTERRUPTED, true)}),
             int(STATUS_INTERRUPTED));
}

void UpdateFleetTest::live_lines_fit_the_terminal()
{
    DeviceRecord sending;
    sending.port = "ttyUSB0";
    sending.type = "RXU";
    sending.stage = DeviceStage::Sending;
    sending.unit = UNIT_WLAN;
    sending.done = 45000;
    sending.total = 100000;
    sending.seconds_left = 125;
    QCOMPARE(live_line(sending, 8, 0), QString("ttyUSB0   RXU  WLAN  45%, about 2 min 5 s left"));
    // Cut at a word, never inside one.
    QCOMPARE(live_line(sending, 8, 30), QString("ttyUSB0   RXU  WLAN  45%..."));
    QCOMPARE(live_line(sending, 8, 20), QString("ttyUSB0   RXU..."));

    DeviceRecord refused = sending;
    refused.status = STATUS_REFUSED;
    refused.elapsed_ms = 100;
    refused.reason = "The package does not fit the device (device WLAN 1700, DSP 3.12; package WLAN 1660, DSP "
                     "3.12): the device's WLAN is newer than the package's; nothing was sent.";
    const QString whole = live_line(refused, 8, 0);
    for (int width = 40; width < whole.size(); width += 7) {
        const QString cut = live_line(refused, 8, width);
        QVERIFY2(cut.size() <= width && cut.endsWith("..."), qPrintable(cut));
        const QString kept = cut.chopped(3);
        QVERIFY2(whole.startsWith(kept), qPrintable(cut));
        // What follows the kept words in the whole line is a space or a mark after a word.
        QVERIFY2(QString(" ,:;").contains(whole.at(kept.size())), qPrintable(cut));
    }

    // Eight devices, three still running, on terminals of 6 rows and of 2: the
    // block keeps a row for the cursor, shows the running devices first and
    // counts the rest.
    std::vector<DeviceRecord> devices;
    for (int i = 0; i < 8; ++i) {
        DeviceRecord d = i % 3 == 1 ? sending : refused;
        d.port = QString("ttyUSB%1").arg(i);
        if (i == 6)
            d.status = STATUS_UPDATED;
        devices.push_back(d);
    }
    const QStringList six = block_lines(devices, false, 80, 6);
    QCOMPARE(six.size(), 5);
    QVERIFY2(six.at(0).startsWith("ttyUSB0 ") && six.at(1).startsWith("ttyUSB1 ") && six.at(2).startsWith("ttyUSB4 ")
                 && six.at(3).startsWith("ttyUSB7 "),
             qPrintable(six.join('\n')));
    QCOMPARE(six.at(4), QString("... and 4 more: 1 updated, 3 refused"));
    for (const QString &line : six)
        QVERIFY(line.size() < 80);
    QCOMPARE(block_lines(devices, true, 80, 2), QStringList({"8 devices: 3 running, 1 fits, 4 refused"}));
    QCOMPARE(block_lines(devices, false, 80, 0).size(), 8);
}

void UpdateFleetTest::refusal_says_which_side_is_newer_data()
{
    QTest::addColumn<int>("wlan");
    QTest::addColumn<int>("minor");
    QTest::addColumn<QByteArray>("package_wlan");
    QTest::addColumn<QByteArray>("package_dsp");
    QTest::addColumn<QString>("reason");

    QTest::newRow("device WLAN newer") << 1650 << 12 << QByteArray("1649\n") << QByteArray("3.12\n")
                                       << "the device's WLAN is newer than the package's";
    QTest::newRow("device WLAN newer and above the range")
        << 1700 << 12 << QByteArray("1660\n") << QByteArray("3.12\n")
        << "the device's WLAN is newer than the package's and outside 1600 to 1699";
    QTest::newRow("device WLAN below the range") << 1599 << 12 << QByteArray("1660\n") << QByteArray("3.12\n")
                                                 << "the device's WLAN is outside 1600 to 1699";
    QTest::newRow("device DSP newer") << 1650 << 12 << QByteArray("1660\n") << QByteArray("3.11\n")
                                      << "the device's DSP is newer than the package's";
    QTest::newRow("DSP major differs") << 1650 << 12 << QByteArray("1660\n") << QByteArray("4.12\n")
                                       << "the DSP major versions differ";
    QTest::newRow("device DSP minor 0") << 1650 << 0 << QByteArray("1660\n") << QByteArray("3.5\n")
                                        << "a device DSP of minor version 0 is never updated";
    QTest::newRow("package DSP not a version") << 1650 << 12 << QByteArray("1660\n") << QByteArray("3\n")
                                               << "the package's DSP version is not major.minor";
}

void UpdateFleetTest::refusal_says_which_side_is_newer()
{
    QFETCH(int, wlan);
    QFETCH(int, minor);
    QFETCH(QByteArray, package_wlan);
    QFETCH(QByteArray, package_dsp);
    QFETCH(QString, reason);
    UpdateVersions versions;
    versions.device = {quint16(wlan), 3, quint8(minor)};
    versions.package_wlan = package_wlan;
    versions.package_dsp = package_dsp;
    QCOMPARE(misfit_reason(versions), reason);
}

void UpdateFleetTest::busy_port_is_named_and_not_updated()
{
    QTemporaryDir dir;
    const QString zip = dir.filePath("package.zip");
    Package package;
    QVERIFY(package.write(dir, zip));
    const std::unique_ptr<sim::Device> free = start_device(txu_device());
    const std::unique_ptr<sim::Device> held = start_device(txu_device());

    // The system's list: two device bridges, one held by another program, and
    // a port of another kind.
    const PortFinder ports = PortFinder::from_list([&] {
        return QList<SerialPortEntry>{{free->slavePath(), "Silicon Labs"},
                                      {held->slavePath(), "Silicon Labs", true, "minicom (process 4242)"},
                                      {"ttyS0", "", true, "getty (process 1)"}};
    });
    UpdateOptions options;
    options.all = true;
    options.package = zip;
    std::FILE *out = std::tmpfile();
    std::FILE *err = std::tmpfile();
    QVERIFY(out && err);
    Console console(out, err);
    UpdateTool tool(options, ports, &console);
    QSignalSpy finished(&tool, &UpdateTool::finished);
    tool.start();
    QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, 20000);
    const QString printed = contents(out);
    const QString errors = contents(err);
    std::fclose(out);
    std::fclose(err);

    QCOMPARE(finished.at(0).at(0).toInt(), int(STATUS_DEVICE));
    QCOMPARE(free->receivedImage(UNIT_WLAN), package.wlan);
    QCOMPARE(codes_received(*held), QList<int>());
    const QString reason = "The port is in use by minicom (process 4242): nothing was sent.";
    QVERIFY2(printed.contains(QRegularExpression("\\n" + QRegularExpression::escape(held->slavePath())
                                                 + " +- +- +- +failed +0\\.0 s  " + QRegularExpression::escape(reason)
                                                 + "\\n")),
             qPrintable(printed));
    QVERIFY2(!printed.contains("ttyS0") && !errors.contains("ttyS0"), qPrintable(printed + errors));
    QCOMPARE(printed.split('\n', Qt::SkipEmptyParts).last(), QString("1 updated, 0 refused, 1 failed"));
    QCOMPARE(errors, QCoreApplication::applicationName() + ": " + held->slavePath() + ": " + reason + "\n");
}

void UpdateFleetTest::live_block_in_a_small_terminal()
{
    QTemporaryDir dir;
    const QString zip = dir.filePath("package.zip");
    Package package;
    package.wlan = pattern(2500, 1);
    QVERIFY(package.write(dir, zip));

    // Eight devices, the fourth with a WLAN version newer than the package's,
    // on a terminal of six rows.
    std::vector<std::unique_ptr<sim::Device>> devices;
    QString command = "TMPDIR=" + quoted(dir.filePath("tool-tmp")) + " " + quoted(update_tool_binary());
    QDir().mkpath(dir.filePath("tool-tmp"));
    for (int i = 0; i < 8; ++i) {
        sim::DeviceOptions options = txu_device();
        options.ackDelayMs = 50;
        if (i == 3)
            options.wlanVersion = 1700;
        devices.push_back(start_device(options));
        command += " --port " + quoted(devices.back()->slavePath());
    }
    command += " " + quoted(zip) + "; echo STATUS=$?; sleep 600";
    Terminal terminal;
    QVERIFY2(terminal.start(command, 80, 6), "tmux is needed for this test");

    // Every look at the screen: no device has two lines, no line was wrapped
    // by the terminal, and while the devices run, the block leaves a row free.
    int columns = 80, rows = 6;
    bool counted_rest = false, resized = false, settled = true;
    QString problem;
    auto look = [&] {
        const QStringList lines = terminal.screen();
        const bool done = lines.join('\n').contains("STATUS=");
        if (!resized && lines.join('\n').contains("... and ")) {
            counted_rest = true;
            // The block has never scrolled: no line of it went above the screen.
            const QStringList history = terminal.screen(true);
            for (const auto &device : devices) {
                if (history.filter(device->slavePath() + " ").size() > 1 && problem.isEmpty())
                    problem = "the block scrolled\n" + history.join('\n');
            }
            // Then narrower and lower.
            terminal.tmux({"resize-window", "-t", "tvc", "-x", "50", "-y", "4"});
            columns = 50;
            rows = 4;
            resized = true;
            settled = false;
            return false;
        }
        QString fault;
        for (const auto &device : devices) {
            if (lines.filter(device->slavePath() + " ").size() > 1)
                fault = "two lines for " + device->slavePath();
        }
        for (const QString &line : lines) {
            if (line.size() >= columns)
                fault = "a line wider than the terminal: " + line;
        }
        if (!done && lines.size() > rows - 1)
            fault = "the block fills the terminal";
        // Right after the resize the terminal shows the old block rewrapped,
        // until the tool has learnt of the new size and drawn the block for
        // it: two devices and a line for the six others.
        if (!settled) {
            settled = lines.join('\n').contains("... and 6 more: ");
            if (!settled)
                return false;
        }
        if (!fault.isEmpty() && problem.isEmpty())
            problem = fault + "\n" + lines.join('\n');
        return done;
    };
    QVERIFY(QTest::qWaitFor(look, 30000));
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
    QVERIFY(counted_rest);
    QVERIFY(settled);

    // Each device's outcome is printed once, in the summary, a refusal with
    // its reason in full.
    const QStringList history = terminal.screen(true);
    const QString all = history.join(' ').simplified();
    QVERIFY2(history.contains("STATUS=1"), qPrintable(history.join('\n')));
    QVERIFY2(history.contains("7 updated, 1 refused, 0 failed"), qPrintable(history.join('\n')));
    for (int i = 0; i < 8; ++i) {
        const QString summary = devices[size_t(i)]->slavePath()
            + (i == 3 ? " TXU WLAN 1700 -> 1700 DSP 3.12 -> 3.12 refused" : " TXU WLAN 1650 -> 1660 DSP 3.12 -> 3.12 updated");
        QVERIFY2(all.count(summary) == 1, qPrintable(summary + "\n" + history.join('\n')));
    }
    const QString reason = "The package does not fit the device (device WLAN 1700, DSP 3.12; package WLAN 1660, DSP "
                           "3.12): the device's WLAN is newer than the package's and outside 1600 to 1699; nothing "
                           "was sent.";
    QVERIFY2(all.count(reason) == 1, qPrintable(history.join('\n')));
    for (int i = 0; i < 8; ++i)
        QCOMPARE(devices[size_t(i)]->firmwareDataFrames() > 0, i != 3);
}

QTEST_GUILESS_MAIN(UpdateFleetTest)
#include "test_update_fleet.moc"

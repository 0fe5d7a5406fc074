// tvc-update end to end: the command against the simulated device on a
// pseudo-terminal, its output and its exit status.

#include "frame.h"
#include "test_support.h"
#include "zip_writer.h"

#include <QCryptographicHash>

#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace {

// Runs tvc-update on the device's port; `device` answers meanwhile. Its
// process id goes to *pid while it runs.
ToolRun run_tool(const sim::Device &device, QStringList arguments, qint64 *pid = nullptr)
{
    return run_update_tool({&device}, arguments, pid);
}

const QList<int> QUERIES = {CMD_DEVICE_TYPE, CMD_VERSION, CMD_VERSION};

// Whether the process `pid` has a handler for the signal `sig`.
bool catches(qint64 pid, int sig)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return false;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("SigCgt:"))
            return (line.mid(7).trimmed().toULongLong(nullptr, 16) >> (sig - 1)) & 1;
    }
    return false;
}

} // namespace

class UpdateToolTest : public QObject
{
    Q_OBJECT

private slots:
    void updates_and_checks_data();
    void updates_and_checks();
    void failures_data();
    void failures();
    void update_outlives_its_output_data();
    void update_outlives_its_output();
    void interrupt_while_the_package_is_read();
    void package_name_taken_literally_and_large_extras_passed_over();
    void damaged_acknowledgements_data();
    void damaged_acknowledgements();
};

void UpdateToolTest::updates_and_checks_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("last_line");
    QTest::newRow("update") << "update" << "Firmware update completed successfully.";
    QTest::newRow("--check") << "check" << "The package fits the device.";
    // A user's editor started fw.txt with a byte-order mark: the package's
    // name is read without it.
    QTest::newRow("--check, fw.txt with a byte-order mark") << "mark" << "The package fits the device.";
    QTest::newRow("--raw, unit by option") << "raw" << "Firmware update completed successfully.";
    // A user's device answered in two pieces, 64 and 48 bytes, 45 ms apart:
    // the first answer was lost and the update failed (tvc-sim --split 64
    // --split-pause 45, tvc-update --timeout 8).
    QTest::newRow("replies paused inside") << "paused" << "Firmware update completed successfully.";
}

void UpdateToolTest::updates_and_checks()
{
    QFETCH(QString, mode);
    QFETCH(QString, last_line);

    QTemporaryDir dir;
    const QString zip = dir.filePath("package.zip");
    Package package;
    package.wlan = pattern(2500, 1);
    if (mode == "mark")
        package.manifest.prepend("\xEF\xBB\xBF");
    QVERIFY(package.write(dir, zip));
    QStringList arguments = {zip};
    if (mode == "check" || mode == "mark")
        arguments.prepend("--check");
    if (mode == "raw")
        arguments = QStringList({"--raw", dir.filePath("staging-package/wlan.bin"), "--unit", "dsp"});
    sim::DeviceOptions options = txu_device();
    if (mode == "paused") {
        options.splitSize = 64;
        options.splitPauseMs = 45;
        arguments = QStringList({"--timeout", "8"}) + arguments;
    }

    const std::unique_ptr<sim::Device> device = start_device(options);
    const ToolRun run = run_tool(*device, arguments);
    QVERIFY2(run.status == 0, qPrintable(run.err));
    QCOMPARE(run.err, QString());
    QCOMPARE(run.left_behind, QStringList());
    const QStringList lines = run.out.split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.last(), last_line);

    if (mode == "update" || mode == "paused") {
        QCOMPARE(device->receivedImage(UNIT_WLAN), package.wlan);
        QCOMPARE(device->receivedImage(UNIT_DSP), package.txu);
        QCOMPARE(device->violations(), QStringList());
        // Not a terminal: a line per step and every 10 %.
        QVERIFY(lines.contains("Device: TXU, WLAN 1650, DSP 3.12"));
        QVERIFY(lines.contains("Package \"Test package\": WLAN 1660, DSP 3.12"));
        QCOMPARE(lines.filter(QRegularExpression("^WLAN \\d+% ")).size(), 10);
    } else if (mode == "check" || mode == "mark") {
        QCOMPARE(codes_received(*device), QUERIES);
        QVERIFY2(lines.contains("Package \"Test package\": WLAN 1660, DSP 3.12"), qPrintable(run.out));
        // Each image's size and SHA-256, for comparison with a published list.
        for (const auto &[file, bytes] : {std::pair<QString, QByteArray>{"wlan.bin", package.wlan},
                                          {"txu.ldr", package.txu}, {"rxu.ldr", package.rxu}}) {
            const QString line = QStringLiteral("%1: %2 bytes, SHA-256 %3")
                                     .arg(file)
                                     .arg(bytes.size())
                                     .arg(QString::fromLatin1(
                                         QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex()));
            QVERIFY2(lines.contains(line), qPrintable(run.out));
        }
    } else {
        QCOMPARE(device->receivedImage(UNIT_DSP), package.wlan);
        QCOMPARE(received_with_code(*device, CMD_FW_FINISH).size(), 1);
    }
}

void UpdateToolTest::failures_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("data_frames");

    // A refusal says which side is newer.
    QTest::newRow("refused") << "refused" << 1
                             << "does not fit the device (device WLAN 1700, DSP 3.12; package WLAN 1660, DSP 3.12): "
                                "the device's WLAN is newer than the package's and outside 1600 to 1699; nothing "
                                "was sent."
                             << 0;
    QTest::newRow("port cannot be used") << "no port" << 3
                                         << "Cannot use the serial port /dev/tvc-no-such-port (No such file or "
                                            "directory): nothing was sent."
                                         << 0;
    QTest::newRow("not a zip") << "not a zip" << 2 << "cannot be used: package.zip is not a zip archive." << 0;
    QTest::newRow("DSP image missing")
        << "no txu.ldr" << 2 << ": The package package.zip has no txu.ldr (nothing was sent).\n" << 0;
    // What the package lacks is its fault (2), named as such; a manifest
    // without its four lines is no version that the device refuses (1).
    QTest::newRow("WLAN image missing")
        << "no wlan.bin" << 2 << "tvc-update: The package package.zip has no wlan.bin.\n" << 0;
    QTest::newRow("fw.txt missing") << "no fw.txt" << 2 << "tvc-update: The package package.zip has no fw.txt.\n" << 0;
    QTest::newRow("fw.txt empty")
        << "empty fw.txt" << 2 << "tvc-update: fw.txt in the package package.zip is empty.\n" << 0;
    QTest::newRow("fw.txt of three lines")
        << "3 lines" << 2 << "fw.txt in the package package.zip has 3 of its four lines" << 0;
    QTest::newRow("fw.txt in UTF-16") << "UTF-16" << 2 << "fw.txt in the package package.zip is saved as UTF-16" << 0;
    // Labels of another length: line 2 reads ON=1660 after its label, which
    // is no version the device could refuse.
    QTest::newRow("fw.txt with VERSION= labels")
        << "shifted labels" << 2
        << "tvc-update: The package package.zip cannot be used: line 2 of fw.txt reads ON=1660: the WLAN version "
           "after its 5-byte label must be a number.\n"
        << 0;
    QTest::newRow("cable pulled") << "hang up" << 3 << "Connection to the device lost" << 3;
    QTest::newRow("silent device") << "silent" << 3 << "has not answered for 1 second: the update is not complete"
                                   << 1;
    QTest::newRow("SIGINT mid-transfer") << "SIGINT" << 130 << "Interrupted: the update is not complete." << 5;
    // The fifth acknowledgement's sequence number flipped on the line (tvc-sim
    // --fault-code 92 --flip-every 5 --fault-byte 8): the device waits for a
    // chunk the tool cannot tell, and the tool says so at once, not after
    // the give-up time (30 s, as long as the test waits for the tool).
    QTest::newRow("acknowledgement damaged")
        << "damaged" << 3
        << "The device's answer to chunk 5 of 13 of the WLAN image came damaged: the update is not complete. "
           "The update can be started again."
        << 5;
}

void UpdateToolTest::failures()
{
    QFETCH(QString, kind);
    QFETCH(int, status);
    QFETCH(QString, message);
    QFETCH(int, data_frames);

    QTemporaryDir dir;
    const QString zip = dir.filePath("package.zip");
    Package package;
    package.with_txu = kind != "no txu.ldr";
    package.with_wlan = kind != "no wlan.bin";
    package.with_manifest = kind != "no fw.txt";
    const QHash<QString, QByteArray> manifests = {{"empty fw.txt", ""},
                                                  {"3 lines", "PACKAGE:P\r\nWLAN:1660\r\nTXU:3.12\r\n"},
                                                  {"UTF-16", QByteArray("\xFF\xFEP\0\n\0", 6)},
                                                  {"shifted labels", "PACKAGE=P\nVERSION=1660\nTXU=3.12\nRXU=3.12\n"}};
    package.manifest = manifests.value(kind, package.manifest);
    QVERIFY(package.write(dir, zip));
    if (kind == "not a zip")
        QVERIFY(QFile::resize(zip, 100));

    sim::DeviceOptions options = txu_device();
    if (kind == "refused")
        options.wlanVersion = 1700;
    if (kind == "hang up")
        options.hangUpAt = 3;
    if (kind == "silent")
        options.ackDelayMs = 3000;
    if (kind == "SIGINT")
        options.ackDelayMs = 500;
    if (kind == "damaged") {
        options.faultCode = RPL_FW_ACK;
        options.flipEvery = 5;
        options.faultByte = 8;
    }
    const std::unique_ptr<sim::Device> device = start_device(options);

    QStringList arguments = {zip};
    if (kind == "silent")
        arguments = QStringList({"--timeout", "1"}) + arguments;
    // The signal goes out as the device takes the fifth chunk; its
    // acknowledgement is held long enough to come after it.
    qint64 pid = 0;
    QObject context;
    connect(device.get(), &sim::Device::frameReceived, &context, [&](const QByteArray &frame) {
        if (kind == "SIGINT" && frame_code(frame) == CMD_FW_DATA && device->firmwareDataFrames() == 4 && pid > 0)
            ::kill(pid_t(pid), SIGINT);
    });
    const ToolRun run = kind == "no port" ? run_update_tool({}, QStringList({"--port", "/dev/tvc-no-such-port"}) + arguments)
                                          : run_tool(*device, arguments, &pid);
    QCOMPARE(run.status, status);
    QVERIFY2(run.err.contains(message), qPrintable(run.err));
    QCOMPARE(run.err.count('\n'), 1);  // one sentence, one line
    QCOMPARE(run.left_behind, QStringList());
    QCOMPARE(device->firmwareDataFrames(), data_frames);

    // A package that cannot serve any device is refused before one is asked;
    // once the port is open, the sentence names it.
    const bool unusable = status == 2 && kind != "no txu.ldr";
    if (unusable)
        QCOMPARE(codes_received(*device), QList<int>());
    else if (kind != "no port")
        QVERIFY2(run.err.startsWith("tvc-update: " + device->slavePath() + ": "), qPrintable(run.err));
    if (data_frames == 0 && !unusable && kind != "no port")
        QCOMPARE(codes_received(*device), QUERIES);
}

void UpdateToolTest::update_outlives_its_output_data()
{
    QTest::addColumn<QString>("how");
    // The reader of a pipe that goes after the first line, as `| head -1`.
    QTest::newRow("closed pipe") << "head";
    // A hangup while standard output is a pipe.
    QTest::newRow("SIGHUP") << "SIGHUP";
    // A terminal that goes mid-transfer: its lines fail and the hangup comes.
    QTest::newRow("terminal closed") << "terminal";
}

void UpdateToolTest::update_outlives_its_output()
{
    QFETCH(QString, how);

    QTemporaryDir dir;
    const QString zip = dir.filePath("package.zip");
    Package package;
    package.wlan = pattern(3000, 1);
    QVERIFY(package.write(dir, zip));
    sim::DeviceOptions options = txu_device();
    options.ackDelayMs = 10;
    const std::unique_ptr<sim::Device> device = start_device(options);

    // A terminal for the tool's output, whose other side the test holds.
    int terminal = -1;
    if (how == "terminal") {
        terminal = ::posix_openpt(O_RDWR | O_NOCTTY);
        QVERIFY(terminal >= 0 && ::grantpt(terminal) == 0 && ::unlockpt(terminal) == 0);
    }
    auto to_terminal = [&](QProcess &tool) {
        if (terminal < 0)
            return;
        tool.setStandardOutputFile(QString::fromLocal8Bit(::ptsname(terminal)));
        tool.setStandardErrorFile(QString::fromLocal8Bit(::ptsname(terminal)));
    };
    // Mid-transfer, as the device takes its fifth chunk.
    qint64 pid = 0;
    QObject context;
    connect(device.get(), &sim::Device::frameReceived, &context, [&](const QByteArray &frame) {
        if (frame_code(frame) != CMD_FW_DATA || device->firmwareDataFrames() != 4 || pid <= 0)
            return;
        if (terminal >= 0) {
            ::close(terminal);
            terminal = -1;
        }
        if (how != "head")
            ::kill(pid_t(pid), SIGHUP);
    });

    const ToolRun run = how == "head"
        ? run_program("bash", {"-c", "\"$0\" --port \"$1\" \"$2\" | head -1; exit ${PIPESTATUS[0]}",
                               update_tool_binary(), device->slavePath(), zip})
        : run_program(update_tool_binary(), {"--port", device->slavePath(), zip}, &pid, to_terminal);
    if (terminal >= 0)
        ::close(terminal);
    QVERIFY2(run.status == 0, qPrintable(QString::number(run.status) + run.err));
    QCOMPARE(run.left_behind, QStringList());
    QCOMPARE(device->receivedImage(UNIT_WLAN), package.wlan);
    QCOMPARE(device->receivedImage(UNIT_DSP), package.txu);
    QCOMPARE(device->violations(), QStringList());
    if (how == "head")
        QCOMPARE(run.out, "Device port: " + device->slavePath() + "\n");
    else if (how == "SIGHUP")
        QCOMPARE(run.out.split('\n', Qt::SkipEmptyParts).last(), QString("Firmware update completed successfully."));
}

void UpdateToolTest::interrupt_while_the_package_is_read()
{
    // A package that takes a while to read: three images of the largest size
    // that do not compress.
    QTemporaryDir dir;
    const QString zip = dir.filePath("package.zip");
    Package package;
    QRandomGenerator random(16);
    for (QByteArray *image : {&package.wlan, &package.txu, &package.rxu}) {
        image->resize(6553600);
        random.fillRange(reinterpret_cast<quint32 *>(image->data()), image->size() / 4);
    }
    QVERIFY(package.write(dir, zip));
    const std::unique_ptr<sim::Device> device = start_device(txu_device());

    // Ctrl+C again and again, each a millisecond after the last, from the
    // moment the tool catches it (as the system tells), so that one comes
    // while it reads.
    qint64 pid = 0;
    QTimer again;
    again.setInterval(1);
    QObject::connect(&again, &QTimer::timeout, [&pid] {
        if (pid > 0 && catches(pid, SIGINT))
            ::kill(pid_t(pid), SIGINT);
    });
    again.start();
    const ToolRun run = run_program(update_tool_binary(), {"--port", device->slavePath(), zip}, &pid);
    again.stop();
    QVERIFY2(run.status == 130, qPrintable(QString::number(run.status) + ": " + run.err));
    QCOMPARE(run.err, QString("tvc-update: Interrupted while the package was read: nothing was sent.\n"));
    QCOMPARE(run.left_behind, QStringList());
    // The device was never touched.
    QCOMPARE(codes_received(*device), QList<int>());
}

void UpdateToolTest::package_name_taken_literally_and_large_extras_passed_over()
{
    // The chosen package holds an extra entry of 400 MB; the files beside it,
    // which a pattern would match, hold a package that would be refused.
    QTemporaryDir dir;
    const Package files;
    QList<ZipEntry> entries;
    ZipEntry recording;
    recording.name = "extras/recording.wav";
    recording.zeros = 400LL << 20;
    entries << recording << zip_entry("fw.txt", "PACKAGE:Chosen\nWLAN:1660\nTXU:3.12\nRXU:4.5\n")
            << zip_entry("wlan.bin", files.wlan) << zip_entry("txu.ldr", files.txu) << zip_entry("rxu.ldr", files.rxu);
    const QString chosen = write_file(dir, "pkg [v2] *?.zip", zip_archive(entries));
    entries[1] = zip_entry("fw.txt", "PACKAGE:Neighbour\nWLAN:1500\nTXU:3.12\nRXU:4.5\n");
    for (const char *name : {"pkg 2 x.zip", "pkg v ab.zip", "pkg [v2] .zip"})
        write_file(dir, name, zip_archive(entries));

    const std::unique_ptr<sim::Device> device = start_device(txu_device());
    const ToolRun run = run_tool(*device, {"--check", chosen});
    QVERIFY2(run.status == 0, qPrintable(run.err));
    QVERIFY2(run.out.contains("Package \"Chosen\": WLAN 1660, DSP 3.12"), qPrintable(run.out));
    QCOMPARE(run.left_behind, QStringList());
    QCOMPARE(codes_received(*device), QUERIES);
}

void UpdateToolTest::damaged_acknowledgements_data()
{
    QTest::addColumn<QString>("damage");
    QTest::addColumn<bool>("reports");  // signal reports every 10 ms through the whole update
    for (const auto &fault : acknowledgement_faults())
        QTest::newRow(qPrintable(fault.first)) << fault.second << false;
    QTest::newRow("padding byte of an acknowledgement lost, reports streaming") << "drop 100" << true;
    QTest::newRow("stray byte after an acknowledgement, reports streaming") << "stray 7" << true;
}

void UpdateToolTest::damaged_acknowledgements()
{
    QFETCH(QString, damage);
    QFETCH(bool, reports);

    QTemporaryDir dir;
    const QString zip = dir.filePath("package.zip");
    Package package;
    QVERIFY(package.write(dir, zip));
    sim::DeviceOptions options = txu_device();
    options.reportPeriodMs = 10;
    const std::unique_ptr<sim::Device> device = start_device(options);
    if (reports)
        device->setReportMode(1);
    // The acknowledgement of the fifth WLAN chunk and that of the last DSP chunk.
    QObject context;
    connect(device.get(), &sim::Device::frameReceived, &context, [&](const QByteArray &frame) {
        if (frame_code(frame) == CMD_FW_DATA && (device->firmwareDataFrames() == 4 || quint8(frame.at(8)) == 0xFF))
            device->runCommand(damage);
    });
    // A give-up time shorter than the test's own patience: an update stuck
    // on a damaged acknowledgement ends in time to be seen.
    const ToolRun run = run_tool(*device, {"--timeout", "10", zip});
    QVERIFY2(run.status == 0, qPrintable(run.err));
    QCOMPARE(device->receivedImage(UNIT_WLAN), package.wlan);
    QCOMPARE(device->receivedImage(UNIT_DSP), package.txu);
    QCOMPARE(device->violations(), QStringList());
    QCOMPARE(run.left_behind, QStringList());
}

QTEST_GUILESS_MAIN(UpdateToolTest)
#include "test_update_tool.moc"

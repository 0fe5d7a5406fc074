// tvc-update and what it writes to: output that takes nothing for a while,
// terminals of unusual sizes, characters wider than one column, and the
// signals it is sent.

#include "block_printer.h"
#include "console.h"
#include "fleet_report.h"
#include "frame.h"
#include "signal_watch.h"
#include "terminal_text.h"
#include "test_support.h"

#include <QProcess>
#include <QSocketNotifier>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace {

// What is written to the non-blocking descriptor `fd`, collected while the
// event loop runs, from start() on.
struct Collector
{
    void start()
    {
        if (notifier)
            return;
        notifier = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
        QObject::connect(notifier.get(), &QSocketNotifier::activated, [this] { collect(); });
        collect();
    }
    void collect()
    {
        char buf[4096];
        ssize_t n;
        while ((n = ::read(fd, buf, sizeof buf)) > 0)
            written.append(buf, int(n));
    }

    int fd = -1;
    QByteArray written;
    std::unique_ptr<QSocketNotifier> notifier;
};

// A pseudo-terminal for the tool's output whose other side the test holds and
// reads: it tells the size it is given (0: none), and pauses and resumes as
// Ctrl+S and Ctrl+Q do. Raw: the bytes as written, no "\r" before "\n".
struct Terminal
{
    Terminal(int columns, int rows, bool raw)
    {
        tty.fd = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (tty.fd < 0 || ::grantpt(tty.fd) != 0 || ::unlockpt(tty.fd) != 0)
            return;
        path = QString::fromLocal8Bit(::ptsname(tty.fd));
        // Held, so that what the tool wrote can be read after it has ended.
        slave = ::open(::ptsname(tty.fd), O_RDWR | O_NOCTTY);
        const winsize size = {static_cast<unsigned short>(rows), static_cast<unsigned short>(columns), 0, 0};
        termios modes = {};
        if (slave < 0 || ::ioctl(slave, TIOCSWINSZ, &size) != 0 || ::tcgetattr(slave, &modes) != 0)
            return;
        if (raw)
            modes.c_oflag &= ~tcflag_t(OPOST);
        modes.c_iflag |= IXON;
        ready = ::tcsetattr(slave, TCSANOW, &modes) == 0;
        tty.start();
    }
    ~Terminal()
    {
        tty.notifier.reset();
        ::close(slave);
        ::close(tty.fd);
    }
    bool pause() const { return ::write(tty.fd, "\x13", 1) == 1; }
    bool resume() const { return ::write(tty.fd, "\x11", 1) == 1; }
    // Standard output and standard error of a process to come go here.
    void take(QProcess &process) const
    {
        process.setStandardOutputFile(path);
        process.setStandardErrorFile(path);
    }

    Collector tty;
    int slave = -1;
    QString path;
    bool ready = false;
};

// A named pipe that holds one page (a few dozen lines) and is not read until
// the test starts to.
struct SlowPipe
{
    explicit SlowPipe(const QTemporaryDir &dir)
        : path(dir.filePath("pipe"))
    {
        if (::mkfifo(QFile::encodeName(path).constData(), 0600) == 0)
            pipe.fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK);
        ready = pipe.fd >= 0 && ::fcntl(pipe.fd, F_SETPIPE_SZ, 4096) > 0;
    }
    ~SlowPipe()
    {
        pipe.notifier.reset();
        ::close(pipe.fd);
    }

    QString path;
    Collector pipe;
    bool ready = false;
};

// The longest time, in ms, between two chunks of the firmware a device took.
double longest_gap_ms(const sim::Device &device)
{
    qint64 last = 0, longest = 0;
    for (const sim::ReceivedFrame &frame : device.received()) {
        if (frame_code(frame.bytes) != CMD_FW_DATA)
            continue;
        if (last > 0)
            longest = std::max(longest, frame.at_ns - last);
        last = frame.at_ns;
    }
    return double(longest) / 1e6;
}

QStringList tool_arguments(const std::vector<std::unique_ptr<sim::Device>> &devices, const QString &zip)
{
    QStringList arguments;
    for (const auto &device : devices)
        arguments << "--port" << device->slavePath();
    return arguments << zip;
}

// The lines written to a terminal, without the codes that move the cursor
// and clear the screen.
QStringList plain_lines(const QByteArray &bytes)
{
    QString text = QString::fromUtf8(bytes);
    text.remove(QRegularExpression("\033\\[[0-9;]*[A-Za-z]|\r"));
    return text.split('\n', Qt::SkipEmptyParts);
}

} // namespace

class UpdateTerminalTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void update_outruns_output_that_takes_nothing_data();
    void update_outruns_output_that_takes_nothing();
    void terminal_of_unknown_or_tiny_size_data();
    void terminal_of_unknown_or_tiny_size();
    void widths_are_terminal_columns();
    void live_block_counts_wide_rows();
    void wide_port_names_fit_the_terminal();
    void interrupt_survives_a_storm_of_resizes();
    void ignored_interrupt_stays_ignored_data();
    void ignored_interrupt_stays_ignored();
};

void UpdateTerminalTest::initTestCase()
{
    // Widths are those of a UTF-8 locale, whatever the test runs in.
    QVERIFY(std::setlocale(LC_CTYPE, "C.UTF-8"));
}

void UpdateTerminalTest::update_outruns_output_that_takes_nothing_data()
{
    QTest::addColumn<QString>("output");
    QTest::addColumn<int>("devices");
    // Ctrl+S on the terminal (or an ssh session over a dead network): the
    // live block of several devices, the progress line of one.
    QTest::newRow("paused terminal, six devices") << "terminal" << 6;
    QTest::newRow("paused terminal, one device") << "terminal" << 1;
    // A pipe whose reader does not read (a pager waiting for a key).
    QTest::newRow("pipe nobody reads, six devices") << "pipe" << 6;
}

void UpdateTerminalTest::update_outruns_output_that_takes_nothing()
{
    QFETCH(QString, output);
    QFETCH(int, devices);

    QTemporaryDir dir;
    const QString zip = dir.filePath("package.zip");
    Package package;
    package.wlan = pattern(20000, 1);
    package.txu = pattern(5000, 2);
    QVERIFY(package.write(dir, zip));
    std::vector<std::unique_ptr<sim::Device>> sims;
    for (int i = 0; i < devices; ++i)
        sims.push_back(start_device(txu_device()));

    Terminal terminal(80, 24, false);
    SlowPipe pipe(dir);
    QVERIFY(terminal.ready && pipe.ready);
    if (output == "terminal")
        QVERIFY(terminal.pause());

    // The output takes nothing until every device has had all of its firmware.
    QObject context;
    for (const auto &device : sims) {
        connect(device.get(), &sim::Device::frameReceived, &context, [&] {
            if (!std::all_of(sims.begin(), sims.end(),
                             [](const auto &d) { return !received_with_code(*d, CMD_FW_FINISH).isEmpty(); }))
                return;
            if (output == "terminal")
                terminal.resume();
            else
                pipe.pipe.start();
        });
    }
    // Run by a shell that shares its standard output with the tool and
    // notes, afterwards, the flags it finds there.
    const QString flags = dir.filePath("flags");
    const QString script = "\"$0\" \"$@\"; status=$?; grep '^flags:' /proc/$$/fdinfo/1 > '" + flags + "'; exit $status";
    const ToolRun run = run_program("bash", QStringList({"-c", script, update_tool_binary()}) + tool_arguments(sims, zip),
                                    nullptr, [&](QProcess &tool) {
                                        if (output == "terminal")
                                            terminal.take(tool);
                                        else
                                            tool.setStandardOutputFile(pipe.path);
                                    });
    QVERIFY2(run.status == 0, qPrintable(QString::number(run.status) + run.err));
    // The shell's descriptor is as it was: blocking.
    QFile noted(flags);
    QVERIFY(noted.open(QIODevice::ReadOnly));
    const QByteArray flag_line = noted.readAll().simplified();
    QVERIFY2(flag_line.startsWith("flags: ") && (flag_line.mid(7).toInt(nullptr, 8) & O_NONBLOCK) == 0,
             flag_line.constData());
    const QByteArray &written = output == "terminal" ? terminal.tty.written : pipe.pipe.written;
    QTRY_VERIFY2(written.endsWith('\n'), written.constData());
    for (const auto &device : sims) {
        QCOMPARE(device->receivedImage(UNIT_WLAN), package.wlan);
        QCOMPARE(device->receivedImage(UNIT_DSP), package.txu);
        // At full speed: no chunk waited for the output.
        QVERIFY2(longest_gap_ms(*device) < 2000, qPrintable(QString::number(longest_gap_ms(*device))));
    }
    // What must get out got out once the output took it again: every
    // device's outcome and the count.
    const QStringList lines = plain_lines(written);
    if (devices == 1) {
        QCOMPARE(lines.last(), QString("Firmware update completed successfully."));
    } else {
        QCOMPARE(lines.last(), QString("6 updated, 0 refused, 0 failed"));
        for (const auto &device : sims)
            QVERIFY2(lines.indexOf(QRegularExpression(QRegularExpression::escape(device->slavePath())
                                                      + " +TXU +WLAN 1650 -> 1660 +DSP 3.12 -> 3.12 +updated .*"))
                         >= 0,
                     written.constData());
    }
    if (output == "pipe") {
        for (const auto &device : sims)
            QVERIFY(lines.contains(device->slavePath() + ": Firmware update completed successfully."));
    }
}

void UpdateTerminalTest::terminal_of_unknown_or_tiny_size_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("devices");
    // `stty rows 0 cols 0`, a serial console: the size is not known.
    QTest::newRow("size not known, three devices") << 0 << 3;
    QTest::newRow("size not known, one device") << 0 << 1;
    // A terminal multiplexer's pane of one or two rows.
    QTest::newRow("one row, three devices") << 1 << 3;
    QTest::newRow("two rows, three devices") << 2 << 3;
}

void UpdateTerminalTest::terminal_of_unknown_or_tiny_size()
{
    QFETCH(int, rows);
    QFETCH(int, devices);

    QTemporaryDir dir;
    const QString zip = dir.filePath("package.zip");
    Package package;
    package.wlan = pattern(5000, 1);
    QVERIFY(package.write(dir, zip));
    std::vector<std::unique_ptr<sim::Device>> sims;
    for (int i = 0; i < devices; ++i) {
        sim::DeviceOptions options = txu_device();
        options.ackDelayMs = 5;
        sims.push_back(start_device(options));
    }
    Terminal terminal(rows == 0 ? 0 : 80, rows, true);
    QVERIFY(terminal.ready);
    const ToolRun run = run_program(update_tool_binary(), tool_arguments(sims, zip), nullptr,
                                    [&](QProcess &tool) { terminal.take(tool); });
    QVERIFY2(run.status == 0, qPrintable(QString::number(run.status) + run.err));
    QTRY_VERIFY2(terminal.tty.written.endsWith('\n'), terminal.tty.written.constData());
    const QString written = QString::fromUtf8(terminal.tty.written);

    if (rows == 0) {
        // The lines of a log: nothing rewritten in place, nothing that
        // would move the cursor on a terminal of unknown width.
        QVERIFY2(!written.contains('\033') && !written.contains('\r'), qPrintable(written));
        const QString first = devices == 1 ? "" : sims[0]->slavePath() + ": ";
        QVERIFY2(written.contains(first + "WLAN 100% (5000 of 5000 bytes"), qPrintable(written));
        return;
    }
    // One line, rewritten without a line feed (which would scroll the
    // terminal at every redraw), until the summary takes its place.
    const int summary =
        written.indexOf(QRegularExpression(QRegularExpression::escape(sims[0]->slavePath()) + " +TXU +WLAN 1650 -> 1660"));
    QVERIFY2(summary > 0, qPrintable(written));
    QVERIFY2(!written.left(summary).contains('\n'), qPrintable(written));
    QVERIFY2(!written.contains(QRegularExpression("\033\\[\\d+A")), qPrintable(written));
    QVERIFY2(written.endsWith("\n3 updated, 0 refused, 0 failed\n"), qPrintable(written));
}

void UpdateTerminalTest::widths_are_terminal_columns()
{
    // "装置" (device) takes four columns; "é" made of "e" and a combining
    // accent takes one; a character beyond 16 bits two.
    const QString device = QString::fromUtf8("装置");
    const QString accented = QString::fromUtf8("e\xcc\x81");
    QCOMPARE(display_width(device), 4);
    QCOMPARE(display_width(accented + accented), 2);
    QCOMPARE(display_width(QString::fromUtf8("\xf0\x9f\x98\x80")), 2);

    // Cut to columns, at a word where there is one, never inside a character
    // or between a letter and its accent.
    const QString wide = device.repeated(3) + " " + device;  // 9 characters, 18 columns
    QCOMPARE(fit_text(wide, 12), device.repeated(2) + "...");
    QCOMPARE(fit_text(device.repeated(3), 5), QString::fromUtf8("装..."));
    QCOMPARE(fit_text(accented.repeated(6) + " x", 4), accented + "...");
    QCOMPARE(fit_text(wide, 3), QString::fromUtf8("装"));
    QCOMPARE(left_columns(device, 3), QString::fromUtf8("装"));

    // Wrapped at words to columns; a word wider than the line goes in
    // pieces; a character wider than the line itself goes alone.
    const QString reason = QString::fromUtf8("装置 が 応答 しません 装置装置装置装置装置 (ttyUSB0)");
    for (int width : {6, 9, 14}) {
        const QStringList lines = wrap_words(reason, width, width);
        for (const QString &line : lines)
            QVERIFY2(display_width(line) <= width, qPrintable(QString::number(width) + ": " + line));
        QCOMPARE(lines.join("").remove(' '), QString(reason).remove(' '));
    }
    QCOMPARE(wrap_words(device, 1, 1), QStringList({QString::fromUtf8("装"), QString::fromUtf8("置")}));

    // A port of wide characters: the live lines and the summary keep their
    // columns aligned and within the terminal.
    DeviceRecord a;
    a.port = device + "0";
    a.type = "TXU";
    a.stage = DeviceStage::Sending;
    a.unit = UNIT_WLAN;
    a.done = 500;
    a.total = 1000;
    a.status = STATUS_DEVICE;
    a.reason = QString::fromUtf8("装置との接続が失われました: the update is not complete.");
    DeviceRecord b = a;
    b.port = "ttyUSB12";
    b.status = STATUS_UPDATED;
    b.reason.clear();
    const std::vector<DeviceRecord> records = {a, b};
    const QStringList block = block_lines(records, false, 40, 10);
    QCOMPARE(block.size(), 2);
    for (const QString &line : block)
        QVERIFY2(display_width(line) <= 39, qPrintable(line));
    QCOMPARE(display_width(block.at(0).left(block.at(0).indexOf("TXU"))),
             display_width(block.at(1).left(block.at(1).indexOf("TXU"))));
    const QStringList summary = summary_lines(records, false, 50);
    for (const QString &line : summary)
        QVERIFY2(display_width(line) <= 49, qPrintable(line));
    const QStringList rows = summary.filter("failed") + summary.filter("updated");
    QCOMPARE(rows.size(), 2);
    QCOMPARE(display_width(rows.at(0).left(rows.at(0).indexOf("failed"))),
             display_width(rows.at(1).left(rows.at(1).indexOf("updated"))));
}

void UpdateTerminalTest::live_block_counts_wide_rows()
{
    // A line of 30 wide characters, drawn on a terminal of 80 columns, takes
    // 60 columns; made 40 wide, the terminal shows it on two rows, and the
    // cursor goes back up both (and the one of a line of 10).
    std::FILE *file = std::tmpfile();
    QVERIFY(file);
    {
        OutputStream out(::fileno(file));
        LiveBlock block(&out);
        QVERIFY(block.draw({QString::fromUtf8("装").repeated(30), "0123456789"}, 80));
        block.erase(40);
        block.draw({QString::fromUtf8("装").repeated(30)}, 80, true);
        block.erase(40);
    }
    std::rewind(file);
    char buf[4096];
    const size_t n = std::fread(buf, 1, sizeof buf, file);
    std::fclose(file);
    const QString written = QString::fromUtf8(buf, int(n));
    // Erased: three rows up from below the block; then one up from the end
    // of a line drawn without its line feed.
    const QStringList erasures = written.split(QString::fromUtf8("装").repeated(30)).mid(1);
    QCOMPARE(erasures.size(), 2);
    QVERIFY2(erasures.at(0).contains("\033[J\r\033[3A\033[J"), qPrintable(erasures.at(0)));
    QVERIFY2(erasures.at(1).endsWith("\r\033[1A\033[J"), qPrintable(erasures.at(1)));
}

void UpdateTerminalTest::wide_port_names_fit_the_terminal()
{
    QTemporaryDir dir;
    const QString zip = dir.filePath("package.zip");
    Package package;
    package.wlan = pattern(5000, 1);
    QVERIFY(package.write(dir, zip));
    // Three devices whose ports are links named in wide characters, one of
    // them refused (its reason goes into the summary), on a terminal of 40
    // columns, in a UTF-8 locale.
    std::vector<std::unique_ptr<sim::Device>> sims;
    QStringList arguments;
    for (int i = 0; i < 3; ++i) {
        sim::DeviceOptions options = txu_device();
        options.ackDelayMs = 5;
        if (i == 1)
            options.wlanVersion = 1700;
        sims.push_back(start_device(options));
        const QString name = QString::fromUtf8("装置装置装置%1").arg(i);
        QVERIFY(QFile::link(sims.back()->slavePath(), dir.filePath(name)));
        arguments << "--port" << "./" + name;
    }
    Terminal terminal(40, 24, true);
    QVERIFY(terminal.ready);
    const ToolRun run = run_program(update_tool_binary(), arguments << zip, nullptr, [&](QProcess &tool) {
        terminal.take(tool);
        tool.setWorkingDirectory(dir.path());
        QProcessEnvironment environment = tool.processEnvironment();
        environment.insert("LC_ALL", "C.UTF-8");
        tool.setProcessEnvironment(environment);
    });
    QTRY_VERIFY2(terminal.tty.written.endsWith('\n'), terminal.tty.written.constData());
    QVERIFY2(run.status == 1, qPrintable(QString::number(run.status) + QString::fromUtf8(terminal.tty.written)));

    // Every line the tool drew, live or in the summary, fits in 39 columns.
    const QStringList lines = plain_lines(terminal.tty.written);
    for (const QString &line : lines)
        QVERIFY2(display_width(line) <= 39, qPrintable(QString::number(display_width(line)) + ": " + line));
    // The summary's columns go on below, indented, where they do not fit.
    const int refused = lines.indexOf(QString::fromUtf8("./装置装置装置1  TXU  WLAN 1700 -> 1700"));
    QVERIFY2(refused > 0, terminal.tty.written.constData());
    QVERIFY2(lines.at(refused + 1).startsWith("    DSP 3.12 -> 3.12  refused  "), qPrintable(lines.at(refused + 1)));
    QCOMPARE(lines.at(refused + 2), QString("    The package does not fit the device"));
    QCOMPARE(lines.last(), QString("2 updated, 1 refused, 0 failed"));
}

void UpdateTerminalTest::interrupt_survives_a_storm_of_resizes()
{
    // Resizes while the event loop is busy fill the pipe that brings signals
    // into it; a Ctrl+C then is not lost.
    SignalWatch watch;
    QVERIFY(watch.install());
    QSignalSpy interrupted(&watch, &SignalWatch::interrupted);
    QSignalSpy resized(&watch, &SignalWatch::resized);
    for (int i = 0; i < (1 << 17); ++i)
        ::raise(SIGWINCH);
    ::raise(SIGINT);
    QTRY_COMPARE(interrupted.size(), 1);
    QVERIFY(resized.size() >= 1);
    QVERIFY(SignalWatch::interrupt_requested());
    // Told once, and again for the next one.
    QTest::qWait(100);
    QCOMPARE(interrupted.size(), 1);
    ::raise(SIGTERM);
    QTRY_COMPARE(interrupted.size(), 2);
}

void UpdateTerminalTest::ignored_interrupt_stays_ignored_data()
{
    QTest::addColumn<int>("sig");
    QTest::addColumn<int>("status");
    // A background job of a script: Ctrl+C at the terminal is for the
    // script, not for the update it started.
    QTest::newRow("SIGINT") << int(SIGINT) << 0;
    QTest::newRow("SIGTERM") << int(SIGTERM) << 130;
}

void UpdateTerminalTest::ignored_interrupt_stays_ignored()
{
    QFETCH(int, sig);
    QFETCH(int, status);

    QTemporaryDir dir;
    const QString zip = dir.filePath("package.zip");
    Package package;
    package.wlan = pattern(3000, 1);
    QVERIFY(package.write(dir, zip));
    sim::DeviceOptions options = txu_device();
    options.ackDelayMs = 20;
    const std::unique_ptr<sim::Device> device = start_device(options);

    // Mid-transfer, as the device takes its fifth chunk.
    qint64 pid = 0;
    QObject context;
    connect(device.get(), &sim::Device::frameReceived, &context, [&](const QByteArray &frame) {
        if (frame_code(frame) == CMD_FW_DATA && device->firmwareDataFrames() == 5 && pid > 0)
            ::kill(pid_t(pid), sig);
    });
    // Started as a shell starts a script's background job: SIGINT ignored.
    const ToolRun run = run_program("bash", {"-c", "trap '' INT; exec \"$0\" \"$@\"", update_tool_binary(), "--port",
                                             device->slavePath(), zip},
                                    &pid);
    QVERIFY2(run.status == status, qPrintable(QString::number(run.status) + run.err));
    QCOMPARE(run.left_behind, QStringList());
    if (status == 0) {
        QCOMPARE(device->receivedImage(UNIT_WLAN), package.wlan);
        QCOMPARE(device->receivedImage(UNIT_DSP), package.txu);
    } else {
        QVERIFY(device->firmwareDataFrames() < 10);
    }
}

QTEST_GUILESS_MAIN(UpdateTerminalTest)
#include "test_update_terminal.moc"

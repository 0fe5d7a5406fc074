// Firmware transfer over a pseudo-terminal, through both faces of the update:
// the dialog (service mode, one raw image) and tvc-update --raw, each against
// tvc-sim in a separate process.
//
//   bench_transfer [paced bytes] [unpaced bytes]
//
// Paced: tvc-sim --wire-speed holds every frame for its time at 115200 baud,
// in and out, so the figure to watch is how much longer than the wire the
// transfer took. Unpaced: the simulator answers at once, so the figures are
// the program's own turnaround.

#include "bench_support.h"
#include "frame.h"
#include "image_chunks.h"
#include "modal_answerer.h"
#include "status_display.h"
#include "test_support.h"
#include "tvc.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QEventLoop>
#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

namespace {

constexpr double WIRE_BITS_PER_BYTE = 10;
constexpr double BAUD = 115200;
// A chunk's round trip on the wire: its frame out and the acknowledgement back.
constexpr double WIRE_SECONDS_PER_CHUNK = 2 * 112 * WIRE_BITS_PER_BYTE / BAUD;

const QString DONE_LINE = QStringLiteral("Firmware update completed successfully.");

struct Row
{
    QString face;
    bool paced = false;
    qint64 size = 0;
    bool intact = false;
    double seconds = 0;
    double cpu_seconds = 0;
    double peak_mb = 0;
};

qint64 chunks_of(qint64 size)
{
    return qMax<qint64>(1, (size + 99) / 100);
}

bool write_image(const QString &path, qint64 size)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QByteArray block(64 * 1024, '\0');
    quint32 x = 2463534242u;
    for (qint64 done = 0; done < size;) {
        for (int i = 0; i < block.size(); ++i) {
            x ^= x << 13;
            x ^= x >> 17;
            x ^= x << 5;
            block[i] = char(x);
        }
        const qint64 n = qMin<qint64>(block.size(), size - done);
        if (file.write(block.constData(), n) != n)
            return false;
        done += n;
    }
    return true;
}

// Compares two files block by block, so that the check itself does not hold
// an image in memory.
bool same_content(const QString &a, const QString &b)
{
    QFile fa(a), fb(b);
    if (!fa.open(QIODevice::ReadOnly) || !fb.open(QIODevice::ReadOnly) || fa.size() != fb.size())
        return false;
    while (!fa.atEnd()) {
        if (fa.read(64 * 1024) != fb.read(64 * 1024))
            return false;
    }
    return true;
}

// A simulator for one measurement, writing the images it receives into `received`.
struct Simulator
{
    Simulator(bool paced, const QString &received)
    {
        QDir(received).removeRecursively();
        QDir().mkpath(received);
        QStringList arguments = {QStringLiteral("--quiet"), QStringLiteral("--image-dir"), received};
        if (paced)
            arguments.append(QStringLiteral("--wire-speed"));
        port = bench::start_simulator(process, QStringLiteral(TVC_SIM_BINARY), arguments);
    }
    ~Simulator()
    {
        process.terminate();
        process.waitForFinished(10000);
    }
    QProcess process;
    QString port;
};

Row measure_dialog(const QString &image, qint64 size, bool paced, const QString &received)
{
    Row row{QStringLiteral("dialog"), paced, size};
    Simulator simulator(paced, received);
    if (simulator.port.isEmpty())
        return row;

    ModalAnswerer answerer;
    // Shown, as the program is used: the dialog opens over the window.
    TVC window(PortFinder::fixed(simulator.port));
    window.show();
    auto *line = window.findChild<QLabel *>(QStringLiteral("l_p2p_devtype"));
    if (!bench::wait_until([line] { return line->text() != updating_text(); }, 10000))
        return row;
    enter_service_code(window, answerer, QStringLiteral("taverox5190"));

    // While the image goes out the answerer is paused, so that nothing but
    // the program runs in this process; the box that ends the transfer is a
    // child of the dialog, and its arrival wakes the answerer.
    struct BoxWatch : QObject
    {
        std::function<void()> on_box;
        bool eventFilter(QObject *, QEvent *event) override
        {
            if (event->type() == QEvent::ChildPolished && on_box
                && qobject_cast<QMessageBox *>(static_cast<QChildEvent *>(event)->child()))
                on_box();
            return false;
        }
    } watch;
    qint64 t0 = 0, t1 = 0, cpu0 = 0, cpu1 = 0;
    bool completed = false;
    run_firmware_dialog(window, [&](QDialog *dialog) {
        answerer.queue_file(image);
        dialog->findChild<QToolButton *>(QStringLiteral("get_fw_button"))->click();
        QEventLoop loop;
        watch.on_box = [&] {
            if (t1 == 0) {
                t1 = bench::now_ns();
                cpu1 = bench::cpu_ns();
            }
            answerer.resume();
        };
        bool answered = false;
        QObject::connect(&answerer, &ModalAnswerer::answered, &loop, [&] {
            answered = true;
            loop.quit();
        });
        answerer.pause();
        dialog->installEventFilter(&watch);
        cpu0 = bench::cpu_ns();
        t0 = bench::now_ns();
        dialog->findChild<QPushButton *>(QStringLiteral("start_fw_button"))->click();
        if (!answered)
            loop.exec();
        dialog->removeEventFilter(&watch);
        completed = answerer.titles().contains(QStringLiteral("Firmware Update"));
    });
    row.seconds = double(t1 - t0) / 1e9;
    row.cpu_seconds = double(cpu1 - cpu0) / 1e9;
    row.peak_mb = double(bench::peak_rss_kb()) / 1024.0;
    row.intact = completed && same_content(received + QStringLiteral("/unit0-1.bin"), image);
    return row;
}

// The tool is timed from its line saying that the image goes out (its first
// chunk is written right after) to its line saying that the device confirmed
// it, both read as they come: its start-up is not the transfer's.
Row measure_tool(const QString &image, qint64 size, bool paced, const QString &received)
{
    Row row{QStringLiteral("tvc-update"), paced, size};
    Simulator simulator(paced, received);
    if (simulator.port.isEmpty())
        return row;

    QProcess tool;
    qint64 t0 = 0, t1 = 0;
    double cpu_at_start = 0, ignored = 0;
    QByteArray pending;
    QEventLoop loop;
    QObject::connect(&tool, &QProcess::readyReadStandardOutput, &loop, [&] {
        pending += tool.readAllStandardOutput();
        int end;
        while ((end = pending.indexOf('\n')) >= 0) {
            const QString line = QString::fromLocal8Bit(pending.left(end));
            pending.remove(0, end + 1);
            if (line.startsWith(QLatin1String("Updating ")) && t0 == 0) {
                t0 = bench::now_ns();
                bench::sample_process(tool.processId(), &cpu_at_start, &ignored);
            } else if (line == DONE_LINE) {
                t1 = bench::now_ns();
                bench::sample_process(tool.processId(), &row.cpu_seconds, &row.peak_mb);
            }
        }
    });
    QObject::connect(&tool, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), &loop, &QEventLoop::quit);
    tool.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    tool.start(QStringLiteral(TVC_UPDATE_BINARY), {QStringLiteral("--port"), simulator.port, QStringLiteral("--raw"), image});
    loop.exec();
    row.seconds = double(t1 - t0) / 1e9;
    row.cpu_seconds -= cpu_at_start;
    row.intact = t1 > 0 && tool.exitCode() == 0 && same_content(received + QStringLiteral("/unit0-1.bin"), image);
    return row;
}

// The floor: what this machine and the simulator cost per chunk without the
// program. A plain loop with blocking reads and writes, no event loop, sends
// the same chunks; whatever it takes beyond the wire (waking up on each
// acknowledgement, the simulator waking up on each chunk) the program cannot
// avoid either.
Row measure_floor(const QString &image, qint64 size, bool paced, const QString &received)
{
    Row row{QStringLiteral("floor (blocking loop)"), paced, size};
    Simulator simulator(paced, received);
    QFile file(image);
    if (simulator.port.isEmpty() || !file.open(QIODevice::ReadOnly))
        return row;
    const QByteArray bytes = file.readAll();
    const int fd = ::open(QFile::encodeName(simulator.port).constData(), O_RDWR | O_NOCTTY);
    termios tio{};
    if (fd < 0 || ::tcgetattr(fd, &tio) != 0)
        return row;
    ::cfmakeraw(&tio);
    ::tcsetattr(fd, TCSANOW, &tio);

    const qint64 cpu0 = bench::cpu_ns(), t0 = bench::now_ns();
    bool ok = true;
    for (quint32 sequence = 0; ok; ++sequence) {
        const bool last = is_last_chunk(size, quint16(sequence));
        const QByteArray frame = build_data_frame(UNIT_WLAN, last ? LAST_CHUNK : quint16(sequence),
                                                  bytes.mid(int(sequence) * CHUNK_SIZE, CHUNK_SIZE));
        ok = ::write(fd, frame.constData(), size_t(frame.size())) == frame.size();
        char ack[FRAME_SIZE];
        for (int got = 0; ok && got < FRAME_SIZE;) {
            const ssize_t n = ::read(fd, ack + got, size_t(FRAME_SIZE - got));
            ok = n > 0;
            got += int(qMax<ssize_t>(n, 0));
        }
        if (last)
            break;
    }
    row.seconds = double(bench::now_ns() - t0) / 1e9;
    row.cpu_seconds = double(bench::cpu_ns() - cpu0) / 1e9;
    ::close(fd);
    simulator.process.terminate();
    simulator.process.waitForFinished(10000);
    row.intact = ok && same_content(received + QStringLiteral("/unit0-1.bin"), image);
    return row;
}

// What no program can avoid on this machine: two bare processes pass a
// chunk-sized frame and back over a pseudo-terminal, the line idle for a
// chunk's wire time between round trips, as in a paced transfer. Each round
// trip wakes two sleeping processes. Returns microseconds per round trip.
double bare_round_trip_us(int rounds)
{
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0)
        return -1;
    const int slave = ::open(::ptsname(master), O_RDWR | O_NOCTTY);
    termios tio{};
    if (slave < 0 || ::tcgetattr(slave, &tio) != 0)
        return -1;
    ::cfmakeraw(&tio);
    ::tcsetattr(slave, TCSANOW, &tio);
    auto read_all = [](int fd, char *buffer, int size) {
        for (int got = 0; got < size;) {
            const ssize_t n = ::read(fd, buffer + got, size_t(size - got));
            if (n <= 0)
                return false;
            got += int(n);
        }
        return true;
    };
    char frame[FRAME_SIZE] = {};
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(master);
        for (int i = 0; i < rounds && read_all(slave, frame, FRAME_SIZE); ++i)
            if (::write(slave, frame, FRAME_SIZE) != FRAME_SIZE)
                break;
        ::_exit(0);
    }
    ::close(slave);
    qint64 total = 0;
    bool ok = child > 0;
    for (int i = 0; ok && i < rounds; ++i) {
        ::usleep(useconds_t(WIRE_SECONDS_PER_CHUNK * 1e6));
        const qint64 t0 = bench::now_ns();
        ok = ::write(master, frame, FRAME_SIZE) == FRAME_SIZE && read_all(master, frame, FRAME_SIZE);
        total += bench::now_ns() - t0;
    }
    ::close(master);
    if (child > 0)
        ::waitpid(child, nullptr, 0);
    return ok ? double(total) / rounds / 1e3 : -1;
}

void print_row(const Row &row)
{
    const qint64 chunks = chunks_of(row.size);
    const double wire = double(chunks) * WIRE_SECONDS_PER_CHUNK;
    std::printf("%s, %s, %lld bytes (%lld chunks)\n", qPrintable(row.face),
                row.paced ? "tvc-sim --wire-speed" : "unpaced", row.size, chunks);
    bench::print("completed, image intact", row.intact ? QStringLiteral("yes") : QStringLiteral("NO"));
    bench::print("total time", row.seconds, "s");
    bench::print("chunks per second", double(chunks) / row.seconds, "chunks/s");
    bench::print("time per chunk", row.seconds / double(chunks) * 1e6, "us");
    bench::print("program CPU per chunk", row.cpu_seconds / double(chunks) * 1e6, "us");
    bench::print("time on the wire at 115200 baud", wire, "s");
    if (row.paced) {
        bench::print("longer than the wire by", (row.seconds - wire) / wire * 100.0, "%");
        bench::print("beyond the wire per chunk", (row.seconds - wire) / double(chunks) * 1e6, "us");
    }
    else
        bench::print("faster than the wire by", wire / row.seconds, "x");
    if (row.peak_mb > 0)
        bench::print("peak resident memory", row.peak_mb, "MB");
}

} // namespace

int main(int argc, char *argv[])
{
    // Offscreen unless told otherwise: QT_QPA_PLATFORM=xcb with a display
    // (Xvfb) shows the dialog in a real window.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const qint64 paced_size = argc > 1 ? QByteArray(argv[1]).toLongLong() : 100 * 1000;
    const qint64 unpaced_size = argc > 2 ? QByteArray(argv[2]).toLongLong() : 6553600;

    QTemporaryDir dir;
    const QString paced_image = dir.filePath(QStringLiteral("paced.bin"));
    const QString unpaced_image = dir.filePath(QStringLiteral("unpaced.bin"));
    const QString received = dir.filePath(QStringLiteral("received"));
    if (!write_image(paced_image, paced_size) || !write_image(unpaced_image, unpaced_size)) {
        std::fprintf(stderr, "cannot write the images\n");
        return 1;
    }
    std::printf("Peak memory of the dialog is the benchmark process's own (it only grows).\n");

    std::printf("Window system: %s\n", qPrintable(QGuiApplication::platformName()));

    // A size of 0 leaves those measurements out.
    QList<Row> rows;
    if (paced_size > 0) {
        rows.append(measure_floor(paced_image, paced_size, true, received));
        rows.append(measure_dialog(paced_image, paced_size, true, received));
        rows.append(measure_tool(paced_image, paced_size, true, received));
    }
    if (unpaced_size > 0) {
        rows.append(measure_dialog(unpaced_image, unpaced_size, false, received));
        rows.append(measure_tool(unpaced_image, unpaced_size, false, received));
    }
    const double bare_us = bare_round_trip_us(300);
    std::printf("bare pseudo-terminal round trip, two processes, idle line between (300 round trips)\n");
    bench::print("time per round trip", bare_us, "us");
    bench::print("of a chunk's time on the wire", bare_us / (WIRE_SECONDS_PER_CHUNK * 1e6) * 100.0, "%");
    bool all_intact = bare_us > 0;
    for (const Row &row : rows) {
        print_row(row);
        all_intact = all_intact && row.intact;
    }
    return all_intact ? 0 : 1;
}

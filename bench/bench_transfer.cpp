// Firmware transfer speed over a pseudo-terminal: the program sends one raw
// image in service mode to tvc-sim (a separate process) acknowledging every
// chunk at once, so the figures are the program's own turnaround.
//
//   bench_transfer <image bytes>

#include "bench_support.h"
#include "modal_answerer.h"
#include "status_display.h"
#include "test_support.h"
#include "tvc.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QEventLoop>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>

#include <cstdio>

namespace {

constexpr double WIRE_BITS_PER_BYTE = 10;
constexpr double BAUD = 115200;
// A chunk's round trip on the wire: its frame out and the acknowledgement back.
constexpr double WIRE_SECONDS_PER_CHUNK = 2 * 112 * WIRE_BITS_PER_BYTE / BAUD;

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

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const qint64 size = argc > 1 ? QByteArray(argv[1]).toLongLong() : 100 * 1000;

    QTemporaryDir dir;
    const QString image = dir.filePath(QStringLiteral("image.bin"));
    const QString received = dir.filePath(QStringLiteral("received"));
    QDir().mkpath(received);
    if (!write_image(image, size)) {
        std::fprintf(stderr, "cannot write the image\n");
        return 1;
    }

    QProcess simulator;
    const QString port = bench::start_simulator(
        simulator, QStringLiteral(TVC_SIM_BINARY),
        {QStringLiteral("--quiet"), QStringLiteral("--image-dir"), received});
    if (port.isEmpty()) {
        std::fprintf(stderr, "tvc-sim did not start\n");
        return 1;
    }

    ModalAnswerer answerer;
    TVC window(PortFinder::fixed(port));
    auto *line = window.findChild<QLabel *>(QStringLiteral("l_p2p_devtype"));
    if (!bench::wait_until([line] { return line->text() != UPDATING_TEXT; }, 10000)) {
        std::fprintf(stderr, "no device answered on %s\n", qPrintable(port));
        return 1;
    }
    enter_service_code(window, answerer, QStringLiteral("taverox5190"));
    const long rss_before = bench::rss_kb();

    qint64 t0 = 0, t1 = 0, cpu0 = 0, cpu1 = 0;
    bool completed = false;
    run_firmware_dialog(window, [&](QDialog *dialog) {
        answerer.queue_file(image);
        dialog->findChild<QToolButton *>(QStringLiteral("get_fw_button"))->click();
        QEventLoop loop;
        QObject::connect(&answerer, &ModalAnswerer::answered, &loop, [&] {
            if (answerer.titles().contains(QStringLiteral("Firmware Update"))
                || answerer.titles().contains(QStringLiteral("Error!")))
                loop.quit();
        });
        cpu0 = bench::cpu_ns();
        t0 = bench::now_ns();
        dialog->findChild<QPushButton *>(QStringLiteral("start_fw_button"))->click();
        loop.exec();
        t1 = bench::now_ns();
        cpu1 = bench::cpu_ns();
        completed = answerer.titles().contains(QStringLiteral("Firmware Update"));
    });

    const long peak_rss = bench::peak_rss_kb();
    simulator.terminate();
    simulator.waitForFinished(10000);
    const bool intact = completed && same_content(received + QStringLiteral("/unit0-1.bin"), image);

    const qint64 chunks = qMax<qint64>(1, (size + 99) / 100);
    const double seconds = double(t1 - t0) / 1e9;
    const double wire = double(chunks) * WIRE_SECONDS_PER_CHUNK;
    std::printf("Firmware transfer of %lld bytes (%lld chunks)\n", size, chunks);
    bench::print("completed, image intact", intact ? QStringLiteral("yes") : QStringLiteral("NO"));
    bench::print("total time", seconds, "s");
    bench::print("chunks per second", double(chunks) / seconds, "chunks/s");
    bench::print("round trip per chunk (pty)", double(t1 - t0) / double(chunks) / 1000.0, "us");
    bench::print("program CPU per chunk", double(cpu1 - cpu0) / double(chunks) / 1000.0, "us");
    bench::print("time on the wire at 115200 baud", wire, "s");
    bench::print("faster than the wire by", wire / seconds, "x");
    bench::print("resident memory before the transfer", double(rss_before) / 1024.0, "MB");
    bench::print("peak resident memory", double(peak_rss) / 1024.0, "MB");
    return intact ? 0 : 1;
}

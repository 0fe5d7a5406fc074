// Picking a firmware package: from the moment the file dialog is answered to
// the Start button being enabled, through the firmware dialog of a window
// linked to a simulated device. The package is read and checked in that time
// and the window answers nothing else meanwhile, so it is also how long the
// window stands still. Measured for a small package and for the largest (two
// images of 6,553,600 bytes, as zip writes them, with bytes that compress
// like machine code and with bytes that do not compress at all), and for the
// package reader alone. Then the reader alone on archives of 60,004 entries,
// which are no packages: how soon it gives its answer, and the memory that
// costs; one of them hides a false end record counting four entries in its
// comment.
//
//   bench_package [runs]

#include "bench_support.h"
#include "firmware_package.h"
#include "image_chunks.h"
#include "test_support.h"
#include "tvc.h"
#include "zip_writer.h"

#include <QApplication>
#include <QDialog>
#include <QFileInfo>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>

#include <algorithm>
#include <cstdio>

namespace {

// Random bytes (xorshift32) of `bits` bits each: 8 do not compress at all,
// 5 compress to about two thirds, as machine code does; deflate spends the
// most time on such literals.
QByteArray noise(int size, quint32 seed, int bits)
{
    QByteArray bytes(size, '\0');
    quint32 state = seed;
    for (int i = 0; i < size; ++i) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        bytes[i] = char(state & ((1u << bits) - 1));
    }
    return bytes;
}

struct Figures
{
    QList<double> ms;
    void print(const char *what) const
    {
        QList<double> sorted = ms;
        std::sort(sorted.begin(), sorted.end());
        std::printf("  %-34s first %7.1f ms   fastest %7.1f ms   median %7.1f ms   slowest %7.1f ms\n", what,
                    ms.first(), sorted.first(), sorted.at(sorted.size() / 2), sorted.last());
    }
};

// The reader alone on archives of the four files and 60,000 empty entries,
// which are no packages. Measured before anything else, so that the peak
// memory after them is theirs.
void crowded_archives(const QTemporaryDir &dir, int runs)
{
    QList<ZipEntry> entries;
    {
        const Package package;
        entries = {zip_entry(MANIFEST_FILE.toLatin1(), package.manifest),
                   zip_entry(WLAN_IMAGE_FILE.toLatin1(), package.wlan),
                   zip_entry(TXU_IMAGE_FILE.toLatin1(), package.txu),
                   zip_entry(RXU_IMAGE_FILE.toLatin1(), package.rxu)};
    }
    for (int i = 0; i < 60000; ++i)
        entries.append(zip_entry("notes/" + QByteArray::number(i), QByteArray(), false));
    const QByteArray archive = zip_archive(entries);
    entries.clear();
    const struct
    {
        const char *name;
        QString path;
    } cases[] = {
        {"60,004 entries", write_file(dir, "crowded.zip", archive)},
        {"60,004, false end record in comment",
         write_file(dir, "crowded-comment.zip",
                    zip_with_comment(archive, "Release notes in notes/. " + zip_end_record(4, 200, 0)))},
    };
    std::printf("Archives of 60,004 entries (%lld bytes), the package reader alone (%d runs each):\n",
                qint64(archive.size()), runs);
    // What reading costs in memory shows as the peak above what was resident
    // before (the archive, written, is still held).
    const double resident_mb = double(bench::rss_kb()) / 1024.0;
    for (const auto &c : cases) {
        Figures figures;
        QString answer;
        for (int run = 0; run < runs; ++run) {
            QString error;
            const qint64 t0 = bench::now_ns();
            const auto package = FirmwarePackage::read(c.path, &error);
            figures.ms.append(double(bench::now_ns() - t0) / 1e6);
            answer = package ? QStringLiteral("read: it goes on to the version check") : error;
        }
        figures.print(c.name);
        std::printf("  %-34s %s\n", "", qPrintable(answer));
    }
    bench::print("resident memory before reading them", resident_mb, "MB");
    bench::print("peak memory once they were read", double(bench::peak_rss_kb()) / 1024.0, "MB");
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int runs = argc > 1 ? qMax(1, QByteArray(argv[1]).toInt()) : 10;

    QTemporaryDir dir;
    crowded_archives(dir, runs);

    struct Case
    {
        const char *name;
        QString path;
    };
    QList<Case> cases;
    {
        Package small;
        cases.append({"small (1,234 + 777 + 555 bytes)", dir.filePath("small.zip")});
        Package firmware;
        firmware.wlan = noise(int(MAX_IMAGE_SIZE), 1, 5);
        firmware.txu = noise(int(MAX_IMAGE_SIZE), 2, 5);
        cases.append({"largest, compressing to 2/3", dir.filePath("largest.zip")});
        Package random;
        random.wlan = noise(int(MAX_IMAGE_SIZE), 1, 8);
        random.txu = noise(int(MAX_IMAGE_SIZE), 2, 8);
        cases.append({"largest, incompressible", dir.filePath("largest-random.zip")});
        if (!small.write(dir, cases.at(0).path) || !firmware.write(dir, cases.at(1).path)
            || !random.write(dir, cases.at(2).path)) {
            std::fprintf(stderr, "cannot write the packages\n");
            return 1;
        }
    }

    std::printf("Picking a package: the file dialog answered to Start enabled (%d runs each)\n", runs);
    for (const Case &c : cases)
        std::printf("  %-34s %lld bytes on disk\n", c.name, QFileInfo(c.path).size());

    std::printf("Through the firmware dialog:\n");
    LinkedWindow linked(txu_device());
    if (!linked.ready()) {
        std::fprintf(stderr, "the window did not show the device\n");
        return 1;
    }
    for (const Case &c : cases) {
        Figures figures;
        bool all_ready = true;
        run_firmware_dialog(*linked.window, [&](QDialog *dialog) {
            auto *pick = child<QToolButton>(dialog, "get_fw_button");
            auto *start = child<QPushButton>(dialog, "start_fw_button");
            qint64 answered_ns = 0;
            const auto connection =
                QObject::connect(&linked.answerer, &ModalAnswerer::answered, [&] { answered_ns = bench::now_ns(); });
            for (int run = 0; run < runs; ++run) {
                linked.answerer.queue_file(c.path);
                pick->click();
                const qint64 ready_ns = bench::now_ns();
                all_ready = all_ready && start->isEnabled() && answered_ns > 0;
                figures.ms.append(double(ready_ns - answered_ns) / 1e6);
            }
            QObject::disconnect(connection);
        });
        if (!all_ready) {
            std::fprintf(stderr, "%s: the package was not accepted\n", c.name);
            return 1;
        }
        figures.print(c.name);
    }

    std::printf("The package reader alone (FirmwarePackage::read):\n");
    for (const Case &c : cases) {
        Figures figures;
        for (int run = 0; run < runs; ++run) {
            QString error;
            const qint64 t0 = bench::now_ns();
            const auto package = FirmwarePackage::read(c.path, &error);
            figures.ms.append(double(bench::now_ns() - t0) / 1e6);
            if (!package) {
                std::fprintf(stderr, "%s: %s\n", c.name, qPrintable(error));
                return 1;
            }
        }
        figures.print(c.name);
    }

    bench::print("peak memory of the whole benchmark", double(bench::peak_rss_kb()) / 1024.0, "MB");
    return 0;
}

// The sniffer log: time per appended report line and memory after many lines.
// The view keeps the newest lines; every line is kept apart for saving, so a
// second batch of lines, with the view already full, shows what each line
// costs to keep.
//
//   bench_sniffer [lines]

#include "bench_support.h"
#include "frame.h"
#include "sniffer.h"
#include "status_display.h"

#include <QApplication>
#include <QBuffer>
#include <QPlainTextEdit>

#include <cstdio>

namespace {

struct Batch
{
    qint64 first_tenth_ns = 0;
    qint64 last_tenth_ns = 0;
    qint64 total_ns = 0;
    long memory_kb = 0;
};

Batch append(Sniffer &sniffer, int from, int count)
{
    Batch batch;
    const long rss0 = bench::rss_kb();
    const int tenth = qMax(1, count / 10);
    const qint64 t0 = bench::now_ns();
    qint64 mark = t0;
    for (int i = from; i < from + count; ++i) {
        QByteArray args(12, '\0');
        args[0] = char(i & 0xFF);
        args[1] = char((i >> 8) & 0xFF);
        args[2] = char((i >> 3) & 0xFF);
        args[8] = char(0xC4);
        args[9] = char(0xFF);
        sniffer.append_report(build_frame(RPL_SNIFF, UNIT_WLAN, args), i % 2 ? 2 : 3);
        if ((i - from + 1) % tenth == 0) {
            const qint64 now = bench::now_ns();
            if (i - from + 1 == tenth)
                batch.first_tenth_ns = now - mark;
            batch.last_tenth_ns = now - mark;
            mark = now;
            // Let the view paint now and then, as it would while the user watches.
            QApplication::processEvents();
        }
    }
    QApplication::processEvents();
    batch.total_ns = bench::now_ns() - t0;
    batch.memory_kb = bench::rss_kb() - rss0;
    return batch;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int count = argc > 1 ? QByteArray(argv[1]).toInt() : 100000;

    Sniffer sniffer;
    sniffer.show();
    auto *log = sniffer.findChild<QPlainTextEdit *>(QStringLiteral("sniffer_info"));
    QApplication::processEvents();

    const Batch first = append(sniffer, 0, count);
    std::printf("Sniffer log of %d lines (dialog shown, offscreen)\n", count);
    bench::print("lines in the view", QString::number(log->blockCount()));
    bench::print("total time", double(first.total_ns) / 1e9, "s");
    bench::print("time per line", double(first.total_ns) / count / 1000.0, "us");
    bench::print("time per line, first tenth", double(first.first_tenth_ns) / (count / 10) / 1000.0, "us");
    bench::print("time per line, last tenth", double(first.last_tenth_ns) / (count / 10) / 1000.0, "us");
    bench::print("memory added by the lines", double(first.memory_kb) / 1024.0, "MB");
    bench::print("memory per line", double(first.memory_kb) * 1024.0 / count, "B");

    const Batch second = append(sniffer, count, count);
    std::printf("%d lines more (the view full)\n", count);
    bench::print("time per line", double(second.total_ns) / count / 1000.0, "us");
    bench::print("memory added", double(second.memory_kb) / 1024.0, "MB");
    bench::print("memory per line kept for saving", double(second.memory_kb) * 1024.0 / count, "B");
    bench::print("resident memory after", double(bench::rss_kb()) / 1024.0, "MB");

    QBuffer saved;
    saved.open(QIODevice::WriteOnly);
    const qint64 s0 = bench::now_ns();
    sniffer.save_lines(&saved);
    const qint64 s1 = bench::now_ns();
    std::printf("Saving all %d lines\n", 2 * count);
    bench::print("time", double(s1 - s0) / 1e9, "s");
    bench::print("size", double(saved.size()) / (1024.0 * 1024.0), "MB");
    return 0;
}

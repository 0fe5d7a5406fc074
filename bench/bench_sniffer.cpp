// The sniffer log: time per appended report line and memory after many lines.
//
//   bench_sniffer [lines]

#include "bench_support.h"
#include "frame.h"
#include "sniffer.h"
#include "status_display.h"

#include <QApplication>
#include <QPlainTextEdit>

#include <cstdio>

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int count = argc > 1 ? QByteArray(argv[1]).toInt() : 100000;

    Sniffer sniffer;
    sniffer.show();
    auto *log = sniffer.findChild<QPlainTextEdit *>(QStringLiteral("sniffer_info"));
    QApplication::processEvents();

    const long rss0 = bench::rss_kb();
    const int tenth = qMax(1, count / 10);
    qint64 first_tenth_ns = 0;
    qint64 last_tenth_ns = 0;
    const qint64 t0 = bench::now_ns();
    qint64 mark = t0;
    for (int i = 0; i < count; ++i) {
        QByteArray args(12, '\0');
        args[0] = char(i & 0xFF);
        args[2] = char((i >> 3) & 0xFF);
        args[8] = char(0xC4);
        args[9] = char(0xFF);
        sniffer.append_report(build_frame(RPL_SNIFF, UNIT_WLAN, args), i % 2 ? 2 : 3);
        if ((i + 1) % tenth == 0) {
            const qint64 now = bench::now_ns();
            if (i + 1 == tenth)
                first_tenth_ns = now - mark;
            last_tenth_ns = now - mark;
            mark = now;
            // Let the view paint now and then, as it would while the user watches.
            QApplication::processEvents();
        }
    }
    QApplication::processEvents();
    const qint64 t1 = bench::now_ns();
    const long rss1 = bench::rss_kb();

    std::printf("Sniffer log of %d lines (dialog shown, offscreen)\n", count);
    bench::print("lines in the log", QString::number(log->blockCount()));
    bench::print("total time", double(t1 - t0) / 1e9, "s");
    bench::print("time per line", double(t1 - t0) / count / 1000.0, "us");
    bench::print("time per line, first tenth", double(first_tenth_ns) / tenth / 1000.0, "us");
    bench::print("time per line, last tenth", double(last_tenth_ns) / tenth / 1000.0, "us");
    bench::print("memory added by the lines", double(rss1 - rss0) / 1024.0, "MB");
    bench::print("resident memory after", double(rss1) / 1024.0, "MB");
    return 0;
}

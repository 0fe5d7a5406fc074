// The link history: what the recording costs in memory and time, and what the
// program costs in CPU while the device reports at the link's full rate.
//
//   bench_history [seconds [memory|cpu]]
//
// First it fills recordings with a day of signal reports and eight hours of
// sniffer reports at 103 reports a second (the most a 115200 baud link
// carries), wandering as a real signal does, and measures their memory, the
// time to record, to cut a stretch for the plot and to write the CSV. Then it
// runs the program's main window against tvc-sim (a separate process) sending
// a signal report every 10 ms, and measures the program's CPU over `seconds`
// (default 20) for each way of looking: the main window alone, and with the
// Signal History window at each span. With a display (DISPLAY set, as under
// Xvfb in scripts/bench.sh) the windows are painted as on a desktop.

#include "bench_support.h"
#include "history_csv.h"
#include "history_view.h"
#include "modal_answerer.h"
#include "report_log.h"
#include "signal_history.h"
#include "status_display.h"
#include "test_support.h"
#include "tvc.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QEventLoop>
#include <QLabel>
#include <QProcess>
#include <QTimer>

#include <cmath>
#include <cstdio>
#include <random>

namespace {

constexpr double REPORTS_PER_SECOND = 115200.0 / 10 / 112;

// Counts what is written to it, and keeps nothing.
class NullDevice : public QIODevice
{
public:
    qint64 written = 0;

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *, qint64 size) override
    {
        written += size;
        return size;
    }
};

// A signal that wanders by a fraction of a level per report.
struct Walk
{
    std::mt19937 random{3};
    std::normal_distribution<double> step{0.0, 0.4};
    double a = -50;
    double b = -60;

    void next()
    {
        a = std::min(-26.0, std::max(-79.0, a + step(random)));
        b = std::min(-26.0, std::max(-79.0, b + step(random)));
    }
};

void fill(ReportLog &log, qint64 start, qint64 duration_ms, bool sniffer, qint64 *until)
{
    Walk walk;
    std::mt19937 counts(5);
    qint64 t = start;
    qint64 n = 0;
    // Reports 9 or 10 ms apart, 103 a second on average.
    while (t < start + duration_ms) {
        ++n;
        t = start + qint64(std::llround(double(n) * 1000.0 / REPORTS_PER_SECOND));
        walk.next();
        if (sniffer) {
            log.add_sniff(t, {int(counts() % 40), int(counts() % 60), int(counts() % 40), int(counts() % 60),
                              int(std::lround(walk.a)), int(std::lround(walk.b))});
        } else {
            log.add_signal(t, qint16(std::lround(walk.a)), qint16(std::lround(walk.b)));
        }
    }
    *until = t;
}

void recording(const char *title, bool sniffer, qint64 hours)
{
    const qint64 start = 1700000000000;
    const long rss0 = bench::rss_kb();
    ReportLog log;
    log.add_event(start, LinkEvent::Connection, CONNECTION_OPEN);
    log.add_event(start, LinkEvent::ReportMode, sniffer ? 2 : 1);
    qint64 end = 0;
    const qint64 t0 = bench::now_ns();
    fill(log, start, hours * 3600 * 1000, sniffer, &end);
    const qint64 t1 = bench::now_ns();
    const long rss1 = bench::rss_kb();

    std::printf("%s: %lld h at %.0f reports a second\n", title, static_cast<long long>(hours), REPORTS_PER_SECOND);
    bench::print("records", QString::number(log.size()));
    bench::print("records dropped", QString::number(log.dropped()));
    bench::print("memory of the recording", double(log.memory_bytes()) / (1024.0 * 1024.0), "MB");
    bench::print("the bound", double(log.budget_bytes()) / (1024.0 * 1024.0), "MB");
    bench::print("resident memory added", double(rss1 - rss0) / 1024.0, "MB");
    bench::print("bytes per record", double(log.memory_bytes()) / double(log.size()), "B");
    bench::print("time to record one", double(t1 - t0) / double(log.size()), "ns");

    for (const qint64 span : {60LL * 1000, 3600LL * 1000, end - start}) {
        const qint64 v0 = bench::now_ns();
        const HistoryView view = history_view(log, end - span, end, 700, end);
        const qint64 v1 = bench::now_ns();
        const QString name = span == end - start ? QStringLiteral("cut all of it for a plot")
                                                 : QStringLiteral("cut the last %1 min for a plot").arg(span / 60000);
        bench::print(qPrintable(name), double(v1 - v0) / 1e6, "ms");
        Q_UNUSED(view);
    }

    NullDevice csv;
    csv.open(QIODevice::WriteOnly);
    const qint64 c0 = bench::now_ns();
    write_history_csv(log, &csv);
    const qint64 c1 = bench::now_ns();
    bench::print("write the CSV", double(c1 - c0) / 1e9, "s");
    bench::print("CSV size", double(csv.written) / (1024.0 * 1024.0), "MB");

    // Past the bound: how long the recording reaches back at this rate.
    qint64 more = end;
    while (log.dropped() == 0)
        fill(log, more, 3600 * 1000, sniffer, &more);
    bench::print("reach back once full", double(log.last_ms() - log.first_ms()) / 3600000.0, "h");
    std::printf("\n");
}

// Runs the event loop for a while, and nothing else.
void run_for(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

double cpu_percent(int seconds, qint64 *reports, const std::function<qint64()> &count)
{
    const qint64 before = count();
    const qint64 cpu0 = bench::cpu_ns();
    const qint64 t0 = bench::now_ns();
    run_for(seconds * 1000);
    const qint64 t1 = bench::now_ns();
    const qint64 cpu1 = bench::cpu_ns();
    *reports = count() - before;
    *reports = qint64(double(*reports) * 1e9 / double(t1 - t0));
    return 100.0 * double(cpu1 - cpu0) / double(t1 - t0);
}

} // namespace

int main(int argc, char *argv[])
{
    const bool display = !qEnvironmentVariableIsEmpty("DISPLAY");
    if (!display)
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? QByteArray(argv[1]).toInt() : 20;
    const QByteArray parts = argc > 2 ? QByteArray(argv[2]) : QByteArray();

    if (parts != "cpu") {
        std::printf("Recording (no window)\n\n");
        recording("Signal reports", false, 24);
        recording("Sniffer reports", true, 8);
    }
    if (parts == "memory")
        return 0;

    QProcess simulator;
    const QString port = bench::start_simulator(
        simulator, QStringLiteral(TVC_SIM_BINARY),
        {QStringLiteral("--quiet"), QStringLiteral("--role"), QStringLiteral("rxu-client"),
         QStringLiteral("--repeater-mode"), QStringLiteral("--signal-walk"), QStringLiteral("--report-period"),
         QStringLiteral("10")});
    if (port.isEmpty()) {
        std::fprintf(stderr, "tvc-sim did not start\n");
        return 1;
    }
    ModalAnswerer answerer;
    TVC window(PortFinder::fixed(port));
    window.show();
    auto *line = window.findChild<QLabel *>(QStringLiteral("l_p2p_devtype"));
    if (!bench::wait_until([line] { return line->text() != updating_text(); }, 10000)) {
        std::fprintf(stderr, "no device\n");
        return 1;
    }
    // The answerer's polling would wake the event loop every 2 ms.
    answerer.pause();
    window.findChild<QCheckBox *>(QStringLiteral("cbox_rssi"))->click();
    window.findChild<QAction *>(QStringLiteral("actionSignal_History"))->trigger();
    auto *history = window.findChild<SignalHistory *>();
    history->hide();
    const ReportLog &log = history->log();
    auto signal_reports = [&log] { return qint64(log.size()); };
    run_for(2000);

    std::printf("The program at a signal report every 10 ms from tvc-sim (%s), %d s each\n",
                display ? "windows painted on the display" : "offscreen: nothing reaches a screen", seconds);
    qint64 rate = 0;
    const double alone = cpu_percent(seconds, &rate, signal_reports);
    bench::print("reports a second received", QString::number(rate));
    bench::print("CPU, main window alone", alone, "% of a core");
    history->show();
    auto *span = history->findChild<QComboBox *>(QStringLiteral("span_box"));
    for (int i = 0; i < span->count(); ++i) {
        span->setCurrentIndex(i);
        const double shown = cpu_percent(seconds, &rate, signal_reports);
        bench::print(qPrintable(QStringLiteral("CPU, with Signal History, %1").arg(span->itemText(i))), shown,
                     "% of a core");
    }
    bench::print("memory of the recording", double(log.memory_bytes()) / 1024.0, "KB");
    bench::print("resident memory of the program", double(bench::rss_kb()) / 1024.0, "MB");
    simulator.terminate();
    simulator.waitForFinished(5000);
    return 0;
}

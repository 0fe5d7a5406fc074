// All Devices at scale: the program with its main window and the overview
// shown, against one tvc-sim (a separate process) that plays many devices,
// each sending a signal report every 10 ms once "Signal Strength for All" has
// asked for them.
//
//   bench_overview [seconds [count...]]      default: 20 s, 16 and 100 devices
//
// For each count it measures, over `seconds`, the program's CPU (a share of
// one core), the reports received a second, how long an input waits in the
// event loop (a probe posted every 20 ms), and the time from a click on
// "Show in Main Window", and from a double click on a row, to the main
// window's device line painted for the chosen device; then the memory: the
// histories against their shared budget, and the peak resident set. With a
// display (DISPLAY set, as under Xvfb in scripts/bench.sh) the windows are
// painted as on a desktop.

#include "all_devices.h"
#include "bench_support.h"
#include "constants.h"
#include "device_list_model.h"
#include "device_roster.h"
#include "device_session.h"
#include "frame.h"
#include "modal_answerer.h"
#include "report_log.h"
#include "status_display.h"
#include "tvc.h"

#include <QAction>
#include <QApplication>
#include <QEventLoop>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cstdio>

namespace {

// Runs the event loop for a while, and nothing else.
void run_for(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Starts tvc-sim with `count` devices and returns their terminals.
QStringList start_fleet(QProcess &process, int count)
{
    // RXU clients in repeater mode, so that both levels move; slots differ
    // from one device to the next, so the main window's line changes with
    // the device chosen.
    QStringList arguments = {QStringLiteral("--quiet"), QStringLiteral("--devices"), QString::number(count),
                             QStringLiteral("--role"), QStringLiteral("rxu-client"), QStringLiteral("--repeater-mode"),
                             QStringLiteral("--signal-walk"), QStringLiteral("--report-period"), QStringLiteral("10")};
    for (int k = 1; k <= count; ++k) {
        arguments << QStringLiteral("--device")
                  << QStringLiteral("%1:--slot %2 --walk-seed %1").arg(k).arg(3 + (k - 1) % 13);
    }
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(QStringLiteral(TVC_SIM_BINARY), arguments);
    QStringList ports;
    if (!process.waitForStarted(10000))
        return ports;
    while (ports.size() < count) {
        if (!process.canReadLine() && !process.waitForReadyRead(10000))
            return QStringList();
        while (process.canReadLine() && ports.size() < count)
            ports << QString::fromLocal8Bit(process.readLine()).trimmed();
    }
    return ports;
}

// Percentiles of a sample, in the sample's unit.
struct Spread
{
    double median = 0;
    double p99 = 0;
    double max = 0;
};

Spread spread(QVector<double> values)
{
    Spread s;
    if (values.isEmpty())
        return s;
    std::sort(values.begin(), values.end());
    s.median = values.at(values.size() / 2);
    s.p99 = values.at(std::min(int(values.size()) - 1, int(values.size() * 99 / 100)));
    s.max = values.last();
    return s;
}

// Posts an event every 20 ms and records how long each waited before the
// event loop handled it: what an input waits while the devices report.
class LoopProbe : public QObject
{
public:
    LoopProbe()
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        connect(&m_timer, &QTimer::timeout, this, [this] {
            m_posted = bench::now_ns();
            QCoreApplication::postEvent(this, new QEvent(QEvent::User));
        });
    }
    void start()
    {
        m_waits.clear();
        m_timer.start(20);
    }
    void stop() { m_timer.stop(); }
    QVector<double> waits_ms() const { return m_waits; }

protected:
    bool event(QEvent *event) override
    {
        if (event->type() != QEvent::User)
            return QObject::event(event);
        m_waits << double(bench::now_ns() - m_posted) / 1e6;
        return true;
    }

private:
    QTimer m_timer;
    qint64 m_posted = 0;
    QVector<double> m_waits;
};

// Tells when a widget has been painted since it was armed.
class PaintWatch : public QObject
{
public:
    explicit PaintWatch(QWidget *widget) { widget->installEventFilter(this); }
    void arm()
    {
        m_armed = true;
        m_painted_ns = 0;
    }
    qint64 painted_ns() const { return m_painted_ns; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (m_armed && event->type() == QEvent::Paint) {
            m_painted_ns = bench::now_ns();
            m_armed = false;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool m_armed = false;
    qint64 m_painted_ns = 0;
};

void run(int count, int seconds, bool display)
{
    std::printf("%d devices, each a signal report every 10 ms (%s), %d s\n", count,
                display ? "windows painted on the display" : "offscreen: nothing reaches a screen", seconds);
    QProcess simulator;
    const QStringList ports = start_fleet(simulator, count);
    if (ports.size() != count) {
        std::fprintf(stderr, "tvc-sim did not start\n");
        return;
    }
    double sim_cpu0 = 0, sim_peak = 0;
    const long rss_before = bench::rss_kb();
    ModalAnswerer answerer;
    auto window = std::make_unique<TVC>(PortFinder::fixed(ports));
    window->show();
    auto *line = window->findChild<QLabel *>(QStringLiteral("l_p2p_devtype"));
    if (!bench::wait_until([line] { return line->text() != updating_text() && line->text() != no_device_text(); }, 10000)) {
        std::fprintf(stderr, "no device\n");
        return;
    }
    // The answerer's polling would wake the event loop every 2 ms.
    answerer.pause();
    const qint64 link0 = bench::now_ns();
    window->findChild<QAction *>(QStringLiteral("actionAll_Devices"))->trigger();
    auto *overview = window->findChild<AllDevices *>();
    DeviceListModel *model = overview->model();
    auto all = [model, count](const std::function<bool(const DeviceSession &)> &test) {
        if (model->rowCount() != count)
            return false;
        for (int row = 0; row < count; ++row) {
            const DeviceSession *session = model->entry(row).session;
            if (!session || !test(*session))
                return false;
        }
        return true;
    };
    if (!bench::wait_until([&] { return all([](const DeviceSession &s) { return s.state().info_known; }); }, 30000)) {
        std::fprintf(stderr, "not every device answered\n");
        return;
    }
    bench::print("every device linked and known after", double(bench::now_ns() - link0) / 1e6, "ms");
    overview->findChild<QPushButton *>(QStringLiteral("reports_button"))->click();
    if (!bench::wait_until([&] { return all([](const DeviceSession &s) { return s.state().levels_live; }); }, 30000)) {
        std::fprintf(stderr, "not every device reports\n");
        return;
    }
    qint64 reports = 0;
    for (int row = 0; row < count; ++row) {
        QObject::connect(model->entry(row).session, &DeviceSession::reply, model, [&reports](quint8 code) {
            if (code == RPL_SIGNAL)
                ++reports;
        });
    }
    run_for(2000);

    // CPU, reports and the event loop's waits over the stretch.
    LoopProbe probe;
    probe.start();
    bench::sample_process(simulator.processId(), &sim_cpu0, &sim_peak);
    const qint64 reports0 = reports;
    const qint64 cpu0 = bench::cpu_ns();
    const qint64 t0 = bench::now_ns();
    run_for(seconds * 1000);
    const qint64 t1 = bench::now_ns();
    const qint64 cpu1 = bench::cpu_ns();
    probe.stop();
    double sim_cpu1 = 0;
    bench::sample_process(simulator.processId(), &sim_cpu1, &sim_peak);
    const double wall = double(t1 - t0) / 1e9;
    bench::print("reports a second received", double(reports - reports0) / wall, "");
    bench::print("reports a second sent (goal)", count * 100.0, "");
    bench::print("CPU of the program", 100.0 * double(cpu1 - cpu0) / 1e9 / wall, "% of a core");
    bench::print("CPU of tvc-sim", 100.0 * (sim_cpu1 - sim_cpu0) / wall, "% of a core");
    const Spread loop = spread(probe.waits_ms());
    bench::print("input's wait in the event loop, median", loop.median, "ms");
    bench::print("input's wait in the event loop, 99 %", loop.p99, "ms");
    bench::print("input's wait in the event loop, max", loop.max, "ms");

    // Choosing a device while all report: a click on the button, and a
    // double click on a row, each posted as input is, until the main
    // window's device line has been painted for it.
    auto *table = overview->findChild<QTableView *>(QStringLiteral("device_table"));
    auto *show_button = overview->findChild<QPushButton *>(QStringLiteral("show_button"));
    PaintWatch painted(line);
    QVector<double> by_button, by_row;
    qint64 chosen_ns = 0;
    QObject::connect(overview, &AllDevices::device_chosen, line, [&] {
        chosen_ns = bench::now_ns();
        painted.arm();
    });
    const int picks = 20;
    for (int i = 0; i < picks; ++i) {
        const int row = (1 + i * 7) % count;
        const bool button = i % 2 == 0;
        const QModelIndex index = model->index(row, DeviceListModel::Link);
        table->scrollTo(index);
        run_for(50);
        chosen_ns = 0;
        const qint64 posted = bench::now_ns();
        QMetaObject::invokeMethod(
            table,
            [=] {
                if (button) {
                    table->setCurrentIndex(index);
                    QTest::mouseClick(show_button, Qt::LeftButton);
                } else {
                    const QPoint at = table->visualRect(index).center();
                    QTest::mouseClick(table->viewport(), Qt::LeftButton, Qt::NoModifier, at);
                    QTest::mouseDClick(table->viewport(), Qt::LeftButton, Qt::NoModifier, at);
                }
            },
            Qt::QueuedConnection);
        if (!bench::wait_until([&] { return chosen_ns != 0 && painted.painted_ns() != 0; }, 5000)) {
            std::fprintf(stderr, "row %d was not shown\n", row);
            continue;
        }
        (button ? by_button : by_row) << double(painted.painted_ns() - posted) / 1e6;
    }
    const Spread b = spread(by_button), r = spread(by_row);
    bench::print("click on Show to the device shown, median", b.median, "ms");
    bench::print("click on Show to the device shown, max", b.max, "ms");
    bench::print("double click on a row to shown, median", r.median, "ms");
    bench::print("double click on a row to shown, max", r.max, "ms");

    // Memory.
    qint64 history_bytes = 0, history_budget = 0;
    quint64 records = 0;
    for (int row = 0; row < count; ++row) {
        const ReportLog *log = model->entry(row).session->history();
        history_bytes += log->memory_bytes();
        history_budget += log->budget_bytes();
        records += log->size();
    }
    bench::print("histories' records", QString::number(records));
    bench::print("histories' memory", double(history_bytes) / (1024.0 * 1024.0), "MB");
    bench::print("histories' budget, all together", double(history_budget) / (1024.0 * 1024.0), "MB");
    bench::print("resident memory added by the program", double(bench::rss_kb() - rss_before) / 1024.0, "MB");
    bench::print("peak resident memory of the process", double(bench::peak_rss_kb()) / 1024.0, "MB");
    bench::print("peak resident memory of tvc-sim", sim_peak, "MB");
    window.reset();
    simulator.terminate();
    simulator.waitForFinished(5000);
    std::printf("\n");
}

} // namespace

int main(int argc, char *argv[])
{
    const bool display = !qEnvironmentVariableIsEmpty("DISPLAY");
    if (!display)
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? QByteArray(argv[1]).toInt() : 20;
    QList<int> counts;
    for (int i = 2; i < argc; ++i)
        counts << QByteArray(argv[i]).toInt();
    if (counts.isEmpty())
        counts = {16, 100};
    for (int count : counts)
        run(count, seconds, display);
    return 0;
}

// tvc-update over several devices at once, against one tvc-sim playing them
// all at wire speed (--devices N --wire-speed), half TXU and half RXU.
//
//   bench_fleet [WLAN image bytes] [device counts, comma-separated]
//
// Each run is one package update of every device: the query, the check, the
// WLAN image (100 kB by default) and a small DSP image, the finish. The
// figure to watch is how much longer N devices take than one: the wire is
// each device's own, so ideally not at all.

#include "bench_support.h"
#include "test_support.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <unistd.h>

namespace {

constexpr double SECONDS_PER_FRAME = 112 * 10 / 115200.0;
constexpr int DSP_BYTES = 1000;

struct Row
{
    int devices = 0;
    bool intact = false;
    int status = -1;
    double seconds = 0;
    double tool_cpu = 0;
    double tool_peak_mb = 0;
    double sim_cpu = 0;
};

bool file_is(const QString &path, const QByteArray &content)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.readAll() == content;
}

Row measure(int devices, const Package &package, const QString &zip, const QString &work)
{
    Row row;
    row.devices = devices;
    const QString received = work + QStringLiteral("/received");
    QDir(work).removeRecursively();
    QDir().mkpath(work);

    // Every second device is an RXU, with the DSP version the package has for it.
    QStringList arguments = {QStringLiteral("--devices"), QString::number(devices), QStringLiteral("--quiet"),
                             QStringLiteral("--wire-speed"), QStringLiteral("--image-dir"), received};
    for (int k = 2; k <= devices; k += 2)
        arguments << QStringLiteral("--device") << QStringLiteral("%1:--role rxu-client --dsp-version 4.5").arg(k);
    QProcess sim;
    const QString first = bench::start_simulator(sim, QStringLiteral(TVC_SIM_BINARY), arguments);
    QStringList ports = {first};
    while (!first.isEmpty() && ports.size() < devices) {
        if (!sim.canReadLine() && !sim.waitForReadyRead(10000))
            break;
        ports.append(QString::fromLocal8Bit(sim.readLine()).trimmed());
    }
    if (first.isEmpty() || ports.size() < devices)
        return row;

    QStringList tool_arguments;
    for (const QString &port : ports)
        tool_arguments << QStringLiteral("--port") << port;
    tool_arguments << zip;

    QProcess tool;
    QEventLoop loop;
    QByteArray pending;
    double sim_cpu0 = 0, sim_cpu1 = 0, sim_peak = 0;
    bench::sample_process(sim.processId(), &sim_cpu0, &sim_peak);
    // The tool's figures are taken as it prints its last line, just before it
    // ends: the count of results, or for one device the line of its success.
    const QByteArray last_line = devices > 1 ? " failed\n" : "Firmware update completed successfully.\n";
    QObject::connect(&tool, &QProcess::readyReadStandardOutput, &loop, [&] {
        pending += tool.readAllStandardOutput();
        if (pending.endsWith(last_line))
            bench::sample_process(tool.processId(), &row.tool_cpu, &row.tool_peak_mb);
    });
    QObject::connect(&tool, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), &loop, &QEventLoop::quit);
    tool.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    const qint64 t0 = bench::now_ns();
    tool.start(QStringLiteral(TVC_UPDATE_BINARY), tool_arguments);
    loop.exec();
    row.seconds = double(bench::now_ns() - t0) / 1e9;
    bench::sample_process(sim.processId(), &sim_cpu1, &sim_peak);
    row.sim_cpu = sim_cpu1 - sim_cpu0;
    row.status = tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1;

    row.intact = row.status == 0;
    for (int k = 1; k <= devices; ++k) {
        // One device is tvc-sim as it always was, with no number on its folder.
        const QString folder = received + (devices > 1 ? QStringLiteral("-%1/").arg(k) : QStringLiteral("/"));
        row.intact = row.intact && file_is(folder + QStringLiteral("unit0-1.bin"), package.wlan)
                     && file_is(folder + QStringLiteral("unit5-1.bin"), k % 2 ? package.txu : package.rxu);
    }
    sim.terminate();
    sim.waitForFinished(10000);
    return row;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int wlan_bytes = argc > 1 ? QByteArray(argv[1]).toInt() : 100 * 1000;
    QList<int> counts;
    for (const QByteArray &n : QByteArray(argc > 2 ? argv[2] : "1,2,4,8,16").split(','))
        counts.append(n.toInt());

    QTemporaryDir dir;
    Package package;
    package.wlan = pattern(wlan_bytes, 1);
    package.txu = pattern(DSP_BYTES, 2);
    package.rxu = pattern(DSP_BYTES, 3);
    const QString zip = dir.filePath(QStringLiteral("package.zip"));
    if (!package.write(dir, zip)) {
        std::fprintf(stderr, "cannot write the package\n");
        return 1;
    }
    // Frames on each device's wire: three queries, both images, the finish,
    // each with its answer.
    const int frames = 3 + (wlan_bytes / 100 + 1) + (DSP_BYTES / 100 + 1) + 1;
    const double wire = 2 * frames * SECONDS_PER_FRAME;
    std::printf("Package update of each device: WLAN image %d bytes, DSP image %d bytes; %.2f s on the wire\n",
                wlan_bytes, DSP_BYTES, wire);
    std::printf("\n| Devices | Wall time | Longer than 1 device | Longer than the wire | tvc-update CPU | "
                "CPU per chunk | tvc-update peak memory | tvc-sim CPU | All images intact |\n");
    std::printf("|---|---|---|---|---|---|---|---|---|\n");
    std::fflush(stdout);

    bool all_intact = true;
    double one = 0;
    for (int devices : counts) {
        const Row row = measure(devices, package, zip, dir.filePath(QStringLiteral("run")));
        if (one == 0)
            one = row.seconds;
        const double chunks = double(devices) * (wlan_bytes / 100 + 1 + DSP_BYTES / 100 + 1);
        std::printf("| %d | %.2f s | %+.1f %% | %+.1f %% | %.2f s | %.1f µs | %.1f MB | %.2f s | %s |\n", row.devices,
                    row.seconds, (row.seconds - one) / one * 100, (row.seconds - wire) / wire * 100, row.tool_cpu,
                    row.tool_cpu / chunks * 1e6, row.tool_peak_mb, row.sim_cpu,
                    row.intact ? "yes" : qPrintable(QStringLiteral("NO (status %1)").arg(row.status)));
        std::fflush(stdout);
        all_intact = all_intact && row.intact;
    }
    return all_intact ? 0 : 1;
}

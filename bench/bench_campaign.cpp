// A random fault campaign: many seeded package updates, each through a
// `tvc-update --port PTY --timeout 10 PACKAGE.zip` process against a
// `tvc-sim --wire-speed --fault-seed S ...` process of its own, several at a
// time. Each run draws its own mix of faults from its seed (see
// campaign::draw_mix): pauses inside replies, replies in pieces, bytes lost,
// inserted or inverted, stray bytes and bursts, duplicated acknowledgements,
// a slow device, and the tool stopped (SIGSTOP, then SIGCONT) now and then.
// Each outcome is classed (campaign::Outcome) and split by whether a fault
// hit the meaningful bytes of a reply the update acts on.
//
//   bench_campaign [--runs N] [--parallel N] [--first-seed S] [--check]
//   bench_campaign --seed S            one run, told in full
//   bench_campaign --sim-args "..."    the same simulator faults in every run
//   bench_campaign --tool PATH         another tvc-update (an installed one)
//
// With --check the exit status is 1 when a run broke a goal that does not
// depend on time: a false success, a hang, a crash, a failure without its
// words, or a run whose faults spared the meaningful bytes that did not end
// byte-identical.

#include "campaign.h"
#include "test_support.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <functional>
#include <sys/types.h>

using campaign::Mix;
using campaign::Outcome;
using campaign::RunRecord;

namespace {

// The package: a WLAN image of a few kilobytes and the DSP images of about one,
// for the simulator's TXU with WLAN 1650 and DSP 3.12.
constexpr int WLAN_BYTES = 3050;
constexpr int DSP_BYTES = 1000;
// How long beyond its give-up time a tool may stay on a quiet line before it
// counts as hanging; and beyond three times that whatever it does.
constexpr int HANG_GRACE_MS = 20000;

struct Config
{
    QString simulator = QStringLiteral(TVC_SIM_BINARY);
    QString tool = QStringLiteral(TVC_UPDATE_BINARY);
    QString package;
    QString work;
    int timeout_s = 10;
    bool keep = false;
    QMap<int, QByteArray> expected;  // unit: image
};

void say(const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), stdout);
    std::fflush(stdout);
}

// One update: a simulator, the tool against it, the stops, the watch for a
// hang, and what they left behind.
class Run : public QObject
{
public:
    Run(const Config &config, const Mix &mix, int id, std::function<void(Run *)> done)
        : m_config(config)
        , m_done(std::move(done))
        , m_dir(QDir(config.work).filePath(QStringLiteral("run-%1").arg(id)))
    {
        m_record.mix = mix;
    }

    const RunRecord &record() const { return m_record; }
    // Something went wrong before the update could start.
    QString setup_error() const { return m_setup_error; }

    void start()
    {
        QDir(m_dir).removeRecursively();
        QDir().mkpath(m_dir);
        m_log_path = QDir(m_dir).filePath(QStringLiteral("sim.log"));
        QStringList arguments = {QStringLiteral("--wire-speed"), QStringLiteral("--image-dir"),
                                 QDir(m_dir).filePath(QStringLiteral("images")), QStringLiteral("--log"), m_log_path};
        arguments += m_record.mix.simulator_arguments();
        m_sim.setStandardErrorFile(QDir(m_dir).filePath(QStringLiteral("sim.err")));
        QObject::connect(&m_sim, &QProcess::readyReadStandardOutput, this, [this] {
            if (m_tool_started || !m_sim.canReadLine())
                return;
            const QString pty = QString::fromLocal8Bit(m_sim.readLine()).trimmed();
            start_tool(pty);
        });
        QObject::connect(&m_sim, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), this, [this] {
            if (!m_tool_started)
                give_up_setup(QStringLiteral("the simulator ended before it printed its terminal"));
            else
                conclude();
        });
        QObject::connect(&m_sim, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
            if (error == QProcess::FailedToStart)
                give_up_setup(QStringLiteral("the simulator did not start: ") + m_sim.errorString());
        });
        m_sim.start(m_config.simulator, arguments);
    }

private:
    void start_tool(const QString &pty)
    {
        m_tool_started = true;
        m_tool.setProcessChannelMode(QProcess::MergedChannels);
        QObject::connect(&m_tool, &QProcess::readyRead, this, [this] { m_output += m_tool.readAll(); });
        QObject::connect(&m_tool, &QProcess::started, this, [this] {
            m_clock.start();
            m_quiet.start();
            for (const Mix::Stop &stop : m_record.mix.stops)
                QTimer::singleShot(stop.at_ms, this, [this, stop] { stop_tool(stop.ms); });
            m_watch.start(250);
        });
        QObject::connect(&m_tool, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), this,
                         [this](int code, QProcess::ExitStatus status) { tool_finished(code, status); });
        QObject::connect(&m_tool, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
            if (error == QProcess::FailedToStart) {
                m_setup_error = QStringLiteral("tvc-update did not start: ") + m_tool.errorString();
                m_sim.terminate();
            }
        });
        QObject::connect(&m_watch, &QTimer::timeout, this, &Run::watch);
        m_tool.start(m_config.tool, {QStringLiteral("--port"), pty, QStringLiteral("--timeout"),
                                     QString::number(m_config.timeout_s), m_config.package});
    }

    bool tool_running() const { return m_tool.state() == QProcess::Running && !m_tool_ended; }

    void stop_tool(int ms)
    {
        if (!tool_running() || m_stopped)
            return;
        const pid_t pid = pid_t(m_tool.processId());
        if (::kill(pid, SIGSTOP) != 0)
            return;
        m_stopped = true;
        QElapsedTimer held;
        held.start();
        QTimer::singleShot(ms, this, [this, pid, held] {
            if (m_stopped && !m_tool_ended)
                ::kill(pid, SIGCONT);
            m_stopped = false;
            m_record.stopped_ms += int(held.elapsed());
        });
    }

    // A tool that gives up after its timeout of silence must have ended when
    // the line has been quiet that long and 20 s more.
    void watch()
    {
        const qint64 size = QFileInfo(m_log_path).size();
        if (size != m_log_size) {
            m_log_size = size;
            m_quiet.restart();
        }
        const qint64 limit = qint64(m_config.timeout_s) * 1000 + HANG_GRACE_MS;
        if (tool_running() && (m_quiet.elapsed() > limit || m_clock.elapsed() > 3 * limit + m_record.stopped_ms)) {
            m_record.ending.killed_for_hanging = true;
            const pid_t pid = pid_t(m_tool.processId());
            ::kill(pid, SIGKILL);
            ::kill(pid, SIGCONT);
        }
    }

    void tool_finished(int code, QProcess::ExitStatus status)
    {
        m_tool_ended = true;
        m_watch.stop();
        m_record.seconds = double(m_clock.nsecsElapsed()) / 1e9;
        m_output += m_tool.readAll();
        m_record.tool_output = QString::fromLocal8Bit(m_output);
        m_record.ending.words = m_record.tool_output;
        if (status == QProcess::CrashExit && !m_record.ending.killed_for_hanging) {
            m_record.ending.killed_by_signal = true;
            m_record.ending.signal = code;
        }
        m_record.ending.status = status == QProcess::NormalExit ? code : -1;
        m_sim.terminate();
        QTimer::singleShot(10000, this, [this] {
            if (m_sim.state() != QProcess::NotRunning)
                m_sim.kill();
        });
    }

    void conclude()
    {
        if (m_concluded)
            return;
        m_concluded = true;
        if (!m_tool_ended) {
            // The simulator ended first (it should not): the tool is ended too.
            m_setup_error = m_setup_error.isEmpty() ? QStringLiteral("the simulator ended during the update")
                                                    : m_setup_error;
            if (m_tool.state() != QProcess::NotRunning) {
                m_tool.kill();
                m_tool.waitForFinished(5000);
            }
        }
        QFile log(m_log_path);
        if (log.open(QIODevice::ReadOnly))
            m_record.log = campaign::read_sim_log(QString::fromLocal8Bit(log.readAll()));
        QString why;
        const bool identical = campaign::images_identical(
            campaign::images_in(QDir(m_dir).filePath(QStringLiteral("images"))), m_config.expected, &why);
        m_record.outcome = campaign::classify(m_record.ending, identical, m_record.log.data_frames, &why);
        m_record.why = why;
        if (!m_config.keep)
            QDir(m_dir).removeRecursively();
        m_done(this);
    }

    void give_up_setup(const QString &why)
    {
        if (m_concluded)
            return;
        m_concluded = true;
        m_setup_error = why;
        m_done(this);
    }

    Config m_config;
    std::function<void(Run *)> m_done;
    QString m_dir;
    QString m_log_path;
    QProcess m_sim;
    QProcess m_tool;
    QByteArray m_output;
    QElapsedTimer m_clock;
    QElapsedTimer m_quiet;
    QTimer m_watch;
    qint64 m_log_size = -1;
    bool m_tool_started = false;
    bool m_tool_ended = false;
    bool m_stopped = false;
    bool m_concluded = false;
    QString m_setup_error;
    RunRecord m_record;
};

// Runs the mixes, `parallel` at a time; `done` gets each record as its run ends.
bool run_all(const Config &config, const QList<Mix> &mixes, int parallel,
             const std::function<void(const RunRecord &)> &done)
{
    int next = 0;
    int running = 0;
    int id = 0;
    bool setup_failed = false;
    QEventLoop loop;
    std::function<void()> fill;
    fill = [&] {
        while (!setup_failed && running < parallel && next < mixes.size()) {
            ++running;
            auto *run = new Run(config, mixes.at(next++), id++, [&](Run *finished) {
                --running;
                if (!finished->setup_error().isEmpty()) {
                    std::fprintf(stderr, "bench_campaign: seed %u: %s\n", finished->record().mix.seed,
                                 qPrintable(finished->setup_error()));
                    setup_failed = true;
                } else {
                    done(finished->record());
                }
                finished->deleteLater();
                QTimer::singleShot(0, &loop, fill);
            });
            run->start();
        }
        if (running == 0 && (next >= mixes.size() || setup_failed))
            loop.quit();
    };
    QTimer::singleShot(0, &loop, fill);
    loop.exec();
    return !setup_failed;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser p;
    p.setApplicationDescription(QStringLiteral("Seeded firmware updates through tvc-update against tvc-sim under random faults."));
    p.addHelpOption();
    const QCommandLineOption runs_option(QStringLiteral("runs"), QStringLiteral("Number of runs (default 200)."), QStringLiteral("n"), QStringLiteral("200"));
    const QCommandLineOption parallel_option(QStringLiteral("parallel"), QStringLiteral("Runs at a time (default 6)."), QStringLiteral("n"), QStringLiteral("6"));
    const QCommandLineOption first_option(QStringLiteral("first-seed"), QStringLiteral("Seed of the first run (default 1)."), QStringLiteral("s"), QStringLiteral("1"));
    const QCommandLineOption seed_option(QStringLiteral("seed"), QStringLiteral("Run this seed alone and tell it in full."), QStringLiteral("s"));
    const QCommandLineOption check_option(QStringLiteral("check"), QStringLiteral("Exit 1 when a run broke a goal that does not depend on time."));
    const QCommandLineOption timeout_option(QStringLiteral("timeout"), QStringLiteral("tvc-update's --timeout (default 10)."), QStringLiteral("s"), QStringLiteral("10"));
    const QCommandLineOption given_option(QStringLiteral("sim-args"),
        QStringLiteral("These simulator options in every run instead of a drawn mix."), QStringLiteral("options"));
    const QCommandLineOption keep_option(QStringLiteral("keep"), QStringLiteral("Keep every run's log and images, and say where."));
    const QCommandLineOption tool_option(QStringLiteral("tool"),
        QStringLiteral("The tvc-update to run (default: this build's)."), QStringLiteral("path"));
    const QCommandLineOption simulator_option(QStringLiteral("simulator"),
        QStringLiteral("The tvc-sim to run (default: this build's)."), QStringLiteral("path"));
    p.addOptions({runs_option, parallel_option, first_option, seed_option, check_option, timeout_option, given_option,
                  keep_option, tool_option, simulator_option});
    p.process(app);

    Config config;
    if (p.isSet(tool_option))
        config.tool = p.value(tool_option);
    if (p.isSet(simulator_option))
        config.simulator = p.value(simulator_option);
    config.timeout_s = qMax(1, p.value(timeout_option).toInt());
    config.keep = p.isSet(keep_option);
    QTemporaryDir work;
    work.setAutoRemove(!config.keep);
    config.work = work.path();

    Package package;
    package.manifest = "PACKAGE:Campaign\nWLAN:1660\nTXU:3.12\nRXU:4.5\n";
    package.wlan = pattern(WLAN_BYTES, 1);
    package.txu = pattern(DSP_BYTES, 2);
    package.rxu = pattern(DSP_BYTES, 3);
    config.package = work.filePath(QStringLiteral("package.zip"));
    if (!package.write(work, config.package)) {
        std::fprintf(stderr, "bench_campaign: cannot write the package\n");
        return 2;
    }
    config.expected = {{0, package.wlan}, {5, package.txu}};

    const QStringList given = QProcess::splitCommand(p.value(given_option));
    const auto mix_of = [&](quint32 seed) {
        Mix m = given.isEmpty() ? campaign::draw_mix(seed) : campaign::given_mix(given);
        m.seed = seed;
        return m;
    };

    campaign::Summary summary;
    const auto take = [&](const RunRecord &r) {
        if (r.mix.fault_free)
            summary.add_fault_free(r);
        else
            summary.add(r);
    };

    if (p.isSet(seed_option)) {
        // The time of a fault-free update first, one at a time as the run itself.
        QList<Mix> base;
        for (int i = 0; i < 3; ++i)
            base.append(campaign::fault_free_mix());
        if (!run_all(config, base, 1, take))
            return 2;
        RunRecord only;
        if (!run_all(config, {mix_of(p.value(seed_option).toUInt())}, 1, [&](const RunRecord &r) { only = r; }))
            return 2;
        say(campaign::report(only, summary.base_seconds()));
        if (config.keep)
            say(QStringLiteral("Logs and images in %1\n").arg(config.work));
        summary.add(only);
        return p.isSet(check_option) && !summary.check_passed() ? 1 : 0;
    }

    const int runs = qMax(1, p.value(runs_option).toInt());
    const int parallel = qMax(1, p.value(parallel_option).toInt());
    const quint32 first = p.value(first_option).toUInt();
    // Fault-free runs among the others, under the same load, to time an update.
    const int base_runs = qBound(5, runs / 20, 50);
    const int step = qMax(1, runs / base_runs);
    QList<Mix> mixes;
    int base_added = 0;
    for (int i = 0; i < runs; ++i) {
        if (i % step == 0 && base_added < base_runs) {
            mixes.append(campaign::fault_free_mix());
            ++base_added;
        }
        mixes.append(mix_of(first + quint32(i)));
    }
    for (; base_added < base_runs; ++base_added)
        mixes.append(campaign::fault_free_mix());

    say(QStringLiteral("%1 updates of a package (WLAN %2 bytes, DSP %3 bytes) through tvc-update --timeout %4 against "
                       "tvc-sim --wire-speed, seeds %5 to %6, %7 at a time, and %8 fault-free updates among them.\n\n")
            .arg(runs).arg(WLAN_BYTES).arg(DSP_BYTES).arg(config.timeout_s).arg(first).arg(first + quint32(runs) - 1)
            .arg(parallel).arg(base_runs));
    QElapsedTimer clock;
    clock.start();
    int finished = 0;
    const bool ok = run_all(config, mixes, parallel, [&](const RunRecord &r) {
        take(r);
        ++finished;
        if (!r.mix.fault_free && r.outcome != Outcome::Identical) {
            say(QStringLiteral("seed %1: %2, faults %3: %4; last asked %5; faults on the last two answers: %6\n")
                    .arg(r.mix.seed)
                    .arg(QString::fromLatin1(campaign::outcome_name(r.outcome)))
                    .arg(r.log.hit_meaningful ? QStringLiteral("hit meaningful bytes") : QStringLiteral("spared"))
                    .arg(r.why, r.log.last_request,
                         r.log.recent_faults.isEmpty() ? QStringLiteral("none")
                                                       : r.log.recent_faults.join(QStringLiteral("; "))));
        }
        if (finished % qMax(1, mixes.size() / 10) == 0)
            std::fprintf(stderr, "%d of %d runs, %.0f s\n", finished, int(mixes.size()), clock.elapsed() / 1000.0);
    });
    if (!ok)
        return 2;
    say(QStringLiteral("\n%1 runs in %2 s.\n\n").arg(mixes.size()).arg(clock.elapsed() / 1000.0, 0, 'f', 1));
    say(summary.table());

    if (p.isSet(check_option)) {
        const QList<const RunRecord *> failing = summary.failing();
        const int shown = qMin(int(failing.size()), 20);
        for (int i = 0; i < shown; ++i)
            say(QStringLiteral("\n") + campaign::report(*failing.at(i), summary.base_seconds()));
        if (failing.size() > shown)
            say(QStringLiteral("\n... and %1 more; bench_campaign --seed S tells any of them.\n").arg(failing.size() - shown));
        return failing.isEmpty() ? 0 : 1;
    }
    if (config.keep)
        say(QStringLiteral("Logs and images in %1\n").arg(config.work));
    return 0;
}

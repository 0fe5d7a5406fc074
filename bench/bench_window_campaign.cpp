// The random fault campaign through the program's window (see bench_campaign
// for the same through tvc-update, and campaign.h for the mixes and classes).
//
// Dialog runs: a package update through the real main window and its
// firmware dialog, in a process of its own, against a `tvc-sim --wire-speed
// --fault-seed S ...` with the mix that seed draws. The package is picked and
// Start pressed as a user does; the process is stopped (SIGSTOP, then
// SIGCONT) as the mix says, counted from Start. Each run ends with the
// dialog's completion box and the device holding the images byte for byte,
// or an honest failure (a box or the module line saying "not complete" or
// "nothing was sent"); it must not outlast the dialog's give-up time.
//
// Window runs: the main window linked to a simulated device, in a process
// of its own, the same mix on every reply and report the device sends from
// the start (in half of the runs the first answer to the status request also
// loses a header byte, so that only asking again brings the device). The
// device changes on its own meanwhile (mute, +48V, gain, link, a master's
// channel; signal reports with Signal Strength ticked). At the checkpoint
// the reports are switched off and the line has gone quiet: the window is
// compared with a second window linked to a fault-free device in the same
// state. In two runs of five (as the mix draws) the device also streams
// signal or sniffer reports every 10 ms from the start, the faults hitting
// them too. Then the faults stop, the device sends its whole state once more,
// and the window must show the device's last state (role, lamps, gain,
// input mode, channel).
//
//   bench_window_campaign [--dialog-runs N] [--window-runs N] [--parallel N]
//                         [--first-seed S] [--check] [--keep]
//   bench_window_campaign --dialog-seed S     one dialog run, told in full
//   bench_window_campaign --window-seed S     one window run, told in full
//   bench_window_campaign --sim-args "..."    the same simulator faults in every run
//
// With --check the exit status is 1 when a run broke a goal that does not
// depend on time: a false success, a hang, a crash, a failure without its
// words, a dialog run that faults spared and that did not end byte-identical;
// a window run that did not show the device's last state in the end, or that
// faults spared and that did not show the device's state at the checkpoint.

#include "campaign.h"
#include "bench_support.h"
#include "device_state.h"
#include "frame.h"
#include "form_widgets.h"
#include "modal_answerer.h"
#include "sim/cli.h"
#include "sim/device.h"
#include "status_display.h"
#include "test_support.h"
#include "tvc.h"
#include "update_engine.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCommandLineParser>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLCDNumber>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <functional>
#include <memory>
#include <random>
#include <sys/types.h>

using campaign::Mix;
using campaign::Outcome;
using campaign::RunRecord;

namespace {

// The package of bench_campaign: a WLAN image of a few kilobytes and the DSP
// images of about one, for the simulator's TXU with WLAN 1650 and DSP 3.12.
constexpr int WLAN_BYTES = 3050;
constexpr int DSP_BYTES = 1000;
// A dialog run hangs when its line has been quiet for the dialog's give-up
// time and 20 s more, or when it takes three times that.
constexpr int HANG_GRACE_MS = 20000;
constexpr int DIALOG_QUIET_LIMIT_MS = UpdateEngine::GIVE_UP_MS + HANG_GRACE_MS;
// A window run waits for nothing longer than 10 s at a time.
constexpr int WINDOW_LIMIT_MS = 120000;
// The line has gone quiet when the device wrote nothing for this long: past
// the longest pause inside a reply a mix draws (500 ms).
constexpr int LINE_QUIET_MS = 700;

void say(const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), stdout);
    std::fflush(stdout);
}

QString seed_list(QList<quint32> seeds)
{
    std::sort(seeds.begin(), seeds.end());
    QStringList text;
    for (quint32 s : seeds)
        text << QString::number(s);
    return text.isEmpty() ? QStringLiteral("none") : QStringLiteral("seeds ") + text.join(QStringLiteral(", "));
}

QString percent(int n, int of)
{
    return of ? QStringLiteral("%1 (%2 %)").arg(n).arg(100.0 * n / of, 0, 'f', 1) : QStringLiteral("–");
}

// ---- what a window run does: the device, and what it does on its own ----

struct WindowPlan
{
    QStringList device;   // tvc-sim options of the device: its role and state
    bool txu = false;
    bool master = false;
    int first_lost = -1;  // the first answer to the status request loses this header byte, or -1
    struct Step
    {
        int after_ms;
        QString command;  // a console command, or "reports on" (Signal Strength ticked)
    };
    QList<Step> steps;
};

const QString REPORTS_ON = QStringLiteral("reports on");

WindowPlan draw_window_plan(quint32 seed)
{
    // A stream of its own, apart from the mix's and the simulator's.
    std::seed_seq sequence{seed, 0x77696eu};
    std::mt19937 random(sequence);
    const auto chance = [&](double p) { return std::uniform_real_distribution<double>(0, 1)(random) < p; };
    const auto whole = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    const QList<int> channels = {36, 40, 44, 48, 52, 100};

    WindowPlan plan;
    const int kind = whole(0, 99);
    const QString role = kind < 35 ? QStringLiteral("txu-client")
        : kind < 55                ? QStringLiteral("master")
        : kind < 85                ? QStringLiteral("rxu-client")
                                   : QStringLiteral("repeater");
    plan.txu = role == QLatin1String("txu-client") || role == QLatin1String("master");
    plan.master = role == QLatin1String("master");
    plan.device << QStringLiteral("--role") << role << QStringLiteral("--slot") << QString::number(whole(0, 15));
    const bool repeater_mode = chance(0.4);
    if (role == QLatin1String("rxu-client") && repeater_mode)
        plan.device << QStringLiteral("--repeater-mode");
    plan.device << QStringLiteral("--link") << QString::number(chance(0.8) ? whole(2, 3) : 1);
    // No Hi-Z source: the window shows the Hi-Z input as the last gain step
    // or device information told it, and +48V switched alone changes nothing
    // there; a fresh window would show the device otherwise.
    const bool mute = chance(0.3), phantom = chance(0.3), mic = chance(0.5);
    const int input = mic ? 0x80 | whole(0, sim::Device::kMicMax) : whole(0, sim::Device::kLineMax);
    if (mute)
        plan.device << QStringLiteral("--mute");
    if (phantom)
        plan.device << QStringLiteral("--phantom");
    plan.device << QStringLiteral("--input") << QStringLiteral("0x%1").arg(input, 2, 16, QLatin1Char('0'))
                << QStringLiteral("--channel") << QString::number(channels.at(whole(0, int(channels.size()) - 1)))
                << QStringLiteral("--report-period") << QString::number(whole(20, 200));
    const bool lose_first = chance(0.5);
    const int lost_byte = whole(0, 6);
    if (lose_first)
        plan.first_lost = lost_byte;

    const int steps = whole(4, 12);
    const bool reports = chance(0.7);
    const int reports_at = whole(0, steps - 1);
    for (int i = 0; i < steps; ++i) {
        const int after = whole(30, 400);
        if (reports && i == reports_at) {
            plan.steps.append({after, REPORTS_ON});
            continue;
        }
        QStringList choices = {QStringLiteral("link 1"), QStringLiteral("link 2"), QStringLiteral("link 3")};
        if (plan.txu) {
            choices << QStringLiteral("mute on") << QStringLiteral("mute off") << QStringLiteral("phantom on")
                    << QStringLiteral("phantom off") << QStringLiteral("gain up") << QStringLiteral("gain down")
                    << QStringLiteral("gain up");
        }
        if (plan.master) {
            for (int c : channels)
                choices << QStringLiteral("channel %1").arg(c);
        }
        plan.steps.append({after, choices.at(whole(0, int(choices.size()) - 1))});
    }
    return plan;
}

// What the window shows of the device: each field's words.
using Shown = QMap<QString, QString>;

QString lamp_words(TVC &window, const char *name)
{
    auto *lamp = child<StatusLamp>(&window, name);
    return QStringLiteral("%1 (look %2)").arg(lamp->toolTip()).arg(int(lamp->look()));
}

// The fields a window shows of a device like the plan's; the Link Status lamp
// only when asked (signal reports move it).
Shown shown(TVC &window, const WindowPlan &plan, bool link_lamp)
{
    Shown s;
    s[QStringLiteral("role")] = child<QLabel>(&window, "l_p2p_devtype")->text();
    s[QStringLiteral("repeater mode lamp")] = lamp_words(window, "l_repmode");
    if (link_lamp)
        s[QStringLiteral("link status lamp")] = lamp_words(window, "l_txq");
    s[QStringLiteral("channel")] = child<QComboBox>(&window, "chanlist")->currentText();
    s[QStringLiteral("master controls")] =
        child<QGroupBox>(&window, "grpbox_master")->isEnabled() ? QStringLiteral("enabled") : QStringLiteral("disabled");
    if (plan.txu) {
        s[QStringLiteral("mute lamp")] = lamp_words(window, "l_mute");
        s[QStringLiteral("phantom lamp")] = lamp_words(window, "l_ph_pwr");
        s[QStringLiteral("gain")] = QString::number(child<QLCDNumber>(&window, "lcd_gain")->intValue());
        s[QStringLiteral("input mode")] = child<QLabel>(&window, "l_audio_in")->text();
    }
    return s;
}

QStringList differences(const Shown &got, const Shown &want)
{
    QStringList d;
    for (auto it = want.cbegin(); it != want.cend(); ++it) {
        if (got.value(it.key()) != it.value())
            d << QStringLiteral("%1: \"%2\", not \"%3\"").arg(it.key(), got.value(it.key()), it.value());
    }
    return d;
}

// The fault switches of the line to the program, on or off.
void set_line_faults(sim::DeviceOptions *to, const sim::DeviceOptions &from)
{
    to->splitSize = from.splitSize;
    to->splitSizeMax = from.splitSizeMax;
    to->splitPauseMs = from.splitPauseMs;
    to->dropChance = from.dropChance;
    to->insertChance = from.insertChance;
    to->flipChance = from.flipChance;
    to->strayChance = from.strayChance;
    to->burstChance = from.burstChance;
    to->pauseChance = from.pauseChance;
    to->pauseMinMs = from.pauseMinMs;
    to->pauseMaxMs = from.pauseMaxMs;
}

// Waits until the device has written nothing for LINE_QUIET_MS.
bool wait_for_quiet_line(sim::Device &device, int limit_ms)
{
    QElapsedTimer since;
    since.start();
    const QMetaObject::Connection c =
        QObject::connect(&device, &sim::Device::bytesWritten, [&since](const QByteArray &) { since.restart(); });
    const bool quiet = bench::wait_until([&] { return since.elapsed() >= LINE_QUIET_MS; }, limit_ms);
    QObject::disconnect(c);
    return quiet;
}

void write_result(const QString &path, const QJsonObject &result)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(QJsonDocument(result).toJson());
}

// ---- a window run, in its own process ----

int run_window(quint32 seed, const QString &dir, const QString &result_path)
{
    QApplication::setQuitOnLastWindowClosed(false);
    const Mix mix = campaign::draw_mix(seed);
    const WindowPlan plan = draw_window_plan(seed);
    sim::DeviceOptions options;
    QString why;
    const QStringList arguments = QStringList{QStringLiteral("tvc-sim"), QStringLiteral("--wire-speed")} + plan.device
        + mix.simulator_arguments();
    if (sim::parseArguments(arguments, &options, &why) != sim::ParseResult::Run) {
        std::fprintf(stderr, "bench_window_campaign: %s\n", qPrintable(why));
        return 2;
    }
    options.logPath = QDir(dir).filePath(QStringLiteral("sim.log"));
    options.recordFrames = false;
    sim::Device device(options);
    if (!device.start(&why)) {
        std::fprintf(stderr, "bench_window_campaign: %s\n", qPrintable(why));
        return 2;
    }
    say(QStringLiteral("device: tvc-sim %1\n").arg(arguments.mid(1).join(QLatin1Char(' '))));
    if (plan.first_lost >= 0)
        say(QStringLiteral("the first reply: %1\n").arg(device.runCommand(QStringLiteral("drop %1").arg(plan.first_lost))));

    QElapsedTimer clock;
    clock.start();
    ModalAnswerer answerer;
    answerer.set_inspector([](const ModalAnswerer::Seen &seen) {
        if (seen.title != QLatin1String("Welcome"))
            say(QStringLiteral("box: %1: %2\n").arg(seen.title, seen.text.left(80)));
    });
    say(QStringLiteral("started\n"));
    TVC window(one_bridge(device.slavePath()));

    bool reports = false;
    for (const WindowPlan::Step &step : plan.steps) {
        QTest::qWait(step.after_ms);
        if (step.command == REPORTS_ON) {
            auto *box = child<QCheckBox>(&window, "cbox_rssi");
            if (box->isEnabled()) {
                box->click();
                say(QStringLiteral("%1 ms: Signal Strength ticked\n").arg(clock.elapsed()));
            } else {
                window.send_command(CMD_REPORT_MODE, UNIT_WLAN, REPORT_SIGNAL);
                say(QStringLiteral("%1 ms: signal reports asked for (Signal Strength is disabled)\n").arg(clock.elapsed()));
            }
            reports = true;
            continue;
        }
        say(QStringLiteral("%1 ms: %2: %3\n").arg(clock.elapsed()).arg(step.command, device.runCommand(step.command)));
    }

    // The checkpoint: the reports stop, the line goes quiet, and the window
    // is held against one that saw no fault.
    QJsonObject result;
    auto *box = child<QCheckBox>(&window, "cbox_rssi");
    if (box->isChecked() && box->isEnabled())
        box->click();
    if (device.reportMode() != REPORT_OFF)
        window.send_command(CMD_REPORT_MODE, UNIT_WLAN, REPORT_OFF);
    const bool reports_stopped = bench::wait_until([&] { return device.reportMode() == REPORT_OFF; }, 10000);
    const bool quiet = wait_for_quiet_line(device, 10000);
    say(QStringLiteral("%1 ms: checkpoint%2%3\n")
            .arg(clock.elapsed())
            .arg(reports_stopped ? QString() : QStringLiteral(" (the reports did not stop)"),
                 quiet ? QString() : QStringLiteral(" (the line did not go quiet)")));

    sim::DeviceOptions clean = device.options();
    set_line_faults(&clean, sim::DeviceOptions());
    clean.logPath = QDir(dir).filePath(QStringLiteral("reference.log"));
    clean.logFrames = false;
    sim::Device reference_device(clean);
    if (!reference_device.start(&why)) {
        std::fprintf(stderr, "bench_window_campaign: %s\n", qPrintable(why));
        return 2;
    }
    TVC reference(one_bridge(reference_device.slavePath()));
    const auto reference_ready = [&] {
        const Shown s = shown(reference, plan, true);
        return s.value(QStringLiteral("role")) != updating_text()
            && (!plan.master || !s.value(QStringLiteral("channel")).isEmpty());
    };
    if (!bench::wait_until(reference_ready, 10000)) {
        std::fprintf(stderr, "bench_window_campaign: the fault-free window did not show its device\n");
        return 2;
    }
    const auto compare = [&](bool link_lamp, int limit_ms, QJsonObject *out) {
        QStringList diffs;
        const bool same = bench::wait_until([&] {
            diffs = differences(shown(window, plan, link_lamp), shown(reference, plan, link_lamp));
            return diffs.isEmpty();
        }, limit_ms);
        (*out)[QStringLiteral("matched")] = same;
        (*out)[QStringLiteral("differences")] = QJsonArray::fromStringList(diffs);
        return diffs;
    };
    QJsonObject checkpoint;
    // Signal reports move the Link Status lamp, except without a link (they
    // carry no reading then): otherwise it is compared at the end.
    const QStringList during = compare(!reports || device.options().linkState == 1, 5000, &checkpoint);
    say(QStringLiteral("%1 ms: the window during the faults: %2\n")
            .arg(clock.elapsed())
            .arg(during.isEmpty() ? QStringLiteral("the device's state") : during.join(QStringLiteral("; "))));

    // The faults stop; the device tells its whole state once more.
    set_line_faults(&device.options(), sim::DeviceOptions());
    QStringList again = {QStringLiteral("info")};
    if (plan.txu) {
        again << (device.options().muted ? QStringLiteral("mute on") : QStringLiteral("mute off"))
              << (device.options().phantom ? QStringLiteral("phantom on") : QStringLiteral("phantom off"));
    }
    again << QStringLiteral("link %1").arg(device.options().linkState);
    if (plan.master)
        again << QStringLiteral("channel %1").arg(device.options().channel);
    for (const QString &command : again)
        device.runCommand(command);
    say(QStringLiteral("%1 ms: faults off; the device sent: %2\n").arg(clock.elapsed()).arg(again.join(QStringLiteral(", "))));
    QJsonObject final_state;
    const QStringList after = compare(true, 10000, &final_state);
    say(QStringLiteral("%1 ms: the window at the end: %2\n")
            .arg(clock.elapsed())
            .arg(after.isEmpty() ? QStringLiteral("the device's last state") : after.join(QStringLiteral("; "))));

    result[QStringLiteral("first_lost")] = plan.first_lost;
    result[QStringLiteral("reports")] = reports;
    result[QStringLiteral("checkpoint")] = checkpoint;
    result[QStringLiteral("final")] = final_state;
    result[QStringLiteral("seconds")] = clock.elapsed() / 1000.0;
    write_result(result_path, result);
    return 0;
}

// ---- a dialog run, in its own process ----

const QStringList ENDING_BOXES = {QStringLiteral("Firmware Update"), QStringLiteral("Error!"),
                                  QStringLiteral("Version Mismatch"), QStringLiteral("Critical Error")};

int run_dialog(const QString &port, const QString &package, const QString &result_path)
{
    QApplication::setQuitOnLastWindowClosed(false);
    ModalAnswerer answerer;
    answerer.set_inspector([](const ModalAnswerer::Seen &seen) {
        if (seen.kind == QLatin1String("QMessageBox") && seen.title != QLatin1String("Welcome"))
            say(QStringLiteral("box: %1: %2\n").arg(seen.title, seen.text));
    });
    TVC window(one_bridge(port));
    auto *line = child<QLabel>(&window, "l_p2p_devtype");
    // The user waits for the device to be shown (its status request is asked
    // again when a reply is lost), or opens the dialog anyway.
    const bool shown = bench::wait_until([line] { return line->text() != updating_text(); }, 6000);
    say(QStringLiteral("device line: %1\n").arg(line->text()));
    answerer.clear();

    QJsonObject result;
    QJsonArray boxes;
    QString module;
    double seconds = 0;
    bool started = false;
    const FirmwareDialogRun run = run_firmware_dialog(window, [&](QDialog *dialog) {
        pick(dialog, answerer, package);
        if (!child<QPushButton>(dialog, "start_fw_button")->isEnabled()) {
            say(QStringLiteral("Start is not enabled after the pick\n"));
            return;
        }
        auto *module_line = child<QLabel>(dialog, "cur_module");
        QTimer sample;
        QObject::connect(&sample, &QTimer::timeout, [&] {
            if (module_line->text() != module) {
                module = module_line->text();
                say(QStringLiteral("module line: %1\n").arg(module));
            }
        });
        sample.start(50);
        say(QStringLiteral("started\n"));
        QElapsedTimer clock;
        clock.start();
        started = true;
        start(dialog);
        const auto ended = [&] {
            for (const ModalAnswerer::Seen &seen : answerer.seen()) {
                if (seen.kind == QLatin1String("QMessageBox") && ENDING_BOXES.contains(seen.title))
                    return true;
            }
            return module_line->text().contains(QLatin1String("Connection to the device lost"));
        };
        // The driver tells a hang; this only keeps a run from waiting forever.
        bench::wait_until(ended, 10 * 60 * 1000);
        seconds = clock.elapsed() / 1000.0;
        module = module_line->text();
    });
    for (const ModalAnswerer::Seen &seen : answerer.seen()) {
        if (seen.kind == QLatin1String("QMessageBox"))
            boxes.append(QJsonArray{seen.title, seen.text});
    }
    result[QStringLiteral("device_shown")] = shown;
    result[QStringLiteral("dialog_shown")] = run.dialog_shown;
    result[QStringLiteral("started")] = started;
    result[QStringLiteral("quit_requested")] = run.quit_requested;
    result[QStringLiteral("boxes")] = boxes;
    result[QStringLiteral("module_line")] = module;
    result[QStringLiteral("seconds")] = seconds;
    write_result(result_path, result);
    return 0;
}

// ---- the driver ----

enum class Face { Dialog, Window };

struct Config
{
    QString simulator = QStringLiteral(TVC_SIM_BINARY);
    QString self;
    QString package;
    QString work;
    bool keep = false;
    QMap<int, QByteArray> expected;  // unit: image
};

// How a window run ended: the device's last state shown, another state, a
// hang, a crash.
constexpr int WINDOW_OUTCOMES = 4;
const char *window_outcome_name(int outcome)
{
    switch (outcome) {
    case 0: return "the device's last state shown";
    case 1: return "another state shown";
    case 2: return "hang";
    case 3: return "crash";
    }
    return "?";
}

struct WindowRecord
{
    int outcome = 3;
    bool checkpoint_matched = false;
    QStringList checkpoint_diffs;
    QStringList final_diffs;
    int first_lost = -1;
    bool reports = false;
    QString deliberate;  // the fault line of the first reply lost on purpose
};

struct Record
{
    Face face = Face::Dialog;
    RunRecord run;
    WindowRecord window;
    bool dialog_device_shown = false;  // before the dialog opened
};

// One run: the simulator (dialog runs), the run's own process, the stops, the
// watch for a hang, and what they left behind.
class Run : public QObject
{
public:
    Run(const Config &config, Face face, const Mix &mix, int id, std::function<void(Run *)> done)
        : m_config(config)
        , m_done(std::move(done))
        , m_dir(QDir(config.work).filePath(QStringLiteral("run-%1").arg(id)))
    {
        m_record.face = face;
        m_record.run.mix = mix;
    }

    const Record &record() const { return m_record; }
    QString setup_error() const { return m_setup_error; }
    QString dir() const { return m_dir; }

    void start()
    {
        QDir(m_dir).removeRecursively();
        QDir().mkpath(m_dir);
        m_log_path = QDir(m_dir).filePath(QStringLiteral("sim.log"));
        if (m_record.face == Face::Window) {
            start_child({QStringLiteral("--run-window"), QStringLiteral("--seed"), QString::number(m_record.run.mix.seed),
                         QStringLiteral("--dir"), m_dir});
            return;
        }
        QStringList arguments = {QStringLiteral("--wire-speed"), QStringLiteral("--image-dir"),
                                 QDir(m_dir).filePath(QStringLiteral("images")), QStringLiteral("--log"), m_log_path};
        arguments += m_record.run.mix.simulator_arguments();
        m_sim.setStandardErrorFile(QDir(m_dir).filePath(QStringLiteral("sim.err")));
        QObject::connect(&m_sim, &QProcess::readyReadStandardOutput, this, [this] {
            if (m_child_started || !m_sim.canReadLine())
                return;
            const QString pty = QString::fromLocal8Bit(m_sim.readLine()).trimmed();
            start_child({QStringLiteral("--run-dialog"), QStringLiteral("--port"), pty, QStringLiteral("--package"),
                         m_config.package, QStringLiteral("--dir"), m_dir});
        });
        QObject::connect(&m_sim, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), this, [this] {
            if (!m_child_started)
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
    void start_child(const QStringList &arguments)
    {
        m_child_started = true;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        if (!environment.contains(QStringLiteral("QT_QPA_PLATFORM")))
            environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("qt.qpa.*=false"));
        m_child.setProcessEnvironment(environment);
        m_child.setStandardErrorFile(QDir(m_dir).filePath(QStringLiteral("run.err")));
        QObject::connect(&m_child, &QProcess::readyReadStandardOutput, this, [this] {
            while (m_child.canReadLine()) {
                const QByteArray line = m_child.readLine();
                m_output += line;
                if (line.trimmed() == "started" && !m_started) {
                    m_started = true;
                    m_clock.start();
                    for (const Mix::Stop &stop : m_record.run.mix.stops)
                        QTimer::singleShot(stop.at_ms, this, [this, stop] { stop_child(stop.ms); });
                }
            }
        });
        QObject::connect(&m_child, &QProcess::started, this, [this] {
            m_clock.start();
            m_quiet.start();
            m_watch.start(250);
        });
        QObject::connect(&m_child, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), this,
                         [this](int code, QProcess::ExitStatus status) { child_finished(code, status); });
        QObject::connect(&m_child, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
            if (error == QProcess::FailedToStart) {
                m_setup_error = QStringLiteral("the run's process did not start: ") + m_child.errorString();
                if (m_sim.state() != QProcess::NotRunning)
                    m_sim.terminate();
                else
                    give_up_setup(m_setup_error);
            }
        });
        QObject::connect(&m_watch, &QTimer::timeout, this, &Run::watch);
        m_child.start(m_config.self, arguments + QStringList{QStringLiteral("--result"), result_path()});
    }

    QString result_path() const { return QDir(m_dir).filePath(QStringLiteral("result.json")); }

    bool child_running() const { return m_child.state() == QProcess::Running && !m_child_ended; }

    void stop_child(int ms)
    {
        if (!child_running() || m_stopped)
            return;
        const pid_t pid = pid_t(m_child.processId());
        if (::kill(pid, SIGSTOP) != 0)
            return;
        m_stopped = true;
        QElapsedTimer held;
        held.start();
        QTimer::singleShot(ms, this, [this, pid, held] {
            if (m_stopped && !m_child_ended)
                ::kill(pid, SIGCONT);
            m_stopped = false;
            m_record.run.stopped_ms += int(held.elapsed());
        });
    }

    void watch()
    {
        const qint64 size = QFileInfo(m_log_path).size();
        if (size != m_log_size) {
            m_log_size = size;
            m_quiet.restart();
        }
        const bool hanging = m_record.face == Face::Dialog
            ? m_quiet.elapsed() > DIALOG_QUIET_LIMIT_MS
                || m_clock.elapsed() > 3 * DIALOG_QUIET_LIMIT_MS + m_record.run.stopped_ms
            : m_clock.elapsed() > WINDOW_LIMIT_MS + m_record.run.stopped_ms;
        if (child_running() && hanging) {
            m_record.run.ending.killed_for_hanging = true;
            const pid_t pid = pid_t(m_child.processId());
            ::kill(pid, SIGKILL);
            ::kill(pid, SIGCONT);
        }
    }

    void child_finished(int code, QProcess::ExitStatus status)
    {
        m_child_ended = true;
        m_watch.stop();
        m_output += m_child.readAll();
        m_record.run.tool_output = QString::fromLocal8Bit(m_output);
        m_record.run.ending.words = m_record.run.tool_output;
        if (status == QProcess::CrashExit && !m_record.run.ending.killed_for_hanging) {
            m_record.run.ending.killed_by_signal = true;
            m_record.run.ending.signal = code;
        }
        m_record.run.ending.status = status == QProcess::NormalExit ? code : -1;
        if (m_sim.state() == QProcess::NotRunning) {
            conclude();
            return;
        }
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
        if (!m_child_ended) {
            m_setup_error = m_setup_error.isEmpty() ? QStringLiteral("the simulator ended during the run") : m_setup_error;
            if (m_child.state() != QProcess::NotRunning) {
                m_child.kill();
                m_child.waitForFinished(5000);
            }
            m_done(this);
            return;
        }
        if (m_record.run.ending.status == 2 && !m_record.run.ending.killed_for_hanging) {
            QFile err(QDir(m_dir).filePath(QStringLiteral("run.err")));
            m_setup_error = QStringLiteral("the run could not be set up: ")
                + (err.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(err.readAll()).trimmed() : QString());
            m_done(this);
            return;
        }
        QJsonObject result;
        QFile file(result_path());
        if (file.open(QIODevice::ReadOnly))
            result = QJsonDocument::fromJson(file.readAll()).object();
        // What the run wrote to its standard error, but the platform's notes.
        QFile err(QDir(m_dir).filePath(QStringLiteral("run.err")));
        if (err.open(QIODevice::ReadOnly)) {
            QStringList lines = QString::fromLocal8Bit(err.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
            lines.erase(std::remove_if(lines.begin(), lines.end(), [](const QString &line) {
                            return line.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR"))
                                || line.contains(QLatin1String("does not support propagateSizeHints"));
                        }), lines.end());
            if (!lines.isEmpty())
                m_record.run.tool_output += QStringLiteral("(standard error:)\n") + lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
        }
        m_record.run.seconds = result.value(QStringLiteral("seconds")).toDouble();
        QFile log(m_log_path);
        const QString log_text = log.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(log.readAll()) : QString();
        if (m_record.face == Face::Dialog)
            conclude_dialog(log_text, result);
        else
            conclude_window(log_text, result);
        if (!m_config.keep)
            QDir(m_dir).removeRecursively();
        m_done(this);
    }

    void conclude_dialog(const QString &log_text, const QJsonObject &result)
    {
        RunRecord &r = m_record.run;
        r.log = campaign::read_sim_log(log_text);
        campaign::DialogEnding ending;
        ending.killed_for_hanging = r.ending.killed_for_hanging;
        ending.killed_by_signal = r.ending.killed_by_signal;
        ending.signal = r.ending.signal;
        ending.status = r.ending.status;
        if (!ending.killed_for_hanging && !ending.killed_by_signal && ending.status == 0 && result.isEmpty())
            ending.status = -1;
        const QJsonArray boxes = result.value(QStringLiteral("boxes")).toArray();
        for (const QJsonValue &box : boxes)
            ending.boxes.append({box.toArray().at(0).toString(), box.toArray().at(1).toString()});
        ending.module_line = result.value(QStringLiteral("module_line")).toString();
        m_record.dialog_device_shown = result.value(QStringLiteral("device_shown")).toBool();
        QString why;
        const bool identical = campaign::images_identical(
            campaign::images_in(QDir(m_dir).filePath(QStringLiteral("images"))), m_config.expected, &why);
        r.outcome = campaign::classify_dialog(ending, identical, r.log.data_frames, &why);
        r.why = why;
    }

    void conclude_window(const QString &log_text, const QJsonObject &result)
    {
        RunRecord &r = m_record.run;
        WindowRecord &w = m_record.window;
        r.log = campaign::read_sim_log(log_text, campaign::window_acts_on);
        w.first_lost = result.value(QStringLiteral("first_lost")).toInt(-1);
        w.reports = result.value(QStringLiteral("reports")).toBool();
        // The first reply lost on purpose is the campaign's, not the mix's.
        if (w.first_lost >= 0 && !r.log.faults.isEmpty()) {
            w.deliberate = r.log.faults.first();
            r.log.hits.removeOne(w.deliberate);
            r.log.hit_meaningful = !r.log.hits.isEmpty();
        }
        const QJsonObject checkpoint = result.value(QStringLiteral("checkpoint")).toObject();
        const QJsonObject final_state = result.value(QStringLiteral("final")).toObject();
        w.checkpoint_matched = checkpoint.value(QStringLiteral("matched")).toBool();
        for (const QJsonValue &d : checkpoint.value(QStringLiteral("differences")).toArray())
            w.checkpoint_diffs << d.toString();
        for (const QJsonValue &d : final_state.value(QStringLiteral("differences")).toArray())
            w.final_diffs << d.toString();
        if (r.ending.killed_for_hanging) {
            w.outcome = 2;
            r.why = QStringLiteral("it did not end");
        } else if (r.ending.killed_by_signal || r.ending.status != 0 || result.isEmpty()) {
            w.outcome = 3;
            r.why = r.ending.killed_by_signal ? QStringLiteral("killed by signal %1").arg(r.ending.signal)
                                              : QStringLiteral("ended with status %1").arg(r.ending.status);
        } else if (final_state.value(QStringLiteral("matched")).toBool()) {
            w.outcome = 0;
        } else {
            w.outcome = 1;
            r.why = QStringLiteral("at the end: ") + w.final_diffs.join(QStringLiteral("; "));
        }
        if (w.outcome < 2 && !w.checkpoint_matched) {
            r.why += (r.why.isEmpty() ? QString() : QStringLiteral("; "))
                + QStringLiteral("during the faults: ") + w.checkpoint_diffs.join(QStringLiteral("; "));
        }
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
    QProcess m_child;
    QByteArray m_output;
    QElapsedTimer m_clock;
    QElapsedTimer m_quiet;
    QTimer m_watch;
    qint64 m_log_size = -1;
    bool m_child_started = false;
    bool m_child_ended = false;
    bool m_started = false;
    bool m_stopped = false;
    bool m_concluded = false;
    QString m_setup_error;
    Record m_record;
};

struct Job
{
    Face face;
    Mix mix;
};

bool run_all(const Config &config, const QList<Job> &jobs, int parallel, const std::function<void(const Record &)> &done)
{
    int next = 0;
    int running = 0;
    int id = 0;
    bool setup_failed = false;
    QEventLoop loop;
    std::function<void()> fill;
    fill = [&] {
        while (!setup_failed && running < parallel && next < jobs.size()) {
            ++running;
            const Job &job = jobs.at(next++);
            auto *run = new Run(config, job.face, job.mix, id++, [&](Run *finished) {
                --running;
                if (!finished->setup_error().isEmpty()) {
                    std::fprintf(stderr, "bench_window_campaign: seed %u: %s\n", finished->record().run.mix.seed,
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
        if (running == 0 && (next >= jobs.size() || setup_failed))
            loop.quit();
    };
    QTimer::singleShot(0, &loop, fill);
    loop.exec();
    return !setup_failed;
}

// ---- the window runs' table ----

class WindowSummary
{
public:
    void add(const Record &r) { m_runs.append(r); }
    int runs() const { return int(m_runs.size()); }

    // Runs that break a goal: a hang or a crash, another state shown at the
    // end, or another state shown during faults that spared the meaningful bytes.
    QList<const Record *> failing() const
    {
        QList<const Record *> out;
        for (const Record &r : m_runs) {
            if (r.window.outcome != 0 || (!r.run.log.hit_meaningful && !r.window.checkpoint_matched))
                out.append(&r);
        }
        return out;
    }

    QString table() const
    {
        int count[3][WINDOW_OUTCOMES] = {};
        int total[3] = {};
        int during[3][2] = {};
        int lost_first = 0, recovered_first = 0;
        for (const Record &r : m_runs) {
            const int side = r.run.log.hit_meaningful ? 2 : 1;
            for (int column : {0, side}) {
                ++count[column][r.window.outcome];
                ++total[column];
                if (r.window.outcome < 2)
                    ++during[column][r.window.checkpoint_matched ? 0 : 1];
            }
            if (r.window.first_lost >= 0 && r.window.outcome < 2) {
                ++lost_first;
                recovered_first += r.window.checkpoint_matched;
            }
        }
        QString t;
        t += QStringLiteral("| Outcome after the faults | All runs | Faults spared the replies' meaningful bytes | Faults hit them |\n");
        t += QStringLiteral("|---|---|---|---|\n");
        for (int o = 0; o < WINDOW_OUTCOMES; ++o) {
            t += QStringLiteral("| %1 | %2 | %3 | %4 |\n")
                     .arg(QString::fromLatin1(window_outcome_name(o)), percent(count[0][o], total[0]),
                          percent(count[1][o], total[1]), percent(count[2][o], total[2]));
        }
        t += QStringLiteral("| **runs** | %1 | %2 | %3 |\n\n").arg(total[0]).arg(total[1]).arg(total[2]);
        const int seen[3] = {during[0][0] + during[0][1], during[1][0] + during[1][1], during[2][0] + during[2][1]};
        t += QStringLiteral("| At the checkpoint, during the faults | All | Spared | Hit |\n|---|---|---|---|\n");
        t += QStringLiteral("| the device's state shown | %1 | %2 | %3 |\n")
                 .arg(percent(during[0][0], seen[0]), percent(during[1][0], seen[1]), percent(during[2][0], seen[2]));
        t += QStringLiteral("| another state shown | %1 | %2 | %3 |\n\n")
                 .arg(percent(during[0][1], seen[0]), percent(during[1][1], seen[1]), percent(during[2][1], seen[2]));
        t += QStringLiteral("The first answer to the status request lost on purpose in %1 runs; the window "
                            "showed the device's state at the checkpoint in %2 of them.\n\n")
                 .arg(lost_first).arg(recovered_first);

        const int bad = count[0][2] + count[0][3];
        const auto yes = [](bool met) { return met ? QStringLiteral("yes") : QStringLiteral("**no**"); };
        t += QStringLiteral("| Goal | Today | Met |\n|---|---|---|\n");
        t += QStringLiteral("| hangs and crashes: 0 | %1 | %2 |\n").arg(bad).arg(yes(bad == 0));
        t += QStringLiteral("| the device's last state shown after the faults: 100 % | %1 of %2 | %3 |\n")
                 .arg(count[0][0]).arg(total[0]).arg(yes(count[0][0] == total[0]));
        t += QStringLiteral("| runs whose faults spared the meaningful bytes showing the device's state during them: "
                            "100 % | %1 of %2 | %3 |\n")
                 .arg(during[1][0]).arg(total[1]).arg(yes(during[1][0] == total[1]));

        QList<quint32> other, spared_other, broken;
        for (const Record &r : m_runs) {
            if (r.window.outcome == 1)
                other << r.run.mix.seed;
            if (r.window.outcome >= 2)
                broken << r.run.mix.seed;
            if (!r.run.log.hit_meaningful && r.window.outcome < 2 && !r.window.checkpoint_matched)
                spared_other << r.run.mix.seed;
        }
        t += QStringLiteral("\nAnother state shown after the faults: %1\n").arg(seed_list(other));
        t += QStringLiteral("Another state shown during faults that spared the meaningful bytes: %1\n").arg(seed_list(spared_other));
        t += QStringLiteral("Hangs and crashes: %1\n").arg(seed_list(broken));
        return t;
    }

private:
    QList<Record> m_runs;
};

QString window_report(const Record &r)
{
    const RunRecord &run = r.run;
    QString t = QStringLiteral("Window run, seed %1\n").arg(run.mix.seed);
    for (const QString &line : run.mix.describe())
        t += QStringLiteral("  mix: %1\n").arg(line);
    t += QStringLiteral("Faults the device's line made (%1; %2):\n")
             .arg(run.log.faults.size())
             .arg(run.log.hit_meaningful ? QStringLiteral("some hit the meaningful bytes of a reply the window acts on")
                                         : QStringLiteral("they spared the meaningful bytes"));
    for (const QString &line : run.log.faults) {
        const QString mark = line == r.window.deliberate ? QStringLiteral("ON PURPOSE ")
            : run.log.hits.contains(line)                ? QStringLiteral("HIT ")
                                                         : QString();
        t += QStringLiteral("  %1%2\n").arg(mark, line);
    }
    t += QStringLiteral("The run:\n");
    for (const QString &line : run.tool_output.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        t += QStringLiteral("  | %1\n").arg(line);
    t += QStringLiteral("Outcome: %1%2; %3 s; the run was held stopped %4 ms, replies paused %5 ms\n")
             .arg(QString::fromLatin1(window_outcome_name(r.window.outcome)))
             .arg(run.why.isEmpty() ? QString() : QStringLiteral(" (") + run.why + QLatin1Char(')'))
             .arg(run.seconds, 0, 'f', 2)
             .arg(run.stopped_ms)
             .arg(run.log.paused_ms);
    return t;
}

int drive(QCoreApplication &app)
{
    QCommandLineParser p;
    p.setApplicationDescription(QStringLiteral(
        "Seeded firmware updates through the firmware dialog, and the main window showing a device, under random "
        "faults on the device's line."));
    p.addHelpOption();
    const QCommandLineOption dialog_runs_option(QStringLiteral("dialog-runs"),
        QStringLiteral("Updates through the firmware dialog (default 200)."), QStringLiteral("n"), QStringLiteral("200"));
    const QCommandLineOption window_runs_option(QStringLiteral("window-runs"),
        QStringLiteral("Runs of the main window (default 200)."), QStringLiteral("n"), QStringLiteral("200"));
    const QCommandLineOption parallel_option(QStringLiteral("parallel"), QStringLiteral("Runs at a time (default 4)."),
                                             QStringLiteral("n"), QStringLiteral("4"));
    const QCommandLineOption first_option(QStringLiteral("first-seed"), QStringLiteral("Seed of the first run (default 1)."),
                                          QStringLiteral("s"), QStringLiteral("1"));
    const QCommandLineOption dialog_seed_option(QStringLiteral("dialog-seed"),
        QStringLiteral("Run this seed through the dialog alone and tell it in full."), QStringLiteral("s"));
    const QCommandLineOption window_seed_option(QStringLiteral("window-seed"),
        QStringLiteral("Run this seed through the window alone and tell it in full."), QStringLiteral("s"));
    const QCommandLineOption check_option(QStringLiteral("check"),
        QStringLiteral("Exit 1 when a run broke a goal that does not depend on time."));
    const QCommandLineOption keep_option(QStringLiteral("keep"), QStringLiteral("Keep every run's logs, and say where."));
    const QCommandLineOption given_option(QStringLiteral("sim-args"),
        QStringLiteral("These simulator options in every run instead of a drawn mix."), QStringLiteral("options"));
    p.addOptions({dialog_runs_option, window_runs_option, parallel_option, first_option, dialog_seed_option,
                  window_seed_option, check_option, keep_option, given_option});
    p.process(app);

    Config config;
    config.self = QCoreApplication::applicationFilePath();
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
        std::fprintf(stderr, "bench_window_campaign: cannot write the package\n");
        return 2;
    }
    config.expected = {{0, package.wlan}, {5, package.txu}};

    const QStringList given = QProcess::splitCommand(p.value(given_option));
    const auto mix_of = [&](quint32 seed) {
        Mix m = given.isEmpty() ? campaign::draw_mix(seed) : campaign::given_mix(given);
        m.seed = seed;
        return m;
    };

    campaign::Summary dialogs;
    WindowSummary windows;
    QList<quint32> device_not_shown;  // dialog runs whose window did not show the device before the dialog
    const auto take = [&](const Record &r) {
        if (r.face == Face::Dialog && !r.dialog_device_shown)
            device_not_shown << r.run.mix.seed;
        if (r.face == Face::Window)
            windows.add(r);
        else if (r.run.mix.fault_free)
            dialogs.add_fault_free(r.run);
        else
            dialogs.add(r.run);
    };
    const bool check = p.isSet(check_option);

    if (p.isSet(dialog_seed_option) || p.isSet(window_seed_option)) {
        const bool dialog = p.isSet(dialog_seed_option);
        QList<Job> jobs;
        if (dialog) {
            // The time of a fault-free update first, one at a time as the run itself.
            for (int i = 0; i < 3; ++i)
                jobs.append({Face::Dialog, campaign::fault_free_mix()});
        }
        const quint32 seed = (dialog ? p.value(dialog_seed_option) : p.value(window_seed_option)).toUInt();
        jobs.append({dialog ? Face::Dialog : Face::Window, mix_of(seed)});
        Record only;
        if (!run_all(config, jobs, 1, [&](const Record &r) {
                if (r.run.mix.fault_free)
                    take(r);
                else
                    only = r;
            }))
            return 2;
        take(only);
        say(dialog ? campaign::report(only.run, dialogs.base_seconds()) : window_report(only));
        if (config.keep)
            say(QStringLiteral("Logs in %1\n").arg(config.work));
        const bool passed = dialog ? dialogs.check_passed() : windows.failing().isEmpty();
        return check && !passed ? 1 : 0;
    }

    const int dialog_runs = qMax(0, p.value(dialog_runs_option).toInt());
    const int window_runs = qMax(0, p.value(window_runs_option).toInt());
    const int parallel = qMax(1, p.value(parallel_option).toInt());
    const quint32 first = p.value(first_option).toUInt();
    // Fault-free updates among the others, under the same load, to time an update.
    const int base_runs = dialog_runs > 0 ? qBound(5, dialog_runs / 20, 50) : 0;
    const int step = qMax(1, dialog_runs / qMax(1, base_runs));
    QList<Job> jobs;
    int base_added = 0;
    for (int i = 0; i < qMax(dialog_runs, window_runs); ++i) {
        if (i < dialog_runs) {
            if (i % step == 0 && base_added < base_runs) {
                jobs.append({Face::Dialog, campaign::fault_free_mix()});
                ++base_added;
            }
            jobs.append({Face::Dialog, mix_of(first + quint32(i))});
        }
        if (i < window_runs)
            jobs.append({Face::Window, mix_of(first + quint32(i))});
    }
    for (; base_added < base_runs; ++base_added)
        jobs.append({Face::Dialog, campaign::fault_free_mix()});

    say(QStringLiteral("%1 updates of a package (WLAN %2 bytes, DSP %3 bytes) through the firmware dialog against "
                       "tvc-sim --wire-speed, and %4 fault-free ones among them; %5 runs of the main window against a "
                       "simulated device; seeds from %6, %7 at a time.\n\n")
            .arg(dialog_runs).arg(WLAN_BYTES).arg(DSP_BYTES).arg(base_runs).arg(window_runs).arg(first).arg(parallel));
    QElapsedTimer clock;
    clock.start();
    int finished = 0;
    const bool ok = run_all(config, jobs, parallel, [&](const Record &r) {
        take(r);
        ++finished;
        if (r.face == Face::Dialog && !r.run.mix.fault_free && r.run.outcome != Outcome::Identical) {
            say(QStringLiteral("dialog seed %1: %2, faults %3: %4; last asked %5; faults on the last two answers: %6\n")
                    .arg(r.run.mix.seed)
                    .arg(QString::fromLatin1(campaign::outcome_name(r.run.outcome)))
                    .arg(r.run.log.hit_meaningful ? QStringLiteral("hit meaningful bytes") : QStringLiteral("spared"))
                    .arg(r.run.why, r.run.log.last_request,
                         r.run.log.recent_faults.isEmpty() ? QStringLiteral("none")
                                                           : r.run.log.recent_faults.join(QStringLiteral("; "))));
        }
        if (r.face == Face::Window && (r.window.outcome != 0 || !r.window.checkpoint_matched)) {
            say(QStringLiteral("window seed %1: %2, faults %3: %4\n")
                    .arg(r.run.mix.seed)
                    .arg(QString::fromLatin1(window_outcome_name(r.window.outcome)))
                    .arg(r.run.log.hit_meaningful ? QStringLiteral("hit meaningful bytes") : QStringLiteral("spared"))
                    .arg(r.run.why));
        }
        if (finished % qMax(1, int(jobs.size()) / 10) == 0)
            std::fprintf(stderr, "%d of %d runs, %.0f s\n", finished, int(jobs.size()), clock.elapsed() / 1000.0);
    });
    if (!ok)
        return 2;
    say(QStringLiteral("\n%1 runs in %2 s.\n").arg(jobs.size()).arg(clock.elapsed() / 1000.0, 0, 'f', 1));
    if (dialog_runs > 0) {
        say(QStringLiteral("\nThrough the firmware dialog:\n\n") + dialogs.table());
        say(QStringLiteral("The window showed the device before the dialog opened in %1 of %2 runs (not: %3).\n")
                .arg(dialog_runs + base_runs - int(device_not_shown.size()))
                .arg(dialog_runs + base_runs)
                .arg(seed_list(device_not_shown)));
    }
    if (window_runs > 0)
        say(QStringLiteral("\nThe main window:\n\n") + windows.table());

    if (!check) {
        if (config.keep)
            say(QStringLiteral("Logs in %1\n").arg(config.work));
        return 0;
    }
    const QList<const RunRecord *> failing_dialogs = dialogs.failing();
    const QList<const Record *> failing_windows = windows.failing();
    int shown = 0;
    for (const RunRecord *r : failing_dialogs) {
        if (shown++ < 10)
            say(QStringLiteral("\n") + campaign::report(*r, dialogs.base_seconds()));
    }
    for (const Record *r : failing_windows) {
        if (shown++ < 20)
            say(QStringLiteral("\n") + window_report(*r));
    }
    if (shown > 20)
        say(QStringLiteral("\n... and more; --dialog-seed S or --window-seed S tells any of them.\n"));
    return failing_dialogs.isEmpty() && failing_windows.isEmpty() ? 0 : 1;
}

} // namespace

int main(int argc, char *argv[])
{
    // A run of its own needs the widgets; the driver does not.
    bool child_run = false;
    for (int i = 1; i < argc; ++i)
        child_run = child_run || qstrcmp(argv[i], "--run-dialog") == 0 || qstrcmp(argv[i], "--run-window") == 0;
    if (!child_run) {
        QCoreApplication app(argc, argv);
        return drive(app);
    }
    QApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    const auto value = [&](const char *name) {
        const int at = int(arguments.indexOf(QString::fromLatin1(name)));
        return at >= 0 ? arguments.value(at + 1) : QString();
    };
    const QString dir = value("--dir");
    const QString result = value("--result");
    if (arguments.contains(QStringLiteral("--run-window")))
        return run_window(value("--seed").toUInt(), dir, result);
    return run_dialog(value("--port"), value("--package"), result);
}

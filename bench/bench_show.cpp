// The show campaign: simulated devices through a show, watched by the
// program's alarm watch, and judged against the devices' own log of what they
// did (see show_campaign.h).
//
//   bench_show [--seed S] [--seeds N] [--devices N] [--seconds S] [--check]
//   bench_show --live SECONDS [--devices N] [--check]
//   bench_show --cost [--devices N] [--seconds S]
//   bench_show --cost-run bare|watched [--devices N] [--seconds S]   (under callgrind)
//   bench_show ... --trace DEVICE FROM_MS TO_MS
//
// The simulated show (the default) runs on a clock of its own: eight devices
// through an hour in a few seconds. Each device sends what a device sends
// every 10 ms, through the sessions' own decoding: its signal wanders, its
// link drops, its levels dip into the weak band and go without a reading, it
// falls silent, its cable is pulled, a transmitter is muted, its +48V switched
// and its channel changed; now and then the user acknowledges alarms.
// --live runs tvc-sim's devices on pseudo-terminals in real time, found and
// linked as the window does. --cost measures what the watch adds to each
// report. --check makes any fault end the run with status 1.
// --rules-minimum MS gives the watch another minimum time than the judge
// expects: a judge that notices is one that can fail.

#include "alarm_watch.h"
#include "bench_support.h"
#include "device_roster.h"
#include "device_session.h"
#include "frame.h"
#include "show_campaign.h"
#include "show_log.h"
#include "sim/device.h"
#include "sim/frame.h"
#include "sim/signalwalk.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QHash>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <map>
#include <memory>
#include <random>
#include <unistd.h>

namespace {

struct Options
{
    quint32 seed = 1;
    int seeds = 1;
    int devices = 8;
    int seconds = 3600;
    int live_seconds = 0;
    bool cost = false;
    bool check = false;
    int rules_minimum = -1;
    QString cost_run;  // "bare" or "watched": one show alone, for an instruction count
};

// A pseudo-terminal whose far end nobody reads: a port a session can open.
struct Pty
{
    int master = -1;
    QString slave;

    Pty()
    {
        master = posix_openpt(O_RDWR | O_NOCTTY);
        if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0)
            qFatal("no pseudo-terminal");
        slave = QString::fromLocal8Bit(ptsname(master));
    }
    ~Pty() { ::close(master); }
};

QByteArray frame_with(quint8 code, std::initializer_list<int> args)
{
    QByteArray bytes;
    for (int arg : args)
        bytes.append(char(arg));
    return sim::buildFrame(code, sim::kUnitWlan, bytes);
}

QByteArray levels_frame(int a, int b)
{
    QByteArray bytes;
    sim::appendU16(bytes, quint16(qint16(a)));
    sim::appendU16(bytes, quint16(qint16(b)));
    return sim::buildFrame(sim::rpl::Signal, sim::kUnitWlan, bytes);
}

double median(QVector<double> values)
{
    if (values.isEmpty())
        return 0;
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

double maximum(const QVector<double> &values)
{
    return values.isEmpty() ? 0 : *std::max_element(values.begin(), values.end());
}

// What a run gave, for the table.
struct Outcome
{
    show::Verdict verdict;
    int events_sent = 0;
    int events_told = 0;
    int acknowledgements = 0;
    int log_entries = 0;
    qint64 reports = 0;
    double seconds = 0;
    QStringList faults;  // beside the judge's: events, acknowledgements, the log
};

// Collects what the watch tells.
class Listener
{
public:
    Listener(AlarmWatch *watch, const QHash<QString, int> &devices, Outcome *outcome)
        : m_devices(devices)
    {
        QObject::connect(watch, &AlarmWatch::alarm_started, [this](const AlarmRecord &r) {
            show::Told told;
            told.device = m_devices.value(r.device.port, -1);
            told.kind = r.alarm.kind;
            told.id = r.alarm.id;
            told.start_ms = r.alarm.start_ms;
            told.raised_ms = r.told_ms;
            m_index.insert(r.alarm.id, m_told.size());
            m_told.push_back(told);
        });
        QObject::connect(watch, &AlarmWatch::alarm_ended, [this, watch, outcome](const AlarmRecord &r) {
            m_told[m_index.value(r.alarm.id)].end_ms = r.alarm.end_ms;
            // A past alarm waits to be seen; one seen while it ran goes.
            bool shown = false;
            for (const AlarmRecord &s : watch->alarms(r.device.port))
                shown = shown || (s.alarm.id == r.alarm.id && !s.alarm.running());
            if (shown == r.alarm.acknowledged)
                outcome->faults << QStringLiteral("%1 from %2 ms: shown after its end: %3, acknowledged: %4")
                                       .arg(QLatin1String(alarm_id(r.alarm.kind)))
                                       .arg(r.alarm.start_ms)
                                       .arg(shown)
                                       .arg(r.alarm.acknowledged);
        });
        QObject::connect(watch, &AlarmWatch::device_event, [this](const EventRecord &r) {
            m_events.push_back({m_devices.value(r.device.port, -1), r.event});
        });
    }

    const std::vector<show::Told> &told() const { return m_told; }
    struct Event
    {
        int device;
        DeviceEvent event;
    };
    const std::vector<Event> &events() const { return m_events; }

private:
    QHash<QString, int> m_devices;
    std::vector<show::Told> m_told;
    QHash<quint64, size_t> m_index;
    std::vector<Event> m_events;
};

// After an acknowledgement only running alarms are shown, marked seen.
void check_acknowledged(const AlarmWatch &watch, const QString &port, Outcome *outcome)
{
    const QVector<AlarmRecord> shown = port.isEmpty() ? watch.alarms() : watch.alarms(port);
    for (const AlarmRecord &r : shown) {
        if (!r.alarm.running() || !r.alarm.acknowledged)
            outcome->faults << QStringLiteral("%1 from %2 ms still shown unseen after it was acknowledged")
                                   .arg(QLatin1String(alarm_id(r.alarm.kind)))
                                   .arg(r.alarm.start_ms);
    }
    if ((port.isEmpty() ? watch.unacknowledged() : watch.unacknowledged(port)) != 0)
        outcome->faults << QStringLiteral("alarms counted unseen after they were acknowledged");
}

// One simulated device of the show, on its own clock.
class ShowDevice
{
public:
    ShowDevice(int index, quint32 seed, DeviceSession *session, show::CauseLog *causes)
        : m_index(index)
        , m_walk(seed, sim::SignalWalk::Rates{20, 45, 30})
        , m_random(seed)
        , m_session(session)
        , m_causes(causes)
    {
        // Receivers in repeater mode (both levels count), a receiver without
        // it (level A alone), and a transmitter that masters the channel.
        m_repeater = index % 4 < 2;
        m_master_txu = index % 4 == 3;
        m_plug_at = index * 37;
        m_next_silence = draw(150000);
    }

    QString port() const { return m_pty.slave; }
    int events_sent() const { return m_events; }
    qint64 reports() const { return m_reports; }

    void step(qint64 t)
    {
        if (!m_plugged) {
            if (t >= m_plug_at)
                plug(t);
            return;
        }
        if (t >= m_next_unplug) {
            unplug(t);
            return;
        }
        if (m_silent) {
            if (t < m_silence_end)
                return;
            m_silent = false;
            m_next_silence = t + draw(150000);
        } else if (t >= m_next_silence) {
            // The device says nothing for a while; its signal waits.
            m_silent = true;
            m_silence_end = t + uniform(300, 5000);
            return;
        }
        const sim::SignalWalk::Step s = m_walk.advance(0.01);
        if (s.linkDown != m_link_down) {
            m_link_down = s.linkDown;
            send(frame_with(sim::rpl::LinkState, {m_link_down ? 1 : 2}), t);
        }
        if (m_master_txu) {
            // A transmitter measures no signal: it is never asked for reports.
            change_audio(t);
            return;
        }
        const bool reading = !m_link_down && !s.noReading;
        send(levels_frame(reading ? s.levelA : 0, reading && m_repeater ? s.levelB : 0), t);
        ++m_reports;
    }

private:
    qint64 draw(double mean_ms) { return qint64(std::exponential_distribution<double>(1.0 / mean_ms)(m_random)); }
    qint64 uniform(qint64 low, qint64 high) { return std::uniform_int_distribution<qint64>(low, high)(m_random); }
    bool chance(double every_ms) { return std::uniform_real_distribution<double>(0, 1)(m_random) < 10.0 / every_ms; }

    void send(const QByteArray &frame, qint64 t)
    {
        m_causes->sent(m_index, frame, t);
        m_session->decode(frame);
    }

    void plug(qint64 t)
    {
        QString error;
        if (!m_session->open(m_pty.slave, &error))
            qFatal("%s", qPrintable(error));
        m_causes->plugged(m_index, t);
        const int link = m_link_down ? 1 : 2;
        if (m_master_txu) {
            send(frame_with(sim::rpl::DeviceInfo, {0x04 | (m_index << 4 & 0xF0), link | (m_muted ? 0x10 : 0)
                                                                           | (m_phantom ? 0x20 : 0), 8}),
                 t);
            send(frame_with(sim::rpl::Channel, {m_channel}), t);
        } else {
            send(frame_with(sim::rpl::DeviceInfo, {0x01 | (m_repeater ? 0x08 : 0) | 0x30, link}), t);
        }
        if (!m_master_txu) {
            m_session->set_signal_reports(true);
            m_causes->asked(m_index, true, t);
        }
        m_plugged = true;
        m_next_unplug = t + draw(420000);
    }

    void unplug(qint64 t)
    {
        m_session->close(true);
        m_causes->unplugged(m_index, t);
        m_plugged = false;
        m_silent = false;
        m_plug_at = t + uniform(200, 8000);
    }

    void change_audio(qint64 t)
    {
        if (chance(60000)) {
            m_muted = !m_muted;
            send(frame_with(sim::rpl::Mute, {m_muted ? 1 : 0}), t);
            ++m_events;
        }
        if (chance(120000)) {
            m_phantom = !m_phantom;
            send(frame_with(sim::rpl::Phantom, {m_phantom ? 1 : 0}), t);
            ++m_events;
        }
        if (chance(200000)) {
            static const int channels[] = {36, 40, 44, 48};
            const int next = channels[(std::find(channels, channels + 4, m_channel) - channels + 1 + uniform(0, 2)) % 4];
            m_channel = next;
            send(frame_with(sim::rpl::Channel, {m_channel}), t);
            ++m_events;
        }
    }

    int m_index;
    sim::SignalWalk m_walk;
    std::mt19937_64 m_random;
    DeviceSession *m_session;
    show::CauseLog *m_causes;
    Pty m_pty;
    bool m_repeater = false;
    bool m_master_txu = false;
    bool m_plugged = false;
    qint64 m_plug_at = 0;
    qint64 m_next_unplug = 0;
    bool m_silent = false;
    qint64 m_silence_end = 0;
    qint64 m_next_silence = 0;
    bool m_link_down = false;
    bool m_muted = false;
    bool m_phantom = false;
    int m_channel = 36;
    int m_events = 0;
    qint64 m_reports = 0;
};

constexpr qint64 WALL_OFFSET_MS = 1798761600000;  // 2027-01-01

// --trace DEVICE FROM TO: the causes and alarms of one device in a stretch
// of the show (milliseconds), to follow a fault the judge names.
struct Trace
{
    int device = -1;
    qint64 from = 0;
    qint64 to = 0;
} trace;

void print_trace(const std::vector<show::Spell> &spells, const std::vector<show::Told> &told)
{
    if (trace.device < 0)
        return;
    for (const show::Spell &s : spells) {
        if (s.device == trace.device && s.last_ms >= trace.from && s.start_ms <= trace.to)
            std::printf("cause %s from %lld, last %lld, ended %lld\n", show::cause_name(s.cause),
                        static_cast<long long>(s.start_ms), static_cast<long long>(s.last_ms),
                        static_cast<long long>(s.end_ms));
    }
    for (const show::Told &t : told) {
        if (t.device == trace.device && (t.end_ms < 0 || t.end_ms >= trace.from) && t.start_ms <= trace.to)
            std::printf("alarm %s from %lld to %lld, told at %lld\n", alarm_id(t.kind),
                        static_cast<long long>(t.start_ms), static_cast<long long>(t.end_ms),
                        static_cast<long long>(t.raised_ms));
    }
}

// A show on the simulation's clock. `watched`: with the alarm watch (and its
// log); without, only the sessions decode (for the cost). `clock_reads`: the
// watch reads the system's clock as it does in the program, though it keeps
// the simulation's time.
Outcome simulated_show(quint32 seed, int devices, int seconds, const AlarmSettings &judged,
                       const AlarmSettings &rules, bool watched = true, bool clock_reads = false)
{
    Outcome outcome;
    qint64 now = 0;
    AlarmWatch watch(
        rules,
        [&now, clock_reads] {
            if (clock_reads)
                history_now();
            return HistoryTime{now, WALL_OFFSET_MS};
        },
        [](const QString &port) { return QStringLiteral("port:") + port; });
    ShowLog log;
    record_show(&watch, &log, nullptr);
    show::CauseLog causes(devices, judged);
    std::vector<std::unique_ptr<DeviceSession>> sessions;
    std::vector<std::unique_ptr<ShowDevice>> simulated;
    QHash<QString, int> ports;
    QStringList port_names;
    for (int i = 0; i < devices; ++i) {
        sessions.push_back(std::make_unique<DeviceSession>());
        simulated.push_back(std::make_unique<ShowDevice>(i, seed * 1000 + quint32(i), sessions.back().get(), &causes));
        ports.insert(simulated.back()->port(), i);
        port_names << simulated.back()->port();
        if (watched)
            watch.watch(sessions.back().get(), simulated.back()->port());
    }
    Listener listener(&watch, ports, &outcome);
    std::mt19937_64 random(seed);
    qint64 next_ack = 30000;

    const qint64 cpu0 = bench::cpu_ns();
    const qint64 end = qint64(seconds) * 1000;
    for (qint64 t = 0; t <= end; ++t) {
        for (qint64 due = watch.next_deadline(); due >= 0 && due <= t; due = watch.next_deadline()) {
            now = std::max(now, due);
            watch.check();
        }
        now = t;
        for (int i = int(t % 10); i < devices; i += 10)
            simulated[size_t(i)]->step(t);
        if (watched && t >= next_ack) {
            next_ack = t + qint64(std::exponential_distribution<double>(1.0 / 60000)(random));
            const bool all = random() % 2 == 0;
            const QString port = all ? QString() : port_names.at(int(random() % quint64(port_names.size())));
            if (all)
                watch.acknowledge_all();
            else
                watch.acknowledge(port);
            check_acknowledged(watch, port, &outcome);
            ++outcome.acknowledgements;
        }
    }
    outcome.seconds = double(bench::cpu_ns() - cpu0) / 1e9;
    causes.finish(end);
    for (const auto &device : simulated) {
        outcome.events_sent += device->events_sent();
        outcome.reports += device->reports();
    }
    if (!watched)
        return outcome;

    outcome.verdict = show::judge(causes.spells(), listener.told(), judged, 0, 0);
    print_trace(causes.spells(), listener.told());
    outcome.events_told = int(listener.events().size());
    if (outcome.events_told != outcome.events_sent)
        outcome.faults << QStringLiteral("%1 events sent, %2 told").arg(outcome.events_sent).arg(outcome.events_told);
    // The log holds every alarm and event, each alarm with its length once it ended.
    outcome.log_entries = log.size();
    if (quint64(log.size()) + log.dropped() != listener.told().size() + listener.events().size())
        outcome.faults << QStringLiteral("the show log holds %1 entries of %2")
                              .arg(quint64(log.size()) + log.dropped())
                              .arg(listener.told().size() + listener.events().size());
    QHash<quint64, qint64> lengths;
    for (const show::Told &told : listener.told())
        lengths.insert(told.id, told.end_ms < 0 ? -1 : told.end_ms - told.start_ms);
    for (int i = 0; i < log.size(); ++i) {
        const ShowLogEntry &entry = log.entry(i);
        if (entry.is_alarm() && lengths.value(entry.alarm_id, -2) != entry.length_ms)
            outcome.faults << QStringLiteral("the show log gives alarm %1 %2 ms, not %3")
                                  .arg(entry.alarm_id)
                                  .arg(entry.length_ms)
                                  .arg(lengths.value(entry.alarm_id, -2));
        if (i > 0 && log.entry(i - 1).time_ms > entry.time_ms)
            outcome.faults << QStringLiteral("the show log is out of order at entry %1").arg(i);
    }
    return outcome;
}

// A show in real time: tvc-sim's devices on pseudo-terminals, found and
// linked by a roster as the window does, their cables pulled now and then.
Outcome live_show(int devices, int seconds, const AlarmSettings &settings)
{
    Outcome outcome;
    QTemporaryDir folder;
    std::vector<std::unique_ptr<sim::Device>> simulated;
    QStringList links;
    QHash<QString, int> ports;
    for (int i = 0; i < devices; ++i) {
        sim::DeviceOptions options;
        options.role = sim::Role::Client;
        options.txu = false;
        options.repeaterMode = i % 2 == 0;
        options.slot = 3;
        options.signalWalk = true;
        options.walkSeed = 7 + i;
        options.walkNoReadingEvery = 8;
        options.walkLinkDropEvery = 12;
        options.walkDipEvery = 8;
        options.reportPeriodMs = 10;
        options.logFrames = false;
        options.symlinkPath = folder.filePath(QStringLiteral("device%1").arg(i));
        simulated.push_back(std::make_unique<sim::Device>(options));
        if (!simulated.back()->start())
            qFatal("tvc-sim's device did not start");
        links << options.symlinkPath;
        ports.insert(options.symlinkPath, i);
    }
    const auto steady_ms = [] { return sim::steadyNowNs() / 1000000; };
    AlarmWatch watch(
        settings, [&] { return HistoryTime{steady_ms(), 0}; },
        [](const QString &port) { return QStringLiteral("port:") + port; });
    Listener listener(&watch, ports, &outcome);
    DeviceRoster roster(PortFinder::fixed(links));
    watch.follow(&roster);
    roster.keep_all_linked();
    // As the window's "Signal Strength for All": reports from every device
    // that is linked, asked again when it comes back.
    for (const DeviceRoster::Entry &entry : roster.entries()) {
        DeviceSession *session = entry.session;
        QObject::connect(session, &DeviceSession::reply, session, [session](quint8 code) {
            if (code == RPL_DEVICE_INFO && session->state().report_mode != REPORT_SIGNAL)
                session->set_signal_reports(true);
        });
    }

    // Cables pulled and plugged in again.
    struct Plug
    {
        int device;
        bool in;
        qint64 ms;
    };
    std::vector<Plug> plugs;
    for (int i = 0; i < devices; ++i)
        plugs.push_back({i, true, 0});
    std::mt19937 random(11);
    QTimer pull;
    QObject::connect(&pull, &QTimer::timeout, [&] {
        const int i = int(random() % quint32(devices));
        if (!simulated[size_t(i)]->isConnected())
            return;
        simulated[size_t(i)]->hangUp();
        plugs.push_back({i, false, steady_ms()});
        QTimer::singleShot(1000 + int(random() % 3000), [&, i] {
            plugs.push_back({i, true, steady_ms()});
            simulated[size_t(i)]->start();
        });
    });
    pull.start(7000);
    QEventLoop loop;
    QTimer::singleShot(seconds * 1000, &loop, &QEventLoop::quit);
    loop.exec();
    pull.stop();
    const qint64 end_ms = steady_ms();

    // The devices' own log: what each sent and received, and its cable.
    struct Moment
    {
        qint64 ms;
        int device;
        int what;  // 0 plugged, 1 unplugged, 2 asked, 3 sent
        QByteArray frame;
    };
    std::vector<Moment> moments;
    for (const Plug &plug : plugs)
        moments.push_back({plug.ms, plug.device, plug.in ? 0 : 1, QByteArray()});
    for (int i = 0; i < devices; ++i) {
        for (const sim::ReceivedFrame &f : simulated[size_t(i)]->received()) {
            if (sim::byteAt(f.bytes, 7) == sim::cmd::ReportMode)
                moments.push_back({f.at_ns / 1000000, i, 2, f.bytes});
        }
        for (const sim::SentFrame &f : simulated[size_t(i)]->sent()) {
            moments.push_back({f.at_ns / 1000000, i, 3, f.bytes});
            if (sim::byteAt(f.bytes, 7) == sim::rpl::Signal)
                ++outcome.reports;
        }
    }
    std::stable_sort(moments.begin(), moments.end(), [](const Moment &a, const Moment &b) { return a.ms < b.ms; });
    show::CauseLog causes(devices, settings);
    for (const Moment &m : moments) {
        if (m.what == 0)
            causes.plugged(m.device, m.ms);
        else if (m.what == 1)
            causes.unplugged(m.device, m.ms);
        else if (m.what == 2)
            causes.asked(m.device, sim::byteAt(m.frame, 8) == 1, m.ms);
        else
            causes.sent(m.device, m.frame, m.ms);
    }
    causes.finish(end_ms);
    // The watch sees a frame a little after the device sent it, and a port
    // that came back once the roster has noticed and opened it.
    outcome.verdict = show::judge(causes.spells(), listener.told(), settings, 300, 2000);
    outcome.seconds = seconds;
    return outcome;
}

void print_table(const Outcome &o)
{
    std::printf("| Alarm | Causes that lasted their minimum | Raised within 0.5 s | Late | Missed "
                "| After the minimum: median, max | Alarms told | Without a cause | Ended | Ended without a reason |\n");
    std::printf("|---|---|---|---|---|---|---|---|---|---|\n");
    for (int k = 0; k < ALARM_KINDS; ++k) {
        const show::Tally &t = o.verdict.kinds[size_t(k)];
        std::printf("| %s | %d | %d | %d | %d | %.0f, %.0f ms | %d | %d | %d | %d |\n", alarm_id(AlarmKind(k)), t.causes,
                    t.raised_in_time, t.late, t.missed, median(t.delay_ms), maximum(t.delay_ms), t.alarms,
                    t.without_cause, t.ended, t.wrong_end);
    }
    std::printf("\nreports %lld; events sent %d, told %d; acknowledgements %d; show log entries %d\n",
                static_cast<long long>(o.reports), o.events_sent, o.events_told, o.acknowledgements, o.log_entries);
}

bool report_faults(const Outcome &o)
{
    for (const QString &fault : o.verdict.faults)
        std::printf("FAULT %s\n", qPrintable(fault));
    if (o.verdict.fault_count > o.verdict.faults.size())
        std::printf("FAULT ... %d in all\n", o.verdict.fault_count);
    for (const QString &fault : o.faults.mid(0, 20))
        std::printf("FAULT %s\n", qPrintable(fault));
    return o.verdict.ok() && o.faults.isEmpty();
}

// What the watch adds to each report: the same show with and without it,
// each a few times, the fastest of each.
void measure_cost(int devices, int seconds)
{
    const AlarmSettings settings;
    double without = 1e300, with = 1e300;
    qint64 reports = 0;
    for (int round = 0; round < 3; ++round) {
        const Outcome bare = simulated_show(1, devices, seconds, settings, settings, false);
        const Outcome watched = simulated_show(1, devices, seconds, settings, settings, true, true);
        without = std::min(without, bare.seconds);
        with = std::min(with, watched.seconds);
        reports = watched.reports;
    }
    const double extra_ns = (with - without) * 1e9 / double(reports);
    std::printf("%d devices, %d simulated seconds, %lld reports\n", devices, seconds, static_cast<long long>(reports));
    bench::print("CPU without the watch", without * 1e9 / double(reports), "ns a report");
    bench::print("CPU with the watch", with * 1e9 / double(reports), "ns a report");
    bench::print("the watch's share", extra_ns, "ns a report");
    bench::print("at a report every 10 ms from each", 100.0 * extra_ns * devices * 100 / 1e9, "% of a core");
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    Options o;
    bool devices_given = false;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        const QString &a = args.at(i);
        const auto next = [&] { return i + 1 < args.size() ? args.at(++i).toInt() : 0; };
        if (a == QLatin1String("--seed")) {
            o.seed = quint32(next());
        } else if (a == QLatin1String("--seeds")) {
            o.seeds = next();
        } else if (a == QLatin1String("--devices")) {
            o.devices = next();
            devices_given = true;
        } else if (a == QLatin1String("--seconds")) {
            o.seconds = next();
        } else if (a == QLatin1String("--live")) {
            o.live_seconds = next();
        } else if (a == QLatin1String("--cost")) {
            o.cost = true;
        } else if (a == QLatin1String("--cost-run")) {
            o.cost_run = i + 1 < args.size() ? args.at(++i) : QString();
        } else if (a == QLatin1String("--check")) {
            o.check = true;
        } else if (a == QLatin1String("--rules-minimum")) {
            o.rules_minimum = next();
        } else if (a == QLatin1String("--trace")) {
            trace.device = next();
            trace.from = next();
            trace.to = next();
        } else {
            std::fprintf(stderr, "unknown argument %s\n", qPrintable(a));
            return 2;
        }
    }
    const AlarmSettings judged;
    AlarmSettings rules;
    if (o.rules_minimum >= 0)
        rules.minimum_ms = o.rules_minimum;

    if (!o.cost_run.isEmpty()) {
        const Outcome run = simulated_show(1, devices_given ? o.devices : 16, std::min(o.seconds, 120), judged, rules,
                                           o.cost_run == QLatin1String("watched"), true);
        std::printf("%lld reports\n", static_cast<long long>(run.reports));
        return 0;
    }
    if (o.cost) {
        measure_cost(devices_given ? o.devices : 16, std::min(o.seconds, 120));
        return 0;
    }
    if (o.live_seconds > 0) {
        const int devices = devices_given ? o.devices : 3;
        std::printf("live show: %d devices of tvc-sim on pseudo-terminals, %d s\n\n", devices, o.live_seconds);
        const Outcome outcome = live_show(devices, o.live_seconds, judged);
        print_table(outcome);
        return report_faults(outcome) || !o.check ? 0 : 1;
    }
    bool all_ok = true;
    for (int k = 0; k < o.seeds; ++k) {
        const quint32 seed = o.seed + quint32(k);
        std::printf("simulated show, seed %u: %d devices, %d s\n\n", seed, o.devices, o.seconds);
        const Outcome outcome = simulated_show(seed, o.devices, o.seconds, judged, rules);
        print_table(outcome);
        std::printf("simulated %d s in %.1f s of CPU\n\n", o.seconds, outcome.seconds);
        all_ok = report_faults(outcome) && all_ok;
    }
    return all_ok || !o.check ? 0 : 1;
}

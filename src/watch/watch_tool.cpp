#include "watch_tool.h"

#include "alarm_watch.h"
#include "console.h"
#include "device_names.h"
#include "device_roster.h"
#include "device_session.h"
#include "frame.h"
#include "metrics.h"
#include "show_settings.h"

#include <QCoreApplication>

namespace {

// A single reading looks this often whether every device has told.
constexpr int READ_LOOK_MS = 50;

// A device has told what a single reading shows: who it is, and its levels
// where it measures any and its link lets it.
bool told(const DeviceSession &session)
{
    const DeviceState &s = session.state();
    return s.info_known && (!signal_strength_allowed(s) || s.levels_live);
}

} // namespace

WatchTool::WatchTool(const WatchOptions &options, const PortFinder &finder, Console *console, QObject *parent)
    : QObject(parent)
    , m_options(options)
    , m_finder(finder)
    , m_console(console)
    , m_lines(options.format)
{
    m_deadline.setSingleShot(true);
}

WatchTool::~WatchTool() = default;

void WatchTool::start()
{
    const QString file = user_settings_file();
    QString problem;
    const ShowSettings settings = read_show_settings(file, &problem);
    m_names = std::make_unique<DeviceNames>(file);
    m_roster = new DeviceRoster(m_finder, this);
    m_watch = new AlarmWatch(settings.alarms, this);
    m_watch->follow(m_roster);
    m_tally = new DeviceTally(m_roster, m_watch, m_names.get(), this);
    connect(m_roster, &DeviceRoster::entries_changed, this, &WatchTool::follow_sessions);

    if (!m_options.metrics.isEmpty()) {
        m_server = new MetricsServer(m_tally, this);
        QString error;
        if (!m_server->listen(m_options.metrics, &error)) {
            end(WATCH_USAGE, error);
            return;
        }
    }

    m_roster->keep_all_linked();
    follow_sessions();

    write(m_lines.header());
    if (m_options.follow) {
        connect(m_watch, &AlarmWatch::device_event, this, [this](const EventRecord &e) {
            write(m_lines.event(e, who(e.device.port, e.device.key)));
        });
        connect(m_watch, &AlarmWatch::alarm_started, this, [this](const AlarmRecord &a) {
            write(m_lines.alarm(a, true, who(a.device.port, a.device.key)));
        });
        connect(m_watch, &AlarmWatch::alarm_ended, this, [this](const AlarmRecord &a) {
            write(m_lines.alarm(a, false, who(a.device.port, a.device.key)));
        });
        connect(&m_tick, &QTimer::timeout, this, &WatchTool::print_reading);
        m_tick.start(m_options.interval_ms);
        return;
    }

    if (m_tally->readings().isEmpty()) {
        end(WATCH_NONE_FOUND,
            tr("No device found (no serial port reports the manufacturer \"%1\").").arg(BRIDGE_MANUFACTURER));
        return;
    }
    connect(&m_tick, &QTimer::timeout, this, &WatchTool::check_read);
    connect(&m_deadline, &QTimer::timeout, this, &WatchTool::print_reading);
    m_tick.start(READ_LOOK_MS);
    m_deadline.start(READ_WAIT_MS);
}

void WatchTool::interrupt()
{
    end(m_options.follow ? WATCH_ALL_READ : WATCH_INTERRUPTED);
}

void WatchTool::follow_sessions()
{
    for (const DeviceRoster::Entry &entry : m_roster->entries()) {
        DeviceSession *session = entry.session;
        if (!session || m_followed.contains(session))
            continue;
        m_followed.insert(session);
        // The watch keeps no link history: what the devices report goes out
        // as it comes, and the memory stays flat however long it runs.
        session->set_history(nullptr);
        connect(session, &DeviceSession::reply, this,
                [this, session](quint8 code, const QByteArray &) { take_reply(session, code); });
        connect(session, &DeviceSession::reset, this, [this, session] {
            m_versions_asked.remove(session);
            m_reports_asked.remove(session);
        });
    }
}

void WatchTool::take_reply(DeviceSession *session, quint8 code)
{
    if (m_ended)
        return;
    if (code == RPL_DEVICE_INFO && !m_versions_asked.contains(session)) {
        // The versions name the device in the metrics and tell no one else.
        m_versions_asked.insert(session);
        session->send_command(CMD_VERSION, UNIT_WLAN, 0);
        session->send_command(CMD_VERSION, UNIT_DSP, 0);
    }
    if (code == RPL_DEVICE_INFO || code == RPL_LINK_STATE)
        ask_reports(session);
}

// Signal reports from every device whose window would let them be asked
// for, as Signal Strength for All does.
void WatchTool::ask_reports(DeviceSession *session)
{
    if (!session->is_open() || session->suspended() || !signal_strength_allowed(session->state()))
        return;
    m_reports_asked.insert(session);
    if (session->state().report_mode != REPORT_SIGNAL)
        session->set_signal_reports(true);
}

void WatchTool::check_read()
{
    for (const DeviceRoster::Entry &entry : m_roster->entries()) {
        if (!entry.present || !entry.session)
            continue;
        // A port that could not be opened will not tell.
        if (entry.session->is_open() && !told(*entry.session))
            return;
    }
    print_reading();
}

void WatchTool::print_reading()
{
    if (m_ended)
        return;
    const QVector<DeviceReading> devices = m_tally->readings(m_options.follow);
    write(m_lines.readings(devices, history_now(), m_options.follow));
    if (m_options.follow)
        return;
    int read = 0;
    QStringList seen;
    for (const DeviceReading &d : devices) {
        read += d.status == DeviceReading::Status::Read ? 1 : 0;
        seen.append(port_file(d.port));
    }
    // A port named on the command line that is not there is a device not read.
    QStringList missing;
    for (const QString &port : std::as_const(m_options.ports)) {
        if (!seen.contains(port_file(port)))
            missing.append(port);
    }
    const bool all = read == devices.size() && missing.isEmpty();
    end(devices.isEmpty() ? WATCH_NONE_FOUND : all ? WATCH_ALL_READ : WATCH_SOME_UNREAD,
        missing.isEmpty() ? QString() : tr("No device on %1.").arg(missing.join(QStringLiteral(", "))));
}

void WatchTool::write(const QByteArray &bytes)
{
    if (bytes.isEmpty() || m_ended)
        return;
    if (m_options.format == WatchOptions::Format::Table)
        m_console->out.write(QString::fromUtf8(bytes));
    else
        m_console->out.write_bytes(bytes);
    // A reader that has gone ends the watch, without a word.
    if (m_console->out.failed())
        end(WATCH_ALL_READ);
}

WatchWho WatchTool::who(const QString &port, const QString &key) const
{
    return {m_roster->serial_number(port), m_names->name(key)};
}

void WatchTool::end(int status, const QString &error)
{
    if (m_ended)
        return;
    m_ended = true;
    m_tick.stop();
    m_deadline.stop();
    // The devices stop reporting; what was asked goes out now.
    for (DeviceSession *session : std::as_const(m_reports_asked)) {
        if (session->is_open() && session->state().report_mode == REPORT_SIGNAL) {
            session->set_signal_reports(false);
            session->port()->flush();
        }
    }
    m_reports_asked.clear();
    if (!error.isEmpty())
        m_console->err.write(QStringLiteral("tvc-watch: %1\n").arg(error));
    emit finished(status);
}

#include <httplib.h>

#include "metrics.h"

#include "alarm_watch.h"
#include "device_names.h"
#include "device_roster.h"
#include "device_session.h"
#include "frame.h"
#include "show_settings.h"

#include <QCoreApplication>

#include <sys/socket.h>

#include <cerrno>
#include <cstring>

namespace {

class Metrics
{
    Q_DECLARE_TR_FUNCTIONS(Metrics)
};

// A label value as the exposition format takes it: backslash, quote and line
// feed escaped; UTF-8 without half characters.
QByteArray label_value(const QString &text)
{
    QByteArray out;
    const QByteArray utf8 = without_lone_surrogates(text).toUtf8();
    out.reserve(utf8.size() + 2);
    for (const char c : utf8) {
        if (c == '\\')
            out += "\\\\";
        else if (c == '"')
            out += "\\\"";
        else if (c == '\n')
            out += "\\n";
        else
            out += c;
    }
    return out;
}

struct Family
{
    const char *name;
    const char *type;
    const char *help;
};

class Writer
{
public:
    void family(const Family &f)
    {
        m_out += "# HELP ";
        m_out += f.name;
        m_out += ' ';
        m_out += f.help;
        m_out += "\n# TYPE ";
        m_out += f.name;
        m_out += ' ';
        m_out += f.type;
        m_out += '\n';
    }
    // One sample; `labels` are name and value pairs, the port first.
    void sample(const char *name, const DeviceReading &d, std::initializer_list<std::pair<const char *, QString>> labels,
                double value)
    {
        m_out += name;
        m_out += "{port=\"";
        m_out += label_value(d.port);
        m_out += '"';
        for (const auto &label : labels) {
            m_out += ',';
            m_out += label.first;
            m_out += "=\"";
            m_out += label_value(label.second);
            m_out += '"';
        }
        m_out += "} ";
        m_out += QByteArray::number(value, 'g', 15);
        m_out += '\n';
    }
    void plain(const char *name, double value)
    {
        m_out += name;
        m_out += ' ';
        m_out += QByteArray::number(value, 'g', 15);
        m_out += '\n';
    }
    QByteArray take() { return std::move(m_out); }

private:
    QByteArray m_out;
};

bool busy(const DeviceReading &d)
{
    return d.status == DeviceReading::Status::Busy;
}

} // namespace

QByteArray metrics_text(const QVector<DeviceReading> &devices)
{
    Writer w;
    w.family({"tavero_devices", "gauge", "Devices whose port is there, linked or held by another program."});
    w.plain("tavero_devices", devices.size());

    w.family({"tavero_device_info", "gauge", "The device's identity; always 1."});
    for (const DeviceReading &d : devices) {
        w.sample("tavero_device_info", d,
                 {{"serial", d.serial}, {"name", d.name}, {"role", d.role}, {"wlan_version", d.wlan_version},
                  {"dsp_version", d.dsp_version}},
                 1);
    }
    w.family({"tavero_port_busy", "gauge", "1 while another program holds the device's port."});
    for (const DeviceReading &d : devices)
        w.sample("tavero_port_busy", d, {}, busy(d) ? 1 : 0);

    w.family({"tavero_link_up", "gauge", "1 while the device has a radio link, 0 without one."});
    for (const DeviceReading &d : devices) {
        if (d.link >= 0)
            w.sample("tavero_link_up", d, {}, d.link);
    }
    w.family({"tavero_signal_dbm", "gauge",
              "The signal level the device last reported, in dBm, from the transmitter (path \"txu\") or the "
              "repeater; absent without a reading."});
    for (const DeviceReading &d : devices) {
        if (d.txu.has_last)
            w.sample("tavero_signal_dbm", d, {{"path", QStringLiteral("txu")}}, d.txu.last);
        if (d.repeater.has_last)
            w.sample("tavero_signal_dbm", d, {{"path", QStringLiteral("repeater")}}, d.repeater.last);
    }
    w.family({"tavero_muted", "gauge", "1 while the device's audio is muted."});
    for (const DeviceReading &d : devices) {
        if (d.muted >= 0)
            w.sample("tavero_muted", d, {}, d.muted);
    }
    w.family({"tavero_phantom_power", "gauge", "1 while the device's +48V phantom power is on."});
    for (const DeviceReading &d : devices) {
        if (d.phantom_power >= 0)
            w.sample("tavero_phantom_power", d, {}, d.phantom_power);
    }
    w.family({"tavero_gain", "gauge", "The device's input gain, as its window shows it."});
    for (const DeviceReading &d : devices) {
        if (d.gain_known)
            w.sample("tavero_gain", d, {}, d.gain);
    }
    w.family({"tavero_rf_channel", "gauge", "A master's RF channel."});
    for (const DeviceReading &d : devices) {
        if (d.channel >= 0)
            w.sample("tavero_rf_channel", d, {}, d.channel);
    }
    w.family({"tavero_alarm_active", "gauge", "1 while the alarm runs for the device."});
    for (const DeviceReading &d : devices) {
        if (busy(d))
            continue;
        for (int k = 0; k < ALARM_KINDS; ++k)
            w.sample("tavero_alarm_active", d, {{"alarm", QLatin1String(alarm_id(AlarmKind(k)))}}, d.alarms[size_t(k)]);
    }
    w.family({"tavero_alarms_total", "counter", "Alarms that started for the device."});
    for (const DeviceReading &d : devices) {
        if (busy(d))
            continue;
        for (int k = 0; k < ALARM_KINDS; ++k) {
            w.sample("tavero_alarms_total", d, {{"alarm", QLatin1String(alarm_id(AlarmKind(k)))}},
                     double(d.alarms_started[size_t(k)]));
        }
    }
    w.family({"tavero_link_losses_total", "counter", "Times the device lost its radio link."});
    for (const DeviceReading &d : devices) {
        if (!busy(d))
            w.sample("tavero_link_losses_total", d, {}, double(d.link_losses));
    }
    w.family({"tavero_signal_reports_total", "counter", "Signal reports the device sent."});
    for (const DeviceReading &d : devices) {
        if (!busy(d))
            w.sample("tavero_signal_reports_total", d, {}, double(d.signal_reports));
    }
    return w.take();
}

bool split_listen_address(const QString &address, QString *host, int *port, QString *error)
{
    const int colon = address.lastIndexOf(QLatin1Char(':'));
    QString h = colon > 0 ? address.left(colon) : QString();
    if (h.startsWith(QLatin1Char('[')) && h.endsWith(QLatin1Char(']')))
        h = h.mid(1, h.size() - 2);
    bool ok = false;
    const int p = colon > 0 ? address.mid(colon + 1).toInt(&ok) : 0;
    if (h.isEmpty() || !ok || p < 1 || p > 65535) {
        //: %1 is what the user gave after --metrics.
        *error = Metrics::tr("The address %1 is not HOST:PORT with a port from 1 to 65535, "
                             "such as 127.0.0.1:9523.").arg(address);
        return false;
    }
    *host = h;
    *port = p;
    return true;
}

DeviceTally::DeviceTally(DeviceRoster *roster, AlarmWatch *watch, const DeviceNames *names, QObject *parent)
    : QObject(parent)
    , m_roster(roster)
    , m_watch(watch)
    , m_names(names)
{
    connect(roster, &DeviceRoster::entries_changed, this, &DeviceTally::follow_sessions);
    if (watch)
        connect(watch, &AlarmWatch::alarm_started, this, &DeviceTally::take_alarm);
    follow_sessions();
}

void DeviceTally::follow_sessions()
{
    for (const DeviceRoster::Entry &entry : m_roster->entries()) {
        if (!entry.session || m_followed.contains(entry.port))
            continue;
        DeviceSession *session = entry.session;
        m_followed.insert(entry.port, session);
        const QString port = entry.port;
        connect(session, &DeviceSession::reply, this,
                [this, port, session](quint8 code, const QByteArray &) { take_reply(port, session, code); });
    }
}

void DeviceTally::take_reply(const QString &port, DeviceSession *session, quint8 code)
{
    if (code != RPL_SIGNAL)
        return;
    const DeviceState &s = session->state();
    if (!has_signal_strength(s) || !s.levels_live)
        return;
    DeviceReading &kept = m_kept[port];
    ++kept.signal_reports;
    bool added = false;
    if (s.level_a != SIGNAL_NO_READING) {
        kept.txu.add(s.level_a);
        added = true;
    }
    if (s.rep_mode && s.level_b != SIGNAL_NO_READING) {
        kept.repeater.add(s.level_b);
        added = true;
    }
    if (added)
        emit levels_added(port);
}

void DeviceTally::take_alarm(const AlarmRecord &record)
{
    DeviceReading &kept = m_kept[record.device.port];
    ++kept.alarms_started[size_t(record.alarm.kind)];
    if (record.alarm.kind == AlarmKind::LinkLost)
        ++kept.link_losses;
}

QVector<DeviceReading> DeviceTally::readings(bool restart)
{
    QVector<DeviceReading> list;
    for (const DeviceRoster::Entry &entry : m_roster->entries()) {
        if (!entry.present)
            continue;
        DeviceReading r = m_kept.value(entry.port);
        r.port = entry.port;
        r.serial = m_roster->serial_number(entry.port);
        if (m_names) {
            const QString key = m_watch ? m_watch->device(entry.port).key : QString();
            r.name = m_names->name(key.isEmpty() ? device_key_of_port(entry.port) : key);
        }
        if (!entry.session) {
            r.status = DeviceReading::Status::Busy;
            r.holder = entry.holder;
        } else if (entry.session->is_open()) {
            read_session(*entry.session, &r);
        } else {
            r.status = DeviceReading::Status::Unread;
            r.error = entry.error;
        }
        if (m_watch && entry.session) {
            for (const AlarmRecord &alarm : m_watch->alarms(entry.port)) {
                if (alarm.alarm.running())
                    r.alarms[size_t(alarm.alarm.kind)] = true;
            }
        }
        list.append(r);
        if (restart) {
            DeviceReading &kept = m_kept[entry.port];
            kept.txu.restart();
            kept.repeater.restart();
        }
    }
    return list;
}

MetricsServer::MetricsServer(DeviceTally *tally, QObject *parent)
    : QObject(parent)
    , m_tally(tally)
{
}

MetricsServer::~MetricsServer()
{
    {
        // A request that waits for the program's thread waits no more.
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
    }
    m_made.notify_all();
    if (m_server)
        m_server->stop();
    if (m_thread.joinable())
        m_thread.join();
}

bool MetricsServer::listen(const QString &address, QString *error)
{
    QString host;
    int port = 0;
    if (!split_listen_address(address, &host, &port, error))
        return false;
    refresh();
    auto server = std::make_unique<httplib::Server>();
    server->new_task_queue = [] { return new httplib::ThreadPool(THREADS); };
    // The library's default lets a second server listen on the same port
    // (SO_REUSEPORT), where requests would go to one or the other at random:
    // an address in use must be an error. SO_REUSEADDR alone lets a restarted
    // watch have its address again at once.
    server->set_socket_options([](int sock) {
        int yes = 1;
        setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof(yes));
    });
    server->set_payload_max_length(MAX_BODY);
    server->set_read_timeout(IDLE_SECONDS, 0);
    server->set_write_timeout(IDLE_SECONDS, 0);
    server->set_keep_alive_timeout(IDLE_SECONDS);
    server->Get("/metrics", [this](const httplib::Request &, httplib::Response &response) {
        response.set_content(current_text(), "text/plain; version=0.0.4; charset=utf-8");
    });
    errno = 0;
    if (!server->bind_to_port(host.toStdString(), port)) {
        const int cause = errno;
        //: %1 is the address such as 127.0.0.1:9523, %2 the system's reason.
        *error = Metrics::tr("Cannot serve the metrics on %1: %2.")
                     .arg(address,
                          cause == EADDRINUSE ? Metrics::tr("another program listens there")
                          : cause         ? QString::fromLocal8Bit(std::strerror(cause))
                                          : Metrics::tr("the address cannot be had"));
        return false;
    }
    m_port = port;
    m_server = std::move(server);
    httplib::Server *running = m_server.get();
    m_thread = std::thread([running] { running->listen_after_bind(); });
    return true;
}

QByteArray MetricsServer::text() const
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    return QByteArray::fromStdString(m_text);
}

void MetricsServer::refresh()
{
    std::string text = metrics_text(m_tally->readings()).toStdString();
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_text.swap(text);
        ++m_generation;
        m_asked = false;
    }
    m_made.notify_all();
}

std::string MetricsServer::current_text()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    const quint64 before = m_generation;
    // Requests that come together share one text.
    if (!m_asked && !m_stopping) {
        m_asked = true;
        QMetaObject::invokeMethod(this, &MetricsServer::refresh, Qt::QueuedConnection);
    }
    m_made.wait_for(lock, std::chrono::milliseconds(WAIT_MS),
                    [&] { return m_generation != before || m_stopping; });
    return m_text;
}

WindowMetrics::WindowMetrics(DeviceRoster *roster, QObject *parent)
    : QObject(parent)
{
    const QString file = user_settings_file();
    QString problem;
    m_names = std::make_unique<DeviceNames>(file);
    m_watch = new AlarmWatch(read_show_settings(file, &problem).alarms, this);
    m_watch->follow(roster);
    m_tally = new DeviceTally(roster, m_watch, m_names.get(), this);
    m_server = new MetricsServer(m_tally, this);
}

WindowMetrics::~WindowMetrics() = default;

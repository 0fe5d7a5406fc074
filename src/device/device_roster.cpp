#include "device_roster.h"

#include "device_session.h"
#include "port_watcher.h"
#include "report_log.h"

DeviceRoster::DeviceRoster(PortFinder finder, QObject *parent)
    : QObject(parent)
    , m_finder(std::move(finder))
{
    m_watcher = new PortWatcher(m_finder.places(), this);
    connect(m_watcher, &PortWatcher::ports_changed, this, &DeviceRoster::ports_moved);
}

DeviceRoster::~DeviceRoster()
{
    // Sessions first: closing a port records into its history.
    for (DeviceSession *session : std::as_const(m_sessions))
        delete session;
}

DeviceSession *DeviceRoster::session(const QString &port, DeviceSession *spare)
{
    if (DeviceSession *known = m_sessions.value(port))
        return known;
    DeviceSession *made = spare ? spare : new DeviceSession(this);
    made->setParent(this);
    auto history = std::make_shared<ReportLog>(HISTORY_BUDGET);
    made->set_history(history.get());
    m_sessions.insert(port, made);
    m_histories.insert(port, history);
    m_order.append(port);
    share_budget();
    // A port opened or lost changes what the overview lists.
    connect(made, &DeviceSession::opened, this, &DeviceRoster::entries_changed);
    connect(made, &DeviceSession::reset, this, [this, port](bool lost) {
        if (lost)
            m_present.removeAll(port);
        emit entries_changed();
    });
    emit entries_changed();
    return made;
}

ReportLog *DeviceRoster::history(const QString &port) const
{
    return m_histories.value(port).get();
}

// The histories of all devices share one budget.
void DeviceRoster::share_budget()
{
    const qint64 each = HISTORY_BUDGET / qMax(1, int(m_histories.size()));
    for (const auto &history : std::as_const(m_histories))
        history->set_budget(each);
}

PortScan DeviceRoster::scan()
{
    const PortScan scan = m_finder.scan();
    for (auto serial = scan.serial_numbers.constBegin(); serial != scan.serial_numbers.constEnd(); ++serial)
        m_serials.insert(serial.key(), serial.value());
    return scan;
}

bool DeviceRoster::open_under_other_name(const QString &port) const
{
    QString file;
    for (auto other = m_sessions.constBegin(); other != m_sessions.constEnd(); ++other) {
        if (other.key() == port || !other.value()->is_open())
            continue;
        if (file.isEmpty())
            file = port_file(port);
        if (port_file(other.key()) == file)
            return true;
    }
    return false;
}

QList<DeviceRoster::Entry> DeviceRoster::entries() const
{
    const auto busy_entry = [](const SerialPortEntry &busy) {
        Entry entry;
        entry.port = busy.name;
        entry.present = true;
        entry.holder = busy.holder;
        return entry;
    };
    QList<Entry> list;
    for (const QString &port : m_order) {
        // One device is one row, whatever names lead to its port.
        if (!m_sessions.value(port)->is_open() && open_under_other_name(port))
            continue;
        Entry entry;
        entry.port = port;
        entry.session = m_sessions.value(port);
        entry.present = m_present.contains(port) || (entry.session && entry.session->is_open());
        entry.error = m_errors.value(port);
        // A port that another program took since its device was seen is
        // listed once, busy, where its device was.
        if (!entry.session->is_open()) {
            for (const SerialPortEntry &busy : m_busy) {
                if (busy.name == port)
                    entry = busy_entry(busy);
            }
        }
        list.append(entry);
    }
    for (const SerialPortEntry &busy : m_busy) {
        if (m_sessions.contains(busy.name))
            continue;
        list.append(busy_entry(busy));
    }
    return list;
}

void DeviceRoster::look()
{
    const PortScan scan = this->scan();
    m_busy = scan.busy;
    m_present.clear();
    for (const QString &port : scan.candidates) {
        if (scan.present.contains(port))
            m_present.append(port);
    }
    // Every port the device may be on gets its session, in the order seen.
    const bool keep = m_keep_all;
    for (const QString &port : scan.candidates) {
        if (!m_sessions.contains(port) && (keep || scan.present.contains(port)))
            session(port);
    }
    emit entries_changed();
}

void DeviceRoster::keep_all_linked()
{
    m_keep_all = true;
    look();
    open_present();
}

void DeviceRoster::open_present()
{
    for (const QString &port : std::as_const(m_order)) {
        DeviceSession *s = m_sessions.value(port);
        if (!s || s->is_open() || s->suspended() || !m_present.contains(port) || open_under_other_name(port))
            continue;
        QString error;
        if (s->open(port, &error))
            m_errors.remove(port);
        else
            m_errors.insert(port, error);
    }
    emit entries_changed();
}

void DeviceRoster::signal_reports_for_all()
{
    for (DeviceSession *s : std::as_const(m_sessions)) {
        if (s->is_open() && !s->suspended() && signal_strength_allowed(s->state()))
            s->set_signal_reports(true);
    }
}

void DeviceRoster::ports_moved()
{
    look();
    if (m_keep_all)
        open_present();
    emit ports_changed();
}

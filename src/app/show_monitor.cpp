#include "show_monitor.h"

#include "device_label.h"
#include "device_roster.h"
#include "show_log.h"

#include "history_clock.h"

#include <QDateTime>

namespace {

// Glyphs that tell a running alarm from a past one without colour.
const QString RUNNING_GLYPH = QStringLiteral("\u26a0");
const QString PAST_GLYPH = QStringLiteral("\u2691");

QString clock_time(qint64 wall_ms)
{
    return QDateTime::fromMSecsSinceEpoch(wall_ms).toString(QStringLiteral("HH:mm:ss"));
}

ShowLogEntry entry_of(const AlarmRecord &record)
{
    ShowLogEntry entry;
    entry.alarm_id = record.alarm.id ? record.alarm.id : 1;
    entry.kind = quint8(record.alarm.kind);
    entry.length_ms = record.alarm.running() ? -1 : record.alarm.end_ms - record.alarm.start_ms;
    return entry;
}

} // namespace

ShowMonitor::ShowMonitor(DeviceRoster *roster, const QString &settings_file, QObject *parent)
    : QObject(parent)
    , m_file(settings_file)
    , m_log(new ShowLog(ShowLog::CAPACITY, this))
    , m_names(new DeviceNames(settings_file))
{
    m_settings = read_show_settings(m_file, &m_settings_problem);
    // A device is known by its bridge's serial number as the roster saw it
    // in the system's list of ports (asking the system again on each open
    // would hold up the link by a walk over every port).
    const auto key_of = [roster](const QString &port) {
        return device_key(roster->serial_number(port), stable_port_name(port), port);
    };
    m_watch = new AlarmWatch(m_settings.alarms, history_now, key_of, this);
    m_key_of = key_of;
    record_show(m_watch, m_log, m_names.get());
    m_watch->follow(roster);
    // A port may hold another device after a replug: its key is asked again.
    connect(roster, &DeviceRoster::entries_changed, this, [this] { m_keys.clear(); });
}

ShowMonitor::~ShowMonitor() = default;

bool ShowMonitor::save_settings(const ShowSettings &settings, QString *problem)
{
    m_settings = settings;
    m_settings.alarms = settings.alarms.bounded();
    m_watch->set_settings(m_settings.alarms);
    emit settings_changed();
    if (!save_show_settings(m_settings, m_file, problem))
        return false;
    m_settings_problem.clear();
    return true;
}

QString ShowMonitor::key_of(const QString &port) const
{
    const QString watched = m_watch->device(port).key;
    if (!watched.isEmpty())
        return watched;
    auto known = m_keys.constFind(port);
    if (known == m_keys.constEnd())
        known = m_keys.insert(port, m_key_of(port));
    return *known;
}

QString ShowMonitor::name(const QString &port) const
{
    return port.isEmpty() ? QString() : m_names->name(key_of(port));
}

bool ShowMonitor::rename(const QString &port, const QString &name, QString *problem)
{
    const bool written = m_names->set_name(key_of(port), name);
    if (!written && problem)
        *problem = m_names->problem();
    emit names_changed();
    return written;
}

QString ShowMonitor::alarm_words(const AlarmRecord &record)
{
    const ShowLogEntry entry = entry_of(record);
    const QString what = ShowLog::what_text(entry);
    const QString start = clock_time(record.start_wall_ms());
    if (record.alarm.running()) {
        //: A running alarm: what and since when ("link lost since 21:14:03").
        const QString words = tr("%1 %2 since %3").arg(RUNNING_GLYPH, what, start);
        //: A running alarm that the user has seen; it stays while its cause lasts.
        return record.alarm.acknowledged ? tr("%1, seen").arg(words) : words;
    }
    //: A past alarm, until it is acknowledged: what, when it began and for how long
    //: ("link lost 21:14:03 for 1.2 s").
    return tr("%1 %2 %3 for %4").arg(PAST_GLYPH, what, start, ShowLog::length_text(entry));
}

QString ShowMonitor::alarm_line(const QString &port) const
{
    const QVector<AlarmRecord> alarms = m_watch->alarms(port);
    QStringList parts;
    int past = 0;
    const AlarmRecord *newest_past = nullptr;
    for (const AlarmRecord &record : alarms) {
        if (record.alarm.running()) {
            parts.append(alarm_words(record));
        } else {
            ++past;
            newest_past = &record;
        }
    }
    if (newest_past) {
        parts.append(alarm_words(*newest_past));
        if (past > 1)
            //: Past alarms of a device besides the one shown.
            parts.append(tr("%n more", nullptr, past - 1));
    }
    return parts.join(QStringLiteral("; "));
}

QString ShowMonitor::count_text() const
{
    const int count = m_watch->unacknowledged();
    //: Alarms that wait to be acknowledged, in a window's title and the main window.
    return count > 0 ? tr("%n alarms", nullptr, count) : QString();
}

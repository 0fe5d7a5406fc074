#include "alarm_watch.h"

#include "device_names.h"
#include "device_role.h"
#include "device_roster.h"
#include "device_session.h"
#include "frame.h"
#include "history_csv.h"

#include <algorithm>

static_assert(AlarmRules::SILENCE_MS == DeviceSession::LEVELS_STALE_MS,
              "a link is lost for want of reports when the bars give up on them");

QString AlarmRecord::start_text() const
{
    return history_time_text(start_wall_ms());
}

QString EventRecord::time_text() const
{
    return history_time_text(wall_ms());
}

AlarmWatch::AlarmWatch(const AlarmSettings &settings, QObject *parent)
    : AlarmWatch(settings, history_now, device_key_of_port, parent)
{
}

AlarmWatch::AlarmWatch(const AlarmSettings &settings, Clock clock, KeyOf key_of, QObject *parent)
    : QObject(parent)
    , m_rules(settings)
    , m_clock(std::move(clock))
    , m_key_of(std::move(key_of))
{
    qRegisterMetaType<AlarmRecord>();
    qRegisterMetaType<EventRecord>();
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        m_armed_for = -1;
        check();
    });
}

void AlarmWatch::follow(DeviceRoster *roster)
{
    const auto look = [this, roster] {
        for (const DeviceRoster::Entry &entry : roster->entries()) {
            if (entry.session)
                watch(entry.session, entry.port);
        }
    };
    connect(roster, &DeviceRoster::entries_changed, this, look);
    look();
}

void AlarmWatch::watch(DeviceSession *session, const QString &port)
{
    for (const Watched &w : std::as_const(m_watched)) {
        if (w.session == session)
            return;
    }
    const int id = m_rules.add_device();
    Watched watched;
    watched.session = session;
    watched.device.port = port;
    watched.device.key = m_key_of(port);
    m_watched.append(watched);

    connect(session, &DeviceSession::opened, this, [this, id] {
        Watched &w = m_watched[id];
        w.device.key = m_key_of(w.device.port);
        const HistoryTime now = m_clock();
        take(m_rules.opened(id, now.ms), now);
    });
    connect(session, &DeviceSession::reset, this, [this, id](bool lost) {
        const HistoryTime now = m_clock();
        take(m_rules.closed(id, lost, now.ms), now);
    });
    connect(session, &DeviceSession::report_mode_changed, this, [this, id](quint8 mode) {
        const HistoryTime now = m_clock();
        take(m_rules.reports_asked(id, mode == REPORT_SIGNAL, now.ms), now);
    });
    // The session's own "levels stale" is not needed: the rules time the
    // silence themselves.
    connect(session, &DeviceSession::reply, this, [this, id](quint8 code) {
        Watched &w = m_watched[id];
        const DeviceState &state = w.session->state();
        if (code == RPL_DEVICE_INFO)
            w.device.role = device_role_text(state.role, state.is_txu, state.slot, state.rep_mode);
        const HistoryTime now = m_clock();
        take(m_rules.reply(id, code, state, now.ms), now);
    });
    connect(session, &QObject::destroyed, this, [this, id] { m_watched[id].session = nullptr; });

    // A session that is under way counts from now.
    const HistoryTime now = m_clock();
    if (session->is_open()) {
        take(m_rules.opened(id, now.ms), now);
        const DeviceState &state = session->state();
        if (state.info_known) {
            m_watched[id].device.role = device_role_text(state.role, state.is_txu, state.slot, state.rep_mode);
            take(m_rules.reply(id, RPL_DEVICE_INFO, state, now.ms), now);
        }
        if (state.report_mode == REPORT_SIGNAL)
            take(m_rules.reports_asked(id, true, now.ms), now);
    }
}

void AlarmWatch::set_settings(const AlarmSettings &settings)
{
    m_rules.set_settings(settings);
}

int AlarmWatch::index_of(const QString &port) const
{
    for (int i = 0; i < m_watched.size(); ++i) {
        if (m_watched.at(i).device.port == port)
            return i;
    }
    return -1;
}

AlarmRecord AlarmWatch::record(int device, const Alarm &alarm, const HistoryTime &now) const
{
    AlarmRecord r;
    r.device = m_watched.at(device).device;
    r.alarm = alarm;
    r.told_ms = now.ms;
    r.wall_offset_ms = now.wall_offset_ms;
    return r;
}

QVector<AlarmRecord> AlarmWatch::alarms(const QString &port) const
{
    QVector<AlarmRecord> list;
    const int device = index_of(port);
    if (device < 0)
        return list;
    const HistoryTime now = m_clock();
    for (const Alarm &alarm : m_rules.shown(device))
        list.append(record(device, alarm, now));
    return list;
}

QVector<AlarmRecord> AlarmWatch::alarms() const
{
    QVector<AlarmRecord> list;
    const HistoryTime now = m_clock();
    for (int device = 0; device < m_watched.size(); ++device) {
        for (const Alarm &alarm : m_rules.shown(device))
            list.append(record(device, alarm, now));
    }
    return list;
}

int AlarmWatch::unacknowledged(const QString &port) const
{
    const int device = index_of(port);
    return device < 0 ? 0 : m_rules.unacknowledged(device);
}

void AlarmWatch::acknowledge(const QString &port)
{
    check();
    const int device = index_of(port);
    if (device >= 0 && m_rules.acknowledge(device))
        emit alarms_changed();
}

void AlarmWatch::acknowledge_all()
{
    check();
    if (m_rules.acknowledge_all())
        emit alarms_changed();
}

ShowDevice AlarmWatch::device(const QString &port) const
{
    const int device = index_of(port);
    return device < 0 ? ShowDevice() : m_watched.at(device).device;
}

QStringList AlarmWatch::ports() const
{
    QStringList list;
    for (const Watched &w : m_watched)
        list.append(w.device.port);
    return list;
}

void AlarmWatch::check()
{
    const HistoryTime now = m_clock();
    take(m_rules.advance(now.ms), now);
}

void AlarmWatch::take(const AlarmChanges &changes, const HistoryTime &now)
{
    bool shown_changed = false;
    for (const AlarmChange &change : changes) {
        switch (change.type) {
        case AlarmChange::Started:
            shown_changed = true;
            emit alarm_started(record(change.device, change.alarm, now));
            break;
        case AlarmChange::Ended:
            shown_changed = true;
            emit alarm_ended(record(change.device, change.alarm, now));
            break;
        case AlarmChange::Event: {
            EventRecord event;
            event.device = m_watched.at(change.device).device;
            event.event = change.event;
            event.wall_offset_ms = now.wall_offset_ms;
            emit device_event(event);
            break;
        }
        }
    }
    if (shown_changed)
        emit alarms_changed();
    arm();
}

// One timer for every device, at the earliest deadline; a deadline that moved
// later (a report came) lets the timer fire early and set itself again.
void AlarmWatch::arm()
{
    const qint64 deadline = m_rules.next_deadline();
    if (deadline < 0 || (m_timer.isActive() && m_armed_for <= deadline))
        return;
    const qint64 wait = std::max<qint64>(0, deadline - m_clock().ms);
    m_armed_for = deadline;
    m_timer.start(int(std::min<qint64>(wait, 24 * 3600 * 1000)));
}

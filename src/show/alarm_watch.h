#pragma once

#include "alarm_rules.h"
#include "history_clock.h"

#include <QMetaType>
#include <QObject>
#include <QString>
#include <QTimer>
#include <QVector>

#include <functional>

class DeviceRoster;
class DeviceSession;

// Who an alarm or event is about, as it stood then.
struct ShowDevice
{
    QString port;
    QString key;   // the key of the device's name (see device_names.h)
    QString role;  // its role in words, as last reported; empty before it told
};

// An alarm as the watch tells it: whose, and when on the wall clock.
struct AlarmRecord
{
    ShowDevice device;
    Alarm alarm;
    qint64 told_ms = 0;         // when the watch told it, on the monotonic time line
    qint64 wall_offset_ms = 0;  // the wall clock minus the time line, then

    qint64 start_wall_ms() const { return alarm.start_ms + wall_offset_ms; }
    qint64 end_wall_ms() const { return alarm.running() ? -1 : alarm.end_ms + wall_offset_ms; }
    qint64 length_ms() const { return alarm.length_ms(told_ms); }
    // The start in ISO 8601, ASCII in every locale.
    QString start_text() const;
};

struct EventRecord
{
    ShowDevice device;
    DeviceEvent event;
    qint64 wall_offset_ms = 0;

    qint64 wall_ms() const { return event.at_ms + wall_offset_ms; }
    QString time_text() const;
};

Q_DECLARE_METATYPE(AlarmRecord)
Q_DECLARE_METATYPE(EventRecord)

// Watches devices during a show: feeds what their sessions report into the
// alarm rules, keeps the rules' one timer, and tells what starts, ends and
// happens. One watch serves every device; the window and the watcher without
// a window use it alike.
class AlarmWatch : public QObject
{
    Q_OBJECT

public:
    // The time: a monotonic time line, and how far the wall clock stands from it.
    using Clock = std::function<HistoryTime()>;
    // The key of the device on a port, asked when the port opens.
    using KeyOf = std::function<QString(const QString &port)>;

    explicit AlarmWatch(const AlarmSettings &settings = AlarmSettings(), QObject *parent = nullptr);
    AlarmWatch(const AlarmSettings &settings, Clock clock, KeyOf key_of, QObject *parent = nullptr);

    // Watches every session the roster has, and every one it gets later.
    void follow(DeviceRoster *roster);
    // Watches the session of `port` from now on (once; a session that is open
    // or reporting already counts from now).
    void watch(DeviceSession *session, const QString &port);

    void set_settings(const AlarmSettings &settings);
    const AlarmSettings &settings() const { return m_rules.settings(); }

    // The alarms shown, of one port or of all: running ones and past ones not
    // yet acknowledged, oldest first.
    QVector<AlarmRecord> alarms(const QString &port) const;
    QVector<AlarmRecord> alarms() const;
    // Of those, the ones not acknowledged ("2 alarms").
    int unacknowledged(const QString &port) const;
    int unacknowledged() const { return m_rules.unacknowledged(); }
    // Past alarms go; running ones stay while their cause lasts, marked seen.
    void acknowledge(const QString &port);
    void acknowledge_all();

    ShowDevice device(const QString &port) const;
    QStringList ports() const;

    // When the rules next need the time, on the monotonic time line; -1 none.
    qint64 next_deadline() const { return m_rules.next_deadline(); }
    // Settles what is due by now. The watch's timer calls it at the deadline;
    // a driver with a clock of its own (a simulation) may call it instead.
    void check();

signals:
    void alarm_started(const AlarmRecord &alarm);
    void alarm_ended(const AlarmRecord &alarm);
    void device_event(const EventRecord &event);
    // What alarms() and unacknowledged() give may have changed.
    void alarms_changed();

private:
    struct Watched
    {
        DeviceSession *session = nullptr;
        ShowDevice device;
    };

    int index_of(const QString &port) const;
    void take(const AlarmChanges &changes, const HistoryTime &now);
    void arm();
    AlarmRecord record(int device, const Alarm &alarm, const HistoryTime &now) const;

    AlarmRules m_rules;
    Clock m_clock;
    KeyOf m_key_of;
    QVector<Watched> m_watched;  // by the rules' device number
    QTimer m_timer;
    qint64 m_armed_for = -1;
};

#pragma once

#include "alarm_watch.h"
#include "text_fields.h"

#include <QAbstractTableModel>
#include <QByteArray>
#include <QHash>
#include <QSortFilterProxyModel>
#include <QString>
#include <QVector>

#include <deque>

class DeviceNames;
class QIODevice;

// One line of the show log: an alarm (from its start, with its length once
// it ended) or an event.
struct ShowLogEntry
{
    qint64 time_ms = 0;      // on the monotonic time line; the log's order
    qint64 wall_ms = 0;      // on the wall clock
    qint64 length_ms = -1;   // an alarm's length; -1 while it lasts, and for an event
    quint64 alarm_id = 0;    // 0 for an event
    int device = 0;          // the device as it stood then (ShowLog::device())
    quint8 kind = 0;         // an AlarmKind, or for an event a DeviceEventKind
    int value = 0;           // an event's value and the one before
    int before = 0;

    bool is_alarm() const { return alarm_id != 0; }
};

// Every alarm and event of every device since the program started, newest
// first for a view. It keeps the newest CAPACITY entries; older ones go, and
// dropped() counts them. Files have the oldest first.
class ShowLog : public QAbstractTableModel
{
    Q_OBJECT

public:
    static constexpr int CAPACITY = 100000;
    enum Column { Time, Name, Role, Port, What, Length, COLUMNS };
    // True for an alarm's row.
    static constexpr int IS_ALARM_ROLE = Qt::UserRole + 1;

    // The device of an entry: its name, role and port then.
    struct Device
    {
        QString name;
        QString role;
        QString port;
    };

    explicit ShowLog(int capacity = CAPACITY, QObject *parent = nullptr);

    // An alarm that started, an alarm that ended (its entry gets its length),
    // and an event; `name` is the device's name then.
    void add_alarm(const AlarmRecord &record, const QString &name);
    void end_alarm(const AlarmRecord &record);
    void add_event(const EventRecord &record, const QString &name);

    // The entries, oldest first.
    int size() const { return int(m_entries.size()); }
    const ShowLogEntry &entry(int index) const { return m_entries.at(size_t(index)); }
    const Device &device(const ShowLogEntry &entry) const { return m_devices.at(entry.device); }
    // Entries that went to keep the log within its capacity, oldest first.
    quint64 dropped() const { return m_dropped; }
    // "The 12 oldest entries went …", empty when none went.
    QString dropped_text() const;

    // What an entry says happened ("link lost", "muted", "channel 44 (was 36)"),
    // and for how long ("1.2 s"; an event has no length).
    static QString what_text(const ShowLogEntry &entry);
    static QString length_text(const ShowLogEntry &entry);
    // The fixed identifier of an entry's kind: link_lost, …, mute, phantom_power, channel.
    static const char *kind_id(const ShowLogEntry &entry);

    // The log as CSV (a header row, then one row an entry) and as JSON lines
    // (one object an entry), oldest first, times in ISO 8601 in ASCII. False
    // when `out` refused the text.
    bool write_csv(QIODevice *out) const;
    bool write_json_lines(QIODevice *out) const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

signals:
    void dropped_changed(quint64 dropped);

private:
    int device_index(const ShowDevice &device, const QString &name);
    void insert(const ShowLogEntry &entry);
    size_t index_of_row(int row) const { return m_entries.size() - 1 - size_t(row); }

    int m_capacity;
    std::deque<ShowLogEntry> m_entries;
    quint64 m_dropped = 0;
    QVector<Device> m_devices;
    QHash<QString, int> m_device_index;
};

// The log's rows of alarms alone, or all of them.
class ShowLogFilter : public QSortFilterProxyModel
{
    Q_OBJECT

public:
    explicit ShowLogFilter(QObject *parent = nullptr);
    void set_alarms_only(bool alarms_only);
    bool alarms_only() const { return m_alarms_only; }

protected:
    bool filterAcceptsRow(int source_row, const QModelIndex &source_parent) const override;

private:
    bool m_alarms_only = false;
};

// Everything the watch tells goes into the log, each device under its name
// in `names` (which may be null: no names).
void record_show(AlarmWatch *watch, ShowLog *log, const DeviceNames *names);

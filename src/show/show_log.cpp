#include "show_log.h"

#include "device_names.h"
#include "history_csv.h"

#include <QIODevice>
#include <QLocale>

#include <limits>

namespace {

// Milliseconds as seconds with three decimals, "1.250".
QByteArray seconds(qint64 ms)
{
    QByteArray text = QByteArray::number(ms / 1000) + '.';
    const QByteArray fraction = QByteArray::number(ms % 1000);
    return text + QByteArray(3 - fraction.size(), '0') + fraction;
}

bool write_all(QIODevice *out, const QByteArray &text)
{
    return out->write(text) == text.size();
}

} // namespace


ShowLog::ShowLog(int capacity, QObject *parent)
    : QAbstractTableModel(parent)
    , m_capacity(std::max(capacity, 1))
{
}

int ShowLog::device_index(const ShowDevice &device, const QString &name)
{
    const QString key = device.port + QChar(0) + device.role + QChar(0) + name;
    const auto found = m_device_index.constFind(key);
    if (found != m_device_index.constEnd())
        return found.value();
    m_devices.append({name, device.role, device.port});
    m_device_index.insert(key, int(m_devices.size()) - 1);
    return int(m_devices.size()) - 1;
}

void ShowLog::add_alarm(const AlarmRecord &record, const QString &name)
{
    ShowLogEntry entry;
    entry.time_ms = record.alarm.start_ms;
    entry.wall_ms = record.start_wall_ms();
    entry.length_ms = record.alarm.running() ? -1 : record.alarm.length_ms(record.told_ms);
    entry.alarm_id = record.alarm.id;
    entry.device = device_index(record.device, name);
    entry.kind = quint8(record.alarm.kind);
    insert(entry);
}

void ShowLog::end_alarm(const AlarmRecord &record)
{
    // Alarms end soon after they start, mostly: look from the newest back.
    for (size_t i = m_entries.size(); i-- > 0;) {
        ShowLogEntry &entry = m_entries[i];
        if (entry.alarm_id != record.alarm.id)
            continue;
        entry.length_ms = record.alarm.length_ms(record.told_ms);
        const int row = int(m_entries.size() - 1 - i);
        emit dataChanged(index(row, Length), index(row, Length));
        return;
    }
}

void ShowLog::add_event(const EventRecord &record, const QString &name)
{
    ShowLogEntry entry;
    entry.time_ms = record.event.at_ms;
    entry.wall_ms = record.wall_ms();
    entry.device = device_index(record.device, name);
    entry.kind = quint8(record.event.kind);
    entry.value = record.event.value;
    entry.before = record.event.before;
    insert(entry);
}

// An alarm is told once its cause has lasted a while: it goes in among the
// entries by its start, so that the log stays in time order.
void ShowLog::insert(const ShowLogEntry &entry)
{
    if (int(m_entries.size()) >= m_capacity) {
        const int last_row = int(m_entries.size()) - 1;
        beginRemoveRows(QModelIndex(), last_row, last_row);
        m_entries.pop_front();
        ++m_dropped;
        endRemoveRows();
        emit dropped_changed(m_dropped);
    }
    size_t at = m_entries.size();
    while (at > 0 && m_entries[at - 1].time_ms > entry.time_ms)
        --at;
    const int row = int(m_entries.size() - at);
    beginInsertRows(QModelIndex(), row, row);
    m_entries.insert(m_entries.begin() + std::ptrdiff_t(at), entry);
    endInsertRows();
}

QString ShowLog::dropped_text() const
{
    if (m_dropped == 0)
        return QString();
    const int count = int(std::min<quint64>(m_dropped, quint64(std::numeric_limits<int>::max())));
    return tr("The %n oldest entries went, to keep the log within its size.", nullptr, count);
}

const char *ShowLog::kind_id(const ShowLogEntry &entry)
{
    return entry.is_alarm() ? alarm_id(AlarmKind(entry.kind)) : event_id(DeviceEventKind(entry.kind));
}

QString ShowLog::what_text(const ShowLogEntry &entry)
{
    if (entry.is_alarm()) {
        switch (AlarmKind(entry.kind)) {
        case AlarmKind::LinkLost:
            //: What happened to a device, in the show log.
            return tr("link lost");
        case AlarmKind::WeakSignal:
            return tr("weak signal");
        case AlarmKind::NoReading:
            return tr("no reading");
        case AlarmKind::Unplugged:
            break;
        }
        return tr("unplugged");
    }
    switch (DeviceEventKind(entry.kind)) {
    case DeviceEventKind::Mute:
        return entry.value ? tr("muted") : tr("unmuted");
    case DeviceEventKind::PhantomPower:
        return entry.value ? tr("+48V on") : tr("+48V off");
    case DeviceEventKind::Channel:
        break;
    }
    //: The RF channel changed: %1 the new one, %2 the one before.
    return tr("channel %1 (was %2)").arg(entry.value).arg(entry.before);
}

QString ShowLog::length_text(const ShowLogEntry &entry)
{
    if (!entry.is_alarm())
        return QString();
    if (entry.length_ms < 0)
        //: An alarm whose cause lasts, in the show log's column "How long".
        return tr("still on");
    //: A length in seconds: "1.2 s".
    return tr("%1 s").arg(QLocale().toString(double(entry.length_ms) / 1000.0, 'f', 1));
}

bool ShowLog::write_csv(QIODevice *out) const
{
    if (!write_all(out, "time,type,kind,value,length_s,port,name,role\n"))
        return false;
    QByteArray text;
    for (const ShowLogEntry &entry : m_entries) {
        const Device &d = device(entry);
        text += history_time_text(entry.wall_ms).toLatin1();
        text += entry.is_alarm() ? ",alarm," : ",event,";
        text += kind_id(entry);
        text += ',';
        if (!entry.is_alarm())
            text += QByteArray::number(entry.value);
        text += ',';
        if (entry.is_alarm() && entry.length_ms >= 0)
            text += seconds(entry.length_ms);
        text += ',' + csv_field(d.port) + ',' + csv_field(d.name) + ',' + csv_field(d.role) + '\n';
        if (text.size() > (1 << 16)) {
            if (!write_all(out, text))
                return false;
            text.clear();
        }
    }
    return write_all(out, text);
}

bool ShowLog::write_json_lines(QIODevice *out) const
{
    QByteArray text;
    for (const ShowLogEntry &entry : m_entries) {
        const Device &d = device(entry);
        text += "{\"time\":\"" + history_time_text(entry.wall_ms).toLatin1() + "\",\"type\":\"";
        text += entry.is_alarm() ? "alarm" : "event";
        text += "\",\"kind\":\"";
        text += kind_id(entry);
        text += '"';
        if (entry.is_alarm()) {
            text += ",\"length_s\":";
            text += entry.length_ms >= 0 ? seconds(entry.length_ms) : QByteArray("null");
        } else {
            text += ",\"value\":" + QByteArray::number(entry.value);
        }
        text += ",\"port\":" + json_string(d.port) + ",\"name\":" + json_string(d.name)
            + ",\"role\":" + json_string(d.role) + "}\n";
        if (text.size() > (1 << 16)) {
            if (!write_all(out, text))
                return false;
            text.clear();
        }
    }
    return write_all(out, text);
}

int ShowLog::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_entries.size());
}

int ShowLog::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : COLUMNS;
}

QVariant ShowLog::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= int(m_entries.size()))
        return QVariant();
    const ShowLogEntry &entry = m_entries[index_of_row(index.row())];
    if (role == IS_ALARM_ROLE)
        return entry.is_alarm();
    if (role != Qt::DisplayRole)
        return QVariant();
    const Device &d = device(entry);
    switch (index.column()) {
    case Time:
        return history_time_text(entry.wall_ms);
    case Name:
        return name_for_display(d.name);
    case Role:
        return d.role;
    case Port:
        return d.port;
    case What:
        return what_text(entry);
    case Length:
        return length_text(entry);
    default:
        return QVariant();
    }
}

QVariant ShowLog::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case Time:
        //: A column of the show log.
        return tr("Time");
    case Name:
        return tr("Device");
    case Role:
        return tr("Role");
    case Port:
        return tr("Port");
    case What:
        return tr("What happened");
    case Length:
        return tr("How long");
    default:
        return QVariant();
    }
}

ShowLogFilter::ShowLogFilter(QObject *parent)
    : QSortFilterProxyModel(parent)
{
}

void ShowLogFilter::set_alarms_only(bool alarms_only)
{
    if (alarms_only == m_alarms_only)
        return;
    m_alarms_only = alarms_only;
    invalidateFilter();
}

bool ShowLogFilter::filterAcceptsRow(int source_row, const QModelIndex &source_parent) const
{
    if (!m_alarms_only)
        return true;
    return sourceModel()->index(source_row, 0, source_parent).data(ShowLog::IS_ALARM_ROLE).toBool();
}

void record_show(AlarmWatch *watch, ShowLog *log, const DeviceNames *names)
{
    const auto name_of = [names](const ShowDevice &device) {
        return names ? names->name(device.key) : QString();
    };
    QObject::connect(watch, &AlarmWatch::alarm_started, log,
                     [log, name_of](const AlarmRecord &record) { log->add_alarm(record, name_of(record.device)); });
    QObject::connect(watch, &AlarmWatch::alarm_ended, log,
                     [log](const AlarmRecord &record) { log->end_alarm(record); });
    QObject::connect(watch, &AlarmWatch::device_event, log,
                     [log, name_of](const EventRecord &record) { log->add_event(record, name_of(record.device)); });
}

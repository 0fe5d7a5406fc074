#include "watch_output.h"

#include "alarm_watch.h"
#include "device_names.h"
#include "history_csv.h"
#include "show_log.h"

#include <QCoreApplication>
#include <QStringList>

#include <utility>
#include <vector>

namespace {

class WatchOutput
{
    Q_DECLARE_TR_FUNCTIONS(WatchOutput)
};

// A field's value in JSON's terms.
struct Value
{
    enum Kind : quint8 { Null, Bool, Int, Real, Text, List };
    Kind kind = Null;
    qint64 number = 0;
    double real = 0;
    QString text;
    QStringList list;

    static Value null() { return {}; }
    static Value boolean(bool b) { return Value{Bool, b ? 1 : 0, 0, {}, {}}; }
    static Value integer(qint64 n) { return Value{Int, n, 0, {}, {}}; }
    static Value decimal(double d) { return Value{Real, 0, d, {}, {}}; }
    static Value string(const QString &s) { return Value{Text, 0, 0, s, {}}; }
    // An empty text is no value.
    static Value text_or_null(const QString &s) { return s.isEmpty() ? null() : string(s); }
    static Value strings(const QStringList &l) { return Value{List, 0, 0, {}, l}; }
    // -1 stands for not known.
    static Value flag(int f) { return f < 0 ? null() : boolean(f != 0); }
};
using LineFields = std::vector<std::pair<const char *, Value>>;

// Every column of the CSV rows, in order; a row leaves empty what its type lacks.
const char *const COLUMNS[] = {
    "schema", "time", "mono_ms", "type", "port", "serial", "name", "role", "status", "holder", "link", "muted",
    "phantom_power", "gain", "channel", "txu_dbm", "txu_min_dbm", "txu_mean_dbm", "txu_max_dbm", "repeater_dbm",
    "repeater_min_dbm", "repeater_mean_dbm", "repeater_max_dbm", "alarms", "event", "value", "before", "alarm",
    "state", "id", "start", "length_ms"};

QByteArray number_text(const Value &v)
{
    return v.kind == Value::Real ? QByteArray::number(v.real, 'f', 1) : QByteArray::number(v.number);
}

QByteArray json_value(const Value &v)
{
    switch (v.kind) {
    case Value::Null:
        return "null";
    case Value::Bool:
        return v.number ? "true" : "false";
    case Value::Int:
    case Value::Real:
        return number_text(v);
    case Value::Text:
        return json_string(v.text);
    case Value::List: {
        QByteArray out = "[";
        for (int i = 0; i < v.list.size(); ++i) {
            if (i)
                out += ',';
            out += json_string(v.list.at(i));
        }
        return out + ']';
    }
    }
    return "null";
}

QByteArray csv_value(const Value &v)
{
    switch (v.kind) {
    case Value::Null:
        return QByteArray();
    case Value::Bool:
        return v.number ? "true" : "false";
    case Value::Int:
    case Value::Real:
        return number_text(v);
    case Value::Text:
        return csv_field(v.text);
    case Value::List:
        return csv_field(v.list.join(QLatin1Char(' ')));
    }
    return QByteArray();
}

LineFields head(const char *type, qint64 mono_ms, qint64 wall_ms, const QString &port, const WatchWho &who,
            const QString &role)
{
    return {{"schema", Value::integer(WATCH_SCHEMA)},
            {"time", Value::string(history_time_text(wall_ms))},
            {"mono_ms", Value::integer(mono_ms)},
            {"type", Value::string(QLatin1String(type))},
            {"port", Value::string(port)},
            {"serial", Value::text_or_null(who.serial)},
            {"name", Value::text_or_null(who.name)},
            {"role", Value::text_or_null(role)}};
}

void add_levels(LineFields *r, const char *last, const char *low, const char *mean, const char *high,
                const LevelStats &levels, bool stretch)
{
    r->push_back({last, levels.has_last ? Value::integer(levels.last) : Value::null()});
    if (!stretch)
        return;
    const bool any = levels.count > 0;
    r->push_back({low, any ? Value::integer(levels.min) : Value::null()});
    r->push_back({mean, any ? Value::decimal(levels.mean()) : Value::null()});
    r->push_back({high, any ? Value::integer(levels.max) : Value::null()});
}

QStringList alarm_ids(const DeviceReading &d)
{
    QStringList ids;
    for (int k = 0; k < ALARM_KINDS; ++k) {
        if (d.alarms[size_t(k)])
            ids.append(QLatin1String(alarm_id(AlarmKind(k))));
    }
    return ids;
}

LineFields reading_record(const DeviceReading &d, const HistoryTime &now, bool stretch)
{
    LineFields r = head("reading", now.ms, now.wall_ms(), d.port, {d.serial, d.name}, d.role);
    r.push_back({"status", Value::string(QLatin1String(status_id(d.status)))});
    if (d.status == DeviceReading::Status::Busy)
        r.push_back({"holder", Value::text_or_null(d.holder)});
    r.push_back({"link", d.link < 0 ? Value::null() : Value::boolean(d.link)});
    r.push_back({"muted", Value::flag(d.muted)});
    r.push_back({"phantom_power", Value::flag(d.phantom_power)});
    r.push_back({"gain", d.gain_known ? Value::integer(d.gain) : Value::null()});
    r.push_back({"channel", d.channel < 0 ? Value::null() : Value::integer(d.channel)});
    add_levels(&r, "txu_dbm", "txu_min_dbm", "txu_mean_dbm", "txu_max_dbm", d.txu, stretch);
    add_levels(&r, "repeater_dbm", "repeater_min_dbm", "repeater_mean_dbm", "repeater_max_dbm", d.repeater, stretch);
    r.push_back({"alarms", Value::strings(alarm_ids(d))});
    return r;
}

QByteArray json_line(const LineFields &record)
{
    QByteArray out = "{";
    for (size_t i = 0; i < record.size(); ++i) {
        if (i)
            out += ',';
        out += '"';
        out += record[i].first;
        out += "\":";
        out += json_value(record[i].second);
    }
    return out + "}\n";
}

QByteArray csv_line(const LineFields &record)
{
    QByteArray out;
    bool first = true;
    for (const char *column : COLUMNS) {
        if (!first)
            out += ',';
        first = false;
        for (const auto &field : record) {
            if (qstrcmp(field.first, column) == 0) {
                out += csv_value(field.second);
                break;
            }
        }
    }
    return out + '\n';
}

// What people read.

QString level_text(const LevelStats &levels, bool stretch)
{
    //: A signal level in dBm: "-57 dBm".
    QString text = levels.has_last ? WatchOutput::tr("%1 dBm").arg(levels.last) : WatchOutput::tr("no reading");
    if (stretch && levels.count > 0) {
        //: The lowest, mean and highest level of the interval, after the last one.
        text += WatchOutput::tr(" (%1 to %2, mean %3)")
                    .arg(levels.min)
                    .arg(levels.max)
                    .arg(QString::number(levels.mean(), 'f', 1));
    }
    return text;
}

QString alarm_words(AlarmKind kind)
{
    ShowLogEntry entry;
    entry.alarm_id = 1;
    entry.kind = quint8(kind);
    return ShowLog::what_text(entry);
}

QStringList table_row(const DeviceReading &d, bool stretch)
{
    const QString name = name_for_display(d.name, 40);
    if (d.status == DeviceReading::Status::Busy) {
        const QString busy = d.holder.isEmpty() ? WatchOutput::tr("held by another program")
                                                //: %1 names a program and its process id.
                                                : WatchOutput::tr("held by %1").arg(d.holder);
        return {d.port, name, QString(), busy};
    }
    if (d.status == DeviceReading::Status::Unread) {
        const QString why = d.error.isEmpty() ? WatchOutput::tr("not read") : name_for_display(d.error, 200);
        return {d.port, name, QString(), why};
    }
    QStringList alarms;
    for (int k = 0; k < ALARM_KINDS; ++k) {
        if (d.alarms[size_t(k)])
            alarms.append(alarm_words(AlarmKind(k)));
    }
    const auto flag = [](int f, const QString &yes, const QString &no) {
        return f < 0 ? QString() : (f ? yes : no);
    };
    return {d.port,
            name,
            d.role,
            d.link < 0 ? QString() : (d.link ? WatchOutput::tr("up") : WatchOutput::tr("down")),
            d.has_levels ? level_text(d.txu, stretch) : QString(),
            d.has_levels && (d.repeater.has_last || d.repeater.count) ? level_text(d.repeater, stretch) : QString(),
            flag(d.muted, WatchOutput::tr("muted"), WatchOutput::tr("no")),
            flag(d.phantom_power, WatchOutput::tr("on"), WatchOutput::tr("off")),
            d.gain_known ? QString::number(d.gain) : QString(),
            d.channel < 0 ? QString() : QString::number(d.channel),
            alarms.join(QStringLiteral(", "))};
}

QString table(const QVector<DeviceReading> &devices, bool stretch)
{
    QList<QStringList> rows;
    //: Column titles of tvc-watch's table; +48V is the phantom power.
    rows.append({WatchOutput::tr("PORT"), WatchOutput::tr("NAME"), WatchOutput::tr("ROLE"), WatchOutput::tr("LINK"),
                 WatchOutput::tr("TXU SIGNAL"), WatchOutput::tr("REPEATER SIGNAL"), WatchOutput::tr("MUTE"),
                 WatchOutput::tr("+48V"), WatchOutput::tr("GAIN"), WatchOutput::tr("CHANNEL"),
                 WatchOutput::tr("ALARMS")});
    for (const DeviceReading &d : devices)
        rows.append(table_row(d, stretch));
    QVector<int> widths(rows.first().size(), 0);
    for (const QStringList &row : std::as_const(rows)) {
        for (int c = 0; c < row.size(); ++c)
            widths[c] = qMax(widths[c], int(row.at(c).size()));
    }
    QString out;
    for (const QStringList &row : std::as_const(rows)) {
        QString line;
        for (int c = 0; c < row.size(); ++c)
            line += c + 1 < row.size() ? row.at(c).leftJustified(widths[c] + 2) : row.at(c);
        out += line.trimmed() + QLatin1Char('\n');
    }
    return out;
}

QString who_text(const QString &port, const WatchWho &who)
{
    const QString name = name_for_display(who.name, 40);
    return name.isEmpty() ? port : QStringLiteral("%1 (%2)").arg(port, name);
}

} // namespace

QByteArray WatchLines::header() const
{
    if (m_format != WatchOptions::Format::Csv)
        return QByteArray();
    QByteArray out;
    for (const char *column : COLUMNS) {
        if (!out.isEmpty())
            out += ',';
        out += column;
    }
    return out + '\n';
}

QByteArray WatchLines::readings(const QVector<DeviceReading> &devices, const HistoryTime &now, bool stretch) const
{
    if (m_format == WatchOptions::Format::Table) {
        QString out;
        if (stretch)
            out += history_time_text(now.wall_ms()) + QLatin1Char('\n');
        return (out + table(devices, stretch)).toUtf8();
    }
    QByteArray out;
    for (const DeviceReading &d : devices) {
        const LineFields r = reading_record(d, now, stretch);
        out += m_format == WatchOptions::Format::Json ? json_line(r) : csv_line(r);
    }
    return out;
}

QByteArray WatchLines::event(const EventRecord &event, const WatchWho &who) const
{
    const DeviceEvent &e = event.event;
    if (m_format == WatchOptions::Format::Table) {
        ShowLogEntry entry;
        entry.kind = quint8(e.kind);
        entry.value = e.value;
        entry.before = e.before;
        return QStringLiteral("%1  %2: %3\n")
            .arg(event.time_text(), who_text(event.device.port, who), ShowLog::what_text(entry))
            .toUtf8();
    }
    LineFields r = head("event", e.at_ms, event.wall_ms(), event.device.port, who, event.device.role);
    r.push_back({"event", Value::string(QLatin1String(event_id(e.kind)))});
    r.push_back({"value", Value::integer(e.value)});
    if (e.kind == DeviceEventKind::Channel)
        r.push_back({"before", Value::integer(e.before)});
    return m_format == WatchOptions::Format::Json ? json_line(r) : csv_line(r);
}

QByteArray WatchLines::alarm(const AlarmRecord &alarm, bool started, const WatchWho &who) const
{
    const Alarm &a = alarm.alarm;
    // An alarm is told when it starts and when it ends, at the moment of its
    // cause: its start, or its end.
    const qint64 at = started ? a.start_ms : a.end_ms;
    if (m_format == WatchOptions::Format::Table) {
        ShowLogEntry entry;
        entry.alarm_id = a.id;
        entry.kind = quint8(a.kind);
        entry.length_ms = started ? -1 : alarm.length_ms();
        const QString what = started
            //: An alarm began: "alarm: link lost".
            ? WatchOutput::tr("alarm: %1").arg(ShowLog::what_text(entry))
            //: An alarm is over: "alarm over: link lost (1.2 s)".
            : WatchOutput::tr("alarm over: %1 (%2)").arg(ShowLog::what_text(entry), ShowLog::length_text(entry));
        return QStringLiteral("%1  %2: %3\n")
            .arg(history_time_text(at + alarm.wall_offset_ms), who_text(alarm.device.port, who), what)
            .toUtf8();
    }
    LineFields r = head("alarm", at, at + alarm.wall_offset_ms, alarm.device.port, who, alarm.device.role);
    r.push_back({"alarm", Value::string(QLatin1String(alarm_id(a.kind)))});
    r.push_back({"state", Value::string(started ? QStringLiteral("started") : QStringLiteral("ended"))});
    r.push_back({"id", Value::integer(qint64(a.id))});
    r.push_back({"start", Value::string(alarm.start_text())});
    r.push_back({"length_ms", started ? Value::null() : Value::integer(alarm.length_ms())});
    return m_format == WatchOptions::Format::Json ? json_line(r) : csv_line(r);
}

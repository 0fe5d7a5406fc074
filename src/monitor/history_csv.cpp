#include "history_csv.h"

#include "text_fields.h"

#include <QDateTime>
#include <QIODevice>
#include <QVector>

#include <algorithm>
#include <queue>
#include <vector>
#include <limits>

const QByteArray HISTORY_CSV_HEADER =
    "time,level_a,level_b,beacons_a,audio_a,beacons_b,audio_b,rssi_a,rssi_b,event\n";
const QByteArray HISTORIES_CSV_HEADER = "port,name," + HISTORY_CSV_HEADER;

namespace {

// Appends `value` in decimal, with at least `width` digits, at `out`;
// returns the end.
char *write_padded(char *out, qint64 value, int width)
{
    quint64 magnitude = value < 0 ? 0u - quint64(value) : quint64(value);
    if (value < 0)
        *out++ = '-';
    char digits[20];
    int n = 0;
    do {
        digits[n++] = char('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0 || n < width);
    while (n > 0)
        *out++ = digits[--n];
    return out;
}

// Formats time stamps; the date, time of day and offset are worked out once
// per second, which keeps a day of records quick to write. They are written
// digit by digit: QDateTime::toString() writes the digits of the user's
// locale with Qt 5 (Arabic-Indic ones in Egypt, Persian ones in Iran), and a
// file must read the same everywhere.
class TimeFormatter
{
public:
    // Appends the time stamp of `time_ms` (milliseconds since the epoch) at
    // `out`; returns the end.
    char *write(char *out, qint64 time_ms)
    {
        const qint64 second = time_ms >= 0 ? time_ms / 1000 : (time_ms - 999) / 1000;
        if (second != m_second) {
            m_second = second;
            const QDateTime local = QDateTime::fromMSecsSinceEpoch(second * 1000);
            const QDate date = local.date();
            const QTime time = local.time();
            char *at = write_padded(m_date_time, date.year(), 4);
            *at++ = '-';
            at = write_padded(at, date.month(), 2);
            *at++ = '-';
            at = write_padded(at, date.day(), 2);
            *at++ = 'T';
            at = write_padded(at, time.hour(), 2);
            *at++ = ':';
            at = write_padded(at, time.minute(), 2);
            *at++ = ':';
            at = write_padded(at, time.second(), 2);
            *at++ = '.';
            m_date_time_size = int(at - m_date_time);
            const int offset = local.offsetFromUtc();
            const int minutes = (offset < 0 ? -offset : offset) / 60;
            at = m_offset;
            *at++ = offset < 0 ? '-' : '+';
            at = write_padded(at, minutes / 60, 2);
            *at++ = ':';
            m_offset_size = int(write_padded(at, minutes % 60, 2) - m_offset);
        }
        out = std::copy_n(m_date_time, m_date_time_size, out);
        out = write_padded(out, time_ms - second * 1000, 3);
        return std::copy_n(m_offset, m_offset_size, out);
    }

private:
    qint64 m_second = std::numeric_limits<qint64>::min();
    char m_date_time[40];  // up to the point before the milliseconds
    int m_date_time_size = 0;
    char m_offset[16];
    int m_offset_size = 0;
};

// Appends the decimal number at `out`; returns the end.
char *write_number(char *out, int value)
{
    return write_padded(out, value, 1);
}

// Appends a comma and the decimal number at `out`; returns the end.
char *write_field(char *out, int value)
{
    *out++ = ',';
    return write_number(out, value);
}

char *write_text(char *out, const char *text)
{
    while (*text)
        *out++ = *text++;
    return out;
}

// Text written in pieces of about FLUSH_BYTES, each piece at most ROW_BYTES
// past that, with the progress told after each piece.
class TextOut
{
public:
    static constexpr int FLUSH_BYTES = 1 << 16;
    // A CSV row is at most a port (MAX_PORT_FIELD), a name (MAX_NAME_CHARS
    // characters of up to two bytes each, quotes doubled), a time stamp (29
    // characters), nine fields and an event; a sniffer line about 80
    // characters.
    static constexpr int ROW_BYTES = 1280;

    TextOut(QIODevice *out, const WriteProgress &progress)
        : m_out(out)
        , m_progress(progress)
        , m_text(FLUSH_BYTES + ROW_BYTES, Qt::Uninitialized)
        , m_at(m_text.data())
    {
    }

    // Where the next row goes.
    char *at() { return m_at; }
    // The row ends at `end`; `records` were written so far. False when the
    // text cannot be written or progress said stop.
    bool row_end(char *end, quint64 records)
    {
        m_at = end;
        if (m_at - m_text.data() < FLUSH_BYTES)
            return true;
        return flush() && (!m_progress || m_progress(records));
    }
    bool flush()
    {
        const qint64 size = m_at - m_text.data();
        m_at = m_text.data();
        return m_out->write(m_text.constData(), size) == size;
    }

private:
    QIODevice *m_out;
    const WriteProgress &m_progress;
    QByteArray m_text;
    char *m_at;
};

// The event rows for the state of the link before the first record kept:
// each event's last value (none for those not known), in the order they came.
QVector<Record> state_rows(const LinkSnapshot &state)
{
    QVector<Record> rows;
    // When times tie, in the order the main window records them.
    for (const LinkEvent event :
         {LinkEvent::Connection, LinkEvent::RepeaterMode, LinkEvent::LinkState, LinkEvent::ReportMode}) {
        if (state.value(event) < 0)
            continue;
        Record row;
        row.time_ms = state.since(event);
        row.kind = RecordKind::Event;
        row.event = event;
        row.fields[0] = state.value(event);
        rows.append(row);
    }
    std::stable_sort(rows.begin(), rows.end(),
                     [](const Record &a, const Record &b) { return a.time_ms < b.time_ms; });
    return rows;
}

// A row of `record`, taken when the wall clock stood `wall_offset_ms` from
// the history's time line.
char *write_csv_row(char *at, TimeFormatter &times, const Record &record, qint64 wall_offset_ms)
{
    at = times.write(at, record.time_ms + wall_offset_ms);
    switch (record.kind) {
    case RecordKind::Signal:
        at = write_field(at, record.fields[0]);
        at = write_field(at, record.fields[1]);
        return write_text(at, ",,,,,,,\n");
    case RecordKind::Sniff:
        at = write_text(at, ",,");
        for (int i = 0; i < 6; ++i)
            at = write_field(at, record.fields[size_t(i)]);
        return write_text(at, ",\n");
    case RecordKind::Event:
        at = write_text(at, ",,,,,,,,,");
        at = write_text(at, link_event_text(record.event, record.event_value()).toLatin1().constData());
        *at++ = '\n';
        return at;
    }
    return at;
}

} // namespace

QString history_time_text(qint64 time_ms)
{
    char text[64];
    const char *end = TimeFormatter().write(text, time_ms);
    return QString::fromLatin1(text, int(end - text));
}

QString link_event_text(LinkEvent event, qint64 value)
{
    switch (event) {
    case LinkEvent::LinkState:
        return QStringLiteral("link state %1").arg(value);
    case LinkEvent::RepeaterMode:
        return value ? QStringLiteral("repeater mode on") : QStringLiteral("repeater mode off");
    case LinkEvent::ReportMode:
        return QStringLiteral("report mode %1").arg(value);
    case LinkEvent::Connection:
        if (value == CONNECTION_OPEN)
            return QStringLiteral("port opened");
        if (value == CONNECTION_PORT_LOST)
            return QStringLiteral("port lost");
        return QStringLiteral("port closed");
    case LinkEvent::ClockChange: {
        const quint64 ms = value < 0 ? 0u - quint64(value) : quint64(value);
        char seconds[32];
        char *end = write_padded(seconds, qint64(ms / 1000), 1);
        *end++ = '.';
        end = write_padded(end, qint64(ms % 1000), 3);
        return (value < 0 ? QStringLiteral("clock set back ") : QStringLiteral("clock set forward "))
            + QString::fromLatin1(seconds, int(end - seconds)) + QStringLiteral(" s");
    }
    }
    return QStringLiteral("event %1: %2").arg(int(event)).arg(value);
}

bool write_history_csv(const ReportLog &log, QIODevice *out, const WriteProgress &progress)
{
    TextOut text(out, progress);
    TimeFormatter times;
    if (!text.row_end(write_text(text.at(), HISTORY_CSV_HEADER.constData()), 0))
        return false;
    ReportLog::Cursor cursor = log.begin();
    if (log.dropped() > 0) {
        // What the rows that were dropped had set, and the rows kept rely on
        // (by the wall clock as it stood at the first row kept).
        for (const Record &row : state_rows(cursor.snapshot())) {
            if (!text.row_end(write_csv_row(text.at(), times, row, cursor.snapshot().wall_offset_ms), 0))
                return false;
        }
    }
    Record record;
    quint64 written = 0;
    while (cursor.next(&record)) {
        // A clock change moves the wall time of its own row already.
        if (!text.row_end(write_csv_row(text.at(), times, record, cursor.snapshot().wall_offset_ms), ++written))
            return false;
    }
    return text.flush();
}

namespace {

constexpr int MAX_PORT_FIELD = 512;

// A port name as a CSV field: quoted where it holds a comma, a quote or a
// line break; a name too long for a row keeps its end.
QByteArray port_field(const QString &port)
{
    QByteArray field = port.toUtf8().right(MAX_PORT_FIELD / 2 - 4);
    if (field.contains(',') || field.contains('"') || field.contains('\n') || field.contains('\r'))
        field = '"' + field.replace('"', "\"\"") + '"';
    return field + ',';
}

// A device's name as a CSV field, after its port: no more than
// MAX_NAME_CHARS characters, never half of one.
QByteArray name_field(const QString &name)
{
    QString cut = name.left(MAX_NAME_CHARS);
    if (!cut.isEmpty() && cut.at(cut.size() - 1).isHighSurrogate())
        cut.chop(1);
    return csv_field(cut) + ',';
}

} // namespace

bool write_histories_csv(const QList<PortHistory> &histories, QIODevice *out, const WriteProgress &progress)
{
    TextOut text(out, progress);
    TimeFormatter times;
    if (!text.row_end(write_text(text.at(), HISTORIES_CSV_HEADER.constData()), 0))
        return false;
    struct Source
    {
        QByteArray port;
        ReportLog::Cursor cursor;
        Record record;
        bool has_record = false;
    };
    std::vector<Source> sources;
    for (const PortHistory &history : histories) {
        if (!history.log)
            continue;
        Source source{port_field(history.port) + name_field(history.name), history.log->begin(), Record(), false};
        if (history.log->dropped() > 0) {
            for (const Record &row : state_rows(source.cursor.snapshot())) {
                char *at = write_text(text.at(), source.port.constData());
                if (!text.row_end(write_csv_row(at, times, row, source.cursor.snapshot().wall_offset_ms), 0))
                    return false;
            }
        }
        source.has_record = source.cursor.next(&source.record);
        sources.push_back(std::move(source));
    }
    // The oldest record of all next; a tie goes to the device listed first.
    const auto later = [&sources](size_t a, size_t b) {
        const qint64 ta = sources[a].record.time_ms;
        const qint64 tb = sources[b].record.time_ms;
        return ta != tb ? ta > tb : a > b;
    };
    std::priority_queue<size_t, std::vector<size_t>, decltype(later)> queue(later);
    for (size_t i = 0; i < sources.size(); ++i) {
        if (sources[i].has_record)
            queue.push(i);
    }
    quint64 written = 0;
    while (!queue.empty()) {
        Source &next = sources[queue.top()];
        const size_t index = queue.top();
        queue.pop();
        char *at = write_text(text.at(), next.port.constData());
        if (!text.row_end(write_csv_row(at, times, next.record, next.cursor.snapshot().wall_offset_ms), ++written))
            return false;
        next.has_record = next.cursor.next(&next.record);
        if (next.has_record)
            queue.push(index);
    }
    return text.flush();
}

bool write_sniffer_lines(const ReportLog &log, QIODevice *out, const WriteProgress &progress)
{
    constexpr int NORMAL_MODE = 2;
    TextOut text(out, progress);
    ReportLog::Cursor cursor = log.begin();
    Record record;
    quint64 written = 0;
    while (cursor.next(&record)) {
        ++written;
        if (record.kind != RecordKind::Sniff)
            continue;
        const std::array<int, 6> &f = record.fields;  // beacons A, audio A, beacons B, audio B, RSSI A, RSSI B
        const bool normal = cursor.snapshot().value(LinkEvent::ReportMode) == NORMAL_MODE;
        char *at = write_text(text.at(), "Beacons: ");
        at = write_number(at, f[0]);
        at = write_text(at, normal ? " (" : " : ");
        at = write_number(at, f[2]);
        at = write_text(at, normal ? ") Audio: " : " Audio: ");
        at = write_number(at, f[1]);
        at = write_text(at, normal ? " (" : " : ");
        at = write_number(at, f[3]);
        at = write_text(at, normal ? ") RSSI: " : " RSSI: ");
        at = write_number(at, f[4]);
        if (!normal) {
            at = write_text(at, " : ");
            at = write_number(at, f[5]);
        }
        *at++ = '\n';
        if (!text.row_end(at, written))
            return false;
    }
    return text.flush();
}

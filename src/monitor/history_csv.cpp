#include "history_csv.h"

#include <QDateTime>
#include <QIODevice>
#include <QVector>

#include <algorithm>
#include <limits>

const QByteArray HISTORY_CSV_HEADER =
    "time,level_a,level_b,beacons_a,audio_a,beacons_b,audio_b,rssi_a,rssi_b,event\n";

namespace {

// Formats time stamps; the date, time of day and offset are worked out once
// per second, which keeps a day of records quick to write.
class TimeFormatter
{
public:
    // Appends the time stamp at `out`; returns the end.
    char *write(char *out, qint64 time_ms)
    {
        const qint64 second = time_ms >= 0 ? time_ms / 1000 : (time_ms - 999) / 1000;
        if (second != m_second) {
            m_second = second;
            const QDateTime local = QDateTime::fromMSecsSinceEpoch(second * 1000);
            m_date_time = local.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")).toLatin1();
            const int offset = local.offsetFromUtc();
            const int minutes = (offset < 0 ? -offset : offset) / 60;
            m_offset = QByteArray(offset < 0 ? "-" : "+") + QByteArray::number(minutes / 60).rightJustified(2, '0')
                + ':' + QByteArray::number(minutes % 60).rightJustified(2, '0');
        }
        const int millis = int(time_ms - second * 1000);
        out = std::copy(m_date_time.cbegin(), m_date_time.cend(), out);
        *out++ = '.';
        *out++ = char('0' + millis / 100);
        *out++ = char('0' + millis / 10 % 10);
        *out++ = char('0' + millis % 10);
        return std::copy(m_offset.cbegin(), m_offset.cend(), out);
    }

private:
    qint64 m_second = std::numeric_limits<qint64>::min();
    QByteArray m_date_time;
    QByteArray m_offset;
};

// Appends the decimal number at `out`; returns the end.
char *write_number(char *out, int value)
{
    unsigned magnitude = value < 0 ? 0u - unsigned(value) : unsigned(value);
    if (value < 0)
        *out++ = '-';
    char digits[12];
    int n = 0;
    do {
        digits[n++] = char('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    while (n > 0)
        *out++ = digits[--n];
    return out;
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
    // A CSV row is at most a time stamp (29 characters), nine fields and an
    // event; a sniffer line about 80 characters.
    static constexpr int ROW_BYTES = 256;

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

char *write_csv_row(char *at, TimeFormatter &times, const Record &record)
{
    at = times.write(at, record.time_ms);
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
        at = write_text(at, link_event_text(record.event, record.fields[0]).toLatin1().constData());
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

QString link_event_text(LinkEvent event, int value)
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
        // What the rows that were dropped had set, and the rows kept rely on.
        for (const Record &row : state_rows(cursor.snapshot())) {
            if (!text.row_end(write_csv_row(text.at(), times, row), 0))
                return false;
        }
    }
    Record record;
    quint64 written = 0;
    while (cursor.next(&record)) {
        if (!text.row_end(write_csv_row(text.at(), times, record), ++written))
            return false;
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

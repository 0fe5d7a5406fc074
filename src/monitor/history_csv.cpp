#include "history_csv.h"

#include <QDateTime>
#include <QIODevice>

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

// Appends a comma and the decimal number at `out`; returns the end.
char *write_field(char *out, int value)
{
    *out++ = ',';
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

char *write_text(char *out, const char *text)
{
    while (*text)
        *out++ = *text++;
    return out;
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

bool write_history_csv(const ReportLog &log, QIODevice *out)
{
    constexpr int FLUSH_BYTES = 1 << 16;
    // A row is at most a time stamp (29 characters), nine fields and an event.
    constexpr int ROW_BYTES = 256;
    QByteArray text(FLUSH_BYTES + ROW_BYTES, Qt::Uninitialized);
    char *const begin = text.data();
    char *at = write_text(begin, HISTORY_CSV_HEADER.constData());
    TimeFormatter times;
    ReportLog::Cursor cursor = log.begin();
    Record record;
    while (cursor.next(&record)) {
        at = times.write(at, record.time_ms);
        switch (record.kind) {
        case RecordKind::Signal:
            at = write_field(at, record.fields[0]);
            at = write_field(at, record.fields[1]);
            at = write_text(at, ",,,,,,,\n");
            break;
        case RecordKind::Sniff:
            at = write_text(at, ",,");
            for (int i = 0; i < 6; ++i)
                at = write_field(at, record.fields[size_t(i)]);
            at = write_text(at, ",\n");
            break;
        case RecordKind::Event:
            at = write_text(at, ",,,,,,,,,");
            at = write_text(at, link_event_text(record.event, record.fields[0]).toLatin1().constData());
            *at++ = '\n';
            break;
        }
        if (at - begin >= FLUSH_BYTES) {
            if (out->write(begin, at - begin) != at - begin)
                return false;
            at = begin;
        }
    }
    return out->write(begin, at - begin) == at - begin;
}

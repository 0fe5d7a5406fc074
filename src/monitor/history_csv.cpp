#include "history_csv.h"

#include <QDateTime>
#include <QIODevice>

const QByteArray HISTORY_CSV_HEADER =
    "time,level_a,level_b,beacons_a,audio_a,beacons_b,audio_b,rssi_a,rssi_b,event\n";

namespace {

// Formats time stamps; the date, time of day and offset are worked out once
// per second, which keeps a day of records quick to write.
class TimeFormatter
{
public:
    QByteArray text(qint64 time_ms)
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
        return m_date_time + '.' + QByteArray::number(millis).rightJustified(3, '0') + m_offset;
    }

private:
    qint64 m_second = -1;
    QByteArray m_date_time;
    QByteArray m_offset;
};

} // namespace

QString history_time_text(qint64 time_ms)
{
    return QString::fromLatin1(TimeFormatter().text(time_ms));
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
    QByteArray text = HISTORY_CSV_HEADER;
    text.reserve(FLUSH_BYTES + 256);
    TimeFormatter times;
    ReportLog::Cursor cursor = log.begin();
    Record record;
    while (cursor.next(&record)) {
        text += times.text(record.time_ms);
        switch (record.kind) {
        case RecordKind::Signal:
            text += ',' + QByteArray::number(record.fields[0]) + ',' + QByteArray::number(record.fields[1])
                + ",,,,,,,\n";
            break;
        case RecordKind::Sniff:
            text += ",,";
            for (int i = 0; i < 6; ++i)
                text += ',' + QByteArray::number(record.fields[size_t(i)]);
            text += ",\n";
            break;
        case RecordKind::Event:
            text += ",,,,,,,,," + link_event_text(record.event, record.fields[0]).toUtf8() + '\n';
            break;
        }
        if (text.size() >= FLUSH_BYTES) {
            if (out->write(text) != text.size())
                return false;
            text.clear();
        }
    }
    return out->write(text) == text.size();
}

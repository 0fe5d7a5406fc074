#pragma once

#include "report_log.h"

#include <QByteArray>
#include <QString>

class QIODevice;

// The header row of the link history's CSV: the time, then the fields of a
// signal report, of a sniffer report, and the text of an event. A row fills
// the columns of its own record and leaves the others empty.
extern const QByteArray HISTORY_CSV_HEADER;

// Writes every record of the log as CSV, oldest first, after the header row.
// False when the device refused to take the text.
bool write_history_csv(const ReportLog &log, QIODevice *out);

// A time stamp in ISO 8601: local time with milliseconds and the offset from
// UTC, as 2024-05-01T14:03:07.125+02:00.
QString history_time_text(qint64 time_ms);

// What an event says, for people: "link state 1", "port lost".
QString link_event_text(LinkEvent event, int value);

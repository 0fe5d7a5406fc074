#pragma once

#include "report_log.h"

#include <QByteArray>
#include <QString>

#include <QList>

#include <functional>
#include <memory>

class QIODevice;

// Told now and then how many records were written; a writer stops (and
// fails) when it answers false.
using WriteProgress = std::function<bool(quint64 records_written)>;

// The header row of the link history's CSV: the time, then the fields of a
// signal report, of a sniffer report, and the text of an event. A row fills
// the columns of its own record and leaves the others empty.
extern const QByteArray HISTORY_CSV_HEADER;

// Writes every record of the log as CSV, oldest first, after the header row,
// each at the wall time it was taken: after a clock event, the rows read
// from the wall clock as it was set. When the oldest records were dropped,
// rows of the state of the link before the first record kept (each event's
// last value, at its time) come first. The text is ASCII in every locale.
// False when the device refused to take the text, or progress said stop.
bool write_history_csv(const ReportLog &log, QIODevice *out, const WriteProgress &progress = {});

// The history of one device, for a file of several.
struct PortHistory
{
    QString port;
    std::shared_ptr<const ReportLog> log;
    QString name;  // the name the user gave the device, empty for none
};

// The header row of a file of several devices' histories: the port and the
// device's name first.
extern const QByteArray HISTORIES_CSV_HEADER;

// Writes the records of every log in one file, in time order across the
// devices, each row starting with its device's port and name (its first
// MAX_NAME_CHARS characters); otherwise as
// write_history_csv (each log's rows of the state before its first record
// kept come first).
constexpr int MAX_NAME_CHARS = 60;
bool write_histories_csv(const QList<PortHistory> &histories, QIODevice *out, const WriteProgress &progress = {});

// Writes the sniffer reports of the log as plain text, one line each, as the
// sniffer dialog shows them in the mode the report came in (mode 2, the
// normal one: "Beacons: 5 (7) Audio: 3 (1) RSSI: -60"; any other, the
// repeater's: "Beacons: 5 : 7 Audio: 3 : 1 RSSI: -60 : -70").
bool write_sniffer_lines(const ReportLog &log, QIODevice *out, const WriteProgress &progress = {});

// A time stamp in ISO 8601, of the wall time `time_ms`: local time with
// milliseconds and the offset from UTC, as 2024-05-01T14:03:07.125+02:00, in
// ASCII digits whatever the locale.
QString history_time_text(qint64 time_ms);

// What an event says, for people: "link state 1", "port lost",
// "clock set back 3600.000 s".
QString link_event_text(LinkEvent event, qint64 value);

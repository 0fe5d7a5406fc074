#include "fleet_report.h"

#include "frame.h"
#include "number_text.h"
#include "terminal_text.h"
#include "transfer_progress.h"

#include <QCoreApplication>

namespace {

// The words of the lines that report on several devices.
class FleetReport
{
    Q_DECLARE_TR_FUNCTIONS(FleetReport)
};

QString result_word(const DeviceRecord &device, bool check)
{
    switch (device.status) {
    case -1:
        return FleetReport::tr("running");
    case STATUS_UPDATED:
        return check ? FleetReport::tr("fits") : FleetReport::tr("updated");
    case STATUS_REFUSED:
        return FleetReport::tr("refused");
    case STATUS_INTERRUPTED:
        return FleetReport::tr("interrupted");
    default:
        return FleetReport::tr("failed");
    }
}

QString stage_word(const DeviceRecord &device)
{
    switch (device.stage) {
    case DeviceStage::Starting:
        return FleetReport::tr("starting");
    case DeviceStage::Checking:
        return FleetReport::tr("checking");
    case DeviceStage::Sending:
        return device.unit == UNIT_WLAN ? QStringLiteral("WLAN") : QStringLiteral("DSP");
    case DeviceStage::Finishing:
    case DeviceStage::Ended:
        break;
    }
    return FleetReport::tr("finishing");
}

QString notice_words(const DeviceRecord &device)
{
    switch (device.notice) {
    case UpdateEngine::Notice::None:
        break;
    case UpdateEngine::Notice::Silent:
        return FleetReport::tr("no answer for %1 s").arg(device.silent_seconds);
    case UpdateEngine::Notice::Finishing:
        return FleetReport::tr("do not disconnect");
    }
    return QString();
}

// "1650 -> 1660": before, and what the tool knows of after.
QString versions_text(const DeviceRecord &device, const QString &before, const QString &package)
{
    if (!device.versions_known)
        return QStringLiteral("-");
    QString after = before;
    if (device.status == STATUS_UPDATED)
        after = package;
    else if (device.status != STATUS_REFUSED && device.data_sent)
        after = QStringLiteral("?");
    return before + QStringLiteral(" -> ") + after;
}

int port_width(const std::vector<DeviceRecord> &devices)
{
    int width = 0;
    for (const DeviceRecord &d : devices)
        width = qMax(width, display_width(d.port));
    return width;
}

// The results that devices are counted by, in the order they are told.
enum Outcome { Running, Updated, Refused, Failed, Interrupted, OUTCOMES };

Outcome outcome(const DeviceRecord &d)
{
    switch (d.status) {
    case -1:
        return Running;
    case STATUS_INTERRUPTED:
        return Interrupted;
    case STATUS_UPDATED:
        return Updated;
    case STATUS_REFUSED:
        return Refused;
    default:
        return Failed;
    }
}

// "3 running", "1 updated": `count` devices that stand at `kind`, each
// language with its singular and plural.
QString count_words(Outcome kind, int count, bool check)
{
    switch (kind) {
    case Running:
        return FleetReport::tr("%n running", nullptr, count);
    case Updated:
        return check ? FleetReport::tr("%n fit", nullptr, count) : FleetReport::tr("%n updated", nullptr, count);
    case Refused:
        return FleetReport::tr("%n refused", nullptr, count);
    case Failed:
        return FleetReport::tr("%n failed", nullptr, count);
    case Interrupted:
    case OUTCOMES:
        break;
    }
    return FleetReport::tr("%n interrupted", nullptr, count);
}

// "3 running, 2 updated": how many of `devices` stand where, leaving out
// the results no device has.
QString tally(const std::vector<const DeviceRecord *> &devices, bool check)
{
    int counts[OUTCOMES] = {};
    for (const DeviceRecord *d : devices)
        ++counts[outcome(*d)];
    QStringList parts;
    for (int kind = 0; kind < OUTCOMES; ++kind) {
        if (counts[kind] > 0)
            parts << count_words(Outcome(kind), counts[kind], check);
    }
    return parts.join(QStringLiteral(", "));
}

} // namespace

QString progress_line(const DeviceRecord &d)
{
    QString more;
    const QString rate = rate_text(d.done, d.image_ms);
    if (!rate.isEmpty())
        more += QStringLiteral(", ") + rate;
    if (d.done >= d.total)
        more += QStringLiteral(", ") + duration_text(d.image_ms);
    else if (d.seconds_left >= 0)
        more += QStringLiteral(", ") + time_left_text(d.seconds_left);
    //: "WLAN 10% (12000 of 120000 bytes, 41.8 kB/s)": the image, the part of it done
    //: ("10%"), the bytes acknowledged of the image's %n, and in %4 the rate and the
    //: time, each after a comma (or nothing).
    return FleetReport::tr("%1 %2 (%3 of %n bytes%4)", nullptr, int(d.total))
        .arg(d.unit == UNIT_WLAN ? QStringLiteral("WLAN") : QStringLiteral("DSP"),
             percent_text(percent_done(d.done, d.total)), QString::number(d.done), more);
}

QString live_line(const DeviceRecord &d, int port_width, int width)
{
    QString line = pad_columns(d.port, port_width) + QStringLiteral("  ")
                   + pad_columns(d.type.isEmpty() ? QStringLiteral("-") : d.type, 3) + QStringLiteral("  ");
    if (d.status != -1) {
        line += result_word(d, false);
        if (d.status == STATUS_UPDATED || d.status == STATUS_INTERRUPTED || !d.reason.isEmpty())
            line += QStringLiteral(" (") + duration_text(d.elapsed_ms) + QLatin1Char(')');
        if (!d.reason.isEmpty())
            line += QStringLiteral(": ") + d.reason;
    } else {
        line += stage_word(d);
        if (d.stage == DeviceStage::Sending && d.total > 0) {
            // Right-aligned, so that the figures stay in place as they grow.
            line += QLatin1Char(' ')
                + pad_columns(percent_text(percent_done(d.done, d.total)), display_width(percent_text(100)), true);
            if (d.seconds_left >= 0)
                line += QStringLiteral(", ") + time_left_text(d.seconds_left);
        }
        const QString note = notice_words(d);
        if (!note.isEmpty())
            line += QStringLiteral("  ") + note;
    }
    return fit_text(line, width);
}

QStringList block_lines(const std::vector<DeviceRecord> &devices, bool check, int columns, int rows)
{
    // One column short of the width: a line that fills it would wrap on some terminals.
    const int width = columns > 1 ? columns - 1 : 0;
    const int ports = port_width(devices);
    const int capacity = rows <= 0 ? int(devices.size()) : qMax(1, rows - 1);

    QStringList lines;
    if (int(devices.size()) <= capacity) {
        for (const DeviceRecord &d : devices)
            lines << live_line(d, ports, width);
        return lines;
    }
    // The running devices first, then those that have ended; shown in their own order.
    std::vector<bool> shown(devices.size(), false);
    int room = capacity - 1;
    for (int pass = 0; pass < 2 && room > 0; ++pass) {
        for (size_t i = 0; i < devices.size() && room > 0; ++i) {
            if ((devices[i].status == -1) == (pass == 0)) {
                shown[i] = true;
                --room;
            }
        }
    }
    std::vector<const DeviceRecord *> hidden;
    for (size_t i = 0; i < devices.size(); ++i) {
        if (shown[i])
            lines << live_line(devices[i], ports, width);
        else
            hidden.push_back(&devices[i]);
    }
    const QString rest = lines.isEmpty()
        ? FleetReport::tr("%n devices: %1", nullptr, int(hidden.size())).arg(tally(hidden, check))
        : FleetReport::tr("... and %n more: %1", nullptr, int(hidden.size())).arg(tally(hidden, check));
    lines << fit_text(rest, width);
    return lines;
}

QStringList summary_lines(const std::vector<DeviceRecord> &devices, bool check, int width)
{
    QList<QStringList> rows;
    for (const DeviceRecord &d : devices) {
        const QString dsp_before = QStringLiteral("%1.%2").arg(d.before.dsp_major).arg(d.before.dsp_minor);
        const QString wlan = versions_text(d, QString::number(d.before.wlan_version), d.package_wlan);
        const QString dsp = versions_text(d, dsp_before, d.package_dsp);
        rows.append({d.port, d.type.isEmpty() ? QStringLiteral("-") : d.type,
                     wlan == QLatin1String("-") ? wlan : QStringLiteral("WLAN ") + wlan,
                     dsp == QLatin1String("-") ? dsp : QStringLiteral("DSP ") + dsp, result_word(d, check),
                     duration_text(d.elapsed_ms), d.reason});
    }
    QList<int> widths;
    for (const QStringList &row : rows) {
        for (int i = 0; i < row.size(); ++i) {
            if (i >= widths.size())
                widths.append(0);
            widths[i] = qMax(widths[i], display_width(row.at(i)));
        }
    }
    // Lines wrap one column short of the width, as the live lines do.
    const int room = width > 1 ? width - 1 : 0;
    const QString indent = QStringLiteral("    ");
    // A line without the padding after its last column; the indent of a
    // line that goes on below stays.
    const auto ended = [](QString line) {
        while (line.endsWith(QLatin1Char(' ')))
            line.chop(1);
        return line;
    };
    QStringList lines;
    for (const QStringList &row : rows) {
        // The columns, the time right-aligned; where they do not fit the
        // terminal, they go on below, indented, each column whole.
        QString line;
        bool broken = false;
        for (int i = 0; i < row.size() - 1; ++i) {
            const QString field = pad_columns(row.at(i), widths[i], i == row.size() - 2);
            const QString next = line.isEmpty() ? field : line + QStringLiteral("  ") + field;
            if (room > 0 && !line.isEmpty() && display_width(ended(next)) > room) {
                lines.append(ended(line));
                line = indent + field.trimmed();
                broken = true;
            } else {
                line = next;
            }
        }
        const QString &reason = row.last();
        if (reason.isEmpty()) {
            lines.append(ended(line));
            continue;
        }
        line += QStringLiteral("  ");
        if (room <= 0) {
            lines.append(line + reason);
            continue;
        }
        // The reason goes on beside the columns where there is room for some
        // of it, else on lines of its own below them; wrapped at words,
        // indented either way.
        int reason_indent = display_width(line);
        if (broken || room - reason_indent < 30) {
            lines.append(ended(line));
            line = indent;
            reason_indent = indent.size();
        }
        const QStringList parts = wrap_words(reason, room - reason_indent, room - reason_indent);
        for (int i = 0; i < parts.size(); ++i)
            lines.append((i == 0 ? line : QString(reason_indent, QLatin1Char(' '))) + parts.at(i));
    }
    return lines;
}

QString count_line(const std::vector<DeviceRecord> &devices, bool check)
{
    // A device still running when the tool ends was interrupted.
    int counts[OUTCOMES] = {};
    for (const DeviceRecord &d : devices)
        ++counts[outcome(d) == Running ? Interrupted : outcome(d)];
    QStringList parts;
    for (const Outcome kind : {Updated, Refused, Failed})
        parts << count_words(kind, counts[kind], check);
    if (counts[Interrupted] > 0)
        parts << count_words(Interrupted, counts[Interrupted], check);
    return parts.join(QStringLiteral(", "));
}

int overall_status(const std::vector<DeviceRecord> &devices)
{
    bool refused = false, failed = false;
    for (const DeviceRecord &d : devices) {
        if (d.status == STATUS_INTERRUPTED || d.status == -1)
            return STATUS_INTERRUPTED;
        refused = refused || d.status == STATUS_REFUSED;
        failed = failed || (d.status != STATUS_UPDATED && d.status != STATUS_REFUSED);
    }
    return failed ? STATUS_DEVICE : refused ? STATUS_REFUSED : STATUS_UPDATED;
}

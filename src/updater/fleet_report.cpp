#include "fleet_report.h"

#include "transfer_progress.h"
#include "update_run.h"

#include <QObject>

namespace {

// A terminal block is redrawn at most this often.
constexpr qint64 REDRAW_MS = 100;

QString result_word(const DeviceRecord &device, bool check)
{
    switch (device.status) {
    case -1:
        return QObject::tr("running");
    case STATUS_UPDATED:
        return check ? QObject::tr("fits") : QObject::tr("updated");
    case STATUS_REFUSED:
        return QObject::tr("refused");
    case STATUS_INTERRUPTED:
        return QObject::tr("interrupted");
    default:
        return QObject::tr("failed");
    }
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

QString padded(const QString &text, int width)
{
    return text.leftJustified(width, QLatin1Char(' '));
}

} // namespace

QString duration_text(qint64 ms)
{
    if (ms < 60000)
        return QObject::tr("%1 s").arg(double(ms) / 1000.0, 0, 'f', 1);
    const qint64 s = ms / 1000;
    if (s < 3600)
        return QObject::tr("%1 min %2 s").arg(s / 60).arg(s % 60);
    return QObject::tr("%1 h %2 min").arg(s / 3600).arg((s % 3600) / 60);
}

QString live_line(const DeviceRecord &d, int port_width, int width)
{
    QString line = padded(d.port, port_width) + QStringLiteral("  ")
                   + padded(d.type.isEmpty() ? QStringLiteral("-") : d.type, 3) + QStringLiteral("  ");
    if (d.status != -1) {
        line += result_word(d, false);
        if (d.status == STATUS_UPDATED || d.status == STATUS_INTERRUPTED || !d.reason.isEmpty())
            line += QStringLiteral(" (") + duration_text(d.elapsed_ms) + QLatin1Char(')');
        if (!d.reason.isEmpty())
            line += QStringLiteral(": ") + d.reason;
    } else {
        line += d.stage;
        if (d.total > 0) {
            line += QStringLiteral(" %1%").arg(d.done * 100 / d.total, 3);
            if (d.seconds_left >= 0)
                line += QStringLiteral(", ") + time_left_text(d.seconds_left);
        }
        if (!d.note.isEmpty())
            line += QStringLiteral("  ") + d.note;
    }
    if (width > 0 && line.size() > width)
        line.truncate(width);
    return line;
}

QStringList summary_lines(const QList<DeviceRecord> &devices, bool check)
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
            widths[i] = qMax(widths[i], int(row.at(i).size()));
        }
    }
    QStringList lines;
    for (const QStringList &row : rows) {
        QString line;
        for (int i = 0; i < row.size() - 1; ++i) {
            // The time is right-aligned; the reason, last, is not padded.
            line += i == row.size() - 2 ? row.at(i).rightJustified(widths[i], QLatin1Char(' '))
                                        : padded(row.at(i), widths[i]);
            if (i < row.size() - 2 || !row.last().isEmpty())
                line += QStringLiteral("  ");
        }
        lines.append((line + row.last()).trimmed());
    }
    return lines;
}

QString count_line(const QList<DeviceRecord> &devices, bool check)
{
    int updated = 0, refused = 0, failed = 0, interrupted = 0;
    for (const DeviceRecord &d : devices) {
        if (d.status == STATUS_UPDATED)
            ++updated;
        else if (d.status == STATUS_REFUSED)
            ++refused;
        else if (d.status == STATUS_INTERRUPTED || d.status == -1)
            ++interrupted;
        else
            ++failed;
    }
    QString text = (check ? QObject::tr("%1 fit") : QObject::tr("%1 updated")).arg(updated)
                   + QObject::tr(", %1 refused, %2 failed").arg(refused).arg(failed);
    if (interrupted > 0)
        text += QObject::tr(", %1 interrupted").arg(interrupted);
    return text;
}

int overall_status(const QList<DeviceRecord> &devices)
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

LiveBlock::LiveBlock(std::FILE *out, int width)
    : m_out(out)
    , m_width(width)
{
}

void LiveBlock::draw(const QList<DeviceRecord> &devices, bool force)
{
    if (!force && m_since.isValid() && m_since.elapsed() < REDRAW_MS)
        return;
    m_since.start();
    int port_width = 0;
    for (const DeviceRecord &d : devices)
        port_width = qMax(port_width, int(d.port.size()));
    QString text;
    if (m_drawn_lines > 0)
        text += QStringLiteral("\033[%1A").arg(m_drawn_lines);
    // One column short of the width: a line that fills it would wrap on some terminals.
    for (const DeviceRecord &d : devices)
        text += QLatin1Char('\r') + live_line(d, port_width, m_width > 1 ? m_width - 1 : 0) + QStringLiteral("\033[K\n");
    m_drawn_lines = devices.size();
    std::fputs(text.toLocal8Bit().constData(), m_out);
    std::fflush(m_out);
}

#include "transfer_progress.h"

#include "number_text.h"

#include <QCoreApplication>

namespace {

// The words of the progress of a transfer.
class TransferProgress
{
    Q_DECLARE_TR_FUNCTIONS(TransferProgress)
};

// An estimate needs this much history to mean anything.
constexpr qint64 MIN_HISTORY_MS = 1000;
} // namespace

void TimeLeft::start(qint64 total_bytes, qint64 now_ms)
{
    m_total = total_bytes;
    m_start_ms = now_ms;
    m_now_ms = now_ms;
    m_done = 0;
}

void TimeLeft::update(qint64 done_bytes, qint64 now_ms)
{
    m_done = done_bytes;
    m_now_ms = now_ms;
}

qint64 TimeLeft::seconds_left() const
{
    const qint64 elapsed = m_now_ms - m_start_ms;
    if (elapsed < MIN_HISTORY_MS || m_done <= 0)
        return -1;
    const qint64 left = qMax<qint64>(0, m_total - m_done);
    // Round up, so that the last seconds do not read "0 s".
    return (left * elapsed + m_done * 1000 - 1) / (m_done * 1000);
}

int percent_done(qint64 done, qint64 total)
{
    if (total <= 0)
        return 100;
    return int(qBound<qint64>(0, done, total) * 100 / total);
}

QString rate_text(qint64 bytes, qint64 ms)
{
    if (bytes <= 0 || ms <= 0)
        return QString();
    return TransferProgress::tr("%1 kB/s").arg(decimal_text(double(bytes) / double(ms), 1));
}

QString time_left_text(qint64 seconds)
{
    if (seconds < 60)
        return TransferProgress::tr("about %1 s left").arg(seconds);
    if (seconds < 3600)
        return TransferProgress::tr("about %1 min %2 s left").arg(seconds / 60).arg(seconds % 60);
    return TransferProgress::tr("about %1 h %2 min left").arg(seconds / 3600).arg((seconds % 3600) / 60);
}

QString duration_text(qint64 ms)
{
    if (ms < 60000)
        return TransferProgress::tr("%1 s").arg(decimal_text(double(ms) / 1000.0, 1));
    const qint64 s = ms / 1000;
    if (s < 3600)
        return TransferProgress::tr("%1 min %2 s").arg(s / 60).arg(s % 60);
    return TransferProgress::tr("%1 h %2 min").arg(s / 3600).arg((s % 3600) / 60);
}

QString progress_format(qint64 seconds_left)
{
    const QString percent = percent_pattern(QStringLiteral("%p"));
    if (seconds_left < 0)
        return percent;
    return percent + QStringLiteral(" \u2013 ") + time_left_text(seconds_left);
}

#include "history_clock.h"

#include <QDateTime>
#include <QElapsedTimer>

#include <ctime>

HistoryClock::HistoryClock(Source wall, Source steady)
    : m_wall(std::move(wall))
    , m_steady(std::move(steady))
    , m_start_ms(m_wall())
    , m_steady_start(m_steady())
{
}

HistoryTime HistoryClock::now()
{
    const qint64 steady = m_steady();
    const qint64 wall = m_wall();
    HistoryTime time;
    time.ms = m_start_ms + (steady - m_steady_start);
    if (qAbs(wall - (time.ms + m_wall_offset_ms)) > MAX_DRIFT_MS)
        m_wall_offset_ms = wall - time.ms;
    time.wall_offset_ms = m_wall_offset_ms;
    return time;
}

namespace {

// Milliseconds of a clock that never goes back nor jumps.
qint64 steady_ms()
{
#ifdef CLOCK_BOOTTIME
    // Linux's monotonic clock that counts the time suspended too: a suspend
    // is time that passed, not the wall clock set.
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    return qint64(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
#else
    static QElapsedTimer elapsed;
    if (!elapsed.isValid())
        elapsed.start();
    return elapsed.elapsed();
#endif
}

} // namespace

HistoryTime history_now()
{
    static HistoryClock clock([] { return QDateTime::currentMSecsSinceEpoch(); }, steady_ms);
    return clock.now();
}

qint64 history_now_ms()
{
    return history_now().ms;
}

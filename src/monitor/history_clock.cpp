#include "history_clock.h"

#include <QDateTime>
#include <QElapsedTimer>

HistoryClock::HistoryClock(Source wall, Source steady)
    : m_wall(std::move(wall))
    , m_steady(std::move(steady))
    , m_wall_start(m_wall())
    , m_steady_start(m_steady())
{
}

qint64 HistoryClock::now()
{
    const qint64 steady = m_steady();
    const qint64 wall = m_wall();
    const qint64 estimate = m_wall_start + (steady - m_steady_start);
    if (qAbs(wall - estimate) <= MAX_DRIFT_MS)
        return estimate;
    m_wall_start = wall;
    m_steady_start = steady;
    return wall;
}

qint64 history_now_ms()
{
    static QElapsedTimer elapsed;
    if (!elapsed.isValid())
        elapsed.start();
    static HistoryClock clock([] { return QDateTime::currentMSecsSinceEpoch(); }, [] { return elapsed.elapsed(); });
    return clock.now();
}

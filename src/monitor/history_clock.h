#pragma once

#include <QtGlobal>

#include <functional>

// Time stamps of the link history: milliseconds since the epoch. They follow a
// monotonic clock from the wall clock, so that distances between records are
// true to the millisecond whatever small steps the wall clock makes; when the
// two part by more than a second (the computer was suspended, which stops the
// monotonic clock, or the wall clock was set), they take the wall clock
// again. A log keeps its records in order even when that goes back.
class HistoryClock
{
public:
    using Source = std::function<qint64()>;
    // How far the wall clock may be from the estimate before it is taken.
    static constexpr qint64 MAX_DRIFT_MS = 1000;

    // `wall`: milliseconds since the epoch; `steady`: milliseconds of a clock
    // that never goes back (and may stand still while the computer sleeps).
    HistoryClock(Source wall, Source steady);
    qint64 now();

private:
    Source m_wall;
    Source m_steady;
    qint64 m_wall_start;
    qint64 m_steady_start;
};

// The program's history clock, on the system's wall and monotonic clocks.
qint64 history_now_ms();

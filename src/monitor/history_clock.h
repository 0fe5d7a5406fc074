#pragma once

#include <QtGlobal>

#include <functional>

// A moment of the link history: its place on the history's time line, and
// how far the wall clock then stood from that line.
struct HistoryTime
{
    qint64 ms = 0;              // milliseconds since the epoch on the history's time line
    qint64 wall_offset_ms = 0;  // the wall clock minus that

    qint64 wall_ms() const { return ms + wall_offset_ms; }
};

// The time line of the link history: milliseconds since the epoch as the wall
// clock read them at the start, moved on by a steady clock, so that records
// keep their order and true distances whatever the wall clock does. The wall
// clock is followed beside it: its small steps (up to a second from where the
// steady clock would have it) are let be; a larger one, the clock set back or
// forward, moves the wall offset by the jump, while the time line goes on.
class HistoryClock
{
public:
    using Source = std::function<qint64()>;
    // How far the wall clock may be from where the steady clock would have it
    // before it counts as set.
    static constexpr qint64 MAX_DRIFT_MS = 1000;

    // `wall`: milliseconds since the epoch; `steady`: milliseconds of a clock
    // that never goes back nor jumps.
    HistoryClock(Source wall, Source steady);
    HistoryTime now();

private:
    Source m_wall;
    Source m_steady;
    qint64 m_start_ms;      // the time line at m_steady_start: the wall clock then
    qint64 m_steady_start;
    qint64 m_wall_offset_ms = 0;
};

// The program's history clock, on the system's wall clock and a steady clock
// that goes on while the computer is suspended (where the system has one; if
// not, a suspend shows as the wall clock set forward).
HistoryTime history_now();
// Its time line alone.
qint64 history_now_ms();

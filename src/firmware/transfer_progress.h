#pragma once

#include <QString>

// Estimates the time an update still needs from the rate at which the device
// has acknowledged its bytes so far. The total is that of the whole update
// (every image it sends), so that the estimate does not start again with
// each image.
class TimeLeft
{
public:
    void start(qint64 total_bytes, qint64 now_ms);
    void update(qint64 done_bytes, qint64 now_ms);

    // Seconds left, or -1 while too little is known.
    qint64 seconds_left() const;

private:
    qint64 m_total = 0;
    qint64 m_start_ms = 0;
    qint64 m_done = 0;
    qint64 m_now_ms = 0;
};

// How the faces of an update word its progress; every figure is written here
// and nowhere else, its numbers as the language writes them (number_text.h).

// Whole percent of `total` that `done` is: 0 to 100, rounded down, so that
// 100 % means all of it; an empty total is complete.
int percent_done(qint64 done, qint64 total);

// "41.8 kB/s" ("41,8 kB/s" in German): `bytes` in `ms`; empty while nothing
// can be said.
QString rate_text(qint64 bytes, qint64 ms);

// "about 45 s left", "about 3 min 20 s left", "about 1 h 5 min left".
QString time_left_text(qint64 seconds);

// "0.4 s", "12.3 s", "3 min 21 s", "1 h 5 min".
QString duration_text(qint64 ms);

// The progress bar's format: the percentage ("%p%", "%p %"), and the time
// left once known.
QString progress_format(qint64 seconds_left);

#pragma once

#include <QString>

// Estimates the time an image still needs from the rate at which the device
// has acknowledged it so far.
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

// "about 45 s left", "about 3 min 20 s left", "about 1 h 5 min left".
QString time_left_text(qint64 seconds);

// The progress bar's format: the percentage, and the time left once known.
QString progress_format(qint64 seconds_left);

#include "history_navigator.h"

#include <algorithm>

void HistoryNavigator::pause(qint64 now_ms)
{
    if (m_end < 0)
        m_end = now_ms;
    m_paused = true;
}

void HistoryNavigator::resume()
{
    m_paused = false;
    m_end = -1;
}

void HistoryNavigator::scroll_to(qint64 end_ms, qint64 now_ms, qint64 slack_ms)
{
    if (end_ms >= now_ms - slack_ms)
        m_end = m_paused ? now_ms : -1;
    else
        m_end = end_ms;
}

HistoryNavigator::Stretch HistoryNavigator::stretch(qint64 first_ms, qint64 now_ms) const
{
    const qint64 to = m_end < 0 ? now_ms : std::min(m_end, now_ms);
    if (m_span > 0)
        return {to - m_span, to};
    const qint64 from = first_ms < 0 ? to : std::min(first_ms, to);
    return {from, to};
}

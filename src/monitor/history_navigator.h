#pragma once

#include <QtGlobal>

// Which stretch of time the history window shows. It follows the newest data
// (its end is the present) until the user scrolls back or pauses; it follows
// again when the user scrolls to the end or resumes.
class HistoryNavigator
{
public:
    struct Stretch
    {
        qint64 from_ms;
        qint64 to_ms;
    };

    // 0: everything recorded.
    void set_span(qint64 span_ms) { m_span = span_ms; }
    qint64 span() const { return m_span; }

    bool following() const { return !m_paused && m_end < 0; }
    bool paused() const { return m_paused; }
    // Holds the view where it is; data keeps being recorded.
    void pause(qint64 now_ms);
    // Follows the newest data again.
    void resume();
    // The user moved the view so that it ends at `end_ms`. An end within
    // `slack_ms` of the present follows the newest data again (unless paused).
    void scroll_to(qint64 end_ms, qint64 now_ms, qint64 slack_ms);

    // The stretch to show, given the first record's time (-1: none) and the present.
    Stretch stretch(qint64 first_ms, qint64 now_ms) const;

private:
    qint64 m_span = 60 * 1000;
    bool m_paused = false;
    qint64 m_end = -1;  // -1: the present
};

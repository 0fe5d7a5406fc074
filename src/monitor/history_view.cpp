#include "history_view.h"

#include <algorithm>

void SeriesStats::add(int value)
{
    if (count == 0) {
        min = value;
        max = value;
    } else {
        min = std::min(min, value);
        max = std::max(max, value);
    }
    ++count;
    sum += value;
}

bool signal_reports_expected(const LinkSnapshot &state)
{
    const int connection = state.value(LinkEvent::Connection);
    return state.value(LinkEvent::ReportMode) == 1 && connection != CONNECTION_CLOSED
        && connection != CONNECTION_PORT_LOST;
}

namespace {

bool repeater_mode(const LinkSnapshot &state)
{
    return state.value(LinkEvent::RepeaterMode) == 1;
}

// A report shows no reading when level A has none, or level B has none in
// repeater mode.
bool without_reading(int level_a, int level_b, bool repeater)
{
    return level_a == NO_READING || (repeater && level_b == NO_READING);
}

// Since when signal reports have been missing: the last one, or the moment
// they were asked for when none came since.
qint64 silent_since(const LinkSnapshot &state)
{
    return std::max(state.last_signal_ms, state.since(LinkEvent::ReportMode));
}

// A line of values, cut into columns, that breaks where values are missing.
class SeriesBuilder
{
public:
    SeriesBuilder(QVector<PlotColumn> *columns, SeriesStats *stats)
        : m_columns(columns)
        , m_stats(stats)
    {
    }

    void add(int column, qint64 time_ms, int value)
    {
        m_stats->add(value);
        const bool joined = !m_broken && m_last_ms >= 0 && time_ms - m_last_ms <= SILENCE_MS;
        m_last_ms = time_ms;
        m_broken = false;
        if (column < 0)
            return;
        PlotColumn &c = (*m_columns)[column];
        const float v = float(value);
        if (!c.valid) {
            c = PlotColumn{v, v, v, v, true, joined};
        } else {
            c.low = std::min(c.low, v);
            c.high = std::max(c.high, v);
            c.last = v;
        }
    }

    void brk() { m_broken = true; }

private:
    QVector<PlotColumn> *m_columns;
    SeriesStats *m_stats;
    qint64 m_last_ms = -1;
    bool m_broken = true;
};

class DropoutFinder
{
public:
    DropoutFinder(qint64 from_ms, qint64 to_ms)
        : m_from(from_ms)
        , m_to(to_ms)
    {
        m_open.fill(-1);
    }

    void open(DropoutKind kind, qint64 time_ms)
    {
        qint64 &since = m_open[size_t(kind)];
        if (since < 0)
            since = std::max(time_ms, m_from);
    }

    void close(DropoutKind kind, qint64 time_ms)
    {
        qint64 &since = m_open[size_t(kind)];
        if (since < 0)
            return;
        add(since, time_ms, kind);
        since = -1;
    }

    // A silence from `since` to `until` counts when it lasts long enough.
    void silence(qint64 since, qint64 until)
    {
        if (until - since > SILENCE_MS)
            add(since, until, DropoutKind::LinkLost);
    }

    // Ends every open dropout at `end_ms`; returns them all, merged, in order.
    QVector<Dropout> finish(qint64 end_ms)
    {
        for (int k = 0; k < DROPOUT_KINDS; ++k)
            close(DropoutKind(k), end_ms);
        std::sort(m_found.begin(), m_found.end(), [](const Dropout &a, const Dropout &b) {
            return a.kind != b.kind ? a.kind < b.kind : a.from_ms < b.from_ms;
        });
        QVector<Dropout> merged;
        for (const Dropout &d : m_found) {
            if (!merged.isEmpty() && merged.last().kind == d.kind && d.from_ms <= merged.last().to_ms)
                merged.last().to_ms = std::max(merged.last().to_ms, d.to_ms);
            else
                merged.append(d);
        }
        std::stable_sort(merged.begin(), merged.end(),
                         [](const Dropout &a, const Dropout &b) { return a.from_ms < b.from_ms; });
        return merged;
    }

private:
    void add(qint64 from_ms, qint64 to_ms, DropoutKind kind)
    {
        from_ms = std::max(from_ms, m_from);
        to_ms = std::min(to_ms, m_to);
        if (to_ms >= from_ms)
            m_found.append({from_ms, to_ms, kind});
    }

    qint64 m_from;
    qint64 m_to;
    std::array<qint64, DROPOUT_KINDS> m_open;
    QVector<Dropout> m_found;
};

} // namespace

HistoryView history_view(const ReportLog &log, qint64 from_ms, qint64 to_ms, int columns, qint64 now_ms)
{
    HistoryView view;
    view.from_ms = from_ms;
    view.to_ms = to_ms;
    if (to_ms < from_ms)
        return view;
    columns = std::max(columns, 0);
    for (auto &series : view.signal)
        series.resize(columns);
    for (auto &series : view.sniff)
        series.resize(columns);
    const qint64 width_ms = std::max<qint64>(to_ms - from_ms, 1);
    auto column_of = [&](qint64 t) {
        if (columns == 0)
            return -1;
        return int(std::min<qint64>((t - from_ms) * columns / width_ms, columns - 1));
    };

    std::array<SeriesBuilder, SIGNAL_SERIES> signal{{{&view.signal[0], &view.signal_stats[0]},
                                                      {&view.signal[1], &view.signal_stats[1]}}};
    std::array<SeriesBuilder, SNIFF_SERIES> sniff{{{&view.sniff[0], &view.sniff_stats[0]},
                                                    {&view.sniff[1], &view.sniff_stats[1]},
                                                    {&view.sniff[2], &view.sniff_stats[2]},
                                                    {&view.sniff[3], &view.sniff_stats[3]},
                                                    {&view.sniff[4], &view.sniff_stats[4]},
                                                    {&view.sniff[5], &view.sniff_stats[5]}}};
    auto break_all = [&] {
        for (auto &s : signal)
            s.brk();
        for (auto &s : sniff)
            s.brk();
    };

    ReportLog::Cursor cursor = log.seek(from_ms);
    LinkSnapshot state = cursor.snapshot();
    DropoutFinder dropouts(from_ms, to_ms);

    // What was going on when the stretch begins.
    if (state.value(LinkEvent::Connection) == CONNECTION_PORT_LOST)
        dropouts.open(DropoutKind::PortLost, from_ms);
    if (state.value(LinkEvent::LinkState) == 1)
        dropouts.open(DropoutKind::NoLink, from_ms);
    if (signal_reports_expected(state) && state.last_signal_ms >= state.since(LinkEvent::ReportMode)
        && without_reading(state.last_level_a, state.last_level_b, repeater_mode(state)))
        dropouts.open(DropoutKind::NoReading, from_ms);

    Record record;
    while (cursor.next(&record) && record.time_ms <= to_ms) {
        const LinkSnapshot &after = cursor.snapshot();
        const qint64 t = record.time_ms;
        const int column = column_of(t);
        const bool was_expected = signal_reports_expected(state);

        switch (record.kind) {
        case RecordKind::Signal: {
            ++view.signal_reports;
            if (was_expected)
                dropouts.silence(silent_since(state), t);
            const int a = record.fields[0];
            const int b = record.fields[1];
            const bool repeater = repeater_mode(after);
            if (a != NO_READING)
                signal[0].add(column, t, a);
            else
                signal[0].brk();
            if (repeater && b != NO_READING)
                signal[1].add(column, t, b);
            else
                signal[1].brk();
            if (without_reading(a, b, repeater))
                dropouts.open(DropoutKind::NoReading, t);
            else
                dropouts.close(DropoutKind::NoReading, t);
            break;
        }
        case RecordKind::Sniff:
            ++view.sniff_reports;
            for (int i = 0; i < SNIFF_SERIES; ++i)
                sniff[size_t(i)].add(column, t, record.fields[size_t(i)]);
            break;
        case RecordKind::Event:
            switch (record.event) {
            case LinkEvent::LinkState:
                if (record.fields[0] == 1) {
                    dropouts.open(DropoutKind::NoLink, t);
                    for (auto &s : signal)
                        s.brk();
                } else {
                    dropouts.close(DropoutKind::NoLink, t);
                }
                break;
            case LinkEvent::Connection:
                if (record.fields[0] == CONNECTION_PORT_LOST)
                    dropouts.open(DropoutKind::PortLost, t);
                else if (record.fields[0] == CONNECTION_OPEN)
                    dropouts.close(DropoutKind::PortLost, t);
                dropouts.close(DropoutKind::NoLink, t);
                break_all();
                break;
            case LinkEvent::ReportMode:
                break_all();
                break;
            case LinkEvent::RepeaterMode:
                break;
            }
            if (was_expected && !signal_reports_expected(after)) {
                dropouts.silence(silent_since(state), t);
                dropouts.close(DropoutKind::NoReading, t);
            }
            break;
        }
        state = after;
    }

    const qint64 end_ms = std::min(to_ms, std::max(now_ms, from_ms));
    if (signal_reports_expected(state))
        dropouts.silence(silent_since(state), end_ms);
    view.dropouts = dropouts.finish(end_ms);
    return view;
}

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

constexpr int SERIES = SIGNAL_SERIES + SNIFF_SERIES;  // the signal series first
constexpr int SNIFF_FIRST = SIGNAL_SERIES;
constexpr int SNIFF_RSSI = 4;  // the first RSSI among the sniffer's series

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

// What a record's meaning depends on of the state before it.
struct Before
{
    bool expected;        // signal reports were expected
    qint64 silent_since;  // since when none came
};

Before before_next(const LinkSnapshot &state)
{
    return {signal_reports_expected(state), silent_since(state)};
}

// What one record means for the series and the dropouts, told to a sink:
// value(series, t, v) and brk(series) for the lines, open(kind, t),
// close(kind, t) and silence(since, until) for the dropouts, and
// signal_report() and sniff_report() to count.
template <class Sink>
void take(const Before &before, const Record &record, const LinkSnapshot &after, Sink &sink)
{
    const qint64 t = record.time_ms;
    switch (record.kind) {
    case RecordKind::Signal: {
        sink.signal_report();
        if (before.expected)
            sink.silence(before.silent_since, t);
        const int a = record.fields[0];
        const int b = record.fields[1];
        const bool repeater = repeater_mode(after);
        if (a != NO_READING)
            sink.value(0, t, a);
        else
            sink.brk(0);
        if (repeater && b != NO_READING)
            sink.value(1, t, b);
        else
            sink.brk(1);
        // A report still on its way when reports were ended is no dropout.
        if (!without_reading(a, b, repeater))
            sink.close(DropoutKind::NoReading, t);
        else if (before.expected)
            sink.open(DropoutKind::NoReading, t);
        break;
    }
    case RecordKind::Sniff:
        sink.sniff_report();
        for (int i = 0; i < SNIFF_SERIES; ++i) {
            const int v = record.fields[size_t(i)];
            // An RSSI of 0 is no reading: a gap in its line, no figure.
            if (i >= SNIFF_RSSI && v == NO_READING)
                sink.brk(SNIFF_FIRST + i);
            else
                sink.value(SNIFF_FIRST + i, t, v);
        }
        break;
    case RecordKind::Event:
        switch (record.event) {
        case LinkEvent::LinkState:
            if (record.fields[0] == 1) {
                sink.open(DropoutKind::NoLink, t);
                for (int i = 0; i < SIGNAL_SERIES; ++i)
                    sink.brk(i);
            } else {
                sink.close(DropoutKind::NoLink, t);
            }
            break;
        case LinkEvent::Connection:
            if (record.fields[0] == CONNECTION_PORT_LOST)
                sink.open(DropoutKind::PortLost, t);
            else if (record.fields[0] == CONNECTION_OPEN)
                sink.close(DropoutKind::PortLost, t);
            sink.close(DropoutKind::NoLink, t);
            for (int i = 0; i < SERIES; ++i)
                sink.brk(i);
            break;
        case LinkEvent::ReportMode:
            for (int i = 0; i < SERIES; ++i)
                sink.brk(i);
            break;
        case LinkEvent::RepeaterMode:
        case LinkEvent::ClockChange:  // the time line goes on
            break;
        }
        if (before.expected && !signal_reports_expected(after)) {
            sink.silence(before.silent_since, t);
            sink.close(DropoutKind::NoReading, t);
        }
        break;
    }
}

// What a run of records comes to for one series.
struct SeriesSummary
{
    quint32 count = 0;
    qint32 min = 0;
    qint32 max = 0;
    qint32 first = 0;
    qint32 last = 0;
    bool break_before_first = false;  // the line broke before the first value
    bool break_after_last = false;    // ... after the last
    bool any_break = false;
    qint64 sum = 0;
    qint64 first_ms = 0;
    qint64 last_ms = 0;
};

// A dropout step, as the finder takes it.
struct DropoutStep
{
    enum Kind : quint8 { Open, Close, Silence } step;
    DropoutKind kind;
    qint64 from_ms;  // Open, Close: the time; Silence: since
    qint64 to_ms;    // Silence: until
};

} // namespace

struct HistorySummaries::Block
{
    std::array<SeriesSummary, SERIES> series;
    std::vector<DropoutStep> dropouts;
    qint64 signal_reports = 0;
    qint64 sniff_reports = 0;
};

namespace {

// Sums up a run of records. A dropout step that changes nothing whatever
// came before is left out: a second open or close of a kind, a silence too
// short to count.
class SummarySink
{
public:
    explicit SummarySink(HistorySummaries::Block *block)
        : m_block(block)
    {
        m_open.fill(-1);
    }

    void value(int series, qint64 t, int v)
    {
        SeriesSummary &s = m_block->series[size_t(series)];
        if (s.count == 0) {
            s.first = s.min = s.max = v;
            s.first_ms = t;
            s.break_before_first = m_broken[size_t(series)];
        } else {
            s.min = std::min(s.min, v);
            s.max = std::max(s.max, v);
        }
        ++s.count;
        s.sum += v;
        s.last = v;
        s.last_ms = t;
        m_broken[size_t(series)] = false;
    }
    void brk(int series)
    {
        m_broken[size_t(series)] = true;
        m_block->series[size_t(series)].any_break = true;
    }
    void open(DropoutKind kind, qint64 t)
    {
        if (m_open[size_t(kind)] != 1)
            m_block->dropouts.push_back({DropoutStep::Open, kind, t, 0});
        m_open[size_t(kind)] = 1;
    }
    void close(DropoutKind kind, qint64 t)
    {
        if (m_open[size_t(kind)] != 0)
            m_block->dropouts.push_back({DropoutStep::Close, kind, t, 0});
        m_open[size_t(kind)] = 0;
    }
    void silence(qint64 since, qint64 until)
    {
        if (until - since > SILENCE_MS)
            m_block->dropouts.push_back({DropoutStep::Silence, DropoutKind::LinkLost, since, until});
    }
    void signal_report() { ++m_block->signal_reports; }
    void sniff_report() { ++m_block->sniff_reports; }

    void finish()
    {
        for (int i = 0; i < SERIES; ++i)
            m_block->series[size_t(i)].break_after_last = m_broken[size_t(i)];
        m_block->dropouts.shrink_to_fit();
    }

private:
    HistorySummaries::Block *m_block;
    std::array<bool, SERIES> m_broken{};
    std::array<int, DROPOUT_KINDS> m_open;  // -1: not known within the run
};

// A line of values, cut into columns, that breaks where values are missing.
class SeriesBuilder
{
public:
    SeriesBuilder() = default;
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

    // The values of a summary, all in one column, as if added one by one.
    void add(int column, const SeriesSummary &s)
    {
        if (s.count == 0) {
            if (s.any_break)
                m_broken = true;
            return;
        }
        SeriesStats &stats = *m_stats;
        stats.min = stats.count == 0 ? s.min : std::min(stats.min, int(s.min));
        stats.max = stats.count == 0 ? s.max : std::max(stats.max, int(s.max));
        stats.count += s.count;
        stats.sum += double(s.sum);
        const bool joined =
            !m_broken && !s.break_before_first && m_last_ms >= 0 && s.first_ms - m_last_ms <= SILENCE_MS;
        m_last_ms = s.last_ms;
        m_broken = s.break_after_last;
        if (column < 0)
            return;
        PlotColumn &c = (*m_columns)[column];
        if (!c.valid) {
            c = PlotColumn{float(s.first), float(s.last), float(s.min), float(s.max), true, joined};
        } else {
            c.low = std::min(c.low, float(s.min));
            c.high = std::max(c.high, float(s.max));
            c.last = float(s.last);
        }
    }

    void brk() { m_broken = true; }

private:
    QVector<PlotColumn> *m_columns = nullptr;
    SeriesStats *m_stats = nullptr;
    qint64 m_last_ms = -1;
    bool m_broken = true;
};

// Which column a time falls in: `columns` columns from `from_ms` to `to_ms`.
class Columns
{
public:
    Columns(qint64 from_ms, qint64 to_ms, int columns)
        : m_from(from_ms)
        , m_width(std::max<qint64>(to_ms - from_ms, 1))
        , m_columns(columns)
        , m_next(boundary(0))
    {
    }

    int of(qint64 t) const
    {
        if (m_columns == 0)
            return -1;
        return int(std::min<qint64>((t - m_from) * m_columns / m_width, m_columns - 1));
    }

    // The same, for times that never go back, without a division each.
    int at(qint64 t)
    {
        if (m_columns == 0)
            return -1;
        while (t >= m_next && m_column < m_columns - 1)
            m_next = boundary(++m_column);
        return m_column;
    }

private:
    // The first time of the column after `column`.
    qint64 boundary(int column) const { return m_from + ((column + 1) * m_width + m_columns - 1) / m_columns; }

    qint64 m_from;
    qint64 m_width;
    qint64 m_columns;
    int m_column = 0;
    qint64 m_next;
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

// Cuts records into the columns of a view and finds its dropouts.
class ViewSink
{
public:
    ViewSink(HistoryView *view, int columns)
        : m_view(view)
        , m_columns(view->from_ms, view->to_ms, columns)
        , m_dropouts(view->from_ms, view->to_ms)
    {
        for (int i = 0; i < SIGNAL_SERIES; ++i)
            m_series[size_t(i)] = SeriesBuilder(&view->signal[size_t(i)], &view->signal_stats[size_t(i)]);
        for (int i = 0; i < SNIFF_SERIES; ++i)
            m_series[size_t(SNIFF_FIRST + i)] = SeriesBuilder(&view->sniff[size_t(i)], &view->sniff_stats[size_t(i)]);
    }

    // The records that follow are at `t` and later.
    void at(qint64 t) { m_column = m_columns.at(t); }
    // Whether the records from `first_ms` to `last_ms` fall in one column.
    bool one_column(qint64 first_ms, qint64 last_ms) const
    {
        return m_columns.of(first_ms) == m_columns.of(last_ms);
    }
    // The records of a summary, all in the column of `at`.
    void add(const HistorySummaries::Block &block)
    {
        for (int i = 0; i < SERIES; ++i)
            m_series[size_t(i)].add(m_column, block.series[size_t(i)]);
        for (const DropoutStep &d : block.dropouts) {
            switch (d.step) {
            case DropoutStep::Open:
                m_dropouts.open(d.kind, d.from_ms);
                break;
            case DropoutStep::Close:
                m_dropouts.close(d.kind, d.from_ms);
                break;
            case DropoutStep::Silence:
                m_dropouts.silence(d.from_ms, d.to_ms);
                break;
            }
        }
        m_view->signal_reports += block.signal_reports;
        m_view->sniff_reports += block.sniff_reports;
    }

    void value(int series, qint64 t, int v) { m_series[size_t(series)].add(m_column, t, v); }
    void brk(int series) { m_series[size_t(series)].brk(); }
    void open(DropoutKind kind, qint64 t) { m_dropouts.open(kind, t); }
    void close(DropoutKind kind, qint64 t) { m_dropouts.close(kind, t); }
    void silence(qint64 since, qint64 until) { m_dropouts.silence(since, until); }
    void signal_report() { ++m_view->signal_reports; }
    void sniff_report() { ++m_view->sniff_reports; }

    DropoutFinder &dropouts() { return m_dropouts; }

private:
    HistoryView *m_view;
    Columns m_columns;
    int m_column = -1;
    std::array<SeriesBuilder, SERIES> m_series;
    DropoutFinder m_dropouts;
};

} // namespace

HistorySummaries::HistorySummaries() = default;
HistorySummaries::~HistorySummaries() = default;

size_t HistorySummaries::size() const
{
    return m_ready;
}

qint64 HistorySummaries::memory_bytes() const
{
    qint64 bytes = qint64(m_blocks.size()) * qint64(sizeof(std::unique_ptr<Block>));
    for (const auto &block : m_blocks) {
        if (block)
            bytes += qint64(sizeof(Block) + block->dropouts.capacity() * sizeof(DropoutStep));
    }
    return bytes;
}

// Forgets the summaries of blocks the log no longer has.
void HistorySummaries::follow(const ReportLog &log)
{
    const quint64 first = log.block_serial(0);
    if (m_log != &log || m_first_serial > first) {
        m_blocks.clear();
        m_ready = 0;
        m_log = &log;
        m_first_serial = first;
    }
    while (m_first_serial < first && !m_blocks.empty()) {
        if (m_blocks.front())
            --m_ready;
        m_blocks.pop_front();
        ++m_first_serial;
    }
    m_first_serial = std::max(m_first_serial, first);
}

const HistorySummaries::Block &HistorySummaries::get(const ReportLog &log, size_t block)
{
    const size_t index = size_t(log.block_serial(block) - m_first_serial);
    if (index >= m_blocks.size())
        m_blocks.resize(index + 1);
    std::unique_ptr<Block> &summary = m_blocks[index];
    if (!summary) {
        summary.reset(new Block);
        SummarySink sink(summary.get());
        ReportLog::Cursor cursor = log.at_block(block);
        Before before = before_next(cursor.snapshot());
        Record record;
        for (quint32 i = 0; i < log.block_records(block) && cursor.next(&record); ++i) {
            take(before, record, cursor.snapshot(), sink);
            before = before_next(cursor.snapshot());
        }
        sink.finish();
        ++m_ready;
    }
    return *summary;
}

HistoryView history_view(const ReportLog &log, qint64 from_ms, qint64 to_ms, int columns, qint64 now_ms,
                         HistorySummaries *summaries)
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
    if (summaries)
        summaries->follow(log);

    ViewSink sink(&view, columns);
    ReportLog::Cursor cursor = log.seek(from_ms);
    const LinkSnapshot &state = cursor.snapshot();

    // What was going on when the stretch begins.
    if (state.value(LinkEvent::Connection) == CONNECTION_PORT_LOST)
        sink.open(DropoutKind::PortLost, from_ms);
    if (state.value(LinkEvent::LinkState) == 1)
        sink.open(DropoutKind::NoLink, from_ms);
    if (signal_reports_expected(state) && state.last_signal_ms >= state.since(LinkEvent::ReportMode)
        && without_reading(state.last_level_a, state.last_level_b, repeater_mode(state)))
        sink.open(DropoutKind::NoReading, from_ms);

    Before before = before_next(state);
    Record record;
    for (;;) {
        size_t block = 0;
        if (summaries && cursor.at_block_start(&block) && log.block_full(block)
            && log.block_last_ms(block) <= to_ms
            && sink.one_column(log.block_first_ms(block), log.block_last_ms(block))) {
            sink.at(log.block_first_ms(block));
            sink.add(summaries->get(log, block));
            cursor.skip_block();
        } else {
            if (!cursor.next(&record) || record.time_ms > to_ms)
                break;
            sink.at(record.time_ms);
            take(before, record, cursor.snapshot(), sink);
        }
        before = before_next(cursor.snapshot());
    }

    const qint64 end_ms = std::min(to_ms, std::max(now_ms, from_ms));
    if (before.expected)
        sink.silence(before.silent_since, end_ms);
    view.dropouts = sink.dropouts().finish(end_ms);
    return view;
}

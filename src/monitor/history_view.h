#pragma once

#include "report_log.h"

#include <QVector>

#include <array>
#include <deque>
#include <memory>

// What the link history shows over a stretch of time: each series cut into as
// many columns as the plot has pixels, its minimum, mean and maximum, and the
// dropouts. Pure functions of the log.

// Reports further apart than this (while signal reports are on) mean that the
// device fell silent: the line breaks there and the gap is a dropout.
constexpr qint64 SILENCE_MS = 2000;

// One column of a series: the values that fell into it.
struct PlotColumn
{
    float first = 0;
    float last = 0;
    float low = 0;
    float high = 0;
    bool valid = false;   // some value fell into the column
    bool joined = false;  // its first value continues the line of the value before it
};

struct SeriesStats
{
    qint64 count = 0;
    int min = 0;
    int max = 0;
    double sum = 0;

    double mean() const { return count > 0 ? sum / double(count) : 0.0; }
    void add(int value);
};

enum class DropoutKind : quint8 {
    NoReading = 0,  // a signal report without a reading (level 0)
    NoLink = 1,     // the device reported link state 1
    LinkLost = 2,   // signal reports were on, but none came for longer than SILENCE_MS
    PortLost = 3,   // the serial port failed, until the program opened it again
};
constexpr int DROPOUT_KINDS = 4;

struct Dropout
{
    qint64 from_ms = 0;
    qint64 to_ms = 0;
    DropoutKind kind = DropoutKind::NoReading;

    bool operator==(const Dropout &other) const
    {
        return from_ms == other.from_ms && to_ms == other.to_ms && kind == other.kind;
    }
};

// Series of signal reports: level A (from the TXU) and level B (from the
// repeater). A level of 0 is no reading; level B counts only in repeater mode,
// as on the main window's bars.
constexpr int SIGNAL_SERIES = 2;
// Series of sniffer reports, in frame order: beacons A, audio A, beacons B,
// audio B, RSSI A, RSSI B. An RSSI of 0 is no reading.
constexpr int SNIFF_SERIES = 6;

struct HistoryView
{
    qint64 from_ms = 0;
    qint64 to_ms = 0;
    std::array<QVector<PlotColumn>, SIGNAL_SERIES> signal;
    std::array<SeriesStats, SIGNAL_SERIES> signal_stats;
    std::array<QVector<PlotColumn>, SNIFF_SERIES> sniff;
    std::array<SeriesStats, SNIFF_SERIES> sniff_stats;
    // Dropouts that overlap the stretch, cut to it, in order of their start;
    // one kind's dropouts never overlap each other.
    QVector<Dropout> dropouts;
    qint64 signal_reports = 0;
    qint64 sniff_reports = 0;
};

// What each full block of a log comes to, worked out the first time a cut
// needs it and kept: a column that spans whole blocks (a long stretch on few
// pixels) takes their summaries instead of their records, with the same
// result. For one log; the summaries of blocks the log dropped go with them.
class HistorySummaries
{
public:
    HistorySummaries();
    ~HistorySummaries();
    HistorySummaries(const HistorySummaries &) = delete;
    HistorySummaries &operator=(const HistorySummaries &) = delete;

    // Blocks summarized, and the memory their summaries take.
    size_t size() const;
    qint64 memory_bytes() const;

    struct Block;

private:
    friend HistoryView history_view(const ReportLog &, qint64, qint64, int, qint64, HistorySummaries *);
    const Block &get(const ReportLog &log, size_t block);
    void follow(const ReportLog &log);

    const ReportLog *m_log = nullptr;
    quint64 m_first_serial = 0;
    std::deque<std::unique_ptr<Block>> m_blocks;
    size_t m_ready = 0;
};

// The records from `from_ms` to `to_ms` (both included) on `columns` columns.
// `now_ms` is the present: a silence that lasts until now is a dropout too.
// With `summaries`, whole blocks within a column are taken from them.
HistoryView history_view(const ReportLog &log, qint64 from_ms, qint64 to_ms, int columns, qint64 now_ms,
                         HistorySummaries *summaries = nullptr);

// Whether signal reports are on at this point of the log: the program asked
// for them after the port was last opened and the port has not failed since.
bool signal_reports_expected(const LinkSnapshot &state);

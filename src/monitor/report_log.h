#pragma once

#include "history_clock.h"

#include <QtGlobal>

#include <array>
#include <deque>
#include <memory>

// The device's reports over time, every field kept exactly, in a fixed amount
// of memory.
//
// Records are packed into blocks of 16 KiB: each record is a varint header
// (milliseconds since the record before, and its kind) followed by its fields,
// each coded as the zigzag varint of its difference from the same field of the
// record of the same kind before it. A signal report at 100 a second takes
// three bytes. Each block starts afresh (its first record's fields are coded
// against zero) and carries the state of the link before its first record, so
// it can be read, and dropped, on its own. When the memory budget is reached,
// the oldest block goes first. A full block never changes again, so copies of
// the log (freeze()) share the full blocks and can be read on another thread.
//
// Times are those of the history's time line (HistoryClock), which goes on
// steadily whatever the wall clock does. The wall clock's distance from it is
// part of the state of the log: it starts as it was at the first record, and
// each jump of the wall clock is a clock event, so that each record's wall
// time is known without being stored with it.

enum class RecordKind : quint8 {
    Signal = 0,  // a signal-strength report: level A (from the TXU), level B (from the repeater)
    Sniff = 1,   // a sniffer report: beacons A, audio A, beacons B, audio B, RSSI A, RSSI B
    Event = 2,   // a change of the link that explains the reports around it
};

// What an event says; its value is in Record::fields[0].
enum class LinkEvent : quint8 {
    LinkState = 0,     // the link state the device reported (1: no link)
    RepeaterMode = 1,  // 1 when the device reported repeater mode, 0 when not
    ReportMode = 2,    // the report mode the program asked for (0 off, 1 signal, 2 and 3 sniffer)
    Connection = 3,    // CONNECTION_OPEN, CONNECTION_CLOSED or CONNECTION_PORT_LOST
    ClockChange = 4,   // the wall clock jumped by the value, in milliseconds (back when negative)
};
// The events whose last value a LinkSnapshot keeps: all but ClockChange,
// which moves the snapshot's wall offset instead.
constexpr int LINK_EVENT_COUNT = 4;

constexpr int CONNECTION_CLOSED = 0;     // the program closed the port
constexpr int CONNECTION_OPEN = 1;       // the program opened the port
constexpr int CONNECTION_PORT_LOST = 2;  // the port failed (a pulled cable)

// Signal levels of 0 mean that the device had no reading.
constexpr int NO_READING = 0;

struct Record
{
    qint64 time_ms = 0;  // milliseconds since the epoch
    RecordKind kind = RecordKind::Signal;
    LinkEvent event = LinkEvent::LinkState;  // for RecordKind::Event
    // Signal: level A, level B (signed 16-bit). Sniff: the six fields in frame
    // order, unsigned 16-bit counts and signed 16-bit RSSI. Event: the value
    // (event_value()).
    std::array<int, 6> fields{};

    // An event's value: fields[0], or for a clock change, whose jump may not
    // fit, fields[0] and fields[1] (the low and the high 32 bits).
    qint64 event_value() const;
    void set_event_value(qint64 value);
};

// The state of the link at a point of the log: the last value of each event
// (-1 while none was recorded) and when it came, the last signal report, and
// where the wall clock stood.
// A connection event also sets the report mode to 0 (every connection starts
// with reports off) and the link state to -1 (not reported yet).
struct LinkSnapshot
{
    std::array<int, LINK_EVENT_COUNT> event_value{{-1, -1, -1, -1}};
    std::array<qint64, LINK_EVENT_COUNT> event_ms{};
    qint64 last_signal_ms = -1;  // -1: no signal report yet
    int last_level_a = NO_READING;
    int last_level_b = NO_READING;
    // The wall clock minus the history's time: a record's wall time is its
    // time plus this.
    qint64 wall_offset_ms = 0;

    int value(LinkEvent event) const { return event_value[size_t(event)]; }
    qint64 since(LinkEvent event) const { return event_ms[size_t(event)]; }
    // Takes in one record.
    void apply(const Record &record);
};

class ReportLog
{
public:
    static constexpr int BLOCK_BYTES = 16 * 1024;
    // Enough for a day of signal reports, or eight hours of sniffer reports,
    // at the most the link carries (about 100 frames a second).
    static constexpr qint64 DEFAULT_BUDGET = 32LL * 1024 * 1024;

    explicit ReportLog(qint64 budget_bytes = DEFAULT_BUDGET);
    ~ReportLog();
    ReportLog(const ReportLog &) = delete;
    ReportLog &operator=(const ReportLog &) = delete;

    // Times must not go back; a time before the last record's is taken as
    // the last record's.
    void add_signal(qint64 time_ms, qint16 level_a, qint16 level_b);
    void add_sniff(qint64 time_ms, const std::array<int, 6> &fields);
    void add_event(qint64 time_ms, LinkEvent event, qint64 value);
    void add(const Record &record);
    // Takes where the wall clock stands, before a record of that moment is
    // added: a log that holds records notes a jump as a clock event at
    // `now.ms`; an empty one starts from there.
    void follow_wall_clock(const HistoryTime &now);
    // Forgets everything, the dropped records too.
    void clear();

    bool empty() const { return m_records == 0; }
    // Records kept, and records dropped (the oldest) to stay in the budget.
    quint64 size() const { return m_records; }
    quint64 dropped() const { return m_dropped; }
    // The time of the last record dropped; -1 while none was.
    qint64 dropped_until_ms() const { return m_dropped_until; }
    qint64 first_ms() const;
    qint64 last_ms() const;
    // The wall time of the first record kept; -1 while there is none.
    qint64 first_wall_ms() const;
    // Memory the records take, blocks and their bookkeeping.
    qint64 memory_bytes() const;
    qint64 budget_bytes() const { return m_max_blocks * block_cost(); }
    // A new budget (at least two blocks); the oldest records go at once where
    // the log is over it.
    void set_budget(qint64 budget_bytes);
    // The state after the last record.
    const LinkSnapshot &snapshot() const { return m_state; }

    // A copy of the log as it is now that never changes, for reading on
    // another thread while this log goes on: the full blocks are shared, the
    // open one is copied. Cheap: no record is copied but the open block's.
    std::shared_ptr<const ReportLog> freeze() const;

    // The blocks, oldest first. A block's serial number stays with it while
    // the older ones go, and is never given to another block of this log.
    size_t block_count() const { return m_blocks.size(); }
    quint64 block_serial(size_t block) const { return m_first_serial + block; }
    // Full blocks take no more records.
    bool block_full(size_t block) const { return block + 1 < m_blocks.size(); }
    qint64 block_first_ms(size_t block) const { return m_blocks[block].first_ms; }
    qint64 block_last_ms(size_t block) const { return m_blocks[block].last_ms; }
    quint32 block_records(size_t block) const { return m_blocks[block].records; }

    // Reads records in time order.
    class Cursor
    {
    public:
        // The next record; false at the end.
        bool next(Record *record);
        // The state after the records read so far (before the first record
        // when none was read).
        const LinkSnapshot &snapshot() const { return m_state; }
        // Whether the next record is the first of a block, and which block.
        bool at_block_start(size_t *block) const;
        // Passes over the block whose first record is next (at_block_start),
        // to the state after its last record.
        void skip_block();

    private:
        friend class ReportLog;
        bool decode(Record *record);

        const ReportLog *m_log = nullptr;
        size_t m_block = 0;
        int m_offset = 0;
        qint64 m_time = 0;
        std::array<std::array<int, 6>, 2> m_previous{};
        LinkSnapshot m_state;
        bool m_has_pending = false;
        Record m_pending;
    };
    // A cursor whose first record is the first at or after `time_ms`, and
    // whose snapshot is the state just before it.
    Cursor seek(qint64 time_ms) const;
    Cursor begin() const;
    // A cursor at the first record of a block.
    Cursor at_block(size_t block) const;

private:
    struct Block
    {
        qint64 first_ms = 0;
        qint64 last_ms = 0;
        quint32 records = 0;
        int used = 0;
        LinkSnapshot start;  // the state before the block's first record
        std::shared_ptr<quint8[]> bytes;  // shared by frozen copies once full
    };

    static qint64 block_cost();
    void open_block(qint64 time_ms);
    void drop_oldest_block();
    void put(quint64 value);

    std::deque<Block> m_blocks;
    size_t m_max_blocks;
    quint64 m_first_serial = 0;
    quint64 m_records = 0;
    quint64 m_dropped = 0;
    qint64 m_dropped_until = -1;
    // The encoder: the last time and, per kind, the last fields in the open block.
    qint64 m_time = 0;
    std::array<std::array<int, 6>, 2> m_previous{};
    LinkSnapshot m_state;
};

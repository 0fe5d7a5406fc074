#include "report_log.h"

#include <algorithm>

namespace {

// The longest record: a ten-byte header and six fields whose differences
// take five bytes each (an event takes at most a ten-byte header, a byte for
// what it is and ten for its value).
constexpr int MAX_RECORD_BYTES = 10 + 6 * 5;

int field_count(RecordKind kind)
{
    return kind == RecordKind::Sniff ? 6 : 2;
}

quint64 zigzag(qint64 value)
{
    return (quint64(value) << 1) ^ quint64(value >> 63);
}

qint64 unzigzag(quint64 value)
{
    return qint64(value >> 1) ^ -qint64(value & 1);
}

} // namespace

qint64 Record::event_value() const
{
    if (event == LinkEvent::ClockChange)
        return qint64(quint64(quint32(fields[0])) | (quint64(quint32(fields[1])) << 32));
    return fields[0];
}

void Record::set_event_value(qint64 value)
{
    if (event == LinkEvent::ClockChange) {
        fields[0] = int(quint32(quint64(value)));
        fields[1] = int(quint32(quint64(value) >> 32));
    } else {
        fields[0] = int(value);
    }
}

void LinkSnapshot::apply(const Record &record)
{
    switch (record.kind) {
    case RecordKind::Signal:
        last_signal_ms = record.time_ms;
        last_level_a = record.fields[0];
        last_level_b = record.fields[1];
        break;
    case RecordKind::Event:
        if (record.event == LinkEvent::ClockChange) {
            wall_offset_ms += record.event_value();
            break;
        }
        event_value[size_t(record.event)] = record.fields[0];
        event_ms[size_t(record.event)] = record.time_ms;
        if (record.event == LinkEvent::Connection) {
            // The program starts every connection with reports off (it clears
            // its check box), and knows nothing of the new link yet.
            event_value[size_t(LinkEvent::ReportMode)] = 0;
            event_ms[size_t(LinkEvent::ReportMode)] = record.time_ms;
            event_value[size_t(LinkEvent::LinkState)] = -1;
            event_ms[size_t(LinkEvent::LinkState)] = record.time_ms;
        }
        break;
    case RecordKind::Sniff:
        break;
    }
}

ReportLog::ReportLog(qint64 budget_bytes)
    : m_max_blocks(size_t(std::max<qint64>(2, budget_bytes / block_cost())))
{
}

ReportLog::~ReportLog() = default;

qint64 ReportLog::block_cost()
{
    // The block's bytes and bookkeeping, and what the allocator adds to each.
    return qint64(sizeof(Block)) + BLOCK_BYTES + 32;
}

qint64 ReportLog::memory_bytes() const
{
    return qint64(m_blocks.size()) * block_cost();
}

qint64 ReportLog::first_ms() const
{
    return m_blocks.empty() ? -1 : m_blocks.front().first_ms;
}

qint64 ReportLog::last_ms() const
{
    return m_blocks.empty() ? -1 : m_blocks.back().last_ms;
}

qint64 ReportLog::first_wall_ms() const
{
    Cursor cursor = begin();
    Record record;
    return cursor.next(&record) ? record.time_ms + cursor.snapshot().wall_offset_ms : -1;
}

void ReportLog::clear()
{
    m_first_serial += m_blocks.size();
    m_blocks.clear();
    m_records = 0;
    m_dropped = 0;
    m_dropped_until = -1;
    m_state = LinkSnapshot();
}

void ReportLog::add_signal(qint64 time_ms, qint16 level_a, qint16 level_b)
{
    Record record;
    record.time_ms = time_ms;
    record.kind = RecordKind::Signal;
    record.fields[0] = level_a;
    record.fields[1] = level_b;
    add(record);
}

void ReportLog::add_sniff(qint64 time_ms, const std::array<int, 6> &fields)
{
    Record record;
    record.time_ms = time_ms;
    record.kind = RecordKind::Sniff;
    record.fields = fields;
    add(record);
}

void ReportLog::add_event(qint64 time_ms, LinkEvent event, qint64 value)
{
    Record record;
    record.time_ms = time_ms;
    record.kind = RecordKind::Event;
    record.event = event;
    record.set_event_value(value);
    add(record);
}

void ReportLog::follow_wall_clock(const HistoryTime &now)
{
    if (m_blocks.empty())
        m_state.wall_offset_ms = now.wall_offset_ms;
    else if (now.wall_offset_ms != m_state.wall_offset_ms)
        add_event(now.ms, LinkEvent::ClockChange, now.wall_offset_ms - m_state.wall_offset_ms);
}

void ReportLog::drop_oldest_block()
{
    const Block &oldest = m_blocks.front();
    m_dropped += oldest.records;
    m_records -= oldest.records;
    m_dropped_until = oldest.last_ms;
    m_blocks.pop_front();
    ++m_first_serial;
}

void ReportLog::set_budget(qint64 budget_bytes)
{
    m_max_blocks = size_t(std::max<qint64>(2, budget_bytes / block_cost()));
    // The open block stays; the oldest full ones go.
    while (m_blocks.size() > m_max_blocks)
        drop_oldest_block();
}

void ReportLog::open_block(qint64 time_ms)
{
    if (m_blocks.size() >= m_max_blocks)
        drop_oldest_block();
    Block block;
    block.first_ms = time_ms;
    block.last_ms = time_ms;
    block.start = m_state;
    block.bytes.reset(new quint8[BLOCK_BYTES]);
    m_blocks.push_back(std::move(block));
    m_time = time_ms;
    m_previous = {};
}

void ReportLog::put(quint64 value)
{
    Block &block = m_blocks.back();
    while (value >= 0x80) {
        block.bytes[size_t(block.used++)] = quint8(value | 0x80);
        value >>= 7;
    }
    block.bytes[size_t(block.used++)] = quint8(value);
}

void ReportLog::add(const Record &given)
{
    Record record = given;
    if (!m_blocks.empty())
        record.time_ms = std::max(record.time_ms, m_blocks.back().last_ms);
    if (m_blocks.empty() || m_blocks.back().used + MAX_RECORD_BYTES > BLOCK_BYTES)
        open_block(record.time_ms);

    put((quint64(record.time_ms - m_time) << 2) | quint64(record.kind));
    if (record.kind == RecordKind::Event) {
        put(quint64(record.event));
        put(zigzag(record.event_value()));
    } else {
        std::array<int, 6> &previous = m_previous[size_t(record.kind)];
        for (int i = 0; i < field_count(record.kind); ++i) {
            put(zigzag(qint64(record.fields[size_t(i)]) - previous[size_t(i)]));
            previous[size_t(i)] = record.fields[size_t(i)];
        }
    }
    m_time = record.time_ms;
    Block &block = m_blocks.back();
    block.last_ms = record.time_ms;
    ++block.records;
    ++m_records;
    m_state.apply(record);
}

std::shared_ptr<const ReportLog> ReportLog::freeze() const
{
    auto copy = std::make_shared<ReportLog>(0);
    copy->m_blocks = m_blocks;
    if (!m_blocks.empty()) {
        // The open block still takes records: the copy gets its bytes so far.
        Block &open = copy->m_blocks.back();
        open.bytes.reset(new quint8[size_t(std::max(open.used, 1))]);
        std::copy_n(m_blocks.back().bytes.get(), open.used, open.bytes.get());
    }
    copy->m_max_blocks = m_max_blocks;
    copy->m_first_serial = m_first_serial;
    copy->m_records = m_records;
    copy->m_dropped = m_dropped;
    copy->m_dropped_until = m_dropped_until;
    copy->m_time = m_time;
    copy->m_previous = m_previous;
    copy->m_state = m_state;
    return copy;
}

ReportLog::Cursor ReportLog::at_block(size_t block) const
{
    Cursor cursor;
    cursor.m_log = this;
    cursor.m_block = block;
    if (block < m_blocks.size()) {
        cursor.m_time = m_blocks[block].first_ms;
        cursor.m_state = m_blocks[block].start;
    } else {
        cursor.m_state = m_state;
    }
    return cursor;
}

ReportLog::Cursor ReportLog::begin() const
{
    Cursor cursor;
    cursor.m_log = this;
    if (!m_blocks.empty()) {
        cursor.m_time = m_blocks.front().first_ms;
        cursor.m_state = m_blocks.front().start;
    }
    return cursor;
}

ReportLog::Cursor ReportLog::seek(qint64 time_ms) const
{
    const auto block = std::lower_bound(m_blocks.begin(), m_blocks.end(), time_ms,
                                        [](const Block &b, qint64 t) { return b.last_ms < t; });
    Cursor cursor;
    cursor.m_log = this;
    cursor.m_block = size_t(block - m_blocks.begin());
    if (block == m_blocks.end()) {
        cursor.m_state = m_state;
        return cursor;
    }
    cursor.m_time = block->first_ms;
    cursor.m_state = block->start;
    Record record;
    while (cursor.decode(&record)) {
        if (record.time_ms >= time_ms) {
            cursor.m_pending = record;
            cursor.m_has_pending = true;
            break;
        }
        cursor.m_state.apply(record);
    }
    return cursor;
}

bool ReportLog::Cursor::at_block_start(size_t *block) const
{
    const std::deque<Block> &blocks = m_log->m_blocks;
    if (m_has_pending || m_block >= blocks.size())
        return false;
    if (m_offset == 0) {
        *block = m_block;
        return blocks[m_block].used > 0;
    }
    if (m_offset >= blocks[m_block].used && m_block + 1 < blocks.size()) {
        *block = m_block + 1;
        return true;
    }
    return false;
}

void ReportLog::Cursor::skip_block()
{
    size_t block = 0;
    if (!at_block_start(&block))
        return;
    const std::deque<Block> &blocks = m_log->m_blocks;
    m_block = block;
    m_offset = blocks[block].used;
    m_time = blocks[block].last_ms;
    m_state = block + 1 < blocks.size() ? blocks[block + 1].start : m_log->m_state;
}

bool ReportLog::Cursor::next(Record *record)
{
    if (m_has_pending) {
        m_has_pending = false;
        *record = m_pending;
    } else if (!decode(record)) {
        return false;
    }
    m_state.apply(*record);
    return true;
}

bool ReportLog::Cursor::decode(Record *record)
{
    const std::deque<Block> &blocks = m_log->m_blocks;
    while (m_block < blocks.size() && m_offset >= blocks[m_block].used) {
        ++m_block;
        m_offset = 0;
        m_previous = {};
        if (m_block < blocks.size())
            m_time = blocks[m_block].first_ms;
    }
    if (m_block >= blocks.size())
        return false;

    const quint8 *bytes = blocks[m_block].bytes.get();
    auto get = [&]() {
        quint64 value = 0;
        int shift = 0;
        quint8 byte;
        do {
            byte = bytes[m_offset++];
            value |= quint64(byte & 0x7F) << shift;
            shift += 7;
        } while (byte & 0x80);
        return value;
    };

    const quint64 header = get();
    m_time += qint64(header >> 2);
    record->time_ms = m_time;
    record->kind = RecordKind(header & 3);
    record->fields = {};
    if (record->kind == RecordKind::Event) {
        record->event = LinkEvent(get());
        record->set_event_value(unzigzag(get()));
    } else {
        std::array<int, 6> &previous = m_previous[size_t(record->kind)];
        for (int i = 0; i < field_count(record->kind); ++i) {
            previous[size_t(i)] = int(previous[size_t(i)] + unzigzag(get()));
            record->fields[size_t(i)] = previous[size_t(i)];
        }
    }
    return true;
}

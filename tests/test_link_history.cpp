// The link history without a window: the compact recording of reports and
// events, its memory bound, its CSV, the dropouts and figures of a stretch,
// and which stretch the window shows.

#include "background_save.h"
#include "history_clock.h"
#include "history_csv.h"
#include "history_navigator.h"
#include "history_view.h"
#include "report_log.h"

#include <QBuffer>
#include <QDateTime>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>

#include <cmath>
#include <ctime>
#include <random>

namespace {

Record signal_record(qint64 t, int a, int b)
{
    Record r;
    r.time_ms = t;
    r.kind = RecordKind::Signal;
    r.fields[0] = a;
    r.fields[1] = b;
    return r;
}

Record sniff_record(qint64 t, std::array<int, 6> fields)
{
    Record r;
    r.time_ms = t;
    r.kind = RecordKind::Sniff;
    r.fields = fields;
    return r;
}

Record event_record(qint64 t, LinkEvent event, int value)
{
    Record r;
    r.time_ms = t;
    r.kind = RecordKind::Event;
    r.event = event;
    r.fields[0] = value;
    return r;
}

QString describe(const Record &r)
{
    QStringList fields;
    const int n = r.kind == RecordKind::Sniff ? 6 : r.kind == RecordKind::Signal ? 2 : 1;
    for (int i = 0; i < n; ++i)
        fields.append(QString::number(r.fields[size_t(i)]));
    const QString kind = r.kind == RecordKind::Event ? QStringLiteral("event %1").arg(int(r.event))
                                                     : QStringLiteral("kind %1").arg(int(r.kind));
    return QStringLiteral("%1 %2: %3").arg(r.time_ms).arg(kind, fields.join(' '));
}

QStringList read_all(const ReportLog &log)
{
    QStringList out;
    ReportLog::Cursor cursor = log.begin();
    Record r;
    while (cursor.next(&r))
        out.append(describe(r));
    return out;
}

QString dropout_text(const Dropout &d)
{
    static const char *const names[] = {"no reading", "no link", "link lost", "port lost"};
    return QStringLiteral("%1 %2-%3").arg(QLatin1String(names[int(d.kind)])).arg(d.from_ms).arg(d.to_ms);
}

QStringList dropout_texts(const HistoryView &view)
{
    QStringList out;
    for (const Dropout &d : view.dropouts)
        out.append(dropout_text(d));
    return out;
}

// A session as the main window records it: connected, linked, signal reports
// asked for at `start`.
void open_session(ReportLog &log, qint64 start, bool repeater)
{
    log.add_event(start, LinkEvent::Connection, CONNECTION_OPEN);
    log.add_event(start, LinkEvent::RepeaterMode, repeater ? 1 : 0);
    log.add_event(start, LinkEvent::LinkState, 2);
    log.add_event(start, LinkEvent::ReportMode, 1);
}

void set_time_zone(const char *zone)
{
    qputenv("TZ", zone);
    tzset();
}

} // namespace

class LinkHistoryTest : public QObject
{
    Q_OBJECT

private slots:
    void records_keep_every_field_exactly();
    void random_records_survive_many_blocks();
    void times_never_go_back();
    void an_hour_set_back_keeps_records_apart_at_their_wall_times();
    void wall_clock_jumps_keep_records_in_order_at_their_wall_times();
    void seeking_finds_the_first_record_and_the_state_before_it();
    void past_the_budget_the_oldest_records_go_first();
    void a_day_of_signal_reports_or_eight_hours_of_sniffer_reports_fit();
    void csv_has_a_header_and_a_row_per_record_in_order();
    void csv_time_stamps_are_local_time_with_milliseconds_and_offset();
    void csv_of_a_full_log_starts_at_the_oldest_record_kept();
    void files_hold_ascii_iso_8601_in_this_locale();
    void files_hold_ascii_iso_8601_in_every_locale();
    void csv_in_the_arabic_locale_keeps_its_times();
    void dropouts_are_marked_by_kind();
    void dropouts_going_on_when_the_stretch_begins_or_ends();
    void figures_cover_the_stretch_shown_and_only_readings();
    void lines_break_where_values_are_missing();
    void the_view_follows_the_newest_data_unless_held();
};

void LinkHistoryTest::records_keep_every_field_exactly()
{
    const QList<Record> records = {
        event_record(1700000000000, LinkEvent::Connection, CONNECTION_OPEN),
        signal_record(1700000000000, -52, 0),
        signal_record(1700000000010, -32768, 32767),
        signal_record(1700000000010, 32767, -32768),
        signal_record(1700000000020, 0, 0),
        sniff_record(1700000000021, {0, 65535, 65535, 0, -32768, 32767}),
        sniff_record(1700000000022, {65535, 0, 0, 65535, 32767, -32768}),
        event_record(1700000000023, LinkEvent::LinkState, 255),
        event_record(1700000000023, LinkEvent::ReportMode, 3),
        event_record(1700000000023, LinkEvent::RepeaterMode, 0),
        // A silence of a week between two records.
        signal_record(1700604800023, -1, 1),
        event_record(1700604800024, LinkEvent::Connection, CONNECTION_PORT_LOST),
    };
    ReportLog log;
    QStringList expected;
    for (const Record &r : records) {
        log.add(r);
        expected.append(describe(r));
    }
    QCOMPARE(read_all(log), expected);
    QCOMPARE(log.size(), quint64(records.size()));
    QCOMPARE(log.first_ms(), qint64(1700000000000));
    QCOMPARE(log.last_ms(), qint64(1700604800024));
    QCOMPARE(log.dropped(), quint64(0));
}

void LinkHistoryTest::random_records_survive_many_blocks()
{
    // Fields jump anywhere in their ranges, so that each block holds few
    // records and every difference has to be coded in full.
    QRandomGenerator random(7);
    ReportLog log;
    QStringList expected;
    qint64 t = 1700000000000;
    for (int i = 0; i < 60000; ++i) {
        t += random.bounded(3) == 0 ? random.bounded(100000) : random.bounded(20);
        Record r;
        switch (random.bounded(3)) {
        case 0:
            r = signal_record(t, random.bounded(-32768, 32768), random.bounded(-32768, 32768));
            break;
        case 1:
            r = sniff_record(t, {random.bounded(65536), random.bounded(65536), random.bounded(65536),
                                 random.bounded(65536), random.bounded(-32768, 32768), random.bounded(-32768, 32768)});
            break;
        default:
            r = event_record(t, LinkEvent(random.bounded(LINK_EVENT_COUNT)), random.bounded(-5, 300));
            break;
        }
        log.add(r);
        expected.append(describe(r));
    }
    QVERIFY(log.memory_bytes() > 20 * ReportLog::BLOCK_BYTES);
    QCOMPARE(log.dropped(), quint64(0));
    const QStringList read = read_all(log);
    QCOMPARE(read.size(), expected.size());
    for (int i = 0; i < read.size(); ++i)
        QCOMPARE(read.at(i), expected.at(i));
}

void LinkHistoryTest::times_never_go_back()
{
    ReportLog log;
    log.add_signal(5000, -50, 0);
    log.add_signal(4000, -51, 0);  // the clock went back
    log.add_signal(6000, -52, 0);
    QCOMPARE(read_all(log), QStringList({describe(signal_record(5000, -50, 0)),
                                         describe(signal_record(5000, -51, 0)),
                                         describe(signal_record(6000, -52, 0))}));
}

void LinkHistoryTest::an_hour_set_back_keeps_records_apart_at_their_wall_times()
{
    // Signal reports every 10 ms; at 14:03:08 the wall clock is set back to
    // 13:03:08, and an hour of reports follows, as the program records them.
    set_time_zone("UTC");
    const qint64 jump_at = QDateTime(QDate(2024, 5, 1), QTime(14, 3, 8), Qt::UTC).toMSecsSinceEpoch();
    qint64 wall = jump_at - 1000;
    qint64 steady = 777;
    HistoryClock clock([&] { return wall; }, [&] { return steady; });
    ReportLog log;
    for (int i = 0; i < 100 + 360000; ++i) {
        if (i == 100)
            wall -= 3600 * 1000;
        wall += 10;
        steady += 10;
        const HistoryTime now = clock.now();
        log.follow_wall_clock(now);
        log.add_signal(now.ms, qint16(-40 - i % 30), 0);
    }

    // On the history's time line the reports stay 10 ms apart.
    ReportLog::Cursor cursor = log.begin();
    Record r;
    qint64 last = -1;
    int reports = 0;
    while (cursor.next(&r)) {
        if (r.kind != RecordKind::Signal)
            continue;
        if (last >= 0 && r.time_ms != last + 10)
            QFAIL(qPrintable(QStringLiteral("report %1 at %2, after %3").arg(reports).arg(r.time_ms).arg(last)));
        last = r.time_ms;
        ++reports;
    }
    QCOMPARE(reports, 360100);

    // The file has each at the wall time it came, and says when the clock
    // was set.
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QVERIFY(write_history_csv(log, &buffer));
    const QList<QByteArray> rows = buffer.data().split('\n');
    QCOMPARE(rows.mid(99, 4), QList<QByteArray>({"2024-05-01T14:03:07.990+00:00,-48,0,,,,,,,",
                                                 "2024-05-01T14:03:08.000+00:00,-49,0,,,,,,,",
                                                 "2024-05-01T13:03:08.010+00:00,,,,,,,,,clock set back 3600.000 s",
                                                 "2024-05-01T13:03:08.010+00:00,-50,0,,,,,,,"}));
    QCOMPARE(rows.at(rows.size() - 2), QByteArray("2024-05-01T14:03:08.000+00:00,-49,0,,,,,,,"));
    QCOMPARE(rows.size(), 360100 + 3);  // the header, the clock change, the empty end
}

void LinkHistoryTest::wall_clock_jumps_keep_records_in_order_at_their_wall_times()
{
    // Rounds of records a few milliseconds apart while the wall clock is set
    // back or forward (by two seconds to a century) at random moments, and,
    // in every other round, also steps by less than a second now and then
    // (as a time service nudges it). At most one jump comes between two
    // records, so each is seen on its own.
    set_time_zone("UTC");
    for (int round = 0; round < 8; ++round) {
        const quint32 seed = 4100 + quint32(round);
        QRandomGenerator random(seed);
        const bool nudged = round % 2 == 1;
        qint64 wall = 1000000000000 + qint64(random.bounded(1000000000));
        qint64 steady = random.bounded(100000);
        HistoryClock clock([&] { return wall; }, [&] { return steady; });
        // In some rounds the clock was set before the recording starts: the
        // recording starts from it, with no clock change.
        if (round % 4 >= 2)
            wall += (round % 8 < 4 ? -1 : 1) * qint64(random.bounded(2000, 100000000));
        ReportLog log;
        ReportLog small(4 * (ReportLog::BLOCK_BYTES + 200));

        struct Taken
        {
            Record record;
            qint64 wall;
            qint64 steady;
            qint64 jump;  // the wall clock's jump since the record before; 0 for none
        };
        QVector<Taken> taken;
        qint64 jump = 0;
        while (taken.size() < 20000) {
            const qint64 step = 1 + random.bounded(40);
            wall += step;
            steady += step;
            if (jump == 0 && random.bounded(150) == 0) {
                const double magnitude = std::exp(random.bounded(std::log(3.0e12 / 2001.0))) * 2001.0;
                jump = qint64(magnitude) * (random.bounded(2) == 0 ? -1 : 1);
                if (wall + jump < 0 || wall + jump > 4000000000000)
                    jump = -jump;
                wall += jump;
            }
            if (nudged && random.bounded(40) == 0)
                wall += random.bounded(-900, 901);
            if (random.bounded(10) == 0)
                continue;  // no record at this moment
            const HistoryTime now = clock.now();
            Record r;
            switch (random.bounded(3)) {
            case 0:
                r = signal_record(now.ms, random.bounded(-80, 0), random.bounded(-80, 0));
                break;
            case 1:
                r = sniff_record(now.ms, {random.bounded(65536), random.bounded(65536), random.bounded(65536),
                                          random.bounded(65536), random.bounded(-100, 0), random.bounded(-100, 0)});
                break;
            default:
                r = event_record(now.ms, LinkEvent(random.bounded(LINK_EVENT_COUNT)), random.bounded(4));
                break;
            }
            for (ReportLog *l : {&log, &small}) {
                l->follow_wall_clock(now);
                l->add(r);
            }
            taken.append({r, wall, steady, jump});
            jump = 0;
        }
        QVERIFY(small.dropped() > 0);

        QString failure;  // the first fault found
        auto fail = [&](int i, const QString &what) {
            if (failure.isEmpty())
                failure = QStringLiteral("seed %1, record %2: %3").arg(seed).arg(i).arg(what);
        };
        for (const ReportLog *l : {&log, &small}) {
            QBuffer buffer;
            buffer.open(QIODevice::WriteOnly);
            QVERIFY(write_history_csv(*l, &buffer));
            QList<QByteArray> rows = buffer.data().split('\n');
            rows.removeLast();
            // The rows of the records kept, after those of the state before
            // them when older ones were dropped.
            rows = rows.mid(rows.size() - int(l->size()));
            ReportLog::Cursor cursor = l->begin();
            Record r;
            int kept = 0;
            while (cursor.next(&r))
                kept += r.event == LinkEvent::ClockChange && r.kind == RecordKind::Event ? 0 : 1;
            cursor = l->begin();
            int i = int(taken.size()) - kept - 1;  // the record taken last read
            qint64 jumped = 0;  // the clock changes read since
            int row = 0;
            qint64 previous_ms = -1;
            while (failure.isEmpty() && cursor.next(&r)) {
                const QList<QByteArray> fields = rows.at(row++).split(',');
                const qint64 row_wall =
                    QDateTime::fromString(QString::fromLatin1(fields.first()), Qt::ISODateWithMs).toMSecsSinceEpoch();
                if (r.kind == RecordKind::Event && r.event == LinkEvent::ClockChange) {
                    if (l == &log && i < 0)
                        fail(0, QStringLiteral("a clock change before the first record"));
                    jumped += r.event_value();
                    const QString text = link_event_text(r.event, r.event_value());
                    if (fields.last() != text.toLatin1() || !text.startsWith(QLatin1String("clock set ")))
                        fail(i + 1, QStringLiteral("row %1").arg(QString::fromLatin1(rows.at(row - 1))));
                    continue;
                }
                ++i;
                const Taken &t = taken.at(i);
                if (describe(r).section(' ', 1) != describe(t.record).section(' ', 1))
                    fail(i, describe(r) + QStringLiteral(" read, ") + describe(t.record) + QStringLiteral(" taken"));
                // Each row at the wall time it was taken.
                if (!nudged ? row_wall != t.wall : qAbs(row_wall - t.wall) > HistoryClock::MAX_DRIFT_MS)
                    fail(i, QStringLiteral("%1 in the file, %2 on the clock").arg(row_wall).arg(t.wall));
                if (previous_ms >= 0) {
                    // Order and distances as the steady clock had them.
                    if (r.time_ms - previous_ms != t.steady - taken.at(i - 1).steady)
                        fail(i, QStringLiteral("%1 ms after the one before").arg(r.time_ms - previous_ms));
                    // A jump is a clock change; without nudges the only one, and exact.
                    if (t.jump != 0 && jumped == 0)
                        fail(i, QStringLiteral("no clock change after a jump of %1 ms").arg(t.jump));
                    if (!nudged && jumped != t.jump)
                        fail(i, QStringLiteral("a clock change of %1 ms for a jump of %2 ms").arg(jumped).arg(t.jump));
                }
                previous_ms = r.time_ms;
                jumped = 0;
            }
            QVERIFY2(failure.isEmpty(), qPrintable(failure));
            QCOMPARE(i, int(taken.size()) - 1);
        }
    }
}

void LinkHistoryTest::seeking_finds_the_first_record_and_the_state_before_it()
{
    ReportLog log;
    open_session(log, 1000, true);
    // Reports every 10 ms for ten minutes: many blocks.
    qint64 t = 1000;
    for (int i = 0; i < 60000; ++i) {
        t += 10;
        log.add_signal(t, qint16(-40 - i % 40), qint16(-45 - i % 30));
        if (i == 30000)
            log.add_event(t, LinkEvent::LinkState, 1);
        if (i == 40000) {
            log.add_event(t, LinkEvent::Connection, CONNECTION_PORT_LOST);
            log.add_event(t + 5, LinkEvent::Connection, CONNECTION_OPEN);
        }
    }
    QVERIFY(log.memory_bytes() >= 5 * ReportLog::BLOCK_BYTES);

    // In the middle of a block, between two reports: the later one comes first.
    ReportLog::Cursor cursor = log.seek(1000 + 10 * 35000 + 5);
    Record r;
    QVERIFY(cursor.next(&r));
    QCOMPARE(describe(r), describe(signal_record(1000 + 10 * 35000 + 10, qint16(-40 - 35000 % 40),
                                                 qint16(-45 - 35000 % 30))));
    // The state: the link state 1 of report 30000, reports still asked for.
    cursor = log.seek(1000 + 10 * 35000 + 5);
    QCOMPARE(cursor.snapshot().value(LinkEvent::LinkState), 1);
    QCOMPARE(cursor.snapshot().value(LinkEvent::ReportMode), 1);
    QCOMPARE(cursor.snapshot().value(LinkEvent::RepeaterMode), 1);
    QCOMPARE(cursor.snapshot().last_signal_ms, qint64(1000 + 10 * 35000));
    QVERIFY(signal_reports_expected(cursor.snapshot()));

    // After the port was lost and opened again: reports off, link state unknown.
    cursor = log.seek(1000 + 10 * 45000);
    QCOMPARE(cursor.snapshot().value(LinkEvent::Connection), CONNECTION_OPEN);
    QCOMPARE(cursor.snapshot().value(LinkEvent::ReportMode), 0);
    QCOMPARE(cursor.snapshot().value(LinkEvent::LinkState), -1);
    QVERIFY(!signal_reports_expected(cursor.snapshot()));

    // Before everything, and past the end.
    cursor = log.seek(0);
    QVERIFY(cursor.next(&r));
    QCOMPARE(describe(r), describe(event_record(1000, LinkEvent::Connection, CONNECTION_OPEN)));
    QCOMPARE(log.seek(t + 1).next(&r), false);
}

void LinkHistoryTest::past_the_budget_the_oldest_records_go_first()
{
    const qint64 budget = 6 * (ReportLog::BLOCK_BYTES + 200);
    ReportLog log(budget);
    // Each report carries its number, so that what is left can be checked.
    int added = 0;
    while (log.dropped() < 3 * 5000) {
        log.add_sniff(1000 + qint64(added) * 10, {added & 0xFFFF, added >> 16, 7, 8, -60, -61});
        ++added;
    }
    QVERIFY(log.memory_bytes() <= log.budget_bytes());
    QVERIFY(log.budget_bytes() <= budget);
    QCOMPARE(log.size() + log.dropped(), quint64(added));

    ReportLog::Cursor cursor = log.begin();
    Record r;
    int expected = int(log.dropped());
    QCOMPARE(log.first_ms(), 1000 + qint64(expected) * 10);
    QCOMPARE(log.dropped_until_ms(), 1000 + qint64(expected - 1) * 10);
    while (cursor.next(&r)) {
        QCOMPARE(r.fields[0] | (r.fields[1] << 16), expected);
        QCOMPARE(r.time_ms, 1000 + qint64(expected) * 10);
        ++expected;
    }
    QCOMPARE(expected, added);

    log.clear();
    QVERIFY(log.empty());
    QCOMPARE(log.dropped(), quint64(0));
    QCOMPARE(read_all(log), QStringList());
}

void LinkHistoryTest::a_day_of_signal_reports_or_eight_hours_of_sniffer_reports_fit()
{
    // At the most the link carries, 103 frames a second, arriving 9 or 10 ms
    // apart, with levels that wander.
    std::mt19937 random(3);
    std::normal_distribution<double> drift(0.0, 0.4);
    const qint64 start = 1700000000000;
    {
        ReportLog log;
        double a = -50, b = -60;
        qint64 t = start;
        const qint64 day = 24LL * 3600 * 1000;
        while (t < start + day) {
            t += 9 + qint64(random() % 2);
            a = std::min(-26.0, std::max(-79.0, a + drift(random)));
            b = std::min(-26.0, std::max(-79.0, b + drift(random)));
            log.add_signal(t, qint16(std::lround(a)), qint16(std::lround(b)));
        }
        QCOMPARE(log.dropped(), quint64(0));
        QVERIFY2(log.memory_bytes() <= ReportLog::DEFAULT_BUDGET, qPrintable(QString::number(log.memory_bytes())));
    }
    {
        // Per report: about 10 ms of beacons and audio packets, and the RSSI.
        ReportLog log;
        double a = -50, b = -60;
        qint64 t = start;
        const qint64 eight_hours = 8LL * 3600 * 1000;
        while (t < start + eight_hours) {
            t += 9 + qint64(random() % 2);
            a = std::min(-26.0, std::max(-79.0, a + drift(random)));
            b = std::min(-26.0, std::max(-79.0, b + drift(random)));
            log.add_sniff(t, {int(random() % 40), int(random() % 60), int(random() % 40), int(random() % 60),
                              int(std::lround(a)), int(std::lround(b))});
        }
        QCOMPARE(log.dropped(), quint64(0));
        QVERIFY2(log.memory_bytes() <= ReportLog::DEFAULT_BUDGET, qPrintable(QString::number(log.memory_bytes())));
    }
}

void LinkHistoryTest::csv_has_a_header_and_a_row_per_record_in_order()
{
    set_time_zone("UTC");
    ReportLog log;
    log.add_event(1700000000000, LinkEvent::Connection, CONNECTION_OPEN);
    log.add_event(1700000000000, LinkEvent::RepeaterMode, 1);
    log.add_event(1700000000001, LinkEvent::LinkState, 2);
    log.add_event(1700000000002, LinkEvent::ReportMode, 1);
    log.add_signal(1700000000105, -52, 0);
    log.add_signal(1700000000205, -32768, 32767);
    log.add_sniff(1700000000305, {65535, 3, 7, 1, -60, -70});
    log.add_event(1700000000400, LinkEvent::LinkState, 1);
    log.add_event(1700000001999, LinkEvent::Connection, CONNECTION_PORT_LOST);
    log.add_event(1700000002000, LinkEvent::Connection, CONNECTION_CLOSED);

    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QVERIFY(write_history_csv(log, &buffer));
    const QList<QByteArray> rows = buffer.data().split('\n');
    QCOMPARE(rows.last(), QByteArray());  // the file ends with a line break
    QCOMPARE(rows.mid(0, rows.size() - 1),
             QList<QByteArray>({
                 "time,level_a,level_b,beacons_a,audio_a,beacons_b,audio_b,rssi_a,rssi_b,event",
                 "2023-11-14T22:13:20.000+00:00,,,,,,,,,port opened",
                 "2023-11-14T22:13:20.000+00:00,,,,,,,,,repeater mode on",
                 "2023-11-14T22:13:20.001+00:00,,,,,,,,,link state 2",
                 "2023-11-14T22:13:20.002+00:00,,,,,,,,,report mode 1",
                 "2023-11-14T22:13:20.105+00:00,-52,0,,,,,,,",
                 "2023-11-14T22:13:20.205+00:00,-32768,32767,,,,,,,",
                 "2023-11-14T22:13:20.305+00:00,,,65535,3,7,1,-60,-70,",
                 "2023-11-14T22:13:20.400+00:00,,,,,,,,,link state 1",
                 "2023-11-14T22:13:21.999+00:00,,,,,,,,,port lost",
                 "2023-11-14T22:13:22.000+00:00,,,,,,,,,port closed",
             }));

    // A device that refuses the text is reported.
    QBuffer closed;
    QTest::ignoreMessage(QtWarningMsg, "QIODevice::write (QBuffer): device not open");
    QVERIFY(!write_history_csv(log, &closed));
}

void LinkHistoryTest::csv_time_stamps_are_local_time_with_milliseconds_and_offset()
{
    // Summer time starts in Berlin at 01:00 UTC on 2024-03-31: within one
    // second of the log the clock jumps from 02:00 to 03:00.
    set_time_zone("Europe/Berlin");
    const qint64 change = QDateTime(QDate(2024, 3, 31), QTime(1, 0), Qt::UTC).toMSecsSinceEpoch();
    ReportLog log;
    for (const qint64 t : {change - 1001, change - 1, change, change + 5, change + 86400000LL * 200 + 999})
        log.add_signal(t, -50, 0);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QVERIFY(write_history_csv(log, &buffer));
    QStringList times;
    for (const QByteArray &row : buffer.data().split('\n').mid(1)) {
        if (!row.isEmpty())
            times.append(QString::fromLatin1(row.split(',').first()));
    }
    QCOMPARE(times, QStringList({"2024-03-31T01:59:58.999+01:00", "2024-03-31T01:59:59.999+01:00",
                                 "2024-03-31T03:00:00.000+02:00", "2024-03-31T03:00:00.005+02:00",
                                 "2024-10-17T03:00:00.999+02:00"}));
    // Each reads back as the moment it was recorded.
    QCOMPARE(QDateTime::fromString(times.at(3), Qt::ISODateWithMs).toMSecsSinceEpoch(), change + 5);
    set_time_zone("UTC");
}

void LinkHistoryTest::files_hold_ascii_iso_8601_in_this_locale()
{
    // Run on its own by files_hold_ascii_iso_8601_in_every_locale, in a
    // process of the locale and time zone it names; in the full run, in
    // those of the test.
    const QByteArray locale = qgetenv("TVC_TEST_LOCALE");
    if (!locale.isEmpty())
        QCOMPARE(QLocale::system().name(), QString::fromLatin1(locale));
    QLocale::setDefault(QLocale::system());
    QRandomGenerator random(quint32(qEnvironmentVariableIntValue("TVC_TEST_SEED")));

    // The report the user met, then random records and clock changes from
    // 1990 to 2090, with their wall times.
    ReportLog log;
    QVector<qint64> walls;
    qint64 t = 1700000000234;
    log.add_signal(t, -52, -61);
    walls.append(t);
    HistoryTime now{t, 0};
    const qint64 end_ms = 3786912000000;  // 2090
    for (int i = 0; i < 3000; ++i) {
        now.ms += random.bounded(2) == 0 ? random.bounded(1000) : qint64(random.bounded(86400000));
        if (random.bounded(50) == 0) {
            const qint64 wall = 631152000000 + qint64(random.generate64() % quint64(end_ms - 631152000000));
            now.wall_offset_ms = wall - now.ms;
        }
        log.follow_wall_clock(now);
        switch (random.bounded(3)) {
        case 0:
            log.add_signal(now.ms, qint16(random.bounded(-32768, 32768)), qint16(random.bounded(-32768, 32768)));
            break;
        case 1:
            log.add_sniff(now.ms, {random.bounded(65536), random.bounded(65536), random.bounded(65536),
                                   random.bounded(65536), random.bounded(-32768, 32768), random.bounded(-32768, 32768)});
            break;
        default:
            log.add_event(now.ms, LinkEvent(random.bounded(LINK_EVENT_COUNT)), random.bounded(4));
            break;
        }
        walls.append(now.wall_ms());
    }

    auto ascii = [](const QByteArray &text) {
        return std::all_of(text.cbegin(), text.cend(), [](char c) { return quint8(c) < 0x80; });
    };
    const QRegularExpression iso(QStringLiteral("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\\.\\d{3}[+-]\\d\\d:\\d\\d$"));
    auto read_time = [&](const QString &text) {
        return iso.match(text).hasMatch()
            ? QDateTime::fromString(text, Qt::ISODateWithMs).toMSecsSinceEpoch()
            : -1;
    };

    // The CSV: each record at its wall time.
    QBuffer csv;
    csv.open(QIODevice::WriteOnly);
    QVERIFY(write_history_csv(log, &csv));
    QVERIFY(ascii(csv.data()));
    const QByteArray out = qgetenv("TVC_TEST_CSV");
    if (!out.isEmpty()) {
        QFile file(QString::fromLocal8Bit(out));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(csv.data());
    }
    const QList<QByteArray> rows = csv.data().split('\n');
    int record = 0;
    for (const QByteArray &row : rows.mid(1, rows.size() - 2)) {
        if (row.endsWith(" s"))
            continue;  // a clock change
        const QString time = QString::fromLatin1(row.left(row.indexOf(',')));
        QVERIFY2(record < walls.size() && read_time(time) == walls.at(record), row.constData());
        ++record;
    }
    QCOMPARE(record, walls.size());
    QCOMPARE(read_time(history_time_text(walls.last())), walls.last());

    // The sniffer's lines: the fields in ASCII digits.
    QBuffer lines;
    lines.open(QIODevice::WriteOnly);
    QVERIFY(write_sniffer_lines(log, &lines));
    QVERIFY(ascii(lines.data()));
    QVERIFY(lines.data().count('\n') > 500);
    const QRegularExpression line(QStringLiteral(
        "^Beacons: \\d+ (\\(\\d+\\)|: \\d+) Audio: \\d+ (\\(\\d+\\)|: \\d+) RSSI: -?\\d+( : -?\\d+)?$"));
    for (const QByteArray &text : lines.data().split('\n'))
        QVERIFY2(text.isEmpty() || line.match(QString::fromLatin1(text)).hasMatch(), text.constData());

    // The names suggested for saving: the local time in ASCII digits.
    const qint64 before = QDateTime::currentMSecsSinceEpoch() / 1000 * 1000;
    const QString name = QFileInfo(suggested_save_path(QStringLiteral("signal-history-"), QStringLiteral(".csv")))
                             .fileName();
    const qint64 after = QDateTime::currentMSecsSinceEpoch();
    QVERIFY2(ascii(name.toUtf8())
                 && QRegularExpression(QStringLiteral("^signal-history-\\d{8}-\\d{6}\\.csv$")).match(name).hasMatch(),
             qPrintable(name));
    const qint64 named = QLocale::c()
                             .toDateTime(name.mid(15, 15), QStringLiteral("yyyyMMdd-HHmmss"))
                             .toMSecsSinceEpoch();
    QVERIFY2(named >= before && named <= after, qPrintable(name));
}

namespace {

// Runs files_hold_ascii_iso_8601_in_this_locale in a process of its own.
QString run_in_locale(const QString &locale, const QString &zone, quint32 seed, const QString &csv = {})
{
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    const QString name = locale == QLatin1String("C") ? locale : locale + QStringLiteral(".UTF-8");
    for (const char *variable : {"LANG", "LC_ALL", "LC_TIME", "LC_NUMERIC"})
        env.insert(QString::fromLatin1(variable), name);
    env.remove(QStringLiteral("LANGUAGE"));
    env.insert(QStringLiteral("TZ"), zone);
    env.insert(QStringLiteral("TVC_TEST_LOCALE"), locale);
    env.insert(QStringLiteral("TVC_TEST_SEED"), QString::number(seed));
    env.insert(QStringLiteral("TVC_TEST_CSV"), csv);
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("files_hold_ascii_iso_8601_in_this_locale")});
    if (!child.waitForFinished(60000) || child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0)
        return QStringLiteral("%1 in %2, seed %3:\n%4").arg(locale, zone).arg(seed).arg(QString::fromLocal8Bit(child.readAll()));
    return {};
}

} // namespace

void LinkHistoryTest::files_hold_ascii_iso_8601_in_every_locale()
{
    // Locales with digits of their own (Arabic-Indic, Persian, Devanagari,
    // Bengali, Burmese, ...) and with Latin ones, in time zones an odd
    // number of minutes from UTC or with summer time.
    QRandomGenerator random(2024);
    QStringList locales = {"ar_EG", "fa_IR", "hi_IN", "de_DE", "C"};
    QStringList more = {"bn_BD", "mr_IN", "ne_NP", "my_MM", "ps_AF", "ur_PK", "ar_SA", "th_TH",
                        "zh_CN", "ja_JP", "ru_RU", "tr_TR", "fr_FR", "en_US", "pt_BR", "dz_BT"};
    for (int i = 0; i < 5; ++i)
        locales.append(more.takeAt(random.bounded(int(more.size()))));
    const QStringList zones = {"UTC",           "Europe/Berlin", "Asia/Kolkata",       "Asia/Tehran",
                               "Asia/Kathmandu", "Africa/Cairo", "America/St_Johns", "Pacific/Chatham"};
    for (const QString &locale : locales) {
        const QString failure = run_in_locale(locale, zones.at(random.bounded(int(zones.size()))), random.generate());
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
    }
}

void LinkHistoryTest::csv_in_the_arabic_locale_keeps_its_times()
{
    // Under ar_EG with Qt 5 every time stamp read ????-??-??T??:??:??.234+00:00.
    QTemporaryDir dir;
    const QString csv = dir.filePath(QStringLiteral("history.csv"));
    const QString failure = run_in_locale(QStringLiteral("ar_EG"), QStringLiteral("UTC"), 1, csv);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    QFile file(csv);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readLine(), HISTORY_CSV_HEADER);
    QCOMPARE(file.readLine(), QByteArray("2023-11-14T22:13:20.234+00:00,-52,-61,,,,,,,\n"));
}

void LinkHistoryTest::csv_of_a_full_log_starts_at_the_oldest_record_kept()
{
    set_time_zone("UTC");
    ReportLog log(3 * (ReportLog::BLOCK_BYTES + 200));
    int added = 0;
    while (log.dropped() == 0 || log.size() < 10000) {
        log.add_signal(1000 + qint64(added), qint16(added % 30000), qint16(-(added / 30000)));
        ++added;
    }
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QVERIFY(write_history_csv(log, &buffer));
    const QList<QByteArray> rows = buffer.data().split('\n');
    QCOMPARE(quint64(rows.size()), log.size() + 2);  // the header, the records, the empty end
    const int first = int(log.dropped());
    QCOMPARE(rows.at(1).split(',').mid(1, 2),
             QList<QByteArray>({QByteArray::number(first % 30000), QByteArray::number(-(first / 30000))}));
    const int last = added - 1;
    QCOMPARE(rows.at(rows.size() - 2).split(',').mid(1, 2),
             QList<QByteArray>({QByteArray::number(last % 30000), QByteArray::number(-(last / 30000))}));
}

void LinkHistoryTest::dropouts_are_marked_by_kind()
{
    ReportLog log;
    open_session(log, 0, false);
    qint64 t = 0;
    auto reports_until = [&](qint64 end, int level) {
        for (t += 100; t <= end; t += 100)
            log.add_signal(t, qint16(level), 0);
        t -= 100;
    };
    reports_until(1900, -50);
    reports_until(2500, 0);  // no reading from 2000 on
    reports_until(3900, -55);
    log.add_event(4000, LinkEvent::LinkState, 1);  // no link for a second, and no reports
    log.add_event(5000, LinkEvent::LinkState, 2);
    t = 4900;
    reports_until(5900, -56);
    t = 8900;  // silent from 5900 to 9000
    reports_until(11900, -57);
    log.add_event(12000, LinkEvent::Connection, CONNECTION_PORT_LOST);
    log.add_event(13000, LinkEvent::Connection, CONNECTION_OPEN);
    // A new connection starts with reports off: its silence is no dropout.

    const HistoryView view = history_view(log, 0, 16000, 160, 16000);
    QCOMPARE(dropout_texts(view), QStringList({"no reading 2000-2600", "no link 4000-5000", "link lost 5900-9000",
                                               "port lost 12000-13000"}));

    // Reports turned off by the user: silence from then on is no dropout,
    // and a report without a reading ends with them.
    ReportLog off;
    open_session(off, 0, false);
    off.add_signal(100, 0, 0);
    off.add_event(200, LinkEvent::ReportMode, 0);
    QCOMPARE(dropout_texts(history_view(off, 0, 60000, 100, 60000)), QStringList({"no reading 100-200"}));

    // The sniffer took over (mode 2): no signal reports expected either.
    ReportLog sniffing;
    open_session(sniffing, 0, false);
    sniffing.add_signal(100, -50, 0);
    sniffing.add_event(200, LinkEvent::ReportMode, 2);
    sniffing.add_sniff(300, {1, 2, 3, 4, -50, -60});
    QCOMPARE(dropout_texts(history_view(sniffing, 0, 60000, 100, 60000)), QStringList());

    // The sniffer's Start or Stop ends signal reports while the box stays
    // ticked; a report already on its way, without a reading, is recorded
    // after that: no dropout, as nothing more was expected.
    for (const int mode : {0, 2, 3}) {
        ReportLog stray;
        open_session(stray, 0, true);
        stray.add_signal(100, -50, -60);
        stray.add_event(200, LinkEvent::ReportMode, mode);
        stray.add_signal(210, 0, 0);
        stray.add_signal(220, -50, 0);
        stray.add_sniff(300, {1, 2, 3, 4, -50, -60});
        QVERIFY2(dropout_texts(history_view(stray, 0, 60000, 100, 60000)).isEmpty(), qPrintable(QString::number(mode)));
    }

    // In repeater mode a report without level B has no reading either;
    // without repeater mode level B does not count.
    ReportLog repeater;
    open_session(repeater, 0, true);
    repeater.add_signal(100, -50, -60);
    repeater.add_signal(200, -50, 0);
    repeater.add_signal(300, -50, -61);
    repeater.add_event(400, LinkEvent::RepeaterMode, 0);
    repeater.add_signal(500, -50, 0);
    QCOMPARE(dropout_texts(history_view(repeater, 0, 600, 60, 600)), QStringList({"no reading 200-300"}));
}

void LinkHistoryTest::dropouts_going_on_when_the_stretch_begins_or_ends()
{
    ReportLog log;
    open_session(log, 0, false);
    for (qint64 t = 100; t <= 3000; t += 100)
        log.add_signal(t, -50, 0);
    log.add_event(3000, LinkEvent::LinkState, 1);
    for (qint64 t = 3100; t <= 6000; t += 100)
        log.add_signal(t, 0, 0);  // no link, no reading
    log.add_event(6000, LinkEvent::LinkState, 2);
    for (qint64 t = 6100; t <= 7000; t += 100)
        log.add_signal(t, -50, 0);
    // Then nothing: the device fell silent.

    // A stretch that begins in the middle of both dropouts.
    QCOMPARE(dropout_texts(history_view(log, 4000, 7000, 30, 7000)),
             QStringList({"no reading 4000-6100", "no link 4000-6000"}));
    // A stretch that ends now, long after the last report: the silence is
    // marked up to now, and not beyond the stretch.
    QCOMPARE(dropout_texts(history_view(log, 6500, 20000, 30, 15000)), QStringList({"link lost 7000-15000"}));
    // A silence not yet long enough is no dropout.
    QCOMPARE(dropout_texts(history_view(log, 6500, 20000, 30, 7000 + SILENCE_MS)), QStringList());

    // The port failed before the stretch and was not opened again.
    log.add_event(30000, LinkEvent::Connection, CONNECTION_PORT_LOST);
    QCOMPARE(dropout_texts(history_view(log, 40000, 50000, 30, 60000)), QStringList({"port lost 40000-50000"}));
}

void LinkHistoryTest::figures_cover_the_stretch_shown_and_only_readings()
{
    ReportLog log;
    open_session(log, 0, true);
    log.add_signal(1000, -30, -70);  // before the stretch
    log.add_signal(2000, -50, -60);
    log.add_signal(2100, 0, -61);    // level A without a reading
    log.add_signal(2200, -55, 0);    // level B without a reading
    log.add_signal(2300, -61, -64);
    log.add_event(2350, LinkEvent::RepeaterMode, 0);
    log.add_signal(2400, -52, -20);  // level B does not count without repeater mode
    log.add_sniff(2500, {10, 48, 9, 45, -40, -50});
    log.add_sniff(2600, {20, 96, 18, 90, -44, -52});
    log.add_signal(3000, -25, -25);  // after the stretch

    const HistoryView view = history_view(log, 2000, 2999, 100, 5000);
    QCOMPARE(view.signal_reports, qint64(5));
    QCOMPARE(view.sniff_reports, qint64(2));
    const SeriesStats &a = view.signal_stats[0];
    QCOMPARE(a.count, qint64(4));
    QCOMPARE(a.min, -61);
    QCOMPARE(a.max, -50);
    QCOMPARE(a.mean(), (-50 - 55 - 61 - 52) / 4.0);
    const SeriesStats &b = view.signal_stats[1];
    QCOMPARE(b.count, qint64(3));
    QCOMPARE(b.min, -64);
    QCOMPARE(b.max, -60);
    QCOMPARE(b.mean(), (-60 - 61 - 64) / 3.0);
    QCOMPARE(view.sniff_stats[1].min, 48);
    QCOMPARE(view.sniff_stats[1].max, 96);
    QCOMPARE(view.sniff_stats[5].mean(), -51.0);

    // Nothing in the stretch: no figures.
    const HistoryView empty = history_view(log, 4000, 5000, 100, 5000);
    QCOMPARE(empty.signal_stats[0].count, qint64(0));
    QCOMPARE(empty.signal_reports, qint64(0));
}

void LinkHistoryTest::lines_break_where_values_are_missing()
{
    ReportLog log;
    open_session(log, 0, false);
    for (qint64 t = 0; t < 1000; t += 100)
        log.add_signal(t, qint16(-40 - t / 100), 0);
    log.add_signal(1000, 0, 0);        // no reading
    log.add_signal(1100, -60, 0);
    log.add_signal(1200, -61, 0);
    log.add_signal(1200 + SILENCE_MS + 1, -62, 0);  // after a silence
    log.add_event(3400, LinkEvent::ReportMode, 0);
    log.add_event(3500, LinkEvent::ReportMode, 1);
    log.add_signal(3600, -63, 0);      // after reports were off

    // One column per 100 ms.
    const HistoryView view = history_view(log, 0, 3999, 40, 4000);
    const QVector<PlotColumn> &a = view.signal[0];
    auto column = [&a](int c) {
        const PlotColumn &p = a.at(c);
        return QStringLiteral("%1 %2 %3").arg(p.valid).arg(p.joined).arg(double(p.first));
    };
    QCOMPARE(column(0), QStringLiteral("1 0 -40"));
    QCOMPARE(column(5), QStringLiteral("1 1 -45"));
    QCOMPARE(column(10), QStringLiteral("0 0 0"));
    QCOMPARE(column(11), QStringLiteral("1 0 -60"));
    QCOMPARE(column(12), QStringLiteral("1 1 -61"));
    QCOMPARE(column(32), QStringLiteral("1 0 -62"));
    QCOMPARE(column(36), QStringLiteral("1 0 -63"));
    // Level B never had a reading: no repeater mode.
    for (const PlotColumn &c : view.signal[1])
        QVERIFY(!c.valid);

    // Many values in one column: its lowest and highest, first and last.
    const HistoryView narrow = history_view(log, 0, 999, 1, 4000);
    const PlotColumn &all = narrow.signal[0].first();
    QCOMPARE(QStringLiteral("%1 %2 %3 %4").arg(double(all.first)).arg(double(all.last)).arg(double(all.low))
                 .arg(double(all.high)),
             QStringLiteral("-40 -49 -49 -40"));
}

void LinkHistoryTest::the_view_follows_the_newest_data_unless_held()
{
    HistoryNavigator navigator;
    navigator.set_span(60000);
    QVERIFY(navigator.following());
    QCOMPARE(navigator.stretch(1000, 100000).from_ms, qint64(40000));
    QCOMPARE(navigator.stretch(1000, 100000).to_ms, qint64(100000));
    QCOMPARE(navigator.stretch(1000, 130000).to_ms, qint64(130000));

    // Scrolled back: the view stays where it was put as time goes on.
    navigator.scroll_to(70000, 130000, 1500);
    QVERIFY(!navigator.following());
    QCOMPARE(navigator.stretch(1000, 200000).to_ms, qint64(70000));
    QCOMPARE(navigator.stretch(1000, 200000).from_ms, qint64(10000));
    // Scrolled to the end again: following.
    navigator.scroll_to(199000, 200000, 1500);
    QVERIFY(navigator.following());
    QCOMPARE(navigator.stretch(1000, 210000).to_ms, qint64(210000));

    // Paused: held at the moment of the pause, even when scrolled to the end.
    navigator.pause(220000);
    QVERIFY(navigator.paused() && !navigator.following());
    QCOMPARE(navigator.stretch(1000, 250000).to_ms, qint64(220000));
    navigator.scroll_to(100000, 250000, 1500);
    QCOMPARE(navigator.stretch(1000, 260000).to_ms, qint64(100000));
    navigator.scroll_to(260000, 260000, 1500);
    QVERIFY(!navigator.following());
    QCOMPARE(navigator.stretch(1000, 270000).to_ms, qint64(260000));
    navigator.resume();
    QVERIFY(navigator.following());
    QCOMPARE(navigator.stretch(1000, 280000).to_ms, qint64(280000));

    // Everything: from the first record to now, or to where it was paused.
    navigator.set_span(0);
    QCOMPARE(navigator.stretch(1000, 290000).from_ms, qint64(1000));
    QCOMPARE(navigator.stretch(1000, 290000).to_ms, qint64(290000));
    navigator.pause(290000);
    QCOMPARE(navigator.stretch(1000, 300000).to_ms, qint64(290000));
    QCOMPARE(navigator.stretch(-1, 300000).from_ms, qint64(290000));
}

QTEST_GUILESS_MAIN(LinkHistoryTest)
#include "test_link_history.moc"

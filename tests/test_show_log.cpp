// The show log: past its capacity the oldest entries go and are counted, the
// view has the newest first and can show the alarms alone, and its files are
// valid CSV and JSON lines whatever a device's name holds, in every locale.

#include "history_csv.h"
#include "show_log.h"

#include <QBuffer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QtTest>

namespace {

QString random_name(QRandomGenerator &random)
{
    static const QStringList pieces = {
        QStringLiteral("Lead vocal"), QStringLiteral(","), QStringLiteral("\""), QStringLiteral("\n"),
        QStringLiteral("\r\n"), QStringLiteral("\t"), QStringLiteral("'"), QStringLiteral("\\"),
        QStringLiteral("שמאל"), QStringLiteral("😀"), QStringLiteral("\u202E"), QStringLiteral("\u0001"),
        QString(QChar(0)), QString(QChar(0xD800)), QStringLiteral("=1+1"), QStringLiteral(" ")};
    QString name;
    for (int i = int(random.bounded(6)); i > 0; --i)
        name += pieces.at(int(random.bounded(int(pieces.size()))));
    return name;
}

// A name as the files carry it: every lone surrogate as U+FFFD.
QString as_written(QString name)
{
    for (int i = 0; i < name.size(); ++i) {
        if (name.at(i).isHighSurrogate() && i + 1 < name.size() && name.at(i + 1).isLowSurrogate())
            ++i;
        else if (name.at(i).isSurrogate())
            name[i] = QChar(QChar::ReplacementCharacter);
    }
    return name;
}

// The rows of an RFC 4180 text: fields split at commas outside quotes, a
// quote inside quotes doubled. Null when the text is no such thing.
QList<QStringList> parse_csv(const QByteArray &text)
{
    QList<QStringList> rows;
    QStringList row;
    QByteArray field;
    bool quoted = false, was_quoted = false;
    for (int i = 0; i < text.size(); ++i) {
        const char c = text.at(i);
        if (quoted) {
            if (c != '"')
                field += c;
            else if (i + 1 < text.size() && text.at(i + 1) == '"')
                field += text.at(++i);
            else
                quoted = false;
        } else if (c == '"' && field.isEmpty() && !was_quoted) {
            quoted = was_quoted = true;
        } else if (c == ',' || c == '\n') {
            row << QString::fromUtf8(field.constData(), int(field.size()));
            field.clear();
            was_quoted = false;
            if (c == '\n') {
                rows << row;
                row.clear();
            }
        } else if (was_quoted || c == '"' || c == '\r') {
            return {};
        } else {
            field += c;
        }
    }
    return quoted || !field.isEmpty() || !row.isEmpty() ? QList<QStringList>() : rows;
}

} // namespace

class TestShowLog : public QObject
{
    Q_OBJECT

private slots:
    void past_its_capacity_the_log_counts_what_went_and_writes_valid_files();
};

// Seeded: more alarms and events than the log keeps, from devices with any
// names, alarms told after they began; then both files, in a locale whose
// digits are not ASCII.
void TestShowLog::past_its_capacity_the_log_counts_what_went_and_writes_valid_files()
{
    QLocale::setDefault(QLocale(QLocale::Arabic, QLocale::Egypt));
    QRandomGenerator random(33);
    ShowLog log;
    const int total = ShowLog::CAPACITY + 20000;
    QList<QString> names;
    for (int i = 0; i < 40; ++i)
        names << random_name(random);
    qint64 now = 0;
    std::vector<AlarmRecord> running;
    int alarms = 0;
    for (int i = 0; i < total; ++i) {
        now += random.bounded(1000);
        const int d = int(random.bounded(8));
        ShowDevice device{QStringLiteral("/dev/ttyUSB%1").arg(d), QString(), d % 2 ? QStringLiteral("Repeater") : QString()};
        if (random.bounded(3) == 0) {
            EventRecord event;
            event.device = device;
            event.event = {DeviceEventKind(random.bounded(3)), now, int(random.bounded(160)), 36};
            event.wall_offset_ms = 1798761600000;
            log.add_event(event, names.at(int(random.bounded(int(names.size())))));
            continue;
        }
        AlarmRecord alarm;
        alarm.device = device;
        alarm.alarm.id = quint64(++alarms);
        alarm.alarm.kind = AlarmKind(random.bounded(ALARM_KINDS));
        // Told once its cause lasted a while.
        alarm.alarm.start_ms = std::max<qint64>(0, now - random.bounded(2500));
        alarm.told_ms = now;
        alarm.wall_offset_ms = 1798761600000;
        log.add_alarm(alarm, names.at(int(random.bounded(int(names.size())))));
        running.push_back(alarm);
        if (random.bounded(2) == 0) {
            const size_t k = random.bounded(quint32(running.size()));
            AlarmRecord ended = running[k];
            running[k] = running.back();
            running.pop_back();
            ended.alarm.end_ms = now;
            ended.told_ms = now;
            log.end_alarm(ended);
        }
    }
    QCOMPARE(log.size(), ShowLog::CAPACITY);
    QCOMPARE(log.dropped(), quint64(total - ShowLog::CAPACITY));
    QVERIFY(!log.dropped_text().isEmpty());
    for (int i = 1; i < log.size(); ++i)
        QVERIFY(log.entry(i - 1).time_ms <= log.entry(i).time_ms);

    // The view: the newest first, and the alarms alone on request.
    QCOMPARE(log.rowCount(), log.size());
    QCOMPARE(log.index(0, ShowLog::Time).data().toString(), history_time_text(log.entry(log.size() - 1).wall_ms));
    ShowLogFilter filter;
    filter.setSourceModel(&log);
    filter.set_alarms_only(true);
    int alarm_rows = 0;
    for (int i = 0; i < log.size(); ++i)
        alarm_rows += log.entry(i).is_alarm() ? 1 : 0;
    QCOMPARE(filter.rowCount(), alarm_rows);

    const QRegularExpression time(QStringLiteral(
        "^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\\.\\d{3}[+-]\\d\\d:\\d\\d$"));
    const QStringList kinds = {QStringLiteral("link_lost"), QStringLiteral("weak_signal"), QStringLiteral("no_reading"),
                               QStringLiteral("unplugged"), QStringLiteral("mute"), QStringLiteral("phantom_power"),
                               QStringLiteral("channel")};
    QBuffer csv;
    csv.open(QIODevice::WriteOnly);
    QVERIFY(log.write_csv(&csv));
    const QList<QStringList> rows = parse_csv(csv.data());
    QCOMPARE(rows.size(), log.size() + 1);
    QCOMPARE(rows.first().join(QLatin1Char(',')), QStringLiteral("time,type,kind,value,length_s,port,name,role"));
    QBuffer json;
    json.open(QIODevice::WriteOnly);
    QVERIFY(log.write_json_lines(&json));
    const QList<QByteArray> lines = json.data().split('\n');
    QCOMPARE(lines.size(), log.size() + 1);
    for (int i = 0; i < log.size(); ++i) {
        const ShowLogEntry &entry = log.entry(i);
        const QStringList &row = rows.at(i + 1);
        QCOMPARE(row.size(), 8);
        QVERIFY2(time.match(row.at(0)).hasMatch(), qPrintable(row.at(0)));
        QVERIFY(kinds.contains(row.at(2)));
        QCOMPARE(row.at(6), as_written(log.device(entry).name));
        const QString length = entry.is_alarm() && entry.length_ms >= 0
            ? QString::number(double(entry.length_ms) / 1000.0, 'f', 3)
            : QString();
        QCOMPARE(row.at(4), length);

        QJsonParseError error;
        const QJsonObject object = QJsonDocument::fromJson(lines.at(i), &error).object();
        QVERIFY2(error.error == QJsonParseError::NoError, lines.at(i).constData());
        QCOMPARE(object.value(QLatin1String("time")).toString(), row.at(0));
        QCOMPARE(object.value(QLatin1String("kind")).toString(), row.at(2));
        QCOMPARE(object.value(QLatin1String("name")).toString(), as_written(log.device(entry).name));
        QCOMPARE(object.value(QLatin1String("port")).toString(), log.device(entry).port);
    }
    QLocale::setDefault(QLocale::c());
}

QTEST_GUILESS_MAIN(TestShowLog)
#include "test_show_log.moc"

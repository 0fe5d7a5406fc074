// The devices' names and the show's settings in the user's settings file:
// any name under any key comes back as it was given, a name is shown without
// what could disturb a view, and a file that cannot be read gives the
// defaults and stays as it is until the user saves.

#include "device_names.h"
#include "show_settings.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// A text from pieces that settings files, views and parsers trip on.
QString hazardous_text(QRandomGenerator &random, int max_pieces)
{
    static const QStringList pieces = {
        QStringLiteral("Lead vocal"), QStringLiteral("/"), QStringLiteral("\\"), QStringLiteral("="),
        QStringLiteral(";"), QStringLiteral("#"), QStringLiteral("["), QStringLiteral("]"), QStringLiteral("\""),
        QStringLiteral(","), QStringLiteral(" "), QStringLiteral("\n"), QStringLiteral("\r"), QStringLiteral("\t"),
        QStringLiteral("%2F"), QStringLiteral("@Variant("), QStringLiteral("שמאל הבמה"), QStringLiteral("يسار"),
        QStringLiteral("\u202E"), QStringLiteral("\u2066"), QStringLiteral("\u200F"), QStringLiteral("e\u0301"),
        QStringLiteral("😀"), QStringLiteral("\u0007"), QStringLiteral("\u007F"), QStringLiteral("\u2028"),
        QString(QChar(0)), QString(QChar(0xD800)), QString(QChar(0xDC00)), QStringLiteral("Ünïcödé"),
        QStringLiteral("x"), QStringLiteral("X")};
    QString text;
    const int count = int(random.bounded(max_pieces + 1));
    for (int i = 0; i < count; ++i)
        text += pieces.at(int(random.bounded(int(pieces.size()))));
    return text;
}

bool disturbs_a_view(QChar c)
{
    return c.category() == QChar::Other_Control || c.isSurrogate() || c == QChar(QChar::LineSeparator)
        || c == QChar(QChar::ParagraphSeparator) || (c.unicode() >= 0x202A && c.unicode() <= 0x202E)
        || (c.unicode() >= 0x2066 && c.unicode() <= 0x2069);
}

QByteArray contents(const QString &file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestShowStore : public QObject
{
    Q_OBJECT

private slots:
    void names_come_back_as_given_under_any_key();
    void an_unreadable_file_gives_the_defaults_and_stays_until_saved();
    void a_device_is_known_by_its_bridge_then_its_stable_link_then_its_port();
};

// Seeded: names and keys of every kind written by one store, read back by a
// fresh one; each name's display form keeps nothing that disturbs a view.
void TestShowStore::names_come_back_as_given_under_any_key()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("settings.conf"));
    QRandomGenerator random(32);
    QHash<QString, QString> expected;
    DeviceNames names(file);
    for (int i = 0; i < 300; ++i) {
        const QString key = device_key(hazardous_text(random, 3), hazardous_text(random, 3), hazardous_text(random, 2));
        // Half characters, which no file can hold, become U+FFFD.
        QString name = without_lone_surrogates(hazardous_text(random, i % 10 == 0 ? 400 : 8));
        QVERIFY2(names.set_name(key, name), qPrintable(names.problem()));
        if (name.trimmed().isEmpty()) {
            expected.remove(key);
            continue;
        }
        // A name past the longest kept is cut where a character ends.
        if (name.size() > DeviceNames::MAX_NAME) {
            const QString kept = names.name(key);
            QVERIFY(kept.size() <= DeviceNames::MAX_NAME && kept.size() > DeviceNames::MAX_NAME - 4);
            QVERIFY(name.startsWith(kept));
            QVERIFY(!kept.back().isHighSurrogate());
            name = kept;
        }
        expected.insert(key, name);

        const QString shown = name_for_display(name, 40);
        QVERIFY(shown.size() <= 40);
        for (int k = 0; k < shown.size(); ++k) {
            const bool paired = shown.at(k).isHighSurrogate() && k + 1 < shown.size() && shown.at(k + 1).isLowSurrogate();
            if (paired) {
                ++k;
                continue;
            }
            QVERIFY2(!disturbs_a_view(shown.at(k)), qPrintable(QString::number(shown.at(k).unicode(), 16)));
        }
    }
    QCOMPARE(DeviceNames(file).names(), expected);
    // A name given elsewhere in the meantime stays when this store names another.
    DeviceNames other(file);
    QVERIFY(other.set_name(QStringLiteral("serial:elsewhere"), QStringLiteral("Stage left")));
    QVERIFY(names.set_name(QStringLiteral("serial:here"), QStringLiteral("Lead vocal")));
    QCOMPARE(DeviceNames(file).name(QStringLiteral("serial:elsewhere")), QStringLiteral("Stage left"));
}

void TestShowStore::an_unreadable_file_gives_the_defaults_and_stays_until_saved()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("settings.conf"));
    // A section that never ends: what QSettings reads it as would replace it.
    const QByteArray damaged = "[show\nweak_dbm=-70\n[device_names]\n1\\key=serial:A\n1\\name=Drums\nsize=1\n";
    {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(damaged);
    }
    QString problem;
    QCOMPARE(read_show_settings(file, &problem), ShowSettings());
    QVERIFY(problem.contains(QDir::toNativeSeparators(file)));
    const DeviceNames names(file);
    QVERIFY(names.names().isEmpty());
    QVERIFY(!names.problem().isEmpty());
    QCOMPARE(contents(file), damaged);

    // Saving keeps the damaged file aside and writes the settings anew.
    ShowSettings saved;
    saved.alarms.weak_dbm = -65;
    saved.alarms.minimum_ms = 1500;
    saved.notifications = false;
    QVERIFY2(save_show_settings(saved, file, &problem), qPrintable(problem));
    QCOMPARE(contents(file + UNREADABLE_SUFFIX), damaged);
    QCOMPARE(read_show_settings(file, &problem), saved);
    QVERIFY(problem.isEmpty());
    QVERIFY(!contents(file).contains("Drums"));

    // Values out of bounds or not numbers are the defaults.
    {
        QSettings settings(file, QSettings::IniFormat);
        settings.setValue(QStringLiteral("show/weak_dbm"), 5);
        settings.setValue(QStringLiteral("show/minimum_ms"), QStringLiteral("soon"));
    }
    QCOMPARE(read_show_settings(file, &problem).alarms, AlarmSettings());

    // A file that is no file cannot be read nor written: defaults, and saving says so.
    const QString folder = dir.filePath(QStringLiteral("folder.conf"));
    QVERIFY(QDir().mkpath(folder));
    QCOMPARE(read_show_settings(folder, &problem), ShowSettings());
    QVERIFY(!problem.isEmpty());
    problem.clear();
    QVERIFY(!save_show_settings(saved, folder, &problem));
    QVERIFY(!problem.isEmpty());
    DeviceNames nowhere(folder);
    QVERIFY(!nowhere.set_name(QStringLiteral("port:ttyUSB0"), QStringLiteral("Drums")));
    QVERIFY(!nowhere.problem().isEmpty());
    QCOMPARE(nowhere.name(QStringLiteral("port:ttyUSB0")), QStringLiteral("Drums"));
}

void TestShowStore::a_device_is_known_by_its_bridge_then_its_stable_link_then_its_port()
{
    QTemporaryDir dir;
    const QString port = dir.filePath(QStringLiteral("ttyUSB7"));
    const QString other = dir.filePath(QStringLiteral("ttyUSB8"));
    QFile(port).open(QIODevice::WriteOnly);
    QFile(other).open(QIODevice::WriteOnly);
    const QString by_id = dir.filePath(QStringLiteral("by-id"));
    QVERIFY(QDir().mkpath(by_id));
    QVERIFY(QFile::link(other, by_id + QStringLiteral("/usb-Bridge_A-if00-port0")));
    QVERIFY(QFile::link(port, by_id + QStringLiteral("/usb-Bridge_B-if00-port0")));

    QCOMPARE(stable_port_name(port, by_id), QStringLiteral("usb-Bridge_B-if00-port0"));
    QCOMPARE(stable_port_name(dir.filePath(QStringLiteral("ttyUSB9")), by_id), QString());
    QCOMPARE(device_key(QStringLiteral("A1/B2"), QStringLiteral("usb-Bridge_B-if00-port0"), port),
             QStringLiteral("serial:A1/B2"));
    QCOMPARE(device_key(QString(), QStringLiteral("usb-Bridge_B-if00-port0"), port),
             QStringLiteral("by-id:usb-Bridge_B-if00-port0"));
    QCOMPARE(device_key(QString(), QString(), port), QStringLiteral("port:") + port);
}

QTEST_GUILESS_MAIN(TestShowStore)
#include "test_show_store.moc"

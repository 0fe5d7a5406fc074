// The show as the windows give it, over two simulated devices whose links
// drop and come back: All Devices' names, alarm words, glyphs and count, the
// acknowledgements, the main window's line of alarms; the show log's files,
// and the show's settings kept across runs from a file that could not be read.

#include "all_devices.h"
#include "device_list_model.h"
#include "device_names.h"
#include "device_roster.h"
#include "history_csv.h"
#include "language.h"
#include "show_log.h"
#include "show_log_window.h"
#include "show_monitor.h"
#include "show_settings_dialog.h"
#include "test_support.h"
#include "tvc.h"

#include <QAction>
#include <QBuffer>
#include <QDialogButtonBox>
#include <QRegularExpression>
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class ShowWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void alarms_wait_to_be_seen_in_all_devices_and_the_main_window();
    void the_log_saves_what_it_holds_and_the_settings_come_back();

private:
    QTemporaryDir m_config;
};

void ShowWindowTest::initTestCase()
{
    // The user's settings file of this run: names and settings go there.
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config.path()));
    QVERIFY(install_translations(*qApp, QString()));
}

void ShowWindowTest::alarms_wait_to_be_seen_in_all_devices_and_the_main_window()
{
    QTemporaryDir links;
    std::vector<std::unique_ptr<sim::Device>> devices;
    for (int i = 0; i < 2; ++i) {
        sim::DeviceOptions options;
        options.symlinkPath = links.filePath(QStringLiteral("ttyUSB%1").arg(i));
        options.slot = quint8(i + 1);
        devices.push_back(start_device(options));
    }
    const PortFinder bridges = PortFinder::from_list(
        [&links] {
            QList<SerialPortEntry> ports;
            for (int i = 0; i < 2; ++i)
                ports.append({links.filePath(QStringLiteral("ttyUSB%1").arg(i)), QStringLiteral("Silicon Labs"), false,
                              QString(), false, QStringLiteral("TV00%1").arg(i)});
            return ports;
        },
        {links.path()});
    ModalAnswerer answerer;
    TVC window(bridges);
    child<QAction>(&window, "actionAll_Devices")->trigger();
    auto *overview = window.findChild<AllDevices *>();
    DeviceListModel *model = overview->model();
    auto *table = child<QTableView>(overview, "device_table");
    auto *line = child<QLabel>(&window, "l_alarms");
    QTRY_COMPARE(model->rowCount(), 2);
    QTRY_VERIFY(model->index(1, DeviceListModel::Device).data().toString().contains(QStringLiteral("Slot 2")));
    const auto cell = [model](int row, int column) { return model->index(row, column).data().toString(); };
    const QString own_port = model->entry(0).port;

    // A name in any script, with a line break and a character that would turn
    // the text around, is kept as given under the bridge's serial number and
    // shown on one line wherever the device is named.
    const QString given = QStringLiteral("Lead vocal\n\u202e\u05e9\u05d9\u05e8\u05d4");
    QVERIFY(model->setData(model->index(0, DeviceListModel::Name), given));
    const QString shown = QStringLiteral("Lead vocal \u05e9\u05d9\u05e8\u05d4");
    QCOMPARE(cell(0, DeviceListModel::Name), shown);
    QCOMPARE(DeviceNames(user_settings_file()).name(QStringLiteral("serial:TV000")), given);
    QTRY_VERIFY(child<QLabel>(&window, "l_device_port")->text().startsWith(shown));
    QVERIFY(model->spoken(0, DeviceListModel::Alarm).startsWith(shown));
    child<QAction>(&window, "actionSignal_History")->trigger();
    QTRY_COMPARE(window.findChild<QDialog *>(QStringLiteral("SignalHistory"))->windowTitle(),
                 QStringLiteral("Signal History: ") + shown);

    // The other device loses its link: a running alarm in words and glyph,
    // counted in both windows; acknowledged, it stays while its cause lasts.
    QVERIFY(line->isHidden());
    devices[1]->setLinkState(1);
    QTRY_VERIFY(cell(1, DeviceListModel::Alarm).startsWith(QStringLiteral("\u26a0 link lost since ")));
    QCOMPARE(overview->windowTitle(), QStringLiteral("All Devices (1 alarm)"));
    QTRY_COMPARE(line->text(), QStringLiteral("1 alarm"));
    QCOMPARE(line->accessibleName(), QStringLiteral("Alarm: %1: link lost. 1 alarm").arg(model->entry(1).port));
    QVERIFY(!line->isHidden());
    table->setCurrentIndex(model->index(1, 0));
    child<QPushButton>(overview, "acknowledge_button")->click();
    QTRY_VERIFY(cell(1, DeviceListModel::Alarm).endsWith(QStringLiteral(", seen")));
    QCOMPARE(overview->windowTitle(), QStringLiteral("All Devices"));
    QVERIFY(!child<QPushButton>(overview, "acknowledge_all_button")->isEnabled());
    devices[1]->setLinkState(2);
    QTRY_VERIFY(cell(1, DeviceListModel::Alarm).isEmpty());

    // The window's own device loses its link and gets it back: a past alarm
    // with its start and length, until Acknowledge All.
    devices[0]->setLinkState(1);
    QTRY_VERIFY(line->text().startsWith(QStringLiteral("1 alarm \u00b7 This device: \u26a0 link lost since ")));
    devices[0]->setLinkState(2);
    const QRegularExpression past(QStringLiteral("^\u2691 link lost \\d\\d:\\d\\d:\\d\\d for \\d+\\.\\d s$"));
    QTRY_VERIFY2(past.match(cell(0, DeviceListModel::Alarm)).hasMatch(), qPrintable(cell(0, DeviceListModel::Alarm)));
    QTRY_VERIFY(line->text().endsWith(cell(0, DeviceListModel::Alarm)));
    QCOMPARE(overview->windowTitle(), QStringLiteral("All Devices (1 alarm)"));
    child<QPushButton>(overview, "acknowledge_all_button")->click();
    QTRY_VERIFY(cell(0, DeviceListModel::Alarm).isEmpty());
    QTRY_VERIFY(line->isHidden());

    // The show log has both alarms, each under its device's name then.
    ShowLog *log = window.findChild<ShowMonitor *>()->log();
    QCOMPARE(log->size(), 2);
    QCOMPARE(log->device(log->entry(0)).name, QString());
    QCOMPARE(log->device(log->entry(1)).name, given);
    QCOMPARE(log->device(log->entry(1)).port, own_port);
}

void ShowWindowTest::the_log_saves_what_it_holds_and_the_settings_come_back()
{
    QTemporaryDir dir;
    // A log of two entries that held three: an alarm and an event remain.
    ShowLog log(2);
    AlarmRecord alarm;
    alarm.device = {QStringLiteral("ttyUSB0"), QStringLiteral("serial:A"), QStringLiteral("Master")};
    for (quint64 id = 1; id <= 2; ++id) {
        alarm.alarm.id = id;
        alarm.alarm.start_ms = qint64(id) * 1000;
        log.add_alarm(alarm, QStringLiteral("Drums, \"left\""));
    }
    EventRecord event;
    event.device = alarm.device;
    event.event.at_ms = 5000;
    log.add_event(event, QString());
    ShowLogWindow window(&log);
    auto *table = child<QTableView>(&window, "log_table");
    QCOMPARE(table->model()->rowCount(), 2);
    child<QCheckBox>(&window, "alarms_only_box")->setChecked(true);
    QCOMPARE(table->model()->rowCount(), 1);
    QVERIFY(child<QLabel>(&window, "summary_label")->text().contains(log.dropped_text()));

    // Saved whole, filter or not, as the log writes it; a place that cannot
    // be written says why and leaves no file.
    for (const bool json : {false, true}) {
        QBuffer expected;
        expected.open(QIODevice::WriteOnly);
        QVERIFY(json ? log.write_json_lines(&expected) : log.write_csv(&expected));
        const QString path = dir.filePath(json ? QStringLiteral("log.jsonl") : QStringLiteral("log.csv"));
        QCOMPARE(window.save(path, json), QString());
        QCOMPARE(contents(path), expected.data());
    }
    QVERIFY(!window.save(dir.filePath(QStringLiteral("none/log.csv")), false).isEmpty());
    QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("none"))));

    // The file of all devices' histories names each device after its port,
    // a long name cut, quoted as it needs.
    ReportLog history;
    history.add_signal(1000, -60, -70);
    QBuffer histories;
    histories.open(QIODevice::WriteOnly);
    const QString long_name = QStringLiteral("a,b") + QString(100, QLatin1Char('x'));
    QVERIFY(write_histories_csv({{QStringLiteral("ttyUSB0"), history.freeze(), long_name}}, &histories));
    const QList<QByteArray> rows = histories.data().split('\n');
    QCOMPARE(rows.at(0) + '\n', HISTORIES_CSV_HEADER);
    QVERIFY2(rows.at(1).startsWith("ttyUSB0,\"a,b" + QByteArray(MAX_NAME_CHARS - 3, 'x') + "\","), rows.at(1));

    // Settings from a file that cannot be read: the defaults and a word of
    // it; the file stays until Save, and what was saved comes back.
    const QString file = dir.filePath(QStringLiteral("settings.conf"));
    const QByteArray damaged = "[show\nweak_dbm=-70\n";
    QFile damage(file);
    QVERIFY(damage.open(QIODevice::WriteOnly) && damage.write(damaged) == damaged.size());
    damage.close();
    DeviceRoster roster(PortFinder::from_list({}));
    {
        ShowMonitor monitor(&roster, file);
        ShowSettingsDialog dialog(&monitor);
        dialog.show();
        QCOMPARE(dialog.shown(), ShowSettings());
        QVERIFY(child<QLabel>(&dialog, "problem_label")->isVisible());
        QCOMPARE(contents(file), damaged);
        child<QSpinBox>(&dialog, "weak_box")->setValue(-70);
        child<QSpinBox>(&dialog, "clear_box")->setValue(5);
        child<QDoubleSpinBox>(&dialog, "minimum_box")->setValue(1.5);
        child<QCheckBox>(&dialog, "notifications_box")->setChecked(false);
        child<QDialogButtonBox>(&dialog, "buttons")->button(QDialogButtonBox::Save)->click();
        QCOMPARE(monitor.watch()->settings().minimum_ms, 1500);
        QVERIFY(monitor.settings_problem().isEmpty());
    }
    ShowMonitor again(&roster, file);
    QVERIFY(again.settings_problem().isEmpty());
    ShowSettings expected;
    expected.alarms = {-70, 5, 1500};
    expected.notifications = false;
    QCOMPARE(again.settings(), expected);
}

QTEST_MAIN(ShowWindowTest)
#include "test_show_window.moc"

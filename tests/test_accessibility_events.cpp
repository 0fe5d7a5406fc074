// The accessibility events the window and its dialogs send as the device's
// state changes: what makes a screen reader say "Link Status: no link" when
// the link drops. Qt sends them only while assistive technology listens, so
// this test runs through tests/with-accessibility.sh, which starts a virtual
// display and an accessibility bus; the events are caught in this process.

#include "accessibility.h"
#include "constants.h"
#include "frame.h"
#include "modal_answerer.h"
#include "status_display.h"
#include "test_support.h"
#include "tvc.h"

#include <QAccessible>
#include <QCheckBox>
#include <QDialog>
#include <QElapsedTimer>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QtTest>

namespace {

struct Seen
{
    QAccessible::Event type;
    QPointer<QObject> object;
    QString object_name;  // kept: a dialog may be gone by the time the test looks
    QString name;         // the object's accessible name as the event went out
    QString description;  // its description then
    QVariant value;       // the value a value event carries
};

QList<Seen> seen;

void record(QAccessibleEvent *event)
{
    QObject *object = event->object();
    Seen s{event->type(), object, object ? object->objectName() : QString(), QString(), QString(), QVariant()};
    if (QAccessibleInterface *iface = event->accessibleInterface()) {
        s.name = iface->text(QAccessible::Name);
        s.description = iface->text(QAccessible::Description);
    }
    if (event->type() == QAccessible::ValueChanged)
        s.value = static_cast<QAccessibleValueChangeEvent *>(event)->value();
    seen.append(s);
}

QList<Seen> events_of(QObject *object, QAccessible::Event type)
{
    QList<Seen> found;
    for (const Seen &s : qAsConst(seen)) {
        if (s.object == object && s.type == type)
            found.append(s);
    }
    return found;
}

QStringList names_announced(QObject *object)
{
    QStringList names;
    for (const Seen &s : events_of(object, QAccessible::NameChanged))
        names.append(s.name);
    return names;
}

// A main window without a device, whose display the test sets with replies.
struct Window
{
    // Shown, as a screen reader meets it: some widgets tell only then.
    Window()
        : window(PortFinder::from_list({}))
    {
        window.show();
        if (!QTest::qWaitForWindowExposed(&window))
            qWarning("the window did not show");
        seen.clear();
    }
    QWidget *get(const char *name) { return child<QWidget>(&window, name); }
    void reply(quint8 code, std::initializer_list<int> args) { window.parse_reply(frame_of(code, UNIT_WLAN, args)); }

    ModalAnswerer answerer;
    TVC window;
};

} // namespace

class AccessibilityEventsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void lamps_announce_each_change_once();
    void signal_bars_announce_their_level();
    void gain_input_mode_and_role_announce_their_words();
    void dialogs_announce_values_progress_and_the_end();
};

void AccessibilityEventsTest::initTestCase()
{
    QVERIFY2(QTest::qWaitFor([] { return QAccessible::isActive(); }, 10000),
             "no accessibility bus: run this test through tests/with-accessibility.sh");
    QAccessible::installUpdateHandler(record);
}

void AccessibilityEventsTest::cleanupTestCase()
{
    QAccessible::installUpdateHandler(nullptr);
}

void AccessibilityEventsTest::lamps_announce_each_change_once()
{
    Window t;
    QWidget *link = t.get("l_txq");
    // A TXU client reports a link, muted, +48V on.
    t.reply(RPL_DEVICE_INFO, {0x15, 0x32, 0x08});
    QCOMPARE(names_announced(link), QStringList({"Link Status: linked"}));
    QCOMPARE(names_announced(t.get("l_mute")), QStringList({"Muted"}));
    QCOMPARE(names_announced(t.get("l_ph_pwr")), QStringList({"+48V: on"}));

    // The link drops: announced once, however often the device says so.
    t.reply(RPL_LINK_STATE, {1});
    t.reply(RPL_LINK_STATE, {1});
    t.reply(RPL_DEVICE_INFO, {0x15, 0x31, 0x08});
    QCOMPARE(names_announced(link), QStringList({"Link Status: linked", "Link Status: no link"}));
    QCOMPARE(names_announced(t.get("l_mute")), QStringList({"Muted"}));

    t.reply(RPL_MUTE, {0});
    t.reply(RPL_PHANTOM, {0});
    QCOMPARE(names_announced(t.get("l_mute")), QStringList({"Muted", "Not muted"}));
    QCOMPARE(names_announced(t.get("l_ph_pwr")), QStringList({"+48V: on", "+48V: off"}));

    // The cable is pulled: the lamps say there is no device.
    t.window.reset_connection();
    QCOMPARE(names_announced(link).constLast(), QStringLiteral("Link Status: no device"));
    QCOMPARE(names_announced(t.get("l_repmode")).constLast(), QStringLiteral("Repeater Mode: no device"));
}

void AccessibilityEventsTest::signal_bars_announce_their_level()
{
    Window t;
    QWidget *from_txu = t.get("progressBar");
    t.reply(RPL_DEVICE_INFO, {0x01, 0x02});
    child<QCheckBox>(&t.window, "cbox_rssi")->setChecked(true);
    seen.clear();

    t.reply(RPL_SIGNAL, {0xC9, 0xFF, 0, 0});  // -55
    const QList<Seen> values = events_of(from_txu, QAccessible::ValueChanged);
    QCOMPARE(values.size(), 1);
    QCOMPARE(values.constFirst().value.toInt(), -55);
    const QList<Seen> descriptions = events_of(from_txu, QAccessible::DescriptionChanged);
    QCOMPARE(descriptions.size(), 1);
    QCOMPARE(descriptions.constFirst().description, QStringLiteral("\u221255 dBm, fair"));

    // The same level again changes nothing and says nothing.
    t.reply(RPL_SIGNAL, {0xC9, 0xFF, 0, 0});
    QCOMPARE(events_of(from_txu, QAccessible::ValueChanged).size(), 1);
    QCOMPARE(events_of(from_txu, QAccessible::DescriptionChanged).size(), 1);

    // A wandering level, reported a hundred times a second: its words are
    // told at most once a second, and the latest ones in the end.
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < 100; ++i) {
        const int level = -40 - i % 30;
        t.reply(RPL_SIGNAL, {level & 0xFF, 0xFF, 0, 0});
    }
    const qint64 took_ms = clock.elapsed();
    QVERIFY2(events_of(from_txu, QAccessible::DescriptionChanged).size() <= 2 + int(took_ms / PACED_MS),
             qPrintable(QString::number(events_of(from_txu, QAccessible::DescriptionChanged).size())));
    QTRY_COMPARE(events_of(from_txu, QAccessible::DescriptionChanged).constLast().description,
                 QStringLiteral("\u221249 dBm, good"));

    // The link drops: the bar falls to no reading, and says so at once.
    t.reply(RPL_LINK_STATE, {1});
    QCOMPARE(events_of(from_txu, QAccessible::ValueChanged).constLast().value.toInt(), SIGNAL_FLOOR);
    QCOMPARE(events_of(from_txu, QAccessible::DescriptionChanged).constLast().description,
             QStringLiteral("no reading"));
}

void AccessibilityEventsTest::gain_input_mode_and_role_announce_their_words()
{
    Window t;
    t.reply(RPL_DEVICE_INFO, {0x15, 0x02, 0x85});
    QCOMPARE(names_announced(t.get("lcd_gain")), QStringList({"Gain: 9"}));
    QCOMPARE(names_announced(t.get("l_audio_in")), QStringList({"Input mode: MIC Mode"}));
    QCOMPARE(names_announced(t.get("l_p2p_devtype")).constLast().trimmed(), QStringLiteral("TXU Client (Slot 1)"));

    t.reply(RPL_AUDIO, {0x86, 0});
    t.reply(RPL_AUDIO, {0x86, 0});
    QCOMPARE(names_announced(t.get("lcd_gain")), QStringList({"Gain: 9", "Gain: 10"}));
    QCOMPARE(names_announced(t.get("l_audio_in")), QStringList({"Input mode: MIC Mode"}));
}

void AccessibilityEventsTest::dialogs_announce_values_progress_and_the_end()
{
    LinkedWindow t(txu_device());
    QVERIFY(t.ready());
    auto of = [](const char *object_name, QAccessible::Event type) {
        QList<Seen> found;
        for (const Seen &s : qAsConst(seen)) {
            if (s.object_name == QLatin1String(object_name) && s.type == type)
                found.append(s);
        }
        return found;
    };

    // The temperature field and the sniffer log tell that their text changed,
    // even while their dialogs are hidden.
    seen.clear();
    t.window->parse_reply(frame_of(RPL_TEMPERATURE, UNIT_WLAN, {0x2A, 0x00}));
    QVERIFY(!of("htemp_val", QAccessible::TextUpdated).isEmpty() || !of("htemp_val", QAccessible::TextInserted).isEmpty());
    t.window->parse_reply(frame_of(RPL_SNIFF, UNIT_WLAN, {5, 0, 3, 0, 7, 0, 1, 0, 0xC4, 0xFF}));
    QVERIFY(!of("sniffer_info", QAccessible::TextInserted).isEmpty() || !of("sniffer_info", QAccessible::TextUpdated).isEmpty());

    // A firmware update: the module being sent and the progress are read as
    // they change, and the end comes as an alert.
    QTemporaryDir dir;
    const QString zip = dir.filePath("package.zip");
    Package package;
    package.wlan = pattern(2500, 4);
    QVERIFY(package.write(dir, zip));
    seen.clear();
    const FirmwareDialogRun run = run_firmware_dialog(*t.window, [&](QDialog *dialog) {
        t.answerer.queue_file(zip);
        child<QAbstractButton>(dialog, "get_fw_button")->click();
        child<QAbstractButton>(dialog, "start_fw_button")->click();
        QTRY_VERIFY_WITH_TIMEOUT(t.answerer.titles().contains("Firmware Update"), 20000);
    });
    QVERIFY(run.dialog_shown);

    QStringList modules;
    for (const Seen &s : of("cur_module", QAccessible::NameChanged))
        modules.append(s.name);
    // Then the device's restart, and its answer once it is asked for its new versions.
    QCOMPARE(modules.mid(0, 3), QStringList({"Updating WLAN Firmware...", "Updating DSP Firmware...",
                                             "The device is restarting with its new firmware; the main window links "
                                             "it again when it answers."}));
    QVERIFY2(modules.size() == 3 || modules.mid(3) == QStringList({"The device answers again: it runs the new firmware."}),
             qPrintable(modules.join('|')));

    QList<int> progress;
    for (const Seen &s : of("fw_progress_bar", QAccessible::ValueChanged))
        progress.append(s.value.toInt());
    // Back to 0 for the DSP image, and full at the end, where it stays.
    QVERIFY2(progress.count(0) >= 1 && progress.size() >= 6 && progress.last() == package.txu.size(),
             qPrintable(QString::number(progress.size())));
    // The bar moves in at most 500 steps an image, not once a chunk.
    QVERIFY2(progress.size() <= 2 * 510, qPrintable(QString::number(progress.size())));

    int alerts = 0;
    for (const Seen &s : qAsConst(seen))
        alerts += s.type == QAccessible::Alert ? 1 : 0;
    QCOMPARE(alerts, 1);
}

QTEST_MAIN(AccessibilityEventsTest)
#include "test_accessibility_events.moc"

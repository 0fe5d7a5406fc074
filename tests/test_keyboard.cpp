// The window and its dialogs driven by the keyboard alone, against the
// simulated device: every control is reached with Tab and used with Space or
// Enter, and the menus open from the keyboard.

#include "constants.h"
#include "frame.h"
#include "modal_answerer.h"
#include "test_support.h"
#include "tvc.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QtTest>

namespace {

// Keys as the keyboard gives them: to the window that has the focus, which
// passes them on to an open menu, a dialog or the focused control.
void key(Qt::Key k, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QWindow *window = QGuiApplication::focusWindow();
    if (!window)
        qFatal("no window has the keyboard for key %x", k);
    QTest::keyClick(window, k, modifiers);
}

QString focused()
{
    QWidget *widget = QApplication::focusWidget();
    return widget ? widget->objectName() : QString();
}

// Tab until `name` has the focus; false when a whole round does not reach it.
bool tab_to(const char *name)
{
    for (int i = 0; i < 30 && focused() != QLatin1String(name); ++i)
        key(Qt::Key_Tab);
    return focused() == QLatin1String(name);
}

// What a window manager does when a window opens or a dialog closes: the
// window gets the keyboard.
bool activate(QWidget *window)
{
    window->activateWindow();
    return QTest::qWaitFor([window] { return QGuiApplication::focusWindow() == window->windowHandle(); });
}

// Frames of this code the device received since the last look.
int sent(sim::Device &device, quint8 code)
{
    return received_with_code(device, code).size();
}

// The mute and gain buttons accept one press a second.
constexpr int PAST_THE_GUARD_MS = 1600;

} // namespace

class KeyboardTest : public QObject
{
    Q_OBJECT

private slots:
    void every_control_of_the_window_by_keyboard();
    void menus_and_dialogs_by_keyboard();
    void enter_presses_a_button_once_as_it_goes_up();
};

void KeyboardTest::every_control_of_the_window_by_keyboard()
{
    sim::DeviceOptions master;
    master.role = sim::Role::Master;
    master.channel = 40;
    LinkedWindow t(master);
    QVERIFY(t.ready());
    TVC &window = *t.window;
    window.show();
    QVERIFY(activate(&window));
    QTRY_VERIFY(child<QComboBox>(&window, "chanlist")->count() > 0);
    QTRY_COMPARE(child<QComboBox>(&window, "chanlist")->currentText(), QStringLiteral("40"));

    // Tab goes round the enabled controls in reading order: the device line,
    // then the master's controls, then gain and mute.
    QStringList round;
    key(Qt::Key_Tab);
    while (!round.contains(focused()) && round.size() < 20) {
        round.append(focused());
        key(Qt::Key_Tab);
    }
    while (round.constFirst() != QLatin1String("refresh_button"))
        round.append(round.takeFirst());
    QCOMPARE(round, QStringList({"refresh_button", "chanlist", "link_button", "gain_up_button", "gain_down_button",
                                 "mute_button"}));
    // Shift+Tab goes back.
    QVERIFY(tab_to("link_button"));
    key(Qt::Key_Backtab);
    QCOMPARE(focused(), QStringLiteral("chanlist"));

    // The channel list opens with Space; an arrow and Enter choose.
    t.device->clearReceived();
    key(Qt::Key_Space);
    QTRY_VERIFY(QApplication::activePopupWidget());
    key(Qt::Key_Down);
    key(Qt::Key_Return);
    QTRY_COMPARE(sent(*t.device, CMD_SET_CHANNEL), 1);
    QCOMPARE(quint8(received_with_code(*t.device, CMD_SET_CHANNEL).constFirst().at(8)), quint8(44));

    // LINK with Space and with Enter.
    QVERIFY(tab_to("link_button"));
    key(Qt::Key_Space);
    QTRY_COMPARE(sent(*t.device, CMD_LINK), 1);
    key(Qt::Key_Return);
    QTRY_COMPARE(sent(*t.device, CMD_LINK), 2);

    // Gain up with Space, gain down with Enter, mute with the keypad's Enter.
    QTRY_VERIFY(child<QWidget>(&window, "grpbox_gain")->isEnabled());
    QVERIFY(tab_to("gain_up_button"));
    key(Qt::Key_Space);
    QTRY_COMPARE(sent(*t.device, CMD_GAIN), 1);
    QTest::qWait(PAST_THE_GUARD_MS);
    QVERIFY(tab_to("gain_down_button"));
    key(Qt::Key_Return);
    QTRY_COMPARE(sent(*t.device, CMD_GAIN), 2);
    const QList<QByteArray> gains = received_with_code(*t.device, CMD_GAIN);
    QCOMPARE(QList<int>({quint8(gains.at(0).at(8)), quint8(gains.at(1).at(8))}), QList<int>({1, 0}));
    QTest::qWait(PAST_THE_GUARD_MS);
    QVERIFY(tab_to("mute_button"));
    key(Qt::Key_Enter, Qt::KeypadModifier);
    QTRY_COMPARE(sent(*t.device, CMD_MUTE), 1);

    // Refresh with Enter connects again: the status request goes out anew.
    QVERIFY(tab_to("refresh_button"));
    t.device->clearReceived();
    key(Qt::Key_Return);
    QTRY_VERIFY(sent(*t.device, CMD_STATUS) >= 1);

    // A device that is not a TXU: Signal Strength is ticked with Space and
    // the bars read the levels.
    QVERIFY(t.ready());
    t.device->options().role = sim::Role::Client;
    t.device->options().txu = false;
    t.device->options().signalLevel = -58;
    t.device->runCommand(QStringLiteral("info"));
    QTRY_VERIFY(child<QCheckBox>(&window, "cbox_rssi")->isEnabled());
    QVERIFY(tab_to("cbox_rssi"));
    key(Qt::Key_Space);
    QTRY_COMPARE(sent(*t.device, CMD_REPORT_MODE), 1);
    QCOMPARE(quint8(received_with_code(*t.device, CMD_REPORT_MODE).constFirst().at(8)), quint8(1));
    QTRY_COMPARE(child<QProgressBar>(&window, "progressBar")->text(), QStringLiteral("\u221258 dBm"));
}

void KeyboardTest::menus_and_dialogs_by_keyboard()
{
    LinkedWindow t(txu_device());
    QVERIFY(t.ready());
    TVC &window = *t.window;
    window.show();
    QVERIFY(activate(&window));

    // Alt reaches the menu bar; About is to the right, Service Mode its
    // fourth entry (after User Guide, Info and Register). The code is typed
    // into Qt's own input dialog.
    t.answerer.queue_text(QStringLiteral("taverox5190"));
    key(Qt::Key_Alt);
    QTRY_VERIFY(window.menuBar()->activeAction());
    key(Qt::Key_Right);
    key(Qt::Key_Down);
    QTRY_VERIFY(QApplication::activePopupWidget());
    key(Qt::Key_Down);
    key(Qt::Key_Down);
    key(Qt::Key_Down);
    key(Qt::Key_Return);
    QTRY_COMPARE(window.service_level, quint8(2));
    QVERIFY(activate(&window));

    // Options, Heron Temperature (after Refresh, Device Version, Firmware
    // Update, Signal History, All Devices, Show Log and Show Settings): Get is
    // reached with Tab and pressed with Space.
    key(Qt::Key_Alt);
    QTRY_VERIFY(window.menuBar()->activeAction());
    key(Qt::Key_Down);
    QTRY_VERIFY(QApplication::activePopupWidget());
    for (int i = 0; i < 7; ++i)
        key(Qt::Key_Down);
    key(Qt::Key_Return);
    auto *heron = window.findChild<QDialog *>(QStringLiteral("HeronTemp"));
    QTRY_VERIFY(heron->isVisible());
    QVERIFY(activate(heron));
    t.device->clearReceived();
    QVERIFY(tab_to("htemp_ref_button"));
    key(Qt::Key_Space);
    QTRY_COMPARE(sent(*t.device, CMD_TEMPERATURE), 1);
    QTRY_COMPARE(child<QLineEdit>(heron, "htemp_val")->text(), QStringLiteral("38"));
    key(Qt::Key_Return);  // Enter on Get asks again
    QTRY_COMPARE(sent(*t.device, CMD_TEMPERATURE), 2);
    key(Qt::Key_Escape);
    QTRY_VERIFY(!heron->isVisible());

    // Options, Sniffer: Tab leaves the log (it takes no tab characters),
    // Start with Space, Stop with Enter.
    QVERIFY(activate(&window));
    key(Qt::Key_Alt);
    QTRY_VERIFY(window.menuBar()->activeAction());
    key(Qt::Key_Down);
    QTRY_VERIFY(QApplication::activePopupWidget());
    for (int i = 0; i < 8; ++i)
        key(Qt::Key_Down);
    key(Qt::Key_Return);
    auto *sniffer = window.findChild<QDialog *>(QStringLiteral("Sniffer"));
    QTRY_VERIFY(sniffer->isVisible());
    QVERIFY(activate(sniffer));
    auto *log = child<QPlainTextEdit>(sniffer, "sniffer_info");
    log->setFocus(Qt::TabFocusReason);
    key(Qt::Key_Tab);
    QCOMPARE(focused(), QStringLiteral("sniff_start_button"));
    QVERIFY(log->toPlainText().isEmpty());
    key(Qt::Key_Space);
    QTRY_COMPARE(sent(*t.device, CMD_REPORT_MODE), 1);
    QTRY_VERIFY(!log->toPlainText().isEmpty());
    QVERIFY(tab_to("sniff_stop_button"));
    key(Qt::Key_Return);
    QTRY_COMPARE(sent(*t.device, CMD_REPORT_MODE), 2);
    const QList<QByteArray> modes = received_with_code(*t.device, CMD_REPORT_MODE);
    QCOMPARE(QList<int>({quint8(modes.at(0).at(8)), quint8(modes.at(1).at(8))}), QList<int>({2, 0}));
    key(Qt::Key_Escape);
    QTRY_VERIFY(!sniffer->isVisible());

    // The firmware dialog: "..." with Space picks a raw image, Start with
    // Enter sends it.
    QTemporaryDir dir;
    const QString image = write_file(dir, QStringLiteral("wlan.bin"), pattern(450, 9));
    const FirmwareDialogRun run = run_firmware_dialog(window, [&](QDialog *dialog) {
        QVERIFY(activate(dialog));
        t.answerer.queue_file(image);
        QVERIFY(tab_to("get_fw_button"));
        key(Qt::Key_Space);
        QTRY_COMPARE(child<QLineEdit>(dialog, "fw_path")->text(), image);
        QVERIFY(activate(dialog));  // the file chooser has closed
        QVERIFY(tab_to("start_fw_button"));
        key(Qt::Key_Return);
        QTRY_VERIFY_WITH_TIMEOUT(t.answerer.titles().contains(QStringLiteral("Firmware Update")), 20000);
    });
    QVERIFY(run.dialog_shown);
    QCOMPARE(t.device->receivedImage(UNIT_WLAN), pattern(450, 9));
}

void KeyboardTest::enter_presses_a_button_once_as_it_goes_up()
{
    sim::DeviceOptions master;
    master.role = sim::Role::Master;
    master.linkRestoreMs = 100000;  // the link stays down after LINK: nothing else changes
    LinkedWindow t(master);
    QVERIFY(t.ready());
    TVC &window = *t.window;
    window.show();
    QVERIFY(activate(&window));
    QVERIFY(tab_to("link_button"));
    auto *link = child<QAbstractButton>(&window, "link_button");
    auto *refresh = child<QAbstractButton>(&window, "refresh_button");
    QSignalSpy link_clicks(link, &QAbstractButton::clicked);
    QSignalSpy refresh_clicks(refresh, &QAbstractButton::clicked);

    // Held down (the key repeats going down), LINK is pressed once, as the
    // key goes up.
    for (int i = 0; i < 4; ++i)
        QTest::keyPress(link, Qt::Key_Return);
    QCOMPARE(link_clicks.count(), 0);
    QTest::keyRelease(link, Qt::Key_Return);
    QCOMPARE(link_clicks.count(), 1);
    QTRY_COMPARE(sent(*t.device, CMD_LINK), 1);

    // A key that went down elsewhere presses nothing where it goes up.
    QTest::keyRelease(link, Qt::Key_Return);
    QTest::keyPress(link, Qt::Key_Enter, Qt::KeypadModifier);
    QVERIFY(tab_to("refresh_button"));
    QTest::keyRelease(refresh, Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(link_clicks.count(), 1);
    QCOMPARE(refresh_clicks.count(), 0);

    // A key whose release went astray does not swallow the next press.
    QTest::keyPress(refresh, Qt::Key_Return);
    QVERIFY(tab_to("link_button"));
    QTest::keyClick(link, Qt::Key_Return);
    QCOMPARE(link_clicks.count(), 2);
    QCOMPARE(refresh_clicks.count(), 0);
}

QTEST_MAIN(KeyboardTest)
#include "test_keyboard.moc"

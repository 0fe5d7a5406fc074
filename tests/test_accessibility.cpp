// What assistive technology reads from the window and its dialogs, what the
// lamps and buttons look like without colour, and whether every text stays
// readable under a dark desktop palette.

#include "accessibility.h"
#include "all_devices.h"
#include "constants.h"
#include "form_widgets.h"
#include "frame.h"
#include "modal_answerer.h"
#include "test_support.h"
#include "tvc.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QAccessibleValueInterface>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLCDNumber>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabBar>
#include <QTableView>
#include <QToolButton>
#include <QtTest>

namespace {

const QColor PANEL(0xF0, 0xF0, 0xF0);

QAccessibleInterface *accessible(QWidget *widget)
{
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(widget);
    if (!iface)
        qFatal("no accessible interface for %s", qPrintable(widget->objectName()));
    return iface;
}

QString name_of(QWidget *widget)
{
    return accessible(widget)->text(QAccessible::Name);
}

QString description_of(QWidget *widget)
{
    return accessible(widget)->text(QAccessible::Description);
}

// A main window without a device, whose display the test sets with replies.
struct Window
{
    Window()
        : window(PortFinder::from_list({}))
    {
    }
    template <class T = QWidget>
    T *get(const char *name)
    {
        return child<T>(&window, name);
    }
    void reply(quint8 code, std::initializer_list<int> args) { window.parse_reply(frame_of(code, UNIT_WLAN, args)); }
    // A TXU master with a link: the master and gain controls are enabled;
    // then an RXU's report enables the signal widgets too.
    void enable_every_control()
    {
        reply(RPL_DEVICE_INFO, {0x04, 0x02, 0x08});
        reply(RPL_DEVICE_INFO, {0x01, 0x02});
    }
    void show()
    {
        window.show();
        QApplication::setActiveWindow(&window);
        QVERIFY(QTest::qWaitForWindowActive(&window));
    }

    ModalAnswerer answerer;
    TVC window;
};

// The lightest and the darkest pixel in the middle part of a widget's
// picture, as the contrast between them.
double contrast_in_middle(const QImage &image, double part)
{
    const int w = image.width(), h = image.height();
    QColor darkest(Qt::white), lightest(Qt::black);
    for (int y = int(h * (1 - part) / 2); y < int(h * (1 + part) / 2); ++y) {
        for (int x = int(w * (1 - part) / 2); x < int(w * (1 + part) / 2); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (qGray(c.rgb()) < qGray(darkest.rgb()))
                darkest = c;
            if (qGray(c.rgb()) > qGray(lightest.rgb()))
                lightest = c;
        }
    }
    return contrast_ratio(darkest, lightest);
}

// Pixels whose grey levels differ clearly between two pictures of one size.
int grey_differences(const QImage &a, const QImage &b)
{
    int count = 0;
    for (int y = 0; y < qMin(a.height(), b.height()); ++y) {
        for (int x = 0; x < qMin(a.width(), b.width()); ++x) {
            if (qAbs(qGray(a.pixel(x, y)) - qGray(b.pixel(x, y))) > 40)
                ++count;
        }
    }
    return count;
}

// How well a widget's text stands out where it is drawn: the contrast
// between the darkest and the lightest pixel of its place in the window.
double text_contrast_in_window(QWidget *window, QWidget *widget)
{
    const QImage shot = window->grab().toImage();
    const QRect place(widget->mapTo(window, QPoint(0, 0)), widget->size());
    return contrast_in_middle(shot.copy(place), 1.0);
}

QPalette dark_palette()
{
    QPalette dark(QColor(0x31, 0x36, 0x3b), QColor(0x31, 0x36, 0x3b));
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        dark.setColor(role, QColor(0xef, 0xf0, 0xf1));
    dark.setColor(QPalette::Base, QColor(0x23, 0x26, 0x29));
    return dark;
}


QStringList sorted(QStringList list)
{
    list.sort();
    return list;
}

// The report modes a device was asked for, in order.
QList<int> report_modes(const sim::Device &device)
{
    QList<int> modes;
    for (const QByteArray &frame : received_with_code(device, CMD_REPORT_MODE))
        modes << quint8(frame.at(8));
    return modes;
}

// Presses every button of `window` as a screen reader does, through the
// accessible Press action, and a checkable one then through Toggle: each
// action must click the button once, as the mouse does, and a checkable one
// must change its state each time. Buttons that are disabled (a screen
// reader is told so) are pressed in a later round once they are enabled;
// the rounds end when no enabled button is left unpressed. Buttons named in
// `last` are pressed after that, in their order, in a final round (they
// close the window or break the link). `before` runs before each press (to answer a dialog
// that the button opens). The buttons pressed go to *pressed, in order.
void press_every_button(QWidget *window, QStringList *pressed, const QStringList &last = {},
                        const std::function<void(QAbstractButton *)> &before = {})
{
    QList<QAbstractButton *> buttons;
    for (QAbstractButton *button : window->findChildren<QAbstractButton *>()) {
        // The tab bars' scroll arrows are Qt's own.
        if (button->window() == window && !qobject_cast<QTabBar *>(button->parentWidget()))
            buttons << button;
    }
    std::stable_sort(buttons.begin(), buttons.end(), [&last](QAbstractButton *a, QAbstractButton *b) {
        return last.indexOf(a->objectName()) < last.indexOf(b->objectName());
    });
    std::vector<std::unique_ptr<QSignalSpy>> clicks;
    QList<int> expected;
    for (bool progress = true, final_round = false; progress || !final_round;) {
        final_round = final_round || !progress;
        progress = false;
        for (QAbstractButton *button : std::as_const(buttons)) {
            const QString name = button->objectName();
            if (pressed->contains(name) || !button->isVisibleTo(window) || last.contains(name) != final_round)
                continue;
            QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(button);
            QAccessibleActionInterface *actions = iface->actionInterface();
            QCOMPARE(iface->state().disabled, !button->isEnabled());
            if (!button->isEnabled())
                continue;
            QVERIFY2(actions && actions->actionNames().contains(QAccessibleActionInterface::pressAction()),
                     qPrintable(name));
            clicks.push_back(std::make_unique<QSignalSpy>(button, &QAbstractButton::clicked));
            QSignalSpy &spy = *clicks.back();
            const bool checked = button->isChecked();
            if (before)
                before(button);
            actions->doAction(QAccessibleActionInterface::pressAction());
            QTRY_VERIFY2(spy.count() == 1, qPrintable(name));
            if (button->isCheckable()) {
                QVERIFY2(button->isChecked() != checked, qPrintable(name));
                QVERIFY2(actions->actionNames().contains(QAccessibleActionInterface::toggleAction()),
                         qPrintable(name));
                actions->doAction(QAccessibleActionInterface::toggleAction());
                QTRY_VERIFY2(spy.count() == 2, qPrintable(name));
                QVERIFY2(button->isChecked() == checked, qPrintable(name));
            }
            expected << spy.count();
            *pressed << name;
            progress = true;
        }
    }
    // Not one click more, also once every delayed click has had its time.
    QTest::qWait(300);
    for (size_t i = 0; i < clicks.size(); ++i)
        QVERIFY2(clicks[i]->count() == expected.at(int(i)), qPrintable(pressed->at(int(i))));
}

// The walk above, which ends the test at its first failure.
#define PRESS_EVERY_BUTTON(...)                                                                                   \
    do {                                                                                                          \
        press_every_button(__VA_ARGS__);                                                                          \
        if (QTest::currentTestFailed())                                                                           \
            return;                                                                                               \
    } while (false)

} // namespace

class AccessibilityTest : public QObject
{
    Q_OBJECT

private slots:
    void lamps_say_their_state_in_words();
    void lamp_looks_differ_in_grey_scale();
    void signal_bars_read_in_dbm_with_their_band();
    void gain_input_mode_and_role_are_read();
    void controls_are_named_buttons_that_act();
    void every_button_in_every_window_acts_on_a_screen_readers_press();
    void temperature_is_read_as_it_arrives();
    void enter_in_the_firmware_dialog_presses_only_the_focused_button();
    void focus_shows_on_every_control();
    void gain_arrows_stand_out_and_a_disabled_link_is_no_black_lamp();
    void panels_stay_legible_under_a_dark_palette();
};

void AccessibilityTest::lamps_say_their_state_in_words()
{
    Window t;
    // Before any report: no device, and the mute lamp unlit.
    QCOMPARE(name_of(t.get("l_txq")), QStringLiteral("Link Status: no device"));
    QCOMPARE(name_of(t.get("l_repmode")), QStringLiteral("Repeater Mode: no device"));
    QCOMPARE(name_of(t.get("l_ph_pwr")), QStringLiteral("+48V: no device"));
    QCOMPARE(name_of(t.get("l_mute")), QStringLiteral("Not muted"));

    // A TXU client, linked, muted, +48V on, in repeater mode.
    t.reply(RPL_DEVICE_INFO, {0x1D, 0x32, 0x08});
    QCOMPARE(name_of(t.get("l_txq")), QStringLiteral("Link Status: linked"));
    QCOMPARE(name_of(t.get("l_repmode")), QStringLiteral("Repeater Mode: on"));
    QCOMPARE(name_of(t.get("l_ph_pwr")), QStringLiteral("+48V: on"));
    QCOMPARE(name_of(t.get("l_mute")), QStringLiteral("Muted"));
    // Sighted users get the same words on hovering.
    for (const char *lamp : {"l_txq", "l_repmode", "l_ph_pwr", "l_mute"})
        QCOMPARE(t.get(lamp)->toolTip(), name_of(t.get(lamp)));

    t.reply(RPL_LINK_STATE, {1});
    t.reply(RPL_MUTE, {0});
    t.reply(RPL_PHANTOM, {0});
    QCOMPARE(name_of(t.get("l_txq")), QStringLiteral("Link Status: no link"));
    QCOMPARE(name_of(t.get("l_mute")), QStringLiteral("Not muted"));
    QCOMPARE(name_of(t.get("l_ph_pwr")), QStringLiteral("+48V: off"));

    // Without repeater mode a signal report lights the link lamp orange or
    // green, and the words follow; at the floor it keeps its state.
    t.reply(RPL_DEVICE_INFO, {0x01, 0x02});
    t.get<QCheckBox>("cbox_rssi")->setChecked(true);
    t.reply(RPL_SIGNAL, {0xC4, 0xFF, 0, 0});  // -60: a fair signal, as the bar's colour says
    QCOMPARE(name_of(t.get("l_txq")), QStringLiteral("Link Status: fair signal"));
    QCOMPARE(t.get<StatusLamp>("l_txq")->look(), LampLook::Weak);
    t.reply(RPL_SIGNAL, {0, 0, 0, 0});
    QCOMPARE(name_of(t.get("l_txq")), QStringLiteral("Link Status: fair signal"));
    t.reply(RPL_SIGNAL, {0xD8, 0xFF, 0, 0});  // -40
    // Words that follow signal reports are told at most once a second.
    QCOMPARE(t.get<StatusLamp>("l_txq")->look(), LampLook::Good);
    QTRY_COMPARE(name_of(t.get("l_txq")), QStringLiteral("Link Status: good signal"));

    // A reset says there is no device; the mute lamp keeps what it showed.
    t.reply(RPL_MUTE, {1});
    t.window.reset_connection();
    QCOMPARE(name_of(t.get("l_txq")), QStringLiteral("Link Status: no device"));
    QCOMPARE(t.get<StatusLamp>("l_txq")->look(), LampLook::Unlit);
    QCOMPARE(name_of(t.get("l_mute")), QStringLiteral("Muted"));
    QCOMPARE(t.get("l_mute")->styleSheet(), LED_RED);
}

void AccessibilityTest::lamp_looks_differ_in_grey_scale()
{
    Window t;
    t.show();
    auto *lamp = t.get<StatusLamp>("l_txq");
    auto picture = [lamp] { return lamp->grab().toImage().convertToFormat(QImage::Format_RGB32); };

    QList<QImage> looks;
    looks << picture();                              // unlit: no device
    t.reply(RPL_DEVICE_INFO, {0x01, 0x02});
    looks << picture();                              // green: linked
    t.get<QCheckBox>("cbox_rssi")->setChecked(true);
    t.reply(RPL_SIGNAL, {0xC4, 0xFF, 0, 0});
    looks << picture();                              // orange: weak signal
    t.reply(RPL_LINK_STATE, {1});
    looks << picture();                              // red: no link
    QCOMPARE(lamp->look(), LampLook::Alarm);

    // Every two looks differ in grey-scale by a glyph's worth of pixels (a
    // green and an orange lamp alone are almost the same grey).
    const char *names[] = {"unlit", "green", "orange", "red"};
    for (int i = 0; i < looks.size(); ++i) {
        for (int j = i + 1; j < looks.size(); ++j) {
            const int differing = grey_differences(looks.at(i), looks.at(j));
            QVERIFY2(differing >= 12, qPrintable(QStringLiteral("%1 and %2 differ in %3 pixels")
                                                     .arg(names[i], names[j]).arg(differing)));
        }
    }
}

void AccessibilityTest::signal_bars_read_in_dbm_with_their_band()
{
    Window t;
    auto *from_txu = t.get<QProgressBar>("progressBar");
    auto *from_repeater = t.get<QProgressBar>("progressBar_rep");
    QCOMPARE(name_of(from_txu), QStringLiteral("From TXU"));
    QCOMPARE(name_of(from_repeater), QStringLiteral("From Repeater"));
    QCOMPARE(accessible(from_txu)->role(), QAccessible::ProgressBar);
    QCOMPARE(from_txu->text(), QStringLiteral("no reading"));
    QCOMPARE(description_of(from_txu), QStringLiteral("no reading"));

    // Repeater mode, linked: both levels are shown.
    t.reply(RPL_DEVICE_INFO, {0x09, 0x02});
    t.get<QCheckBox>("cbox_rssi")->setChecked(true);
    t.reply(RPL_SIGNAL, {0xC9, 0xFF, 0xBA, 0xFF});  // -55, -70
    QCOMPARE(from_txu->text(), QStringLiteral("\u221255 dBm"));
    QCOMPARE(description_of(from_txu), QStringLiteral("\u221255 dBm, fair"));
    QCOMPARE(from_txu->toolTip(), QStringLiteral("\u221255 dBm, fair"));
    QCOMPARE(accessible(from_txu)->valueInterface()->currentValue().toInt(), -55);
    QCOMPARE(description_of(from_repeater), QStringLiteral("\u221270 dBm, weak"));
    // The name stays what the bar is; only the reading changes.
    QCOMPARE(name_of(from_txu), QStringLiteral("From TXU"));

    // A level above the bar's range leaves the bar where it was, but the
    // text tells the level reported.
    t.reply(RPL_SIGNAL, {0xEC, 0xFF, 0xCE, 0xFF});  // -20, -50
    QCOMPARE(from_txu->value(), -55);
    QCOMPARE(from_txu->text(), QStringLiteral("\u221220 dBm"));
    QCOMPARE(from_repeater->toolTip(), QStringLiteral("\u221250 dBm, good"));
    // The words a report brings are told at most once a second.
    QTRY_COMPARE(description_of(from_repeater), QStringLiteral("\u221250 dBm, good"));

    // Unticking drops both bars to no reading, in words too.
    t.get<QCheckBox>("cbox_rssi")->click();
    QCOMPARE(from_txu->text(), QStringLiteral("no reading"));
    QCOMPARE(description_of(from_repeater), QStringLiteral("no reading"));

    // So does a lost link of a device that is not a TXU.
    t.get<QCheckBox>("cbox_rssi")->setChecked(true);
    t.reply(RPL_SIGNAL, {0xC9, 0xFF, 0xBA, 0xFF});
    t.reply(RPL_LINK_STATE, {1});
    QCOMPARE(description_of(from_txu), QStringLiteral("no reading"));
    QCOMPARE(from_repeater->text(), QStringLiteral("no reading"));
}

void AccessibilityTest::gain_input_mode_and_role_are_read()
{
    Window t;
    auto *gain = t.get<QLCDNumber>("lcd_gain");
    auto *mode = t.get<QLabel>("l_audio_in");
    QCOMPARE(name_of(gain), QStringLiteral("Gain: 0"));
    QCOMPARE(name_of(mode), QStringLiteral("Input mode: none"));
    QCOMPARE(name_of(t.get("l_p2p_devtype")).trimmed(), QStringLiteral("No device found"));

    // A TXU client in MIC mode at gain 9, then in LINE mode below zero.
    t.reply(RPL_DEVICE_INFO, {0x15, 0x02, 0x85});
    QCOMPARE(name_of(gain), QStringLiteral("Gain: 9"));
    QCOMPARE(gain->toolTip(), QStringLiteral("Gain: 9"));
    QCOMPARE(name_of(mode), QStringLiteral("Input mode: MIC Mode"));
    // The role is read as plain words, without its markup.
    QCOMPARE(name_of(t.get("l_p2p_devtype")).trimmed(), QStringLiteral("TXU Client (Slot 1)"));
    t.reply(RPL_AUDIO, {0x05, 0});
    QCOMPARE(name_of(gain), QStringLiteral("Gain: \u22123"));
    QCOMPARE(name_of(mode), QStringLiteral("Input mode: LINE Mode"));

    t.window.reset_connection();
    QCOMPARE(name_of(gain), QStringLiteral("Gain: 0"));
    QCOMPARE(name_of(mode), QStringLiteral("Input mode: none"));
}

void AccessibilityTest::controls_are_named_buttons_that_act()
{
    sim::DeviceOptions master;
    master.role = sim::Role::Master;
    LinkedWindow t(master);
    QVERIFY(t.ready());

    struct Control
    {
        const char *object;
        const char *name;
        QAccessible::Role role;
    };
    const Control controls[] = {
        {"gain_up_button", "Gain up", QAccessible::Button},     {"gain_down_button", "Gain down", QAccessible::Button},
        {"mute_button", "Mute", QAccessible::Button},           {"link_button", "Link", QAccessible::Button},
        {"refresh_button", "Refresh", QAccessible::Button},     {"cbox_rssi", "Signal Strength", QAccessible::CheckBox},
    };
    for (const Control &control : controls) {
        QWidget *widget = child<QWidget>(t.window.get(), control.object);
        QCOMPARE(name_of(widget), QString::fromLatin1(control.name));
        QVERIFY2(accessible(widget)->role() == control.role, control.object);
    }
    // A list says what it is by its name and through the label beside it;
    // its entry is its value (Qt on Linux would name it by its entry).
    struct List
    {
        const char *object;
        const char *name;
        const char *label;
    };
    const List lists[] = {{"chanlist", "RF channel", "RF Channel"}, {"comportslist", "Serial port", "Serial Port:"}};
    for (const List &list : lists) {
        auto *widget = child<QComboBox>(t.window.get(), list.object);
        QCOMPARE(accessible(widget)->role(), QAccessible::ComboBox);
        QCOMPARE(name_of(widget), QString::fromLatin1(list.name));
        QVERIFY(!widget->currentText().isEmpty());
        QCOMPARE(accessible(widget)->text(QAccessible::Value), widget->currentText());
        QStringList labels;
        for (const auto &relation : accessible(widget)->relations(QAccessible::Label))
            labels << relation.first->text(QAccessible::Name);
        QVERIFY2(labels.contains(QString::fromLatin1(list.label)), qPrintable(labels.join(", ")));
    }

    // A screen reader presses the buttons through their press action.
    auto press = [&t](const char *object) {
        QAccessibleActionInterface *actions = accessible(child<QWidget>(t.window.get(), object))->actionInterface();
        QVERIFY(actions);
        QVERIFY(actions->actionNames().contains(QAccessibleActionInterface::pressAction()));
        actions->doAction(QAccessibleActionInterface::pressAction());
    };
    press("link_button");
    press("gain_up_button");
    // (The link drops and comes back after LINK; the master's reports in
    // between ask for its channel.)
    QTRY_COMPARE(received_with_code(*t.device, CMD_LINK).size(), 1);
    QTRY_COMPARE(received_with_code(*t.device, CMD_GAIN).size(), 1);
}

void AccessibilityTest::every_button_in_every_window_acts_on_a_screen_readers_press()
{
    // An RXU client enables the signal-strength box; a TXU master the
    // master's and the gain controls. The window takes the first.
    ModalAnswerer answerer;
    sim::DeviceOptions client;
    client.txu = false;
    sim::DeviceOptions master;
    master.role = sim::Role::Master;
    const auto rxu = start_device(client);
    const auto txu = start_device(master);
    TVC window(PortFinder::from_list([&] {
        return QList<SerialPortEntry>{{rxu->slavePath(), QStringLiteral("Silicon Labs")},
                                      {txu->slavePath(), QStringLiteral("Silicon Labs")}};
    }));
    auto *role = child<QLabel>(&window, "l_p2p_devtype");
    QTRY_VERIFY(role->text().contains(QStringLiteral("RXU Client")));
    enter_service_code(window, answerer, QStringLiteral("taverox5190"));
    QTemporaryDir dir;
    const QString image = write_file(dir, QStringLiteral("wlan.bin"), pattern(700, 4));
    const QStringList main_last = {"link_button", "refresh_button"};
    const auto cancel_save = [&answerer](QAbstractButton *button) {
        if (button->objectName().startsWith(QLatin1String("save")))
            answerer.queue_cancel();
    };

    // The main window, on the RXU client: its box switches the reports on
    // and off, on that device; Refresh connects it again.
    QStringList pressed;
    rxu->clearReceived();
    PRESS_EVERY_BUTTON(&window, &pressed, main_last);
    QCOMPARE(sorted(pressed), sorted({"cbox_rssi", "refresh_button"}));
    QTRY_COMPARE(report_modes(*rxu).mid(0, 2), QList<int>({1, 0}));
    QTRY_VERIFY(role->text().contains(QStringLiteral("RXU Client")));

    // All Devices, the master's row current: it becomes the window's.
    child<QAction>(&window, "actionAll_Devices")->trigger();
    auto *overview = window.findChild<AllDevices *>();
    auto *table = child<QTableView>(overview, "device_table");
    QTRY_COMPARE(table->model()->rowCount(), 2);
    QTRY_COMPARE(table->model()->index(1, 1).data().toString(), QStringLiteral("Master"));
    table->setCurrentIndex(table->model()->index(1, 0));
    txu->clearReceived();
    pressed.clear();
    PRESS_EVERY_BUTTON(overview, &pressed, {"close_button"});
    QCOMPARE(sorted(pressed), sorted({"reports_button", "rename_button", "show_button", "close_button"}));
    QVERIFY(!overview->isVisible());
    QVERIFY(role->text().contains(QStringLiteral("Master")));
    // Signal Strength for All asked the RXU client, whose box may be ticked,
    // and not the TXU master, whose box is greyed.
    QCOMPARE(report_modes(*txu), QList<int>());
    QTRY_COMPARE(report_modes(*rxu).mid(2), QList<int>({1}));

    // The main window again, on the master; Refresh takes it back to the
    // first device.
    pressed.clear();
    PRESS_EVERY_BUTTON(&window, &pressed, main_last);
    QCOMPARE(sorted(pressed), sorted({"mute_button", "gain_up_button", "gain_down_button", "link_button",
                                      "refresh_button"}));
    QTRY_VERIFY(role->text().contains(QStringLiteral("RXU Client")));

    // Signal History: its box is the main window's; the file dialogs are
    // cancelled.
    child<QAction>(&window, "actionSignal_History")->trigger();
    auto *history = window.findChild<QDialog *>(QStringLiteral("SignalHistory"));
    QTRY_VERIFY(child<QAbstractButton>(history, "history_reports")->isEnabled());
    rxu->clearReceived();
    pressed.clear();
    PRESS_EVERY_BUTTON(history, &pressed, {}, cancel_save);
    QCOMPARE(sorted(pressed), sorted({"history_reports", "pause_button", "all_devices_box", "save_csv_button",
                                      "save_png_button"}));
    QTRY_COMPARE(report_modes(*rxu), QList<int>({1, 0}));

    // Sniffer: normal, stop, then the repeater sniffer (enabled once stopped).
    child<QAction>(&window, "actionSniffer")->trigger();
    rxu->clearReceived();
    pressed.clear();
    PRESS_EVERY_BUTTON(window.findChild<QDialog *>(QStringLiteral("Sniffer")), &pressed, {},
                       cancel_save);
    QCOMPARE(sorted(pressed), sorted({"sniff_start_button", "sniff_stop_button", "save_button", "sniffrep_start_button"}));
    QTRY_COMPARE(report_modes(*rxu), QList<int>({2, 0, 3}));

    // Heron Temperature.
    child<QAction>(&window, "actionHeron_Temperature")->trigger();
    rxu->clearReceived();
    pressed.clear();
    PRESS_EVERY_BUTTON(window.findChild<QDialog *>(QStringLiteral("HeronTemp")), &pressed);
    QCOMPARE(pressed, QStringList({"htemp_ref_button"}));
    QTRY_COMPARE(received_with_code(*rxu, CMD_TEMPERATURE).size(), 1);

    // Firmware Update (service mode: a raw image): "..." picks the image,
    // then Start sends it.
    const FirmwareDialogRun run = run_firmware_dialog(window, [&](QDialog *dialog) {
        pressed.clear();
        PRESS_EVERY_BUTTON(dialog, &pressed, {}, [&answerer, &image](QAbstractButton *button) {
            if (button->objectName() == QLatin1String("get_fw_button"))
                answerer.queue_file(image);
        });
        QCOMPARE(sorted(pressed), sorted({"get_fw_button", "start_fw_button"}));
        QTRY_COMPARE(rxu->receivedImage(UNIT_WLAN), pattern(700, 4));
    });
    QVERIFY(run.dialog_shown);
}

void AccessibilityTest::temperature_is_read_as_it_arrives()
{
    // The dialog is hidden; the value is there when it opens.
    Window t;
    auto *value = child<QLineEdit>(t.window.findChild<QDialog *>(QStringLiteral("HeronTemp")), "htemp_val");
    QCOMPARE(accessible(value)->text(QAccessible::Value), QString());
    t.reply(RPL_TEMPERATURE, {0xD6, 0xFF});
    QCOMPARE(accessible(value)->text(QAccessible::Value), QStringLiteral("-42"));
    QCOMPARE(name_of(value), QStringLiteral("Module temperature"));
}

void AccessibilityTest::enter_in_the_firmware_dialog_presses_only_the_focused_button()
{
    LinkedWindow t(txu_device());
    QVERIFY(t.ready());
    QTemporaryDir dir;
    const QString zip = dir.filePath("package.zip");
    QVERIFY(Package().write(dir, zip));

    QStringList boxes_after_enter_in_path;
    const FirmwareDialogRun run = run_firmware_dialog(*t.window, [&](QDialog *dialog) {
        QApplication::setActiveWindow(dialog);
        QVERIFY(QTest::qWaitForWindowActive(dialog));
        // Enter on "..." chooses a package, as Space would.
        auto *choose = child<QToolButton>(dialog, "get_fw_button");
        choose->setFocus();
        t.answerer.queue_file(zip);
        QTest::keyClick(choose, Qt::Key_Return);
        QTRY_COMPARE(child<QLineEdit>(dialog, "fw_path")->text(), zip);
        auto *start = child<QPushButton>(dialog, "start_fw_button");
        QVERIFY(start->isEnabled());

        // Enter in the path field starts nothing: the update has no default button.
        auto *path = child<QLineEdit>(dialog, "fw_path");
        path->setFocus();
        QTest::keyClick(path, Qt::Key_Return);
        QTest::qWait(200);
        QVERIFY(start->isEnabled());
        QVERIFY(!child<QProgressBar>(dialog, "fw_progress_bar")->isVisible());
        QCOMPARE(received_with_code(*t.device, CMD_FW_DATA).size(), 0);
        dialog->reject();
    });
    QVERIFY(run.dialog_shown);
    QVERIFY(!run.quit_requested);
}

void AccessibilityTest::focus_shows_on_every_control()
{
    Window t;
    t.enable_every_control();
    t.show();
    // Focus moved by the keyboard is what the styles show.
    QTest::keyClick(&t.window, Qt::Key_Tab);

    for (const char *name : {"refresh_button", "chanlist", "link_button", "gain_up_button", "gain_down_button",
                             "mute_button", "cbox_rssi"}) {
        QWidget *control = t.get(name);
        QVERIFY2(control->isEnabled(), name);
        t.get("centralWidget")->setFocus();
        const QImage unfocused = control->grab().toImage();
        control->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY2(control->hasFocus(), name);
        const QImage focused = control->grab().toImage();
        QVERIFY2(grey_differences(unfocused, focused) > 0, name);
    }
}

void AccessibilityTest::gain_arrows_stand_out_and_a_disabled_link_is_no_black_lamp()
{
    Window t;
    t.show();
    auto *link = t.get<QPushButton>("link_button");
    QVERIFY(!link->isEnabled());
    const QColor disabled_face = link->grab().toImage().pixelColor(link->width() / 2, link->height() / 5);

    t.enable_every_control();
    for (const char *name : {"gain_up_button", "gain_down_button"}) {
        auto *button = t.get<QToolButton>(name);
        QVERIFY(button->isEnabled());
        // The arrow against the face around it, in the middle of the button.
        const double contrast = contrast_in_middle(button->grab().toImage(), 0.5);
        QVERIFY2(contrast >= 3.0, qPrintable(QStringLiteral("%1: %2:1").arg(name).arg(contrast)));
    }

    // An enabled LINK is a black button; a disabled one is not.
    QVERIFY(link->isEnabled());
    const QColor enabled_face = link->grab().toImage().pixelColor(link->width() / 2, link->height() / 5);
    QVERIFY2(contrast_ratio(enabled_face, Qt::black) < 1.5, qPrintable(enabled_face.name()));
    QVERIFY2(contrast_ratio(disabled_face, Qt::black) >= 3.0, qPrintable(disabled_face.name()));
}

void AccessibilityTest::panels_stay_legible_under_a_dark_palette()
{
    const QPalette desktop = QApplication::palette();
    QApplication::setPalette(dark_palette());
    {
        Window t;
        t.reply(RPL_DEVICE_INFO, {0x15, 0x02, 0x85});
        t.show();
        // Texts inside the light panels are drawn dark, whatever the desktop.
        for (const char *name : {"l_p2p_devtype", "label_5", "label_2", "l_audio_in", "label_6", "label_3"}) {
            const double contrast = text_contrast_in_window(&t.window, t.get(name));
            QVERIFY2(contrast >= 4.5, qPrintable(QStringLiteral("%1: %2:1").arg(name).arg(contrast)));
        }
        // So are the texts of every label, check box and group title.
        for (QWidget *widget : t.get("audioframe")->findChildren<QWidget *>()) {
            if (!qobject_cast<QCheckBox *>(widget) && !qobject_cast<QGroupBox *>(widget)
                && (!qobject_cast<QLabel *>(widget) || qobject_cast<StatusLamp *>(widget)))
                continue;
            const QColor text = widget->palette().color(QPalette::Active, QPalette::WindowText);
            QVERIFY2(text_reads_on(text, PANEL), qPrintable(widget->objectName()));
        }

        // The desktop turns light: the panels follow it again, and back.
        QApplication::setPalette(desktop);
        QTRY_COMPARE(t.get("label_5")->palette().color(QPalette::WindowText),
                     desktop.color(QPalette::WindowText));
        QApplication::setPalette(dark_palette());
        QTRY_VERIFY(text_reads_on(t.get("label_5")->palette().color(QPalette::WindowText), PANEL));
        // The gain number keeps the colour the window's style gives it.
        QCOMPARE(t.get("lcd_gain")->palette().color(QPalette::Active, QPalette::WindowText), QColor("#006666"));
    }
    QApplication::setPalette(desktop);
}

QTEST_MAIN(AccessibilityTest)
#include "test_accessibility.moc"

// Decoding the device's replies into the device state and the display.

#include "constants.h"
#include "frame.h"
#include "modal_answerer.h"
#include "status_display.h"
#include "test_support.h"
#include "tvc.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLCDNumber>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QToolButton>
#include <QtTest>

namespace {

// A linked window with shorthands for what these tests look at.
struct Linked : LinkedWindow
{
    using LinkedWindow::LinkedWindow;
    QString text(const char *label) { return child<QLabel>(window.get(), label)->text(); }
    QString style(const char *widget) { return child<QWidget>(window.get(), widget)->styleSheet(); }
    bool enabled(const char *widget) { return child<QWidget>(window.get(), widget)->isEnabled(); }
    QProgressBar *bar(const char *name) { return child<QProgressBar>(window.get(), name); }
    void reply(quint8 code, std::initializer_list<int> args, quint8 unit = UNIT_WLAN)
    {
        window->parse_reply(frame_of(code, unit, args));
    }
};

sim::DeviceOptions rxu_client()
{
    sim::DeviceOptions options;
    options.role = sim::Role::Client;
    options.txu = false;
    return options;
}

} // namespace

class RepliesTest : public QObject
{
    Q_OBJECT

private slots:
    void device_information_of_a_txu_client();
    void device_information_roles_and_slots();
    void master_report_fills_the_channel_list_and_asks_once();
    void link_state_of_a_txu_and_of_other_devices();
    void audio_phantom_and_mute();
    void channel_report_selects_or_appends_without_echo();
    void version_boxes_and_the_dsp_request_after_the_first();
    void temperature_and_sniffer_reach_their_dialogs_while_hidden();
    void signal_reports_only_while_ticked();
    void signal_reports_in_repeater_mode();
    void unknown_codes_change_nothing();
    void signal_bars_say_no_reading_once_reports_stop();
};

void RepliesTest::device_information_of_a_txu_client()
{
    Linked t;
    QVERIFY(t.ready());
    // Byte 8: client, TXU, slot 1. Byte 9: link 2, muted, +48V, Hi-Z. Byte 10: input.
    t.reply(RPL_DEVICE_INFO, {0x15, 0x72, 0x85});
    QCOMPARE(t.text("l_p2p_devtype"), QStringLiteral("<b>TXU Client (Slot 1)</b><br>"));
    QCOMPARE(t.style("l_mute"), LED_RED);
    QCOMPARE(t.style("l_ph_pwr"), LED_GREEN);
    QCOMPARE(t.style("l_repmode"), LED_GREY);
    QCOMPARE(t.style("l_txq"), LED_GREEN);
    QCOMPARE(child<QLCDNumber>(t.window.get(), "lcd_gain")->intValue(), 7);
    QCOMPARE(t.text("l_audio_in"), QStringLiteral("Hi-Z Mode"));
    QVERIFY(t.enabled("grpbox_link"));
    QVERIFY(t.enabled("grpbox_gain"));
    QVERIFY(!t.enabled("grpbox_master"));
    // A TXU's signal widgets are left alone.
    QVERIFY(!t.enabled("cbox_rssi"));

    // Hi-Z needs both its bit and +48V; link state 1 never disables the gain group here.
    t.reply(RPL_DEVICE_INFO, {0x15, 0x41, 0x85});
    QCOMPARE(t.text("l_audio_in"), QStringLiteral("MIC Mode"));
    QCOMPARE(child<QLCDNumber>(t.window.get(), "lcd_gain")->intValue(), 9);
    QCOMPARE(t.style("l_mute"), LED_GREY);
    QCOMPARE(t.style("l_ph_pwr"), LED_GREY);
    QCOMPARE(t.style("l_txq"), LED_RED);
    QVERIFY(t.enabled("grpbox_gain"));
    QVERIFY(t.device->received().isEmpty());
}

void RepliesTest::device_information_roles_and_slots()
{
    Linked t(rxu_client());
    QVERIFY(t.ready());

    // The device's own report (linked) enabled the signal widgets; a report of
    // no link through this reply leaves them so.
    QVERIFY(t.enabled("cbox_rssi"));
    t.reply(RPL_DEVICE_INFO, {0x11, 1});
    QCOMPARE(t.text("l_p2p_devtype"), QStringLiteral("<b>RXU Client (Master Slot)</b><br>"));
    QCOMPARE(t.style("l_txq"), LED_RED);
    QVERIFY(t.enabled("cbox_rssi"));

    // Repeater mode: slot 3 is the master slot, and the lamp is lit.
    t.reply(RPL_DEVICE_INFO, {0x39, 3});
    QCOMPARE(t.text("l_p2p_devtype"), QStringLiteral("<b>RXU Client (Master Slot)</b><br>"));
    QCOMPARE(t.style("l_repmode"), LED_GREEN);
    QCOMPARE(t.style("l_txq"), LED_GREEN);
    for (const char *name : {"cbox_rssi", "progressBar", "progressBar_rep"})
        QVERIFY2(t.enabled(name), name);

    t.reply(RPL_DEVICE_INFO, {0x41, 1});
    QCOMPARE(t.text("l_p2p_devtype"), QStringLiteral("<b>RXU Client (Slot 4)</b><br>"));
    QCOMPARE(t.style("l_repmode"), LED_GREY);
    QVERIFY(t.enabled("cbox_rssi"));

    t.reply(RPL_DEVICE_INFO, {0x02, 2});
    QCOMPARE(t.text("l_p2p_devtype"), QStringLiteral("<b>Repeater</b><br>"));
    t.reply(RPL_DEVICE_INFO, {0x03, 2});
    QCOMPARE(t.text("l_p2p_devtype"), QStringLiteral("<b>Unknown Device</b><br>"));
    QVERIFY(!t.enabled("grpbox_master"));
    QVERIFY(!t.enabled("grpbox_gain"));
    QVERIFY(t.device->received().isEmpty());
}

void RepliesTest::master_report_fills_the_channel_list_and_asks_once()
{
    sim::DeviceOptions options;
    options.role = sim::Role::Master;
    options.channel = 44;
    Linked t(options);
    QVERIFY(t.ready());
    auto *chanlist = child<QComboBox>(t.window.get(), "chanlist");
    QTRY_COMPARE(chanlist->currentText(), QStringLiteral("44"));
    QCOMPARE(chanlist->count(), 4);
    QVERIFY(t.enabled("grpbox_master"));

    // Each level fills its own list into an empty one; no channel command.
    const QList<QPair<QString, int>> levels = {{QString(), 4}, {"taverox042", 19}, {"taverox5190", 24}};
    for (const auto &level : levels) {
        if (!level.first.isEmpty())
            enter_service_code(*t.window, t.answerer, level.first);
        chanlist->clear();
        t.device->clearReceived();
        t.reply(RPL_DEVICE_INFO, {0x04, 2});
        QCOMPARE(chanlist->count(), level.second);
        QCOMPARE(chanlist->currentText(), QStringLiteral("36"));
        QTRY_COMPARE(received_with_code(*t.device, CMD_MASTER_INFO).size(), 1);
        // The device answers with its channel, which is selected without an echo.
        QTRY_COMPARE(chanlist->currentText(), QStringLiteral("44"));
        QCOMPARE(t.device->received().size(), 1);
        QCOMPARE(hex(t.device->received().first().bytes), hex(build_command_frame(CMD_MASTER_INFO, UNIT_WLAN, 0)));
    }
    QCOMPARE(chanlist->itemText(23), QStringLiteral("165"));
}

void RepliesTest::link_state_of_a_txu_and_of_other_devices()
{
    Linked t;
    QVERIFY(t.ready());
    t.reply(RPL_DEVICE_INFO, {0x15, 0x02, 0x08});
    QVERIFY(t.enabled("grpbox_gain"));
    t.reply(RPL_LINK_STATE, {1});
    QCOMPARE(t.style("l_txq"), LED_RED);
    QVERIFY(!t.enabled("grpbox_gain"));
    t.reply(RPL_LINK_STATE, {3});
    QCOMPARE(t.style("l_txq"), LED_GREEN);
    QVERIFY(t.enabled("grpbox_gain"));
    t.reply(RPL_LINK_STATE, {7});
    QCOMPARE(t.style("l_txq"), LED_GREEN);
    QVERIFY(!t.enabled("grpbox_gain"));

    // A receiver: no link drops both bars to the floor and greys them, keeping the tick.
    t.reply(RPL_DEVICE_INFO, {0x11, 2});
    auto *tick = child<QCheckBox>(t.window.get(), "cbox_rssi");
    tick->click();
    t.reply(RPL_SIGNAL, {-40 & 0xFF, 0xFF});
    QCOMPARE(t.bar("progressBar")->value(), -40);
    t.reply(RPL_LINK_STATE, {1});
    QCOMPARE(t.bar("progressBar")->value(), -80);
    QCOMPARE(t.bar("progressBar_rep")->value(), -80);
    for (const char *name : {"cbox_rssi", "progressBar", "progressBar_rep"})
        QVERIFY2(!t.enabled(name), name);
    QVERIFY(tick->isChecked());
    t.reply(RPL_LINK_STATE, {2});
    for (const char *name : {"cbox_rssi", "progressBar", "progressBar_rep"})
        QVERIFY2(t.enabled(name), name);
}

void RepliesTest::audio_phantom_and_mute()
{
    Linked t;
    QVERIFY(t.ready());
    auto *lcd = child<QLCDNumber>(t.window.get(), "lcd_gain");
    t.reply(RPL_AUDIO, {0x05, 0}, UNIT_DSP);
    QCOMPARE(lcd->intValue(), -3);
    QCOMPARE(t.text("l_audio_in"), QStringLiteral("LINE Mode"));
    // The Hi-Z indicator counts only with +48V on.
    t.reply(RPL_AUDIO, {0x85, 1}, UNIT_DSP);
    QCOMPARE(t.text("l_audio_in"), QStringLiteral("MIC Mode"));
    t.reply(RPL_PHANTOM, {1}, UNIT_DSP);
    QCOMPARE(t.style("l_ph_pwr"), LED_GREEN);
    t.reply(RPL_AUDIO, {0x85, 1}, UNIT_DSP);
    QCOMPARE(lcd->intValue(), 7);
    QCOMPARE(t.text("l_audio_in"), QStringLiteral("Hi-Z Mode"));
    t.reply(RPL_PHANTOM, {0}, UNIT_DSP);
    QCOMPARE(t.style("l_ph_pwr"), LED_GREY);

    // The mute report decides what the MUTE button sends next.
    t.reply(RPL_MUTE, {2}, UNIT_DSP);
    QCOMPARE(t.style("l_mute"), LED_RED);
    child<QToolButton>(t.window.get(), "mute_button")->click();
    QTRY_COMPARE(t.device->received().size(), 1);
    QCOMPARE(hex(t.device->received().first().bytes), hex(build_command_frame(CMD_UNMUTE, UNIT_DSP, 0)));
    t.reply(RPL_MUTE, {0}, UNIT_DSP);
    QCOMPARE(t.style("l_mute"), LED_GREY);
}

void RepliesTest::channel_report_selects_or_appends_without_echo()
{
    sim::DeviceOptions options;
    options.role = sim::Role::Master;
    Linked t(options);
    QVERIFY(t.ready());
    auto *chanlist = child<QComboBox>(t.window.get(), "chanlist");
    QTRY_COMPARE(chanlist->currentText(), QStringLiteral("36"));

    t.reply(RPL_CHANNEL, {48});
    QCOMPARE(chanlist->currentText(), QStringLiteral("48"));
    QCOMPARE(chanlist->count(), 4);
    t.reply(RPL_CHANNEL, {149});
    QCOMPARE(chanlist->count(), 5);
    QCOMPARE(chanlist->itemText(4), QStringLiteral("149"));
    QCOMPARE(chanlist->currentText(), QStringLiteral("149"));
    t.reply(RPL_CHANNEL, {149});
    QCOMPARE(chanlist->count(), 5);

    // Nothing went back to the device; a user's choice does.
    QTest::qWait(50);
    QCOMPARE(received_with_code(*t.device, CMD_SET_CHANNEL).size(), 0);
    chanlist->setCurrentText(QStringLiteral("40"));
    QTRY_COMPARE(received_with_code(*t.device, CMD_SET_CHANNEL).size(), 1);
}

void RepliesTest::version_boxes_and_the_dsp_request_after_the_first()
{
    Linked t;
    QVERIFY(t.ready());
    bool dsp_request_out_during_wlan_box = true;
    t.answerer.set_inspector([&](const ModalAnswerer::Seen &seen) {
        if (seen.text.startsWith("WLAN"))
            dsp_request_out_during_wlan_box = t.window->serial_port->bytesToWrite() > 0
                || !received_with_code(*t.device, CMD_VERSION).isEmpty();
    });
    t.answerer.clear();

    t.reply(RPL_VERSION, {0x40, 0x06}, UNIT_WLAN);
    QCOMPARE(t.answerer.titles(), QStringList({"Version"}));
    QCOMPARE(t.answerer.seen().first().text, QStringLiteral("WLAN 1600"));
    QVERIFY(!dsp_request_out_during_wlan_box);
    QTRY_COMPARE(received_with_code(*t.device, CMD_VERSION).size(), 1);
    QCOMPARE(hex(received_with_code(*t.device, CMD_VERSION).first()), hex(build_command_frame(CMD_VERSION, UNIT_DSP, 0)));
    // The simulated device answers with its DSP version: a second box, no further request.
    QTRY_COMPARE(t.answerer.count(), 2);
    QCOMPARE(t.answerer.seen().at(1).text, QStringLiteral("DSP 3.12"));

    // Any unit other than the WLAN module's is a DSP version.
    t.reply(RPL_VERSION, {12, 3}, 1);
    QCOMPARE(t.answerer.seen().last().text, QStringLiteral("DSP 3.12"));
    QTest::qWait(50);
    QCOMPARE(received_with_code(*t.device, CMD_VERSION).size(), 1);
}

void RepliesTest::temperature_and_sniffer_reach_their_dialogs_while_hidden()
{
    Linked t;
    QVERIFY(t.ready());
    auto *field = child<QLineEdit>(t.window.get(), "htemp_val");
    QVERIFY(!field->isVisible());
    t.reply(RPL_TEMPERATURE, {0xFF, 0xFF});
    QCOMPARE(field->text(), QStringLiteral("-1"));
    t.reply(RPL_TEMPERATURE, {0x00, 0x80});
    QCOMPARE(field->text(), QStringLiteral("-32768"));
    t.reply(RPL_TEMPERATURE, {0x2A, 0x00});
    QCOMPARE(field->text(), QStringLiteral("42"));

    auto *log = child<QPlainTextEdit>(t.window.get(), "sniffer_info");
    t.reply(RPL_SNIFF, {5, 0, 3, 0, 7, 0, 1, 0, 0xC4, 0xFF, 0xBA, 0xFF});
    QCOMPARE(log->toPlainText(), QStringLiteral("Beacons: 5 : 7 Audio: 3 : 1 RSSI: -60 : -70"));
    t.window->start_sniffer(2);
    t.reply(RPL_SNIFF, {0xFF, 0xFF, 3, 0, 7, 0, 1, 0, 0xC4, 0xFF, 0xBA, 0xFF});
    QCOMPARE(log->blockCount(), 2);
    QCOMPARE(log->document()->findBlockByNumber(1).text(),
             QStringLiteral("Beacons: 65535 (7) Audio: 3 (1) RSSI: -60"));
    // The labels are bold.
    QCOMPARE(log->document()->findBlockByNumber(1).begin().fragment().charFormat().fontWeight(), int(QFont::Bold));
}

void RepliesTest::signal_reports_only_while_ticked()
{
    Linked t(rxu_client());
    QVERIFY(t.ready());
    auto *a = t.bar("progressBar");
    auto *b = t.bar("progressBar_rep");

    t.reply(RPL_SIGNAL, {-40 & 0xFF, 0xFF});
    QCOMPARE(a->value(), -80);
    QCOMPARE(a->styleSheet(), bar_idle_style(a->fontMetrics()));

    child<QCheckBox>(t.window.get(), "cbox_rssi")->click();
    // No reading: both bars at the floor in red, the lamp left alone.
    t.window->parse_reply(frame_of(RPL_DEVICE_INFO, 0, {0x11, 1}));
    QCOMPARE(t.style("l_txq"), LED_RED);
    t.reply(RPL_SIGNAL, {0, 0, 0x9C, 0xFF});
    QCOMPARE(a->value(), -80);
    QCOMPARE(b->value(), -80);
    QCOMPARE(a->styleSheet(), chunk_style(-80, bar_base_style(a->fontMetrics())));
    QCOMPARE(b->styleSheet(), chunk_style(-80, bar_base_style(b->fontMetrics())));
    QCOMPARE(t.style("l_txq"), LED_RED);

    const struct { int level; const char *colour; QString lamp; } steps[] = {
        {-50, "#178e85", LED_GREEN}, {-60, "#cc6633", LED_ORANGE}, {-61, "#8e1720", LED_ORANGE},
        {-79, "#8e1720", LED_ORANGE}, {-25, "#178e85", LED_GREEN}};
    for (const auto &step : steps) {
        t.reply(RPL_SIGNAL, {step.level & 0xFF, (step.level >> 8) & 0xFF, 0xC4, 0xFF});
        QCOMPARE(a->value(), step.level);
        QVERIFY2(a->styleSheet().contains(step.colour), step.colour);
        QCOMPARE(t.style("l_txq"), step.lamp);
        // Without repeater mode the repeater bar stays at the floor, red.
        QCOMPARE(b->value(), -80);
        QCOMPARE(b->styleSheet(), chunk_style(-80, bar_base_style(b->fontMetrics())));
    }
    // Out of range: the bar keeps its value but takes the colour.
    t.reply(RPL_SIGNAL, {-20 & 0xFF, 0xFF});
    QCOMPARE(a->value(), -25);
    QVERIFY(a->styleSheet().contains("#178e85"));
    t.reply(RPL_SIGNAL, {-90 & 0xFF, 0xFF});
    QCOMPARE(a->value(), -25);
    QVERIFY(a->styleSheet().contains("#8e1720"));
    // At -80 and below the lamp keeps the colour it has.
    QCOMPARE(t.style("l_txq"), LED_GREEN);
}

void RepliesTest::signal_reports_in_repeater_mode()
{
    Linked t(rxu_client());
    QVERIFY(t.ready());
    t.reply(RPL_DEVICE_INFO, {0x39, 2});
    child<QCheckBox>(t.window.get(), "cbox_rssi")->click();
    t.reply(RPL_SIGNAL, {-45 & 0xFF, 0xFF, -65 & 0xFF, 0xFF});
    QCOMPARE(t.bar("progressBar")->value(), -45);
    QCOMPARE(t.bar("progressBar_rep")->value(), -65);
    QVERIFY(t.bar("progressBar_rep")->styleSheet().contains("#8e1720"));
    // The lamp follows only the link reports in repeater mode.
    QCOMPARE(t.style("l_txq"), LED_GREEN);
    t.reply(RPL_LINK_STATE, {1});
    t.reply(RPL_LINK_STATE, {2});
    t.reply(RPL_SIGNAL, {-70 & 0xFF, 0xFF, 0, 0});
    QCOMPARE(t.style("l_txq"), LED_GREEN);
    QCOMPARE(t.bar("progressBar_rep")->value(), -80);
}

void RepliesTest::unknown_codes_change_nothing()
{
    Linked t;
    QVERIFY(t.ready());
    const QPixmap before = t.window->grab();
    for (int code : {0, 1, 22, 41, 43, 46, 92, 94, 96, 200, 255})
        t.window->parse_reply(frame_of(quint8(code), 0, {0xFF, 0xFF, 0xFF, 0xFF}));
    QCOMPARE(t.window->grab().toImage(), before.toImage());
    QCOMPARE(t.answerer.count(), 1);
    QTest::qWait(20);
    QVERIFY(t.device->received().isEmpty());
}

void RepliesTest::signal_bars_say_no_reading_once_reports_stop()
{
    // A new user saw "-30 dBm / -47 dBm" on the bars for minutes after the
    // reports had stopped. With reports asked for and none for about two
    // seconds, the bars say "no reading"; so they do at once when the sniffer
    // takes the reports over, although Signal Strength stays ticked.
    sim::DeviceOptions options = rxu_client();
    options.signalLevel = -47;
    options.reportPeriodMs = 100;
    Linked t(options);
    QVERIFY(t.ready());
    child<QCheckBox>(t.window.get(), "cbox_rssi")->click();
    QTRY_COMPARE(t.bar("progressBar")->format(), QStringLiteral("\u2212""47 dBm"));

    // The device's frames are held back: the reports stop on the line.
    QElapsedTimer since;
    since.start();
    t.device->options().mergeCount = 1000000;
    t.device->options().mergeHoldMs = 600000;
    QTRY_COMPARE_WITH_TIMEOUT(t.bar("progressBar")->format(), QStringLiteral("no reading"), 6000);
    QVERIFY2(since.elapsed() >= 1500, qPrintable(QString::number(since.elapsed())));
    QCOMPARE(t.bar("progressBar")->value(), SIGNAL_FLOOR);
    QCOMPARE(t.bar("progressBar")->toolTip(), QStringLiteral("no reading"));

    // Reports come again, then the sniffer takes over.
    t.device->options().mergeCount = 0;
    t.device->runCommand(QStringLiteral("flush"));
    QTRY_COMPARE(t.bar("progressBar")->format(), QStringLiteral("\u2212""47 dBm"));
    t.window->start_sniffer(2);
    QCOMPARE(t.bar("progressBar")->format(), QStringLiteral("no reading"));
    QVERIFY(child<QCheckBox>(t.window.get(), "cbox_rssi")->isChecked());
}

QTEST_MAIN(RepliesTest)
#include "test_replies.moc"

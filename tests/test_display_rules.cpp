// The display vocabulary: lamps, bar colours, the gain and input-mode rule,
// role texts, channel lists and the texts built from reply fields.

#include "accessibility.h"
#include "constants.h"
#include "frame.h"
#include "status_display.h"

#include <QtTest>

namespace {

QString chunk_colour(int level)
{
    const QString style = chunk_style(qint16(level), QString());
    const int at = style.indexOf('#');
    return style.mid(at, 7);
}

QByteArray sniff_frame(int beacons_a, int audio_a, int beacons_b, int audio_b, int rssi_a, int rssi_b)
{
    QByteArray args;
    for (int v : {beacons_a, audio_a, beacons_b, audio_b, rssi_a, rssi_b}) {
        args.append(char(v & 0xFF));
        args.append(char((v >> 8) & 0xFF));
    }
    return build_frame(RPL_SNIFF, UNIT_WLAN, args);
}

} // namespace

class DisplayRulesTest : public QObject
{
    Q_OBJECT

private slots:
    void link_lamp_is_red_only_for_state_1();
    void bar_colour_thresholds();
    void bar_style_text();
    void signal_lamp_thresholds();
    void audio_input_rule_data();
    void audio_input_rule();
    void role_texts_data();
    void role_texts();
    void channel_lists_by_level();
    void sniffer_lines();
    void version_texts();
    void lamp_words_never_contradict_the_colour();
    void signal_words_follow_the_bar_colour();
    void contrast_of_colours();
};

void DisplayRulesTest::link_lamp_is_red_only_for_state_1()
{
    QCOMPARE(led_style(1), LED_RED);
    for (int state : {0, 2, 3, 4, 255})
        QCOMPARE(led_style(state), LED_GREEN);
    QVERIFY(is_linked(2) && is_linked(3));
    QVERIFY(!is_linked(0) && !is_linked(1) && !is_linked(4) && !is_linked(255));
}

void DisplayRulesTest::bar_colour_thresholds()
{
    QCOMPARE(chunk_colour(-25), QStringLiteral("#178e85"));
    QCOMPARE(chunk_colour(-50), QStringLiteral("#178e85"));
    QCOMPARE(chunk_colour(-51), QStringLiteral("#cc6633"));
    QCOMPARE(chunk_colour(-60), QStringLiteral("#cc6633"));
    QCOMPARE(chunk_colour(-61), QStringLiteral("#8e1720"));
    QCOMPARE(chunk_colour(-80), QStringLiteral("#8e1720"));
    QCOMPARE(chunk_colour(-32768), QStringLiteral("#8e1720"));
    QCOMPARE(chunk_colour(32767), QStringLiteral("#178e85"));
}

void DisplayRulesTest::bar_style_text()
{
    // The room right of the frame holds the widest text and two spaces.
    const QFontMetrics metrics{QFont()};
    const int room = qMax(metrics.horizontalAdvance(QStringLiteral("no reading")),
                          metrics.horizontalAdvance(QStringLiteral("\u2212128 dBm")))
        + 2 * metrics.horizontalAdvance(QLatin1Char(' '));
    QCOMPARE(chunk_style(-55, bar_base_style(metrics)),
             QStringLiteral("QProgressBar {border: 2px solid grey; border-radius: 5px; text-align: right; "
                            "margin-right: %1px;}QProgressBar::chunk {background-color: #cc6633; width: 15px; "
                            "margin: 0.5px;}").arg(room));
    QCOMPARE(bar_idle_style(metrics),
             QStringLiteral("QProgressBar {border: 1px solid grey; border-radius: 5px; text-align: right; "
                            "margin-right: %1px;}").arg(room));
}

void DisplayRulesTest::signal_lamp_thresholds()
{
    QCOMPARE(signal_lamp(-25), LED_GREEN);
    QCOMPARE(signal_lamp(-50), LED_GREEN);
    QCOMPARE(signal_lamp(-51), LED_ORANGE);
    QCOMPARE(signal_lamp(-55), LED_ORANGE);
    QCOMPARE(signal_lamp(-79), LED_ORANGE);
    // At the floor the lamp is left to the link-state replies.
    QVERIFY(signal_lamp(-80).isEmpty());
    QVERIFY(signal_lamp(-32768).isEmpty());
}

void DisplayRulesTest::audio_input_rule_data()
{
    QTest::addColumn<int>("input");
    QTest::addColumn<bool>("hi_z");
    QTest::addColumn<int>("gain");
    QTest::addColumn<QString>("mode");

    QTest::newRow("mic") << 0x85 << false << 9 << "MIC Mode";
    QTest::newRow("line") << 0x05 << false << -3 << "LINE Mode";
    QTest::newRow("hi-z") << 0x85 << true << 7 << "Hi-Z Mode";
    QTest::newRow("hi-z ignores bit 7") << 0x05 << true << 7 << "Hi-Z Mode";
    QTest::newRow("line floor") << 0x00 << false << -8 << "LINE Mode";
    QTest::newRow("line top") << 0x7F << false << 119 << "LINE Mode";
    QTest::newRow("mic top") << 0xFF << false << 131 << "MIC Mode";
}

void DisplayRulesTest::audio_input_rule()
{
    QFETCH(int, input);
    QFETCH(bool, hi_z);
    QFETCH(int, gain);
    QFETCH(QString, mode);
    const AudioInput audio = audio_input(quint8(input), hi_z);
    QCOMPARE(audio.gain, gain);
    QCOMPARE(audio.mode, mode);
}

void DisplayRulesTest::role_texts_data()
{
    QTest::addColumn<int>("byte8");
    QTest::addColumn<QString>("text");

    // Byte 8 of a device report: role in bits 0-1, TXU bit 2, repeater mode bit 3, slot bits 4-7.
    QTest::newRow("master") << 0x04 << "<b>Master</b><br>";
    QTest::newRow("txu client slot 1") << 0x15 << "<b>TXU Client (Slot 1)</b><br>";
    QTest::newRow("txu client in repeater mode keeps its slot") << 0x3D << "<b>TXU Client (Slot 3)</b><br>";
    QTest::newRow("rxu slot 1 is the master slot") << 0x11 << "<b>RXU Client (Master Slot)</b><br>";
    QTest::newRow("rxu slot 3 in repeater mode is the master slot") << 0x39 << "<b>RXU Client (Master Slot)</b><br>";
    QTest::newRow("rxu slot 5") << 0x51 << "<b>RXU Client (Slot 5)</b><br>";
    QTest::newRow("rxu slot 15") << 0xF1 << "<b>RXU Client (Slot 15)</b><br>";
    QTest::newRow("rxu slot 0 in repeater mode wraps") << 0x09 << "<b>RXU Client (Slot 254)</b><br>";
    QTest::newRow("rxu slot 1 in repeater mode wraps") << 0x19 << "<b>RXU Client (Slot 255)</b><br>";
    QTest::newRow("repeater") << 0x02 << "<b>Repeater</b><br>";
    QTest::newRow("unknown") << 0x07 << "<b>Unknown Device</b><br>";
}

void DisplayRulesTest::role_texts()
{
    QFETCH(int, byte8);
    QFETCH(QString, text);
    QCOMPARE(role_text(quint8(byte8 & 3), byte8 & 4, quint8(byte8 >> 4), byte8 & 8), text);
}

void DisplayRulesTest::channel_lists_by_level()
{
    fill_service_channel_lists();
    QCOMPARE(channels_for_level(0), QStringList({"36", "40", "44", "48"}));
    QCOMPARE(channels_for_level(1).size(), 19);
    QCOMPARE(channels_for_level(1).last(), QStringLiteral("140"));
    QCOMPARE(channels_for_level(2).size(), 24);
    QCOMPARE(channels_for_level(2).last(), QStringLiteral("165"));
    QCOMPARE(channels_for_level(7), channels_for_level(2));
}

void DisplayRulesTest::sniffer_lines()
{
    const QByteArray frame = sniff_frame(5, 3, 7, 1, -60, -70);
    QCOMPARE(sniffer_line(frame, 2),
             QStringLiteral("<strong>Beacons:</strong> 5 (7) <strong>Audio:</strong> 3 (1) <strong>RSSI:</strong> -60"));
    QCOMPARE(sniffer_line(frame, 3),
             QStringLiteral("<strong>Beacons:</strong> 5 : 7 <strong>Audio:</strong> 3 : 1 "
                            "<strong>RSSI:</strong> -60 : -70"));
    // Before any start the mode is 0: the colon form.
    QCOMPARE(sniffer_line(frame, 0), sniffer_line(frame, 3));
    // Counts are unsigned, levels signed.
    QCOMPARE(sniffer_line(sniff_frame(0xFFFF, 0x8000, 0, 0, 0x8000, 0xFFFF), 3),
             QStringLiteral("<strong>Beacons:</strong> 65535 : 0 <strong>Audio:</strong> 32768 : 0 "
                            "<strong>RSSI:</strong> -32768 : -1"));
}

void DisplayRulesTest::version_texts()
{
    auto version = [](quint8 unit, int b8, int b9) {
        const char args[] = {char(b8), char(b9)};
        return build_frame(RPL_VERSION, unit, QByteArray(args, 2));
    };
    QCOMPARE(wlan_version_text(version(0, 0x40, 0x06)), QStringLiteral("WLAN 1600"));
    QCOMPARE(wlan_version_text(version(0, 0xC8, 0x00)), QStringLiteral("WLAN 200"));
    QCOMPARE(wlan_version_text(version(0, 0xFF, 0xFF)), QStringLiteral("WLAN 65535"));
    QCOMPARE(dsp_version_text(version(5, 12, 3)), QStringLiteral("DSP 3.12"));
    QCOMPARE(dsp_version_text(version(5, 0xFF, 0x80)), QStringLiteral("DSP 128.255"));
}

void DisplayRulesTest::lamp_words_never_contradict_the_colour()
{
    // For every link state the lamp's look gives the colour the link rule
    // gives, and its words say "no link" exactly when it is red.
    for (int state = 0; state <= 255; ++state) {
        const LampState lamp = link_status_lamp(quint8(state));
        QCOMPARE(lamp_style(lamp.look), led_style(state));
        QCOMPARE(lamp.text.endsWith(QLatin1String(": no link")), lamp.look == LampLook::Alarm);
        QVERIFY(lamp.text.startsWith(QLatin1String("Link Status: ")));
    }
    // A signal report's lamp agrees with the signal rule at every level,
    // names no look where the rule leaves the lamp alone, and names the band
    // that the bar's colour shows (at -55 dBm the bar said fair, the lamp weak).
    const QHash<QString, QString> band_of_colour = {
        {"#178e85", "good"}, {"#cc6633", "fair"}, {"#8e1720", "weak"}};
    for (int level = -100; level <= 0; ++level) {
        const LampState lamp = link_status_for_signal(level);
        QCOMPARE(lamp.text.isEmpty() ? QString() : lamp_style(lamp.look), signal_lamp(level));
        if (!lamp.text.isEmpty())
            QCOMPARE(lamp.text, "Link Status: " + band_of_colour.value(chunk_colour(level)) + " signal");
    }
    // Each on/off lamp has two looks with two different texts.
    for (const auto &lamp : {std::make_pair(repeater_mode_lamp(true), repeater_mode_lamp(false)),
                             std::make_pair(phantom_lamp(true), phantom_lamp(false)),
                             std::make_pair(mute_lamp(true), mute_lamp(false))}) {
        QVERIFY(lamp.first.look != lamp.second.look);
        QVERIFY(lamp.first.text != lamp.second.text);
        QCOMPARE(lamp.second.look, LampLook::Unlit);
    }
    QCOMPARE(lamp_style(mute_lamp(true).look), LED_RED);
    QCOMPARE(lamp_style(phantom_lamp(true).look), LED_GREEN);
    QCOMPARE(lamp_style(no_device_lamp(link_status_caption()).look), LED_GREY);
}

void DisplayRulesTest::signal_words_follow_the_bar_colour()
{
    // The band in words is the band of the bar's colour, at every level but
    // the floor, which is no reading.
    const QHash<QString, QString> band_of_colour = {
        {"#178e85", "good"}, {"#cc6633", "fair"}, {"#8e1720", "weak"}};
    for (int level = -120; level <= 0; ++level) {
        const SignalReading reading = signal_reading(level);
        if (level == SIGNAL_FLOOR) {
            QCOMPARE(reading.level, QStringLiteral("no reading"));
            QCOMPARE(reading.words, QStringLiteral("no reading"));
            continue;
        }
        QCOMPARE(reading.words, reading.level + ", " + band_of_colour.value(chunk_colour(level)));
    }
    // Levels are written with a minus sign, which a screen reader reads.
    QCOMPARE(signal_reading(-51).words, QStringLiteral("\u221251 dBm, fair"));
    QCOMPARE(signal_reading(-81).level, QStringLiteral("\u221281 dBm"));
    QCOMPARE(gain_words(-8), QStringLiteral("Gain: \u22128"));
    QCOMPARE(gain_words(0), QStringLiteral("Gain: 0"));
}

void DisplayRulesTest::contrast_of_colours()
{
    QCOMPARE(contrast_ratio(Qt::black, Qt::white), 21.0);
    QCOMPARE(contrast_ratio(QColor("#abcdef"), QColor("#abcdef")), 1.0);
    QCOMPARE(contrast_ratio(Qt::red, Qt::white), contrast_ratio(Qt::white, Qt::red));
    // The lightest grey that still reads as text on white, and the next one.
    QVERIFY(text_reads_on(QColor("#767676"), Qt::white));
    QVERIFY(!text_reads_on(QColor("#777777"), Qt::white));
    QVERIFY(!text_reads_on(QColor("#eff0f1"), QColor("#f0f0f0")));
}

QTEST_MAIN(DisplayRulesTest)
#include "test_display_rules.moc"

#include "status_display.h"

#include "constants.h"
#include "device_role.h"
#include "frame.h"

#include <QCoreApplication>

namespace {

// The words of the main window's display.
class StatusDisplay
{
    Q_DECLARE_TR_FUNCTIONS(StatusDisplay)
};

// A line of the device information: in bold, on a line of its own.
QString bold_line(const QString &text)
{
    return QStringLiteral("<b>") + text + QStringLiteral("</b><br>");
}

} // namespace

QString no_device_text()
{
    return bold_line(StatusDisplay::tr("No device found"));
}

QString updating_text()
{
    return bold_line(StatusDisplay::tr("Updating Device Information..."));
}

QString unplugged_text()
{
    return bold_line(StatusDisplay::tr("Device unplugged"));
}

QString link_status_caption()
{
    return StatusDisplay::tr("Link Status");
}

QString repeater_mode_caption()
{
    return StatusDisplay::tr("Repeater Mode");
}

QString phantom_caption()
{
    // The device's own name for it, in every language.
    return QStringLiteral("+48V");
}

namespace {

// The minus sign, which screen readers read as "minus" (a hyphen may be skipped).
const QChar MINUS(0x2212);

QString signed_number(int value)
{
    return value < 0 ? MINUS + QString::number(-value) : QString::number(value);
}

// A bar's style with a frame `border` pixels wide and room right of it for
// the bar's text: the widest it shows, and a gap of two spaces.
QString bar_style(int border, const QFontMetrics &metrics)
{
    // The longest level a report can carry, and "no reading".
    const int widest = qMax(metrics.horizontalAdvance(signal_reading(-128).level),
                            metrics.horizontalAdvance(band_words(SignalBand::NoReading)));
    const int room = widest + 2 * metrics.horizontalAdvance(QLatin1Char(' '));
    return QStringLiteral("QProgressBar {border: %1px solid grey; border-radius: 5px; text-align: right; "
                          "margin-right: %2px;}")
        .arg(border)
        .arg(room);
}

} // namespace

QString bar_idle_style(const QFontMetrics &metrics)
{
    return bar_style(1, metrics);
}

QString bar_base_style(const QFontMetrics &metrics)
{
    return bar_style(2, metrics);
}

QString led_style(int value)
{
    return lamp_style(value == 1 ? LampLook::Alarm : LampLook::Good);
}

bool operator==(const LampState &a, const LampState &b)
{
    return a.look == b.look && a.text == b.text;
}

QString lamp_style(LampLook look)
{
    switch (look) {
    case LampLook::Good:
        return LED_GREEN;
    case LampLook::Weak:
        return LED_ORANGE;
    case LampLook::Alarm:
        return LED_RED;
    case LampLook::Unlit:
        break;
    }
    return LED_GREY;
}

LampState link_status_lamp(quint8 link_state)
{
    if (link_state == 1)
        return {LampLook::Alarm, StatusDisplay::tr("Link Status: no link")};
    if (is_linked(link_state))
        return {LampLook::Good, StatusDisplay::tr("Link Status: linked")};
    // Other states are shown as linked; their words say which state it is.
    return {LampLook::Good, StatusDisplay::tr("Link Status: link state %1").arg(link_state)};
}

LampState repeater_mode_lamp(bool on)
{
    return on ? LampState{LampLook::Good, StatusDisplay::tr("Repeater Mode: on")}
              : LampState{LampLook::Unlit, StatusDisplay::tr("Repeater Mode: off")};
}

LampState phantom_lamp(bool on)
{
    return on ? LampState{LampLook::Good, StatusDisplay::tr("+48V: on")}
              : LampState{LampLook::Unlit, StatusDisplay::tr("+48V: off")};
}

LampState mute_lamp(bool muted)
{
    return muted ? LampState{LampLook::Alarm, StatusDisplay::tr("Muted")}
                 : LampState{LampLook::Unlit, StatusDisplay::tr("Not muted")};
}

LampState no_device_lamp(const QString &caption)
{
    //: %1 is a lamp's caption: "Link Status", "Repeater Mode" or "+48V".
    return {LampLook::Unlit, StatusDisplay::tr("%1: no device").arg(caption)};
}

SignalBand signal_band(int level)
{
    if (level >= GOOD_SIGNAL)
        return SignalBand::Good;
    if (level >= FAIR_SIGNAL)
        return SignalBand::Fair;
    // The floor stands for no reading; a level below it is a reading, a weak one.
    return level == SIGNAL_FLOOR ? SignalBand::NoReading : SignalBand::Weak;
}

QString band_words(SignalBand band)
{
    switch (band) {
    case SignalBand::Good:
        //: The band of a signal level, beside a level in dBm and on the plots.
        return StatusDisplay::tr("good");
    case SignalBand::Fair:
        return StatusDisplay::tr("fair");
    case SignalBand::Weak:
        return StatusDisplay::tr("weak");
    case SignalBand::NoReading:
        break;
    }
    return StatusDisplay::tr("no reading");
}

// The lamp is green for a good signal and orange for a fair or a weak one; at
// the floor and below it keeps its colour, so that the link state alone
// decides it then.
LampState link_status_for_signal(int level)
{
    const SignalBand band = signal_band(level);
    if (level <= SIGNAL_FLOOR)
        return {LampLook::Unlit, QString()};
    if (band == SignalBand::Good)
        return {LampLook::Good, StatusDisplay::tr("Link Status: good signal")};
    return {LampLook::Weak, band == SignalBand::Fair ? StatusDisplay::tr("Link Status: fair signal")
                                                     : StatusDisplay::tr("Link Status: weak signal")};
}

SignalReading signal_reading(int level)
{
    if (level == SIGNAL_FLOOR)
        return {band_words(SignalBand::NoReading), band_words(SignalBand::NoReading)};
    const QString text = StatusDisplay::tr("%1 dBm").arg(signed_number(level));
    //: A signal level and its band: "−55 dBm, fair".
    return {text, StatusDisplay::tr("%1, %2").arg(text, band_words(signal_band(level)))};
}

QString gain_words(int gain)
{
    return StatusDisplay::tr("Gain: %1").arg(signed_number(gain));
}

QString input_mode_words(const QString &mode)
{
    //: %1 is the input mode ("MIC Mode"), or "none".
    return StatusDisplay::tr("Input mode: %1").arg(mode.isEmpty() ? StatusDisplay::tr("none") : mode);
}

QString chunk_style(qint16 level, const QString &style)
{
    const SignalBand band = signal_band(level);
    const char *colour = band == SignalBand::Good ? "#178e85" : band == SignalBand::Fair ? "#cc6633" : "#8e1720";
    return style + QStringLiteral("QProgressBar::chunk {background-color: ") + QLatin1String(colour)
        + QStringLiteral("; width: 15px; margin: 0.5px;}");
}

AudioInput audio_input(quint8 input, bool hi_z)
{
    //: Hi-Z, MIC and LINE are the device's names of its inputs.
    if (hi_z)
        return {gain_number(input, hi_z), StatusDisplay::tr("Hi-Z Mode")};
    if (input & 0x80)
        return {gain_number(input, hi_z), StatusDisplay::tr("MIC Mode")};
    return {gain_number(input, hi_z), StatusDisplay::tr("LINE Mode")};
}

QString role_text(quint8 role, bool is_txu, quint8 slot, bool rep_mode)
{
    return bold_line(device_role_text(role, is_txu, slot, rep_mode));
}

bool is_linked(quint8 link_state)
{
    return link_state == 2 || link_state == 3;
}

QString signal_lamp(int level)
{
    const LampState lamp = link_status_for_signal(level);
    return lamp.text.isEmpty() ? QString() : lamp_style(lamp.look);
}

QStringList channels_normal()
{
    return {QStringLiteral("36"), QStringLiteral("40"), QStringLiteral("44"), QStringLiteral("48")};
}

QStringList channels_for_level(quint8 service_level)
{
    switch (service_level) {
    case 0:
        return channels_normal();
    case 1:
        return CHANNELS_SERVICE_1;
    default:
        return CHANNELS_SERVICE_2;
    }
}

QString sniffer_line(const QByteArray &frame, quint8 sniff_mode)
{
    const int beacons_a = frame_u16(frame, 8);
    const int audio_a = frame_u16(frame, 10);
    const int beacons_b = frame_u16(frame, 12);
    const int audio_b = frame_u16(frame, 14);
    const int rssi_a = frame_s16(frame, 16);
    const int rssi_b = frame_s16(frame, 18);
    // The labels in the program's language; a saved line keeps them in
    // English (write_sniffer_lines).
    const auto label = [](const QString &text) {
        return QStringLiteral("<strong>") + text + QStringLiteral("</strong>");
    };
    const QString beacons = label(StatusDisplay::tr("Beacons:"));
    const QString audio = label(StatusDisplay::tr("Audio:"));
    const QString rssi = label(StatusDisplay::tr("RSSI:"));
    if (sniff_mode == 2) {
        return QStringLiteral("%1 %2 (%3) %4 %5 (%6) %7 %8")
            .arg(beacons).arg(beacons_a).arg(beacons_b).arg(audio).arg(audio_a).arg(audio_b).arg(rssi).arg(rssi_a);
    }
    return QStringLiteral("%1 %2 : %3 %4 %5 : %6 %7 %8 : %9")
        .arg(beacons).arg(beacons_a).arg(beacons_b).arg(audio).arg(audio_a).arg(audio_b).arg(rssi).arg(rssi_a)
        .arg(rssi_b);
}

QString wlan_version_text(const QByteArray &frame)
{
    return StatusDisplay::tr("WLAN %1").arg(frame_u16(frame, 8));
}

QString dsp_version_text(const QByteArray &frame)
{
    return StatusDisplay::tr("DSP %1.%2").arg(frame_u8(frame, 9)).arg(frame_u8(frame, 8));
}

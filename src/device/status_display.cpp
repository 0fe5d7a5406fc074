#include "status_display.h"

#include "constants.h"
#include "frame.h"

const QString NO_DEVICE_TEXT = QStringLiteral("<b>No device found</b><br>");
const QString UPDATING_TEXT = QStringLiteral("<b>Updating Device Information...</b><br>");

const QString BAR_IDLE_STYLE = QStringLiteral(
    "QProgressBar {border: 1px solid grey; border-radius: 5px; text-align: right; margin-right: 12ex;}");
const QString BAR_BASE_STYLE = QStringLiteral(
    "QProgressBar {border: 2px solid grey; border-radius: 5px; text-align: right; margin-right: 12ex;}");

const QString LINK_STATUS_CAPTION = QStringLiteral("Link Status");
const QString REPEATER_MODE_CAPTION = QStringLiteral("Repeater Mode");
const QString PHANTOM_CAPTION = QStringLiteral("+48V");

namespace {

// The minus sign, which screen readers read as "minus" (a hyphen may be skipped).
const QChar MINUS(0x2212);

QString signed_number(int value)
{
    return value < 0 ? MINUS + QString::number(-value) : QString::number(value);
}

QString captioned(const QString &caption, const char *state)
{
    return caption + QStringLiteral(": ") + QLatin1String(state);
}

} // namespace

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
        return {LampLook::Alarm, captioned(LINK_STATUS_CAPTION, "no link")};
    if (is_linked(link_state))
        return {LampLook::Good, captioned(LINK_STATUS_CAPTION, "linked")};
    // Other states are shown as linked; their words say which state it is.
    return {LampLook::Good, LINK_STATUS_CAPTION + QStringLiteral(": link state %1").arg(link_state)};
}

LampState repeater_mode_lamp(bool on)
{
    return on ? LampState{LampLook::Good, captioned(REPEATER_MODE_CAPTION, "on")}
              : LampState{LampLook::Unlit, captioned(REPEATER_MODE_CAPTION, "off")};
}

LampState phantom_lamp(bool on)
{
    return on ? LampState{LampLook::Good, captioned(PHANTOM_CAPTION, "on")}
              : LampState{LampLook::Unlit, captioned(PHANTOM_CAPTION, "off")};
}

LampState mute_lamp(bool muted)
{
    return muted ? LampState{LampLook::Alarm, QStringLiteral("Muted")}
                 : LampState{LampLook::Unlit, QStringLiteral("Not muted")};
}

LampState no_device_lamp(const QString &caption)
{
    return {LampLook::Unlit, caption + QStringLiteral(": no device")};
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
        return QStringLiteral("good");
    case SignalBand::Fair:
        return QStringLiteral("fair");
    case SignalBand::Weak:
        return QStringLiteral("weak");
    case SignalBand::NoReading:
        break;
    }
    return QStringLiteral("no reading");
}

// The lamp is green for a good signal and orange for a fair or a weak one; at
// the floor and below it keeps its colour, so that the link state alone
// decides it then.
LampState link_status_for_signal(int level)
{
    const SignalBand band = signal_band(level);
    if (level <= SIGNAL_FLOOR)
        return {LampLook::Unlit, QString()};
    return {band == SignalBand::Good ? LampLook::Good : LampLook::Weak,
            LINK_STATUS_CAPTION + QStringLiteral(": ") + band_words(band) + QStringLiteral(" signal")};
}

SignalReading signal_reading(int level)
{
    if (level == SIGNAL_FLOOR)
        return {QStringLiteral("no reading"), QStringLiteral("no reading")};
    const QString text = signed_number(level) + QStringLiteral(" dBm");
    return {text, text + QStringLiteral(", ") + band_words(signal_band(level))};
}

QString gain_words(int gain)
{
    return QStringLiteral("Gain: ") + signed_number(gain);
}

QString input_mode_words(const QString &mode)
{
    return QStringLiteral("Input mode: ") + (mode.isEmpty() ? QStringLiteral("none") : mode);
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
    if (hi_z)
        return {(input & 127) + 2, QStringLiteral("Hi-Z Mode")};
    if (input & 0x80)
        return {(input & 127) + 4, QStringLiteral("MIC Mode")};
    return {int(input) - 8, QStringLiteral("LINE Mode")};
}

QString role_text(quint8 role, bool is_txu, quint8 slot, bool rep_mode)
{
    switch (role) {
    case 0:
        return QStringLiteral("<b>Master</b><br>");
    case 1:
        if (is_txu)
            return QStringLiteral("<b>TXU Client (Slot %1)</b><br>").arg(int(slot));
        if (rep_mode)
            slot = quint8(slot - 2);
        if (slot == 1)
            return QStringLiteral("<b>RXU Client (Master Slot)</b><br>");
        return QStringLiteral("<b>RXU Client (Slot %1)</b><br>").arg(int(slot));
    case 2:
        return QStringLiteral("<b>Repeater</b><br>");
    default:
        return QStringLiteral("<b>Unknown Device</b><br>");
    }
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
    if (sniff_mode == 2) {
        return QStringLiteral("<strong>Beacons:</strong> %1 (%2) <strong>Audio:</strong> %3 (%4) "
                              "<strong>RSSI:</strong> %5")
            .arg(beacons_a).arg(beacons_b).arg(audio_a).arg(audio_b).arg(rssi_a);
    }
    return QStringLiteral("<strong>Beacons:</strong> %1 : %2 <strong>Audio:</strong> %3 : %4 "
                          "<strong>RSSI:</strong> %5 : %6")
        .arg(beacons_a).arg(beacons_b).arg(audio_a).arg(audio_b).arg(rssi_a).arg(rssi_b);
}

QString wlan_version_text(const QByteArray &frame)
{
    return QStringLiteral("WLAN %1").arg(frame_u16(frame, 8));
}

QString dsp_version_text(const QByteArray &frame)
{
    return QStringLiteral("DSP %1.%2").arg(frame_u8(frame, 9)).arg(frame_u8(frame, 8));
}

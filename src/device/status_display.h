#pragma once

#include "device_state.h"

#include <QByteArray>
#include <QFontMetrics>
#include <QString>
#include <QStringList>

// The display vocabulary: which text, lamp or colour shows a value the device
// reports. Pure functions; the main window applies them to its widgets. The
// words are in the program's language (see language.h), made when asked for.

// The device-information line while no device is linked, and while a
// linked device has not yet told its role.
QString no_device_text();
QString updating_text();
// The device-information line when the device the window showed went while
// other devices are attached.
QString unplugged_text();

// Signal bars: the idle style after a reset, and the base style that a chunk
// rule is appended to while signal reports arrive. A bar's text stands right
// of its frame, which leaves it room for the widest text the bar shows in
// `metrics` (its font): a level in dBm, or "no reading" in the language
// spoken, longer in some.
QString bar_idle_style(const QFontMetrics &metrics);
QString bar_base_style(const QFontMetrics &metrics);

// Bars show -80 to -25; -80 stands for "no reading".
constexpr int SIGNAL_FLOOR = -80;

// Link Status lamp for a link state: red for 1 (no link), green otherwise.
QString led_style(int value);

// How a lamp is lit. Each look has its colour and a glyph of its own, so that
// the lamps read in grey-scale too: a tick on green, a ring on orange, a cross
// on red, nothing on grey.
enum class LampLook { Unlit, Good, Weak, Alarm };

// What a lamp shows: its look, and the same in words ("Link Status: linked"),
// for its tooltip and for assistive technology.
struct LampState
{
    LampLook look;
    QString text;
};
bool operator==(const LampState &a, const LampState &b);

// The lamp style sheet of a look: grey, green, orange or red.
QString lamp_style(LampLook look);

// The captions of the lamps, as the labels beside them read.
QString link_status_caption();
QString repeater_mode_caption();
QString phantom_caption();

// The lamps for what the device reports.
LampState link_status_lamp(quint8 link_state);
LampState repeater_mode_lamp(bool on);
LampState phantom_lamp(bool on);
LampState mute_lamp(bool muted);
// A lamp while no device is connected.
LampState no_device_lamp(const QString &caption);
// The Link Status lamp that a signal level sets without repeater mode; no
// look (an empty text) when the level leaves the lamp as it is.
LampState link_status_for_signal(int level);

// The band of a signal level: what its colour on the bars and the plots, the
// Link Status lamp and the words all say. Good from -50 dBm up, fair from -60
// to -51, weak below, and no reading at the bars' floor (-80) and below.
enum class SignalBand { NoReading, Weak, Fair, Good };
SignalBand signal_band(int level);
// The lowest level of each band: GOOD_SIGNAL and FAIR_SIGNAL (device_state.h).
// The band in words: "good", "fair", "weak", "no reading".
QString band_words(SignalBand band);

// `style` followed by the chunk rule that colours a bar at `level`.
QString chunk_style(qint16 level, const QString &style);

// The gain number and input mode shown for an input byte.
struct AudioInput
{
    int gain;
    QString mode;
};
AudioInput audio_input(quint8 input, bool hi_z);

// Role text of the device-information line. `slot` is the raw slot field.
QString role_text(quint8 role, bool is_txu, quint8 slot, bool rep_mode);

// A signal level in words: "−55 dBm" for the bar, "−55 dBm, fair" for its
// tooltip; the floor reads "no reading".
struct SignalReading
{
    QString level;
    QString words;
};
SignalReading signal_reading(int level);

// The gain number and the input mode in words, for assistive technology.
QString gain_words(int gain);
QString input_mode_words(const QString &mode);

// A link state of 2 or 3 means the device is linked.
bool is_linked(quint8 link_state);

// Link Status lamp that a signal level sets without repeater mode, or an empty
// text when the level leaves the lamp as it is (at -80 and below).
QString signal_lamp(int level);

// Channels offered to a master at a service level.
QStringList channels_normal();
QStringList channels_for_level(quint8 service_level);

// One line of the sniffer log for a sniffer report, in the format of the
// report mode last started (2 shows the second values in parentheses).
QString sniffer_line(const QByteArray &frame, quint8 sniff_mode);

// Texts of the version boxes.
QString wlan_version_text(const QByteArray &frame);
QString dsp_version_text(const QByteArray &frame);
